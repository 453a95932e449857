#include "platform/heldname.h"
#include "platform/newname.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sameFile(const QByteArray &path, dev_t device, ino_t inode, bool mustBeEmpty)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == device && st.st_ino == inode
           && (!mustBeEmpty || st.st_size == 0);
}

} // namespace

HeldName HeldName::hold(const QString &path)
{
    HeldName held;
    const QByteArray name = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        held.m_made = true;
        ::close(fd);
    } else if (errno != EEXIST) {
        return held;
    }
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return held;
    held.m_path = QFileInfo(path).absoluteFilePath();
    held.m_device = st.st_dev;
    held.m_inode = st.st_ino;
    return held;
}

QString HeldName::freeName(const QString &path)
{
    const QFileInfo info(path);
    // The ending the desktop knows the type by ("archive.tar.gz" keeps both parts); a
    // name of no known type keeps its last one.
    QString ending = QMimeDatabase().suffixForFileName(info.fileName());
    if (ending.isEmpty())
        ending = info.suffix();
    const QString suffix = ending.isEmpty() ? QString() : QLatin1Char('.') + ending;
    const QString stem = info.fileName().left(info.fileName().size() - suffix.size());
    for (int n = 2; n < 10000; ++n) {
        const QString candidate = info.absolutePath() + QLatin1Char('/') + QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
        if (!QFileInfo(candidate).exists() && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
    return QString();
}

QString HeldName::finish(const QString &complete) const
{
    if (!isValid())
        return QString();
    const QByteArray from = QFile::encodeName(complete);
    const QByteArray target = QFile::encodeName(m_path);
    // Still the file held: it is the one to replace.
    if (sameFile(target, m_device, m_inode, false) && ::rename(from.constData(), target.constData()) == 0)
        return m_path;
    // Gone: the name is free again, as long as nobody takes it first.
    if (NewName::moveTo(complete, m_path) == NewName::Move::Moved)
        return m_path;
    for (int tries = 0; tries < 100; ++tries) {
        const QString other = freeName(m_path);
        if (other.isEmpty())
            break;
        const NewName::Move moved = NewName::moveTo(complete, other);
        if (moved == NewName::Move::Moved)
            return other;
        if (moved != NewName::Move::Exists)
            break;
    }
    return QString();
}

void HeldName::release() const
{
    if (isValid() && m_made)
        release(m_path, m_device, m_inode);
}

void HeldName::release(const QString &path, dev_t device, ino_t inode)
{
    const QByteArray name = QFile::encodeName(path);
    if (sameFile(name, device, inode, true))
        ::unlink(name.constData());
}
