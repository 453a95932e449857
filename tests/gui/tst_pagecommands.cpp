#include "page/pagecommands.h"
#include "app/mainmenus.h"
#include "app/mousewatch.h"
#include "page/findbar.h"
#include "page/formautoreshua.h"
#include "page/pageproperties.h"
#include "page/printpreview.h"
#include "page/selectionbar.h"
#include "support/files.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "tabs/sites.h"
#include "tabs/tabstrip.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QBuffer>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPdfView>
#include <QPushButton>
#include <QWheelEvent>

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
    void tick() { m_w->findChild<MouseWatch *>()->watch(); }
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
        m_world.dialogs.printFile.clear();
        m_world.dialogs.layoutAnswer.reset();
        m_world.dialogs.printRanges = {};
        m_w = m_world.newWindow();
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w));
    }

    void selectionBarShowsForAHeldPressOverASelection()
    {
        FormWeb *p = m_world.open(QStringLiteral("/find.html"), QStringLiteral("Find"));
        // The test's own ticks only: a real one between press and release would count too.
        m_w->findChild<QTimer *>(QStringLiteral("Timer1"))->stop();
        SelectionBar *bar = p->commands().PictMouse();
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

        // So does the wheel over the page.
        press(p, 1);
        QVERIFY(bar->shown());
        QWidget *view = p->Web()->widget()->focusProxy() ? p->Web()->widget()->focusProxy() : p->Web()->widget();
        QWheelEvent wheel(QPointF(5, 5), view->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
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

    // In the window as it opens (not maximised, below the top of the screen), the close
    // button comes to a hovered label and stays while the pointer is near the window's
    // top; it goes once the pointer is more than 130 pixels below it. A middle click on a
    // label closes that tab.
    void theCloseButtonAndTheMiddleClickInAWindowAsItOpens()
    {
        m_w->move(200, 97);
        QTRY_VERIFY(m_w->mapToGlobal(QPoint(0, 0)).y() >= 97);
        FormWeb *first = m_world.open(QStringLiteral("/page?id=1"), QStringLiteral("Page 1"));
        m_world.open(QStringLiteral("/page?id=2"), QStringLiteral("Page 2"));
        TabStrip *strip = m_w->tabStrip();
        QLineEdit *lab = strip->label(first->myindex());
        const QPoint onLabel = lab->mapToGlobal(lab->rect().center());
        QVERIFY(onLabel.y() > 130); // where the screen's measure parked the button
        QCursor::setPos(onLabel);
        QTest::mouseMove(lab, lab->rect().center());
        QTRY_VERIFY(strip->closeButton()->x() >= lab->x());
        const int placed = strip->closeButton()->x();
        tick();
        QCOMPARE(strip->closeButton()->x(), placed);
        QCursor::setPos(m_w->mapToGlobal(QPoint(300, 131)));
        tick();
        QVERIFY(strip->closeButton()->x() < 0);

        const int tabs = m_w->pages().book().count();
        QTest::mouseClick(lab, Qt::MiddleButton, {}, lab->rect().center());
        QTRY_COMPARE(m_w->pages().book().count(), tabs - 1);
        QCOMPARE(m_w->windowTitle(), QStringLiteral("Page 2 - Velmo安全浏览器"));
    }

    // The properties dialog's fields for the page in front, once it filled in.
    QHash<QString, QString> properties()
    {
        QHash<QString, QString> shown;
        onNextDialog([&shown](QDialog *dlg) {
            auto *props = qobject_cast<PageProperties *>(dlg);
            waitFor([&] { return props->field(QStringLiteral("type"))->text() != QStringLiteral("……"); }, 5000);
            for (const char *name : {"title", "address", "protocol", "type", "size", "modified", "security"})
                shown[QString::fromLatin1(name)] = props->field(QString::fromLatin1(name))->text();
            dlg->accept();
        });
        item("Attrib")->trigger();
        return shown;
    }

    void propertiesSayWhatTheReplySaid()
    {
        m_world.open(QStringLiteral("/find.html"), QStringLiteral("Find"));
        QHash<QString, QString> shown = properties();
        QCOMPARE(shown["title"], QStringLiteral("Find"));
        QCOMPARE(shown["address"], url(QStringLiteral("/find.html")));
        QCOMPARE(shown["protocol"], QStringLiteral("超文本传输协议 (HTTP)"));
        QCOMPARE(shown["type"], QStringLiteral("text/html; UTF-8"));
        const qint64 bytes = QFileInfo(QStringLiteral(VELMO_FIXTURES_DIR "/find.html")).size();
        QCOMPARE(shown["size"], QStringLiteral("%1 字节").arg(bytes));
        QCOMPARE(shown["modified"], QDateTime(QDate(2026, 12, 1), QTime(8, 0), Qt::UTC).toLocalTime().toString(QStringLiteral("yyyy年M月d日 HH:mm:ss")));
        QVERIFY(shown["security"].startsWith(QStringLiteral("未加密")));
        // A reply without a date leaves it unknown, never "now".
        m_world.open(QStringLiteral("/page?id=props"), QStringLiteral("Page props"));
        QCOMPARE(properties()["modified"], QStringLiteral("未知"));
        // A local file says its own size.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("local.html"));
        putFile(file, "<title>Local</title>" + QByteArray(3000, 'x'));
        m_w->pages().LoadNewForm(QUrl::fromLocalFile(file).toString());
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().activePage()->documentTitle(), QStringLiteral("Local"), 15000);
        shown = properties();
        QCOMPARE(shown["protocol"], QStringLiteral("本地文件 (file)"));
        QVERIFY2(shown["size"].endsWith(QStringLiteral("（3,020 字节）")), qPrintable(shown["size"]));
    }

    // The text of every page of a PDF file, and its first page's size in points.
    static QStringList pdfPages(const QString &path, QSizeF *firstPage = nullptr)
    {
        QPdfDocument doc;
        doc.load(path);
        QStringList pages;
        for (int i = 0; i < doc.pageCount(); ++i)
            pages << doc.getAllText(i).text();
        if (firstPage && doc.pageCount() > 0)
            *firstPage = doc.pagePointSize(0);
        return pages;
    }

    void printingWritesThePagesText()
    {
        m_world.open(QStringLiteral("/lines?n=150"), QStringLiteral("Lines"));
        QTemporaryDir dir;
        // Page setup is kept for printing.
        m_world.dialogs.layoutAnswer = QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10));
        item("printset")->trigger();
        // A cancelled print dialog prints nothing.
        item("Print")->trigger();
        QCOMPARE(m_world.dialogs.asked, (QStringList{"pagesetup", "print"}));
        m_world.dialogs.printFile = dir.filePath(QStringLiteral("page.pdf"));
        item("Print")->trigger();
        QVERIFY(waitFor([&] { return QFileInfo(m_world.dialogs.printFile).size() > 0; }, 15000));
        QSizeF sheet;
        const QStringList pages = pdfPages(m_world.dialogs.printFile, &sheet);
        QVERIFY(pages.size() > 3);
        QVERIFY(pages.first().contains(QStringLiteral("Line 2")));
        QVERIFY(pages.last().contains(QStringLiteral("Line 150")));
        // A5 across (595 × 420 points), to the point.
        QVERIFY2(qAbs(sheet.width() - 595) <= 1 && qAbs(sheet.height() - 420) <= 1, qPrintable(QStringLiteral("%1x%2").arg(sheet.width()).arg(sheet.height())));
        QCOMPARE(m_w->pages().activePage()->statusBar()->statusText(), QStringLiteral("网页已送去打印。"));

        // The page's own window.print() once did nothing: the same dialog, once however
        // often it asks, and never for a tab out of sight.
        m_world.dialogs.asked.clear();
        m_world.dialogs.printFile.clear();
        FormWeb *front = m_w->pages().activePage();
        front->Web()->runPageScript(QStringLiteral("for (let i = 0; i < 20; i++) window.print(); document.title = 'asked'"));
        QVERIFY(waitFor([&] { return m_world.label(front) == QStringLiteral("asked"); }, 15000));
        QVERIFY(waitFor([&] { return m_world.dialogs.asked.size() == 1; }, 5000));
        QCOMPARE(m_world.dialogs.asked, QStringList{"print"});
        FormWeb *behind = front;
        m_world.open(QStringLiteral("/page?id=front"), QStringLiteral("Page front"));
        behind->Web()->runPageScript(QStringLiteral("window.print(); document.title = 'asked behind'"));
        QVERIFY(waitFor([&] { return m_world.label(behind) == QStringLiteral("asked behind"); }, 15000));
        QCOMPARE(m_world.dialogs.asked.size(), 1);
    }

    void previewShowsThePagesAndPrintsThem()
    {
        m_world.open(QStringLiteral("/lines?n=150"), QStringLiteral("Lines"));
        item("closecd")->trigger();
        PrintPreview *preview = m_w->findChild<PrintPreview *>();
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QVERIFY(waitFor([&] { return preview->ready(); }, 15000));
        const int pages = preview->document()->pageCount();
        QVERIFY(pages > 1);
        QCOMPARE(preview->pageLabel()->text(), QStringLiteral("第 1 / %1 页").arg(pages));
        QVERIFY(!preview->previousButton()->isEnabled());
        preview->nextButton()->click();
        QCOMPARE(preview->pageLabel()->text(), QStringLiteral("第 2 / %1 页").arg(pages));
        QVERIFY(preview->previousButton()->isEnabled());
        QVERIFY(preview->document()->getAllText(pages - 1).text().contains(QStringLiteral("Line 150")));

        QTemporaryDir dir;
        m_world.dialogs.printFile = dir.filePath(QStringLiteral("preview.pdf"));
        preview->printButton()->click();
        const QStringList printed = pdfPages(m_world.dialogs.printFile);
        QCOMPARE(printed.size(), pages);
        QVERIFY(printed.last().contains(QStringLiteral("Line 150")));
        // Some pages only: drawn page by page, as for a printer, and not blank.
        m_world.dialogs.printRanges.addPage(2);
        m_world.dialogs.printFile = dir.filePath(QStringLiteral("second.pdf"));
        preview->printButton()->click();
        QPdfDocument second;
        second.load(m_world.dialogs.printFile);
        QCOMPARE(second.pageCount(), 1);
        const QImage sheet = second.render(0, QSize(200, 280)).convertToFormat(QImage::Format_Grayscale8);
        int dark = 0;
        for (int y = 0; y < sheet.height(); ++y)
            for (int x = 0; x < sheet.width(); ++x)
                dark += qGray(sheet.pixel(x, y)) < 128;
        QVERIFY(dark > 20);
        // Closing it lets it go.
        preview->close();
        QTRY_VERIFY(m_w->findChildren<PrintPreview *>().isEmpty());
    }

    void editModeTakesTypingAndGivesItBack()
    {
        FormWeb *p = m_world.open(QStringLiteral("/page?id=edit"), QStringLiteral("Page edit"));
        const auto body = [p] { return evaluateSync(p->Web(), QStringLiteral("document.body.innerText")).toString(); };
        const QString before = body();
        QWidget *view = p->Web()->widget()->focusProxy() ? p->Web()->widget()->focusProxy() : p->Web()->widget();
        const auto type = [&](const QString &text) {
            view->setFocus();
            evaluateSync(p->Web(), QStringLiteral("document.body.focus(); getSelection().collapse(document.body, 0)"));
            QTest::keyClicks(view, text);
        };
        item("EditPage")->trigger();
        QVERIFY(waitFor([&] { return evaluateSync(p->Web(), QStringLiteral("document.designMode")).toString() == QStringLiteral("on"); }, 5000));
        type(QStringLiteral("typed"));
        QVERIFY2(waitFor([&] { return body().contains(QStringLiteral("typed")); }, 5000), qPrintable(body()));
        item("EditPage")->trigger();
        QVERIFY(waitFor([&] { return evaluateSync(p->Web(), QStringLiteral("document.designMode")).toString() == QStringLiteral("off"); }, 5000));
        type(QStringLiteral("zzz"));
        // A script round trip after the keys: had they reached the text, they would show.
        QVERIFY(!body().contains(QStringLiteral("zzz")));
        QVERIFY(body().contains(before.right(5)));
    }

    void commandsOnABlankTabEndCleanly()
    {
        m_w->pages().Build();
        FormWeb *blank = m_w->pages().activePage();
        // Zoom pressed over and over: up to the bound and no further, down to 5 and no further.
        for (int i = 0; i < 10000; ++i)
            m_w->menus()->action(QStringLiteral("BigP"), 0)->trigger();
        QCOMPARE(blank->commands().BigSize(), 32760);
        for (int i = 0; i < 10000; ++i)
            m_w->menus()->action(QStringLiteral("BigP"), 1)->trigger();
        QCOMPARE(blank->commands().BigSize(), 5);
        // Find with nothing to search in.
        item("mnuViewOptions")->trigger();
        FindBar *find = blank->findChild<FindBar *>();
        find->word()->setText(QStringLiteral("word"));
        find->next();
        QVERIFY(waitFor([&] { return find->count() == QStringLiteral("0/0"); }, 5000));
        // Properties and the preview say what there is, and the window goes on.
        const QHash<QString, QString> shown = properties();
        QCOMPARE(shown["size"], QStringLiteral("未知"));
        item("closecd")->trigger();
        PrintPreview *preview = m_w->findChild<PrintPreview *>();
        QVERIFY(waitFor([&] { return preview->ready() || preview->findChild<QLabel *>()->text().startsWith(QStringLiteral("无法")); }, 15000));
        preview->close();
        // A preview closed before the engine answers drops the answer; the tab closed
        // meanwhile stays out of sight until the engine is done with it.
        FormWeb *lines = m_world.open(QStringLiteral("/lines?n=8000"), QStringLiteral("Lines"));
        item("closecd")->trigger();
        m_w->findChild<PrintPreview *>()->close();
        QTRY_VERIFY(m_w->findChildren<PrintPreview *>().isEmpty());
        m_w->pages().book().setHoverPos(m_w->pages().book().positionOf(lines->myindex()));
        m_w->pages().DelLine();
        QVERIFY(waitFor([&] { return m_world.engine->printKeeper().count() == 1; }, 5000));
        QVERIFY(waitFor([&] { return m_world.engine->printKeeper().count() == 0; }, 60000));
        FormWeb *after = m_world.open(QStringLiteral("/page?id=after"), QStringLiteral("Page after"));
        QCOMPARE(after->location(), url(QStringLiteral("/page?id=after")));

        // A preview left open while its tab closes gets its pages all the same, and prints.
        FormWeb *closing = m_world.open(QStringLiteral("/lines?n=8000"), QStringLiteral("Lines"));
        item("closecd")->trigger();
        QPointer<PrintPreview> open = m_w->findChild<PrintPreview *>();
        QVERIFY(open && !open->ready());
        m_w->pages().closePage(closing);
        QVERIFY(waitFor([&] { return open && open->ready(); }, 60000));
        QVERIFY(waitFor([&] { return m_world.engine->printKeeper().count() == 0; }, 10000));
        open->close();
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
