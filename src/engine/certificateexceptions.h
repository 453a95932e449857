#pragma once
#include "engine/siterequests.h"

#include <QHash>
#include <QUrl>
#include <optional>

// The certificate problems the user chose to go past in this run, by the origin (scheme,
// host and port) they were found at. The engine keeps its own pass for the origin until
// the program ends; this is what the browser tells the user about it.
class CertificateExceptions
{
public:
    void add(const QUrl &url, const CertificateProblem &problem) { m_accepted.insert(key(url), problem); }
    std::optional<CertificateProblem> find(const QUrl &url) const
    {
        const auto it = m_accepted.constFind(key(url));
        return it == m_accepted.constEnd() ? std::nullopt : std::optional<CertificateProblem>(*it);
    }

private:
    static QString key(const QUrl &url)
    {
        return url.scheme().toLower() + QStringLiteral("://") + url.host().toLower() + QLatin1Char(':')
               + QString::number(url.port(url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80));
    }
    QHash<QString, CertificateProblem> m_accepted;
};
