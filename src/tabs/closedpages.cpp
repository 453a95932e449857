#include "tabs/closedpages.h"
#include "tabs/pagetext.h"

#include "platform/settingsstore.h"

#include <QUrl>

using SettingKeys::closedRecordKey;
using SettingKeys::kClosedCount;

ClosedPages::ClosedPages(SettingsStore &store)
    : m_store(store)
{
}

void ClosedPages::load()
{
    int count = 0;
    m_store.readInt(kClosedCount, count);
    // A hand-edited count outside the ring must not address records that do not exist.
    m_cursor = (count >= 0 && count < kRing) ? count : 0;
    m_storedCount = m_cursor;
}

void ClosedPages::clear()
{
    m_cursor = 0;
    m_storedCount = 0;
    SettingsStore::Batch batch(m_store);
    m_store.write(kClosedCount, QStringLiteral("0"));
    m_store.deleteSection(SettingKeys::kClosedPages);
}

bool ClosedPages::recordable(const QString &address)
{
    return address.size() > 12 && address.size() < 100;
}

bool ClosedPages::record(const QString &title, const QString &address)
{
    if (!recordable(address))
        return false;
    m_store.update([&] {
        int stored = 0;
        if (m_store.readInt(kClosedCount, stored) && stored != m_storedCount && stored >= 0 && stored < kRing)
            m_cursor = stored;
        m_cursor += 1;
        if (m_cursor >= kRing)
            m_cursor = 0;
        // Count and record reach the file together.
        m_store.write(SettingKeys::kClosedPages, {{kClosedCount.key, QString::number(m_cursor)},
                                               {closedRecordKey(m_cursor), recordText(title, address)}});
        m_storedCount = m_cursor;
    });
    return true;
}

QString ClosedPages::restore()
{
    if (m_cursor < 0)
        m_cursor = kRing - 1;
    const QString address = addressPart(recordAt(m_cursor));
    if (address.isEmpty())
        return QString();
    m_cursor -= 1;
    return address;
}

QVector<ClosedPages::Entry> ClosedPages::newest(int max) const
{
    QVector<Entry> out;
    for (int k = 0; k < max; ++k) {
        const QString rec = recordAt(m_cursor - k);
        if (rec.isEmpty())
            break;
        out.append(parse(rec));
    }
    return out;
}

namespace {

// The text after a record's last double blank is its address when it has a scheme.
bool looksLikeAddress(const QString &text)
{
    const QUrl url(text);
    return url.isValid() && !url.scheme().isEmpty() && !text.startsWith(QLatin1Char(' '));
}

} // namespace

ClosedPages::Entry ClosedPages::parse(const QString &record)
{
    const int gap = record.lastIndexOf(QLatin1String("  "));
    if (gap >= 0 && looksLikeAddress(record.mid(gap + 2)))
        return {record.left(gap), record.mid(gap + 2)};
    // Records stored before addresses were written encoded: from the first "http" on.
    const int at = record.indexOf(QLatin1String("http"));
    if (at < 0)
        return {record, record};
    QString title = record.left(at);
    if (title.endsWith(QLatin1String("  ")))
        title.chop(2);
    return {title, record.mid(at)};
}

QString ClosedPages::addressPart(const QString &record)
{
    return parse(record).address;
}

QString ClosedPages::recordText(const QString &title, const QString &address)
{
    // Encoded, the address holds no blank, so the last double blank always ends the title.
    const QUrl url(address);
    QString stored = url.isValid() ? QString::fromLatin1(url.toEncoded()) : address;
    stored.replace(QLatin1Char(' '), QLatin1String("%20"));
    return title + QStringLiteral("  ") + stored;
}

QString ClosedPages::listEntry(const QString &title, const QString &address)
{
    return title + QStringLiteral("  ") + PageText::readableAddress(parse(recordText(QString(), address)).address);
}

int ClosedPages::nextMenuItem(int menuCursor)
{
    return menuCursor >= kMenuItems - 1 || menuCursor < -1 ? 0 : menuCursor + 1;
}

int ClosedPages::menuCursorAfterFill(int filled)
{
    return filled >= 20 ? 19 : filled;
}

QString ClosedPages::recordAt(int number) const
{
    if (number < 0 || number >= kRing)
        return QString();
    return m_store.read(SettingKeys::kClosedPages, closedRecordKey(number));
}
