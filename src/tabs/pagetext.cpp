#include "tabs/pagetext.h"
#include "tabs/sites.h"

#include "platform/filenames.h"

#include "tabs/addressshape.h"

#include <QFileInfo>
#include <QTextDocument>
#include <QUrl>

namespace PageText {

const QString kProductName = QStringLiteral("Velmo安全浏览器");
const QString kProductSuffix = QStringLiteral(" - ") + kProductName;
const QString kEmptyCaption = QStringLiteral(" ") + kProductName;
const QString kBlankToolTip = QStringLiteral("鼠标右击查看属性，双击后可以关闭当前窗口");

QString firstChars(const QString &text, int n)
{
    if (n <= 0)
        return QString();
    int units = 0;
    for (int chars = 0; chars < n && units < text.size(); ++chars) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size()
                          && text.at(units + 1).isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return text.left(units);
}

QString withoutBidiControls(const QString &text)
{
    QString out = text;
    out.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F
               || u == 0x061C;
    });
    return out;
}

QString siteName(const QUrl &address)
{
    if (address.host().isEmpty())
        return address.scheme().isEmpty() ? QString() : address.toString(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment);
    return address.toString(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

QString withoutUserInfo(const QString &address)
{
    QUrl url(address);
    if (!url.isValid() || url.userInfo().isEmpty())
        return address;
    url.setUserInfo(QString());
    return url.toString();
}

QString readableAddress(const QString &address)
{
    const QUrl url(address);
    if (!url.isValid() || url.scheme().isEmpty() || address.startsWith(QLatin1Char(' ')))
        return address;
    return withoutBidiControls(url.toDisplayString()).replace(QLatin1Char(' '), QLatin1String("%20"));
}

QString pageTitle(const QString &documentTitle, const QString &location)
{
    const QString title = firstChars(withoutBidiControls(documentTitle), 100);
    return title.isEmpty() ? withoutBidiControls(withoutUserInfo(location)) : title;
}

Label tabLabel(const QString &pageTitle)
{
    if (pageTitle == QLatin1String("about:blank"))
        return {QString(), kBlankToolTip};
    return {pageTitle, plainToolTip(pageTitle)};
}

QString mainCaption(const QString &labelText)
{
    return labelText.isEmpty() ? kEmptyCaption : labelText + kProductSuffix;
}

QString plainToolTip(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

QString plainWindowTitle(const QString &text)
{
    QString t = text;
    return t.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

QString Progress::change(int progress, int progressMax)
{
    QString text;
    if (progress == -1)
        text = QStringLiteral("100%");
    if (progress > 0 && progressMax > 0)
        m_percent = float(progress) * 100.0f / float(progressMax);
    if (m_percent > 100.0f)
        m_percent = 0.0f;
    if (m_percent > 0.0f)
        text = QString::number(double(m_percent), 'g', 7) + QStringLiteral(" %");
    return text;
}

} // namespace PageText

bool PageText::mayBeAddress(const QString &engineTitle, const QString &location)
{
    const QString title = engineTitle.trimmed();
    // Anything shaped like an address may be the stand-in of another entry (a redirect,
    // a pending load): a scheme, or a dotted name before a path or alone.
    if (title.isEmpty() || title.contains(QLatin1String("://")) || AddressShape::schemeLength(title) > 0
        || AddressShape::startsWithDottedName(title))
        return true;
    const QUrl url(location);
    const QString port = url.port() >= 0 ? QStringLiteral(":%1").arg(url.port()) : QString();
    const QString decodedRest = QUrl::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8())
                                + (url.hasQuery() ? QLatin1Char('?') + QUrl::fromPercentEncoding(url.query(QUrl::FullyEncoded).toUtf8()) : QString());
    const QStringList forms{location,
                            url.toDisplayString(),
                            QUrl::fromPercentEncoding(location.toUtf8()),
                            QUrl::fromAce(url.host(QUrl::FullyEncoded).toLatin1()) + port + decodedRest,
                            QUrl::fromPercentEncoding(QFileInfo(url.path(QUrl::FullyEncoded)).fileName().toUtf8())};
    // The engine's stand-in is the address shortened and decoded: a part of one of these.
    for (const QString &form : forms) {
        if (form.contains(title, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool PageText::linkable(const QString &address, bool dataToo)
{
    const QString scheme = QUrl(address).scheme().toLower();
    if (dataToo && scheme == QLatin1String("data"))
        return true;
    return !scheme.isEmpty() && scheme != QLatin1String("about") && Sites::opensFromOutside(address);
}

QString PageText::screenshotName(const QString &mainCaption, const QString &pageTitle, const QString &address)
{
    const qsizetype dash = mainCaption.indexOf(QLatin1Char('-'));
    QString name;
    if (dash >= 0) {
        name = mainCaption.left(qMax<qsizetype>(0, dash - 1));
    } else {
        name = pageTitle.trimmed();
        if (name.isEmpty())
            name = QUrl(address).host();
        if (name.isEmpty())
            name = QStringLiteral("网页截图");
    }
    name = FileNames::fromText(name);
    return (name.isEmpty() ? QStringLiteral("网页截图") : name) + QStringLiteral(".jpg");
}
