#include "platform/wholeappend.h"

#include <QFile>
#include <QSaveFile>

#include <unistd.h>

bool appendWhole(const QString &path, const QByteArray &bytes, QFileDevice::Permissions newFile)
{
    QFile file(path);
    const bool existed = file.exists();
    // Unbuffered: nothing of a failed write may stay behind in a buffer, to be written
    // out when the file closes after it was cut back.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    if (!existed)
        file.setPermissions(newFile);
    const qint64 before = file.size();
    // Flushed and synced before it counts: a full disk may only show at the sync.
    if (file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0)
        return true;
    file.resize(before);
    return false;
}

bool replaceWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool readWhole(const QString &path, QByteArray &bytes)
{
    bytes.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return true;
}
