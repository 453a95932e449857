#include "pictures/picturename.h"

#include "platform/paths.h"

#include <QFileInfo>

namespace PictureName {

QString downloadFolder()
{
    const QString dir = Paths::appDir() + QStringLiteral("/Download/");
    Paths::ensureDir(dir);
    return dir;
}

QString folder(const QString &path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QString fileName(const QDateTime &when, int serial)
{
    const QDate d = when.date();
    const QTime t = when.time();
    return QStringLiteral("%1%2%3_%4%5%6.jpg")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute())
        .arg(serial);
}

QString next(const QString &dir, int &serial, const QDateTime &when)
{
    // A folder holding a million taken names is not worth waiting on.
    for (int tries = 0; tries < 1000000; ++tries) {
        const QString name = dir + fileName(when, serial);
        ++serial;
        if (!QFileInfo::exists(name))
            return name;
    }
    return QString();
}

} // namespace PictureName
