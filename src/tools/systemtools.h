#pragma once
#include <QString>
#include <QStringList>
#include <optional>

class Shell;

// The small system tools on this platform: which program does each job, chosen among
// those installed, and the texts they show.
namespace SystemTools {

struct Command {
    QString program;
    QStringList arguments;
    bool operator==(const Command &) const = default;
};

// Mutes or unmutes the default audio output (PipeWire, PulseAudio or ALSA's mixer).
std::optional<Command> muteToggle(const Shell &shell);
// Switches the screen off through the X display's power management (none on Wayland).
std::optional<Command> screenOff(const Shell &shell, bool wayland);
// Powers the machine off now through systemd-logind, without asking.
Command powerOff();
// LibreOffice Writer, or Calc.
std::optional<Command> office(const Shell &shell, bool calc);
// The desktop's network connection settings.
std::optional<Command> networkSettings(const Shell &shell);
// What is missing, named for the status bar.
QString missing(const QString &what, const QStringList &looked);
inline const QStringList kMixers = {QStringLiteral("wpctl"), QStringLiteral("pactl"), QStringLiteral("amixer")};
inline const QStringList kNetworkSettings = {QStringLiteral("nm-connection-editor"), QStringLiteral("gnome-control-center"),
                                             QStringLiteral("systemsettings")};

// The three lines of the machine's name, the user's logon name and its first IPv4
// address that is not a loopback one.
QString ipMessage(const QString &host, const QString &user, const QString &address);
QString hostName();
QString userName();
QString firstIPv4();

} // namespace SystemTools
