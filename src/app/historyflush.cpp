#include "app/historyflush.h"

#include "platform/clock.h"
#include "userdata/history.h"

HistoryFlush::HistoryFlush(History &history, const Clock &clock, std::function<void(const QString &)> tell)
    : m_history(history)
    , m_clock(clock)
    , m_tell(std::move(tell))
{
}

void HistoryFlush::flush(const QVector<Visit> &newestFirst)
{
    if (m_history.append(newestFirst, m_clock.now().date()) || m_failureTold)
        return;
    m_failureTold = true;
    m_tell(QStringLiteral("历史记录无法写入 %1，本次关闭的网页没有记入历史。").arg(m_history.folder()));
}
