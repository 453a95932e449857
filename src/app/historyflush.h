#pragma once
#include <QString>
#include <QVector>
#include <functional>

class Clock;
class History;
struct Visit;

// The visits of closing pages into the day's history. The date is the one at flush time:
// a window open across midnight writes to the new day. A history that cannot be written is
// said once a run, where the user looks; the pages keep working.
class HistoryFlush
{
public:
    HistoryFlush(History &history, const Clock &clock, std::function<void(const QString &)> tell);
    void flush(const QVector<Visit> &newestFirst);

private:
    History &m_history;
    const Clock &m_clock;
    std::function<void(const QString &)> m_tell;
    bool m_failureTold = false;
};
