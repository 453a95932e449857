#include "app/addressrow.h"
#include "app/openpageskeeper.h"
#include "page/certificatepanel.h"
#include "page/formright.h"
#include "page/logindialog.h"
#include "page/pagedocument.h"
#include "page/pageproperties.h"
#include "page/pagesecurity.h"
#include "page/permissionasker.h"
#include "page/questionbar.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "support/tlsfixture.h"

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

// What sites ask of the browser besides pages, each in the real engine against a real
// server: a login, a certificate that proves nothing, an element filling the screen, and
// permissions for features.
class TstSiteAsks : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QString url(const QString &path) const { return m_world.url(path); }
    QString label(FormWeb *p) const { return m_world.label(p); }
    FormWeb *open(const QString &path, const QString &title) { return m_world.open(path, title); }
    static QVariant eval(FormWeb *p, const QString &js) { return evaluateSync(p->Web(), js, 15000); }

    static bool inEngineFullScreen(FormWeb *p) { return eval(p, QStringLiteral("!!document.fullscreenElement")).toBool(); }

    // Clicks the page where the user would: the engine counts it as the user's gesture.
    static void clickPage(FormWeb *p)
    {
        QWidget *input = p->Web()->inputWidget();
        QVERIFY(input);
        QTest::mouseMove(input, QPoint(30, 30));
        QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }
    void init()
    {
        m_world.reset();
        m_world.shell.notices.clear();
        m_world.shell.showsNotices = true;
        m_w = m_world.newWindow();
    }

    // A login never keeps the engine (and so every tab) waiting: the server's refusal
    // shows under the frame, other tabs load and run, a typed address goes at once; the
    // login given is kept in memory only and the page loads again with it.
    void aLoginWaitsOverItsPageWhileEveryTabGoesOn()
    {
        const QString site = QUrl(url(QStringLiteral("/"))).toString(QUrl::RemovePath);
        const QString loginPage = url(QStringLiteral("/login?realm=") + QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("管理后台"))));
        FormWeb *p = m_w->pages().LoadNewForm(loginPage);
        LoginDialog *frame = p->loginDialog();
        QTRY_VERIFY_WITH_TIMEOUT(frame->waiting(), 20000);
        QCOMPARE(frame->heading()->text(), QStringLiteral("网站 %1 要求登录").arg(site));
        QCOMPARE(frame->realm()->text(), QStringLiteral("网站的说明：管理后台"));
        QVERIFY(!frame->warning()->isVisible());
        // The tab and the caption name the frame, whatever the page under it is called.
        QTRY_COMPARE_WITH_TIMEOUT(eval(p, QStringLiteral("document.title")).toString(), QStringLiteral("401 需要登录"), 20000);
        QCOMPARE(label(p), QStringLiteral("需要登录 - 127.0.0.1"));
        QCOMPARE(m_w->windowTitle(), QStringLiteral("需要登录 - 127.0.0.1 - Velmo安全浏览器"));

        // Meanwhile a page in another tab loads and runs its scripts.
        m_world.options.setOpenInBackground(1);
        FormWeb *other = m_w->pages().LoadNewForm(url(QStringLiteral("/page?id=meanwhile")));
        m_world.options.setOpenInBackground(0);
        QTRY_COMPARE_WITH_TIMEOUT(label(other), QStringLiteral("Page meanwhile"), 10000);
        QCOMPARE(eval(other, QStringLiteral("6 * 7")).toInt(), 42);
        QCOMPARE(m_w->pages().activePage(), p);
        QVERIFY(frame->waiting());
        // An address typed into the waiting tab goes out at once; the frame goes with the page.
        QComboBox *box = m_w->addressRow().textUrl();
        box->setEditText(url(QStringLiteral("/page?id=typed")));
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Page typed"), 5000);
        QVERIFY(!frame->waiting());

        // A wrong password: the page loads again with it, the engine asks again, the frame
        // comes back saying so, the user name kept.
        p->navigate(loginPage);
        QTRY_VERIFY_WITH_TIMEOUT(frame->waiting(), 20000);
        frame->user()->setText(QStringLiteral("zhang"));
        frame->password()->setText(QStringLiteral("wrong"));
        frame->ok()->click();
        QVERIFY(!frame->waiting());
        QTRY_VERIFY_WITH_TIMEOUT(frame->waiting() && frame->warning()->isVisible(), 20000);
        QCOMPARE(frame->warning()->text(), QStringLiteral("用户名或密码不正确，请重新输入。"));
        QCOMPARE(frame->user()->text(), QStringLiteral("zhang"));
        QCOMPARE(frame->password()->text(), QString());
        frame->password()->setText(QStringLiteral("s3cret"));
        QTest::keyClick(frame->password(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("已登录 zhang"), 20000);
        QCOMPARE(m_w->windowTitle(), QStringLiteral("已登录 zhang - Velmo安全浏览器"));
        QVERIFY(!frame->waiting());
        // Another tab of that site and realm is let in with no question.
        FormWeb *second = m_w->pages().LoadNewForm(loginPage);
        QTRY_COMPARE_WITH_TIMEOUT(label(second), QStringLiteral("已登录 zhang"), 20000);
        QVERIFY(!second->loginDialog()->waiting());

        // Esc is 取消: the server's own refusal stays.
        // (Another origin: the engine sends a login it was given to every address below it.)
        FormWeb *cancelled = m_w->pages().LoadNewForm(m_world.server.crossUrl(QStringLiteral("/login?realm=other")).toString());
        QTRY_VERIFY_WITH_TIMEOUT(cancelled->loginDialog()->waiting(), 20000);
        QTest::keyClick(cancelled->loginDialog()->user(), Qt::Key_Escape);
        QVERIFY(!cancelled->loginDialog()->waiting());
        QTRY_COMPARE_WITH_TIMEOUT(label(cancelled), QStringLiteral("401 需要登录"), 20000);

        // Out of sight it waits the same way, and is answered when the user comes.
        FormWeb *front = open(QStringLiteral("/page?id=front"), QStringLiteral("Page front"));
        cancelled->navigate(m_world.server.crossUrl(QStringLiteral("/login?realm=third")).toString());
        QTRY_VERIFY_WITH_TIMEOUT(cancelled->loginDialog()->waiting(), 20000);
        front->navigate(url(QStringLiteral("/page?id=still")));
        QTRY_COMPARE_WITH_TIMEOUT(label(front), QStringLiteral("Page still"), 20000);
        QCOMPARE(m_w->pages().activePage(), front);
        m_w->pages().activateSlot(cancelled->myindex());
        QVERIFY(cancelled->loginDialog()->isVisible());
        cancelled->loginDialog()->user()->setText(QStringLiteral("zhang"));
        cancelled->loginDialog()->password()->setText(QStringLiteral("s3cret"));
        cancelled->loginDialog()->ok()->click();
        QTRY_COMPARE_WITH_TIMEOUT(label(cancelled), QStringLiteral("已登录 zhang"), 20000);

        // Nothing of the password reaches the disk: settings, program folder, engine storage.
        m_w->close();
        m_world.window.reset();
        flushDeletions();
        for (const QString &dir : {Paths::appDir(), Paths::engineStorageDir(), QFileInfo(Paths::settingsFile()).absolutePath()}) {
            QDirIterator files(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (files.hasNext()) {
                QFile file(files.next());
                if (file.size() < 64 * 1024 * 1024 && file.open(QIODevice::ReadOnly))
                    QVERIFY2(!file.readAll().contains("s3cret"), qPrintable(file.fileName()));
            }
        }
    }

    void aCertificateThatProvesNothingIsExplainedAndGoingOnIsTheUsers()
    {
        struct Case {
            QString certificate;
            QStringList says;
        };
        // The self-signed one goes last: going on is remembered for its certificate.
        const QList<Case> cases = {
            {QStringLiteral("expired"), {QStringLiteral("不是由受信任的机构签发的"), QStringLiteral("证书已于 2021-01-01 过期")}},
            {QStringLiteral("other-name"), {QStringLiteral("证书是为 other.example 签发的，不是为 127.0.0.1")}},
            {QStringLiteral("self-signed"), {QStringLiteral("不是由受信任的机构签发的")}},
        };
        FormWeb *p = open(QStringLiteral("/page?id=before"), QStringLiteral("Page before"));
        for (const Case &c : cases) {
            TlsFixture tls;
            QVERIFY(tls.start(c.certificate));
            p->navigate(tls.url().toString());
            CertificatePanel *panel = p->certificatePanel();
            QTRY_VERIFY2_WITH_TIMEOUT(panel->isVisible(), qPrintable(c.certificate), 20000);
            const QString text = panel->text()->text();
            QVERIFY2(text.contains(QStringLiteral("您要访问的是 127.0.0.1。")), qPrintable(text));
            for (const QString &said : c.says)
                QVERIFY2(text.contains(said), qPrintable(c.certificate + QLatin1Char(':') + text));
            QVERIFY2(c.certificate == QLatin1String("expired") || !text.contains(QStringLiteral("过期")), qPrintable(text));
            QVERIFY(panel->back()->isDefault() && panel->back()->hasFocus());
            QCOMPARE(panel->back()->text(), QStringLiteral("返回上一页"));
            QVERIFY(panel->goOn()->isVisible());
            QCOMPARE(panel->goOn()->text(), QStringLiteral("继续访问 127.0.0.1（不安全）"));
            QCOMPARE(panel->geometry(), p->PicJava()->geometry().intersected(p->rect()));
            // The address box says so too: "不安全" in red, the reasons in its tool tip.
            QLabel *mark = m_w->addressRow().securityMark();
            QVERIFY(mark->isVisible());
            QCOMPARE(mark->text(), QStringLiteral("不安全"));
            QVERIFY(mark->styleSheet().contains(QStringLiteral("#d00000")));
            QVERIFY2(mark->toolTip().contains(c.says.first()), qPrintable(mark->toolTip()));
            QCOMPARE(tls.requests(), QStringList());
            // Back (Enter on the default button): the page before, nothing asked of the site.
            QTest::keyClick(panel->back(), Qt::Key_Return);
            QTRY_COMPARE_WITH_TIMEOUT(p->location(), url(QStringLiteral("/page?id=before")), 20000);
            QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Page before"), 20000);
            QVERIFY(!panel->isVisible());
            QCOMPARE(tls.requests(), QStringList());
            if (c.certificate != QLatin1String("self-signed"))
                continue;
            // Going on is the user's: the page loads, and the engine asks no more for
            // that certificate, in this tab or another, until the browser exits.
            p->navigate(tls.url(QStringLiteral("/first")).toString());
            QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), 20000);
            panel->goOn()->click();
            QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Secure page"), 20000);
            QCOMPARE(tls.requests().first(), QStringLiteral("/first"));
            FormWeb *again = m_w->pages().LoadNewForm(tls.url(QStringLiteral("/again")).toString());
            QTRY_COMPARE_WITH_TIMEOUT(label(again), QStringLiteral("Secure page"), 20000);
            QVERIFY(!again->certificatePanel()->isVisible());
            // 页面属性 says so: not verified, why, and that the user chose to go on.
            QString security;
            again->document().pageFacts([&security](const PageFacts &facts) { security = facts.securityText(); });
            QTRY_VERIFY_WITH_TIMEOUT(!security.isEmpty(), 10000);
            QVERIFY2(security.startsWith(QStringLiteral("不安全：")) && security.contains(QStringLiteral("不是由受信任的机构签发的"))
                         && security.contains(QStringLiteral("你选择了在本次运行中继续访问")),
                     qPrintable(security));
            // The mark follows the page in front: red for the site gone on to, grey for a
            // plain page, a lock for a verified one.
            QCOMPARE(m_w->pages().activePage(), again);
            QVERIFY(mark->isVisible() && mark->text() == QStringLiteral("不安全") && mark->styleSheet().contains(QStringLiteral("#d00000")));
            m_w->pages().activateSlot(p->myindex());
            QVERIFY(mark->isVisible() && mark->styleSheet().contains(QStringLiteral("#d00000")));
            FormWeb *plain = open(QStringLiteral("/page?id=plain"), QStringLiteral("Page plain"));
            QCOMPARE(m_w->pages().activePage(), plain);
            QVERIFY(mark->isVisible() && mark->text() == QStringLiteral("不安全") && mark->styleSheet().contains(QStringLiteral("#707070")));
            m_w->addressRow().showSecurity(PageSecurity::of(QStringLiteral("https://example.com/"), std::nullopt));
            QVERIFY(mark->text().isEmpty() && !mark->pixmap().isNull());
            QCOMPARE(mark->toolTip(), QStringLiteral("连接已加密，网站证书已通过验证"));
            m_w->pages().closePage(plain);
            QVERIFY(mark->styleSheet().contains(QStringLiteral("#d00000")));
        }
        // A new tab with nowhere to go back to goes to a blank page.
        TlsFixture other;
        QVERIFY(other.start(QStringLiteral("other-name")));
        FormWeb *fresh = m_w->pages().LoadNewForm(other.url().toString());
        QTRY_VERIFY_WITH_TIMEOUT(fresh->certificatePanel()->isVisible(), 20000);
        // Caption, label and address box say what is shown, though the tab has no page yet.
        QCOMPARE(label(fresh), QStringLiteral("证书错误 - 127.0.0.1"));
        QCOMPARE(m_w->windowTitle(), QStringLiteral("证书错误 - 127.0.0.1 - Velmo安全浏览器"));
        QCOMPARE(QUrl(m_w->addressRow().addressText()), other.url());
        // It is a page of the list kept against a crash, too.
        OpenPagesKeeper keeper(m_w->pages(), QDir::temp().filePath(QStringLiteral("unused-open-pages.json")));
        bool listed = false;
        for (const OpenPagesList::Page &page : keeper.snapshot().pages)
            listed = listed || QUrl(page.address) == other.url();
        QVERIFY(listed);
        QCOMPARE(fresh->certificatePanel()->back()->text(), QStringLiteral("返回"));
        fresh->certificatePanel()->back()->click();
        QTRY_COMPARE_WITH_TIMEOUT(fresh->location(), QStringLiteral("about:blank"), 20000);
        QCOMPARE(other.requests(), QStringList());

        // Where the engine allows no going on, none is offered.
        CertificateProblem pinned;
        pinned.url = other.url();
        pinned.engineText = QStringLiteral("pinned");
        fresh->certificatePanel()->show(pinned);
        QVERIFY(!fresh->certificatePanel()->goOn()->isVisible());
        QVERIFY(fresh->certificatePanel()->text()->text().contains(QStringLiteral("证书有误：pinned")));
        QVERIFY(fresh->certificatePanel()->text()->text().contains(QStringLiteral("无法继续访问")));
    }

    void aPageElementFillsTheScreenUntilEscATabSwitchOrClose()
    {
        m_w->start(QStringList{url(QStringLiteral("/page?id=start"))});
        // 全屏显示 hid the top strip before: it stays hidden after the page's full screen.
        m_w->ShowMe();
        QWidget *pict = m_w->findChild<QWidget *>(QStringLiteral("Pict"));
        QVERIFY(!pict->isVisible());
        FormWeb *p = open(QStringLiteral("/page?id=fs"), QStringLiteral("Page fs"));
        QAction *escape = m_w->findChild<QAction *>(QStringLiteral("StopLoading"));
        const QString clickToFill = QStringLiteral(
            "document.title = 'ready'; document.body.innerHTML = '<div id=v style=\"width:100px;height:50px;background:red\">v</div>';"
            "document.onclick = function(){ document.getElementById('v').requestFullscreen()"
            ".then(function(){ document.title = 'full'; }, function(e){ document.title = 'refused ' + e; }); };"
            "1");
        const auto enter = [&] {
            eval(p, clickToFill);
            QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("ready"), 20000);
            clickPage(p);
            QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("full"), 20000);
            QVERIFY(p->fullScreen());
            QTRY_VERIFY_WITH_TIMEOUT(m_w->isFullScreen(), 10000);
            QVERIFY(!m_w->menuBar()->isVisible());
            QCOMPARE(eval(p, QStringLiteral("document.fullscreenElement && document.fullscreenElement.id")).toString(), QStringLiteral("v"));
        };

        // The corner window, its page loaded, steps aside while a page has the screen.
        m_world.blocker.redirectHost(QStringLiteral("www.velmo.cn"), QUrl(url(QStringLiteral("/page?id=promo"))));
        FormRight *corner = m_w->findChild<FormRight *>();
        m_world.clock.time = m_world.clock.time.addSecs(FormRight::kSlideAfterS);
        corner->check();
        QTRY_VERIFY_WITH_TIMEOUT(corner->isVisible(), 15000);

        enter();
        QVERIFY(!corner->isVisible());
        QLabel *notice = p->findChild<QLabel *>(QStringLiteral("FullScreenNotice"));
        QVERIFY(notice && notice->isVisible());
        QCOMPARE(notice->text(), QStringLiteral("按 Esc 退出全屏"));
        QTRY_COMPARE_WITH_TIMEOUT(p->Web()->widget()->size(), p->size(), 10000);
        QCOMPARE(p->childAt(notice->geometry().center()), notice);
        QVERIFY(escape->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!inEngineFullScreen(p), 20000);
        QVERIFY(!p->fullScreen());
        QTRY_VERIFY_WITH_TIMEOUT(!m_w->isFullScreen(), 10000);
        QVERIFY(m_w->menuBar()->isVisible());
        QVERIFY(!pict->isVisible());
        QVERIFY(!notice->isVisible());
        QVERIFY(!escape->isEnabled());
        QVERIFY(corner->isVisible());

        // Another tab in front takes the screen back from it.
        enter();
        FormWeb *other = open(QStringLiteral("/page?id=other"), QStringLiteral("Page other"));
        QTRY_VERIFY_WITH_TIMEOUT(!inEngineFullScreen(p), 20000);
        QVERIFY(!p->fullScreen() && !m_w->isFullScreen());
        // Closing it does too.
        m_w->pages().closePage(other);
        m_w->pages().activateSlot(p->myindex());
        enter();
        m_w->pages().closePage(p);
        QTRY_VERIFY_WITH_TIMEOUT(!m_w->isFullScreen(), 10000);
        QVERIFY(m_w->menuBar()->isVisible());
        QVERIFY(!pict->isVisible());
        QVERIFY(!m_w->pages().fullScreenPage());
    }

    void aSiteAsksForAFeatureInItsTabAndTheAnswerHoldsForTheRun()
    {
        FormWeb *p = open(QStringLiteral("/page?id=perm"), QStringLiteral("Page perm"));
        QuestionBar *bar = p->permissions()->bar();
        // Asked three times at once: one bar.
        eval(p, QStringLiteral("for (var i = 0; i < 3; ++i) Notification.requestPermission().then(function(r){ document.title = 'n ' + r; }); 1"));
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), 20000);
        const QString site = QUrl(url(QStringLiteral("/"))).toString(QUrl::RemovePath);
        QCOMPARE(bar->text(), QStringLiteral("网站 %1 想向您显示通知。（60 秒内不回答即为拒绝）").arg(site));
        QCOMPARE(bar->yesButton()->text(), QStringLiteral("允许"));
        QCOMPARE(bar->noButton()->text(), QStringLiteral("拒绝"));
        QCOMPARE(label(p), QStringLiteral("Page perm"));
        bar->yesButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("n granted"), 20000);
        QVERIFY(!bar->isVisible());
        // A notice goes to the desktop; where the desktop takes none, to the status bar.
        eval(p, QStringLiteral("new Notification('会议提醒', {body: '三点开会'}); 1"));
        QTRY_COMPARE_WITH_TIMEOUT(m_world.shell.notices, QStringList{QStringLiteral("会议提醒（127.0.0.1）\n三点开会")}, 20000);
        m_world.shell.showsNotices = false;
        eval(p, QStringLiteral("new Notification('第二条', {body: '内容'}); 1"));
        QTRY_COMPARE_WITH_TIMEOUT(p->statusBar()->statusText(), QStringLiteral("网站通知 第二条（127.0.0.1）：内容"), 20000);

        // Refused location; asked again, in this tab or another of the site: no bar.
        const QString askLocation = QStringLiteral(
            "navigator.geolocation.getCurrentPosition(function(){ document.title = 'geo ok'; },"
            " function(e){ document.title = 'geo ' + e.code + ' ' + (++window.asked || (window.asked = 1)); }); 1");
        eval(p, askLocation);
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), 20000);
        QCOMPARE(bar->text(), QStringLiteral("网站 %1 想知道您的位置。（60 秒内不回答即为拒绝）").arg(site));
        bar->noButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(label(p).startsWith(QStringLiteral("geo 1 ")), 20000);
        FormWeb *second = open(QStringLiteral("/page?id=second"), QStringLiteral("Page second"));
        eval(second, askLocation);
        QTRY_VERIFY_WITH_TIMEOUT(label(second).startsWith(QStringLiteral("geo 1 ")), 20000);
        QVERIFY(!second->permissions()->bar()->isVisible());

        // No answer in time counts as refused, and is not remembered: the site may ask again.
        FormWeb *cross = m_w->pages().LoadNewForm(m_world.server.crossUrl(QStringLiteral("/page?id=cross")).toString());
        QTRY_COMPARE_WITH_TIMEOUT(label(cross), QStringLiteral("Page cross"), 20000);
        cross->permissions()->setAnswerWithin(300);
        eval(cross, askLocation);
        QTRY_VERIFY_WITH_TIMEOUT(cross->permissions()->bar()->isVisible(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(label(cross).startsWith(QStringLiteral("geo 1 ")), 20000);
        QVERIFY(!cross->permissions()->bar()->isVisible());
        cross->permissions()->setAnswerWithin(PermissionAsker::kAnswerWithinMs);
        eval(cross, askLocation);
        QTRY_VERIFY_WITH_TIMEOUT(cross->permissions()->bar()->isVisible(), 20000);
        // Out of sight and waiting for the answer, it keeps its renderer (a reload would
        // drop the request); answered, it may sleep.
        m_w->pages().activateSlot(p->myindex());
        QVERIFY(!m_world.putToSleep(cross));
        // (The engine hands a hidden page its location answer only once it is shown.)
        cross->permissions()->bar()->noButton()->click();
        QVERIFY(m_world.putToSleep(cross));

        // A frame of another site is let in inside the site in front only: the same frame
        // inside another site asks again, and the bar says whose page it is in.
        const QString frameSite = m_world.server.crossUrl(QStringLiteral("/")).toString(QUrl::RemovePath);
        const QString embed = QStringLiteral(
            "window.onmessage = function(e){ document.title = 'frame ' + e.data; };"
            "document.body.innerHTML = '<iframe allow=\"geolocation\" src=\"%1\"></iframe>'; 1")
                                  .arg(m_world.server.crossUrl(QStringLiteral("/askframe.html")).toString());
        FormWeb *host = open(QStringLiteral("/page?id=host"), QStringLiteral("Page host"));
        eval(host, embed);
        QuestionBar *hostBar = host->permissions()->bar();
        QTRY_VERIFY_WITH_TIMEOUT(hostBar->isVisible(), 20000);
        QCOMPARE(hostBar->text(), QStringLiteral("网站 %1（在 %2 中）想知道您的位置。（60 秒内不回答即为拒绝）").arg(frameSite, site));
        hostBar->yesButton()->click();
        QVERIFY(!hostBar->isVisible());
        // Another site in front (the same server by another name): asked again.
        QString elsewhere = url(QStringLiteral("/page?id=elsewhere"));
        elsewhere.replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));
        FormWeb *other = m_w->pages().LoadNewForm(elsewhere);
        QTRY_COMPARE_WITH_TIMEOUT(label(other), QStringLiteral("Page elsewhere"), 20000);
        eval(other, embed);
        QTRY_VERIFY_WITH_TIMEOUT(other->permissions()->bar()->isVisible() || label(other).startsWith(QStringLiteral("frame")), 20000);
        QVERIFY2(other->permissions()->bar()->isVisible(), qPrintable(label(other)));
        QVERIFY(other->permissions()->bar()->text().contains(QStringLiteral("（在 http://localhost:")));
        other->permissions()->bar()->noButton()->click();
    }
};

VELMO_TEST_MAIN(TstSiteAsks)
#include "tst_siteasks.moc"
