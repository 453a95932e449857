#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

// A file's bytes as they are on disk ("" when it cannot be read).
inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes a file whole, making its folder; a failure fails the test.
inline void putFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A file system of a few kilobytes (a tmpfs, mounted when the tests run as root), to
// fill up and see what a full disk does.
class SmallDisk
{
public:
    explicit SmallDisk(int kilobytes)
    {
        if (::geteuid() == 0)
            m_mounted = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                                     QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), m_dir.path()})
                        == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    // Takes every byte that is left.
    void fill()
    {
        QFile filler(path() + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
        const QByteArray chunk(512, 'f');
        while (filler.write(chunk) == chunk.size() && filler.flush()) {
        }
    }
    void freeUp() { QFile::remove(path() + QStringLiteral("/filler")); }
    // Nothing on it can be changed any more, not even by root.
    bool makeReadOnly()
    {
        return m_mounted
               && QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_dir.path()}) == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
