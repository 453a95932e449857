#include "app/addressrow.h"
#include "app/frmmain.h"
#include "app/openpageskeeper.h"
#include "app/pagestack.h"
#include "app/toolbar.h"
#include "files/downloadlist.h"
#include "page/pagesleep.h"
#include "page/formweb.h"
#include "page/session.h"
#include "page/statusbar.h"
#include "platform/paths.h"
#include "platform/settingkeys.h"
#include "platform/settingsstore.h"
#include "support/fakeclock.h"
#include "support/fakepage.h"
#include "support/files.h"
#include "support/recordingdialogs.h"
#include "support/recordingshell.h"
#include "support/testenv.h"
#include "tabs/openpolicy.h"
#include "tabs/sites.h"
#include "tabs/tabstrip.h"
#include "userdata/options.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// The rules of tabs and pages (opening, closing with and without a hovered tab, bringing
// a tab to the front, refusing pop-ups, restoring, sleeping), on the real main window with
// pages that need no engine. Each case takes a few milliseconds.
class TstPageRules : public QObject
{
    Q_OBJECT

    std::unique_ptr<SettingsStore> m_store;
    Options m_options;
    FakeEngine m_engine;
    RecordingShell m_shell;
    RecordingDialogs m_dialogs;
    FakeClock m_clock;
    FakeMemory m_memory;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<Frmmain> m_w;

    PageStack &pages() { return m_w->pages(); }
    QString label(FormWeb *p) const { return p ? m_w->tabStrip()->labelText(p->myindex()) : QString(); }
    static QString at(const QString &name) { return QStringLiteral("http://site.test/") + name; }
    static FakePage *fake(FormWeb *p) { return qobject_cast<FakePage *>(p->Web()); }

    // Opens a page and waits for its tab to show its title.
    FormWeb *open(const QString &name)
    {
        m_engine.titles.insert(at(name), QStringLiteral("网页") + name);
        FormWeb *p = pages().LoadNewForm(at(name));
        if (!p || !QTest::qWaitFor([&] { return label(p) == QStringLiteral("网页") + name; }, 2000))
            return nullptr;
        return p;
    }
    QStringList labels()
    {
        QStringList all;
        for (FormWeb *p : pages().pagesInTabOrder())
            all << label(p);
        return all;
    }

    // What the window says that does not describe the page in front ("" when all of it
    // does): the page shown and its status bar, the caption, the address box, the
    // highlighted label (showing the start of its text, never selected) and the list of
    // open pages kept against a crash.
    QString windowAgainstFront()
    {
        FormWeb *front = pages().activePage();
        if (!front)
            return QStringLiteral("no page in front");
        const QString title = m_engine.titles.value(front->location());
        QStringList wrong;
        if (pages().shownPage() != front || !front->isVisible())
            wrong << QStringLiteral("shown page");
        if (m_session->currentPage() != front)
            wrong << QStringLiteral("current page");
        if (label(front) != title)
            wrong << QStringLiteral("label '%1'").arg(label(front));
        if (m_w->windowTitle() != PageText::mainCaption(title))
            wrong << QStringLiteral("caption '%1'").arg(m_w->windowTitle());
        if (m_w->addressRow().addressText() != Sites::shownAddress(front->location()))
            wrong << QStringLiteral("address '%1'").arg(m_w->addressRow().addressText());
        for (FormWeb *p : pages().pagesInTabOrder()) {
            if (p->isVisible() != (p == front))
                wrong << QStringLiteral("visible '%1'").arg(label(p));
            if (m_w->tabStrip()->looksActive(p->myindex()) != (p == front))
                wrong << QStringLiteral("highlight '%1'").arg(label(p));
            const QLineEdit *lab = m_w->tabStrip()->existingLabel(p->myindex());
            if (lab->hasSelectedText() || lab->cursorPosition() != 0)
                wrong << QStringLiteral("label text of '%1' selected or scrolled").arg(label(p));
        }
        if (OpenPagesKeeper *keeper = m_w->openPagesKeeper()) {
            // As written for the next start (a blank page is not kept).
            QFile file(keeper->path());
            const OpenPagesList list = file.open(QIODevice::ReadOnly) ? OpenPagesList::fromBytes(file.readAll()).value_or(OpenPagesList())
                                                                      : OpenPagesList();
            const QString kept = front->location() == QLatin1String("about:blank") ? QString() : front->location();
            if (list.pages.value(list.active).address != kept)
                wrong << QStringLiteral("open-pages list on disk");
        }
        return wrong.join(QStringLiteral(", "));
    }
    void newWindowFor(const QString &instance)
    {
        m_engine.instance = instance;
        m_w.reset();
        m_w = std::make_unique<Frmmain>(*m_session);
        m_w->resize(1000, 700);
        m_w->show();
        m_engine.instance.clear();
    }

private slots:
    void initTestCase()
    {
        m_store = std::make_unique<SettingsStore>(Paths::settingsFile());
        m_session = std::make_unique<Session>(*m_store, m_options, m_engine, m_shell, m_dialogs, m_clock, m_memory);
    }

