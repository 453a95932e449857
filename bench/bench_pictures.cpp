// Times the picture tools with the real engine, offscreen: saving 200 large pictures
// against a bare capture of the same page and a bare loop that only encodes the same
// bitmaps, then the gallery of a page of 6,000 large pictures against the same file in a
// bare view (last: the 6,000 requests it leaves keep the machine busy for a while).
// Prints one table row per measure.
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
#include "pictures/viewcapture.h"
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
#include <QBitArray>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtMath>
#include <QToolButton>
#include <QFile>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <cstdio>
#include <functional>

namespace {

// When the last picture of the first screen was in, in ms since the epoch, or -1 while one
// is still coming. Asking takes a round trip, which the page, parsing 6,000 tags, may hold
// up for hundreds of milliseconds: that is not the gallery's time, so the page tells the
// time itself: the engine's steady clock, set against the system clock once in the page's
// process, is compared with the system clock as the bench reads it (which assumes nobody
// sets the system clock meanwhile). A picture the page has no timing entry for counts as
// in only now.
const QString kFirstScreenArrived = QStringLiteral(
    "(function(){var s=Array.from(document.images).filter(i=>i.getBoundingClientRect().top<innerHeight);"
    "if(!s.length||!s.every(i=>i.complete&&i.naturalWidth>0))return -1;var end=0;"
    "for(var i of s){var e=performance.getEntriesByName(i.src)[0];end=Math.max(end,e?e.responseEnd:performance.now());}"
    "return performance.timeOrigin+end;})()");

// Milliseconds from `from` to `at` (both ms since the epoch); -1, as every row here that
// did not happen, when `at` never came.
double sinceOrFailed(double at, qint64 from)
{
    return at > 0 ? at - double(from) : -1;
}

// Longest time the event loop did not come round while pred was false.
qint64 longestStall(const std::function<bool()> &pred, int timeoutMs)
{
    StallWatch stalls;
    stalls.start();
    waitUntil(pred, timeoutMs);
    return stalls.longest;
}

// When a view first showed the picture pixels (the fixture's red) where the finished
// screen shows them: the view grabbed every 10 ms, the last grab taken once it has
// settled. Pictures without a size push each other about as they come in, and all are
// the same red: a screen counts only with its red where the finished one has it.
// Times are from start(); grabbing begins with grabFromNow(), so that its own cost stays
// out of what is timed before.
struct PaintWatch {
    std::function<QImage()> grab;
    QElapsedTimer clock;
    QTimer timer;
    QList<std::pair<qint64, QBitArray>> samples;

    // Every second pixel of every second row: red or not.
    static QBitArray redMask(const QImage &shot)
    {
        const QImage image = shot.convertToFormat(QImage::Format_RGB32);
        const int w = (image.width() + 1) / 2;
        QBitArray mask(w * ((image.height() + 1) / 2));
        for (int y = 0; y < image.height(); y += 2) {
            const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); x += 2)
                mask.setBit((y / 2) * w + x / 2, qAbs(qRed(line[x]) - 200) < 16 && qAbs(qGreen(line[x]) - 40) < 16
                                                     && qAbs(qBlue(line[x]) - 40) < 16);
        }
        return mask;
    }
    void start() { clock.start(); }
    void grabFromNow()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { samples.append({clock.elapsed(), redMask(grab())}); });
        timer.start(10);
    }
    // Milliseconds from start() to the first grab with 98 % of the finished screen's red
    // where the finished screen has it; -1 if none (or the screen shows no picture).
    double paintedMs()
    {
        timer.stop();
        waitUntil([] { return false; }, 300);
        const QBitArray final = redMask(grab());
        const qsizetype want = final.count(true);
        for (const auto &[at, mask] : samples)
            if (want > 0 && mask.size() == final.size() && (mask & final).count(true) >= want * 0.98)
                return double(at);
        return -1;
    }
};

