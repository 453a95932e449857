#include "app/frmmain.h"
#include "app/mainmenus.h"
#include "app/mousewatch.h"
#include "tabs/sites.h"
#include "engine/engineprofile.h"
#include "engine/engineprofile.h"
#include "page/formweb.h"
#include "page/session.h"
#include "platform/paths.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "tabs/opentarget.h"
#include "tabs/stripgeometry.h"
#include "tabs/tabstrip.h"
#include "userdata/options.h"
#include "platform/settingsstore.h"

#include <memory>
#include <QAction>
#include <QMimeData>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QRawFont>
#include <QSignalSpy>
#include <QToolButton>

// The main window with the real engine on local fixture pages: titles reaching labels,
// captions and the address box; opening, closing and restoring tabs; the closed-page
// ring on disk and in the menu across a restart.
class TstMainWindow : public QObject
{
    Q_OBJECT

    TestWorld m_world; // keeps the start page off the internet too
    std::unique_ptr<Frmmain> &m_w = m_world.window;

    void newWindow(int capacity = TabBook::kCapacity) { m_world.newWindow(1000, 700, capacity); }
    QString url(const QString &path) const { return m_world.url(path); }
    QString label(int slot) const { return m_w->tabStrip()->labelText(slot); }
    QString addressText() const { return m_w->addressRow().textUrl()->currentText(); }
    QString ini() const
    {
        QFile f(Paths::settingsFile());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QString stored(const QString &key) const { return m_world.store->read(QStringLiteral("CancelPage"), key); }
    static QVariant evaluate(FormWeb *page, const QString &js) { return evaluateSync(page->Web(), js); }
    FormWeb *openAndWait(const QString &path, const QString &title) { return m_world.open(path, title); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_world.start());
        QVERIFY(!m_world.engine->offTheRecord());
        m_world.options.setHomePageUrl(Sites::kDefaultHomePage);
    }

    void init()
    {
        m_world.options.setOpenInBackground(0);
        m_world.options.setSafePictureMode(0);
        // The window before writes the pages it closed last as it goes.
        newWindow();
        m_world.store->deleteSection(QStringLiteral("CancelPage"));
    }

    void cleanupTestCase() { m_world.stop(); }

    void titleReachesLabelCaptionAndAddress()
    {
        FormWeb *p = openAndWait(QStringLiteral("/index.html"), QStringLiteral("测试首页 Fixture"));
        QLineEdit *lab = m_w->tabStrip()->existingLabel(p->myindex());
        QCOMPARE(lab->toolTip(), QStringLiteral("测试首页 Fixture"));
        QTRY_COMPARE(m_w->windowTitle(), QStringLiteral("测试首页 Fixture - Velmo安全浏览器"));
        QCOMPARE(addressText(), url(QStringLiteral("/index.html")));
        QCOMPARE(p->caption(), QStringLiteral("测试首页 Fixture"));
        QCOMPARE(p->myname(), QStringLiteral("测试首页 Fixture"));
        QTRY_COMPARE(p->statusBar()->progress(), QStringLiteral("100 %"));
        QCOMPARE(p->statusBar()->productName(), QStringLiteral("安全浏览器"));
        QCOMPARE(p->statusBar()->savedCounter(), QStringLiteral("  自动下载图片 0"));
        QCOMPARE(p->visits().rows().size(), 1);
        QCOMPARE(p->visits().rows().first().title, QStringLiteral("测试首页 Fixture"));
    }

    void untitledAndBlankPages()
    {
        FormWeb *p = m_w->pages().LoadNewForm(url(QStringLiteral("/notitle")));
        QTRY_COMPARE_WITH_TIMEOUT(label(p->myindex()), url(QStringLiteral("/notitle")), 15000);
        QTRY_COMPARE(m_w->windowTitle(), url(QStringLiteral("/notitle")) + PageText::kProductSuffix);
        QVERIFY(p->visits().rows().isEmpty()); // no document title, nothing to record

        m_w->pages().Build();
        FormWeb *blank = m_w->pages().activePage();
        QVERIFY(blank != p);
        QTRY_COMPARE_WITH_TIMEOUT(m_w->tabStrip()->existingLabel(blank->myindex())->toolTip(),
                                  PageText::kBlankToolTip, 15000);
        QCOMPARE(label(blank->myindex()), QString());
        QCOMPARE(addressText(), QStringLiteral("http://www."));
        QCOMPARE(m_w->windowTitle(), PageText::kEmptyCaption);
    }

