#include "engine/printkeeper.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

PrintKeeper::~PrintKeeper()
{
    qDeleteAll(std::exchange(m_kept, {}));
}

void PrintKeeper::keep(QWidget *view)
{
    m_kept.append(view);
}

void PrintKeeper::release(QWidget *view)
{
    m_kept.removeAll(view);
    if (view)
        view->deleteLater();
}

int PrintKeeper::count()
{
    m_kept.removeAll(nullptr);
    return m_kept.size();
}

void PrintKeeper::finish(int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (count() > 0 && waited.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Out of time: they go all the same, and the log says so (no window is left to).
    if (count() > 0)
        qWarning("Gave up waiting %d ms for %d print layout(s) to end; their views go now.", ms, int(m_kept.size()));
    qDeleteAll(std::exchange(m_kept, {}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
