#include "app/historyflush.h"

#include "platform/clock.h"
#include "platform/serialwriter.h"

#include <QFile>
#include <QByteArray>

HistoryFlush::HistoryFlush(History &history, const Clock &clock, std::function<void(const QString &)> tell)
    : m_history(history)
    , m_clock(clock)
    , m_tell(std::move(tell))
    , m_writer(std::make_unique<SerialWriter>())
{
}

HistoryFlush::~HistoryFlush()
{
    settle();
}

void HistoryFlush::flush(const QVector<Visit> &newestFirst, bool skipWritten)
{
    Rows rows{m_clock.now().date(), newestFirst, skipWritten};
    QMutexLocker locker(&m_lock);
    m_pending.append(std::move(rows));
    if (m_writing)
        return;
    m_writing = true;
    m_writer->start([this] { writePending(); });
}

void HistoryFlush::settle()
{
    m_writer->waitForDone();
}

void HistoryFlush::waitUntilWritten()
{
    QMutexLocker locker(&m_lock);
    while (m_writing)
        m_written.wait(&m_lock);
}

void HistoryFlush::writePending()
{
    for (;;) {
        QVector<Rows> batch;
        {
            QMutexLocker locker(&m_lock);
            if (m_pending.isEmpty()) {
                m_writing = false;
                m_written.wakeAll();
                return;
            }
            batch.swap(m_pending);
        }
        // Closes of the same day go in one write; what was cleared meanwhile (here or in
        // another instance) is not written back.
        const QDateTime cleared = m_history.clearedAt();
        bool ok = true;
        for (qsizetype i = 0; i < batch.size();) {
            QByteArray bytes;
            const QDate day = batch[i].day;
            QByteArray written; // the day's file, read once, if a batch needs it
            bool read = false;
            for (; i < batch.size() && batch[i].day == day; ++i) {
                QVector<Visit> visits = batch[i].newestFirst;
                if (cleared.isValid())
                    visits.removeIf([&cleared](const Visit &v) { return v.when < cleared; });
                if (batch[i].skipWritten) {
                    if (!read) {
                        QFile file(m_history.dayFile(day, QStringLiteral(".dat")));
                        if (file.open(QIODevice::ReadOnly))
                            written = file.readAll();
                        read = true;
                    }
                    visits.removeIf([&written](const Visit &v) { return written.contains(History::rowsOf({v}).chopped(2)); });
                }
                if (!visits.isEmpty())
                    bytes += History::rowsOf(visits);
            }
            if (bytes.isEmpty())
                continue;
            ok = m_history.appendRows(bytes, day) && ok;
        }
        if (!ok)
            QMetaObject::invokeMethod(&m_context, [this] {
                if (m_failureTold)
                    return;
                m_failureTold = true;
                m_tell(QStringLiteral("历史记录无法写入 %1，本次关闭的网页没有记入历史。").arg(m_history.folder()));
            }, Qt::QueuedConnection);
    }
}
