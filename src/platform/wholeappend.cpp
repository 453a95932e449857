#include "platform/wholeappend.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Whether the open file is still the one at path (not replaced whole meanwhile).
bool stillAt(int fd, const QString &path)
{
    struct stat opened = {}, named = {};
    return ::fstat(fd, &opened) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0 && opened.st_ino == named.st_ino
           && opened.st_dev == named.st_dev;
}
} // namespace

bool appendWhole(const QString &path, const QByteArray &bytes, QFileDevice::Permissions newFile)
{
    QFile file(path);
    // A file replaced whole while this waited for the lock is opened again: an append to
    // the one taken away would be lost.
    for (int tries = 0;; ++tries) {
        const bool existed = file.exists();
        // Unbuffered: nothing of a failed write may stay behind in a buffer, to be written
        // out when the file closes after it was cut back.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        if (!existed)
            file.setPermissions(newFile);
        // One append at a time, across instances: a failed one is cut back to where it
        // began, which must never cut a row another instance appended meanwhile.
        while (::flock(file.handle(), LOCK_EX) != 0) {
            if (errno != EINTR)
                return false;
        }
        if (stillAt(file.handle(), path))
            break;
        file.close();
        if (tries >= 10)
            return false;
    }
    const qint64 before = file.size();
    // Flushed and synced before it counts: a full disk may only show at the sync.
    if (file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0)
        return true;
    file.resize(before);
    return false;
}

namespace {

// Every byte, through short writes and interruptions.
bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

mode_t modeOf(QFileDevice::Permissions p)
{
    mode_t m = 0;
    m |= p & QFileDevice::ReadOwner ? S_IRUSR : 0;
    m |= p & QFileDevice::WriteOwner ? S_IWUSR : 0;
    m |= p & QFileDevice::ExeOwner ? S_IXUSR : 0;
    m |= p & QFileDevice::ReadGroup ? S_IRGRP : 0;
    m |= p & QFileDevice::WriteGroup ? S_IWGRP : 0;
    m |= p & QFileDevice::ExeGroup ? S_IXGRP : 0;
    m |= p & QFileDevice::ReadOther ? S_IROTH : 0;
    m |= p & QFileDevice::WriteOther ? S_IWOTH : 0;
    m |= p & QFileDevice::ExeOther ? S_IXOTH : 0;
    return m;
}

} // namespace

bool replaceWhole(const QString &path, const QByteArray &bytes, std::optional<QFileDevice::Permissions> newFile)
{
    // A link is written through: the file it names is replaced, the link stays a link.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        target = info.symLinkTarget();
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir())
        return false;
    const QByteArray targetName = QFile::encodeName(targetInfo.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(targetInfo.absolutePath());

    struct stat old {};
    const bool existed = ::stat(targetName.constData(), &old) == 0;

    int fd = -1;
    QByteArray temp;
    for (int attempt = 0; attempt < 20 && fd < 0; ++attempt) {
        temp = folder + "/." + QFile::encodeName(targetInfo.fileName()).left(200) + '.'
               + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        // 0666 less the umask, as a file made by any program; an old file's own mode below.
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool ok = true;
    if (existed)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    else if (newFile)
        ok = ::fchmod(fd, modeOf(*newFile)) == 0;
    // Each step checked: a full disk may show at the write, at the sync or only at close.
    ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temp.constData(), targetName.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
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
