#include "engine/hiddenviewframes.h"
#include "engine/qtworkarounds.h"
#include "page/formweb.h"
#include "page/pagesleep.h"
#include "page/rendererwatch.h"
#include "page/sleepwatch.h"
#include "platform/settingkeys.h"
#include "support/qtinternals.h"
#include "support/testenv.h"
#include "support/testworld.h"

#include <QQuickWidget>
#include <QQuickWindow>
#include <QScreen>
#include <QWheelEvent>
#include <functional>

// Tabs out of sight keep their pages: they sleep only when memory runs short, and never
// when a reload would lose or repeat what the page holds. Real engine, fixture pages, a
// fake memory reading and a fake clock.
class TstSleep : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QString url(const QString &path) const { return m_world.url(path); }
    FormWeb *open(const QString &path, const QString &title) { return m_world.open(path, title); }
    QString toolTip(FormWeb *p) const { return m_w->tabStrip()->labelToolTip(p->myindex()); }
    void memoryShort() { m_world.memory.reading.availableKb = m_world.memory.reading.totalKb / 20; }
    // One look of the window's watch; the page it put to sleep (null: none).
    FormWeb *look(bool *pressing = nullptr)
    {
        QSignalSpy looked(&m_w->pages().sleepWatch(), &SleepWatch::looked);
        m_w->pages().sleepWatch().look();
        if (looked.isEmpty() && !looked.wait(10000))
            return nullptr;
        if (pressing)
            *pressing = looked.first().at(0).toBool();
        return looked.first().at(1).value<FormWeb *>();
    }
    void laterBy(qint64 ms) { m_world.clock.time = m_world.clock.time.addMSecs(ms); }
    static QString js(FormWeb *p, const QString &script) { return evaluateSync(p->Web(), script).toString(); }
    QColor onWindow(const QPoint &at) const { return m_w->screen()->grabWindow(m_w->winId()).toImage().pixelColor(at); }
    // What a view paints from, over green.
    static QColor paintsFrom(QWidget *view, const QPoint &at)
    {
        QImage canvas(view->size(), QImage::Format_ARGB32);
        canvas.fill(Qt::green);
        view->render(&canvas);
        return canvas.pixelColor(at);
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }

    void init()
    {
        m_world.reset();
        m_world.memory = FakeMemory();
        m_world.store->write(SettingKeys::kMemoryLimit, QString());
        m_w = m_world.newWindow();
    }

    void sleepOnlyUnderPressureOldestFirst()
    {
        FormWeb *first = open(QStringLiteral("/pictures?n=3&w=100&h=2000&sized=1"), QStringLiteral("Pictures 3"));
        const int at = js(first, QStringLiteral("window.scrollTo(0, 1500); String(window.scrollY)")).toInt();
        QVERIFY(at > 1000);
        laterBy(1000);
        FormWeb *second = open(QStringLiteral("/page?id=second"), QStringLiteral("Page second"));
        laterBy(1000);
        FormWeb *front = open(QStringLiteral("/page?id=front"), QStringLiteral("Page front"));

        // Memory to spare: nothing sleeps, however long the tabs are out of sight.
        laterBy(3600 * 1000);
        bool pressing = true;
        QCOMPARE(look(&pressing), nullptr);
        QVERIFY(!pressing);
        QVERIFY(!first->sleep().discarded() && !second->sleep().discarded());

        // Short of memory: out of sight longest first, one a look, never the tab in front.
        memoryShort();
        QCOMPARE(look(&pressing), first);
        QVERIFY(pressing && first->sleep().discarded());
        QVERIFY(toolTip(first).contains(PageSleep::kAsleepNote));
        QCOMPARE(look(), second);
        QCOMPARE(look(), nullptr);
        QVERIFY(!front->sleep().discarded());

        // The user's own limit counts as pressure too.
        m_world.memory = FakeMemory();
        m_w->pages().showPage(second);
        m_w->pages().showPage(front);
        QVERIFY(waitFor([&] { return !second->sleep().discarded() && second->loadedOnce(); }, 15000));
        m_world.store->write(SettingKeys::kMemoryLimit, QStringLiteral("100"));
        QCOMPARE(look(), second);

        // Shown again, a page reloads where the reader left it and says nothing of sleep.
        m_w->pages().showPage(first);
        QVERIFY(waitFor([&] { return !first->sleep().discarded() && js(first, QStringLiteral("String(window.scrollY)")).toInt() == at; }, 15000));
        QVERIFY(!toolTip(first).contains(PageSleep::kAsleepNote));
    }

    void aTabOutOfSightKeepsNoFrameAndIsShownAgainWithoutABlank()
    {
        // On a Qt it was not verified with, views keep their frames: check it again there.
        QVERIFY2(QtWorkarounds::quickFramesCanBeReleased(), "frames are let go only on the Qt the way was verified with");
        // A red band across the top of one page, grey stripes on the other.
        FormWeb *back = open(QStringLiteral("/tall?h=400"), QStringLiteral("Tall"));
        auto *view = back->findChild<QQuickWidget *>();
        QVERIFY(view);
        const QPoint inBand(20, 20);
        const QPoint there = view->mapTo(m_w, inBand);
        const QColor red(Qt::red);
        QVERIFY(waitFor([&] { return onWindow(there) == red; }, 10000));
        FormWeb *stripes = open(QStringLiteral("/stripes?h=400"), QStringLiteral("Stripes"));
        QColor stripe;
        QVERIFY(waitFor([&] {
            stripe = onWindow(there);
            return stripe != red && stripe.red() == stripe.blue() && stripe.red() < 200;
        }, 10000));

        for (int round = 0; round < 2; ++round) {
            QVERIFY(!view->isVisible());
            // Out of sight, the view has nothing left to paint from, also once told of a
            // new screen (which makes Qt draw it anew).
            QCOMPARE(paintsFrom(view, inBand), QColor(Qt::green));
            QEvent newScreen(QtWorkarounds::kQuickFrameMadeAgain);
            QCoreApplication::sendEvent(view, &newScreen);
            QVERIFY(waitFor([&] { return paintsFrom(view, inBand) == QColor(Qt::green); }));

            // Shown again, every paint until the page is drawn leaves the tab before on
            // the window: never a blank. The window is read as each paint of the view
            // begins (what the paint before left) and once the page is there.
            struct Paints : QObject {
                std::function<void()> painting;
                bool eventFilter(QObject *, QEvent *e) override
                {
                    if (e->type() == QEvent::Paint)
                        painting();
                    return false;
                }
            } paints;
            QList<QColor> seen;
            paints.painting = [&] { seen << onWindow(there); };
            view->installEventFilter(&paints);
            m_w->pages().showPage(back);
            const bool drawn = waitFor([&] { return onWindow(there) == red; }, 10000);
            view->removeEventFilter(&paints);
            QVERIFY(drawn);
            QVERIFY(!seen.isEmpty());
            seen << onWindow(there);
            for (const QColor &c : seen)
                QVERIFY2(c == red || c == stripe, qPrintable(c.name()));
            // Later the page's own background is back for anything not drawn yet, and the
            // page stays on the window.
            QVERIFY(waitFor([&] { return view->quickWindow()->color().alpha() == 255; }, 2 * HiddenViewFrames::kSeeThroughMs + 5000));
            QVERIFY(waitFor([&] { return onWindow(there) == red; }));

            m_w->pages().showPage(stripes);
            QVERIFY(waitFor([&] { return onWindow(there) == stripe; }, 10000));
        }
    }

    void windowsTiedByScriptStayAwake()
    {
        FormWeb *opener = open(QStringLiteral("/named.html"), QStringLiteral("Named"));
        opener->Web()->runPageScript(QStringLiteral("openPay('/page?id=pay')"));
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), 2, 10000);
        FormWeb *pay = m_w->pages().activePage();
        QVERIFY(waitFor([&] { return m_world.label(pay) == QStringLiteral("Page pay"); }, 10000));
        open(QStringLiteral("/page?id=front"), QStringLiteral("Page front"));
        laterBy(3600 * 1000);
        memoryShort();
        QCOMPARE(look(), nullptr);
        QVERIFY(!m_world.putToSleep(opener) && !m_world.putToSleep(pay));

        // The tie holds: the pop-up's message reaches the page that waits for it, and a
        // second window of the same name goes to the same tab.
        opener->Web()->runPageScript(QStringLiteral("document.title = 'Pay closed ' + (!pay || pay.closed)"));
        QVERIFY(waitFor([&] { return m_world.label(opener) == QStringLiteral("Pay closed false"); }, 10000));
        pay->Web()->runPageScript(QStringLiteral("window.opener.postMessage('paid', '*')"));
        QVERIFY(waitFor([&] { return m_world.label(opener) == QStringLiteral("Heard paid"); }, 10000));
        opener->Web()->runPageScript(QStringLiteral("openPay('/page?id=again')"));
        QVERIFY(waitFor([&] { return m_world.label(pay) == QStringLiteral("Page again"); }, 10000));
        QCOMPARE(m_w->pages().book().count(), 3);

        // Once the pop-up is closed the opener may sleep.
        m_w->pages().closePage(pay);
        QVERIFY(waitFor([&] { return m_world.putToSleep(opener); }, 10000));
    }

    void whatAReloadWouldLoseKeepsAPageAwake()
    {
        // A form's answer: a reload sends the form again.
        FormWeb *posted = open(QStringLiteral("/form.html"), QStringLiteral("Form"));
        posted->Web()->runPageScript(QStringLiteral("document.getElementById('post').submit()"));
        QVERIFY(waitFor([&] { return m_world.label(posted) == QStringLiteral("Posted 1"); }, 10000));
        // A form the page filled in (and, emptied again, nothing to lose).
        FormWeb *filled = open(QStringLiteral("/form.html"), QStringLiteral("Form"));
        filled->Web()->runPageScript(QStringLiteral("document.querySelector('#get input').value = 'typed'"));
        // A page the user turned the wheel in.
        FormWeb *wheeled = open(QStringLiteral("/tall?h=5000"), QStringLiteral("Tall"));
        QWidget *input = wheeled->Web()->inputWidget();
        QWheelEvent wheel(QPointF(50, 50), input->mapToGlobal(QPointF(50, 50)), {}, {0, -120}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        // As the window system delivers it (sendEvent would mark it as the program's own).
        QtInternals::markAsFromWindowSystem(&wheel);
        qApp->notify(input, &wheel);
        open(QStringLiteral("/page?id=front"), QStringLiteral("Page front"));

        laterBy(PageSleep::kWorkedWithinMs - 60 * 1000);
        QVERIFY(!m_world.putToSleep(posted));
        QVERIFY(!m_world.putToSleep(filled));
        QVERIFY(!m_world.putToSleep(wheeled));
        QCOMPARE(m_world.server.postCount(QStringLiteral("/posted")), 1);

        evaluateSync(filled->Web(), QStringLiteral("document.querySelector('#get input').value = 'searched'"));
        QVERIFY(m_world.putToSleep(filled));
        laterBy(2 * 60 * 1000);
        QVERIFY(m_world.putToSleep(wheeled));
        QVERIFY(!m_world.putToSleep(posted));
    }

    void aStuckRendererEndsWhenItsTabCloses()
    {
        // Tabs of one site share renderers past the second: find two on one process.
        QList<FormWeb *> pages;
        FormWeb *stuck = nullptr, *sharing = nullptr;
        for (int i = 0; i < 4 && !sharing; ++i) {
            FormWeb *p = open(QStringLiteral("/page?id=%1").arg(i), QStringLiteral("Page %1").arg(i));
            QVERIFY(waitFor([&] { return p->rendererPid() > 0; }, 10000));
            for (FormWeb *q : pages)
                if (q->rendererPid() == p->rendererPid())
                    stuck = q, sharing = p;
            pages.append(p);
        }
        QVERIFY(sharing);
        const qint64 pid = sharing->rendererPid();
        QSignalSpy checked(&m_w->pages().rendererWatch(), &RendererWatch::checked);

        // A healthy process answers: nothing is ended.
        FormWeb *extra = open(QStringLiteral("/page?id=extra"), QStringLiteral("Page extra"));
        if (extra->rendererPid() == pid) {
            m_w->pages().closePage(extra);
            QVERIFY(checked.wait(10000));
            QCOMPARE(checked.takeFirst(), (QVariantList{pid, false}));
        }
        // A page in an endless script: closing it ends its process, and the tab it held
        // up says it stopped, and comes back with F5.
        stuck->Web()->runPageScript(QStringLiteral("setTimeout(function () { document.title = 'Stuck'; for (;;) {} }, 0)"));
        QVERIFY(waitFor([&] { return m_world.label(stuck) == QStringLiteral("Stuck"); }, 10000));
        m_w->pages().closePage(stuck);
        QVERIFY(checked.wait(RendererWatch::kAnswerWithinMs + 10000));
        QCOMPARE(checked.takeFirst(), (QVariantList{pid, true}));
        QCOMPARE(m_world.shell.ended, QList<qint64>{pid});
        QVERIFY(waitFor([&] { return m_world.label(sharing) == FormWeb::kStoppedLabel; }, 10000));
        sharing->reload();
        QVERIFY(waitFor([&] { return m_world.label(sharing).startsWith(QStringLiteral("Page ")); }, 10000));
    }
};

VELMO_TEST_MAIN(TstSleep)
#include "tst_sleep.moc"
