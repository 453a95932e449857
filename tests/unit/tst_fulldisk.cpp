#include "files/filedialogs.h"
#include "pictures/atomicfile.h"
#include "pictures/jpegwriter.h"
#include "platform/desktopshortcut.h"
#include "platform/wholeappend.h"
#include "support/files.h"
#include "support/testenv.h"
#include "tools/defaultbrowser.h"
#include "tools/hiddenfolders.h"
#include "userdata/favorites.h"
#include "userdata/gbktext.h"

#include <QImage>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

// Every writer that replaces a file whole, on a disk that is full: the old bytes stay
// byte for byte, the writer says it failed, and nothing is left beside the file. A small
// payload sits in a write buffer until the end (where a buffered writer once renamed an
// empty file into place); a large one fails on the way.
class TstFullDisk : public QObject
{
    Q_OBJECT

    struct Writer {
        const char *name;
        QString file;                             // the file it rewrites, relative to the disk
        std::function<bool(const QString &)> run; // rewrites it (disk root given); true when it says so
    };

    static QStringList names(const QString &folder)
    {
        QStringList all = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        all.removeAll(QStringLiteral("filler"));
        return all;
    }

    static QList<Writer> writers(int payload)
    {
        const QString text = QString(payload, QChar(u'字'));
        return {
            {"favourites", QStringLiteral("Fav.rar"),
             [=](const QString &root) {
                 Favorites fav(root + QStringLiteral("/Fav.rar"));
                 return fav.save({QStringLiteral("新的,") + text});
             }},
            {"default browser", QStringLiteral("config/mimeapps.list"),
             [=](const QString &root) {
                 qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toUtf8());
                 const QString error = DefaultBrowser::registerAsDefault(QStringLiteral("/usr/bin/velmo") + QString(payload / 8, QLatin1Char('v')));
                 qputenv("XDG_CONFIG_HOME", (TestEnv::home() + QStringLiteral("/config")).toUtf8());
                 return error.isEmpty();
             }},
            {"folder hiding", QStringLiteral("parent/.hidden"),
             [=](const QString &root) {
                 const QString folder = root + QStringLiteral("/parent/") + QString(qMin(payload, 80), QLatin1Char('n'));
                 QDir().mkpath(folder);
                 HiddenFolders hidden(TestEnv::home() + QStringLiteral("/file.ifo"));
                 return hidden.hide(folder).isEmpty();
             }},
            {"saved source", QStringLiteral("page.txt"),
             [=](const QString &root) { return FileDialogs::writeText(root + QStringLiteral("/page.txt"), text); }},
            {"screenshot", QStringLiteral("shot.jpg"),
             [=](const QString &root) {
                 QImage picture(qMax(8, payload / 40), qMax(8, payload / 40), QImage::Format_RGB32);
                 picture.fill(QColor(200, 40, 40));
                 return AtomicFile::write(root + QStringLiteral("/shot.jpg"), JpegWriter::encode(picture, 80));
             }},
            {"desktop entry", QStringLiteral("entry.desktop"),
             [=](const QString &root) {
                 return writeDesktopEntry(root + QStringLiteral("/entry.desktop"), text, QStringLiteral("/usr/bin/velmo"));
             }},
        };
    }

private slots:
    void rewritesOnAFullDiskKeepTheOldBytes_data()
    {
        QTest::addColumn<int>("payload");
        QTest::newRow("small payload") << 40;
        QTest::newRow("large payload") << 40000;
    }

    void rewritesOnAFullDiskKeepTheOldBytes()
    {
        QFETCH(int, payload);
        for (const Writer &w : writers(payload)) {
            SmallDisk disk(512);
            if (!disk.mounted())
                QSKIP("needs root to mount a small tmpfs");
            const QString path = disk.path() + QLatin1Char('/') + w.file;
            // A file of the user's, about as long as what replaces it, in a folder of its own.
            const QByteArray old = "[Default Applications]\nimage/png=eog.desktop;\n# " + QByteArray(payload, 'o') + "\n";
            putFile(path, old);
            const QStringList before = names(QFileInfo(path).absolutePath());
            disk.fill();
            QVERIFY2(!w.run(disk.path()), w.name);
            QCOMPARE(fileBytes(path), old);
            QCOMPARE(names(QFileInfo(path).absolutePath()), before);

            // With room again the same writer goes through.
            disk.freeUp();
            QVERIFY2(w.run(disk.path()), w.name);
            QVERIFY2(fileBytes(path) != old, w.name);
            QCOMPARE(names(QFileInfo(path).absolutePath()), before);
        }
    }

    // An append that fails is cut back to where it began: it waits while another instance
    // appends, so what it cuts can never be the other's row.
    void anAppendWaitsForAnotherInstancesAppend()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("day.dat"));
        putFile(path, "first\r\n");
        const int other = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND);
        QVERIFY(other >= 0 && ::flock(other, LOCK_EX) == 0);
        std::atomic<bool> started = false, done = false;
        std::thread mine([&] {
            started = true;
            appendWhole(path, "mine\r\n", QFile::ReadOwner | QFile::WriteOwner);
            done = true;
        });
        QTRY_VERIFY(started);
        QTest::qWait(300);
        const bool waited = !done;
        QVERIFY(::write(other, "other's\r\n", 9) == 9);
        ::flock(other, LOCK_UN);
        ::close(other);
        mine.join();
        QVERIFY(waited);
        QCOMPARE(fileBytes(path), QByteArray("first\r\nother's\r\nmine\r\n"));
    }

    void aReplacedFileKeepsItsModeAndItsLink()
    {
        QTemporaryDir dir;
        const QString real = dir.filePath(QStringLiteral("real.list")), link = dir.filePath(QStringLiteral("link.list"));
        putFile(real, "old");
        QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QVERIFY(QFile::link(real, link));
        QVERIFY(replaceWhole(link, "new"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(fileBytes(real), QByteArray("new"));
        QCOMPARE(QFileInfo(real).permissions() & 0x0777,
                 QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
        // A new file gets what it is given; a folder is never replaced.
        QVERIFY(replaceWhole(dir.filePath(QStringLiteral("new")), "x", QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("new"))).permissions() & 0x0077, QFile::Permissions());
        QVERIFY(!replaceWhole(dir.path(), "x"));
        QCOMPARE(names(dir.path()), (QStringList{QStringLiteral("link.list"), QStringLiteral("new"), QStringLiteral("real.list")}));
    }
};

VELMO_TEST_MAIN(TstFullDisk)
#include "tst_fulldisk.moc"