    void newPageJoinsTheWindowWithItsTitle()
    {
        // A new tab's view stays out of the window until its title is in (or a second has
        // passed), and then joins it while the rest of the page still loads (for 20 s).
        for (const bool titled : {true, false}) {
            FormWeb *p = m_w->pages().LoadNewForm(
                url(titled ? QStringLiteral("/slow?chunks=40&ms=500") : QStringLiteral("/slow?chunks=40&ms=500&untitled=1")));
            QSignalSpy done(p->Web(), &PageControl::DocumentComplete);
            QWidget *view = p->Web()->widget();
            QVERIFY(!view->isVisible());
            if (titled)
                QTRY_COMPARE_WITH_TIMEOUT(label(p->myindex()), QStringLiteral("Slow"), 15000);
            QTRY_VERIFY_WITH_TIMEOUT(view->isVisible(), 3000);
            QCOMPARE(done.count(), 0);
        }
    }

    void hostileTitlesStayText()
    {
        FormWeb *p = m_w->pages().LoadNewForm(url(QStringLiteral("/long-title?n=10000")));
        QTRY_COMPARE_WITH_TIMEOUT(label(p->myindex()).size(), 100, 15000);
        QCOMPARE(m_w->windowTitle().size(), 100 + PageText::kProductSuffix.size());

        const QString markup = QStringLiteral("<b>粗</b> & <img src=x onerror=alert(1)>");
        FormWeb *q = m_w->pages().LoadNewForm(url(QStringLiteral("/title?t=") + QString::fromLatin1(QUrl::toPercentEncoding(markup))));
        QTRY_COMPARE_WITH_TIMEOUT(label(q->myindex()), markup, 15000);
        QCOMPARE(m_w->windowTitle(), markup + PageText::kProductSuffix);
        QVERIFY(!m_w->tabStrip()->existingLabel(q->myindex())->toolTip().contains(QStringLiteral("<img")));
    }

    void backgroundPageUpdatesOnlyItsLabel()
    {
        FormWeb *front = openAndWait(QStringLiteral("/page?id=front"), QStringLiteral("Page front"));
        m_world.options.setOpenInBackground(1);
        FormWeb *back = m_w->pages().LoadNewForm(url(QStringLiteral("/page?id=back")));
        QCOMPARE(m_w->pages().activePage(), front);
        QCOMPARE(m_w->pages().book().describe(), QStringLiteral("0* 1"));
        QTRY_COMPARE_WITH_TIMEOUT(label(back->myindex()), QStringLiteral("Page back"), 15000);
        QCOMPARE(m_w->windowTitle(), QStringLiteral("Page front - Velmo安全浏览器"));
        QCOMPARE(addressText(), url(QStringLiteral("/page?id=front")));
        QCOMPARE(m_w->pages().shownPage(), front);
        QVERIFY(m_w->tabStrip()->looksActive(front->myindex()));
        QVERIFY(!m_w->tabStrip()->looksActive(back->myindex()));
    }

