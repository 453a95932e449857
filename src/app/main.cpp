#include "app/frmmain.h"
#include "app/startup.h"
#include "engine/engineprofile.h"
#include "page/session.h"
#include "platform/paths.h"
#include "userdata/options.h"
#include "userdata/settingsstore.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velmo安全浏览器"));

    SettingsStore store(Paths::settingsFile());
    Options options;
    EngineProfile engine;
    Session session{store, options, engine.profile()};

    int result = 0;
    {
        Frmmain window(session);
        Startup::readOptions(store, options);
        window.start(app.arguments().mid(1).join(QLatin1Char(' ')));
        result = app.exec();
    }
    return result;
}
