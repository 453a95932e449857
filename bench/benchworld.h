#pragma once
#include <cstdio>
#include <memory>
#include <optional>
// What the engine benchmarks share: the real event loop waits, and a main window on a real
// engine profile kept off the internet, with the fixture server on a thread of its own (a
// real site answers from elsewhere; thousands of requests must not hold up the browser's
// own event loop).
#include "app/frmmain.h"
#include "engine/browsercontrol.h"
#include "engine/engineprofile.h"
#include "page/session.h"
#include "platform/clock.h"
#include "platform/memory.h"
#include "platform/paths.h"
#include "platform/settingsstore.h"
#include "support/fixtureserver.h"
#include "support/outsideblocker.h"
#include "support/recordingdialogs.h"
#include "support/recordingshell.h"
#include "userdata/options.h"

#include "support/testenv.h"

#include <QCoreApplication>
#include <QEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QWebEngineProfile>
#include <algorithm>
#include <functional>
#include <memory>

// Runs the real event loop (as the browser does) until pred holds; the test library's
// wait sleeps between turns and would slow the engine's own work down. A pred that asks
// the page waits for its answer in a loop of its own: it is not asked again meanwhile,
// nor once more after it held, since each asking is a round trip that would be timed too.
// At the time-out it is asked a last time: an answer handled in that same turn counts.
inline bool waitUntil(const std::function<bool()> &pred, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    bool met = false;
    bool asking = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (met || asking)
            return;
        asking = true;
        met = pred();
        asking = false;
        if (met)
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(2);
    loop.exec();
    return met || pred();
}

// One row of a benchmark's table.
inline void row(const char *what, double value, const char *unit)
{
    std::printf("| %-58s | %10.1f %s |\n", what, value, unit);
}

// The longest gap between turns of the window's event loop while it runs (a 5 ms timer).
struct StallWatch {
    QElapsedTimer clock;
    QTimer tick;
    qint64 last = 0;
    qint64 longest = 0;
    void start()
    {
        QObject::connect(&tick, &QTimer::timeout, [this] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        tick.start(5);
    }
    void stop() { tick.stop(); }
};

inline QVariant evaluate(PageControl *web, const QString &js)
{
    // On the heap: an answer after the time-out must find somewhere to go.
    auto out = std::make_shared<std::optional<QVariant>>();
    web->runScript(js, nullptr, [out](const QVariant &v) { *out = v; });
    waitUntil([&] { return out->has_value(); }, 10000);
    return out->value_or(QVariant());
}

struct BenchWorld {
    QThread serverThread;
    QObject serverHome;
    FixtureServer *server = nullptr;
    OutsideBlocker blocker;
    SettingsStore store{Paths::settingsFile()};
    Options options;
    std::unique_ptr<EngineProfile> engine = std::make_unique<EngineProfile>();
    RecordingShell shell;
    RecordingDialogs dialogs;
    SystemClock clock;
    SystemMemory memory;
    std::unique_ptr<Session> session;
    std::unique_ptr<Frmmain> window;

    // Before the application: a fresh home, offscreen, shared GL contexts.
    static void prepareProcess()
    {
        TestEnv::isolateHome();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    }

    BenchWorld()
    {
        serverThread.start();
        serverHome.moveToThread(&serverThread);
        QMetaObject::invokeMethod(&serverHome, [this] {
            server = new FixtureServer;
            server->start();
        }, Qt::BlockingQueuedConnection);
        engine->profile()->setUrlRequestInterceptor(&blocker);
        session = std::make_unique<Session>(store, options, *engine, shell, dialogs, clock, memory);
        window = std::make_unique<Frmmain>(*session);
        window->resize(1200, 800);
        window->show();
    }

    ~BenchWorld()
    {
        window.reset();
        waitUntil([] { return false; }, 100);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        session.reset();
        engine->profile()->setUrlRequestInterceptor(nullptr);
        engine.reset();
        QMetaObject::invokeMethod(&serverHome, [this] { delete server; }, Qt::BlockingQueuedConnection);
        serverThread.quit();
        serverThread.wait();
    }

    QString url(const QString &path) const { return server->address(path); }
};
