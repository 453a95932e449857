#include "platform/settingsstore.h"

#include <QDir>
#include <QFile>
#include "support/files.h"

#include <QTemporaryDir>
#include <QtTest>

// The INI-backed store: round trips, and files that are missing, foreign or unwritable.
class TstSettingsStore : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_n = 0;
    QString freshIni() { return m_dir.filePath(QStringLiteral("s%1/VM2008.ini").arg(++m_n)); }

    static QByteArray bytes(const QString &path) { return fileBytes(path); }
    static void put(const QString &path, const QByteArray &data) { putFile(path, data); }

private slots:
    void missingFileReadsDefaults()
    {
        SettingsStore store(freshIni());
        QCOMPARE(store.read(QStringLiteral("setup"), QStringLiteral("Homepage")), QString());
        QCOMPARE(store.read(QStringLiteral("setup"), QStringLiteral("Homepage"), QStringLiteral("d")), QStringLiteral("d"));
        int v = 7;
        QVERIFY(!store.readInt(QStringLiteral("setup"), QStringLiteral("Topme"), v));
        QCOMPARE(v, 7);
    }

    void writesOneGroupPerSection()
    {
        const QString path = freshIni();
        {
            SettingsStore store(path);
            QVERIFY(store.write(QStringLiteral("CancelPage"), QStringLiteral("Count"), QStringLiteral("3")));
            QVERIFY(store.write(QStringLiteral("CancelPage"), QStringLiteral("Page_3"), QStringLiteral("中文标题  http://a.example/")));
            QVERIFY(store.write(QStringLiteral("setup"), QStringLiteral("Topme"), QStringLiteral("1")));
        }
        const QByteArray ini = bytes(path);
        QVERIFY(ini.contains("[CancelPage]"));
        QVERIFY(ini.contains("Count=3"));
        QVERIFY(ini.contains("[setup]"));
        SettingsStore again(path);
        QCOMPARE(again.read(QStringLiteral("CancelPage"), QStringLiteral("Page_3")), QStringLiteral("中文标题  http://a.example/"));
        int v = 0;
        QVERIFY(again.readInt(QStringLiteral("setup"), QStringLiteral("Topme"), v));
        QCOMPARE(v, 1);
    }

    void awkwardValuesRoundTrip()
    {
        const QString path = freshIni();
        const QStringList values = {QStringLiteral("a, b, c"), QStringLiteral("@Variant(junk)"),
                                    QStringLiteral("semi;colon \"quoted\" =equals"), QStringLiteral("tab\there"),
                                    QString(100000, u'长')};
        {
            SettingsStore store(path);
            for (int i = 0; i < values.size(); ++i)
                store.write(QStringLiteral("CancelPage"), QStringLiteral("Page_%1").arg(i), values[i]);
        }
        SettingsStore again(path);
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(again.read(QStringLiteral("CancelPage"), QStringLiteral("Page_%1").arg(i)), values[i]);
    }

    void handEditedCommaIsKept()
    {
        const QString path = freshIni();
        put(path, "[setup]\nHomepage=http://a.example/x?a=1,b=2\n");
        SettingsStore store(path);
        QCOMPARE(store.read(QStringLiteral("setup"), QStringLiteral("Homepage")), QStringLiteral("http://a.example/x?a=1,b=2"));
    }

    void numbersMustBeWholeNumbers()
    {
        const QString path = freshIni();
        put(path, "[toolstimework]\nsoftrig=abc\n[setup]\nTopme= 1 \nDownload=12abc\n");
        SettingsStore store(path);
        int v = 0;
        QVERIFY(!store.readInt(QStringLiteral("toolstimework"), QStringLiteral("softrig"), v));
        QVERIFY(store.readInt(QStringLiteral("setup"), QStringLiteral("Topme"), v));
        QCOMPARE(v, 1);
        QVERIFY(!store.readInt(QStringLiteral("setup"), QStringLiteral("Download"), v));
        QCOMPARE(v, 1);
    }

    void corruptFilesReadAsEmpty()
    {
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char(i * 37 % 256));
        for (const QByteArray &data : {binary, QByteArray("[setup\nTopme=1\n[[[\n=\n"), QByteArray()}) {
            const QString path = freshIni();
            put(path, data);
            SettingsStore store(path);
            QString v = store.read(QStringLiteral("CancelPage"), QStringLiteral("Count"), QStringLiteral("dflt"));
            QCOMPARE(v, QStringLiteral("dflt"));
            store.write(QStringLiteral("setup"), QStringLiteral("Topme"), QStringLiteral("1"));
            QCOMPARE(store.read(QStringLiteral("setup"), QStringLiteral("Topme")), QStringLiteral("1"));
        }
    }

    void unwritableStoresSayNo()
    {
        // A directory where the file should be.
        const QString dirPath = freshIni();
        QDir().mkpath(dirPath);
        SettingsStore dirStore(dirPath);
        QCOMPARE(dirStore.read(QStringLiteral("setup"), QStringLiteral("Topme"), QStringLiteral("d")), QStringLiteral("d"));
        QVERIFY(!dirStore.write(QStringLiteral("setup"), QStringLiteral("Topme"), QStringLiteral("1")));
        QVERIFY(QFileInfo(dirPath).isDir());

        if (geteuid() == 0)
            QSKIP("root writes through read-only permissions");
        const QString ro = freshIni();
        put(ro, "[setup]\nTopme=1\n");
        QFile::setPermissions(ro, QFile::ReadOwner);
        QFile::setPermissions(QFileInfo(ro).absolutePath(), QFile::ReadOwner | QFile::ExeOwner);
        SettingsStore roStore(ro);
        QCOMPARE(roStore.read(QStringLiteral("setup"), QStringLiteral("Topme")), QStringLiteral("1"));
        QVERIFY(!roStore.write(QStringLiteral("setup"), QStringLiteral("Topme"), QStringLiteral("0")));
        QFile::setPermissions(QFileInfo(ro).absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // After a full disk had room again, every later save still said it failed (the
    // first error stayed), while the values were in fact written.
    void aDiskWithRoomAgainSavesAndSaysSo()
    {
        SmallDisk disk(64);
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        const QString ini = disk.path() + QStringLiteral("/VM2008.ini");
        SettingsStore store(ini);
        QVERIFY(store.write(QStringLiteral("setup"), QStringLiteral("Topme"), QStringLiteral("1")));
        const QByteArray before = bytes(ini);
        disk.fill();
        QVERIFY(!store.write(QStringLiteral("setup"), QStringLiteral("Topme"), QString(4000, QLatin1Char('x'))));
        QCOMPARE(bytes(ini), before);
        disk.freeUp();
        QVERIFY(store.write(QStringLiteral("setup"), QStringLiteral("Other"), QStringLiteral("2")));
        QVERIFY(store.lastWriteOk());
        // Both changes are on disk, as another store reading the file sees.
        SettingsStore reader(ini);
        QCOMPARE(reader.read(QStringLiteral("setup"), QStringLiteral("Topme")), QString(4000, QLatin1Char('x')));
        QCOMPARE(reader.read(QStringLiteral("setup"), QStringLiteral("Other")), QStringLiteral("2"));
    }

    void deleteSectionRemovesTheGroup()
    {
        const QString path = freshIni();
        SettingsStore store(path);
        store.write(QStringLiteral("CancelPage"), QStringLiteral("Count"), QStringLiteral("4"));
        store.write(QStringLiteral("setup"), QStringLiteral("Topme"), QStringLiteral("1"));
        QVERIFY(store.deleteSection(QStringLiteral("CancelPage")));
        QVERIFY(!bytes(path).contains("[CancelPage]"));
        QVERIFY(bytes(path).contains("Topme=1"));
        QCOMPARE(store.read(QStringLiteral("CancelPage"), QStringLiteral("Count")), QString());
        // A fresh store emptied again is kept as no file: that is no failure to report.
        SettingsStore fresh(freshIni());
        bool told = false;
        QObject context;
        fresh.onFirstWriteFailure(&context, [&] { told = true; });
        QVERIFY(fresh.update([&] {
            fresh.write(QStringLiteral("CancelPage"), QStringLiteral("Count"), QStringLiteral("0"));
            fresh.deleteSection(QStringLiteral("CancelPage"));
        }));
        QVERIFY(!told);
        QVERIFY(!QFileInfo::exists(fresh.path()));
    }

    void twoStoresOnOneFileMerge()
    {
        // Two running instances share the settings file; neither loses the other's keys.
        const QString path = freshIni();
        SettingsStore a(path);
        SettingsStore b(path);
        a.write(QStringLiteral("CancelPage"), QStringLiteral("Page_1"), QStringLiteral("from a"));
        b.write(QStringLiteral("CancelPage"), QStringLiteral("Page_2"), QStringLiteral("from b"));
        SettingsStore c(path);
        QCOMPARE(c.read(QStringLiteral("CancelPage"), QStringLiteral("Page_1")), QStringLiteral("from a"));
        QCOMPARE(c.read(QStringLiteral("CancelPage"), QStringLiteral("Page_2")), QStringLiteral("from b"));
    }
};

QTEST_APPLESS_MAIN(TstSettingsStore)
#include "tst_settingsstore.moc"
