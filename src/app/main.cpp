#include "app/frmmain.h"
#include "engine/engineprofile.h"
#include "page/session.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "userdata/options.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

int main(int argc, char *argv[])
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

    int result = 0;
    {
        Frmmain window(session);
        window.start(app.arguments().mid(1).join(QLatin1Char(' ')));
        result = app.exec();
    }
    return result;
}
