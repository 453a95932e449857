#include "tabs/sites.h"
#include "platform/desktopshortcut.h"
#include "platform/paths.h"
#include "platform/systemfolders.h"
#include "support/testenv.h"
#include "userdata/options.h"
#include "userdata/settingsstartup.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QSettings>

// First run, the desktop entry it leaves, and the options start-up reads.
class TstSettingsStartup : public QObject
{
    Q_OBJECT
    int m_n = 0;

    QString freshIni() { return TestEnv::home() + QStringLiteral("/ini%1/VM2008.ini").arg(++m_n); }
    static QString shortcutPath() { return desktopFolder() + QStringLiteral("/Velmo浏览器.desktop"); }
    static bool runCheck(SettingsStore &store, const QString &program, int *made = nullptr)
    {
        return SettingsStartup::firstRunCheck(store, QDate(2026, 3, 14), program, [made](const QString &name, const QString &target) {
            if (made)
                ++*made;
            CreateDesktopShortcut(name, target);
        });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(desktopFolder()));
    }

    void freshStoreRunsTheSetupOnce()
    {
        QFile::remove(shortcutPath());
        SettingsStore store(freshIni());
        QVERIFY(runCheck(store, QStringLiteral("/opt/velmo/velmo")));
        QVERIFY(QFile::exists(shortcutPath()));
        QSettings entry(shortcutPath(), QSettings::IniFormat);
        QCOMPARE(entry.value(QStringLiteral("Desktop Entry/Type")).toString(), QStringLiteral("Application"));
        QCOMPARE(entry.value(QStringLiteral("Desktop Entry/Name")).toString(), QStringLiteral("Velmo浏览器"));
        QFile raw(shortcutPath());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(raw.readAll().contains("Exec=/opt/velmo/velmo %U\n"));
        QVERIFY(QFileInfo(shortcutPath()).permissions() & QFile::ExeOwner);
        QCOMPARE(store.read(QStringLiteral("setup"), QStringLiteral("Homepage")), Sites::kDefaultHomePage);
        int marker = 0;
        QVERIFY(store.readInt(QStringLiteral("toolstimework"), QStringLiteral("softrig"), marker));
        QCOMPARE(marker, 20260314); // the day of the first run

        // Second start: nothing is made again.
        QFile::remove(shortcutPath());
        store.write(QStringLiteral("setup"), QStringLiteral("Homepage"), QStringLiteral("http://mine.example/home"));
        int made = 0;
        QVERIFY(!runCheck(store, QStringLiteral("/opt/velmo/velmo"), &made));
        QCOMPARE(made, 0);
        QVERIFY(!QFile::exists(shortcutPath()));
        QCOMPARE(store.read(QStringLiteral("setup"), QStringLiteral("Homepage")), QStringLiteral("http://mine.example/home"));
    }

    void nonNumericMarkerRunsTheSetupAgain()
    {
        SettingsStore store(freshIni());
        store.write(QStringLiteral("toolstimework"), QStringLiteral("softrig"), QStringLiteral("abc"));
        QVERIFY(runCheck(store, QStringLiteral("/usr/bin/velmo")));
        int marker = 0;
        QVERIFY(store.readInt(QStringLiteral("toolstimework"), QStringLiteral("softrig"), marker));
        QVERIFY(!runCheck(store, QStringLiteral("/usr/bin/velmo")));
    }

    void unwritableStoreRunsTheSetupOncePerStart()
    {
        const QString path = freshIni();
        QDir().mkpath(path); // a folder where the file should be
        SettingsStore store(path);
        int made = 0;
        QVERIFY(runCheck(store, QStringLiteral("/usr/bin/velmo"), &made));
        QCOMPARE(made, 1);
        QVERIFY(QFileInfo(path).isDir());
        // The marker could not be stored, yet the same start never repeats the setup.
        QVERIFY(!runCheck(store, QStringLiteral("/usr/bin/velmo"), &made));
        QCOMPARE(made, 1);
        QVERIFY(!store.lastWriteOk());
    }

    void awkwardProgramPathsAreQuoted()
    {
        QVERIFY(CreateDesktopShortcut(QStringLiteral("odd"), QStringLiteral("/home/a b/$x/\"q\"/velmo")));
        QFile raw(desktopFolder() + QStringLiteral("/odd.desktop"));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(raw.readAll().contains("Exec=\"/home/a b/\\\\$x/\\\\\"q\\\\\"/velmo\" %U"));
        // No desktop folder: no shortcut, no error.
        const QString desk = desktopFolder();
        QVERIFY(QDir().rename(desk, desk + QStringLiteral(".away")));
        QVERIFY(!CreateDesktopShortcut(QStringLiteral("x"), QStringLiteral("/bin/true")));
        QVERIFY(QDir().rename(desk + QStringLiteral(".away"), desk));
    }

    void switchesReadAtStartup()
    {
        SettingsStore store(freshIni());
        store.write(QStringLiteral("setup"), {{QStringLiteral("Topme"), QStringLiteral("1")},
                                              {QStringLiteral("Download"), QStringLiteral("abc")},
                                              {QStringLiteral("Pop"), QStringLiteral("1")},
                                              {QStringLiteral("JumpWindows"), QStringLiteral("1")}});
        Options options;
        options.setSafePictureMode(1);
        options.setAdBlock(1);
        SettingsStartup::readSwitches(store, options);
        QCOMPARE(options.openInBackground(), 1);
        QCOMPARE(options.autoDownloadPictures(), 0);
        QCOMPARE(options.safePictureMode(), 0);
        QCOMPARE(options.adBlock(), 0);
    }

    void homePageShorterThan15MeansDefault()
    {
        SettingsStore store(freshIni());
        QCOMPARE(SettingsStartup::homePage(store), Sites::kDefaultHomePage);
        store.write(QStringLiteral("setup"), QStringLiteral("Homepage"), QStringLiteral("http://a.cn/xyz")); // 15
        QCOMPARE(SettingsStartup::homePage(store), QStringLiteral("http://a.cn/xyz"));
        store.write(QStringLiteral("setup"), QStringLiteral("Homepage"), QStringLiteral("http://a.cn/xy")); // 14
        QCOMPARE(SettingsStartup::homePage(store), Sites::kDefaultHomePage);
    }

    void systemFolders()
    {
        const SystemFolders f = LocateSystemFolders();
        QVERIFY(!f.userName.isEmpty());
        QCOMPARE(f.dataHome, TestEnv::home() + QStringLiteral("/data"));
        QCOMPARE(f.cacheHome, TestEnv::home() + QStringLiteral("/cache"));
    }
};

VELMO_TEST_MAIN(TstSettingsStartup)
#include "tst_settingsstartup.moc"
