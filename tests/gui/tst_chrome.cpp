#include "app/mainmenus.h"
#include "tabs/sites.h"
#include "app/sitetables.h"
#include "page/findbar.h"
#include "engine/pagecontrol.h"
#include "page/formright.h"
#include "page/formweb.h"
#include "page/pagecommands.h"
#include "page/zoomstep.h"
#include "tools/systemtools.h"

#include <pwd.h>
#include <unistd.h>
#include "support/testenv.h"
#include "support/testworld.h"
#include "tabs/tabstrip.h"

#include <QAction>
#include <QCheckBox>
#include <QHostAddress>
#include <QRegularExpression>
#include <QScreen>
#include <QSysInfo>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QWebEnginePage>

#include <algorithm>

// The main window's chrome on the real engine: the menu tree and the site tables, the
// site searches, the address and search boxes against the addresses really requested,
// the toolbar's site buttons and signal light, full screen, and the desktop commands.
class TstChrome : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QString url(const QString &path) const { return m_world.url(path); }
    QComboBox *textUrl() const { return m_w->addressRow().textUrl(); }
    QComboBox *combSearch() const { return m_w->addressRow().combSearch(); }
    QAction *item(const char *name) const { return m_w->menus()->action(QString::fromLatin1(name)); }
    QToolButton *button(const char *name) const { return m_w->findChild<QToolButton *>(QString::fromLatin1(name)); }
    static QStringList itemNames(QMenu *menu)
    {
        QStringList names;
        for (QAction *a : menu->actions())
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        return names;
    }
    // Waits until the blocker saw the address (outside sites are never loaded).
    bool outsideRequested(const QString &address)
    {
        return waitFor([&] { return m_world.blocker.wasRequested(address); }, 10000);
    }
    void typeAddress(const QString &text)
    {
        textUrl()->setEditText(text);
        // Keys reach an editable box through the box itself, as typing does.
        QTest::keyClick(textUrl(), Qt::Key_Return);
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }

    void init()
    {
        m_world.reset();
        m_w = m_world.newWindow();
        m_w->pages().LoadNewForm(url(QStringLiteral("/index.html")));
    }

    void menuTreeInOrderWithCaptionsAndKeys()
    {
        QStringList bar;
        for (QAction *a : m_w->menuBar()->actions())
            bar << a->objectName() + QLatin1Char('=') + a->text();
        QCOMPARE(bar, QStringList({"mFile=文件(&F)", "mEdit=编辑(&E)", "PageLabel=查看(&V)", "mFav=收藏夹(&A)",
                                   "NetSearch=搜索排名(&S)", "Music=音乐(&M)", "mTools=工具(&T)",
                                   "HistoryRecord=历史(&L)", "mHelp=帮助(&H)"}));

        // Each item lives in its menu under its own name.
        QVERIFY(itemNames(m_w->menus()->menu(QStringLiteral("mFile"))).contains(QStringLiteral("DownloadImg")));
        QVERIFY(itemNames(m_w->menus()->menu(QStringLiteral("mTools"))).contains(QStringLiteral("zhushouopt")));

        const QList<std::pair<const char *, const char *>> keys = {
            {"LoadMe", "F6"}, {"Build", "F4"}, {"mnuFileSaveAs", "Ctrl+S"}, {"Print", "Ctrl+P"}, {"Cancel", "Ctrl+Z"},
            {"mnuEditCopy", "Ctrl+C"}, {"shan", "Ctrl+X"}, {"chakan", "Ctrl+V"}, {"mnuViewRefresh", "Ctrl+A"},
            {"mnuViewOptions", "Ctrl+F"}, {"closeme", "F9"}, {"mnuFileClose", "F8"}, {"pageup", "F2"},
            {"pagedown", "F3"}, {"shuaxin", "F5"}, {"ShowMe", "F11"}, {"addhome", "Ctrl+D"}, {"mnuHelp", "F1"}};
        for (const auto &[name, key] : keys)
            QCOMPARE(item(name)->shortcut(), QKeySequence(QString::fromLatin1(key)));
        // The captions' "F2", "F3" and "Ctri+T" are text only.
        QVERIFY(item("pageup2")->shortcut().isEmpty());
        QVERIFY(item("build2")->shortcut().isEmpty());
        QCOMPARE(item("pageup2")->text(), QStringLiteral("至页面顶部                      F2"));
        QCOMPARE(item("ShowMe")->text(), QStringLiteral("全屏显示"));

        // Alt and a letter opens an item only where no other item of its menu has that
        // letter (下载列表 once took 文件夹加密's J). The File menu's given captions keep
        // their two pairs.
        QStringList shared;
        for (const QMenu *menu : m_w->findChildren<QMenu *>()) {
            QMap<QChar, QStringList> byKey;
            for (const QAction *a : menu->actions()) {
                const QString t = a->text();
                const qsizetype amp = t.indexOf(QLatin1Char('&'));
                if (amp >= 0 && amp + 1 < t.size() && t[amp + 1] != QLatin1Char('&'))
                    byKey[t[amp + 1].toUpper()] << t;
            }
            for (const QStringList &items : std::as_const(byKey))
                if (items.size() > 1)
                    shared << menu->objectName() + QStringLiteral(": ") + items.join(QStringLiteral(" / "));
        }
        QCOMPARE(shared, QStringList({QStringLiteral("mFile: 开启新窗口(&N) / 拨号上网(&N)"),
                                      QStringLiteral("mFile: 网页截图 保存(&P) / 打印(&P)")}));
    }

    // The page's context menu was English in a Chinese browser: the engine's own texts
    // come from a catalogue of their own.
    void theEnginesOwnTextsAreChinese()
    {
        QWebEnginePage page(m_world.engine->profile());
        QStringList english;
        for (const QWebEnginePage::WebAction action :
             {QWebEnginePage::Back, QWebEnginePage::Forward, QWebEnginePage::Reload, QWebEnginePage::SavePage,
              QWebEnginePage::OpenLinkInNewTab, QWebEnginePage::DownloadLinkToDisk, QWebEnginePage::CopyLinkToClipboard,
              QWebEnginePage::DownloadImageToDisk, QWebEnginePage::CopyImageToClipboard, QWebEnginePage::Copy,
              QWebEnginePage::Paste, QWebEnginePage::SelectAll}) {
            const QString text = page.action(action)->text();
            if (!std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.script() == QChar::Script_Han; }))
                english << text;
        }
        QCOMPARE(english, QStringList());
    }

    void siteTablesBecomeMenusInOrder()
    {
        const QList<std::pair<const char *, const QVector<SiteTables::Item> *>> tables = {
            {"SearchWord", &SiteTables::searchWord()}, {"NetSearch", &SiteTables::netSearch()},
            {"Music", &SiteTables::music()}};
        for (const auto &[menuName, table] : tables) {
            QMenu *menu = m_w->menus()->menu(QString::fromLatin1(menuName));
            QCOMPARE(table->size(), 19);
            QStringList captions;
            QStringList expected;
            for (QAction *a : menu->actions())
                if (!a->isSeparator()) {
                    captions << a->objectName() + QLatin1Char('=') + a->text();
                    QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
                }
            for (const SiteTables::Item &i : *table) {
                expected << QString::fromLatin1(i.name) + QLatin1Char('=') + QString::fromUtf8(i.caption);
                const QString address = QString::fromUtf8(i.address);
                // Every outside address uses http, except the plain Baidu home page item.
                QVERIFY2(address.startsWith(QLatin1String(qstrcmp(i.name, "SearchBaidu2") ? "http://" : "https://")),
                         i.name);
                QVERIFY(QUrl(address).isValid());
            }
            QCOMPARE(captions, expected);
        }
        // The search menu separates its groups, told apart by the caption's bracket.
        QStringList groups;
        QString last;
        for (QAction *a : m_w->menus()->menu(QStringLiteral("SearchWord"))->actions()) {
            if (a->isSeparator()) {
                groups << QStringLiteral("|");
                continue;
            }
            const QString bracket = a->text().section(QStringLiteral("】"), 0, 0);
            QVERIFY2(last.isEmpty() || bracket == last || groups.last() == QStringLiteral("|"), qPrintable(a->text()));
            if (groups.isEmpty() || groups.last() == QStringLiteral("|"))
                groups << bracket;
            last = bracket;
        }
        QCOMPARE(groups.join(QString()), QStringLiteral("【翻译|【搜索|【图片|【音乐|【电影|【购物|【软件"));
        QVERIFY(!m_w->menuBar()->actions().contains(m_w->menus()->menu(QStringLiteral("SearchWord"))->menuAction()));
    }

    void siteSearchUsesTheWordOrOpensTheRoot()
    {
        // Plain rule first: the root is "http://" and the host, however the prefix goes on.
        QCOMPARE(SiteTables::siteSearchAddress(QStringLiteral("http://www.crsky.com/?="), QString()),
                 QStringLiteral("http://www.crsky.com"));
        QCOMPARE(SiteTables::siteSearchAddress(QStringLiteral("http://a.example"), QString()), QStringLiteral("http://a.example"));
        QCOMPARE(SiteTables::siteSearchAddress(QStringLiteral("http://a.example/s?q="), QStringLiteral("a b&c")),
                 QStringLiteral("http://a.example/s?q=a%20b%26c"));

        const int tabs = m_w->pages().book().count();
        combSearch()->setEditText(QStringLiteral("风景"));
        item("SearchBaidu")->trigger();
        QVERIFY(outsideRequested(QStringLiteral("http://www.baidu.com/s?wd=风景")));
        QCOMPARE(m_w->pages().book().count(), tabs + 1);
        QCOMPARE(textUrl()->currentText(), QStringLiteral("http://www.baidu.com/s?wd=风景"));

        // The word is ignored by the home-page items.
        item("SearchDuoTe")->trigger();
        QVERIFY(outsideRequested(QStringLiteral("http://www.duote.com/")));

        combSearch()->setEditText(QString());
        item("SearchBaidu")->trigger();
        QVERIFY(outsideRequested(QStringLiteral("http://www.baidu.com/")));
        item("SearchFanyi")->trigger();
        QVERIFY(outsideRequested(QStringLiteral("http://www.iciba.com/")));
        QCOMPARE(m_w->pages().book().count(), tabs + 4);

        // Ranking and music items open their address; the word plays no part.
        combSearch()->setEditText(QStringLiteral("忽略"));
        item("SearchFuBuSi")->trigger();
        QVERIFY(outsideRequested(QStringLiteral("http://www.forbeschina.com/list/")));
        item("MusicDuShi")->trigger();
        QVERIFY(outsideRequested(QStringLiteral("http://www.cri.cn/radio/playerpop.htm")));
        QVERIFY(!m_world.blocker.requested().join(QLatin1Char(' ')).contains(QStringLiteral("忽略")));

        // The search button pops the engine menu up.
        button("CmdSearch")->click();
        QMenu *engines = m_w->menus()->menu(QStringLiteral("SearchWord"));
        QTRY_VERIFY(engines->isVisible());
        engines->close();
    }

    void startPageItemShowsThePlainAddressAndIsNotRecorded()
    {
        m_w->pages().closedPages().load();
        const QString before = m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Count"));
        item("Search2345")->trigger();
        FormWeb *p = m_w->pages().activePage();
        QVERIFY(outsideRequested(Sites::kMarkedStartPage));
        QCOMPARE(textUrl()->currentText(), Sites::kStartPage);
        QTRY_COMPARE_WITH_TIMEOUT(p->Web()->LocationURL(), Sites::kMarkedStartPage, 10000);
        m_w->pages().book().setHoverPos(m_w->pages().book().activePos());
        m_w->pages().DelLine();
        // The ring as read writes what waits first.
        m_w->pages().closedRing().writeWaiting();
        QCOMPARE(m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Count")), before);
    }

    void addressBoxRules()
    {
        FormWeb *p = m_w->pages().activePage();
        QTRY_COMPARE_WITH_TIMEOUT(p->Web()->LocationURL(), url(QStringLiteral("/index.html")), 10000);
        const int tabs = m_w->pages().book().count();

        // Words without a dot: a web search in the active tab, blank kept as typed.
        typeAddress(QStringLiteral("香山 红叶"));
        QVERIFY(outsideRequested(QStringLiteral("http://www.baidu.com/s?wd=香山 红叶")));
        // The refused request's page settles before the next address is typed: typed while
        // it was still loading, the next search's request was once never seen.
        QTRY_VERIFY_WITH_TIMEOUT(!p->Web()->isBusy(), 10000);
        typeAddress(QStringLiteral("localhost"));
        QVERIFY(outsideRequested(QStringLiteral("http://www.baidu.com/s?wd=localhost")));
        QCOMPARE(m_w->pages().book().count(), tabs);

        // Anything with a dot goes to the page as typed, without a scheme too.
        typeAddress(url(QStringLiteral("/page?id=typed")).mid(7));
        QTRY_COMPARE_WITH_TIMEOUT(p->Web()->LocationURL(), url(QStringLiteral("/page?id=typed")), 10000);
        QTRY_COMPARE(m_w->tabStrip()->labelText(p->myindex()), QStringLiteral("Page typed"));

        // A closed-page record from the list: its title is dropped, the active tab navigates.
        textUrl()->addItem(QStringLiteral("Page x  ") + url(QStringLiteral("/page?id=x")));
        textUrl()->setCurrentIndex(textUrl()->count() - 1);
        emit textUrl()->activated(textUrl()->count() - 1);
        QTRY_COMPARE_WITH_TIMEOUT(p->Web()->LocationURL(), url(QStringLiteral("/page?id=x")), 10000);
        QCOMPARE(m_w->pages().book().count(), tabs);

        // Hostile text: the program goes on and no tab is lost.
        for (const QString &odd : {QStringLiteral("."), QStringLiteral("a&b=\"c\" 'd'.cn"), QString(5000, QLatin1Char('x')) + QStringLiteral(".cn"),
                                   QStringLiteral("中文.中国 空格")}) {
            typeAddress(odd);
            QCOMPARE(m_w->pages().book().count(), tabs);
        }
        // A good address typed after them still reaches the same page: none of them
        // opened a tab or took the page away.
        typeAddress(url(QStringLiteral("/page?id=after")));
        QTRY_COMPARE_WITH_TIMEOUT(p->location(), url(QStringLiteral("/page?id=after")), 10000);
        QCOMPARE(m_w->pages().book().count(), tabs);
        QCOMPARE(m_w->pages().activePage(), p);

        // A new blank tab shows the typing prefix.
        m_w->pages().Build();
        QCOMPARE(textUrl()->currentText(), QStringLiteral("http://www."));
    }

    void searchBoxOpensTabsAndKeepsEveryWord()
    {
        QCOMPARE(combSearch()->count(), 27);
        QCOMPARE(combSearch()->itemText(14), QStringLiteral("海洋风光"));
        QCOMPARE(combSearch()->itemText(20), QStringLiteral("海洋风光"));
        QCOMPARE(combSearch()->itemText(26), QStringLiteral("夜色"));
        const int tabs = m_w->pages().book().count();
        for (int i = 0; i < 2; ++i) {
            combSearch()->setEditText(QStringLiteral("瀑布"));
            QTest::keyClick(combSearch(), Qt::Key_Return);
        }
        QCOMPARE(m_w->pages().book().count(), tabs + 2);
        QCOMPARE(combSearch()->count(), 29);
        QCOMPARE(combSearch()->itemText(27), QStringLiteral("瀑布"));
        QCOMPARE(combSearch()->itemText(28), QStringLiteral("瀑布"));
        QVERIFY(outsideRequested(QStringLiteral("http://www.baidu.com/s?wd=瀑布")));

        // A long session of searches: the list just grows (tabs closed as we go).
        for (int i = 0; i < 2000; ++i)
            combSearch()->addItem(QStringLiteral("词%1").arg(i));
        combSearch()->setEditText(QStringLiteral("最后"));
        QTest::keyClick(combSearch(), Qt::Key_Return);
        QCOMPARE(combSearch()->count(), 2030);
        QCOMPARE(combSearch()->itemText(2029), QStringLiteral("最后"));
    }

    void siteButtonsAndPictureSitesDriveTheSignalLight()
    {
        QToolButton *light = button("Command11");
        const QColor face = light->palette().color(QPalette::Button);
        QVERIFY(face != QColor(Qt::yellow));
        item("Fav169bb")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(light->palette().color(QPalette::Button), QColor(Qt::yellow), 5000);
        QCOMPARE(m_world.options.safePictureMode(), 1);
        QVERIFY(outsideRequested(SiteTables::kGlamourPictures));

        button("Command10")->click();
        QTRY_COMPARE_WITH_TIMEOUT(light->palette().color(QPalette::Button), face, 5000);
        QCOMPARE(m_world.options.safePictureMode(), 0);
        QVERIFY(outsideRequested(SiteTables::kTaobaoHome));

        item("Fav169mt")->trigger();
        QCOMPARE(m_world.options.safePictureMode(), 1);
        button("ImgComb")->click();
        QCOMPARE(m_world.options.safePictureMode(), 0);
        QVERIFY(outsideRequested(SiteTables::kBaiduHome));
        m_world.options.setSafePictureMode(1);
        button("Command7")->click();
        QCOMPARE(m_world.options.safePictureMode(), 0);
        QVERIFY(outsideRequested(SiteTables::k360Directory));

        item("HomePage")->trigger();
        QVERIFY(outsideRequested(SiteTables::kProductSite));
        // Every toolbar button shows a picture.
        for (QToolButton *b : m_w->findChild<QWidget *>(QStringLiteral("Pict"))->findChildren<QToolButton *>())
            if (b->property("index").isValid() || b->objectName().startsWith(QLatin1String("Command"))
                || b->objectName() == QLatin1String("Chk") || b->objectName() == QLatin1String("ImgComb"))
                QVERIFY2(!b->icon().pixmap(32, 32).isNull(), qPrintable(b->objectName()));
    }

    void fullScreenTwiceRestoresTheLayout()
    {
        QWidget *pict = m_w->findChild<QWidget *>(QStringLiteral("Pict"));
        FormWeb *p = m_w->pages().activePage();
        const QRect pageBefore = p->geometry();
        const QRect urlBefore = textUrl()->geometry();
        const QPoint stripBefore = m_w->tabStrip()->addLabel()->pos();
        QVERIFY(pict->isVisible());

        item("ShowMe")->trigger();
        QVERIFY(!pict->isVisible());
        QVERIFY(p->height() > pageBefore.height());
        QCOMPARE(p->mapTo(m_w, QPoint(0, 0)).y(), m_w->centralWidget()->y());

        item("ShowMe")->trigger();
        QVERIFY(pict->isVisible());
        QCOMPARE(p->geometry(), pageBefore);
        QCOMPARE(textUrl()->geometry(), urlBefore);
        QCOMPARE(m_w->tabStrip()->addLabel()->pos(), stripBefore);
    }

    void desktopCommandsGoThroughTheShell()
    {
        textUrl()->setEditText(url(QStringLiteral("/page?id=other")));
        item("OpenUrlStyle")->trigger();
        QCOMPARE(m_world.shell.opened, QStringList{url(QStringLiteral("/page?id=other"))});

        item("LoadMe")->trigger();
        QCOMPARE(m_world.shell.started, QStringList{QCoreApplication::applicationFilePath()});

        button("Command6")->click();
        QCOMPARE(m_world.shell.opened.last(), Paths::appDir() + QStringLiteral("/Download/"));

        // A failing shell is quiet and the window goes on.
        m_world.shell.answer = false;
        item("OpenUrlStyle")->trigger();
        m_world.shell.answer = true;
        QCOMPARE(m_world.shell.opened.size(), 3);
        QCOMPARE(m_w->pages().book().count(), 1);
    }

    void contextMenuActsOnTheLabelUnderThePointer()
    {
        FormWeb *first = m_w->pages().activePage();
        QTRY_COMPARE_WITH_TIMEOUT(m_w->tabStrip()->labelText(first->myindex()), QStringLiteral("测试首页 Fixture"), 15000);
        for (const char *id : {"b", "c"}) {
            FormWeb *p = m_w->pages().LoadNewForm(url(QStringLiteral("/page?id=%1").arg(QLatin1String(id))));
            QTRY_COMPARE_WITH_TIMEOUT(m_w->tabStrip()->labelText(p->myindex()), QStringLiteral("Page %1").arg(QLatin1String(id)), 15000);
        }
        QLineEdit *firstLabel = m_w->tabStrip()->existingLabel(first->myindex());
        QMenu *menu = m_w->menus()->menu(QStringLiteral("LabelPage"));

        // A right click pops the menu up over the label under the pointer, which stays inactive.
        QTest::mouseMove(firstLabel);
        QTest::mouseClick(firstLabel, Qt::RightButton);
        QTRY_VERIFY(menu->isVisible());
        menu->close();
        QCOMPARE(m_w->pages().book().activePos(), 2);
        item("fuzhi")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("测试首页 Fixture"));
        item("address")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), url(QStringLiteral("/page?id=c")));

        // "Close right" closes right of the label clicked, not of the active tab.
        item("closeright")->trigger();
        QCOMPARE(m_w->pages().book().count(), 1);
        QCOMPARE(m_w->pages().activePage(), first);
    }

    void manyTabsShrinkTheLabelsAndStayUsable()
    {
        const int start = m_w->pages().book().count();
        for (int i = start; i < 300; ++i)
            QVERIFY(m_w->pages().LoadNewForm(QStringLiteral("about:blank")));
        QCOMPARE(m_w->pages().book().count(), 300);
        QLineEdit *last = m_w->tabStrip()->existingLabel(m_w->pages().book().activeSlot());
        QVERIFY(last->width() <= 2);
        QVERIFY(m_w->tabStrip()->addLabel()->x() < m_w->width());
        // Still answering: a click on the first label activates it.
        QTest::mouseClick(m_w->tabStrip()->existingLabel(m_w->pages().book().slotAt(0)), Qt::LeftButton, {}, QPoint(0, 5));
        QCOMPARE(m_w->pages().book().activePos(), 0);
        m_w->pages().CloseAll();
        QCOMPARE(m_w->pages().book().count(), 1);
    }

    void systemToolsGoThroughTheDesktop()
    {
        m_world.shell.installed = {QStringLiteral("pactl"), QStringLiteral("amixer"), QStringLiteral("libreoffice")};
        m_world.shell.started.clear();
        // Two clicks mute and unmute, the check mark back where it was.
        item("SoundClose")->trigger();
        QVERIFY(item("SoundClose")->isChecked());
        item("SoundClose")->trigger();
        QVERIFY(!item("SoundClose")->isChecked());
        QCOMPARE(m_world.shell.started, QStringList(2, QStringLiteral("pactl set-sink-mute @DEFAULT_SINK@ toggle")));
        item("LoadExecl")->trigger();
        QCOMPARE(m_world.shell.started.last(), QStringLiteral("libreoffice --calc"));
        // The power-off is asked for exactly once, and only recorded here.
        m_world.shell.started.clear();
        item("CloadPC")->trigger();
        QCOMPARE(m_world.shell.started, QStringList{QStringLiteral("busctl call org.freedesktop.login1 /org/freedesktop/login1 "
                                                                   "org.freedesktop.login1.Manager PowerOff b false")});
        // A missing tool is named in the status bar; the item stays on.
        m_world.shell.installed.clear();
        item("bohao")->trigger();
        QCOMPARE(m_w->pages().shownPage()->statusBar()->statusText(),
                 QStringLiteral("未找到网络连接设置程序（已查找：nm-connection-editor、gnome-control-center、systemsettings）。"));
        QVERIFY(item("bohao")->isEnabled() && item("internet")->isEnabled());
        QCOMPARE(m_world.shell.started.size(), 1);

        item("lianxi")->trigger();
        QCOMPARE(m_world.shell.opened.last(), QStringLiteral("mailto:velmo@velmo.cn?subject=%E8%81%94%E7%B3%BB%E4%BD%9C%E8%80%85"));
        // The machine's name, the user and an IPv4 address that is not the loopback one.
        m_world.dialogs.asked.clear();
        item("MyIP")->trigger();
        const QStringList lines = m_world.dialogs.asked.value(0).section(QLatin1Char('|'), 1).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("本机电脑名称： ") + QSysInfo::machineHostName());
        QVERIFY(lines[1].startsWith(QStringLiteral("本机用户名称： ")));
        const QHostAddress ip(lines[2].section(QStringLiteral("： "), 1));
        QVERIFY(lines[2].endsWith(QStringLiteral("： ")) || (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback()));
        item("mnuHelpAbout")->trigger();
        QVERIFY(QRegularExpression(QStringLiteral("浏览引擎：Chromium \\d+\\.\\d+")).match(m_world.dialogs.asked.last()).hasMatch());
        // Without the login's variables the user's name comes from the user database.
        const QByteArray user = qgetenv("USER"), logName = qgetenv("LOGNAME");
        qunsetenv("USER");
        qunsetenv("LOGNAME");
        const QString name = SystemTools::userName();
        qputenv("USER", user);
        qputenv("LOGNAME", logName);
        QVERIFY(!name.isEmpty());
        QCOMPARE(name, QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name));

        // The toolbar's buttons do what their menu twins do.
        m_world.shell.installed = {QStringLiteral("libreoffice"), QStringLiteral("xset")};
        m_world.shell.started.clear();
        for (const char *button : {"Command9", "Command12", "Command1"}) {
            QVERIFY(m_w->toolbar().button(button)->isEnabled());
            m_w->toolbar().button(button)->click();
        }
        QCOMPARE(m_world.shell.started.mid(0, 2), (QStringList{QStringLiteral("libreoffice --writer"), QStringLiteral("libreoffice --calc")}));
        QVERIFY(m_world.shell.started.value(2).startsWith(QStringLiteral("xset")));
        // No mixer program: nothing muted, and the mark does not say otherwise.
        m_world.shell.installed.clear();
        item("SoundClose")->trigger();
        QVERIFY(!item("SoundClose")->isChecked());
        QVERIFY(m_w->pages().shownPage()->statusBar()->statusText().startsWith(QStringLiteral("未找到音量控制程序")));
    }

    void cornerWindowSlidesInAfterHalfAMinute()
    {
        // The browser's own, on the product site: nothing of it before its time.
        m_w->start(QStringList{url(QStringLiteral("/page?id=c"))});
        FormRight *own = m_w->findChild<FormRight *>();
        QVERIFY(!own->Web());
        // Its page does not load (no network here): it never comes, not even later.
        m_world.clock.time = m_world.clock.time.addSecs(FormRight::kSlideAfterS);
        own->check();
        QSignalSpy ended(own->Web(), &PageControl::LoadEnded);
        QVERIFY(ended.wait(15000));
        QCOMPARE(ended.first().first().toBool(), false);
        m_world.clock.time = m_world.clock.time.addSecs(60);
        own->check();
        QVERIFY(!own->isVisible());

        FormRight corner(*m_world.engine, m_world.clock, url(QStringLiteral("/page?id=promo")));
        QVERIFY(corner.windowFlags() & Qt::WindowStaysOnTopHint && corner.windowFlags() & Qt::WindowDoesNotAcceptFocus);
        m_world.clock.time = m_world.clock.time.addSecs(FormRight::kViewAfterS - 1);
        corner.check();
        QVERIFY(!corner.Web() && !corner.isVisible());
        m_world.clock.time = m_world.clock.time.addSecs(1);
        corner.check();
        QVERIFY(corner.Web() && !corner.isVisible());
        // Its page's margins go at each load.
        QVERIFY(waitFor([&] {
            return evaluateSync(corner.Web(), QStringLiteral("document.body && getComputedStyle(document.body).marginTop")).toString() == QStringLiteral("0px");
        }, 10000));
        m_world.clock.time = m_world.clock.time.addSecs(FormRight::kSlideAfterS - FormRight::kViewAfterS);
        corner.check();
        QVERIFY(corner.isVisible());
        QVERIFY(waitFor([&] { return corner.pos() == corner.corner(); }, 5000));
        const QRect area = corner.screen()->availableGeometry();
        QVERIFY(area.contains(corner.frameGeometry()));
        // Closed by the user, it stays closed.
        corner.close();
        m_world.clock.time = m_world.clock.time.addSecs(60);
        corner.check();
        QVERIFY(!corner.isVisible());
    }

    // Zoom reaches a page whose own scripts are off (safe picture mode).
    void zoomActsOnAPageWithoutScripts()
    {
        m_world.options.setSafePictureMode(1);
        FormWeb *p = m_world.open(QStringLiteral("/title?t=safe"), QStringLiteral("safe"));
        // The page's own scripts do not run.
        p->Web()->runPageScript(QStringLiteral("document.title = 'scripted'"));
        m_w->menus()->action(QStringLiteral("BigP"), 1)->trigger();
        QVERIFY(waitFor([&] { return evaluateSync(p->Web(), QStringLiteral("document.body.style.zoom")).toString() == QStringLiteral("90%"); }, 5000));
        QCOMPARE(evaluateSync(p->Web(), QStringLiteral("document.title")).toString(), QStringLiteral("safe"));
        m_world.options.setSafePictureMode(0);
    }

    void editingAndZoomActOnThePage()
    {
        FormWeb *p = m_world.open(QStringLiteral("/page?id=zoom"), QStringLiteral("Page zoom"));
        QAction *out = m_w->menus()->action(QStringLiteral("BigP"), 1);
        QAction *in = m_w->menus()->action(QStringLiteral("BigP"), 0);
        QList<int> steps;
        for (int i = 0; i < 12; ++i) {
            out->trigger();
            steps << p->commands().BigSize();
        }
        QCOMPARE(steps, (QList<int>{90, 80, 70, 60, 50, 40, 30, 20, 10, 5, 5, 5}));
        in->trigger(); // raised to 15 first
        QCOMPARE(p->commands().BigSize(), 25);
        QVERIFY(waitFor([&] { return evaluateSync(p->Web(), QStringLiteral("document.body.style.zoom")).toString() == QStringLiteral("25%"); }, 5000));
        // As the page lays itself out: a quarter of its size.
        QCOMPARE(evaluateSync(p->Web(), QStringLiteral("getComputedStyle(document.body).zoom")).toString(), QStringLiteral("0.25"));
        // The status bar says so while it is not 100 %; a new document comes at its size.
        QCOMPARE(p->statusBar()->productName(), QStringLiteral("缩放 25%"));
        p->navigate(m_world.url(QStringLiteral("/page?id=next")));
        QTRY_COMPARE_WITH_TIMEOUT(m_world.label(p), QStringLiteral("Page next"), 15000);
        QCOMPARE(p->statusBar()->productName(), QStringLiteral("安全浏览器"));
        // The 16-bit bound refuses the step and says so.
        p->commands().setBigSize(32760);
        in->trigger();
        QCOMPARE(p->commands().BigSize(), 32760);
        QCOMPARE(p->statusBar()->statusText(), QStringLiteral("已到缩放的极限。"));
        QCOMPARE(ZoomStep::next(32757, true), std::optional<int>(32767));

        // Select all and copy go through the engine's own commands.
        QGuiApplication::clipboard()->clear();
        item("mnuViewRefresh")->trigger();
        QVERIFY(waitFor([&] { return evaluateSync(p->Web(), QStringLiteral("getSelection().toString()")).toString() == QStringLiteral("fixture"); }, 5000));
        item("mnuEditCopy")->trigger();
        QVERIFY(waitFor([&] { return QGuiApplication::clipboard()->text().contains(QStringLiteral("fixture")); }, 5000));

        // Edit mode: the page takes typing, and is read only again after.
        item("EditPage")->trigger();
        QVERIFY(item("EditPage")->isChecked());
        QVERIFY(waitFor([&] { return evaluateSync(p->Web(), QStringLiteral("document.designMode")).toString() == QStringLiteral("on"); }, 5000));
        item("EditPage")->trigger();
        QVERIFY(waitFor([&] { return evaluateSync(p->Web(), QStringLiteral("document.designMode")).toString() == QStringLiteral("off"); }, 5000));
    }

    void findCountsMatchesWithOrWithoutCase()
    {
        // The engine finds nothing in a page still loading: its title comes before its text.
        const auto loaded = [](FormWeb *page) {
            return waitFor([&] { return evaluateSync(page->Web(), QStringLiteral("document.readyState")).toString() == QStringLiteral("complete"); }, 10000);
        };
        FormWeb *p = m_world.open(QStringLiteral("/find.html"), QStringLiteral("Find"));
        QVERIFY(loaded(p));
        item("mnuViewOptions")->trigger();
        auto *bar = p->findChild<FindBar *>();
        QVERIFY(bar && bar->isVisible());
        bar->word()->setText(QStringLiteral("needle"));
        bar->next();
        QVERIFY2(waitFor([&] { return bar->count() == QStringLiteral("1/4"); }, 5000), qPrintable(bar->count()));
        bar->next();
        QVERIFY(waitFor([&] { return bar->count() == QStringLiteral("2/4"); }, 5000));
        bar->next(true);
        QVERIFY(waitFor([&] { return bar->count() == QStringLiteral("1/4"); }, 5000));
        bar->matchCase()->setChecked(true); // finds again at once
        QVERIFY(waitFor([&] { return bar->count() == QStringLiteral("1/2"); }, 5000));
        // Plain text, however it looks: regular-expression characters, a very long word.
        bar->matchCase()->setChecked(false);
        bar->word()->setText(QStringLiteral("(a+b)*"));
        bar->next();
        QVERIFY(waitFor([&] { return bar->count() == QStringLiteral("1/1"); }, 5000));
        bar->word()->setText(QString(10000, QLatin1Char('x')));
        bar->next();
        QVERIFY(waitFor([&] { return bar->count() == QStringLiteral("0/0"); }, 5000));
        // Escape closes it; the last word is what the next bar starts with.
        bar->word()->setText(QStringLiteral("needle"));
        bar->next();
        QTest::keyClick(bar->word(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        // Also from its other parts.
        p->commands().showFind();
        QVERIFY(bar->isVisible());
        bar->matchCase()->setFocus();
        QTest::keyClick(bar->matchCase(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        FormWeb *other = m_world.open(QStringLiteral("/find.html?2"), QStringLiteral("Find"));
        QVERIFY(loaded(other));
        FindBar *second = other->commands().showFind();
        QCOMPARE(second->word()->text(), QStringLiteral("needle"));
        QVERIFY2(waitFor([&] { return second->count() == QStringLiteral("1/4"); }, 5000), qPrintable(second->count()));
        // The open bar searches each newly loaded page again.
        other->navigate(url(QStringLiteral("/lines?n=3")));
        QVERIFY2(waitFor([&] { return second->count() == QStringLiteral("0/0"); }, 10000), qPrintable(second->count()));
    }
};

VELMO_TEST_MAIN(TstChrome)
#include "tst_chrome.moc"
