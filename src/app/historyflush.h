#pragma once
#include <QDate>
#include <QMutex>
#include <QWaitCondition>
#include <QObject>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

#include "userdata/history.h"

class Clock;
class SerialWriter;

// The visits of closing pages into the day's history. The date is the one at flush time:
// a window open across midnight writes to the new day. The rows are made and written
// away from the window, several closes in one synced write (each close's rows all or
// none). A history that cannot be written is said once a run, where the user looks;
// the pages keep working.
class HistoryFlush
{
public:
    HistoryFlush(History &history, const Clock &clock, std::function<void(const QString &)> tell);
    // Waits for what was handed over: the visits of the last pages closed are not lost.
    ~HistoryFlush();
    // skipWritten: rows a day file holds already (from the visit's day to this one) are
    // left out (visits of a list kept against a crash, which may have been written at
    // their page's close just before the crash, that day).
    void flush(const QVector<Visit> &newestFirst, bool skipWritten = false);
    // Returns once every visit handed over is in its file: before the history is read,
    // shown or removed.
    void settle();
    // The same, from any thread: returns once nothing handed over waits to be written.
    void waitUntilWritten();

private:
    struct Rows {
        QDate day;
        QVector<Visit> newestFirst;
        bool skipWritten = false;
    };
    // On the writer: everything handed over until none is left.
    void writePending();

    History &m_history;
    const Clock &m_clock;
    std::function<void(const QString &)> m_tell;
    bool m_failureTold = false;
    QMutex m_lock; // guards m_pending and m_writing
    QWaitCondition m_written; // m_writing went false
    QVector<Rows> m_pending;
    bool m_writing = false;
    // A failure comes back through it, and not after the flush is gone.
    QObject m_context;
    // One writer: the day's file gets the rows in the order the pages closed.
    std::unique_ptr<SerialWriter> m_writer;
};
