#include "pictures/atomicfile.h"

#include "platform/wholeappend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <unistd.h>

namespace AtomicFile {

bool write(const QString &path, const QByteArray &bytes)
{
    return replaceWhole(path, bytes, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace AtomicFile

AtomicFile::NewFile AtomicFile::writeNew(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.velmo-XXXXXX.part"));
    if (!temp.open())
        return NewFile::Failed;
    temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    // Synced before it is linked: a full disk may show only at the sync.
    if (temp.write(bytes) != bytes.size() || !temp.flush() || ::fsync(temp.handle()) != 0)
        return NewFile::Failed;
    // A hard link is made only where no file is: whole, and never over another file.
    // The temporary name goes when temp does.
    if (::link(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) == 0)
        return NewFile::Written;
    if (errno == EEXIST)
        return NewFile::Exists;
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EMLINK)
        return NewFile::Failed;
    // A file system without hard links (a FAT stick): created exclusively, written, and
    // taken away again when the write falls short.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QFileInfo::exists(path) ? NewFile::Exists : NewFile::Failed;
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        file.remove();
        return NewFile::Failed;
    }
    return NewFile::Written;
}
