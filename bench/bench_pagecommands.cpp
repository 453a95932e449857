// Print preview of a 200-page document (until the first page is drawn, and the longest
// stall of the window's event loop meanwhile), and find on a 5 MB page (until the
// engine answers with the first match).
#include "benchworld.h"
#include "app/frmmain.h"
#include "app/mainmenus.h"
#include "app/pagestack.h"
#include "page/formweb.h"
#include "page/printpreview.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPdfDocument>
#include <QPdfView>
#include <algorithm>
#include <cstdio>

namespace {

FormWeb *openLines(BenchWorld &world, int lines)
{
    FormWeb *page = world.window->pages().LoadNewForm(world.url(QStringLiteral("/lines?n=%1").arg(lines)));
    waitUntil([&] { return page->loadedOnce() && !page->Web()->isBusy(); }, 60000);
    return page;
}

// Whether the view shows drawn text (not only blank sheets) where it is now.
bool drawn(QPdfView *view)
{
    const QImage shot = view->viewport()->grab().toImage();
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2)
            if (qGray(shot.pixel(x, y)) < 100)
                return true;
    return false;
}

// Whether the engine's mark of the active match (orange) is drawn in the view.
bool orangeShown(QWidget *view)
{
    const QImage shot = view->grab().toImage();
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 110 && c.green() < 190 && c.blue() < 100)
                return true;
        }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    BenchWorld::prepareProcess();
    QApplication app(argc, argv);
    BenchWorld world;
    Frmmain *w = world.window.get();
    std::printf("| measure | value |\n|---|---|\n");

    openLines(world, 6200);
    StallWatch stalls;
    stalls.start();
    const QElapsedTimer &clock = stalls.clock;
    w->menus()->action(QStringLiteral("closecd"))->trigger();
    PrintPreview *preview = w->findChild<PrintPreview *>();
    const qint64 opened = clock.elapsed();
    waitUntil([&] { return preview->ready(); }, 60000);
    const qint64 laidOut = clock.elapsed();
    waitUntil([&] { return drawn(preview->view()); }, 60000);
    const qint64 firstPage = clock.elapsed();
    stalls.stop();
    row("print preview: pages", preview->document()->pageCount(), "");
    row("print preview: window open", double(opened), "ms");
    row("print preview: pages laid out by the engine", double(laidOut), "ms");
    row("print preview: first page drawn", double(firstPage), "ms");
    row("print preview: longest event-loop stall", double(stalls.longest), "ms");
    preview->close();

    FormWeb *big = openLines(world, 300000);
    const double mb = evaluate(big->Web(), QStringLiteral("document.documentElement.outerHTML.length")).toDouble() / 1048576.0;
    row("find: page size", mb, "MB");
    for (const QString &word : {QStringLiteral("Line 299999"), QStringLiteral("Line 1"), QStringLiteral("absent word")}) {
        big->Web()->find(QString(), false, false, nullptr, [](int, int) {});
        evaluate(big->Web(), QStringLiteral("window.scrollTo(0, 0)"));
        int total = -1;
        qint64 shown = -1;
        QElapsedTimer clock;
        clock.start();
        big->Web()->find(word, false, false, nullptr, [&](int, int count) { total = count; });
        // The engine marks the match it goes to (orange) before it has counted them all;
        // a match further down is scrolled into sight.
        if (word == QLatin1String("Line 299999")) {
            waitUntil([&] { return evaluate(big->Web(), QStringLiteral("window.scrollY")).toInt() > 0; }, 30000);
            shown = clock.elapsed();
        } else if (word == QLatin1String("Line 1")) {
            waitUntil([&] { return orangeShown(big->Web()->widget()); }, 30000);
            shown = clock.elapsed();
        }
        waitUntil([&] { return total >= 0; }, 30000);
        if (shown >= 0)
            row(qPrintable(QStringLiteral("find \"%1\": the first match shown").arg(word)), double(shown), "ms");
        row(qPrintable(QStringLiteral("find \"%1\": all %2 matches counted").arg(word).arg(total)), double(clock.elapsed()), "ms");
    }
    return 0;
}
