#include "app/mainmenus.h"
#include "page/formautoreshua.h"
#include "page/selectionbar.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "tabs/sites.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

// The commands that act on the page in front, on the real engine: the selection bar,
// the refresher, typing in edit mode, page properties and printing.
class TstPageCommands : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QString url(const QString &path) const { return m_world.url(path); }
    QAction *item(const char *name) const { return m_w->menus()->action(QString::fromLatin1(name)); }
    QComboBox *combSearch() const { return m_w->addressRow().combSearch(); }
    // One reading of the main window's mouse watch.
    void tick() { QMetaObject::invokeMethod(m_w->findChild<QTimer *>(QStringLiteral("Timer1")), "timeout"); }
    // The left button down and up on the page's status bar, where it selects nothing;
    // ticks between the two.
    void press(FormWeb *p, int ticksHeld)
    {
        QWindow *window = m_w->windowHandle();
        const QPoint at = p->mapTo(m_w, QPoint(p->width() / 2, p->height() - 5));
        QTest::mousePress(window, Qt::LeftButton, {}, at);
        for (int i = 0; i < ticksHeld; ++i)
            tick();
        QTest::mouseRelease(window, Qt::LeftButton, {}, at);
        tick();
    }
    void selectIn(FormWeb *p, const QString &script, const QString &expected)
    {
        evaluateSync(p->Web(), script);
        QVERIFY(waitFor([&] { return p->selectedText() == expected; }, 5000));
    }
    // Runs the next dialog the window opens with this action.
    template <typename Act>
    void onNextDialog(Act act)
    {
        auto conn = std::make_shared<QMetaObject::Connection>();
        *conn = connect(m_w, &Frmmain::dialogOpened, this, [conn, act](QDialog *dlg) {
            disconnect(*conn);
            QTimer::singleShot(0, dlg, [dlg, act] { act(dlg); });
        });
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

    void selectionBarShowsForAHeldPressOverASelection()
    {
        FormWeb *p = m_world.open(QStringLiteral("/find.html"), QStringLiteral("Find"));
        SelectionBar *bar = p->PictMouse();
        QCOMPARE(bar->LabCopy(0)->text(), QStringLiteral("搜索  |"));
        QCOMPARE(bar->LabCopy(1)->text(), QStringLiteral("复制"));
        selectIn(p, QStringLiteral("getSelection().selectAllChildren(document.body)"), QStringLiteral("Needle needle NEEDLE needles (a+b)*"));
        QGuiApplication::clipboard()->setText(QStringLiteral("mine"));

        // A press shorter than a tick: nothing.
        press(p, 0);
        QVERIFY(!bar->shown());
        QCOMPARE(combSearch()->currentText(), QString());
        // A press a tick saw: the bar, the search box; the clipboard as it was.
        press(p, 1);
        QVERIFY(bar->shown());
        QVERIFY(p->rect().contains(bar->geometry()));
        QCOMPARE(combSearch()->currentText(), p->selectedText());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("mine"));
        // Resizing puts it away.
        p->resize(p->width() - 10, p->height());
        QVERIFY(!bar->shown());

        // 复制 is the one way to the clipboard.
        press(p, 2);
        QTest::mouseClick(bar->LabCopy(1), Qt::LeftButton);
        QVERIFY(!bar->shown());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Needle needle NEEDLE needles (a+b)*"));
        // 搜索 opens the web search for it in a new page, meaning intact.
        press(p, 1);
        const int tabs = m_w->pages().book().count();
        QTest::mouseClick(bar->LabCopy(0), Qt::LeftButton);
        QVERIFY(!bar->shown());
        QCOMPARE(m_w->pages().book().count(), tabs + 1);
        const QString sent = Sites::kSearchAddress + QStringLiteral("Needle%20needle%20NEEDLE%20needles%20(a%2Bb)*");
        QVERIFY2(waitFor([&] { return m_world.blocker.rawRequested().contains(sent); }, 10000),
                 qPrintable(m_world.blocker.rawRequested().join(QLatin1Char(' '))));

        // Without a selection the search box empties and no bar comes.
        m_w->pages().showPage(p);
        selectIn(p, QStringLiteral("getSelection().removeAllRanges()"), QString());
        press(p, 1);
        QVERIFY(!bar->shown());
        QCOMPARE(combSearch()->currentText(), QString());
    }

    void refresherReloadsThePageInFront()
    {
        FormWeb *p = m_world.open(QStringLiteral("/page?id=again"), QStringLiteral("Page again"));
        const int before = m_world.server.requestCount(QStringLiteral("/page"));
        int after = 0;
        onNextDialog([&](QDialog *dlg) {
            auto *refresher = qobject_cast<FormAutoREshua *>(dlg);
            refresher->Comb()->setCurrentText(QStringLiteral("abc"));
            refresher->Command1()->click();
            waitFor([&] { return m_world.server.requestCount(QStringLiteral("/page")) >= before + 2; }, 10000);
            after = m_world.server.requestCount(QStringLiteral("/page"));
            dlg->reject();
        });
        item("AutoReshua")->trigger();
        QVERIFY(after >= before + 2);
        QVERIFY(m_w->findChildren<FormAutoREshua *>().isEmpty()); // gone with its timer
        QCOMPARE(p->location(), url(QStringLiteral("/page?id=again")));
    }
};

VELMO_TEST_MAIN(TstPageCommands)
#include "tst_pagecommands.moc"
