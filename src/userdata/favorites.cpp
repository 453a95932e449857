#include "userdata/favorites.h"

#include "platform/wholeappend.h"
#include "userdata/gbktext.h"

#include <QFile>
#include <QHash>
#include <functional>

namespace {
const QByteArray kCrLf = "\r\n";
// What is shown of one line (a hand-edited file may hold a title of megabytes); the
// file itself keeps every byte.
constexpr int kShownBytes = 4096;

// The file's lines as they are on disk, without their line ends (CR LF, LF or a lone CR),
// read in blocks: take returns false to stop. Every reader of the file splits it so, and
// each line is decoded on its own, so the menu and the dialog see the same lines.
void forEachRawLine(QIODevice &device, const std::function<bool(const QByteArray &)> &take)
{
    QByteArray pending;
    bool atEnd = false;
    while (!atEnd) {
        const QByteArray chunk = device.read(64 * 1024);
        atEnd = chunk.isEmpty();
        pending += chunk;
        qsizetype start = 0;
        for (qsizetype i = 0; i < pending.size(); ++i) {
            const char c = pending.at(i);
            if (c != '\n' && c != '\r')
                continue;
            // A CR at the end of a block may be the first half of a CR LF.
            if (c == '\r' && i + 1 == pending.size() && !atEnd)
                break;
            if (!take(pending.mid(start, i - start)))
                return;
            if (c == '\r' && i + 1 < pending.size() && pending.at(i + 1) == '\n')
                ++i;
            start = i + 1;
        }
        pending.remove(0, start);
    }
    if (!pending.isEmpty())
        take(pending);
}

// The file's non-empty lines as they are on disk.
QList<QByteArray> rawLines(const QString &path)
{
    QFile file(path);
    QList<QByteArray> out;
    if (file.open(QIODevice::ReadOnly))
        forEachRawLine(file, [&out](const QByteArray &line) {
            if (!line.isEmpty())
                out.append(line);
            return true;
        });
    return out;
}

QString shown(const QByteArray &raw)
{
    return GbkText::decode(raw.left(kShownBytes));
}
} // namespace

Favorites::Favorites(const QString &path)
    : m_path(path)
{
}

QString Favorites::storedTitle(const QString &title)
{
    QString t = (title + QStringLiteral("     ")).left(30);
    return t.remove(QLatin1Char(','));
}

bool Favorites::add(const QString &title, const QString &address) const
{
    // A line break in either part would split the favourite in two.
    // The title never holds a comma: readers split at the first one.
    QString line = QString(title).remove(QLatin1Char(',')) + QLatin1Char(',') + address;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    // Whole or not at all: a full disk leaves no piece of a line for the next to join.
    const bool ok = appendWhole(m_path, GbkText::encode(line) + kCrLf);
    if (ok)
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    return ok;
}

QStringList Favorites::lines() const
{
    QStringList out;
    for (const QByteArray &raw : rawLines(m_path))
        out << shown(raw);
    return out;
}

QVector<Favorites::Entry> Favorites::entries(int max) const
{
    QVector<Entry> out;
    QFile file(m_path);
    if (max <= 0 || !file.open(QIODevice::ReadOnly))
        return out;
    // Only as far as the menu needs: a huge file costs no more than a short one.
    forEachRawLine(file, [&out, max](const QByteArray &raw) {
        // Decoded whole (the address after a long title counts), the title shown in part.
        const QString line = GbkText::decode(raw);
        const int comma = line.indexOf(QLatin1Char(','));
        // A line without a comma is no favourite; the ones after it still are.
        if (comma >= 0)
            out.append({line.left(qMin(comma, kShownBytes)), line.mid(comma + 1)});
        return out.size() < max;
    });
    return out;
}

bool Favorites::save(const QStringList &lines) const
{
    // A line the user did not change keeps its bytes, also ones no code page can read
    // and the parts of long lines that were never shown.
    QHash<QString, QList<QByteArray>> untouched;
    for (const QByteArray &raw : rawLines(m_path))
        untouched[shown(raw)].append(raw);
    QByteArray bytes;
    for (const QString &line : lines) {
        QList<QByteArray> &same = untouched[line];
        bytes += (same.isEmpty() ? GbkText::encode(line) : same.takeFirst()) + kCrLf;
    }
    if (!replaceWhole(m_path, bytes, QFile::ReadOwner | QFile::WriteOwner))
        return false;
    // The user's own list, also when an older file was readable by others.
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

QString Favorites::addressOf(const QString &line)
{
    const int comma = line.indexOf(QLatin1Char(','));
    return comma < 0 ? line : line.mid(comma + 1);
}
