#pragma once
#include <QHash>
#include <QString>
#include <optional>

#include "engine/siterequests.h"

// User names and passwords the user gave this run, for one site (scheme, host and port)
// or proxy and one realm each. In memory only: nothing of it reaches the disk, and it is
// gone when the browser ends.
class LoginMemory
{
public:
    struct Login {
        QString user;
        QString password;
    };
    void remember(const QString &key, const Login &login) { m_logins.insert(key, login); }
    void forget(const QString &key) { m_logins.remove(key); }
    // The key a site's (or proxy's) question is kept under.
    static QString keyOf(const LoginRequest &request);
    // Answers the question from memory, without asking; false when nothing is kept for it.
    bool fill(LoginRequest &request) const
    {
        const std::optional<Login> known = find(keyOf(request));
        if (!known)
            return false;
        request.user = known->user;
        request.password = known->password;
        request.given = true;
        return true;
    }
    std::optional<Login> find(const QString &key) const
    {
        const auto it = m_logins.constFind(key);
        return it == m_logins.constEnd() ? std::nullopt : std::optional<Login>(*it);
    }

private:
    QHash<QString, Login> m_logins;
};
