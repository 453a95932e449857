#include "userdata/history.h"

#include "platform/paths.h"
#include "platform/wholeappend.h"
#include "tabs/pagetext.h"
#include "userdata/gbktext.h"

#include <QFile>
#include <QLocale>
#include <QUrl>

namespace {

const char *const kCrLf = "\r\n";
constexpr QFile::Permissions kPrivateFile = QFile::ReadOwner | QFile::WriteOwner;

QString escaped(const QString &text)
{
    QString out = text.toHtmlEscaped();
    return out.replace(QLatin1Char('\''), QLatin1String("&#39;"));
}

const char *const kHead[] = {
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">",
    "<html xmlns=\"http://www.w3.org/1999/xhtml\">",
    "<head>",
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />",
    "<title>网站访问历史</title>",
    "<style type=\"text/css\">",
    "<!--",
    ".STYLE1 {color: #FF0000}",
    "-->",
    "</style>",
    "</head>",
    "",
    "<body>",
    "<table width=\"1000\" border=\"1\" align=\"center\">",
    "  <tr>    <td width=\"200\"><span class=\"STYLE1\">时间</span></td>     ",
    "  <td width=\"600\"><span class=\"STYLE1\">页面标题</span></td>     ",
    "  <td width=\"180\"><span class=\"STYLE1\">注释</span></td>   ",
    "  </tr>",
};

} // namespace

const QString History::kPageTitle = QStringLiteral("网站访问历史");

History::History(const QString &folder)
    : m_folder(folder)
{
}

QString History::dayFile(const QDate &day, const QString &suffix) const
{
    return m_folder + QStringLiteral("/%1-%2-%3").arg(day.year()).arg(day.month()).arg(day.day()) + suffix;
}

QString History::row(const Visit &visit)
{
    const QString when = QLocale::system().toString(visit.when, QLocale::ShortFormat);
    const QString title = escaped(visit.title.left(kTitleChars));
    // Only addresses a browser can follow become links; the address is quoted.
    // The link is the address fully percent-encoded: it is requested as typed, whatever
    // the page's code page, and no direction control stays in it.
    const QString href = QString::fromLatin1(QUrl(visit.address).toEncoded());
    const QString cell = PageText::linkable(visit.address)
                             ? QStringLiteral("<a href=\"%1\" target=_blank>%2</a>").arg(escaped(href), title)
                             : title;
    return QStringLiteral("<tr>  <td>") + escaped(when) + QStringLiteral("</td>  <td>  ") + cell
           + QStringLiteral("  </td>  <td>  Velmo安全浏览器</td> </tr>");
}

bool History::append(const QVector<Visit> &newestFirst, const QDate &day) const
{
    return appendRows(rowsOf(newestFirst), day);
}

QByteArray History::rowsOf(const QVector<Visit> &newestFirst)
{
    QString text;
    for (const Visit &v : newestFirst)
        text += row(v) + QLatin1String(kCrLf);
    text += QLatin1String(kCrLf);
    return GbkText::encodeHtml(text);
}

namespace {
QString clearedMark(const QString &folder)
{
    return folder + QStringLiteral(".cleared-at");
}
} // namespace

bool History::markCleared(const QDateTime &at) const
{
    return replaceWhole(clearedMark(m_folder), at.toUTC().toString(Qt::ISODateWithMs).toLatin1(), kPrivateFile);
}

QDateTime History::clearedAt() const
{
    QFile mark(clearedMark(m_folder));
    if (!mark.open(QIODevice::ReadOnly))
        return QDateTime();
    return QDateTime::fromString(QString::fromLatin1(mark.read(64).trimmed()), Qt::ISODateWithMs);
}

bool History::appendRows(const QByteArray &rows, const QDate &day) const
{
    if (!Paths::ensureDir(m_folder))
        return false;
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The rows reach the file together, or none of them does.
    return appendWhole(dayFile(day, QStringLiteral(".dat")), rows, kPrivateFile);
}

QString History::pageText(const QStringList &rows)
{
    QString text;
    for (const char *line : kHead)
        text += QString::fromUtf8(line) + QLatin1String(kCrLf);
    // Head, body and end are each written as a line of their own.
    text += QLatin1String(kCrLf);
    for (const QString &r : rows)
        text += QLatin1String(kCrLf) + r;
    text += QLatin1String(kCrLf) + QStringLiteral("</table></body></html>") + QLatin1String(kCrLf);
    return text;
}

QString History::buildPage(const QDate &day) const
{
    QStringList rows;
    QFile dat(dayFile(day, QStringLiteral(".dat")));
    if (dat.open(QIODevice::ReadOnly)) {
        // Only as much as the first 1000 lines can hold is read; blank lines count.
        int count = 0;
        while (!dat.atEnd() && count < kLinesRead) {
            QByteArray line = dat.readLine(1 << 20);
            ++count;
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
            if (!line.isEmpty())
                rows << GbkText::decode(line);
        }
    }
    if (!Paths::ensureDir(m_folder))
        return QString();
    const QString page = dayFile(day, QStringLiteral(".html"));
    if (!replaceWhole(page, GbkText::encodeHtml(pageText(rows)), kPrivateFile))
        return QString();
    QFile::setPermissions(page, kPrivateFile);
    return page;
}
