// A 200 MB download from the local fixture server through the browser (save dialog
// answered, downloads window open) beside curl writing to the same disk, three rounds
// each, with the longest stall of the window's event loop while the browser downloads;
// and the source viewer showing a 5 MB document.
#include "benchworld.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "engine/enginedownloads.h"
#include "files/downloadlist.h"
#include "files/formhtml.h"
#include "page/formweb.h"
#include "page/pagedocument.h"
#include "support/fixtureserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kBytes = 200 * 1024 * 1024;

} // namespace

int main(int argc, char *argv[])
{
    BenchWorld::prepareProcess();
    QApplication app(argc, argv);
    BenchWorld world;
    Frmmain *w = world.window.get();
    std::printf("| measure | value |\n|---|---|\n");
    // Beside the build: the same disk for both.
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-downloads-XXXXXX"));
    const QString address = world.url(QStringLiteral("/download?bytes=%1&name=big.bin").arg(kBytes));
    FormWeb *page = w->pages().LoadNewForm(world.url(QStringLiteral("/page?id=downloads")));
    waitUntil([&] { return !page->Web()->isBusy() && page->loadedOnce(); }, 15000);
    auto *list = w->findChild<DownloadList *>();

    QList<double> ours, theirs;
    qint64 stall = 0;
    for (int round = 0; round < 3; ++round) {
        const QString path = dir.filePath(QStringLiteral("ours%1.bin").arg(round));
        world.dialogs.saveAnswer = path;
        StallWatch stalls;
        stalls.start();
        const qsizetype before = list->rows().size();
        page->document().download(address);
        waitUntil([&] {
            return list->rows().size() > before && list->rows().last().download
                && list->rows().last().download->state() != Download::State::Running;
        }, 120000);
        ours << kBytes / 1048576.0 / (stalls.clock.elapsed() / 1000.0);
        stalls.stop();
        stall = std::max(stall, stalls.longest);
        QFile::remove(path);

        const QString theirPath = dir.filePath(QStringLiteral("curl%1.bin").arg(round));
        QElapsedTimer clock;
        clock.start();
        QProcess curl;
        curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"), theirPath, address});
        curl.waitForFinished(120000);
        theirs << kBytes / 1048576.0 / (clock.elapsed() / 1000.0);
        QFile::remove(theirPath);
    }
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    row("200 MB download, browser (median of 3)", ours[1], "MB/s");
    row("200 MB download, curl (median of 3)", theirs[1], "MB/s");
    row("browser / curl", ours[1] / theirs[1], "x");
    row("longest event-loop stall while downloading", double(stall), "ms");

    // 5 MB of markup into the source viewer.
    QString source;
    while (source.size() < 5 * 1024 * 1024)
        source += QStringLiteral("<div class=\"row\"><a href=\"/page?id=%1\">第 %1 行 line</a></div>\n").arg(source.size());
    QElapsedTimer clock;
    clock.start();
    auto *viewer = new FormHtml(world.dialogs, w);
    viewer->show(source, address, QStringLiteral("5 MB"));
    QApplication::processEvents();
    row("source viewer, 5 MB document shown", double(clock.elapsed()), "ms");
    delete viewer;
    return 0;
}
