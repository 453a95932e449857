#pragma once
#include "platform/shell.h"

#include <csignal>
#include <functional>

#include <QObject>

// A shell that records what it was asked to open or start, and does nothing; the
// processes it is asked to end (the test's own engine's) it ends.
class RecordingShell : public Shell
{
public:
    QStringList opened;
    QStringList started;
    QList<qint64> ended;
    // The programs this machine is said to have.
    QStringList installed;
    bool answer = true;

    bool open(const QString &target) override
    {
        opened << target;
        return answer;
    }
    bool start(const QString &program, const QStringList &arguments) override
    {
        started << (QStringList{program} + arguments).join(QLatin1Char(' '));
        return answer;
    }
    void endProcess(qint64 pid) override
    {
        ended << pid;
        if (pid > 1)
            ::kill(pid_t(pid), SIGKILL);
    }
    bool has(const QString &program) const override { return installed.contains(program); }
    // "title\nmessage" of each notice, and whether the desktop is said to show them.
    QStringList notices;
    bool showsNotices = true;
    void notify(const QString &title, const QString &message, QObject *context, std::function<void(bool)> done) override
    {
        notices << title + QLatin1Char('\n') + message;
        QMetaObject::invokeMethod(context, [done, shown = showsNotices] { done(shown); }, Qt::QueuedConnection);
    }
};
