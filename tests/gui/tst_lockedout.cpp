#include "page/rendererwatch.h"
#include "app/mainmenus.h"
#include "engine/enginepage.h"
#include "page/scriptdialog.h"
#include "support/dialogdriver.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "tabs/tabstrip.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// Pages that try to lock the user out or fool the eye: dialog loops, titles with
// direction overrides; and files that others on the machine must not read.
class TstLockedOut : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QString url(const QString &path) const { return m_world.url(path); }
    QString label(FormWeb *p) const { return m_world.label(p); }
    FormWeb *open(const QString &path, const QString &title) { return m_world.open(path, title); }
    static void pageScript(FormWeb *p, const QString &js) { p->Web()->runPageScript(js); }

    // Acts on the page's questions while they are up (they run their own event loop, so
    // the test answers them from a timer). Each step returns true when it is done.
    using Step = std::function<bool(ScriptDialog *)>;
    void answerWith(FormWeb *p, QList<Step> steps)
    {
        driveDialog<ScriptDialog>(this, p->scriptDialog(), [](ScriptDialog *d) { return d->isVisible(); }, steps);
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }
    void init()
    {
        m_world.reset();
        m_w = m_world.newWindow();
    }

    void dialogsBelongToTheirTabAndCanBeSilenced()
    {
        FormWeb *p = open(QStringLiteral("/dialogs.html"), QStringLiteral("Dialogs"));
        bool menuWorked = false;
        answerWith(p, {[&](ScriptDialog *d) {
                           if (d->message()->text() != QLatin1String("Q0"))
                               return false;
                           [&] { QVERIFY(!d->suppress()->isVisible()); }();
                           // The window's own commands work while the page asks.
                           const int tabs = m_w->pages().book().count();
                           m_w->menus()->action(QStringLiteral("Build"))->trigger();
                           menuWorked = m_w->pages().book().count() == tabs + 1;
                           m_w->pages().activateSlot(p->myindex());
                           d->ok()->click();
                           return true;
                       },
                       [](ScriptDialog *d) {
                           if (d->message()->text() != QLatin1String("Q1") || !d->suppress()->isVisible())
                               return false;
                           d->suppress()->setChecked(true);
                           d->ok()->click();
                           return true;
                       }});
        pageScript(p, QStringLiteral("setTimeout(askConfirms, 0)"));
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("stopped 2"), 15000);
        QVERIFY(menuWorked);

        // After it navigates the page may ask again; a prompt takes the typed answer.
        p->navigate(url(QStringLiteral("/dialogs.html?again")));
        QTRY_COMPARE_WITH_TIMEOUT(p->location(), url(QStringLiteral("/dialogs.html?again")), 15000);
        answerWith(p, {[](ScriptDialog *d) {
            [&] { QCOMPARE(d->input()->text(), QStringLiteral("x")); }();
            d->input()->setText(QStringLiteral("Velmo"));
            d->ok()->click();
            return true;
        }});
        pageScript(p, QStringLiteral("setTimeout(askPrompt, 0)"));
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("answer Velmo"), 15000);
    }

    void anAlertHoldsUpNoTab()
    {
        // Answered at once: the page goes on, its message stays in its own frame, and
        // another tab loads meanwhile.
        FormWeb *p = open(QStringLiteral("/dialogs.html"), QStringLiteral("Dialogs"));
        pageScript(p, QStringLiteral("setTimeout(function(){ alert('hello'); document.title = 'went on'; }, 0)"));
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("went on"), 10000);
        QVERIFY(p->scriptDialog()->isVisible());
        QCOMPARE(p->scriptDialog()->message()->text(), QStringLiteral("hello"));
        open(QStringLiteral("/page?id=meanwhile"), QStringLiteral("Page meanwhile"));
        // OK puts the notice away.
        p->scriptDialog()->ok()->click();
        QVERIFY(!p->scriptDialog()->isVisible());
    }

    // A question from a tab out of sight once stopped every other tab (the engine runs no
    // page's task while it waits): it is cancelled at once, the page in front keeps
    // loading, and the tab shows what it asked, with 重新载入, when the user comes there.
    void aQuestionOutOfSightIsCancelledAndShownThere()
    {
        FormWeb *p = open(QStringLiteral("/dialogs.html"), QStringLiteral("Dialogs"));
        FormWeb *front = open(QStringLiteral("/page?id=front"), QStringLiteral("Page front"));
        QCOMPARE(m_w->pages().activePage(), front);
        // Asks again and again out of sight, counting the answers it gets.
        // An alert first: its text is not lost under the questions that follow.
        pageScript(p, QStringLiteral("alert('A'); var no = 0; var t = setInterval(function(){"
                                     " if (!confirm('Q')) document.title = 'no ' + (++no); if (no >= 3) clearInterval(t); }, 50)"));
        QTRY_VERIFY_WITH_TIMEOUT(label(p).startsWith(QStringLiteral("no ")), 10000);
        // Meanwhile the page in front loads a document arriving in pieces.
        front->navigate(url(QStringLiteral("/slow?chunks=6&ms=100")));
        QTRY_COMPARE_WITH_TIMEOUT(label(front), QStringLiteral("Slow"), 10000);
        QVERIFY2(label(p) != QStringLiteral("no 3"), "the page in front loaded only after the questions");
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("no 3"), 10000);
        QVERIFY(!p->asksUser());
        QCOMPARE(m_w->pages().activePage(), front);
        // Come to the tab: what it asked is there, said cancelled; 重新载入 loads it again.
        m_w->pages().activateSlot(p->myindex());
        QVERIFY(p->scriptDialog()->isVisible());
        QCOMPARE(p->scriptDialog()->message()->text(), QStringLiteral("A\n\nQ\n\nQ\n\nQ"));
        QVERIFY(p->scriptDialog()->note()->isVisible());
        QVERIFY(p->scriptDialog()->reload()->isVisible());
        const int loads = m_world.server.requestCount(QStringLiteral("/dialogs.html"));
        p->scriptDialog()->reload()->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_world.server.requestCount(QStringLiteral("/dialogs.html")), loads + 1, 10000);
    }

    // A page whose question is open cannot answer the renderer watch's ping: it waits for
    // the user, it is not stuck, and its renderer stays.
    void aPageAskingIsNotTakenForStuck()
    {
        FormWeb *p = open(QStringLiteral("/dialogs.html"), QStringLiteral("Dialogs"));
        QList<qint64> ended;
        QList<bool> verdicts;
        RendererWatch watch([p] { return QList<FormWeb *>{p}; }, [&](qint64 gone) { ended << gone; }, nullptr, 300);
        connect(&watch, &RendererWatch::checked, this, [&](qint64, bool stuck) { verdicts << stuck; });
        // From inside the question's loop: the watch is asked, its limit passes with the
        // page still asking, and only then is the question answered.
        bool asked = false;
        answerWith(p, {[&](ScriptDialog *) {
                           if (!asked) {
                               watch.pageLeft(nullptr, p->rendererPid());
                               asked = true;
                           }
                           return !verdicts.isEmpty();
                       },
                       [](ScriptDialog *d) {
                           d->cancel()->click();
                           return true;
                       }});
        pageScript(p, QStringLiteral("setTimeout(askConfirms, 0)"));
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("stopped 0"), 15000);
        QCOMPARE(verdicts, QList<bool>{false});
        QVERIFY(ended.isEmpty());
    }

    void aTabAskingInALoopCanBeClosed()
    {
        open(QStringLiteral("/page?id=first"), QStringLiteral("Page first"));
        FormWeb *p = open(QStringLiteral("/dialogs.html"), QStringLiteral("Dialogs"));
        answerWith(p, {[this, p](ScriptDialog *) {
            m_w->pages().closePage(p);
            return true;
        }});
        pageScript(p, QStringLiteral("setTimeout(alertLoop, 0)"));
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), 1, 15000);
        // The engine goes on for the other pages.
        open(QStringLiteral("/page?id=after"), QStringLiteral("Page after"));
    }

    void directionOverridesLeaveTitles()
    {
        const QString spoof = QStringLiteral("\u202Egnp.exe\u2066x\u2069");
        FormWeb *p = open(QStringLiteral("/title?t=") + QString::fromLatin1(QUrl::toPercentEncoding(spoof)),
                          QStringLiteral("gnp.exex"));
        QCOMPARE(m_w->windowTitle(), QStringLiteral("gnp.exex - Velmo安全浏览器"));
        QCOMPARE(p->visits().rows().value(0).title, QStringLiteral("gnp.exex"));
        open(QStringLiteral("/page?id=keep"), QStringLiteral("Page keep"));
        m_w->pages().closePage(p);
        QCOMPARE(m_w->menus()->liHistory().at(0)->text(), QStringLiteral("gnp.exex"));
        QVERIFY(m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Page_%1").arg(m_w->pages().closedPages().cursor()))
                    .startsWith(QStringLiteral("gnp.exex  ")));
    }

    void privateFilesAreTightenedAtStartUp()
    {
        const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                            | QFile::WriteOther | QFile::ExeOther;
        const QStringList dirs = {Paths::appDir(), Paths::appDir() + QStringLiteral("/History"),
                                  Paths::appDir() + QStringLiteral("/Download"), QFileInfo(Paths::settingsFile()).absolutePath()};
        m_world.store->write(QStringLiteral("setup"), QStringLiteral("Topme"), QStringLiteral("0"));
        for (const QString &d : dirs) {
            QDir().mkpath(d);
            QFile::setPermissions(d, QFile::Permissions(0x7755));
        }
        QFile::setPermissions(Paths::settingsFile(), QFile::Permissions(0x6644));
        SettingsStore store(Paths::settingsFile());
        QCOMPARE(QFileInfo(Paths::settingsFile()).permissions() & others, QFile::Permissions());
        m_w->start(url(QStringLiteral("/page?id=p")));
        for (const QString &d : dirs + QStringList{Paths::engineStorageDir()})
            QVERIFY2((QFileInfo(d).permissions() & others) == QFile::Permissions(), qPrintable(d));
    }

    void aFolderTheUserNamedKeepsItsMode()
    {
        QTemporaryDir named;
        QFile::setPermissions(named.path(), QFile::Permissions(0x7755));
        qputenv("VELMO_HOME", named.path().toUtf8());
        auto restore = qScopeGuard([] { qunsetenv("VELMO_HOME"); });
        m_w = m_world.newWindow();
        m_w->start(url(QStringLiteral("/page?id=named")));
        QCOMPARE(QFileInfo(named.path()).permissions() & QFile::ReadOther, QFile::ReadOther);
        QCOMPARE(QFileInfo(named.path() + QStringLiteral("/History")).permissions() & QFile::ReadOther, QFile::Permissions());
        // Said once, where the user looks, and still there once the first page is in.
        QTRY_COMPARE_WITH_TIMEOUT(m_world.label(m_w->pages().shownPage()), QStringLiteral("Page named"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(m_w->pages().shownPage()->statusBar()->statusText().contains(named.path()), 15000);
    }

    void closingManyPagesWritesTheSettingsOnce()
    {
        for (int i = 0; i < 20; ++i)
            m_w->pages().LoadNewForm(url(QStringLiteral("/page?id=b%1").arg(i)));
        // Every tab must know its address before closing, or it has nothing to record.
        for (int i = 0; i < 20; ++i)
            QTRY_VERIFY_WITH_TIMEOUT(m_w->pages().page(m_w->pages().book().slotAt(i))->location().endsWith(QStringLiteral("b%1").arg(i)), 15000);
        const int count = m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Count")).toInt();
        const int writes = m_world.store->fileWrites();
        m_w->pages().CloseAll();
        // Not in the turn that closes them: a moment later, in one write.
        QCOMPARE(m_world.store->fileWrites(), writes);
        QTRY_COMPARE(m_world.store->fileWrites(), writes + 1);
        // Every page closed is in the ring all the same (19; the one kept and blanked is not).
        QCOMPARE(m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Count")).toInt(), count + 19);
        // Tabs closed one after another, as Ctrl+W after Ctrl+W does, share a write too.
        for (const char *id : {"one", "two", "three"}) {
            m_w->pages().LoadNewForm(url(QStringLiteral("/page?id=") + QLatin1String(id)));
            QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().activePage()->location(), url(QStringLiteral("/page?id=") + QLatin1String(id)), 15000);
        }
        QCOMPARE(m_world.store->fileWrites(), writes + 1);
        m_w->pages().closeShown();
        m_w->pages().closeShown();
        QTRY_COMPARE(m_world.store->fileWrites(), writes + 2);
        QCOMPARE(m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Count")).toInt(), count + 21);
        // Restoring at once brings back the newest, whether written yet or not.
        m_w->pages().closeShown();
        m_w->menus()->action(QStringLiteral("Cancel"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().activePage()->location(), url(QStringLiteral("/page?id=one")), 15000);
    }

    void exitWorksWhileAPageAsks()
    {
        FormWeb *p = open(QStringLiteral("/dialogs.html"), QStringLiteral("Dialogs"));
        const auto count = [this] { return m_world.store->read(QStringLiteral("CancelPage"), QStringLiteral("Count")).toInt(); };
        const int before = count();
        answerWith(p, {[this](ScriptDialog *) {
            m_w->menus()->action(QStringLiteral("mnuFileExit"))->trigger();
            return true;
        }});
        pageScript(p, QStringLiteral("setTimeout(askConfirms, 0)"));
        QTRY_VERIFY_WITH_TIMEOUT(!m_w->isVisible(), 15000);
        QCOMPARE(count(), before + 1); // the page was recorded on the way out
    }
};

VELMO_TEST_MAIN(TstLockedOut)
#include "tst_lockedout.moc"
