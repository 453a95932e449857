// Times the page screenshot of a 20,000-pixel page (dialog answered to the file written)
// with its peak memory against the picture's own size, beside Debian's Chromium taking
// the same page headless when it is installed; and a gallery click to the viewer showing
// the picture. Prints one table row per measure.
#include "benchworld.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "engine/browsercontrol.h"
#include "page/formweb.h"
#include "page/pagepictures.h"
#include "pictures/formimage.h"
#include "support/fixtureserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>

namespace {

// A line of /proc/self/status in MB ("VmRSS", "VmHWM").
double statusMb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    BenchWorld::prepareProcess();
    QApplication app(argc, argv);
    BenchWorld world;
    Frmmain *w = world.window.get();
    std::printf("| measure | value |\n|---|---|\n");
    QTemporaryDir dir;
    const QString page = world.url(QStringLiteral("/tall?h=20000"));

    // Takes the page's screenshot into path: time from the dialog to every file written,
    // the peak memory above the start, and the (first) picture's own size.
    const auto shoot = [&](FormWeb *page, const QString &path, const char *what) {
        world.dialogs.saveAnswer = path;
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5"); // the peak starts again from here
        clear.close();
        const double before = statusMb("VmRSS:");
        QElapsedTimer t;
        t.start();
        std::optional<bool> written;
        page->pictures().ScreenSaveAs(w->windowTitle(), [&](bool ok) { written = ok; });
        waitUntil([&] { return written.has_value(); }, 180000);
        const double ms = t.nsecsElapsed() / 1e6;
        const QSize size = QImageReader(path).size();
        row(what, ms, "ms");
        row("peak memory above the start of the capture", statusMb("VmHWM:") - before, "MB");
        row("the (first) picture itself (32-bit pixels)", double(size.width()) * size.height() * 4 / (1024.0 * 1024.0), "MB");
    };
    FormWeb *p = w->pages().LoadNewForm(page);
    waitUntil([&] { return !p->Web()->isBusy() && p->pageTitle() == QLatin1String("Tall"); }, 30000);
    for (int round = 0; round < 3; ++round)
        shoot(p, dir.filePath(QStringLiteral("shot%1.jpg").arg(round)), "screenshot of a 20,000 px page: dialog to file written");

    // A page taller than a JPEG can hold, saved whole in three files.
    FormWeb *tall = w->pages().LoadNewForm(world.url(QStringLiteral("/stripes?h=140000")));
    waitUntil([&] { return !tall->Web()->isBusy() && tall->pageTitle() == QLatin1String("Stripes"); }, 30000);
    world.dialogs.chooseAnswer = 0;
    for (int round = 0; round < 2; ++round)
        shoot(tall, dir.filePath(QStringLiteral("whole%1.jpg").arg(round)), "screenshot of a 140,000 px page in 3 files: all written");

    // The same page taken by Chromium headless, when installed.
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (!chromium.isEmpty()) {
        for (int round = 0; round < 3; ++round) {
            QProcess c;
            QElapsedTimer t;
            t.start();
            c.start(chromium, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                               QStringLiteral("--screenshot=") + dir.filePath(QStringLiteral("chromium.png")),
                               QStringLiteral("--window-size=1280,20000"), page});
            c.waitForFinished(120000);
            row("Chromium headless, same page (--window-size=1280,20000)", t.nsecsElapsed() / 1e6, "ms");
        }
    } else {
        std::printf("| Chromium headless | not installed |\n");
    }

    // A gallery click (the signal it sends) to the viewer showing the picture.
    const QString picture = world.url(QStringLiteral("/picture?w=800&h=600&color=336699"));
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        emit w->pages().pictureChosen(picture);
        FormImage *viewer = w->findChild<FormImage *>();
        QSignalSpy shown(viewer, &FormImage::shown);
        waitUntil([&] {
            return shown.count() > 0
                   && evaluate(viewer->Web(), QStringLiteral("document.images.length==1&&document.images[0].complete")).toBool();
        }, 30000);
        row("gallery click to the viewer showing the picture", t.nsecsElapsed() / 1e6, "ms");
    }
    return 0;
}
