#include "app/mainmenus.h"
#include "engine/cwebbrowser.h"
#include "engine/enginepage.h"
#include "page/formweb.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "tabs/tabstrip.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

// New windows, the address filter, refused pop-ups and the host site's download control
// on fixture pages with the real engine.
class TstNavigation : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QString url(const QString &path) const { return m_world.url(path); }
    QString label(FormWeb *p) const { return m_world.label(p); }
    QAction *item(const char *name) const { return m_w->menus()->action(QString::fromLatin1(name)); }
    int hits(const char *path) const { return m_world.server.requestCount(QString::fromLatin1(path)); }
    // A fixture page address of exactly n characters (the filter measures the length).
    QString addressOfLength(int n, const QString &middle = QString()) const
    {
        const QString head = url(QStringLiteral("/page?id=")) + middle;
        return head + QString(n - head.size(), QLatin1Char('z'));
    }
    FormWeb *open(const QString &path, const QString &title) { return m_world.open(path, title); }
    // Runs script in the page's own world, as the page's scripts would.
    static void pageScript(FormWeb *p, const QString &js) { p->Web()->runPageScript(js); }
    // The page's media element of that tag gave up its load (it was refused).
    static bool mediaFailed(FormWeb *p, const char *tag)
    {
        return evaluateSync(p->Web(), QStringLiteral("!!document.querySelector('%1') && document.querySelector('%1').error !== null")
                                          .arg(QLatin1String(tag))).toBool();
    }
    FormWeb *pageAt(int pos) const { return m_w->pages().page(m_w->pages().book().slotAt(pos)); }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }

    void init()
    {
        m_world.reset();
        m_w = m_world.newWindow();
    }

    void newWindowsBecomeTabsInFrontOrBehind()
    {
        FormWeb *opener = open(QStringLiteral("/opener.html"), QStringLiteral("Opener"));
        pageScript(opener, QStringLiteral("window.open('/page?id=front')"));
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), 2, 10000);
        FormWeb *front = m_w->pages().activePage();
        QVERIFY(front != opener);
        QTRY_COMPARE_WITH_TIMEOUT(label(front), QStringLiteral("Page front"), 15000);
        QCOMPARE(m_w->pages().shownPage(), front);
        QCOMPARE(m_w->addressRow().textUrl()->currentText(), url(QStringLiteral("/page?id=front")));

        // Behind: right of the opener, which stays active and keeps the address bar.
        m_w->pages().activateSlot(opener->myindex());
        m_world.options.setOpenInBackground(1);
        pageScript(opener, QStringLiteral("document.getElementById('blank').click()"));
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), 3, 10000);
        FormWeb *behind = pageAt(1);
        QVERIFY(behind != front);
        QCOMPARE(m_w->pages().activePage(), opener);
        QCOMPARE(m_w->pages().shownPage(), opener);
        QTRY_COMPARE_WITH_TIMEOUT(label(behind), QStringLiteral("Page blank"), 15000);
        QCOMPARE(m_w->addressRow().textUrl()->currentText(), url(QStringLiteral("/opener.html")));
        QCOMPARE(m_w->windowTitle(), QStringLiteral("Opener - Velmo安全浏览器"));
        QCOMPARE(pageAt(2), front);
    }

    void redirectsErrorPagesAndOtherOrigins()
    {
        // Three redirects: the tab, caption and address box end at the final page.
        const QString final = QStringLiteral("/page?id=final");
        FormWeb *p = open(QStringLiteral("/redirect?n=3&to=") + QString::fromLatin1(QUrl::toPercentEncoding(final)),
                          QStringLiteral("Page final"));
        QCOMPARE(hits("/redirect"), 3);
        QCOMPARE(p->location(), url(final));
        QCOMPARE(m_w->addressRow().textUrl()->currentText(), url(final));

        // Server errors still show their page and title.
        FormWeb *missing = open(QStringLiteral("/status?code=404"), QStringLiteral("Status 404"));
        QCOMPARE(missing->location(), url(QStringLiteral("/status?code=404")));
        open(QStringLiteral("/status?code=500"), QStringLiteral("Status 500"));

        // A page slow to arrive gets its title once it is there.
        open(QStringLiteral("/slow?chunks=4&ms=50"), QStringLiteral("Slow"));

        // A picture from the other origin shows at its own size.
        FormWeb *pics = open(QStringLiteral("/opener.html"), QStringLiteral("Opener"));
        const QString pic = m_world.server.crossUrl(QStringLiteral("/picture?w=321&h=123")).toString();
        evaluateSync(pics->Web(), QStringLiteral("var i = new Image(); i.id = 'x'; i.src = '%1'; document.body.appendChild(i);").arg(pic));
        QTRY_COMPARE_WITH_TIMEOUT(evaluateSync(pics->Web(), QStringLiteral("document.getElementById('x').naturalWidth")).toInt(), 321, 10000);
        QCOMPARE(hits("/picture"), 1);
    }

    void filterBoundaryOnRealNavigations()
    {
        FormWeb *p = open(QStringLiteral("/page?id=start"), QStringLiteral("Page start"));
        m_world.options.setAdBlock(1);
        QVERIFY(item("StartPop")->isChecked());

        // 80 characters are never judged.
        const QString at80 = addressOfLength(80);
        p->Web()->Navigate(at80);
        QTRY_COMPARE_WITH_TIMEOUT(p->Web()->LocationURL(), at80, 10000);
        QVERIFY(!p->blocked());

        // 81: refused; the page keeps its address and its tab.
        const int before = hits("/page");
        p->Web()->Navigate(addressOfLength(81));
        QTRY_VERIFY_WITH_TIMEOUT(p->blocked(), 5000);
        QCOMPARE(p->Web()->LocationURL(), at80);
        QCOMPARE(m_w->pages().book().count(), 1);

        // A search site's fragment past position 8 lets a long address through; once it
        // has loaded, the server has seen it and never the refused one.
        const QString withFragment = addressOfLength(120, QStringLiteral("x&r=.sogou.com/"));
        p->Web()->Navigate(withFragment);
        QTRY_COMPARE_WITH_TIMEOUT(p->Web()->LocationURL(), withFragment, 10000);
        // The address shows as the load starts; the request follows.
        QTRY_COMPARE_WITH_TIMEOUT(hits("/page"), before + 1, 10000);

        // Safe picture mode suspends the filter.
        m_world.options.setSafePictureMode(1);
        const QString long81 = addressOfLength(81);
        p->Web()->Navigate(long81);
        QTRY_COMPARE_WITH_TIMEOUT(p->Web()->LocationURL(), long81, 10000);
    }

    void refusedPopupsAreClosedAndTheOpenerIsActive()
    {
        FormWeb *opener = open(QStringLiteral("/opener.html"), QStringLiteral("Opener"));
        m_world.options.setAdBlock(1);
        // Each request for a window is seen as it comes, with the tabs there are then
        // (the refused one lives for a moment only).
        QList<int> tabsAtRequest;
        connect(opener->Web(), &PageControl::NewWindow2, this,
                [&] { tabsAtRequest.append(m_w->pages().book().count()); });
        const QString refused = addressOfLength(120);
        pageScript(opener, QStringLiteral("window.open('%1')").arg(refused));
        QTRY_COMPARE_WITH_TIMEOUT(tabsAtRequest, QList<int>{2}, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), 1, 5000);
        QCOMPARE(m_w->pages().activePage(), opener);
        QCOMPARE(m_w->pages().shownPage(), opener);
        QCOMPARE(m_w->addressRow().textUrl()->currentText(), url(QStringLiteral("/opener.html")));

        // The same from a link, opening behind.
        m_world.options.setOpenInBackground(1);
        pageScript(opener, QStringLiteral("var a = document.getElementById('blank'); a.href = '%1'; a.click();").arg(refused));
        QTRY_COMPARE_WITH_TIMEOUT(tabsAtRequest, (QList<int>{2, 2}), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), 1, 5000);
        QCOMPARE(m_w->pages().activePage(), opener);
        QCOMPARE(m_w->pages().book().describe(), QStringLiteral("%1*").arg(opener->myindex()));

        // A refused address of 100,000 characters goes the same way.
        m_world.options.setOpenInBackground(0);
        pageScript(opener, QStringLiteral("window.open('%1')").arg(addressOfLength(100000)));
        QTRY_COMPARE_WITH_TIMEOUT(tabsAtRequest, (QList<int>{2, 2, 2}), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), 1, 5000);
        QCOMPARE(m_w->pages().activePage(), opener);
        disconnect(opener->Web(), &PageControl::NewWindow2, this, nullptr);

        // Allowed, it loads, and its tab shows the first 100 characters of the title.
        m_world.options.setAdBlock(0);
        pageScript(opener, QStringLiteral("window.open('%1')").arg(addressOfLength(100000)));
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), 2, 10000);
        FormWeb *huge = m_w->pages().activePage();
        QTRY_VERIFY_WITH_TIMEOUT(label(huge).startsWith(QLatin1String("Page zzz")), 15000);
        QCOMPARE(label(huge).size(), 100);
    }

    void refusedOnlyTabBecomesBlank()
    {
        m_world.options.setAdBlock(1);
        FormWeb *p = m_w->pages().LoadNewForm(addressOfLength(90));
        QTRY_COMPARE_WITH_TIMEOUT(p->Web()->LocationURL(), QStringLiteral("about:blank"), 10000);
        // Its clean-up timer saw the blank page and stopped without closing the tab.
        QTRY_VERIFY_WITH_TIMEOUT(!p->findChild<QTimer *>(QStringLiteral("Timer2"))->isActive(), 5000);
        QCOMPARE(m_w->pages().book().count(), 1);
        QCOMPARE(label(p), QString());
        QCOMPARE(m_w->addressRow().textUrl()->currentText(), QStringLiteral("http://www."));
    }

    void popupStormKeepsTheTablesConsistent()
    {
        FormWeb *opener = open(QStringLiteral("/opener.html"), QStringLiteral("Opener"));
        // Two hundred refused pop-ups: every tab they leave is closed again.
        m_world.options.setAdBlock(1);
        pageScript(opener, QStringLiteral("for (var i = 0; i < 200; ++i) window.open('%1' + i);").arg(addressOfLength(100)));
        // Generous limits: on a loaded machine the storm takes its time, and a condition
        // that holds ends the wait at once.
        QTRY_VERIFY_WITH_TIMEOUT(m_w->pages().book().count() > 1, 60000);
        // A script round trip: the page's loop has run to its end.
        QVERIFY(evaluateSync(opener->Web(), QStringLiteral("1"), 180000).isValid());
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), 1, 180000);
        QCOMPARE(m_w->pages().activePage(), opener);
        QTRY_COMPARE_WITH_TIMEOUT(m_w->clientArea()->findChildren<FormWeb *>(QString(), Qt::FindDirectChildrenOnly).size(), 1, 10000);

        // A page's own windows without a click are bounded (the count is the page rules'
        // test's); the engine tells a click from a script: the user's click still opens,
        // on a fresh document (the storm's one is busy for a while yet).
        m_world.options.setAdBlock(0);
        // (The renderer that ran the storm may take its time to answer.)
        QSignalSpy loaded(opener, &FormWeb::documentLoaded);
        opener->navigate(url(QStringLiteral("/opener.html?again")));
        QVERIFY(loaded.wait(60000));
        QVERIFY(evaluateSync(opener->Web(), QStringLiteral("!!document.getElementById('blank')"), 60000).toBool());
        m_w->pages().activateSlot(opener->myindex());
        const QPoint link = QPoint(evaluateSync(opener->Web(), QStringLiteral("document.getElementById('blank').getBoundingClientRect().left + 3")).toInt(),
                                   evaluateSync(opener->Web(), QStringLiteral("document.getElementById('blank').getBoundingClientRect().top + 3")).toInt());
        QWidget *proxy = opener->Web()->inputWidget();
        QVERIFY(proxy);
        QTest::mouseMove(proxy, link);
        QTest::mouseClick(proxy, Qt::LeftButton, Qt::NoModifier, link);
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), 2, 15000);
        QVERIFY(!m_w->pages().activePage()->blocked());
        m_w->pages().CloseAll();
        QCOMPARE(m_w->pages().book().count(), 1);
    }

    void scriptWindowsAreBoundedPerMinuteForAWholeChain_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("last");
        // 25 windows a hop, then on to the next page (a reload would do the same).
        QTest::newRow("hops") << QStringLiteral("/popchain?hop=0&of=4") << QStringLiteral("/popchain");
        // Windows that open windows: 5, then 25 more.
        QTest::newRow("nested") << QStringLiteral("/popnest?level=2&fan=5") << QStringLiteral("/popnest");
    }
    void scriptWindowsAreBoundedPerMinuteForAWholeChain()
    {
        QFETCH(QString, start);
        QFETCH(QString, last);
        m_world.clock.time = m_world.clock.time.addSecs(61);
        FormWeb *first = m_w->pages().LoadNewForm(url(start));
        const auto noticed = [this] {
            for (FormWeb *p : m_w->clientArea()->findChildren<FormWeb *>(QString(), Qt::FindDirectChildrenOnly))
                if (p->statusBar()->statusText().contains(QStringLiteral("已被拦截")))
                    return true;
            return false;
        };
        // The chain runs its course: the last hop is in (a tab of its own), and a refusal
        // was told.
        if (start.contains(QLatin1String("chain")))
            QTRY_COMPARE_WITH_TIMEOUT(m_world.label(first), QStringLiteral("Hop 4"), 120000);
        QTRY_VERIFY_WITH_TIMEOUT(m_world.server.requestCount(last) >= (start.contains(QLatin1String("chain")) ? 5 : 6) && noticed(), 120000);
        QTRY_COMPARE_WITH_TIMEOUT(hits("/popwin") + hits("/popnest"), (start.contains(QLatin1String("chain")) ? 20 : 21), 30000);
        QVERIFY(m_w->pages().book().count() <= 1 + NavigationGuard::kScriptWindowCap);
        // A minute later the chain may open windows again.
        m_world.clock.time = m_world.clock.time.addSecs(61);
        m_w->pages().CloseAll();
    }

    void safeModeTurnsScriptsOffForThatPageOnly()
    {
        FormWeb *other = open(QStringLiteral("/scripted.html"), QStringLiteral("Scripted"));
        item("StartSafe")->trigger();
        QCOMPARE(m_world.options.safePictureMode(), 1);

        // A page made now attaches its host site at once: no scripts.
        FormWeb *p = m_w->pages().LoadNewForm(url(QStringLiteral("/scripted.html")));
        QVERIFY(p->vCWebMe());
        QCOMPARE(p->Web()->downloadControl(), 240);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Static"), 15000);
        // The page's inline script would have run before the load ended.
        QTRY_COMPARE_WITH_TIMEOUT(p->statusBar()->progress(), QStringLiteral("100 %"), 15000);
        QCOMPARE(label(p), QStringLiteral("Static"));

        // Pages already open keep running scripts until they attach again: after a
        // reload its title is the script's again, not the document's own.
        QSignalSpy reloaded(other->Web(), &PageControl::DocumentComplete);
        other->Web()->Refresh();
        QTRY_VERIFY_WITH_TIMEOUT(reloaded.count() > 0, 10000);
        QCOMPARE(evaluateSync(other->Web(), QStringLiteral("document.title")).toString(), QStringLiteral("Scripted"));
        QTRY_COMPARE_WITH_TIMEOUT(label(other), QStringLiteral("Scripted"), 5000);
        QCOMPARE(other->Web()->downloadControl(), -1);

        // Safe mode off and the menu's refresh: a fresh site (112) and scripts again.
        item("StartSafe")->trigger();
        QCOMPARE(m_world.options.safePictureMode(), 0);
        item("shuaxin")->trigger();
        QCOMPARE(p->Web()->downloadControl(), 112);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Scripted"), 15000);

        // Clearing ads: safe mode on, this page's scripts off and reloaded.
        m_w->pages().activateSlot(other->myindex());
        item("KillPop")->trigger();
        QCOMPARE(m_world.options.safePictureMode(), 1);
        QCOMPARE(other->Web()->downloadControl(), 240);
        QTRY_COMPARE_WITH_TIMEOUT(label(other), QStringLiteral("Static"), 15000);
        QCOMPARE(p->Web()->downloadControl(), 112);

        // Refresh-all hands every page the current mode.
        item("AllResuha")->trigger();
        QCOMPARE(p->Web()->downloadControl(), 240);
        QCOMPARE(other->Web()->downloadControl(), 240);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Static"), 15000);
        m_world.options.setSafePictureMode(0);
        item("AllResuha")->trigger();
        QCOMPARE(other->Web()->downloadControl(), 112);
        QTRY_COMPARE_WITH_TIMEOUT(label(other), QStringLiteral("Scripted"), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Scripted"), 15000);
    }

    void refreshButtonAttachesWhileAdBlocking()
    {
        FormWeb *p = open(QStringLiteral("/scripted.html"), QStringLiteral("Scripted"));
        auto *refresh = m_w->findChild<QToolButton *>(QStringLiteral("Command2"));
        const int before = hits("/scripted.html");
        refresh->click();
        QTRY_COMPARE_WITH_TIMEOUT(hits("/scripted.html"), before + 1, 10000);
        QVERIFY(!p->vCWebMe());

        m_world.options.setAdBlock(1);
        m_world.options.setSafePictureMode(1);
        refresh->click();
        QVERIFY(p->vCWebMe());
        QCOMPARE(p->vCWebMe()->DownloadCtrlEX(), 240);
        QTRY_COMPARE_WITH_TIMEOUT(hits("/scripted.html"), before + 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Static"), 10000);
    }

    void flagBitsReachTheEngine()
    {
        FormWeb *p = open(QStringLiteral("/media.html"), QStringLiteral("Media"));
        QTRY_VERIFY_WITH_TIMEOUT(hits("/pic.png") >= 1 && hits("/clip.mp4") >= 1 && hits("/bg.mp3") >= 1, 10000);
        QVERIFY(p->PageJavaConctrl());
        cWebBrowser *site = p->vCWebMe();
        QCOMPARE(site->Webbrowser(), p->Web());
        QCOMPARE(site->hwnd(), p->Web()->widget());
        QCOMPARE(p->Web()->widget()->parentWidget(), p->PicJava());
        QCOMPARE(p->Web()->widget()->size(), p->PicJava()->size());

        // No pictures, no video: neither is asked for on the reload; the sound still is.
        m_world.server.resetCounts();
        QVERIFY(site->Dl_BatchSet(false, true, true, false, true, true, true));
        QCOMPARE(p->Web()->downloadControl(), 0x40);
        QTRY_VERIFY_WITH_TIMEOUT(hits("/media.html") >= 1 && hits("/bg.mp3") >= 1, 10000);
        // The video's refused load has been processed (the picture comes before it).
        QTRY_VERIFY_WITH_TIMEOUT(mediaFailed(p, "video"), 10000);
        QCOMPARE(hits("/pic.png"), 0);
        QCOMPARE(hits("/clip.mp4"), 0);

        // No background sound either.
        m_world.server.resetCounts();
        site->setDL_BgSound(false);
        QTRY_VERIFY_WITH_TIMEOUT(hits("/media.html") >= 1 && mediaFailed(p, "audio"), 10000);
        QCOMPARE(hits("/bg.mp3"), 0);

        // Everything back on.
        m_world.server.resetCounts();
        QVERIFY(site->Dl_EnableAll(true));
        QCOMPARE(p->Web()->downloadControl(), 112);
        QTRY_VERIFY_WITH_TIMEOUT(hits("/pic.png") >= 1 && hits("/clip.mp4") >= 1 && hits("/bg.mp3") >= 1, 10000);

        // A released site hands the browser back to its defaults.
        site->pvReleaseWBControl();
        QCOMPARE(p->Web()->downloadControl(), -1);
        QVERIFY(!site->attached());
    }
};

VELMO_TEST_MAIN(TstNavigation)
#include "tst_navigation.moc"
