#include "page/pagepictures.h"
#include "app/mainmenus.h"
#include "engine/enginedownloads.h"
#include "files/downloadlist.h"
#include "platform/settingkeys.h"
#include "support/filedialogpresser.h"
#include "support/files.h"
#include "support/testenv.h"
#include "support/testworld.h"

#include <QFileSystemModel>
#include <QStandardPaths>
#include <QTemporaryDir>

// The real file dialog, pressed as a user presses it: the folder it opens in, the name it
// shows, and the file that Enter writes. A page or a server choosing the name (through a
// quote, which the dialog reads as a list of names) must not choose the file.
class TstFileDialogs : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;
    const QString m_hostile = QStringLiteral("Invoice\".bash_login\"");

    QString picturesFolder() const { return QDir::homePath() + QStringLiteral("/Pictures"); }

    // The name the recording fake noted for the last save dialog, as the real one showed it.
    QString recordedName() const
    {
        const QString save = m_world.dialogs.asked.filter(QStringLiteral("save:")).value(0);
        return save.section(QLatin1Char('|'), 1, 1);
    }

    // What every save through the real dialog must keep to.
    void checkSaved(const FileDialogPresser &presser, const QString &folder, const QString &suffix)
    {
        QVERIFY(presser.seen);
        QVERIFY2(!presser.fieldMissing, "Qt's file dialog changed: see qtinternals.h");
        QCOMPARE(presser.folder, folder);
        QVERIFY2(!presser.name.contains(QLatin1Char('"')), qPrintable(presser.name));
        QVERIFY2(presser.name.startsWith(QStringLiteral("Invoice")) && presser.name.endsWith(suffix), qPrintable(presser.name));
        // The fake is told the same name the real dialog shows.
        QCOMPARE(recordedName().section(QLatin1Char('/'), -1), presser.name);
        const QString written = folder + QLatin1Char('/') + presser.name;
        QVERIFY2(waitFor([&] { return QFileInfo(written).size() > 0; }, 15000), qPrintable(written));
        for (const QString &dot : {QStringLiteral(".bash_login"), QStringLiteral("bash_login"), QStringLiteral(".bashrc")}) {
            QVERIFY(!QFileInfo::exists(QDir::homePath() + QLatin1Char('/') + dot));
            QVERIFY(!QFileInfo::exists(folder + QLatin1Char('/') + dot));
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_world.start());
        m_world.dialogs.realSave = true;
    }
    void cleanupTestCase() { m_world.stop(); }

    void init()
    {
        m_world.reset();
        QDir(picturesFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(picturesFolder()));
        m_w = m_world.newWindow();
    }

    void savingAPageWritesTheNameShown()
    {
        FormWeb *p = m_world.open(QStringLiteral("/title?t=") + QUrl::toPercentEncoding(m_hostile), m_hostile);
        FileDialogPresser presser;
        m_w->menus()->action(QStringLiteral("mnuFileSaveAs"))->trigger();
        QVERIFY(waitFor([&] { return p->statusBar()->statusText().startsWith(QStringLiteral("网页已保存")); }, 15000));
        checkSaved(presser, picturesFolder(), QStringLiteral(".mhtml"));
        // Nothing made on the way: no empty download folder of the engine's own.
        QVERIFY(!QFileInfo::exists(QDir::homePath() + QStringLiteral("/Downloads")));
    }

    void savingTheSourceWritesTheNameShown()
    {
        m_world.open(QStringLiteral("/title?t=") + QUrl::toPercentEncoding(m_hostile), m_hostile);
        FileDialogPresser presser;
        m_w->menus()->action(QStringLiteral("mnuFileSave"))->trigger();
        checkSaved(presser, picturesFolder(), QStringLiteral(".txt"));
    }

    void aScreenshotWritesTheNameShown()
    {
        FormWeb *p = m_world.open(QStringLiteral("/title?t=") + QUrl::toPercentEncoding(m_hostile), m_hostile);
        FileDialogPresser presser;
        bool written = false;
        QCOMPARE(p->pictures().ScreenSaveAs(m_w->windowTitle(), [&](bool ok) { written = ok; }), PagePictures::Shot::Started);
        QVERIFY(waitFor([&] { return written; }, 15000));
        checkSaved(presser, picturesFolder(), QStringLiteral(".jpg"));
    }

    void aDownloadOpensInItsFolderAndWritesTheNameShown()
    {
        QTemporaryDir chosen;
        m_world.store->write(SettingKeys::kDownloadFolder, chosen.path());
        FormWeb *p = m_world.open(QStringLiteral("/page?id=1"), QStringLiteral("Page 1"));
        FileDialogPresser presser;
        p->Web()->Navigate(m_world.url(QStringLiteral("/download?bytes=5000&name=")
                                       + QUrl::toPercentEncoding(QStringLiteral("Invoice\".bash_login\".pdf"))));
        DownloadList *list = m_w->findChild<DownloadList *>();
        QVERIFY(waitFor([&] { return !list->rows().isEmpty() && list->rows()[0].download->state() == Download::State::Done; }, 15000));
        checkSaved(presser, chosen.path(), QStringLiteral(".pdf"));
        QCOMPARE(fileBytes(chosen.filePath(presser.name)), FixtureServer::downloadBytes(5000));
    }

    // Every other place that asks for a file or a folder opens where it says: the open
    // dialog in the home folder with saved pages among its types, folder hiding's picker
    // on the desktop or, without one, the home folder (never a folder that is not there).
    void openAndFolderDialogsOpenWhereTheySay()
    {
        m_world.dialogs.realOpen = true;
        m_world.dialogs.realFolder = true;
        auto restore = qScopeGuard([this] { m_world.dialogs.realOpen = m_world.dialogs.realFolder = false; });
        {
            FileDialogPresser presser(false);
            m_w->menus()->action(QStringLiteral("mnuFileOpen"))->trigger();
            QVERIFY(presser.seen);
            QCOMPARE(presser.folder, QDir::homePath());
            QVERIFY(m_world.dialogs.asked.last().contains(QStringLiteral("*.mhtml")));
        }
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QDir(desktop).removeRecursively();
        {
            FileDialogPresser presser(false);
            QtDialogs().browseFolder(QStringLiteral("t"), m_w, QString());
            QCOMPARE(presser.folder, QDir::homePath());
        }
        QVERIFY(QDir().mkpath(desktop));
        {
            FileDialogPresser presser(false);
            QtDialogs().browseFolder(QStringLiteral("t"), m_w, QString());
            QCOMPARE(presser.folder, desktop);
        }
        {
            FileDialogPresser presser(false);
            QtDialogs().browseFolder(QStringLiteral("t"), m_w, picturesFolder());
            QCOMPARE(presser.folder, picturesFolder());
        }
    }

    // The file dialog's type column speaks Chinese with the rest of it.
    void theTypeColumnIsInChinese()
    {
        QFileSystemModel model;
        const QModelIndex root = model.setRootPath(QDir::homePath());
        QTRY_VERIFY(model.index(QStringLiteral("Pictures"), 0).isValid() || model.rowCount(root) > 0);
        const QModelIndex folder = model.index(picturesFolder());
        QTRY_COMPARE(model.type(folder), QStringLiteral("文件夹"));
    }

    void proposedNamesHoldNothingTheDialogReadsSpecially()
    {
        QCOMPARE(Dialogs::shownName(QStringLiteral("a\"b\".txt")), QStringLiteral("a'b'.txt"));
        QCOMPARE(Dialogs::shownName(QStringLiteral("/home/u/Downloads/~root")), QStringLiteral("/home/u/Downloads/root"));
        QCOMPARE(Dialogs::shownName(QStringLiteral(" ..\t.bashrc\n")), QStringLiteral("bashrc"));
        QCOMPARE(Dialogs::shownName(QStringLiteral("/tmp/x/")), QStringLiteral("/tmp/x/"));
        // Cancelled: nothing asked is written.
        FileDialogPresser cancel(false);
        m_world.open(QStringLiteral("/page?id=2"), QStringLiteral("Page 2"));
        m_w->menus()->action(QStringLiteral("mnuFileSave"))->trigger();
        QVERIFY(cancel.seen);
        QCOMPARE(QDir(picturesFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

VELMO_TEST_MAIN(TstFileDialogs)
#include "tst_filedialogs.moc"