    // Closing the tab in front at the left end once left the window naming the closed
    // page: Enter, 添加到收藏夹 or 复制网站地址 then acted on the wrong address.
    void closingTheTabInFrontNamesThePageNowInFront()
    {
        openAndWait(QStringLiteral("/page?id=left"), QStringLiteral("Page left"));
        FormWeb *right = openAndWait(QStringLiteral("/page?id=right"), QStringLiteral("Page right"));
        m_w->pages().activateSlot(m_w->pages().book().slotAt(0));
        QCOMPARE(addressText(), url(QStringLiteral("/page?id=left")));
        const int records = m_w->addressRow().textUrl()->count();
        m_w->menus()->action(QStringLiteral("CloseThisPage"))->trigger();
        // The record joins the list; the window names the page now in front.
        QTRY_COMPARE(m_w->addressRow().textUrl()->count(), records + 1);
        QCOMPARE(m_w->pages().shownPage(), right);
        QCOMPARE(m_w->pages().activePage(), right);
        QVERIFY(m_w->tabStrip()->looksActive(right->myindex()));
        QCOMPARE(addressText(), url(QStringLiteral("/page?id=right")));
        QCOMPARE(m_w->windowTitle(), QStringLiteral("Page right - Velmo安全浏览器"));
        // The last one goes blank, and says so at once.
        m_w->menus()->action(QStringLiteral("CloseThisPage"))->trigger();
        QCOMPARE(m_w->windowTitle(), PageText::kEmptyCaption);
        QCOMPARE(addressText(), QStringLiteral("http://www."));
        QCOMPARE(label(right->myindex()), QString());
        QTRY_COMPARE_WITH_TIMEOUT(right->location(), QStringLiteral("about:blank"), 15000);
        QCOMPARE(m_w->windowTitle(), PageText::kEmptyCaption);
        QCOMPARE(addressText(), QStringLiteral("http://www."));
    }

