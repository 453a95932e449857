#pragma once
#include "engine/browsercontrol.h"

#include <QtTest>

// Waits for a script's result in the application world of a browser control.
inline QVariant evaluateSync(BrowserControl *web, const QString &js, int timeoutMs = 5000)
{
    QVariant out;
    bool done = false;
    web->runScript(js, [&](const QVariant &v) {
        out = v;
        done = true;
    });
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < timeoutMs)
        QTest::qWait(10);
    return out;
}

// Waits until the condition holds, checking it every few milliseconds (QTest::qWaitFor
// processes events for as long as they keep coming, so it can overrun a condition that
// already holds by seconds while the engine is busy).
template <typename Condition>
bool waitFor(Condition condition, int timeoutMs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

// Lets deferred deletions (closed pages) run, so no view outlives its engine profile.
inline void flushDeletions()
{
    // A deletion can post another (a page's views go after the page).
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
