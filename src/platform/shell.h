#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QObject;

// What the desktop does for the browser: open a document, folder or address with its
// default handler, start a program, end one of its own. Tests substitute a recording fake so that they
// never open anything on the machine they run on.
class Shell
{
public:
    virtual ~Shell() = default;
    // An address with a scheme, or a local file or folder path.
    virtual bool open(const QString &target) = 0;
    virtual bool start(const QString &program, const QStringList &arguments) = 0;
    // Ends one of the browser's own processes at once (a renderer that no longer answers).
    virtual void endProcess(qint64 pid) = 0;
    // Whether a program of that name is installed (on the PATH).
    virtual bool has(const QString &program) const = 0;
    // Shows a notice among the desktop's notifications; done tells (later, while context
    // lives) whether the desktop took it.
    virtual void notify(const QString &title, const QString &message, QObject *context, std::function<void(bool shown)> done) = 0;
};

// The desktop's own handlers; never goes through a shell command line.
class DesktopShell : public Shell
{
public:
    bool open(const QString &target) override;
    bool start(const QString &program, const QStringList &arguments) override;
    void endProcess(qint64 pid) override;
    bool has(const QString &program) const override;
    // Through the desktop's notification service on the session bus.
    void notify(const QString &title, const QString &message, QObject *context, std::function<void(bool shown)> done) override;
};
