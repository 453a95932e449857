#pragma once
#include <QList>
#include <QPointer>

class QWidget;

// The views of pages closed while the engine still lays them out for print. Taking such a
// view away mid-job crashes the engine at times, so it stays, out of sight, until its job
// ends; the engine profile waits for the rest before it goes.
class PrintKeeper
{
public:
    PrintKeeper() = default;
    ~PrintKeeper();
    PrintKeeper(const PrintKeeper &) = delete;
    PrintKeeper &operator=(const PrintKeeper &) = delete;

    void keep(QWidget *view);
    // The view's job ended: it goes (later, from the event loop).
    void release(QWidget *view);
    // Views still kept.
    int count();
    // Waits (up to ms) for the kept views' jobs, then lets the rest go. Called once the
    // last window is gone, so the wait holds no window.
    void finish(int ms);

private:
    QList<QPointer<QWidget>> m_kept;
};
