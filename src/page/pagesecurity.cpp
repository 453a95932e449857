#include "page/pagesecurity.h"

#include "page/certificatepanel.h"

#include <QUrl>

PageSecurity PageSecurity::of(const QString &location, const std::optional<CertificateProblem> &problem)
{
    const QUrl url(location);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https") && problem)
        return {Kind::Overridden, QStringLiteral("不安全：此网站的安全证书有问题。\n")
                                      + CertificatePanel::reasons(*problem, url.host()).join(QLatin1Char('\n'))};
    if (scheme == QLatin1String("https"))
        return {Kind::Verified, QStringLiteral("连接已加密，网站证书已通过验证")};
    if (scheme == QLatin1String("http"))
        return {Kind::Plain, QStringLiteral("不安全：连接未加密，您发送和收到的内容可能被他人看到")};
    return {};
}
