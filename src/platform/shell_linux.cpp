#include "platform/shell.h"

#include <csignal>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

bool DesktopShell::open(const QString &target)
{
    const QString t = target.trimmed();
    if (t.isEmpty())
        return false;
    // A path that exists is a file or folder; anything else is taken as an address.
    const QUrl url = QFileInfo::exists(t) ? QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath())
                                          : QUrl::fromUserInput(t);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool DesktopShell::start(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

void DesktopShell::endProcess(qint64 pid)
{
    if (pid > 1)
        ::kill(pid_t(pid), SIGKILL);
}

bool DesktopShell::has(const QString &program) const
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

void DesktopShell::notify(const QString &title, const QString &message, QObject *context, std::function<void(bool shown)> done)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QMetaObject::invokeMethod(context, [done] { done(false); }, Qt::QueuedConnection);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                                       QStringLiteral("/org/freedesktop/Notifications"),
                                                       QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app name, replaces id, icon, summary, body, actions, hints, timeout (-1: the desktop's)
    call << QStringLiteral("Velmo安全浏览器") << uint(0) << QString() << title << message << QStringList() << QVariantMap() << -1;
    // Asked without waiting: a desktop without the service answers with an error.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [watcher, done] {
        watcher->deleteLater();
        done(!watcher->isError());
    });
}
