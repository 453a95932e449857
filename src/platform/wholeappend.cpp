#include "platform/wholeappend.h"

#include <QFile>

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