struct Capture {
    double ms = 0;
    qint64 stall = 0;
    int grabs = 0;
    qint64 pixels = 0;
};

// The floor under a picture run: the view made as tall as a run makes it, scrolled chunk
// by chunk over the whole document, each new frame waited for (a marker of a new colour
// in the bottom corner, as a run waits) and grabbed whole. Nothing is cut, encoded or
// written.
Capture bareCapture(PageControl *web)
{
    Capture c;
    StallWatch stalls;
    stalls.start();
    QElapsedTimer t;
    t.start();
    const QVariantList d = evaluate(web, QStringLiteral(
        "(function(){var s=document.scrollingElement||document.documentElement;return [s.scrollHeight,innerWidth];})()")).toList();
    const qreal zoom = ViewCapture::viewPixelsPerCssPixel(*web, d.value(1).toDouble());
    const int documentHeight = qCeil(d.value(0).toDouble() * zoom);
    const int chunk = ViewCapture::chunkHeight(web->viewSize(), web->devicePixelRatio(), documentHeight);
    web->setCaptureHeight(chunk);
    waitUntil([&] { return qAbs(evaluate(web, QStringLiteral("innerHeight")).toInt() - qFloor(chunk / zoom)) <= 1; }, 5000);
    const QColor markers[2] = {QColor(17, 231, 187), QColor(187, 17, 231)};
    const int step = qFloor(chunk / zoom) - 5; // the marker's rows come again in the next chunk
    for (int y = 0, turn = 0; y < documentHeight / zoom; y += step, turn = 1 - turn) {
        const QVariantList m = evaluate(web, QStringLiteral(
            "(function(){scrollTo(0,%1);var m=document.getElementById('bare_marker');if(!m){m=document.createElement('div');"
            "m.id='bare_marker';m.style.cssText='position:fixed;right:0;bottom:0;width:4px;height:4px;z-index:2147483647';"
            "document.body.appendChild(m);}m.style.background='%2';var b=m.getBoundingClientRect();return [b.left,b.top];})()")
            .arg(y).arg(markers[turn].name())).toList();
        const QPoint at(qFloor((m.value(0).toDouble() + 2) * zoom), qFloor((m.value(1).toDouble() + 2) * zoom));
        waitUntil([&] {
            const QImage one = web->grabView(QRect(at, QSize(1, 1)));
            return !one.isNull() && qAbs(one.pixelColor(0, 0).green() - markers[turn].green()) < 8;
        }, 5000);
        const QImage shot = web->grabView();
        ++c.grabs;
        c.pixels += qint64(shot.width()) * shot.height();
    }
    web->restoreViewSize();
    evaluate(web, QStringLiteral("document.getElementById('bare_marker').remove();scrollTo(0,0)"));
    c.ms = t.nsecsElapsed() / 1e6;
    c.stall = stalls.longest;
    return c;
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
    // Every page closed and gone, so that the next measure starts on an empty window.
    const auto closeAllPages = [w] {
        w->pages().CloseAll();
        waitUntil([&] { return w->pages().book().count() == 1; }, 5000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    QElapsedTimer t;

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
        const Capture bare = bareCapture(p->Web());

        const QImage bitmap = noise ? FixtureServer::noisePicture(800, 900) : [] {
            QImage i(800, 900, QImage::Format_RGB32);
            i.fill(QColor(200, 40, 40));
            return i;
        }();
        QTemporaryDir loopFolder;
        t.restart();
        for (int i = 0; i < n; ++i) {
            QImageWriter writer(loopFolder.path() + QStringLiteral("/%1.jpg").arg(i), "jpg");
            writer.setQuality(80);
            writer.write(bitmap);
        }
        const double loop = t.nsecsElapsed() / 1e6;
        std::printf("| %s pictures: %d saved |  |\n", noise ? "noise" : "solid", saved);
        row("save 200 large pictures (800x900) with the toolbar button", ours, "ms");
        row("bare loop encoding the same 200 bitmaps at quality 80", loop, "ms");
        row("speed against the bare loop", loop / ours, "x");
        row("bare capture of the same page (view grabbed in the same chunks)", bare.ms, "ms");
        std::printf("| %-58s | %10d grabs of %.1f Mpx |\n", "  the bare capture's grabs", bare.grabs,
                    bare.pixels / 1e6 / qMax(1, bare.grabs));
        row("the run against the bare capture", ours / bare.ms, "x");
        row("longest stall of the event loop during the run", double(stall), "ms");
        row("longest stall of the event loop during the bare capture", double(bare.stall), "ms");
        closeAllPages();
    }

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
        const qint64 clickedAt = QDateTime::currentMSecsSinceEpoch();
        PaintWatch painted;
        painted.grab = [&] { return p->pictures().WebPic() ? p->pictures().WebPic()->grabView() : QImage(); };
        painted.start();
        w->toolbar().button("Chk")->click();
        const qint64 stall = longestStall([&] { return p->statusBar()->pictureCount() == QStringLiteral("图片总数：6000"); }, 30000);
        const double built = t.nsecsElapsed() / 1e6;
        // The gallery's view is new and its page only now asked for: nothing of it is
        // painted yet.
        painted.grabFromNow();
        row("gallery of 6,000 large pictures: longest stall of the event loop", double(stall), "ms");
        waitUntil([&] { return p->pictures().WebPic() && !p->pictures().WebPic()->LocationURL().isEmpty(); }, 30000);
        double arrived = -1;
        waitUntil([&] { return (arrived = evaluate(p->pictures().WebPic(), kFirstScreenArrived).toDouble()) > 0; }, 30000);
        const double seen = t.nsecsElapsed() / 1e6;
        row("gallery of 6,000 large pictures: list and page written", built, "ms");
        row("gallery of 6,000 large pictures: first screen's pictures in", sinceOrFailed(arrived, clickedAt), "ms");
        row("gallery of 6,000 large pictures: first screen seen loaded", seen, "ms");
        row("gallery of 6,000 large pictures: first screen painted", painted.paintedMs(), "ms");
        QTemporaryDir folder;
        const QString copy = folder.path() + QStringLiteral("/gallery.htm");
        QFile::copy(p->pictures().galleryFile(), copy);
        const QSize gallerySize = p->pictures().WebPic()->viewSize();
        w->toolbar().button("Chk")->click();
        closeAllPages();
        {
            // The floor: the same gallery file in a bare view of the same size, once the
            // gallery's page is closed and its requests have died down.
            waitUntil([] { return false; }, 2000);
            QWebEngineView bare;
            auto *page = new QWebEnginePage(world.engine->profile(), &bare);
            page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
            bare.setPage(page);
            bare.resize(gallerySize);
            bare.show();
            t.restart();
            const qint64 loadedAt = QDateTime::currentMSecsSinceEpoch();
            PaintWatch barePainted;
            barePainted.grab = [&] { return bare.grab().toImage(); };
            barePainted.start();
            barePainted.grabFromNow();
            bare.load(QUrl::fromLocalFile(copy));
            double bareArrived = -1;
            waitUntil([&] {
                auto answer = std::make_shared<std::optional<double>>();
                page->runJavaScript(kFirstScreenArrived, [answer](const QVariant &v) { *answer = v.toDouble(); });
                waitUntil([&] { return answer->has_value(); }, 5000);
                return (bareArrived = answer->value_or(-1)) > 0;
            }, 30000);
            const double bareSeen = t.nsecsElapsed() / 1e6;
            row("the same gallery file in a bare view: first screen's pictures in", sinceOrFailed(bareArrived, loadedAt), "ms");
            row("the same gallery file in a bare view: first screen seen loaded", bareSeen, "ms");
            row("the same gallery file in a bare view: first screen painted", barePainted.paintedMs(), "ms");
            bare.stop();
        }
    }

    return 0;
}
