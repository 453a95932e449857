// Times the picture tools with the real engine, offscreen: the gallery of a page of
// 6,000 large pictures, and saving 200 large pictures against a bare loop that only
// encodes the same bitmaps. Prints one table row per measure.
#include "benchworld.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "app/toolbar.h"
#include "engine/browsercontrol.h"
#include "engine/engineprofile.h"
#include "page/formweb.h"
#include "page/pagepictures.h"
#include "page/session.h"
#include "page/statusbar.h"
#include "pictures/picturelist.h"
#include "pictures/picturename.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/settingsstore.h"
#include "support/fixtureserver.h"
#include "support/outsideblocker.h"
#include "support/recordingdialogs.h"
#include "support/recordingshell.h"
#include "support/testenv.h"
#include "userdata/options.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineProfile>
#include <cstdio>
#include <functional>

namespace {

// Longest time the event loop did not come round while pred was false.
qint64 longestStall(const std::function<bool()> &pred, int timeoutMs)
{
    QElapsedTimer since;
    since.start();
    qint64 worst = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worst = qMax(worst, since.restart());
    });
    tick.start(5);
    waitUntil(pred, timeoutMs);
    return worst;
}

} // namespace

int main(int argc, char *argv[])
{
    BenchWorld::prepareProcess();
    QApplication app(argc, argv);
    BenchWorld world;
    FixtureServer &server = *world.server;
    Frmmain *w = world.window.get();
    std::printf("| measure | value |\n|---|---|\n");
    QElapsedTimer t;

    {
        // The page's own pictures are stopped: the gallery's fetching is what is timed.
        FormWeb *p = w->pages().LoadNewForm(server.address(QStringLiteral("/pictures?n=6000&w=600&h=600&sized=1")));
        // The whole document first (its title comes long before its last picture tag).
        waitUntil([&] {
            return evaluate(p->Web(), QStringLiteral("document.readyState != 'loading' && document.images.length")).toInt()
                   == 6000;
        }, 30000);
        p->stop();
        // The background count would overwrite the label this waits for.
        p->findChild<QTimer *>(QStringLiteral("Timer3"))->stop();
        waitUntil([&] { return !p->Web()->isBusy(); }, 5000);
        // The first look at the page waits for its layout after the stopped load; the
        // gallery is timed on a settled page, as a user sees it.
        for (int i = 0; i < 2; ++i) {
            t.start();
            evaluate(p->Web(), PictureScan::script(false));
            row(i == 0 ? "scan of 6,000 pictures, first after the load stopped" : "scan of 6,000 pictures, settled page",
                t.nsecsElapsed() / 1e6, "ms");
        }
        t.start();
        w->toolbar().button("Chk")->click();
        const qint64 stall = longestStall([&] { return p->statusBar()->pictureCount() == QStringLiteral("图片总数：6000"); }, 30000);
        const double built = t.nsecsElapsed() / 1e6;
        row("gallery of 6,000 large pictures: longest stall of the event loop", double(stall), "ms");
        waitUntil([&] { return p->pictures().WebPic() && !p->pictures().WebPic()->LocationURL().isEmpty(); }, 30000);
        waitUntil([&] {
            return evaluate(p->pictures().WebPic(), QStringLiteral(
                "(function(){var s=Array.from(document.images).filter(i=>i.getBoundingClientRect().top<innerHeight);"
                "return s.length>0&&s.every(i=>i.complete&&i.naturalWidth>0);})()")).toBool();
        }, 30000);
        const double firstScreen = t.nsecsElapsed() / 1e6;
        row("gallery of 6,000 large pictures: list and page written", built, "ms");
        row("gallery of 6,000 large pictures: first screen loaded", firstScreen, "ms");
        w->toolbar().button("Chk")->click();
        w->pages().CloseAll();
        waitUntil([&] { return w->pages().book().count() == 1; }, 5000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    for (const bool noise : {true, false}) {
        const int n = 200;
        FormWeb *p = w->pages().LoadNewForm(
            server.address(QStringLiteral("/pictures?n=%1&w=800&h=900%2").arg(n).arg(noise ? "&noise=1" : "")));
        waitUntil([&] {
            return evaluate(p->Web(), QStringLiteral("document.images.length>0&&Array.from(document.images).every(i=>i.complete)"))
                .toBool();
        }, 60000);
        QDir(PictureName::downloadFolder()).removeRecursively();
        QToolButton *command4 = w->toolbar().button("Command4");
        t.start();
        command4->click();
        const qint64 stall = longestStall([&] { return command4->isEnabled() && !p->pictures().savingPictures(); }, 120000);
        const double ours = t.nsecsElapsed() / 1e6;
        const int saved = QDir(PictureName::downloadFolder()).entryList(QDir::Files).size();

        const QImage bitmap = noise ? FixtureServer::noisePicture(800, 900) : [] {
            QImage i(800, 900, QImage::Format_RGB32);
            i.fill(QColor(200, 40, 40));
            return i;
        }();
        QTemporaryDir bare;
        t.restart();
        for (int i = 0; i < n; ++i) {
            QImageWriter writer(bare.path() + QStringLiteral("/%1.jpg").arg(i), "jpg");
            writer.setQuality(80);
            writer.write(bitmap);
        }
        const double loop = t.nsecsElapsed() / 1e6;
        std::printf("| %s pictures: %d saved |  |\n", noise ? "noise" : "solid", saved);
        row("save 200 large pictures (800x900) with the toolbar button", ours, "ms");
        row("bare loop encoding the same 200 bitmaps at quality 80", loop, "ms");
        row("speed against the bare loop", loop / ours, "x");
        row("longest stall of the event loop during the run", double(stall), "ms");
        w->pages().CloseAll();
        waitUntil([&] { return w->pages().book().count() == 1; }, 5000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    return 0;
}
