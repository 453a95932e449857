// The list of open pages kept against a crash: what keeping it costs the window while 20
// tabs load (the longest stall of the event loop, with the list kept and without, both
// after the engine's first pages), and the time to write it with 100 tabs. Real engine,
// offscreen; one table row per figure.
#include "benchworld.h"
#include "app/openpageskeeper.h"
#include "app/pagestack.h"
#include "page/formweb.h"
#include "tabs/tabstrip.h"

#include <QApplication>

#include <map>
#include <utility>

namespace {

// Opens n tabs of the fixture's small pages at once, as a favourites folder, a command
// line or a crashed run's pages do, and waits for their titles; the longest stall of the
// event loop meanwhile.
qint64 openTabs(BenchWorld &world, int from, int n)
{
    PageStack &pages = world.window->pages();
    // Only the fixture's pages count: a blank tab left by closing all never gets a title.
    const auto titled = [&] {
        int count = 0;
        for (FormWeb *p : pages.pagesInTabOrder())
            count += world.window->tabStrip()->labelText(p->myindex()).startsWith(QLatin1String("Page ")) ? 1 : 0;
        return count;
    };
    const int expected = titled() + n;
    StallWatch stalls;
    stalls.start();
    QStringList addresses;
    for (int i = from; i < from + n; ++i)
        addresses << world.url(QStringLiteral("/page?id=%1").arg(i));
    pages.openAll(addresses, OpenTarget{OpenTarget::Background, true});
    waitUntil([&] { return titled() >= expected; }, 120000);
    // The list written a moment after the strip settled is in the figure too.
    waitUntil([] { return false; }, OpenPagesKeeper::kSettleMs + 200);
    stalls.stop();
    return stalls.longest;
}

// Closes n tabs from the front, one each turn a user could type Ctrl+W (every 30 ms),
// until they are gone; the longest stall of the event loop meanwhile, and until the
// window has settled after the last one: over all closes, and from the second on (the
// first comes after the window sat idle, see plainWork).
struct CloseStalls {
    qint64 all = 0;
    qint64 afterFirst = 0;
};
CloseStalls closeTabs(BenchWorld &world, int n)
{
    PageStack &pages = world.window->pages();
    StallWatch stalls;
    StallWatch later;
    stalls.start();
    int left = n;
    QTimer next;
    QObject::connect(&next, &QTimer::timeout, [&] {
        if (left-- > 0)
            pages.closeShown();
        if (left == n - 1)
            later.start();
    });
    next.start(30);
    waitUntil([&] { return left <= 0; }, 60000);
    next.stop();
    waitUntil([] { return false; }, OpenPagesKeeper::kSettleMs + 200);
    stalls.stop();
    later.stop();
    return {stalls.longest, later.longest};
}

// What this machine does to any work after an idle moment, with no page in it: a fixed
// piece of plain work timed first after the window sat idle 1.2 s, and again at once.
std::pair<double, double> plainWork()
{
    const auto work = [] {
        QElapsedTimer t;
        t.start();
        std::map<QString, int> m;
        for (int i = 0; i < 20000; ++i)
            m[QString::number(i * 7919)] = i;
        return double(t.nsecsElapsed()) / 1e6;
    };
    waitUntil([] { return false; }, 1200);
    const double cold = work();
    return {cold, work()};
}

} // namespace

int main(int argc, char *argv[])
{
    BenchWorld::prepareProcess();
    QApplication app(argc, argv);
    std::printf("| case | value |\n|---|---|\n");
    BenchWorld world;
    OpenPagesKeeper *keeper = world.window->openPagesKeeper();
    if (!keeper) {
        std::printf("no list kept (the engine profile runs off the record)\n");
        return 1;
    }
    // The engine's first pages start its processes: not counted.
    openTabs(world, 0, 20);
    row("longest stall while 20 more tabs load, list kept", double(openTabs(world, 20, 20)), "ms");
    const CloseStalls closing = closeTabs(world, 20);
    row("longest stall while 20 tabs close, one every 30 ms", double(closing.all), "ms");
    row("  the same from the second close on", double(closing.afterFirst), "ms");
    const auto [cold, warm] = plainWork();
    row("plain work, first after 1.2 s idle (the machine)", cold, "ms");
    row("the same plain work at once after", warm, "ms");
    openTabs(world, 40, 80);
    QElapsedTimer t;
    t.start();
    constexpr int kWrites = 20;
    for (int i = 0; i < kWrites; ++i)
        keeper->snapshot().toBytes();
    row("list of 100 tabs made (on the window's thread), each", double(t.nsecsElapsed()) / kWrites / 1e6, "ms");
    t.restart();
    for (int i = 0; i < kWrites; ++i)
        keeper->writeNow();
    row("list of 100 tabs made and written whole (synced), each", double(t.nsecsElapsed()) / kWrites / 1e6, "ms");
    row("list of 100 tabs, bytes", double(keeper->snapshot().toBytes().size()), "B");
    // The same loads with no list kept: what the engine's own work stalls.
    world.window->pages().CloseAll();
    openTabs(world, 100, 20);
    keeper->finish();
    world.window->pages().CloseAll();
    openTabs(world, 120, 20);
    row("longest stall while 20 more tabs load, no list kept", double(openTabs(world, 140, 20)), "ms");
    return 0;
}