    void init()
    {
        m_options.setOpenInBackground(0);
        m_options.setAdBlock(0);
        m_options.setSafePictureMode(0);
        m_options.setAutoDownloadPictures(0);
        m_dialogs.asked.clear();
        m_engine.answer = {};
        m_w = std::make_unique<Frmmain>(*m_session);
        m_w->resize(1000, 700);
        m_w->show();
        pages().closedRing().clear();
    }

    void cleanup()
    {
        m_w.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void aNewPageComesToTheFrontUnlessAskedBehind()
    {
        FormWeb *first = open(QStringLiteral("1"));
        QVERIFY(first);
        QCOMPARE(pages().activePage(), first);
        QCOMPARE(pages().shownPage(), first);
        QCOMPARE(m_session->currentPage(), first);
        QVERIFY(m_w->windowTitle().contains(QStringLiteral("网页1")));

        m_options.setOpenInBackground(1);
        FormWeb *behind = open(QStringLiteral("2"));
        QVERIFY(behind);
        QCOMPARE(pages().activePage(), first);
        QVERIFY(!behind->isVisible());
        QVERIFY(first->isVisible());
        QCOMPARE(m_session->currentPage(), first);
        // Behind it, right after the active one.
        QCOMPARE(pages().pagesInTabOrder().indexOf(behind), pages().pagesInTabOrder().indexOf(first) + 1);

        // A window made before the old one goes: keys and the wheel act on its page.
        m_options.setOpenInBackground(0);
        m_w = std::make_unique<Frmmain>(*m_session);
        m_w->show();
        FormWeb *inNew = open(QStringLiteral("3"));
        QVERIFY(inNew);
        QCOMPARE(m_session->currentPage(), inNew);
        // And settings that can no longer be saved are said in it (once it is in).
        QVERIFY(QTest::qWaitFor([&] { return !label(inNew).isEmpty(); }, 2000));
        QFile::remove(m_store->path());
        QVERIFY(QDir().mkpath(m_store->path()));
        auto unblock = qScopeGuard([&] { QDir(m_store->path()).removeRecursively(); });
        QVERIFY(!m_store->write(QStringLiteral("test"), QStringLiteral("key"), QStringLiteral("v")));
        QVERIFY2(inNew->statusBar()->statusText().contains(QStringLiteral("无法保存")), qPrintable(inNew->statusBar()->statusText()));
    }

    void aListOpensInItsOrderAsFarAsTabsGo()
    {
        m_w = std::make_unique<Frmmain>(*m_session, nullptr, 4);
        m_w->resize(1000, 700);
        m_w->show();
        QStringList addresses;
        for (int i = 1; i <= 5; ++i) {
            addresses << at(QString::number(i));
            m_engine.titles.insert(addresses.last(), QStringLiteral("网页%1").arg(i));
        }
        pages().openAll(addresses, OpenTarget::foreground());
        QVERIFY(QTest::qWaitFor([&] { return !labels().contains(QString()); }, 2000));
        // The first in front, the rest behind it in the order given, as many as fit.
        QCOMPARE(labels(), (QStringList{QStringLiteral("网页1"), QStringLiteral("网页2"), QStringLiteral("网页3"),
                                        QStringLiteral("网页4")}));
        QCOMPARE(pages().activePage()->location(), addresses[0]);
        // Full: nothing more opens, and the page in front says why.
        QVERIFY(!pages().LoadNewForm(addresses[4]));
        QCOMPARE(pages().book().count(), 4);
        QCOMPARE(pages().shownPage()->statusBar()->statusText(), OpenPolicy::refusal(4));

        // Closed before the rest opened (关闭全部 at once): those are closed pages, not lost.
        pages().CloseAll();
        pages().closedRing().clear();
        pages().openAll({addresses[1], addresses[2], addresses[3]}, OpenTarget::foreground());
        pages().CloseAll();
        pages().closedRing().writeWaiting();
        QStringList closed;
        for (const ClosedPages::Entry &entry : pages().closedPages().newest(20))
            closed << entry.address;
        QVERIFY2(closed.contains(addresses[2]) && closed.contains(addresses[3]), qPrintable(closed.join(QLatin1Char(' '))));
    }

    void theListOfOpenPagesFollowsTheStripNotEveryTitle()
    {
        m_engine.instance = QStringLiteral("rules");
        m_w = std::make_unique<Frmmain>(*m_session);
        m_w->resize(1000, 700);
        m_w->show();
        m_engine.instance.clear();
        OpenPagesKeeper *keeper = m_w->openPagesKeeper();
        QVERIFY(keeper);
        keeper->setSettleMs(20);
        const auto onDisk = [keeper] {
            QFile file(keeper->path());
            return file.open(QIODevice::ReadOnly) ? OpenPagesList::fromBytes(file.readAll()) : std::nullopt;
        };
        FormWeb *one = open(QStringLiteral("1"));
        FormWeb *two = open(QStringLiteral("2"));
        QVERIFY(one && two);
        QTRY_COMPARE_WITH_TIMEOUT(onDisk().value_or(OpenPagesList()).pages.size(), 2, 2000);
        QCOMPARE(onDisk()->pages[0].address, at(QStringLiteral("1")));
        QCOMPARE(onDisk()->pages[0].title, QStringLiteral("网页1"));
        // With its visit, for the history should the run be killed.
        QCOMPARE(onDisk()->pages[0].visits.value(0).title, QStringLiteral("网页1"));
        QCOMPARE(onDisk()->active, 1);
        pages().activateSlot(one->myindex());
        QTRY_COMPARE_WITH_TIMEOUT(onDisk()->active, 0, 2000);

        // A page busy changing its title: one list for the lot, with the last title.
        const int writes = keeper->writes();
        for (int i = 0; i < 200; ++i)
            emit two->Web()->TitleChange(QStringLiteral("第 %1 次").arg(i));
        QTRY_COMPARE_WITH_TIMEOUT(onDisk()->pages[1].title, QStringLiteral("第 199 次"), 2000);
        QCOMPARE(keeper->writes(), writes + 1);

        // A normal exit takes the list away.
        m_w->close();
        QVERIFY(!QFileInfo::exists(keeper->path()));
    }

    // After every tab operation the whole window describes the page in front; closing
    // the tab in front at the left end once left the caption and the address box naming
    // the closed page.
    void theWindowDescribesThePageInFrontAfterEveryTabOperation()
    {
        newWindowFor(QStringLiteral("front"));
        m_w->openPagesKeeper()->setSettleMs(20);
        for (const char *name : {"a", "b", "c", "d", "e", "f", "pop", "restored"})
            m_engine.titles.insert(at(QLatin1String(name)), QStringLiteral("网页") + QLatin1String(name));
        const TabBook &book = pages().book();
        const auto closeAround = [this](int pos, void (PageStack::*close)(int)) { (pages().*close)(pos); };
        struct Step {
            const char *what;
            std::function<void()> run;
        };
        const QVector<Step> steps = {
            {"a list, the first in front", [&] { pages().openAll({at(QStringLiteral("a")), at(QStringLiteral("b")), at(QStringLiteral("c"))}, OpenTarget::foreground()); }},
            {"one opened in front", [&] { pages().LoadNewForm(at(QStringLiteral("d"))); }},
            {"one opened behind", [&] {
                 m_options.setOpenInBackground(1);
                 pages().LoadNewForm(at(QStringLiteral("e")));
                 m_options.setOpenInBackground(0);
             }},
            {"the first tab brought to the front", [&] { pages().activateSlot(book.slotAt(0)); }},
            {"the tab in front at the left end closed", [&] { pages().closeShown(); }},
            {"the tab in front in the middle closed", [&] {
                 pages().activateSlot(book.slotAt(2));
                 pages().closeShown();
             }},
            {"the hovered tab closed", [&] {
                 pages().book().setHoverPos(book.count() - 1);
                 pages().DelLine();
             }},
            {"a closed page restored", [&] { pages().Restore(); }},
            {"a pop-up adopted", [&] { fake(pages().activePage())->openWindow(at(QStringLiteral("pop")), true); }},
            {"the tabs right of the first closed", [&] { closeAround(0, &PageStack::CloseRight); }},
            {"the tabs left of the last closed", [&] {
                 pages().openAll({at(QStringLiteral("a")), at(QStringLiteral("b"))}, OpenTarget::foreground());
                 pages().activateSlot(book.slotAt(0));
                 closeAround(book.count() - 1, &PageStack::CloseLeft);
             }},
            {"the others closed", [&] {
                 pages().openAll({at(QStringLiteral("c")), at(QStringLiteral("d"))}, OpenTarget::foreground());
                 closeAround(0, &PageStack::CloseOthers);
             }},
            {"all closed", [&] {
                 pages().openAll({at(QStringLiteral("e")), at(QStringLiteral("f"))}, OpenTarget::foreground());
                 pages().CloseAll();
             }},
            {"the last tab closed", [&] {
                 FormWeb *only = pages().activePage();
                 only->navigate(at(QStringLiteral("f")));
                 if (QTest::qWaitFor([&] { return !label(only).isEmpty(); }, 2000))
                     pages().closeShown();
             }},
        };
        for (const Step &step : steps) {
            step.run();
            const bool held = QTest::qWaitFor([&] { return windowAgainstFront().isEmpty(); }, 2000);
            QVERIFY2(held, qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(step.what), windowAgainstFront())));
        }
    }

    // A list that met a full disk once stayed stale until the strip changed again: a
    // crash then offered a closed page and missed an open one.
    void theListOnDiskCatchesUpOnceThereIsRoom()
    {
        SmallDisk disk(64);
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        OpenPagesKeeper keeper(pages(), disk.path() + QStringLiteral("/open.json"));
        keeper.setSettleMs(10);
        keeper.setRetryMs(50);
        connect(&pages(), &PageStack::stripChanged, &keeper, &OpenPagesKeeper::changed);
        FormWeb *one = open(QStringLiteral("1"));
        QVERIFY(one);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(keeper.path()), 2000);
        const QByteArray first = fileBytes(keeper.path());
        disk.fill();
        QVERIFY(open(QStringLiteral("2")));
        FormWeb *front = pages().shownPage();
        QTRY_VERIFY_WITH_TIMEOUT(front->statusBar()->statusText().contains(keeper.path()), 2000);
        QCOMPARE(fileBytes(keeper.path()), first);
        // Room again, and nothing changes in the strip: the list still gets there.
        disk.freeUp();
        QTRY_COMPARE_WITH_TIMEOUT(OpenPagesList::fromBytes(fileBytes(keeper.path())).value_or(OpenPagesList()).pages.size(), 2, 3000);
        QCOMPARE(OpenPagesList::fromBytes(fileBytes(keeper.path()))->pages[1].address, at(QStringLiteral("2")));
    }

    // Closing a window on the marked start page once wrote a row for it: the start page
    // is no visit, and the window's earlier rows still are.
    void theStartPageIsNoVisit()
    {
        m_engine.titles.insert(Sites::kMarkedStartPage, QStringLiteral("2345网址导航"));
        FormWeb *p = open(QStringLiteral("visited"));
        QVERIFY(p);
        p->navigate(Sites::kMarkedStartPage);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("2345网址导航"), 2000);
        QCOMPARE(p->visits().rows().size(), 1);
        QCOMPARE(p->visits().rows()[0].address, at(QStringLiteral("visited")));
    }

    void bringingATabToTheFrontShowsOnlyItsPage()
    {
        FormWeb *one = open(QStringLiteral("1"));
        FormWeb *two = open(QStringLiteral("2"));
        QVERIFY(one && two);
        fake(two)->follow(at(QStringLiteral("2b")));
        QVERIFY(QTest::qWaitFor([&] { return two->backEnabled(); }, 2000));
        pages().activateSlot(one->myindex());
        QCOMPARE(pages().activePage(), one);
        QVERIFY(one->isVisible());
        QVERIFY(!two->isVisible());
        QCOMPARE(m_session->currentPage(), one);
        QVERIFY(!m_w->toolbar().button("CmdPage", 0)->isEnabled());
        pages().activateSlot(two->myindex());
        QVERIFY(m_w->toolbar().button("CmdPage", 0)->isEnabled());
        QVERIFY(!one->isVisible());
    }

    void closingTakesTheTabItIsGiven()
    {
        FormWeb *one = open(QStringLiteral("1"));
        QPointer<FormWeb> two = open(QStringLiteral("2"));
        FormWeb *three = open(QStringLiteral("3"));
        QVERIFY(one && two && three);
        // The tab menu's close: the hovered tab, not the one in front.
        pages().book().setHoverPos(1);
        pages().DelLine();
        QVERIFY(QTest::qWaitFor([&] { return !two; }, 2000));
        QCOMPARE(labels(), (QStringList{QStringLiteral("网页1"), QStringLiteral("网页3")}));
        QCOMPARE(pages().activePage(), three);
        QCOMPARE(pages().closedPages().newest(1).value(0).address, at(QStringLiteral("2")));

        // Without a hovered tab (F9, 关闭当前网页): the one in front.
        pages().book().setHoverPos(-1);
        pages().closeShown();
        QCOMPARE(labels(), QStringList{QStringLiteral("网页1")});
        QCOMPARE(pages().activePage(), one);
        QVERIFY(one->isVisible());
        QCOMPARE(m_session->currentPage(), one);

        // The last tab stays, blank, and no record is made of it (Back brings it back).
        pages().closeAt(0);
        QCOMPARE(pages().book().count(), 1);
        QVERIFY(QTest::qWaitFor([&] { return one->location() == QLatin1String("about:blank"); }, 2000));
        QCOMPARE(pages().closedPages().newest(1).value(0).address, at(QStringLiteral("3")));
    }

    void aClosedPageComesBackInANewTab()
    {
        open(QStringLiteral("1"));
        FormWeb *two = open(QStringLiteral("2"));
        QVERIFY(two);
        pages().closePage(two);
        QCOMPARE(pages().book().count(), 1);
        pages().Restore();
        QCOMPARE(pages().book().count(), 2);
        QVERIFY(QTest::qWaitFor([&] { return labels().contains(QStringLiteral("网页2")); }, 2000));
        QCOMPARE(pages().activePage()->location(), at(QStringLiteral("2")));
        // Restored once: the ring has nothing more of it.
        pages().Restore();
        QCOMPARE(pages().book().count(), 2);
    }

    void windowsAPageOpensOnItsOwnAreBounded()
    {
        FormWeb *opener = open(QStringLiteral("opener"));
        QVERIFY(opener);
        for (int i = 0; i < NavigationGuard::kScriptWindowCap; ++i)
            QVERIFY(!fake(opener)->openWindow(at(QStringLiteral("pop%1").arg(i)), false).cancel);
        QCOMPARE(pages().book().count(), 1 + NavigationGuard::kScriptWindowCap);
        // One more without a click is refused, and said in the opener's status bar.
        QVERIFY(fake(opener)->openWindow(at(QStringLiteral("one-too-many")), false).cancel);
        QCOMPARE(pages().book().count(), 1 + NavigationGuard::kScriptWindowCap);
        QVERIFY(opener->statusBar()->statusText().contains(QString::number(NavigationGuard::kScriptWindowCap)));
        // A click still opens one.
        QVERIFY(!fake(opener)->openWindow(at(QStringLiteral("clicked")), true).cancel);
        QCOMPARE(pages().book().count(), 2 + NavigationGuard::kScriptWindowCap);
    }

    void windowsOpenedOnTheirOwnShareTheirOpenersBudget()
    {
        FormWeb *opener = open(QStringLiteral("chain"));
        QVERIFY(opener);
        const int half = NavigationGuard::kScriptWindowCap / 2;
        for (int i = 0; i < half; ++i)
            QVERIFY(!fake(opener)->openWindow(at(QStringLiteral("a%1").arg(i)), false).cancel);
        FormWeb *child = pages().page(pages().book().slotAt(pages().book().count() - 1));
        QVERIFY(child && child != opener);
        for (int i = half; i < NavigationGuard::kScriptWindowCap; ++i)
            QVERIFY(!fake(child)->openWindow(at(QStringLiteral("b%1").arg(i)), false).cancel);
        // The chain spent the budget: neither may open another without a click this minute.
        QVERIFY(fake(child)->openWindow(at(QStringLiteral("c")), false).cancel);
        QVERIFY(fake(opener)->openWindow(at(QStringLiteral("d")), false).cancel);
        // A window the user clicked open starts a budget of its own.
        QVERIFY(!fake(opener)->openWindow(at(QStringLiteral("clicked")), true).cancel);
        FormWeb *clicked = pages().page(pages().book().slotAt(pages().book().count() - 1));
        QVERIFY(!fake(clicked)->openWindow(at(QStringLiteral("e")), false).cancel);
        // A minute later the chain may open windows again.
        m_clock.time = m_clock.time.addSecs(61);
        QVERIFY(!fake(opener)->openWindow(at(QStringLiteral("f")), false).cancel);
    }

    void aRefusedPopUpClosesItsEmptyTab()
    {
        FormWeb *opener = open(QStringLiteral("opener"));
        QVERIFY(opener);
        m_options.setAdBlock(1);
        const QString ad = QStringLiteral("http://ads.example/") + QString(100, QLatin1Char('x'));
        const NewWindowRequest asked = fake(opener)->openWindow(ad, false);
        QVERIFY(!asked.cancel);
        QPointer<FormWeb> popUp = pages().page(pages().book().slotAt(pages().book().count() - 1));
        QVERIFY(popUp && popUp != opener);
        QVERIFY(popUp->blocked());
        QVERIFY(QTest::qWaitFor([&] { return !popUp; }, 2000));
        QCOMPARE(pages().book().count(), 1);
        // Nothing of it in the closed pages.
        QVERIFY(pages().closedPages().newest(1).isEmpty());
    }

    void aPageSleepsOnlyWhenAReloadLosesNothing()
    {
        FormWeb *quiet = open(QStringLiteral("quiet"));
        FormWeb *front = open(QStringLiteral("front"));
        QVERIFY(quiet && front);
        m_engine.answer = [](FakePage &, const QString &script) -> QVariant {
            if (script.contains(QLatin1String("querySelectorAll")))
                return QVariantList{false, false, 0, 120};
            return {};
        };
        const auto sleeps = [](FormWeb *p) {
            auto answer = std::make_shared<int>(-1);
            p->sleep().trySleep([answer](bool slept) { *answer = slept; });
            if (!QTest::qWaitFor([&] { return *answer >= 0; }, 2000))
                return false;
            return *answer == 1;
        };
        // In front: never.
        QVERIFY(!sleeps(front));
        // Playing sound, or answering a sent form: a reload would cut or repeat it.
        fake(quiet)->setAudible(true);
        QVERIFY(!sleeps(quiet));
        fake(quiet)->setAudible(false);
        emit quiet->Web()->UserInput();
        QVERIFY(!sleeps(quiet));
        // Worked with, but long enough ago.
        m_clock.time = m_clock.time.addMSecs(PageSleep::kWorkedWithinMs + 1000);
        // Typed into: the page says it holds form fields the user filled.
        m_engine.answer = [](FakePage &, const QString &) -> QVariant { return QVariantList{false, true, 0, 0}; };
        QVERIFY(!sleeps(quiet));
        m_engine.answer = [](FakePage &, const QString &) -> QVariant { return QVariantList{false, false, 0, 120}; };
        QVERIFY(sleeps(quiet));
        QVERIFY(quiet->sleep().discarded());
        QVERIFY(m_w->tabStrip()->labelToolTip(quiet->myindex()).contains(PageSleep::kAsleepNote));
        // Shown again: it wakes with its document.
        const int loads = fake(quiet)->loads();
        pages().activateSlot(quiet->myindex());
        QVERIFY(!quiet->sleep().discarded());
        QVERIFY(QTest::qWaitFor([&] { return fake(quiet)->loads() > loads; }, 2000));
    }

    void aPageThatAnsweredAFormStaysAwake()
    {
        FormWeb *sent = open(QStringLiteral("form"));
        QVERIFY(sent);
        fake(sent)->follow(at(QStringLiteral("thanks")), true);
        QVERIFY(QTest::qWaitFor([&] { return sent->location() == at(QStringLiteral("thanks")); }, 2000));
        open(QStringLiteral("front"));
        m_clock.time = m_clock.time.addMSecs(PageSleep::kWorkedWithinMs + 1000);
        QVERIFY(!sent->sleep().maySleep());
        // Reloading it asks first; no leaves it as it is.
        m_dialogs.questionAnswer = false;
        const int loads = fake(sent)->loads();
        sent->reload();
        QCOMPARE(m_dialogs.asked.size(), 1);
        QCOMPARE(fake(sent)->loads(), loads);
    }

    // Downloads through the engine's seam: a server's name reaches the dialog as a plain
    // name, the transfer goes where the user said, and its end is said and kept in the
    // user's words, a broken line as one that can go on.
    void aDownloadGoesWhereTheUserSaidAndItsEndIsSaidAndKept()
    {
        QTemporaryDir folder;
        DownloadList &list = m_w->downloads();
        QSignalSpy ended(&list, &DownloadList::ended);
        m_dialogs.saveAnswer = folder.filePath(QStringLiteral("report.pdf"));
        // Before the user chose a folder: the desktop's download folder, as the desktop's
        // own tool names it (the home folder while none is set), never ours.
        const auto desktopSays = [] {
            QProcess tool;
            tool.start(QStringLiteral("xdg-user-dir"), {QStringLiteral("DOWNLOAD")});
            return tool.waitForFinished(10000) ? QString::fromUtf8(tool.readAllStandardOutput()).trimmed() : QString();
        };
        m_store->deleteSection(SettingKeys::kDownloadFolder.section);
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QFile::remove(config + QStringLiteral("/user-dirs.dirs"));
        QCOMPARE(list.proposedFolder(), desktopSays());
        QDir().mkpath(QDir::homePath() + QStringLiteral("/下载 文件"));
        putFile(config + QStringLiteral("/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOWNLOAD_DIR=\"$HOME/下载 文件\"\n");
        QCOMPARE(list.proposedFolder(), desktopSays());
        QCOMPARE(list.proposedFolder(), QDir::homePath() + QStringLiteral("/下载 文件"));
        const QString proposed = QDir(list.proposedFolder()).filePath(QStringLiteral("r'1'.pdf"));
        FakeTransfer *broken = m_engine.downloadSource.announce(QUrl(at(QStringLiteral("r"))), QStringLiteral("../..\\r\"1\".pdf"));
        QCOMPARE(m_dialogs.asked.last(),
                 QStringLiteral("save:保存文件|%1|全部文件 (*)").arg(proposed));
        QCOMPARE(broken->state(), Transfer::State::Running);
        QCOMPARE(broken->path(), m_dialogs.saveAnswer);
        broken->end(Transfer::State::Failed, Transfer::Failure::ConnectionBroke);
        QCOMPARE(ended.last().at(1).toString(), QStringLiteral("下载中断：report.pdf（网络连接中断，可以在下载列表中继续）"));

        m_dialogs.saveAnswer = folder.filePath(QStringLiteral("big.iso"));
        FakeTransfer *full = m_engine.downloadSource.announce(QUrl(at(QStringLiteral("big"))), QStringLiteral("big.iso"));
        full->receive(4096, 1 << 30);
        full->end(Transfer::State::Failed, Transfer::Failure::DiskFull);
        QCOMPARE(ended.last().at(1).toString(), QStringLiteral("下载失败：big.iso（磁盘空间不足）"));
        QCOMPARE(list.rows().size(), 2);
        QCOMPARE(list.rows().at(1).kept.failure, QStringLiteral("磁盘空间不足"));
        QCOMPARE(list.rows().at(1).kept.size, 4096);

        // Not asked where: nothing starts.
        m_dialogs.saveAnswer.clear();
        FakeTransfer *declined = m_engine.downloadSource.announce(QUrl(at(QStringLiteral("no"))), QStringLiteral("no.zip"));
        QCOMPARE(declined->state(), Transfer::State::Cancelled);
        QCOMPARE(list.rows().size(), 2);
    }
};

VELMO_TEST_MAIN(TstPageRules)
#include "tst_pagerules.moc"
