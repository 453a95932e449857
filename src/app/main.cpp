#include "app/browserstyle.h"
#include "app/commandline.h"
#include "app/frmmain.h"
#include "engine/engineprofile.h"
#include "engine/enginerendering.h"
#include "page/session.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/filenames.h"
#include "platform/instancelink.h"
#include "platform/memory.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/termination.h"
#include "platform/translations.h"
#include "userdata/options.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QStringList>
#include <QStyle>
#include <cstdio>

namespace {

// How long a browser started with addresses waits for the running one to take them.
constexpr int kHandoverMs = 1500;

// Reads the command line before any window exists. Returns true when the process is done:
// help or version shown, a bad option refused, or the addresses handed to the browser
// already running for this user.
bool handledWithoutWindow(int argc, char *argv[], QStringList &addresses, int &exitCode)
{
    // No display connection is needed for this, so a handover is quick.
    QCoreApplication probe(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMO_VERSION));
    const bool chinese = QLocale::system().language() == QLocale::Chinese;
    const CommandLine line = CommandLine::parse(QCoreApplication::arguments(), chinese);
    exitCode = 0;
    switch (line.action) {
    case CommandLine::ShowHelp:
    case CommandLine::ShowVersion:
        std::fputs(line.message.toLocal8Bit().constData(), stdout);
        return true;
    case CommandLine::Refused:
        std::fputs(line.message.toLocal8Bit().constData(), stderr);
        exitCode = 2;
        return true;
    case CommandLine::Run:
        break;
    }
    addresses = line.addresses;
    return !addresses.isEmpty() && InstanceLink::forward(Paths::instanceSocket(), addresses, kHandoverMs);
}

// The whole run; the signal that ended it (0 for a normal exit) goes to `signal`.
int run(int argc, char *argv[], const QStringList &addresses, int &signal)
{
    EngineRendering::applyFromProcess();
    QApplication app(argc, argv);
    QApplication::setStyle(new BrowserStyle(QApplication::style()->name()));
    QApplication::setApplicationName(QStringLiteral("velmo"));
    QApplication::setApplicationVersion(QStringLiteral(VELMO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.velmo.Browser"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velmo/velmo.svg")));
    Translations::useChinese(app);

    SettingsStore store(Paths::settingsFile());
    Options options;
    EngineProfile engine;
    QtDialogs dialogs;
    DesktopShell shell;
    SystemClock clock;
    SystemMemory memory;
    Session session(store, options, engine, shell, dialogs, clock, memory);
    // The first instance takes the links that later starts hand over.
    InstanceLink link;
    if (engine.firstInstance())
        link.listen(Paths::instanceSocket());

    // From here on a logout or Ctrl+C shuts down like the File menu's exit.
    TerminationSignals termination;
    termination.install();
    Frmmain window(session);
    // A logout or shutdown closes the window as the File menu's exit does.
    QObject::connect(&termination, &TerminationSignals::shutdownRequested, &window, &QWidget::close);
    QObject::connect(&link, &InstanceLink::addressesReceived, &window, &Frmmain::openFromOutside);
    window.start(addresses);
    const int result = app.exec();
    signal = termination.caught();
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before any thread starts: the C library's locale is not safe to change later.
    FileNames::useUtf8();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QStringList addresses;
    int exitCode = 0;
    if (handledWithoutWindow(argc, argv, addresses, exitCode))
        return exitCode;
    int signal = 0;
    const int result = run(argc, argv, addresses, signal);
    // Everything is saved and torn down; now end as the signal would have.
    TerminationSignals::endAs(signal);
    return result;
}
