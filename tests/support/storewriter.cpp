// Records closed pages into a settings file as the browser does, for tests that run
// several writers at once or kill one in the middle of a write.
//   velmo_storewriter <ini> <count, -1 for ever> <prefix>
// Prints one line per record written.
#include "platform/settingsstore.h"
#include "tabs/closedpages.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    SettingsStore store(args[1]);
    ClosedPages ring(store);
    ring.load();
    const int count = args[2].toInt();
    for (int i = 0; count < 0 || i < count; ++i) {
        ring.record(QStringLiteral("%1%2").arg(args[3]).arg(i), QStringLiteral("http://w.example/%1/%2").arg(args[3]).arg(i));
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
