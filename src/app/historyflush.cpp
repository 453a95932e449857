#include "app/historyflush.h"

#include "platform/clock.h"
#include "platform/serialwriter.h"

#include <QFile>
#include <QHash>
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
        // Day files, read once a batch if it needs them.
        QHash<QDate, QByteArray> files;
        const auto fileOf = [this, &files](const QDate &date) -> const QByteArray & {
            auto it = files.find(date);
            if (it == files.end()) {
                QFile file(m_history.dayFile(date, QStringLiteral(".dat")));
                it = files.insert(date, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
            }
            return *it;
        };
        // A row its page wrote at its close went to that day's file: any day from the
        // visit's own to this one (a month back at most).
        const auto writtenBefore = [&fileOf](const Visit &v, const QDate &day) {
            const QByteArray row = History::rowsOf({v}).chopped(2);
            const QDate first = qMax(v.when.date(), day.addDays(-31));
            for (QDate d = day; d.isValid() && d >= first; d = d.addDays(-1))
                if (fileOf(d).contains(row))
                    return true;
            return false;
        };
        bool ok = true;
        for (qsizetype i = 0; i < batch.size();) {
            QByteArray bytes;
            const QDate day = batch[i].day;
            for (; i < batch.size() && batch[i].day == day; ++i) {
                QVector<Visit> visits = batch[i].newestFirst;
                if (cleared.isValid())
                    visits.removeIf([&cleared](const Visit &v) { return v.when < cleared; });
                if (batch[i].skipWritten)
                    visits.removeIf([&writtenBefore, &day](const Visit &v) { return writtenBefore(v, day); });
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