    // A dropped link once put its caption after the address in the box; the strip took
    // no drops at all.
    void droppedLinksAndFilesOpenAsThemselves()
    {
        FormWeb *page = openAndWait(QStringLiteral("/page?id=here"), QStringLiteral("Page here"));
        const auto drop = [](QWidget *on, const QUrl &url, const QString &caption) {
            QMimeData data;
            data.setUrls({url});
            if (!caption.isEmpty())
                data.setText(caption);
            const QPoint at(on->width() / 2, on->height() / 2);
            QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(on, &enter);
            QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(on, &dropped);
            return enter.isAccepted() && dropped.isAccepted();
        };
        const QString link = url(QStringLiteral("/page?id=dropped"));
        QVERIFY(drop(m_w->addressRow().textUrl()->lineEdit(), QUrl(link), QStringLiteral("中文测试页链接")));
        QCOMPARE(addressText(), link);
        QTRY_COMPARE_WITH_TIMEOUT(label(page->myindex()), QStringLiteral("Page dropped"), 15000);
        QCOMPARE(m_w->pages().book().count(), 1);
        // A javascript: link dropped on the box or the strip never runs in the site in front
        // (nor anywhere), and a data: one opens nothing.
        const QUrl script(QStringLiteral("javascript:document.title='ran'"));
        drop(m_w->addressRow().textUrl()->lineEdit(), script, QStringLiteral("诱人的链接"));
        drop(m_w->tabStrip()->existingLabel(page->myindex())->parentWidget(), script, QString());
        drop(m_w->tabStrip()->existingLabel(page->myindex())->parentWidget(), QUrl(QStringLiteral("data:text/html,<title>ran</title>")), QString());
        m_w->pages().openAll({QStringLiteral("javascript:document.title='ran'"), QStringLiteral("javascript:1;document.title='ran'")},
                             OpenTarget::foreground());
        // Dropped as text, it comes into the box without its javascript:.
        QMimeData text;
        text.setText(QStringLiteral("javascript:document.title='ran'"));
        m_w->addressRow().textUrl()->lineEdit()->clear();
        QDragEnterEvent textEnter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_w->addressRow().textUrl()->lineEdit(), &textEnter);
        QDropEvent textDrop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_w->addressRow().textUrl()->lineEdit(), &textDrop);
        QCOMPARE(addressText(), QStringLiteral("document.title='ran'"));
        QCOMPARE(m_w->pages().book().count(), 1);
        QCOMPARE(evaluateSync(page->Web(), QStringLiteral("document.title")).toString(), QStringLiteral("Page dropped"));
        QCOMPARE(label(page->myindex()), QStringLiteral("Page dropped"));

        // On the strip (a label passes it to the row): a tab of its own, a file too.
        QLineEdit *lab = m_w->tabStrip()->existingLabel(page->myindex());
        QVERIFY(!lab->acceptDrops());
        QVERIFY(drop(lab->parentWidget(), QUrl(url(QStringLiteral("/page?id=tab"))), QStringLiteral("链接")));
        QCOMPARE(m_w->pages().book().count(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(label(m_w->pages().activePage()->myindex()), QStringLiteral("Page tab"), 15000);
        const QString file = QStringLiteral(VELMO_FIXTURES_DIR "/form.html");
        QVERIFY(drop(lab->parentWidget(), QUrl::fromLocalFile(file), QString()));
        QCOMPARE(m_w->pages().book().count(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(label(m_w->pages().activePage()->myindex()), QStringLiteral("Form"), 15000);
    }

    void openCloseRestoreAndCloseAll()
    {
        openAndWait(QStringLiteral("/page?id=1"), QStringLiteral("Page 1"));
        openAndWait(QStringLiteral("/page?id=2"), QStringLiteral("Page 2"));
        openAndWait(QStringLiteral("/page?id=3"), QStringLiteral("Page 3"));
        QCOMPARE(m_w->pages().book().describe(), QStringLiteral("0 1 2*"));

        m_w->pages().book().setHoverPos(2);
        m_w->pages().DelLine();
        QCOMPARE(m_w->pages().book().describe(), QStringLiteral("0 1*"));
        QCOMPARE(addressText(), url(QStringLiteral("/page?id=2")));
        QCOMPARE(m_w->windowTitle(), QStringLiteral("Page 2 - Velmo安全浏览器"));
        QTRY_COMPARE(stored(QStringLiteral("Count")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("Page_1")), QStringLiteral("Page 3  ") + url(QStringLiteral("/page?id=3")));
        QCOMPARE(m_w->addressRow().textUrl()->itemText(m_w->addressRow().textUrl()->count() - 1), QStringLiteral("Page 3  ") + url(QStringLiteral("/page?id=3")));
        QAction *item = m_w->menus()->liHistory().at(0);
        QVERIFY(item->isVisible());
        QCOMPARE(item->text(), QStringLiteral("Page 3"));
        QCOMPARE(item->data().toString(), url(QStringLiteral("/page?id=3")));

        m_w->menus()->action(QStringLiteral("Cancel"))->trigger();
        QCOMPARE(m_w->pages().book().describe(), QStringLiteral("0 1 2*")); // released slot 2 reused
        QTRY_COMPARE_WITH_TIMEOUT(label(2), QStringLiteral("Page 3"), 15000);
        // Its document has arrived (a tab closed before that has no address to record).
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().page(2)->location(), url(QStringLiteral("/page?id=3")), 15000);

        m_w->menus()->action(QStringLiteral("mnuFileClose"))->trigger();
        QCOMPARE(m_w->pages().book().describe(), QStringLiteral("0*"));
        QCOMPARE(m_w->windowTitle(), PageText::kEmptyCaption);
        QCOMPARE(addressText(), QStringLiteral("http://www."));
        // The restore moved the ring's cursor back, so these records overwrite from there;
        // the tabs at positions 1 and 2 are recorded, the one kept and blanked is not.
        QTRY_COMPARE(stored(QStringLiteral("Count")), QStringLiteral("2"));
        QCOMPARE(stored(QStringLiteral("Page_1")), QStringLiteral("Page 2  ") + url(QStringLiteral("/page?id=2")));
        QCOMPARE(stored(QStringLiteral("Page_2")), QStringLiteral("Page 3  ") + url(QStringLiteral("/page?id=3")));
        QCOMPARE(m_w->closedMenuCursor(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().page(0)->Web()->LocationURL(), QStringLiteral("about:blank"), 15000);
        QTRY_COMPARE(label(0), QString());

        // The last tab is never closed: it goes blank, unrecorded, and Back brings it back.
        openAndWait(QStringLiteral("/page?id=4"), QStringLiteral("Page 4"));
        m_w->pages().closeAt(0); // the blank tab: nothing to record
        QCOMPARE(m_w->pages().book().count(), 1);
        m_w->pages().book().setHoverPos(0);
        m_w->pages().DelLine();
        QCOMPARE(m_w->pages().book().count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().activePage()->Web()->LocationURL(), QStringLiteral("about:blank"), 15000);
        m_w->pages().closedRing().writeWaiting();
        QCOMPARE(stored(QStringLiteral("Count")), QStringLiteral("2"));
        QCOMPARE(m_w->closedMenuCursor(), 2);
        m_w->pages().activePage()->goBack();
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().activePage()->Web()->LocationURL(), url(QStringLiteral("/page?id=4")), 15000);
    }

    // The stored record keeps the address encoded; the address list and the 历史 menu show
    // it as people read it, and choosing the entry opens the same page.
    void aChineseAddressReadsAsWrittenInTheListAndTheMenu()
    {
        openAndWait(QStringLiteral("/page?id=keep"), QStringLiteral("Page keep"));
        FormWeb *p = m_w->pages().LoadNewForm(url(QStringLiteral("/notitle?q=搜索 中文")));
        QTRY_VERIFY_WITH_TIMEOUT(label(p->myindex()).contains(QStringLiteral("notitle")), 15000);
        m_w->pages().closeShown();
        m_w->pages().closedRing().writeWaiting();
        const QString encoded = url(QStringLiteral("/notitle?q=%E6%90%9C%E7%B4%A2%20%E4%B8%AD%E6%96%87"));
        QVERIFY2(ini().contains(encoded), qPrintable(ini()));
        QComboBox *list = m_w->addressRow().textUrl();
        const QString entry = list->itemText(list->count() - 1);
        QVERIFY2(entry.endsWith(QStringLiteral("  ") + url(QStringLiteral("/notitle")) + QStringLiteral("?q=搜索%20中文")), qPrintable(entry));
        QAction *item = m_w->menus()->liHistory().at(0);
        QVERIFY2(item->text().contains(QStringLiteral("搜索")) && !item->text().contains(QStringLiteral("%E6")), qPrintable(item->text()));
        const int before = m_world.server.requestCount(QStringLiteral("/notitle"));
        list->setCurrentIndex(list->count() - 1);
        emit list->activated(list->count() - 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_world.server.requestCount(QStringLiteral("/notitle")), before + 1, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(QUrl(m_w->pages().activePage()->location()), QUrl(encoded), 15000);
    }

    void closedPagesSurviveARestart()
    {
        openAndWait(QStringLiteral("/page?id=keep"), QStringLiteral("Page keep"));
        openAndWait(QStringLiteral("/title?t=A%26B"), QStringLiteral("A&B"));
        m_w->close(); // shutdown records every open page
        QVERIFY(ini().contains(QStringLiteral("Page keep  ") + url(QStringLiteral("/page?id=keep"))));
        QCOMPARE(stored(QStringLiteral("Count")), QStringLiteral("2"));

        newWindow();
        m_w->pages().closedPages().load();
        m_w->start(url(QStringLiteral("/page?id=after")));
        const QVector<QAction *> items = m_w->menus()->liHistory();
        QVERIFY(items[0]->isVisible());
        QCOMPARE(items[0]->text(), QStringLiteral("A&&B")); // shown as "A&B"
        QCOMPARE(items[0]->data().toString(), url(QStringLiteral("/title?t=A%26B")));
        QCOMPARE(items[1]->text(), QStringLiteral("Page keep"));
        QVERIFY(!items[2]->isVisible());
        QCOMPARE(m_w->closedMenuCursor(), 2);

        items[1]->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(label(m_w->pages().book().activeSlot()), QStringLiteral("Page keep"), 15000);
    }

    void commandLineAndStartPage()
    {
        m_w->start(QStringLiteral("\"") + url(QStringLiteral("/page?id=quoted")) + QStringLiteral("\""));
        QTRY_COMPARE_WITH_TIMEOUT(label(0), QStringLiteral("Page quoted"), 15000);

        newWindow();
        m_w->start(QString());
        FormWeb *start = m_w->pages().activePage();
        QCOMPARE(addressText(), Sites::kStartPage);
        // The engine is asked for the marked form; closing it records nothing.
        QTRY_COMPARE_WITH_TIMEOUT(start->Web()->LocationURL(), Sites::kMarkedStartPage, 30000);
        m_w->pages().LoadNewForm(url(QStringLiteral("/page?id=x")));
        m_w->pages().book().setHoverPos(0);
        m_w->pages().DelLine();
        // The ring as read writes what waits first.
        QVERIFY(m_w->pages().closedPages().newest(1).isEmpty());
        QCOMPARE(stored(QStringLiteral("Count")), QString());
    }

    void localFilesAndNoNavigationYet()
    {
        const std::unique_ptr<PageControl> fresh(m_world.engine->newPage(nullptr, nullptr));
        QCOMPARE(fresh->LocationURL(), QString()); // nothing navigated yet
        FormWeb *p = m_w->pages().LoadNewForm(QStringLiteral(VELMO_FIXTURES_DIR) + QStringLiteral("/index.html"));
        QTRY_COMPARE_WITH_TIMEOUT(label(p->myindex()), QStringLiteral("测试首页 Fixture"), 15000);
        QVERIFY(p->Web()->LocationURL().startsWith(QStringLiteral("file:///")));
    }

    void brokenAndEndlessPagesLeaveTheWindowUsable()
    {
        FormWeb *never = m_w->pages().LoadNewForm(url(QStringLiteral("/never")));
        m_w->pages().LoadNewForm(QStringLiteral("not an address at all !!"));
        FormWeb *ok = openAndWait(QStringLiteral("/page?id=ok"), QStringLiteral("Page ok"));
        QCOMPARE(m_w->pages().book().count(), 3);
        QVERIFY(never->Web()->isBusy());
        m_w->pages().activateSlot(never->myindex());
        m_w->pages().book().setHoverPos(m_w->pages().book().activePos());
        m_w->pages().DelLine();
        QCOMPARE(m_w->pages().book().count(), 2);
        m_w->pages().activateSlot(ok->myindex());
        QCOMPARE(addressText(), url(QStringLiteral("/page?id=ok")));
    }

    void tabBeyondTheTablesIsRefused()
    {
        newWindow(2);
        m_world.server.resetCounts();
        openAndWait(QStringLiteral("/page?id=a"), QStringLiteral("Page a"));
        FormWeb *b = openAndWait(QStringLiteral("/page?id=b"), QStringLiteral("Page b"));
        QCOMPARE(m_w->pages().LoadNewForm(url(QStringLiteral("/page?id=c"))), nullptr);
        QCOMPARE(m_w->pages().book().describe(), QStringLiteral("0 1*"));
        QVERIFY(b->statusBar()->statusText().contains(QStringLiteral("标签")));
        QCOMPARE(m_world.server.requestCount(QStringLiteral("/page")), 2); // the refused page was never asked for
    }

    void stripColoursGeometryAndClicks()
    {
        FormWeb *a = openAndWait(QStringLiteral("/page?id=a"), QStringLiteral("Page a"));
        openAndWait(QStringLiteral("/page?id=b"), QStringLiteral("Page b"));
        FormWeb *c = openAndWait(QStringLiteral("/page?id=c"), QStringLiteral("Page c"));
        TabStrip *strip = m_w->tabStrip();
        const StripGeometry::TabRow row = StripGeometry::tabRow(StripGeometry::toTwips(m_w->centralWidget()->width()), 3);
        for (int pos = 0; pos < 3; ++pos) {
            QLineEdit *lab = strip->existingLabel(m_w->pages().book().slotAt(pos));
            QCOMPARE(lab->x(), StripGeometry::toPixels(row.lefts[pos]));
            QCOMPARE(lab->width(), StripGeometry::toPixels(row.labelWidth));
            const bool active = pos == 2;
            QCOMPARE(lab->palette().color(QPalette::Base), active ? QColor(Qt::white) : QColor(0, 0, 255));
            QCOMPARE(lab->palette().color(QPalette::Text), active ? QColor(Qt::black) : QColor(Qt::white));
        }
        QCOMPARE(strip->addLabel()->x(), StripGeometry::toPixels(row.addLeft));

        QTest::mouseClick(strip->existingLabel(a->myindex()), Qt::LeftButton);
        QCOMPARE(m_w->pages().activePage(), a);
        QCOMPARE(m_w->pages().shownPage(), a);
        QCOMPARE(addressText(), url(QStringLiteral("/page?id=a")));
        QCOMPARE(m_w->windowTitle(), QStringLiteral("Page a - Velmo安全浏览器"));
        QVERIFY(strip->looksActive(a->myindex()));
        QVERIFY(!strip->looksActive(c->myindex()));

        QTest::mouseMove(strip->existingLabel(c->myindex()));
        QTest::mouseDClick(strip->existingLabel(c->myindex()), Qt::LeftButton);
        QCOMPARE(m_w->pages().book().describe(), QStringLiteral("0* 1"));
        QTRY_COMPARE(stored(QStringLiteral("Page_1")), QStringLiteral("Page c  ") + url(QStringLiteral("/page?id=c")));
    }

    void addressLabelDrawsChineseWithTheWindowsFace()
    {
        // Where SimSun is missing, a serif request would load a second Chinese face just
        // for this label.
        auto *label = m_w->findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(label);
        const QString window = QRawFont::fromFont(QApplication::font(), QFontDatabase::SimplifiedChinese).familyName();
        const QString drawn = QRawFont::fromFont(label->font(), QFontDatabase::SimplifiedChinese).familyName();
        QVERIFY(!window.isEmpty());
        QVERIFY2(drawn == window || drawn == QLatin1String("SimSun"), qPrintable(drawn + " / " + window));
    }

    void backForwardButtonsFollowTheActivePage()
    {
        FormWeb *p = openAndWait(QStringLiteral("/page?id=one"), QStringLiteral("Page one"));
        auto *back = m_w->findChild<QToolButton *>(QStringLiteral("CmdPage"));
        QList<QToolButton *> pageButtons = m_w->findChildren<QToolButton *>(QStringLiteral("CmdPage"));
        QCOMPARE(pageButtons.size(), 2);
        back = pageButtons[0]->property("index").toInt() == 0 ? pageButtons[0] : pageButtons[1];
        QToolButton *forward = back == pageButtons[0] ? pageButtons[1] : pageButtons[0];
        QVERIFY(!back->isEnabled());
        p->Web()->Navigate(url(QStringLiteral("/page?id=two")));
        QTRY_VERIFY_WITH_TIMEOUT(back->isEnabled(), 15000);
        QVERIFY(!forward->isEnabled());
        back->click();
        QTRY_VERIFY_WITH_TIMEOUT(forward->isEnabled(), 15000);
        QTRY_COMPARE(label(p->myindex()), QStringLiteral("Page one"));
    }

    void signalLightFollowsSafeMode()
    {
        auto *light = m_w->findChild<QToolButton *>(QStringLiteral("Command11"));
        QAction *startSafe = m_w->menus()->action(QStringLiteral("StartSafe"));
        m_world.options.setSafePictureMode(1);
        QTRY_COMPARE_WITH_TIMEOUT(light->palette().color(QPalette::Button), QColor(Qt::yellow), 1000);
        QVERIFY(startSafe->isChecked());
        m_world.options.setSafePictureMode(0);
        QTRY_VERIFY_WITH_TIMEOUT(light->palette().color(QPalette::Button) != QColor(Qt::yellow), 1000);
        QVERIFY(!startSafe->isChecked());
    }

    void automaticScroller()
    {
        FormWeb *p = openAndWait(QStringLiteral("/tall.html"), QStringLiteral("Tall page"));
        QAction *down = m_w->menus()->action(QStringLiteral("ScreenRun"), 1);
        QAction *up = m_w->menus()->action(QStringLiteral("ScreenRun"), 0);
        down->trigger();
        QVERIFY(down->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(p, QStringLiteral("window.scrollY")).toInt() > 5, 5000);
        up->trigger(); // checking one unchecks the other
        QVERIFY(!down->isChecked());
        const int before = evaluate(p, QStringLiteral("window.scrollY")).toInt();
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(p, QStringLiteral("window.scrollY")).toInt() < before, 5000);
        up->trigger(); // unchecking stops it
        QVERIFY(!up->isChecked());
        QVERIFY(!m_w->findChild<MouseWatch *>()->findChild<QTimer *>(QStringLiteral("Timer2"))->isActive());
        // A script round trip: every scroll step sent before has landed.
        const int stopped = evaluate(p, QStringLiteral("window.scrollY")).toInt();

        m_w->menus()->action(QStringLiteral("pagedown"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(p, QStringLiteral("window.scrollY")).toInt(), stopped + 301 * 50, 5000);
        m_w->menus()->action(QStringLiteral("pageup"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(p, QStringLiteral("window.scrollY")).toInt(), stopped, 5000);
    }
};

VELMO_TEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
