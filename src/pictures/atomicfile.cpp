#include "pictures/atomicfile.h"

#include "platform/newname.h"
#include "platform/wholeappend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

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
    // Synced before it is moved in: a full disk may show only at the sync.
    if (temp.write(bytes) != bytes.size() || !temp.flush() || ::fsync(temp.handle()) != 0)
        return NewFile::Failed;
    switch (NewName::moveTo(temp.fileName(), path)) {
    case NewName::Move::Moved:
        temp.setAutoRemove(false);
        return NewFile::Written;
    case NewName::Move::Exists: return NewFile::Exists;
    case NewName::Move::Failed: return NewFile::Failed;
    case NewName::Move::Unsupported: break;
    }
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
