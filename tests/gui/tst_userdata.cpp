#include "app/closedmenu.h"
#include "app/favoritesmenu.h"
#include "app/mainmenus.h"
#include "app/openpageskeeper.h"
#include "files/downloadlist.h"
#include "files/keptdownloads.h"
#include "support/files.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "tabs/openpageslist.h"
#include "tabs/tabstrip.h"
#include "userdata/favorites.h"
#include "userdata/favoritesdialog.h"
#include "userdata/formclear.h"
#include "userdata/gbktext.h"
#include "userdata/history.h"
#include "userdata/organizefavorites.h"

#include <QAction>
#include <csignal>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QDialog>
#include <QDirIterator>
#include <QProcess>
#include <QScopeGuard>
#include <QListWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// History and favourites with real pages: visits reach the day's file when a window
// closes, the history page shows them as text, favourites go from a page to the file
// and the menu and open again.
class TstUserData : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QString url(const QString &path) const { return m_world.url(path); }
    QString label(FormWeb *p) const { return m_world.label(p); }
    QAction *item(const char *name) const { return m_w->menus()->action(QString::fromLatin1(name)); }
    FormWeb *open(const QString &path, const QString &title) { return m_world.open(path, title); }
    QString dayFile(const QString &suffix) const
    {
        return m_w->history().dayFile(m_world.clock.time.date(), suffix);
    }
    QString dat() const
    {
        m_w->pages().settleHistory();
        QFile f(dayFile(QStringLiteral(".dat")));
        return f.open(QIODevice::ReadOnly) ? GbkText::decode(f.readAll()) : QString();
    }
    // Runs the next dialog the window opens with this action, then lets it finish.
    template <typename Act>
    void onNextDialog(Act act)
    {
        auto conn = std::make_shared<QMetaObject::Connection>();
        *conn = connect(m_w, &Frmmain::dialogOpened, this, [conn, act](QDialog *dlg) {
            disconnect(*conn);
            QTimer::singleShot(0, dlg, [dlg, act] { act(dlg); });
        });
    }
    void closePage(FormWeb *p)
    {
        m_w->pages().book().setHoverPos(m_w->pages().book().positionOf(p->myindex()));
        m_w->pages().DelLine();
    }
    QStringList menuCaptions() const
    {
        QStringList out;
        for (QAction *a : m_w->favoritesMenu().items())
            out << a->text();
        return out;
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }
    void init()
    {
        m_world.reset();
        QFile::remove(Paths::appDir() + QStringLiteral("/Fav.rar"));
        m_w = m_world.newWindow();
        QFile::remove(dayFile(QStringLiteral(".dat")));
    }

    void visitsReachTheDayFileWhenTheWindowCloses()
    {
        FormWeb *p = open(QStringLiteral("/page?id=one"), QStringLiteral("Page one"));
        p->navigate(url(QStringLiteral("/page?id=two")));
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Page two"), 15000);
        open(QStringLiteral("/page?id=other"), QStringLiteral("Page other"));
        QVERIFY(dat().isEmpty()); // nothing before the window closes
        m_w->pages().book().setHoverPos(0);
        m_w->pages().DelLine();
        const QStringList rows = GbkText::lines(dat());
        QCOMPARE(rows.size(), 3); // newest first, then the window's blank line
        QVERIFY(rows[0].contains(QStringLiteral(">Page two</a>")));
        QVERIFY(rows[1].contains(QStringLiteral("href=\"%1\"").arg(url(QStringLiteral("/page?id=one")))));
        QCOMPARE(rows[2], QString());

        // Closing the main window flushes the pages still open.
        m_w->close();
        QVERIFY(dat().contains(QStringLiteral(">Page other</a>")));
    }

    // A row for each title change that differs from the last one recorded: a page
    // alternating between two titles gives a row for each change, newest first in the file.
    void eachNewTitleIsARow()
    {
        FormWeb *p = open(QStringLiteral("/page?id=one"), QStringLiteral("Page one"));
        p->Web()->runPageScript(QStringLiteral("document.title = '(1) one';"
                                               "setTimeout(() => document.title = '(1) one', 30);"
                                               "setTimeout(() => document.title = '(2) one', 60);"
                                               "setTimeout(() => document.title = '(1) one', 90)"));
        QTRY_COMPARE_WITH_TIMEOUT(p->visits().rows().size(), 4, 15000);
        const QVector<Visit> rows = p->visits().rows();
        QCOMPARE(rows[0].title, QStringLiteral("Page one"));
        QCOMPARE(rows[1].title, QStringLiteral("(1) one"));
        QCOMPARE(rows[2].title, QStringLiteral("(2) one"));
        QCOMPARE(rows[3].title, QStringLiteral("(1) one"));
        p->navigate(url(QStringLiteral("/page?id=two")));
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Page two"), 15000);
        open(QStringLiteral("/page?id=other"), QStringLiteral("Page other"));
        closePage(p);
        const QStringList file = GbkText::lines(dat());
        QCOMPARE(file.size(), 6);
        QVERIFY(file[0].contains(QStringLiteral(">Page two</a>")));
        QVERIFY(file[1].contains(QStringLiteral(">(1) one</a>")));
        QVERIFY(file[2].contains(QStringLiteral(">(2) one</a>")));
        QVERIFY(file[4].contains(QStringLiteral(">Page one</a>")));
    }

    void historyPageShowsTitlesAsText()
    {
        const QString hostile = QStringLiteral("<script>document.title='pwned'</script>");
        FormWeb *p = open(QStringLiteral("/title?t=") + QString::fromLatin1(QUrl::toPercentEncoding(hostile)), hostile);
        m_w->pages().LoadNewForm(url(QStringLiteral("/page?id=keep")));
        m_w->pages().book().setHoverPos(m_w->pages().book().positionOf(p->myindex()));
        m_w->pages().DelLine();
        item("History")->trigger();
        FormWeb *page = m_w->pages().activePage();
        QTRY_COMPARE_WITH_TIMEOUT(label(page), History::kPageTitle, 15000);
        QCOMPARE(evaluateSync(page->Web(), QStringLiteral("document.querySelectorAll('table script').length")).toInt(), 0);
        QVERIFY(evaluateSync(page->Web(), QStringLiteral("document.body.innerText")).toString().contains(hostile.left(38)));
        QVERIFY(page->visits().rows().isEmpty()); // the history page records no visit of its own
    }

    void clearHistoryForgetsClosedPagesAcrossARestart()
    {
        open(QStringLiteral("/page?id=gone"), QStringLiteral("Page gone"));
        open(QStringLiteral("/page?id=stay"), QStringLiteral("Page stay"));
        m_w->pages().book().setHoverPos(0);
        m_w->pages().DelLine();
        QVERIFY(m_w->menus()->liHistory().at(0)->isVisible());
        // One record on disk, one still waiting: both go.
        m_w->pages().closedRing().writeWaiting();
        QVERIFY(!m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Page_1")).isEmpty());
        m_w->pages().book().setHoverPos(0);
        m_w->pages().DelLine();
        item("ClearHistory")->trigger();
        QVERIFY(!m_w->menus()->liHistory().at(0)->isVisible());
        QVERIFY(m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Page_1")).isEmpty());
        QVERIFY(m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Page_2")).isEmpty());

        m_w = m_world.newWindow();
        m_w->start(url(QStringLiteral("/page?id=again")));
        for (QAction *a : m_w->menus()->liHistory())
            QVERIFY(!a->isVisible());
        item("Cancel")->trigger();
        QCOMPARE(m_w->pages().book().count(), 1);
    }

    // Bookmarks as another browser exports them come in (folders as categories, a script
    // bookmark kept out, an address already there once), go out in the same format, and
    // come in again as the same favourites; a file cut short changes nothing.
    void bookmarksOfOtherBrowsersComeInAndGoOut()
    {
        const QString fav = Paths::appDir() + QStringLiteral("/Fav.rar");
        QFile::remove(fav);
        QTemporaryDir dir;
        // As another browser exports them: nested folders, entities, a script bookmark.
        QFile source(QStringLiteral(VELMO_FIXTURES_DIR "/bookmarks_chromium.html"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray exported = source.readAll();
        const QString from = dir.filePath(QStringLiteral("bookmarks_chromium.html"));
        putFile(from, exported);
        const auto addresses = [this] {
            QStringList all;
            for (const Favorites::Entry &e : m_w->favorites().entries(1000))
                all << e.title.trimmed() + QStringLiteral(" | ") + e.address;
            return all;
        };
        const QStringList expected{QStringLiteral("百度一下，你就知道 | https://www.baidu.com/"),
                                   QStringLiteral("新闻 <头条> \"今日\" 😀 | http://news.example.cn/a?x=1&y=2"),
                                   QStringLiteral("本地文件 | file:///tmp/%E6%9C%AC%E5%9C%B0.html")};
        m_world.dialogs.openAnswer = from;
        item("ImportFav")->trigger();
        QCOMPARE(addresses(), expected);
        QCOMPARE(m_world.dialogs.asked.last(),
                 QStringLiteral("information:导入收藏夹|已导入 3 个收藏；1 个网址已在收藏夹中，没有重复导入；1 个不是网页的地址（如脚本）没有导入；新建分类目录 3 个。"));
        const QString categories = Paths::appDir() + QStringLiteral("/Favorites/");
        for (const char *folder : {"书签栏", "书签栏 - 新闻 & 资讯", "其他书签"})
            QVERIFY2(QFileInfo(categories + QString::fromUtf8(folder)).isDir(), folder);
        QVERIFY(menuCaptions().contains(Favorites::storedTitle(QStringLiteral("本地文件"))));
        QVERIFY(!menuCaptions().join(QString()).contains(QStringLiteral("看起来像网页")));
        // Again: every address is there already.
        item("ImportFav")->trigger();
        QCOMPARE(addresses(), expected);
        QVERIFY(m_world.dialogs.asked.last().contains(QStringLiteral("已导入 0 个收藏；4 个网址已在收藏夹中")));

        // Out, and in again on an empty list: the same favourites.
        const QString out = dir.filePath(QStringLiteral("导出.html"));
        m_world.dialogs.saveAnswer = out;
        item("ExportFav")->trigger();
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        QVERIFY(bytes.startsWith("<!DOCTYPE NETSCAPE-Bookmark-file-1>"));
        QVERIFY(bytes.contains("<A HREF=\"http://news.example.cn/a?x=1&amp;y=2\">新闻 &lt;头条&gt; &quot;今日&quot; 😀</A>"));
        const QByteArray favBytes = [&] { QFile f(fav); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); }();
        QFile::remove(fav);
        m_world.dialogs.openAnswer = out;
        item("ImportFav")->trigger();
        QCOMPARE(addresses(), expected);
        QFile again(fav);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), favBytes);
        again.close();

        // A file cut short is refused whole.
        const QString broken = dir.filePath(QStringLiteral("broken.html"));
        putFile(broken, exported.left(exported.indexOf("其他书签")));
        m_world.dialogs.openAnswer = broken;
        item("ImportFav")->trigger();
        QVERIFY(m_world.dialogs.asked.last().startsWith(QStringLiteral("warning:导入收藏夹|")));
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), favBytes);
    }

    void aFavouriteFromAPageOpensAgainFromTheMenu()
    {
        m_w->start(url(QStringLiteral("/page?id=fav,1")));
        FormWeb *p = m_w->pages().activePage();
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Page fav,1"), 15000);
        // Checked after the dialog closed: a failed check inside it would leave it open.
        QString proposed;
        QStringList shownAmpersands;
        onNextDialog([&proposed, &shownAmpersands](QDialog *dlg) {
            auto *fav = qobject_cast<FavoritesDialog *>(dlg);
            proposed = fav->txtTitle()->text();
            // A label's "&" makes a key only with a buddy; without one it shows.
            for (const QLabel *l : dlg->findChildren<QLabel *>())
                if (l->text().contains(QLatin1Char('&')) && !l->buddy())
                    shownAmpersands << l->text();
            fav->cmdOK()->click();
        });
        item("addhome")->trigger();
        QCOMPARE(proposed, QStringLiteral("Page fav,1"));
        QCOMPARE(shownAmpersands, QStringList());
        QCOMPARE(menuCaptions(), QStringList{QStringLiteral("Page fav1     ")});
        QCOMPARE(m_w->favoritesMenu().items().first()->data().toString(), url(QStringLiteral("/page?id=fav,1")));

        m_w->favoritesMenu().items().first()->trigger();
        QCOMPARE(m_w->pages().book().count(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(label(m_w->pages().activePage()), QStringLiteral("Page fav,1"), 15000);

        // A category folder inside Favorites/, and none anywhere else.
        m_world.dialogs.textAnswer = QStringLiteral("../outside");
        onNextDialog([](QDialog *dlg) {
            qobject_cast<FavoritesDialog *>(dlg)->Command1()->click();
            dlg->reject();
        });
        item("addhome")->trigger();
        QVERIFY(!QFileInfo::exists(Paths::appDir() + QStringLiteral("/outside")));
        QVERIFY(m_world.dialogs.asked.last().startsWith(QStringLiteral("warning:新建目录")));
        m_world.dialogs.textAnswer = QStringLiteral("网址之家");
        onNextDialog([](QDialog *dlg) {
            qobject_cast<FavoritesDialog *>(dlg)->Command1()->click();
            dlg->reject();
        });
        item("addhome")->trigger();
        QVERIFY(QFileInfo(Paths::appDir() + QStringLiteral("/Favorites/网址之家")).isDir());
        QCOMPARE(menuCaptions().size(), 1); // cancelled: nothing added
    }

    void cleanUpRemovesExactlyTheTickedTraces()
    {
        m_w->start(url(QStringLiteral("/setcookie?v=kept")));
        FormWeb *p = m_w->pages().activePage();
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Cookie set"), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(evaluateSync(p->Web(), QStringLiteral("document.cookie")).toString(), QStringLiteral("trace=kept"), 5000);
        closePage(open(QStringLiteral("/page?id=closed"), QStringLiteral("Page closed")));
        // A History row, a closed-page item, an address record.
        QVERIFY(!dat().isEmpty());
        const QString dataHome = m_world.session->systemFolders.dataHome;
        QVERIFY(dataHome.startsWith(TestEnv::home()));
        putFile(dataHome + QStringLiteral("/recently-used.xbel"), "<xbel/>");
        putFile(dataHome + QStringLiteral("/other.txt"), "other");
        putFile(Paths::appDir() + QStringLiteral("/file.ifo"), "ifo");
        const auto everything = [](const QString &folder) {
            QStringList all;
            QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext())
                all << it.next();
            all.sort();
            return all;
        };
        const QStringList before = everything(dataHome);

        // Cancel and an empty tick list remove nothing; only OK brings the message.
        onNextDialog([](QDialog *dlg) { qobject_cast<Formclear *>(dlg)->Command2()->click(); });
        item("Clear")->trigger();
        QVERIFY(m_world.dialogs.asked.isEmpty());
        onNextDialog([](QDialog *dlg) { qobject_cast<Formclear *>(dlg)->Command1()->click(); });
        item("Clear")->trigger();
        const QString done = QStringLiteral("information:Velmo安全浏览器|清除工作已经完成，请重新启动《Velmo安全浏览器》！    ");
        QCOMPARE(m_world.dialogs.asked, QStringList{done});
        QCOMPARE(everything(dataHome), before);

        QVector<int> ticked;
        onNextDialog([&ticked](QDialog *dlg) {
            auto *clear = qobject_cast<Formclear *>(dlg);
            clear->CheckAll()->click();
            ticked = clear->ticked();
            clear->Command1()->click();
        });
        item("Clear")->trigger();
        QCOMPARE(ticked.size(), Formclear::kBoxes);
        QCOMPARE(m_world.dialogs.asked.last(), done);
        QVERIFY(!QFileInfo::exists(m_w->history().folder()));
        QVERIFY(!QFileInfo::exists(dataHome + QStringLiteral("/recently-used.xbel")));
        QStringList expected = before;
        expected.removeAll(dataHome + QStringLiteral("/recently-used.xbel"));
        for (const QString &path : before) {
            if (path.startsWith(m_w->history().folder()))
                expected.removeAll(path);
        }
        // In its place, when it was cleared: another instance writes nothing from before.
        expected << m_w->history().folder() + QStringLiteral(".cleared-at");
        expected.sort();
        QStringList after = everything(dataHome);
        // The engine's own files change as it works; everything else of ours stays.
        const auto ours = [](QStringList list) {
            list.erase(std::remove_if(list.begin(), list.end(), [](const QString &f) { return f.contains(QStringLiteral("/engine/")) || f.contains(QStringLiteral("/QtWebEngine/")); }),
                       list.end());
            return list;
        };
        QCOMPARE(ours(after), ours(expected));
        QCOMPARE(m_w->addressRow().textUrl()->count(), 0);
        QCOMPARE(m_w->addressRow().combSearch()->count(), 0);
        QVERIFY(!m_w->menus()->liHistory().at(0)->isVisible());
        p->navigate(url(QStringLiteral("/page?id=cookie")));
        QVERIFY(waitFor([&] { return label(p) == QStringLiteral("Page cookie"); }, 15000));
        QTRY_COMPARE_WITH_TIMEOUT(evaluateSync(p->Web(), QStringLiteral("'[' + document.cookie + ']'")).toString(), QStringLiteral("[]"), 5000);

        // The cache goes at the next start, before the engine opens it.
        const QString nextCache = Paths::engineCacheDir() + QStringLiteral("/instance-2");
        putFile(nextCache + QStringLiteral("/Cache/data_1"), "cached");
        QVERIFY(QFileInfo::exists(m_world.engine->storagePath() + QStringLiteral("/clear-cache-at-start")));
        putFile(Paths::engineStorageDir() + QStringLiteral("/instance-2/clear-cache-at-start"), "");
        {
            EngineProfile second; // the first instance's storage is taken: it gets instance-2
            QCOMPARE(second.storagePath(), Paths::engineStorageDir() + QStringLiteral("/instance-2"));
            QVERIFY(!QFileInfo::exists(nextCache + QStringLiteral("/Cache/data_1")));
            QVERIFY(!QFileInfo::exists(second.storagePath() + QStringLiteral("/clear-cache-at-start")));
        }

        // The next page closed still gets its row.
        closePage(open(QStringLiteral("/page?id=later"), QStringLiteral("Page later")));
        QVERIFY(dat().contains(QStringLiteral(">Page later</a>")));
        // The tab open through the clean-up writes its visit after it, never the one before.
        m_w->close();
        QVERIFY(dat().contains(QStringLiteral(">Page cookie</a>")));
        QVERIFY2(!dat().contains(QStringLiteral("setcookie")), qPrintable(dat()));
    }

    // What the clean-up says is gone stays gone after a restart: the closed pages (menu,
    // Ctrl+Z, the stored records) and every kind of site data with the cookies.
    void cleanedTracesStayGoneAfterARestart()
    {
        FormWeb *p = open(QStringLiteral("/storage.html?store"), QStringLiteral("stored"));
        p->navigate(url(QStringLiteral("/storage.html")));
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("found local,indexeddb,cache"), 15000);
        closePage(open(QStringLiteral("/page?id=closed-before"), QStringLiteral("Page closed-before")));
        QVERIFY(m_w->menus()->liHistory().at(0)->isVisible());
        onNextDialog([](QDialog *dlg) {
            auto *clear = qobject_cast<Formclear *>(dlg);
            clear->CheckAll()->click();
            clear->Command1()->click();
        });
        item("Clear")->trigger();
        QVERIFY(!m_w->menus()->liHistory().at(0)->isVisible());

        m_w = m_world.restart();
        m_w->start(url(QStringLiteral("/storage.html")));
        FormWeb *after = m_w->pages().activePage();
        QTRY_COMPARE_WITH_TIMEOUT(label(after), QStringLiteral("found nothing"), 15000);
        for (QAction *a : m_w->menus()->liHistory())
            QVERIFY(!a->isVisible());
        item("Cancel")->trigger(); // Ctrl+Z
        QCOMPARE(m_w->pages().book().count(), 1);
        const QString closed = url(QStringLiteral("/page?id=closed-before"));
        const QStringList records = [&] {
            QStringList all;
            for (int i = 0; i < 500; ++i)
                all << m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Page_%1").arg(i));
            return all;
        }();
        QVERIFY(records.filter(closed).isEmpty());
    }

    // A password typed into an address is written nowhere: not in the closed pages, the
    // history, the list kept against a crash, nor any other file under the home folder.
    void aPasswordInAnAddressIsNeverKept()
    {
        m_w->start(QStringList{url(QStringLiteral("/page?id=first"))});
        open(QStringLiteral("/page?id=second"), QStringLiteral("Page second"));
        const QByteArray secret = "s3cretPw9";
        QString typed = url(QStringLiteral("/page?id=pw"));
        typed.replace(QStringLiteral("http://"), QStringLiteral("http://someone:") + QString::fromLatin1(secret) + QLatin1Char('@'));
        QComboBox *box = m_w->addressRow().textUrl();
        box->setEditText(typed);
        QTest::keyClick(box, Qt::Key_Return);
        FormWeb *p = m_w->pages().activePage();
        QVERIFY(waitFor([&] { return label(p) == QStringLiteral("Page pw"); }, 15000));
        QVERIFY(p->location().contains(QString::fromLatin1(secret))); // the page itself has it
        QVERIFY(m_w->openPagesKeeper() && m_w->openPagesKeeper()->writeNow());
        QVERIFY(!fileBytes(m_w->openPagesKeeper()->path()).contains(secret));
        QVERIFY(fileBytes(m_w->openPagesKeeper()->path()).contains("id=pw"));
        m_w->pages().closeShown();
        m_w->pages().closedRing().writeWaiting();
        QVERIFY(m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Page_%1").arg(m_w->pages().closedPages().cursor())).contains(QStringLiteral("id=pw")));
        for (int i = 0; i < m_w->addressRow().textUrl()->count(); ++i)
            QVERIFY(!m_w->addressRow().textUrl()->itemText(i).contains(QString::fromLatin1(secret)));
        for (QAction *a : m_w->menus()->liHistory())
            QVERIFY(!a->data().toString().contains(QString::fromLatin1(secret)));
        QVERIFY(dat().contains(QStringLiteral("id=pw")));
        m_w->close();
        QDirIterator it(TestEnv::home(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            QVERIFY2(!fileBytes(file).contains(secret), qPrintable(file));
        }
    }

    // The history box reaches every copy at once: the list kept against a crash no longer
    // holds the visits (a crash before the strip changed wrote them back into the history).
    void theCleanUpEmptiesTheListKeptAgainstACrashAtOnce()
    {
        m_w->start(QStringList{url(QStringLiteral("/page?id=kept"))});
        QVERIFY(waitFor([&] { return label(m_w->pages().activePage()) == QStringLiteral("Page kept"); }, 15000));
        OpenPagesKeeper *keeper = m_w->openPagesKeeper();
        QVERIFY(keeper && keeper->writeNow());
        const auto before = OpenPagesList::fromBytes(fileBytes(keeper->path()));
        QVERIFY(before && before->pages.size() == 1 && !before->pages[0].visits.isEmpty());
        onNextDialog([](QDialog *dlg) {
            auto *clear = qobject_cast<Formclear *>(dlg);
            clear->Chk(2)->setChecked(true);
            clear->Command1()->click();
        });
        item("Clear")->trigger();
        const auto list = OpenPagesList::fromBytes(fileBytes(keeper->path()));
        QVERIFY(list && list->pages.size() == 1);
        QVERIFY(list->pages[0].visits.isEmpty());
    }

    // The downloads window's list is the history of downloads: the closed-page box leaves
    // it (file and window) as it was; the history box empties both.
    void theDownloadsListGoesWithTheHistoryBoxOnly()
    {
        const QString kept = Paths::appDir() + QStringLiteral("/Downloads.json");
        KeptDownload row;
        row.path = Paths::appDir() + QStringLiteral("/Download/a.zip");
        row.address = url(QStringLiteral("/a.zip"));
        row.size = 10;
        row.total = 10;
        row.end = KeptDownload::End::Done;
        row.when = m_world.clock.time;
        const QByteArray bytes = KeptDownloads::toBytes({row});
        putFile(kept, bytes);
        m_w = m_world.restart();
        QCOMPARE(m_w->downloads().rows().size(), 1);

        const auto cleanWith = [this](int box) {
            onNextDialog([box](QDialog *dlg) {
                auto *clear = qobject_cast<Formclear *>(dlg);
                clear->Chk(box)->setChecked(true);
                clear->Command1()->click();
            });
            item("Clear")->trigger();
        };
        // Another instance, a process of its own, shows the same list; a browser on the
        // same home has a page open, its visit in memory.
        QProcess other;
        other.start(QStringLiteral(VELMO_STOREWRITER), {QStringLiteral("--downloads"), Paths::settingsFile(), kept,
                                                        Paths::appDir() + QStringLiteral("/Download/b.zip")});
        QVERIFY(other.waitForReadyRead(10000));
        QCOMPARE(other.readLine().trimmed(), QByteArray("ready 1"));
        QProcess browser;
        browser.start(QStringLiteral(VELMO_BINARY), {url(QStringLiteral("/page?id=other-instance"))});
        const auto ended = qScopeGuard([&] {
            if (browser.state() != QProcess::NotRunning) {
                browser.kill();
                browser.waitForFinished(10000);
            }
            other.closeWriteChannel();
            other.waitForFinished(10000);
        });
        const auto listed = [] {
            QDirIterator lists(QFileInfo(Paths::settingsFile()).absolutePath(), {QStringLiteral("open-pages*.json")}, QDir::Files);
            while (lists.hasNext()) {
                QFile f(lists.next());
                if (f.open(QIODevice::ReadOnly) && f.readAll().contains("Page other-instance"))
                    return true;
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(listed(), 30000);
        const QDateTime fakeTime = m_world.clock.time;
        const auto backInTime = qScopeGuard([&] {
            m_world.clock.time = fakeTime;
            QFile::remove(m_w->history().folder() + QStringLiteral(".cleared-at"));
        });
        m_world.clock.time = QDateTime::currentDateTime();

        cleanWith(8); // 清除撤销记录
        QCOMPARE(m_w->downloads().rows().size(), 1);
        QFile file(kept);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        file.close();
        cleanWith(2); // 清除网站访问历史
        QCOMPARE(m_w->downloads().rows().size(), 0);
        QVERIFY(!file.open(QIODevice::ReadOnly) || !file.readAll().contains("a.zip"));
        file.close();

        // What one instance cleared stays cleared in the other: its next download's row
        // is written alone...
        other.write("end " + url(QStringLiteral("/b.zip")).toUtf8() + '\n');
        QVERIFY(other.waitForReadyRead(10000));
        QCOMPARE(other.readLine().trimmed(), QByteArray("kept 1"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        QVERIFY2(after.contains("b.zip") && !after.contains("a.zip"), after.constData());
        // ...and its page, closing as the browser ends, writes no visit from before.
        ::kill(browser.processId(), SIGTERM);
        QVERIFY(browser.waitForFinished(30000));
        QVERIFY(!listed());
        QVERIFY2(!dat().contains(QStringLiteral("other-instance")), qPrintable(dat()));
    }

    void organisingRewritesTheFileAndTheMenu()
    {
        QFile f(Paths::appDir() + QStringLiteral("/Fav.rar"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 150; ++i)
            f.write("t" + QByteArray::number(i) + ",http://m.example/" + QByteArray::number(i) + "\r\n");
        f.close();
        item("RelaodDir")->trigger();
        QCOMPARE(menuCaptions().size(), 101);

        int listed = 0, afterTwoDeletes = 0;
        QString copied;
        onNextDialog([&](QDialog *dlg) {
            auto *org = qobject_cast<OrganizeFavorites *>(dlg);
            QListWidget *list = org->List1();
            listed = list->count();
            list->setCurrentRow(0);
            emit list->itemClicked(list->item(0));
            copied = QGuiApplication::clipboard()->text();
            // The last entry deleted, a second 删除 finds nothing picked.
            list->setCurrentRow(list->count() - 1);
            org->Command1()->click();
            org->Command1()->click();
            afterTwoDeletes = list->count();
            list->setCurrentRow(0);
            for (int i = 0; i < listed && list->count() > 0; ++i)
                org->Command1()->click();
            org->Command2()->click();
        });
        item("SearchDir")->trigger();
        QCOMPARE(listed, 150);
        QCOMPARE(copied, QStringLiteral("http://m.example/0"));
        QCOMPARE(afterTwoDeletes, 149);
        QVERIFY(menuCaptions().isEmpty()); // no favourite lingers in the menu
        QCOMPARE(f.size(), 0);
    }
};

VELMO_TEST_MAIN(TstUserData)
#include "tst_userdata.moc"
