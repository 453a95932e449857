// What a page stuck in an endless script does to the other tabs, under the engine flags
// the browser starts with (or the QTWEBENGINE_CHROMIUM_FLAGS given): six tabs of one
// site, one tab of another site; the first tab hangs. Prints, per tab, whether a script
// round trip came back within two seconds, before and after the hung tab is closed.
#include "benchworld.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "engine/browsercontrol.h"
#include "engine/enginerendering.h"
#include "page/formweb.h"
#include "page/rendererwatch.h"
#include "tabs/tabstrip.h"
#include "support/fixtureserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <cstdio>

namespace {

// Milliseconds a script round trip took, or -1 when it did not come back in time.
qint64 roundTrip(FormWeb *p, int timeoutMs)
{
    auto answered = std::make_shared<bool>(false);
    QElapsedTimer clock;
    clock.start();
    p->Web()->runScript(QStringLiteral("1"), nullptr, [answered](const QVariant &) { *answered = true; });
    return waitUntil([&] { return *answered; }, timeoutMs) ? clock.elapsed() : -1;
}

void report(const char *when, const QList<QPointer<FormWeb>> &same, FormWeb *other, Frmmain *w)
{
    int stuck = 0, alive = 0, stopped = 0;
    for (FormWeb *p : same) {
        if (!p)
            continue;
        if (w->tabStrip()->labelText(p->myindex()) == FormWeb::kStoppedLabel)
            ++stopped;
        else
            roundTrip(p, 2000) < 0 ? ++stuck : ++alive;
    }
    const qint64 otherMs = roundTrip(other, 2000);
    std::printf("| %-34s | %d answer, %d stuck, %d stopped (F5 reloads) | %s |\n", when, alive, stuck, stopped,
                otherMs < 0 ? "stuck" : qPrintable(QStringLiteral("answers in %1 ms").arg(otherMs)));
}

} // namespace

int main(int argc, char *argv[])
{
    BenchWorld::prepareProcess();
    EngineRendering::applyFromProcess();
    QApplication app(argc, argv);
    BenchWorld world;
    Frmmain *w = world.window.get();
    std::printf("engine flags: %s\n\n| moment | tabs of the hung page's site | tab of another site |\n|---|---|---|\n",
                qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").constData());
    QList<QPointer<FormWeb>> same;
    for (int i = 0; i < 6; ++i) {
        FormWeb *p = w->pages().LoadNewForm(world.url(QStringLiteral("/page?id=%1").arg(i)));
        waitUntil([&] { return !p->Web()->isBusy() && p->loadedOnce(); }, 15000);
        same.append(p);
    }
    QUrl elsewhere = world.server->url(QStringLiteral("/page?id=other"));
    elsewhere.setHost(QStringLiteral("localhost"));
    FormWeb *other = w->pages().LoadNewForm(elsewhere.toString());
    waitUntil([&] { return !other->Web()->isBusy() && other->loadedOnce(); }, 15000);

    FormWeb *hung = same.takeFirst();
    report("before", same, other, w);
    hung->Web()->runPageScript(QStringLiteral("setTimeout(function () { for (;;) {} }, 0)"));
    waitUntil([] { return false; }, 300);
    report("one tab hung", same, other, w);
    hung->close();
    waitUntil([] { return false; }, RendererWatch::kAnswerWithinMs + 2000);
    report("hung tab closed, 17 s later", same, other, w);
    return 0;
}
