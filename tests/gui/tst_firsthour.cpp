#include "app/mainmenus.h"
#include "page/findbar.h"
#include "page/pagecommands.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "tabs/sites.h"
#include "tabs/tabstrip.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

// What a user meets in the first hour: editing the address as text, closing the page in
// front whatever the pointer crossed on its way to the menu.
class TstFirstHour : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QLineEdit *addressLine() const { return m_w->addressRow().textUrl()->lineEdit(); }
    // Where the keyboard's keys go, as the window system delivers them: the focus widget
    // (the box itself, which hands them on to its field).
    static QWidget *keys() { return QApplication::focusWidget(); }
    QAction *item(const char *name) const { return m_w->menus()->action(QLatin1String(name)); }
    QStringList openLocations() const
    {
        QStringList out;
        for (int pos = 0; pos < m_w->pages().book().count(); ++pos)
            out << m_w->pages().page(m_w->pages().book().slotAt(pos))->location();
        return out;
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }
    void init()
    {
        m_world.reset();
        m_w = m_world.newWindow();
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w));
    }

    // The address box is a text field: the editing keys act on the address, not on the
    // page (the menus bind the same keys for the page).
    void theAddressBoxEditsLikeAText()
    {
        m_world.open(QStringLiteral("/page?id=first"), QStringLiteral("Page first"));
        item("Build")->trigger(); // F4: a blank tab, the box shows the start of an address
        QCOMPARE(addressLine()->text(), Sites::kBlankShown);
        QLineEdit *line = addressLine();
        line->setFocus();
        line->end(false);
        QVERIFY(keys() == m_w->addressRow().textUrl() || keys() == line);
        const QString pasted = m_world.url(QStringLiteral("/page?id=pasted"));
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(keys(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(line->text(), Sites::kBlankShown + pasted);
        QTest::keyClick(keys(), Qt::Key_Return);
        FormWeb *tab = m_w->pages().activePage();
        QTRY_COMPARE_WITH_TIMEOUT(tab->location(), pasted, 15000);
        // The box follows the page there.
        QTRY_COMPARE_WITH_TIMEOUT(line->text(), pasted, 15000);
        // A script on the clipboard comes in without its javascript: (run, it would act
        // in the site in front).
        line->setFocus();
        line->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral(" JavaScript:javascript:document.title='ran'"));
        QTest::keyClick(keys(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(line->text(), QStringLiteral("document.title='ran'"));
        m_w->addressRow().setAddress(pasted);

        // Select all, copy, cut and delete are the text's.
        line->setFocus();
        QTest::keyClick(keys(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(line->selectedText(), line->text());
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(keys(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), pasted);
        QTest::keyClick(keys(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(line->text(), QString());
        QTest::keyClicks(keys(), QStringLiteral("abc"));
        line->home(false);
        QTest::keyClick(keys(), Qt::Key_Delete);
        QCOMPARE(line->text(), QStringLiteral("bc"));
        // The page in front kept its own address.
        QCOMPARE(tab->location(), pasted);
        QCOMPARE(m_w->pages().book().count(), 2);

        // The wheel never steps through the box's list.
        m_w->addressRow().addRecord(QStringLiteral("http://a.example/"));
        m_w->addressRow().addRecord(QStringLiteral("http://b.example/"));
        line->setText(QStringLiteral("mine"));
        QWheelEvent wheel(QPointF(5, 5), line->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_w->addressRow().textUrl(), &wheel);
        QCOMPARE(line->text(), QStringLiteral("mine"));
    }

    // The editing keys and the Edit menu's items edit the browser's own field that has
    // the keyboard (search box, find bar); a password on the clipboard once landed in the
    // site's field behind the search box.
    void editingKeysEditTheFieldThatHasTheKeyboard()
    {
        FormWeb *page = m_world.open(QStringLiteral("/form.html"), QStringLiteral("Form"));
        const QString field = QStringLiteral("document.querySelector('input[name=amount]')");
        const auto fieldValue = [&] { return evaluateSync(page->Web(), field + QStringLiteral(".value")).toString(); };
        evaluateSync(page->Web(), field + QStringLiteral(".focus(); 1"));
        QComboBox *search = m_w->addressRow().combSearch();
        search->setFocus();
        QVERIFY(keys() == search || keys() == search->lineEdit());
        QGuiApplication::clipboard()->setText(QStringLiteral("secret"));
        QTest::keyClick(keys(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(search->currentText(), QStringLiteral("secret"));
        QTest::keyClick(keys(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(keys(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(search->currentText(), QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("secret"));
        // The menu's items, chosen while the box has the keyboard.
        search->setEditText(QStringLiteral("词"));
        item("mnuViewRefresh")->trigger();
        item("mnuEditCopy")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("词"));
        item("chakan")->trigger();
        item("chakan")->trigger();
        QCOMPARE(search->currentText(), QStringLiteral("词词"));
        QCOMPARE(fieldValue(), QStringLiteral("100"));

        // The find bar's field likewise.
        QLineEdit *word = page->commands().showFind()->word();
        word->setFocus();
        QCOMPARE(keys(), word);
        QGuiApplication::clipboard()->setText(QStringLiteral("pay"));
        QTest::keyClick(keys(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(word->text(), QStringLiteral("pay"));
        QCOMPARE(fieldValue(), QStringLiteral("100"));
    }

    // The keys users of desktop browsers press, where no menu key claims them.
    void theKeysUsersPressDoWhatTheyExpect()
    {
        PageStack &pages = m_w->pages();
        FormWeb *a = m_world.open(QStringLiteral("/page?id=ka"), QStringLiteral("Page ka"));
        FormWeb *b = m_world.open(QStringLiteral("/page?id=kb"), QStringLiteral("Page kb"));
        const auto press = [](int key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
            QTest::keyClick(keys(), Qt::Key(key), mods);
        };
        press(Qt::Key_T);
        QCOMPARE(pages.book().count(), 3);
        QVERIFY(keys() == m_w->addressRow().textUrl() || keys() == addressLine());
        press(Qt::Key_W);
        QCOMPARE(pages.book().count(), 2);
        QCOMPARE(pages.activePage(), b);
        press(Qt::Key_PageUp);
        QCOMPARE(pages.activePage(), a);
        press(Qt::Key_Tab);
        QCOMPARE(pages.activePage(), b);
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(pages.activePage(), a);
        press(Qt::Key_PageDown);
        QCOMPARE(pages.activePage(), b);
        press(Qt::Key_PageDown); // round to the first
        QCOMPARE(pages.activePage(), a);

        press(Qt::Key_L);
        QVERIFY(keys() == m_w->addressRow().textUrl() || keys() == addressLine());
        QCOMPARE(addressLine()->selectedText(), m_world.url(QStringLiteral("/page?id=ka")));
        a->focusHolder();
        const int loads = m_world.server.requestCount(QStringLiteral("/page"));
        // Marks the document, so the reloaded one is known to be in (a zoom given to the
        // old one would go with it).
        evaluateSync(a->Web(), QStringLiteral("window.beforeReload = true"));
        press(Qt::Key_R);
        QTRY_COMPARE_WITH_TIMEOUT(m_world.server.requestCount(QStringLiteral("/page")), loads + 1, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!evaluateSync(a->Web(), QStringLiteral("window.beforeReload === true")).toBool(), 15000);

        const auto bodyZoom = [&] { return evaluateSync(a->Web(), QStringLiteral("document.body.style.zoom")).toString(); };
        press(Qt::Key_Equal);
        QTRY_COMPARE_WITH_TIMEOUT(bodyZoom(), QStringLiteral("110%"), 5000);
        press(Qt::Key_Minus);
        press(Qt::Key_Minus);
        QTRY_COMPARE_WITH_TIMEOUT(bodyZoom(), QStringLiteral("90%"), 5000);
        press(Qt::Key_0);
        QTRY_COMPARE_WITH_TIMEOUT(bodyZoom(), QStringLiteral("100%"), 5000);
        QCOMPARE(a->commands().BigSize(), 100);

        // Esc stops a load; otherwise it is the page's.
        QAction *stop = m_w->findChild<QAction *>(QStringLiteral("StopLoading"));
        QVERIFY(stop && !stop->isEnabled());
        a->navigate(m_world.url(QStringLiteral("/never")));
        QTRY_VERIFY_WITH_TIMEOUT(a->loading() && stop->isEnabled(), 15000);
        a->focusHolder();
        press(Qt::Key_Escape, Qt::NoModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!a->loading() && !stop->isEnabled(), 15000);
    }

    void aWholeAddressAfterThePrefillStandsAlone()
    {
        QCOMPARE(Sites::typedAddress(QStringLiteral("http://www.http://a.example/x")), QStringLiteral("http://a.example/x"));
        QCOMPARE(Sites::typedAddress(QStringLiteral("http://www.https://a.example/")), QStringLiteral("https://a.example/"));
        QCOMPARE(Sites::typedAddress(QStringLiteral("http://www.file:///tmp/a.html")), QStringLiteral("file:///tmp/a.html"));
        QCOMPARE(Sites::typedAddress(QStringLiteral("http://www.sina.com.cn")), QStringLiteral("http://www.sina.com.cn"));
        QCOMPARE(Sites::typedAddress(QStringLiteral("http://www.a.example:8080/")), QStringLiteral("http://www.a.example:8080/"));
        QCOMPARE(Sites::typedAddress(QStringLiteral(" sina.com.cn ")), QStringLiteral("sina.com.cn"));
        // Typed after F4's prefill, through the box: the address itself opens.
        item("Build")->trigger();
        QLineEdit *line = addressLine();
        line->setFocus();
        line->end(false);
        QVERIFY(keys());
        const QString typed = m_world.url(QStringLiteral("/page?id=typed"));
        QTest::keyClicks(keys(), typed);
        QTest::keyClick(keys(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().activePage()->location(), typed, 15000);
    }

    // 关闭当前网页 closes the page in front, also when the pointer last crossed another
    // tab on its way to the menu; the tab menu's item closes the tab it was opened on.
    void closingTheCurrentPageClosesTheOneInFront()
    {
        m_world.open(QStringLiteral("/page?id=a"), QStringLiteral("Page a"));
        FormWeb *b = m_world.open(QStringLiteral("/page?id=b"), QStringLiteral("Page b"));
        FormWeb *c = m_world.open(QStringLiteral("/page?id=c"), QStringLiteral("Page c"));
        m_w->pages().activateSlot(b->myindex());
        // The pointer passes over the first tab.
        emit m_w->tabStrip()->labelHovered(m_w->pages().book().slotAt(0));
        item("CloseThisPage")->trigger();
        QCOMPARE(openLocations(), (QStringList{m_world.url(QStringLiteral("/page?id=a")), m_world.url(QStringLiteral("/page?id=c"))}));

        // F9 from the keyboard: the page in front.
        m_w->pages().activateSlot(c->myindex());
        emit m_w->tabStrip()->labelHovered(m_w->pages().book().slotAt(0));
        QTest::keyClick(m_w, Qt::Key_F9);
        QCOMPARE(openLocations(), (QStringList{m_world.url(QStringLiteral("/page?id=a"))}));

        // The tab menu, opened on a tab that is not in front, closes that tab.
        FormWeb *d = m_world.open(QStringLiteral("/page?id=d"), QStringLiteral("Page d"));
        const int first = m_w->pages().book().slotAt(0);
        emit m_w->tabStrip()->labelReleased(first, Qt::RightButton);
        QMenu *menu = m_w->menus()->menu(QStringLiteral("LabelPage"));
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
        item("closeme")->trigger();
        QCOMPARE(openLocations(), (QStringList{m_world.url(QStringLiteral("/page?id=d"))}));
        QCOMPARE(m_w->pages().activePage(), d);
    }
};

VELMO_TEST_MAIN(TstFirstHour)
#include "tst_firsthour.moc"
