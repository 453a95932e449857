#include "platform/newname.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

NewName::Move NewName::moveTo(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return Move::Moved;
    if (errno == EEXIST)
        return Move::Exists;
    if (errno != EINVAL && errno != ENOSYS)
        return Move::Failed;
    // A file system without that rename: a hard link is made only where no file is.
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return Move::Moved;
    }
    if (errno == EEXIST)
        return Move::Exists;
    return errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP || errno == EMLINK ? Move::Unsupported : Move::Failed;
}
