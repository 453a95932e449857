#include "app/mainmenus.h"
#include "app/sitetables.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "tabs/tabstrip.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

// What a user does without thinking: typing while a page loads, closing the last page,
// searching for odd words, keys in the page, settings that cannot be saved. Each case
// guards work the browser used to lose or a wrong result it used to give.
class TstUserWork : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QString url(const QString &path) const { return m_world.url(path); }
    QString label(FormWeb *p) const { return m_world.label(p); }
    QComboBox *textUrl() const { return m_w->addressRow().textUrl(); }
    QComboBox *combSearch() const { return m_w->addressRow().combSearch(); }
    QAction *item(const char *name) const { return m_w->menus()->action(QString::fromLatin1(name)); }
    QToolButton *button(const char *name, int index = -1) const { return m_w->toolbar().button(name, index); }
    FormWeb *open(const QString &path, const QString &title) { return m_world.open(path, title); }
    void focusBox(QComboBox *box)
    {
        m_w->activateWindow();
        box->lineEdit()->setFocus();
        [&] { QTRY_VERIFY(box->lineEdit()->hasFocus()); }();
    }
    int scrollY(FormWeb *p) { return evaluateSync(p->Web(), QStringLiteral("window.scrollY")).toInt(); }
    bool rawRequested(const QString &part)
    {
        return waitFor([&] { return m_world.blocker.rawRequested().join(QLatin1Char('\n')).contains(part); }, 10000);
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }
    void init()
    {
        m_world.reset();
        // The window before writes the pages it closed last as it goes.
        m_w = m_world.newWindow();
        m_world.store->deleteSection(QStringLiteral("CancelPage"));
        m_w->pages().closedPages().load();
    }

    void typingInTheAddressBoxIsNeverOverwritten()
    {
        FormWeb *p = m_w->pages().LoadNewForm(url(QStringLiteral("/title?t=Late&delay=800")));
        focusBox(textUrl());
        textUrl()->lineEdit()->selectAll();
        QTest::keyClicks(textUrl()->lineEdit(), QStringLiteral("my.addr"));
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Late"), 15000);
        QTest::keyClicks(textUrl()->lineEdit(), QStringLiteral("ess"));
        QCOMPARE(textUrl()->currentText(), QStringLiteral("my.address"));
        // Escape brings the page's address back.
        QTest::keyClick(textUrl()->lineEdit(), Qt::Key_Escape);
        QCOMPARE(textUrl()->currentText(), url(QStringLiteral("/title?t=Late&delay=800")));
        // Page events show addresses again once the typing was given up.
        p->navigate(url(QStringLiteral("/page?id=next")));
        QTRY_COMPARE_WITH_TIMEOUT(textUrl()->currentText(), url(QStringLiteral("/page?id=next")), 15000);
    }

    // The last tab goes blank with no closed-page record (it was never closed); Back
    // brings its page back.
    void theLastPageComesBackWithBack()
    {
        FormWeb *p = open(QStringLiteral("/page?id=only"), QStringLiteral("Page only"));
        m_w->pages().book().setHoverPos(0);
        m_w->pages().DelLine();
        QTRY_COMPARE_WITH_TIMEOUT(p->location(), QStringLiteral("about:blank"), 10000);
        QVERIFY(!m_w->menus()->liHistory().at(0)->isVisible());
        item("Cancel")->trigger();
        QCOMPARE(m_w->pages().book().count(), 1);
        p->goBack();
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Page only"), 15000);
    }

    void anAddressGoesToThePageInFrontAfterAClose()
    {
        FormWeb *first = open(QStringLiteral("/page?id=a"), QStringLiteral("Page a"));
        FormWeb *second = open(QStringLiteral("/page?id=b"), QStringLiteral("Page b"));
        open(QStringLiteral("/page?id=c"), QStringLiteral("Page c"));
        m_w->pages().activateSlot(first->myindex());
        m_w->pages().book().setHoverPos(0);
        m_w->pages().DelLine();
        // The page now at the left end is in front and takes what is typed.
        QCOMPARE(m_w->pages().activePage(), second);
        textUrl()->setEditText(url(QStringLiteral("/page?id=typed")));
        QTest::keyClick(textUrl(), Qt::Key_Return);
        QCOMPARE(m_w->pages().book().count(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(label(second), QStringLiteral("Page typed"), 15000);

        // The toolbar's close button closes the page that is shown.
        QPointer<FormWeb> shown = m_w->pages().shownPage();
        QCOMPARE(shown.data(), second);
        const int shownSlot = shown->myindex();
        button("Command8")->click();
        QCOMPARE(m_w->pages().book().count(), 1);
        flushDeletions();
        QVERIFY(shown.isNull());
        QVERIFY(m_w->pages().page(shownSlot) == nullptr);
    }

    void aBlankTabHasNoViewUntilItGoesSomewhere()
    {
        m_w->pages().Build();
        FormWeb *p = m_w->pages().activePage();
        QTRY_COMPARE_WITH_TIMEOUT(m_w->tabStrip()->existingLabel(p->myindex())->toolTip(), PageText::kBlankToolTip, 5000);
        QCOMPARE(p->location(), QStringLiteral("about:blank"));
        QVERIFY(!p->Web()->widget()->isVisible()); // no view shown, so no renderer
        textUrl()->setEditText(url(QStringLiteral("/page?id=typed")));
        QTest::keyClick(textUrl(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Page typed"), 15000);
        QVERIFY(p->Web()->widget()->isVisible());
        QCOMPARE(m_w->pages().book().count(), 1);
    }

    void backAndForwardFollowTheActivePage()
    {
        FormWeb *p = open(QStringLiteral("/page?id=one"), QStringLiteral("Page one"));
        p->navigate(url(QStringLiteral("/page?id=two")));
        QTRY_VERIFY_WITH_TIMEOUT(button("CmdPage", 0)->isEnabled(), 15000);
        m_w->pages().Build();
        QVERIFY(!button("CmdPage", 0)->isEnabled());
        m_w->pages().activateSlot(p->myindex());
        QVERIFY(button("CmdPage", 0)->isEnabled());
    }

    void searchWordsReachTheEngineAsTyped()
    {
        combSearch()->setEditText(QStringLiteral("C&A #1 100%+"));
        QTest::keyClick(combSearch(), Qt::Key_Return);
        QVERIFY(rawRequested(QStringLiteral("wd=C%26A%20%231%20100%25%2B")));
        QCOMPARE(combSearch()->currentText(), QStringLiteral("C&A #1 100%+"));

        // The address box's web search and the site searches alike.
        open(QStringLiteral("/page?id=s"), QStringLiteral("Page s"));
        textUrl()->setEditText(QStringLiteral("H&M"));
        QTest::keyClick(textUrl(), Qt::Key_Return);
        QVERIFY(rawRequested(QStringLiteral("wd=H%26M")));
        combSearch()->setEditText(QStringLiteral("a&b"));
        item("Search360")->trigger();
        QVERIFY(rawRequested(QStringLiteral("q=a%26b")));
    }

    void onlyWebAddressesGoToAnotherBrowser()
    {
        open(QStringLiteral("/page?id=o"), QStringLiteral("Page o"));
        for (const QString &text : {QStringLiteral("/etc/passwd"), QStringLiteral("file:///etc/passwd"),
                                    QStringLiteral("javascript:alert(1)"), QStringLiteral("notes.txt")}) {
            textUrl()->setEditText(text);
            item("OpenUrlStyle")->trigger();
        }
        QVERIFY(m_world.shell.opened.isEmpty());
        QVERIFY(m_w->pages().shownPage()->statusBar()->statusText().contains(QStringLiteral("http")));
        textUrl()->setEditText(QStringLiteral("HTTPS://a.example/x"));
        item("OpenUrlStyle")->trigger();
        QCOMPARE(m_world.shell.opened, QStringList{QStringLiteral("HTTPS://a.example/x")});
    }

    void unsaveableSettingsAreToldAndStillRestorable()
    {
        // The settings folder is a file: nothing can be written below it.
        const QString blocker = TestEnv::home() + QStringLiteral("/not-a-folder");
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        SettingsStore store(blocker + QStringLiteral("/VM2008.ini"));
        Options options;
        Session session(store, options, *m_world.engine, m_world.shell, m_world.dialogs, m_world.clock, m_world.memory);
        {
            Frmmain w(session);
            w.show();
            w.start(url(QStringLiteral("/page?id=x")));
            FormWeb *p = w.pages().activePage();
            QTRY_COMPARE_WITH_TIMEOUT(w.tabStrip()->labelText(p->myindex()), QStringLiteral("Page x"), 15000);
            // Said once the first page is in, and still there: its load does not clear it.
            QTRY_VERIFY_WITH_TIMEOUT(p->statusBar()->statusText().contains(QStringLiteral("无法保存")), 15000);
            w.pages().LoadNewForm(url(QStringLiteral("/page?id=y")));
            w.pages().book().setHoverPos(0);
            w.pages().DelLine();
            QCOMPARE(w.pages().book().count(), 1);
            w.menus()->action(QStringLiteral("Cancel"))->trigger();
            QCOMPARE(w.pages().book().count(), 2);
            QTRY_COMPARE_WITH_TIMEOUT(w.pages().activePage()->location(), url(QStringLiteral("/page?id=x")), 15000);
        }
        flushDeletions();
    }

    void menuKeysWinInTheSearchBox()
    {
        open(QStringLiteral("/page?id=gone"), QStringLiteral("Page gone"));
        open(QStringLiteral("/page?id=stay"), QStringLiteral("Page stay"));
        m_w->pages().book().setHoverPos(0);
        m_w->pages().DelLine();
        focusBox(combSearch());
        QTest::keyClicks(combSearch()->lineEdit(), QStringLiteral("xy"));
        QTest::keyClick(combSearch()->lineEdit(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_w->pages().book().count(), 2);
        QCOMPARE(combSearch()->currentText(), QStringLiteral("xy"));
        QTRY_COMPARE_WITH_TIMEOUT(label(m_w->pages().activePage()), QStringLiteral("Page gone"), 15000);
    }

    void readingKeysScrollThePage()
    {
        FormWeb *p = open(QStringLiteral("/tall.html"), QStringLiteral("Tall page"));
        QWidget *holder = p->Cmb();
        const int step = evaluateSync(p->Web(), QStringLiteral("window.innerHeight - 40")).toInt();
        const auto press = [&](Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
            QKeyEvent e(QEvent::KeyPress, key, mods);
            QApplication::sendEvent(holder, &e);
        };
        press(Qt::Key_PageDown);
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(p), step, 5000);
        press(Qt::Key_Space);
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(p), 2 * step, 5000);
        press(Qt::Key_Space, Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(p), step, 5000);
        press(Qt::Key_End);
        const int bottom = evaluateSync(p->Web(), QStringLiteral("document.documentElement.scrollHeight - window.innerHeight")).toInt();
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(p), bottom, 5000);
        press(Qt::Key_PageUp);
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(p), bottom - step, 5000);
        press(Qt::Key_Home);
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(p), 0, 5000);
    }
};

VELMO_TEST_MAIN(TstUserWork)
#include "tst_userwork.moc"
