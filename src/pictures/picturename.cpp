#include "pictures/picturename.h"

#include "platform/paths.h"

#include <QFileInfo>
#include <QMutex>
#include <QSet>

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

namespace {
// Names chosen but not yet written: two runs into one folder never choose the same.
// Never destroyed: a write on the thread pool may still release its name while the
// program ends.
QMutex &reservedLock()
{
    static auto *lock = new QMutex;
    return *lock;
}
QSet<QString> &reserved()
{
    static auto *names = new QSet<QString>;
    return *names;
}
} // namespace

QString next(const QString &dir, int &serial, const QDateTime &when)
{
    QMutexLocker locked(&reservedLock());
    // A folder holding a million taken names is not worth waiting on.
    for (int tries = 0; tries < 1000000; ++tries) {
        const QString name = dir + fileName(when, serial);
        ++serial;
        if (!reserved().contains(name) && !QFileInfo::exists(name)) {
            reserved().insert(name);
            return name;
        }
    }
    return QString();
}

void release(const QString &name)
{
    QMutexLocker locked(&reservedLock());
    reserved().remove(name);
}

} // namespace PictureName
