// The favourites file: any bytes read without harm; the menu never gets more than its
// 101 items, and every favourite is a line of the file.
#include "fuzzinput.h"
#include "userdata/favorites.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Fav.rar"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return 0;
    f.write(reinterpret_cast<const char *>(data), qint64(size));
    f.close();
    const Favorites fav(path);
    const QVector<Favorites::Entry> entries = fav.entries();
    require(entries.size() <= Favorites::kMenuItems);
    const QStringList lines = fav.lines();
    for (const Favorites::Entry &e : entries)
        require(lines.contains(e.title + QLatin1Char(',') + e.address));
    return 0;
}
