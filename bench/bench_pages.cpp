// Times the page side with the real engine, offscreen: opening tabs, a page load seen
// through its tab label, the address filter, and a storm of refused pop-ups cleared by
// the page timers. Prints one table row per case.
#include "benchworld.h"
#include "app/frmmain.h"
#include "app/mainmenus.h"
#include "app/pagestack.h"
#include "userdata/history.h"
#include "engine/browsercontrol.h"
#include "engine/engineprofile.h"
#include "page/adfilter.h"
#include "page/formweb.h"
#include "page/session.h"
#include "platform/clock.h"
#include "support/recordingdialogs.h"
#include "support/recordingshell.h"
#include "platform/paths.h"
#include "support/fixtureserver.h"
#include "support/outsideblocker.h"
#include "support/testenv.h"
#include "tabs/tabstrip.h"
#include "userdata/options.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWebEngineProfile>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <cstdio>

namespace {

void row(const char *what, int n, qint64 ns)
{
    std::printf("| %-46s | %6d | %12.1f | %10.3f |\n", what, n, double(ns) / n / 1000.0, double(ns) / 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    BenchWorld::prepareProcess();
    QApplication app(argc, argv);
    BenchWorld world;
    FixtureServer &server = *world.server;
    Options &options = world.options;
    SystemClock &clock = world.clock;
    Frmmain *w = world.window.get();
    std::printf("| case | n | us per op | total ms |\n|---|---|---|---|\n");

    QElapsedTimer t;
    const QString longUrl = QStringLiteral("https://ads.example/") + QString(100, QLatin1Char('a'));
    t.start();
    int refused = 0;
    for (int i = 0; i < 100000; ++i)
        refused += AdFilter::refuses(longUrl, 1, 0);
    row("address filter on a 120-character address", 100000, t.nsecsElapsed());

    t.restart();
    for (int i = 0; i < 50; ++i)
        w->pages().LoadNewForm(QStringLiteral("about:blank"));
    row("open a blank tab (page window and engine view)", 50, t.nsecsElapsed());
    w->pages().CloseAll();
    waitUntil([] { return false; }, 200);

    const int loads = 20;
    t.restart();
    for (int i = 0; i < loads; ++i) {
        FormWeb *p = w->pages().LoadNewForm(server.address(QStringLiteral("/page?id=%1").arg(i)));
        const QString want = QStringLiteral("Page %1").arg(i);
        waitUntil([&] { return w->tabStrip()->labelText(p->myindex()) == want; }, 15000);
    }
    row("new tab until its label shows the title", loads, t.nsecsElapsed());
    w->pages().CloseAll();
    waitUntil([] { return false; }, 200);

    // The history page of a full day (1,000 rows written by 50 windows).
    {
        QVector<Visit> visits;
        for (int i = 0; i < 20; ++i)
            visits.append({QDateTime::currentDateTime(), QStringLiteral("网页标题 %1").arg(i),
                           QStringLiteral("http://news.example/article/%1").arg(i)});
        const QDate today = clock.now().date();
        QFile::remove(w->history().dayFile(today, QStringLiteral(".dat")));
        for (int i = 0; i < 50; ++i)
            w->history().append(visits, today);
        const int opens = 5;
        t.restart();
        for (int i = 0; i < opens; ++i) {
            w->menus()->action(QStringLiteral("History"))->trigger();
            FormWeb *p = w->pages().activePage();
            waitUntil([&] { return w->tabStrip()->labelText(p->myindex()) == History::kPageTitle; }, 15000);
        }
        row("history page of 1,000 rows until its title shows", opens, t.nsecsElapsed());
        w->pages().CloseAll();
        waitUntil([] { return false; }, 200);
    }

    FormWeb *opener = w->pages().LoadNewForm(server.address(QStringLiteral("/page?id=opener")));
    waitUntil([&] { return !opener->Web()->LocationURL().isEmpty(); }, 15000);
    options.setAdBlock(1);
    const int tabs = w->pages().book().count();
    t.restart();
    opener->Web()->runScript(QStringLiteral("for (var i = 0; i < 200; ++i) window.open('%1' + i);")
                                 .arg(server.address(QStringLiteral("/page?id=")) + QString(90, QLatin1Char('z'))));
    waitUntil([&] { return w->pages().book().count() > tabs; }, 15000);
    waitUntil([&] { return w->pages().book().count() == tabs; }, 120000);
    row("200 refused pop-ups opened and closed again", 200, t.nsecsElapsed());

    return refused == 100000 ? 0 : 1;
}
