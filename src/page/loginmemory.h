#pragma once
#include <QHash>
#include <QString>
#include <optional>

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
    std::optional<Login> find(const QString &key) const
    {
        const auto it = m_logins.constFind(key);
        return it == m_logins.constEnd() ? std::nullopt : std::optional<Login>(*it);
    }

private:
    QHash<QString, Login> m_logins;
};
