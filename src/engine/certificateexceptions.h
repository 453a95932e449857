#pragma once
#include "engine/siterequests.h"

#include <QHash>
#include <QUrl>
#include <optional>

// The certificate problems the user chose to go past in this run, by the host they were
// found at (the engine keeps its pass for the host, whatever the port, until the program
// ends); this is what the browser tells the user about it.
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
    static QString key(const QUrl &url) { return url.host().toLower(); }
    QHash<QString, CertificateProblem> m_accepted;
};
