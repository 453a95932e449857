#include "userdata/favorites.h"

#include "userdata/gbktext.h"

#include <QFile>
#include <QSaveFile>

namespace {
const QByteArray kCrLf = "\r\n";
}

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
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    // A line break in either part would split the favourite in two.
    // The title never holds a comma: readers split at the first one.
    QString line = QString(title).remove(QLatin1Char(',')) + QLatin1Char(',') + address;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray bytes = GbkText::encode(line) + kCrLf;
    return file.write(bytes) == bytes.size() && file.flush();
}

QStringList Favorites::lines() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    for (const QString &line : GbkText::lines(GbkText::decode(file.readAll())))
        if (!line.isEmpty())
            out << line;
    return out;
}

QVector<Favorites::Entry> Favorites::entries(int max) const
{
    QVector<Entry> out;
    QFile file(m_path);
    if (max <= 0 || !file.open(QIODevice::ReadOnly))
        return out;
    // Only as far as the menu needs: a huge file costs no more than a short one.
    GbkText::forEachLine(file, [&out, max](const QString &line) {
        const int comma = line.indexOf(QLatin1Char(','));
        // A line without a comma is no favourite; the ones after it still are.
        if (comma >= 0)
            out.append({line.left(comma), line.mid(comma + 1)});
        return out.size() < max;
    });
    return out;
}

bool Favorites::save(const QStringList &lines) const
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString &line : lines)
        file.write(GbkText::encode(line) + kCrLf);
    return file.commit();
}

QString Favorites::addressOf(const QString &line)
{
    const int comma = line.indexOf(QLatin1Char(','));
    return comma < 0 ? line : line.mid(comma + 1);
}
