#include "pictures/gallerypage.h"

#include "platform/paths.h"
#include "tabs/pagetext.h"

#include <QCoreApplication>
#include <atomic>

namespace {

QByteArray escaped(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + 16);
    for (const char32_t c : text.toUcs4()) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default:
            if (c < 0x20 || c >= 0x7f)
                out += "&#" + QByteArray::number(uint(c)) + ';';
            else
                out += char(c);
        }
    }
    return out;
}

} // namespace

namespace GalleryPage {

QByteArray bytes(const QStringList &addresses)
{
    QByteArray page = "<body oncontextmenu=\"return false\" topmargin=0 leftmargin=0 rightmargin=0 bottommargin=0>\r\n"
                      "<div align=center>\r\n";
    page.reserve(page.size() + addresses.size() * 160);
    for (const QString &address : addresses) {
        const QByteArray u = escaped(address);
        const QByteArray img = "<img border=\"1\" src=\"" + u + "\">";
        // Only addresses that are pictures somewhere become links; never a script.
        if (PageText::linkable(address, true))
            page += "<a href=\"" + u + "\" target=\"_blank\">" + img + "</a> \r\n\r\n";
        else
            page += img + " \r\n\r\n";
    }
    return page;
}

QByteArray viewerBytes(const QString &address)
{
    return "<body bgcolor=0>\r\n"
           "<body oncontextmenu=self.event.returnValue=false topmargin=0 leftmargin=0 rightmargin=0 bottommargin=0>\r\n"
           "<div align=center>\r\n"
           "<p><img border=\"1\" src=\"" + escaped(address) + "\" title=&#22270;&#20687; ></p> \r\n\r\n"
           "</div>\r\n"
           "</body>\r\n";
}

QString newPath()
{
    // One file per page, and per running instance.
    static std::atomic<int> serial{0};
    return Paths::generatedPagesDir()
           + QStringLiteral("/gallery-%1-%2.htm").arg(QCoreApplication::applicationPid()).arg(++serial);
}

} // namespace GalleryPage
