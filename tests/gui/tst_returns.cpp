#include "page/formweb.h"
#include "support/testenv.h"
#include "support/testworld.h"

#include <QMessageBox>
#include <QPushButton>

// Going back, forward and again: a sent form is never sent again without a question, the
// keys and mouse buttons every browser has, addresses from the command line in their
// order, and Chinese in Qt's own buttons and the engine's own pages.
class TstReturns : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QString url(const QString &path) const { return m_world.url(path); }
    int posts() const { return m_world.server.postCount(QStringLiteral("/posted")); }
    // Loads path in the page and waits for its label.
    void go(FormWeb *p, const QString &path, const QString &title)
    {
        p->navigate(url(path));
        QVERIFY(waitFor([&] { return m_world.label(p) == title && !p->Web()->isBusy(); }, 10000));
    }
    bool settled(FormWeb *p, const QString &path, const QString &title)
    {
        const bool ok = waitFor([&] { return p->location() == url(path) && m_world.label(p) == title && !p->Web()->isBusy(); }, 10000);
        return ok;
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }

    void init()
    {
        m_world.reset();
        m_w = m_world.newWindow();
    }

    void sendingAFormAgainIsAsked()
    {
        FormWeb *p = m_world.open(QStringLiteral("/form.html"), QStringLiteral("Form"));
        p->Web()->runPageScript(QStringLiteral("document.getElementById('post').submit()"));
        QVERIFY(settled(p, QStringLiteral("/posted"), QStringLiteral("Posted 1")));
        const QString asked = QStringLiteral("question:Velmo安全浏览器|") + NavigationGuard::kResendQuestion;

        // No: the page stays as it is and nothing is sent.
        m_world.dialogs.questionAnswer = false;
        p->reload();
        QCOMPARE(m_world.dialogs.asked, QStringList{asked});
        QVERIFY(!p->Web()->isBusy());
        // Yes: sent again, as the user said.
        m_world.dialogs.questionAnswer = true;
        p->reload();
        QVERIFY(settled(p, QStringLiteral("/posted"), QStringLiteral("Posted 2")));
        QCOMPARE(posts(), 2);

        // Back to the form's answer asks as well; a page reached by a link does not.
        go(p, QStringLiteral("/page?id=after"), QStringLiteral("Page after"));
        m_world.dialogs.asked.clear();
        m_world.dialogs.questionAnswer = false;
        p->goBack();
        QCOMPARE(m_world.dialogs.asked, QStringList{asked});
        QCOMPARE(p->location(), url(QStringLiteral("/page?id=after")));
        p->reload();
        QVERIFY(settled(p, QStringLiteral("/page?id=after"), QStringLiteral("Page after")));
        QCOMPARE(m_world.dialogs.asked.size(), 1);
        QCOMPARE(posts(), 2);

        // A form sent by GET is only an address: reloading it asks nothing.
        FormWeb *search = m_world.open(QStringLiteral("/form.html"), QStringLiteral("Form"));
        search->Web()->runPageScript(QStringLiteral("document.getElementById('get').submit()"));
        QVERIFY(settled(search, QStringLiteral("/page?id=searched"), QStringLiteral("Page searched")));
        search->reload();
        QVERIFY(waitFor([&] { return m_world.server.requestCount(QStringLiteral("/page")) >= 3; }, 10000));
        QCOMPARE(m_world.dialogs.asked.size(), 1);
    }

    void altArrowsAndMouseButtonsStepThroughHistory()
    {
        FormWeb *p = m_world.open(QStringLiteral("/page?id=one"), QStringLiteral("Page one"));
        go(p, QStringLiteral("/page?id=two"), QStringLiteral("Page two"));
        go(p, QStringLiteral("/page?id=three"), QStringLiteral("Page three"));
        QWidget *input = p->Web()->inputWidget();
        QTest::keyClick(input, Qt::Key_Left, Qt::AltModifier);
        QVERIFY(settled(p, QStringLiteral("/page?id=two"), QStringLiteral("Page two")));
        QTest::mouseClick(p->Web()->inputWidget(), Qt::BackButton, {}, QPoint(20, 20));
        QVERIFY(settled(p, QStringLiteral("/page?id=one"), QStringLiteral("Page one")));
        QTest::mouseClick(p->Web()->inputWidget(), Qt::ForwardButton, {}, QPoint(20, 20));
        QVERIFY(settled(p, QStringLiteral("/page?id=two"), QStringLiteral("Page two")));
        QTest::keyClick(p->Web()->inputWidget(), Qt::Key_Right, Qt::AltModifier);
        QVERIFY(settled(p, QStringLiteral("/page?id=three"), QStringLiteral("Page three")));
    }

    void commandLineAddressesOpenInTheirOrder()
    {
        m_w->start(QStringList{url(QStringLiteral("/page?id=a")), url(QStringLiteral("/page?id=b")), url(QStringLiteral("/page?id=c"))});
        const TabBook &book = m_w->pages().book();
        // The first at once, in front; the others behind it, one a turn.
        QCOMPARE(book.count(), 1);
        QVERIFY(waitFor([&] { return book.count() == 3; }));
        QCOMPARE(book.activePos(), 0);
        for (int pos = 0; pos < 3; ++pos) {
            const QString title = QStringLiteral("Page ") + QChar(u'a' + pos);
            QVERIFY(waitFor([&] { return m_w->tabStrip()->labelText(book.slotAt(pos)) == title; }, 10000));
        }
    }

    void qtAndTheEngineSpeakChinese()
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Velmo安全浏览器"), QStringLiteral("?"),
                        QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));

        // The engine's error page for a port nobody listens on.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString address = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
        closed.close();
        FormWeb *p = m_w->pages().LoadNewForm(address);
        QVERIFY(waitFor([&] { return !p->Web()->isBusy() && p->loadedOnce(); }, 15000));
        QVERIFY(waitFor([&] { return !evaluateSync(p->Web(), QStringLiteral("document.body.innerText")).toString().isEmpty(); }, 10000));
        const QString text = evaluateSync(p->Web(), QStringLiteral("document.body.innerText")).toString();
        QCOMPARE(evaluateSync(p->Web(), QStringLiteral("navigator.language")).toString(), QStringLiteral("zh-CN"));
        QVERIFY2(text.contains(QStringLiteral("无法访问")), qPrintable(text.left(200)));
    }
};

VELMO_TEST_MAIN(TstReturns)
#include "tst_returns.moc"
