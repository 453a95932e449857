#pragma once
#include "engine/browsercontrol.h"

#include <QtTest>
#include <memory>
#include <optional>

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

// Waits for a script's result in the application world of a browser control. The
// result lives on the heap: a callback that comes after a timeout finds it still there.
// A script that never answers fails the test (an invalid answer would read as 0 or "").
inline QVariant evaluateSync(PageControl *web, const QString &js, int timeoutMs = 5000)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    web->runScript(js, nullptr, [result](const QVariant &v) { *result = v; });
    if (!waitFor([&] { return result->has_value(); }, timeoutMs)) {
        QTest::qFail(qPrintable(QStringLiteral("no answer from the page to: ") + js.left(80)), __FILE__, __LINE__);
        return QVariant();
    }
    return result->value();
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
