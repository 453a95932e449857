#include "platform/shell.h"

#include <csignal>

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
