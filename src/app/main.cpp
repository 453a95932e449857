#include "app/frmmain.h"
#include "engine/engineprofile.h"
#include "page/session.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/termination.h"
#include "userdata/options.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

namespace {

// The whole run; the signal that ended it (0 for a normal exit) goes to `signal`.
int run(int argc, char *argv[], int &signal)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velmo/velmo.svg")));

    SettingsStore store(Paths::settingsFile());
    Options options;
    EngineProfile engine;
    QtDialogs dialogs;
    DesktopShell shell;
    SystemClock clock;
    Session session(store, options, engine.profile(), shell, dialogs, clock);

    // From here on a logout or Ctrl+C shuts down like the File menu's exit.
    TerminationSignals termination;
    termination.install();
    Frmmain window(session);
    // A logout or shutdown closes the window as the File menu's exit does.
    QObject::connect(&termination, &TerminationSignals::shutdownRequested, &window, &QWidget::close);
    window.start(app.arguments().mid(1).join(QLatin1Char(' ')));
    const int result = app.exec();
    signal = termination.caught();
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    int signal = 0;
    const int result = run(argc, argv, signal);
    // Everything is saved and torn down; now end as the signal would have.
    TerminationSignals::endAs(signal);
    return result;
}
