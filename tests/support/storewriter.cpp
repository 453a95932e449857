// Writes what the browser keeps into shared files from a process of its own, for tests
// that run several instances at once or kill one in the middle of a write.
//   velmo_storewriter <ini> <count, -1 for ever> <prefix>
//     records closed pages; prints one line per record written.
//   velmo_storewriter --downloads <ini> <kept list> <saved file>
//     a downloads list on the kept list; prints "ready", then for each line
//     "end <address>" read, a download of the address ends done and it prints "kept".
#include "files/downloadlist.h"
#include "platform/settingsstore.h"
#include "support/fakeclock.h"
#include "support/fakedownloads.h"
#include "support/recordingdialogs.h"
#include "tabs/closedpages.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

namespace {
int downloadsInstance(const QStringList &args)
{
    SettingsStore store(args[2]);
    RecordingDialogs dialogs;
    dialogs.saveAnswer = args[4];
    FakeClock clock;
    clock.time = QDateTime::currentDateTime();
    FakeDownloads source;
    DownloadList list(&source, dialogs, store, clock, args[3], nullptr);
    std::printf("ready %lld\n", static_cast<long long>(list.rows().size()));
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
        const QString command = QString::fromStdString(line);
        if (!command.startsWith(QLatin1String("end ")))
            continue;
        FakeTransfer *t = source.announce(QUrl(command.mid(4)), QStringLiteral("b.zip"));
        t->receive(10, 10);
        t->end(Transfer::State::Done, Transfer::Failure::None);
        std::printf("kept %lld\n", static_cast<long long>(list.rows().size()));
        std::fflush(stdout);
    }
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("--downloads"))
        return downloadsInstance(args);
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
