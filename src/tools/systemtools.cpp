#include "tools/systemtools.h"

#include "platform/shell.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace SystemTools {

std::optional<Command> muteToggle(const Shell &shell)
{
    if (shell.has(QStringLiteral("wpctl")))
        return Command{QStringLiteral("wpctl"), {QStringLiteral("set-mute"), QStringLiteral("@DEFAULT_AUDIO_SINK@"), QStringLiteral("toggle")}};
    if (shell.has(QStringLiteral("pactl")))
        return Command{QStringLiteral("pactl"), {QStringLiteral("set-sink-mute"), QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("toggle")}};
    if (shell.has(QStringLiteral("amixer")))
        return Command{QStringLiteral("amixer"), {QStringLiteral("-q"), QStringLiteral("set"), QStringLiteral("Master"), QStringLiteral("toggle")}};
    return std::nullopt;
}

std::optional<Command> screenOff(const Shell &shell, bool wayland)
{
    if (wayland || !shell.has(QStringLiteral("xset")))
        return std::nullopt;
    return Command{QStringLiteral("xset"), {QStringLiteral("dpms"), QStringLiteral("force"), QStringLiteral("off")}};
}

Command powerOff()
{
    // logind's PowerOff, not interactive: as the command it replaces, no question.
    return Command{QStringLiteral("busctl"),
                   {QStringLiteral("call"), QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                    QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"), QStringLiteral("b"), QStringLiteral("false")}};
}

std::optional<Command> office(const Shell &shell, bool calc)
{
    if (!shell.has(QStringLiteral("libreoffice")))
        return std::nullopt;
    return Command{QStringLiteral("libreoffice"), {calc ? QStringLiteral("--calc") : QStringLiteral("--writer")}};
}

std::optional<Command> networkSettings(const Shell &shell)
{
    if (shell.has(QStringLiteral("nm-connection-editor")))
        return Command{QStringLiteral("nm-connection-editor"), {}};
    if (shell.has(QStringLiteral("gnome-control-center")))
        return Command{QStringLiteral("gnome-control-center"), {QStringLiteral("network")}};
    if (shell.has(QStringLiteral("systemsettings")))
        return Command{QStringLiteral("systemsettings"), {QStringLiteral("kcm_networkmanagement")}};
    return std::nullopt;
}

QString missing(const QString &what, const QStringList &looked)
{
    return QStringLiteral("未找到%1（已查找：%2）。").arg(what, looked.join(QStringLiteral("、")));
}

QString ipMessage(const QString &host, const QString &user, const QString &address)
{
    return QStringLiteral("本机电脑名称： %1\r\n本机用户名称： %2\r\n本机内网 IP 地址： %3").arg(host, user, address);
}

QString hostName()
{
    return QSysInfo::machineHostName();
}

QString userName()
{
    const QString user = qEnvironmentVariable("USER");
    if (!user.isEmpty())
        return user;
    const QString logName = qEnvironmentVariable("LOGNAME");
    if (!logName.isEmpty())
        return logName;
    // Started without a login's variables (a service, a stripped environment): the
    // system's user database knows the name.
    char buffer[4096];
    struct passwd entry {};
    struct passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    return QString();
}

QString firstIPv4()
{
    for (const QHostAddress &a : QNetworkInterface::allAddresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            return a.toString();
    return QString();
}

} // namespace SystemTools
