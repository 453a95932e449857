#include "app/mainmenus.h"
#include "engine/continuationcheck.h"
#include "engine/enginedownloads.h"
#include "files/downloadlist.h"
#include "files/filedialogs.h"
#include "files/formdownload.h"
#include "files/formdownloads.h"
#include "files/formhtml.h"
#include "files/keptdownloads.h"
#include "platform/filenames.h"
#include "platform/heldname.h"
#include "platform/partialfiles.h"
#include "userdata/gbktext.h"
#include "page/formweb.h"
#include "page/questionbar.h"
#include "page/pagedocument.h"
#include "support/testenv.h"
#include "support/files.h"
#include "support/testworld.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

// Files the engine is asked to download, with the real engine and the fixture server:
// where they go, what they hold, and what is left when they are cancelled or fail.
class TstDownloads : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;
    FormWeb *m_page = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;

    DownloadList *list() const { return m_w->findChild<DownloadList *>(); }
    FormDownloads *window() const { return m_w->findChild<FormDownloads *>(); }
    QString target(const QString &name) const { return m_dir->filePath(name); }
    // Clicks a link of the fixture page; the save dialog answers path.
    // The user clicks a link of the page (a click counts as the user's, so downloads one
    // after another are not a burst).
    void click(const char *id, const QString &path)
    {
        m_world.dialogs.saveAnswer = path;
        emit m_page->Web()->UserInput();
        m_page->Web()->runPageScript(QStringLiteral("document.getElementById('%1').click()").arg(QLatin1String(id)));
    }
    void userDownload(const QString &address)
    {
        emit m_page->Web()->UserInput();
        m_page->Web()->download(address);
    }
    Download *row(int i) const { return qobject_cast<Download *>(list()->rows().value(i).download.data()); }
    // Saves the fixture page with its picture to path (the type by its ending), opens the
    // file and checks that its picture comes from the file, not the server.
    void saveAndReopenWithItsPicture(const QString &path)
    {
        FormWeb *p = m_world.open(QStringLiteral("/source.html"), QStringLiteral("源码 a/b:c*d?e\\f"));
        // What the page has drawn is what is saved: its picture first.
        QVERIFY(waitFor([&] { return evaluateSync(p->Web(), QStringLiteral("document.images[0].naturalWidth")).toInt() == 50; }, 10000));
        m_world.dialogs.saveAnswer = path;
        m_w->menus()->action(QStringLiteral("mnuFileSaveAs"))->trigger();
        QVERIFY(waitFor([&] { return p->statusBar()->statusText().startsWith(QStringLiteral("网页已保存")); }, 15000));
        const int pictures = m_world.server.requestCount(QStringLiteral("/picture"));
        m_world.dialogs.openAnswer = path;
        m_w->menus()->action(QStringLiteral("mnuFileOpen"))->trigger();
        FormWeb *reopened = m_w->pages().activePage();
        QVERIFY(waitFor([&] {
            return evaluateSync(reopened->Web(), QStringLiteral("document.images.length == 1 && document.images[0].naturalWidth")).toInt() == 50;
        }, 15000));
        QCOMPARE(m_world.server.requestCount(QStringLiteral("/picture")), pictures);
    }
    bool ended(int i) const { return row(i) && row(i)->state() != Download::State::Running; }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }

    void init()
    {
        m_world.reset();
        // Every case starts with an empty downloads list (it is kept across windows).
        QFile::remove(Paths::appDir() + QStringLiteral("/Downloads.json"));
        m_dir = std::make_unique<QTemporaryDir>();
        m_w = m_world.newWindow();
        m_page = m_world.open(QStringLiteral("/downloads.html"), QStringLiteral("Downloads"));
    }

    void everyKindOfDownloadGetsItsBytes()
    {
        const QString proposedFolder = list()->proposedFolder();
        click("attachment", target(QStringLiteral("report.bin")));
        QVERIFY(waitFor([&] { return ended(0); }, 15000));
        QCOMPARE(row(0)->state(), Download::State::Done);
        QCOMPARE(fileBytes(target(QStringLiteral("report.bin"))), FixtureServer::downloadBytes(300000));
        // Proposed under the reply's own name, in the desktop's download folder or ours.
        QVERIFY(m_world.dialogs.asked.first().startsWith(QStringLiteral("save:保存文件|") + proposedFolder));
        QVERIFY(m_world.dialogs.asked.first().contains(QStringLiteral("/report.bin|")));
        // The folder used last is proposed next time.
        QCOMPARE(list()->proposedFolder(), m_dir->path());

        click("attribute", target(QStringLiteral("small.png")));
        QVERIFY(waitFor([&] { return ended(1); }, 15000));
        QCOMPARE(QImage(target(QStringLiteral("small.png"))).size(), QSize(40, 30));
        QVERIFY(m_world.dialogs.asked.last().contains(m_dir->filePath(QStringLiteral("small.png|"))));

        // The downloads window shows both, done, with the folder button.
        QVERIFY(window() && window()->isVisible());
        QCOMPARE(window()->table()->topLevelItemCount(), 2);
        QCOMPARE(window()->progressText(0), QStringLiteral("293 KB / 293 KB"));
        QCOMPARE(window()->button(0)->text(), QStringLiteral("打开文件夹"));
        window()->button(0)->click();
        QCOMPARE(m_world.shell.opened.last(), m_dir->path());
        // No program to show the folder: the row says so.
        m_world.shell.answer = false;
        window()->button(0)->click();
        m_world.shell.answer = true;
        QCOMPARE(window()->stateText(0), QStringLiteral("无法打开文件夹 %1：没有可以显示文件夹的程序").arg(m_dir->path()));
        QCOMPARE(m_page->statusBar()->statusText(), QStringLiteral("下载完成：small.png"));
    }

    void aPdfShowsInItsTabAndIsSavedAsItself()
    {
        QSignalSpy asked(m_world.engine->downloads(), &DownloadSource::requested);
        // The engine's viewer read it: the tab shows the document's own title.
        FormWeb *pdf = m_world.open(QStringLiteral("/doc.pdf"), FixtureServer::kPdfTitle);
        QVERIFY(waitFor([&] { return pdf->document().showsPdf(); }, 10000));
        QCOMPARE(asked.count(), 0);
        QVERIFY(list()->rows().isEmpty());

        // 保存网页 saves the PDF as the server sent it.
        m_world.dialogs.saveAnswer = target(QStringLiteral("saved.pdf"));
        m_w->menus()->action(QStringLiteral("mnuFileSaveAs"))->trigger();
        QVERIFY(waitFor([&] { return pdf->statusBar()->statusText().startsWith(QStringLiteral("网页已保存")); }, 15000));
        QVERIFY2(m_world.dialogs.asked.last().endsWith(QStringLiteral(".pdf|PDF 文件 (*.pdf)")), qPrintable(m_world.dialogs.asked.last()));
        QCOMPARE(fileBytes(target(QStringLiteral("saved.pdf"))), FixtureServer::pdfBytes());
        QVERIFY(list()->rows().isEmpty());

        // A PDF sent as an attachment is still a download, byte for byte.
        m_w->pages().activateSlot(m_page->myindex());
        click("pdfattachment", target(QStringLiteral("attached.pdf")));
        QVERIFY(waitFor([&] { return ended(0); }, 15000));
        QCOMPARE(row(0)->state(), Download::State::Done);
        QCOMPARE(fileBytes(target(QStringLiteral("attached.pdf"))), FixtureServer::pdfBytes());
    }

    void aBrokenTransferGoesOnFromWhereItBroke()
    {
        const QString big = target(QStringLiteral("big.bin"));
        constexpr int total = 50 * 1000 * 1000;
        constexpr int cut = total / 5 * 2;
        m_world.server.resetCounts();
        m_world.dialogs.saveAnswer = big;
        // The line breaks (a reset) at 40 %: the transfer fails, keeping its bytes.
        userDownload(m_world.url(QStringLiteral("/resumable?bytes=%1&cut=%2").arg(total).arg(cut)));
        QVERIFY(waitFor([&] { return row(0) && row(0)->state() == Download::State::Failed; }, 60000));
        QVERIFY2(row(0)->resumable(), qPrintable(DownloadList::failureText(*row(0))));
        const qint64 had = row(0)->received();
        QVERIFY(had > 0 && had <= cut);
        // Nothing under the final name but the held empty file; the bytes wait beside it.
        QCOMPARE(QFileInfo(big).size(), 0);
        QCOMPARE(QFileInfo(big + QStringLiteral(".part.download")).size(), had);
        QCOMPARE(m_page->statusBar()->statusText(), QStringLiteral("下载中断：big.bin（网络连接中断，可以在下载列表中继续）"));
        QVERIFY(waitFor([&] { return window()->button(0)->text() == QStringLiteral("继续"); }));

        // The same address asked for again is a download of its own: asked where it goes,
        // and never written into the broken one's bytes.
        const QString again = target(QStringLiteral("again.bin"));
        const int asked = m_world.dialogs.asked.size();
        m_world.dialogs.saveAnswer = again;
        userDownload(m_world.url(QStringLiteral("/resumable?bytes=%1&cut=%2").arg(total).arg(cut)));
        QVERIFY(waitFor([&] { return row(1) && row(1)->state() == Download::State::Done; }, 60000));
        QCOMPARE(m_world.dialogs.asked.size(), asked + 1);
        QCOMPARE(fileBytes(again), FixtureServer::downloadBytes(total));
        QVERIFY(row(0)->resumable());
        QCOMPARE(QFileInfo(big + QStringLiteral(".part.download")).size(), had);
        QFile::remove(again);

        window()->button(0)->click();
        QVERIFY(waitFor([&] { return row(0)->state() == Download::State::Done; }, 60000));
        QCOMPARE(fileBytes(big), FixtureServer::downloadBytes(total));
        // Asked again only for what was missing; then its last bytes are compared.
        QCOMPARE(m_world.server.rangesFrom(), (QList<qint64>{-1, -1, had, had - ContinuationCheck::kCompared}));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("big.bin")});
    }

    // The engine takes a broken transfer up by itself (the server closed the line) or at
    // 继续 (the line was reset), under the same number: it once asked a second time under
    // the server's name, and the file ended empty. Whatever the server answers the range
    // request with, the file ends exact, after one question.
    void aTransferTakenUpAgainEndsExact_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QString>("part");
        for (const bool reset : {false, true}) {
            const char *how = reset ? "reset" : "closed";
            QTest::addRow("%s, honest 206", how) << reset << QString();
            QTest::addRow("%s, a part from elsewhere", how) << reset << QStringLiteral("elsewhere");
            QTest::addRow("%s, 416", how) << reset << QStringLiteral("refused");
            QTest::addRow("%s, another version sent as 206", how) << reset << QStringLiteral("changed");
            // Alike in the bytes before the break; the server names another version.
            QTest::addRow("%s, another version alike at the break", how) << reset << QStringLiteral("alike");
        }
        // Where the version could not be told, a stretch well before the break tells.
        QTest::addRow("reset, another version alike at the break, version unknown") << true << QStringLiteral("alike&versionunknown=1");
        // A server naming no version is not gone on with: the engine starts over, and the
        // whole is one version.
        QTest::addRow("reset, no version named") << true << QStringLiteral("alike&noversion=1");
        // The check goes with the site's cookie, as the engine's requests do.
        QTest::addRow("reset, another version behind a cookie") << true << QStringLiteral("changed&needcookie=1");
        // A server that answers the check a byte at a time is not waited for.
        QTest::addRow("reset, honest 206, the check answered slowly") << true << QStringLiteral("&slowcheck=1");
    }
    void aTransferTakenUpAgainEndsExact()
    {
        QFETCH(bool, reset);
        QFETCH(QString, part);
        const QString x = target(QStringLiteral("x.bin"));
        QFile::remove(x);
        constexpr int total = 3 * 1000 * 1000;
        if (part.contains(QLatin1String("needcookie")))
            QVERIFY(m_world.open(QStringLiteral("/setcookie?v=resume"), QStringLiteral("Cookie set")));
        m_world.server.resetCounts();
        m_world.dialogs.saveAnswer = x;
        const int asked = m_world.dialogs.asked.size();
        userDownload(m_world.url(QStringLiteral("/resumable?bytes=%1&cut=%2&part=%3%4")
                                                .arg(total)
                                                .arg(total / 5 * 2)
                                                .arg(part, reset ? QString() : QStringLiteral("&close=1"))));
        if (reset) {
            QVERIFY(waitFor([&] { return row(0) && row(0)->resumable(); }, 30000));
            window()->button(0)->click();
        }
        QVERIFY(waitFor([&] { return row(0) && row(0)->state() != Download::State::Running; }, 30000));
        QCOMPARE(m_world.dialogs.asked.size(), asked + 1);
        QCOMPARE(m_w->downloads().rows().size(), 1);
        const bool startsOver = part.contains(QLatin1String("noversion"));
        if (startsOver) {
            // The second time from the start, and nothing compared.
            QCOMPARE(m_world.server.rangesFrom(), (QList<qint64>{-1, -1}));
        } else if (part.startsWith(QLatin1String("changed")) || part.startsWith(QLatin1String("alike"))) {
            // Never a mix of two versions: it fails, and keeps nothing half made.
            QCOMPARE(row(0)->state(), Download::State::Failed);
            QCOMPARE(row(0)->failure(), Download::Failure::ChangedOnServer);
            QVERIFY(DownloadList::failureText(*row(0)).contains(QStringLiteral("改变")));
            QVERIFY(waitFor([&] { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).isEmpty(); }, 5000));
            return;
        }
        QCOMPARE(row(0)->state(), Download::State::Done);
        QCOMPARE(fileBytes(x), FixtureServer::downloadBytes(total));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("x.bin")});
        // The engine asked for the rest, not the whole, the second time.
        QVERIFY(startsOver || m_world.server.rangesFrom().value(1) > 0);
    }

    void aServerThatSendsNoPartStartsOverAndACancelLeavesNothing()
    {
        const QString whole = target(QStringLiteral("whole.bin"));
        constexpr int total = 5 * 1000 * 1000;
        m_world.server.resetCounts();
        m_world.dialogs.saveAnswer = whole;
        userDownload(m_world.url(QStringLiteral("/resumable?bytes=%1&cut=%2&norange=1").arg(total).arg(total / 2)));
        QVERIFY(waitFor([&] { return row(0) && row(0)->state() == Download::State::Failed; }, 60000));
        QVERIFY(row(0)->resumable());
        window()->button(0)->click();
        QVERIFY(waitFor([&] { return row(0)->state() == Download::State::Done; }, 60000));
        // Whole and right, from the start again.
        QCOMPARE(fileBytes(whole), FixtureServer::downloadBytes(total));
        // Twice the whole, and no comparing: nothing was spliced.
        QCOMPARE(m_world.server.rangesFrom().size(), 2);

        // Broken, then cleared from the list: its bytes go too.
        const QString dropped = target(QStringLiteral("dropped.bin"));
        m_world.server.resetCounts();
        m_world.dialogs.saveAnswer = dropped;
        userDownload(m_world.url(QStringLiteral("/resumable?bytes=%1&cut=%2").arg(total).arg(total / 2)));
        QVERIFY(waitFor([&] { return row(1) && row(1)->state() == Download::State::Failed; }, 60000));
        QVERIFY(QFileInfo::exists(dropped + QStringLiteral(".part.download")));
        window()->clearButton()->click();
        QCOMPARE(window()->table()->topLevelItemCount(), 0);
        QVERIFY(waitFor([&] { return !QFileInfo::exists(dropped + QStringLiteral(".part.download")); }, 10000));
        QVERIFY(!QFileInfo::exists(dropped));
    }

    // 300 downloads a page started on its own once gave a save dialog after another: the
    // second within moments, with no click between, asks once in the tab instead.
    void aPageDownloadingInABurstAsksOnceInItsTab()
    {
        const auto burst = [](const QString &prefix) {
            return QStringLiteral("for (let i = 0; i < 5; i++) { const a = document.createElement('a');"
                                  "a.href = '/download?bytes=%1&name=%2' + i + '.bin'; a.download = '';"
                                  "document.body.appendChild(a); a.click(); }")
                .arg(1000 + prefix.size())
                .arg(prefix);
        };
        const int asked = m_world.dialogs.asked.size();
        int requested = 0;
        QObject counting;
        connect(m_world.engine->downloads(), &DownloadSource::requested, &counting, [&requested] { ++requested; });
        m_world.dialogs.saveAnswer = target(QStringLiteral("burst0.bin"));
        m_page->Web()->runPageScript(burst(QStringLiteral("burst")));
        QuestionBar *bar = m_page->questionBar();
        QVERIFY(waitFor([&] { return bar->isVisible(); }, 15000));
        QCOMPARE(bar->text(), QStringLiteral("此网页想下载多个文件"));
        // The rows of the held ones say what they wait for.
        QVERIFY(waitFor([&] { return window() && window()->stateText(1).contains(QStringLiteral("等待您")); }, 15000));
        QVERIFY(waitFor([&] { return ended(0); }, 15000));
        QCOMPARE(m_world.dialogs.asked.size(), asked + 1);
        // Allowed: the rest go beside the first, each under its own name, no dialog.
        bar->yesButton()->click();
        QVERIFY(waitFor([&] { return m_w->downloads().rows().size() == 5 && ended(4); }, 15000));
        QCOMPARE(m_world.dialogs.asked.size(), asked + 1);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(fileBytes(target(QStringLiteral("burst%1.bin").arg(i))), FixtureServer::downloadBytes(1005));

        // Refused in another page: nothing of the rest is written.
        FormWeb *other = m_world.open(QStringLiteral("/downloads.html?other"), QStringLiteral("Downloads"));
        m_world.dialogs.saveAnswer = target(QStringLiteral("no0.bin"));
        other->Web()->runPageScript(burst(QStringLiteral("no")));
        QVERIFY(waitFor([&] { return other->questionBar()->isVisible(); }, 15000));
        QVERIFY(waitFor([&] { return ended(5); }, 15000));
        other->questionBar()->noButton()->click();
        // No row of them, no byte of them.
        QVERIFY(waitFor([&] { return m_w->downloads().rows().size() == 6; }, 15000));
        QCOMPARE(m_world.dialogs.asked.size(), asked + 2);
        QVERIFY(waitFor([&] { return QDir(m_dir->path()).entryList({QStringLiteral("no*")}, QDir::Files).size() == 1; }, 5000));
        QCOMPARE(fileBytes(target(QStringLiteral("no0.bin"))), FixtureServer::downloadBytes(1002));
        // Every one of them was asked for and refused before the next case.
        QVERIFY(waitFor([&] { return requested == 10; }, 15000));
        QCOMPARE(m_w->downloads().rows().size(), 6);

        // Downloads a page's frames start (an attachment in a hidden frame, one after
        // another), and data: and blob: ones, count the same: one save dialog, then the
        // tab's question, which the tab that started them asks; the tab still closes.
        FormWeb *storm = m_world.open(QStringLiteral("/downloads.html?storm"), QStringLiteral("Downloads"));
        m_world.dialogs.saveAnswer = target(QStringLiteral("frame0.bin"));
        // The user takes longer over the dialog than a burst lasts: the engine holds the
        // page's next downloads back meanwhile, and they still count as the burst.
        m_world.dialogs.whileSaving = [this] { m_world.clock.time = m_world.clock.time.addSecs(15); };
        storm->Web()->runPageScript(QStringLiteral(
            "let n = 0; const t = setInterval(() => { if (n >= 4) { clearInterval(t); return; }"
            " const f = document.createElement('iframe'); f.style.display = 'none';"
            " f.src = '/download?bytes=700&name=frame' + (n++) + '.bin'; document.body.appendChild(f); }, 150);"
            "setTimeout(() => { for (const href of ['data:application/octet-stream,abc',"
            " URL.createObjectURL(new Blob(['xyz']))]) { const a = document.createElement('a'); a.href = href;"
            " a.download = 'made.bin'; document.body.appendChild(a); a.click(); } }, 900);"));
        QVERIFY(waitFor([&] { return storm->questionBar()->isVisible(); }, 15000));
        QVERIFY(waitFor([&] { return requested == 16; }, 20000));
        m_world.dialogs.whileSaving = nullptr;
        QCOMPARE(m_world.dialogs.asked.size(), asked + 3);
        QVERIFY(!m_page->questionBar()->isVisible());
        // A click in the page while the question stands brings no dialog either.
        emit storm->Web()->UserInput();
        storm->Web()->runPageScript(QStringLiteral("const late = document.createElement('iframe');"
                                                   "late.src = '/download?bytes=10&name=late.bin'; document.body.appendChild(late);"));
        QVERIFY(waitFor([&] { return requested == 17; }, 20000));
        QCOMPARE(m_world.dialogs.asked.size(), asked + 3);
        m_w->pages().activateSlot(storm->myindex());
        const int tabs = m_w->pages().book().count();
        m_w->pages().closeShown();
        QCOMPARE(m_w->pages().book().count(), tabs - 1);
    }

    void theListIsKeptAcrossARestart()
    {
        // A second instance, started before any of this, shares the file: whatever it
        // writes keeps this one's rows (the last writer once kept only its own).
        DownloadList other(nullptr, m_world.dialogs, *m_world.store, m_world.clock, list()->keptFile(), nullptr);
        click("attachment", target(QStringLiteral("one.bin")));
        QVERIFY(waitFor([&] { return ended(0); }, 15000));
        click("attribute", target(QStringLiteral("two.png")));
        QVERIFY(waitFor([&] { return ended(1); }, 15000));
        click("trickle", target(QStringLiteral("three.bin")));
        QVERIFY(waitFor([&] { return row(2) && row(2)->received() > 0; }, 15000));
        window()->button(2)->click();
        QVERIFY(waitFor([&] { return ended(2); }, 15000));
        QFile::remove(target(QStringLiteral("two.png")));
        other.clearList();
        QCOMPARE(KeptDownloads::fromBytes(fileBytes(list()->keptFile())).value_or(QVector<KeptDownload>()).size(), 3);

        m_w = m_world.restart();
        DownloadList &kept = m_w->downloads();
        QCOMPARE(kept.rows().size(), 3);
        QCOMPARE(kept.rows()[0].name(), QStringLiteral("one.bin"));
        QCOMPARE(kept.rows()[0].kept.end, KeptDownload::End::Done);
        QCOMPARE(kept.rows()[0].kept.size, 300000);
        QCOMPARE(kept.rows()[0].kept.address, m_world.url(QStringLiteral("/download?bytes=300000&name=report.bin")));
        QCOMPARE(kept.rows()[2].kept.end, KeptDownload::End::Cancelled);
        QCOMPARE(kept.rows()[0].kept.when, m_world.clock.now());
        // The window shows them; 打开 only for a finished file that is still there.
        // Ctrl+J, wherever the keyboard is (here the address box of the start).
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w));
        m_w->addressRow().textUrl()->setFocus();
        QVERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_J, Qt::ControlModifier);
        QVERIFY(waitFor([&] { return window() && window()->isVisible(); }, 5000));
        QCOMPARE(window()->table()->topLevelItemCount(), 3);
        // Each column holds what its heading says; the whole state is in its tool tip.
        QTreeWidgetItem *first = window()->table()->topLevelItem(0);
        const QStringList headings = [&] {
            QStringList all;
            for (int i = 0; i < window()->table()->columnCount(); ++i)
                all << window()->table()->headerItem()->text(i);
            return all;
        }();
        QCOMPARE(first->text(headings.indexOf(QStringLiteral("速度"))), QString());
        QCOMPARE(first->text(headings.indexOf(QStringLiteral("剩余时间"))), QString());
        const int state = headings.indexOf(QStringLiteral("状态"));
        QVERIFY(state > 0);
        QCOMPARE(first->text(state), QStringLiteral("已完成（%1）").arg(QLocale().toString(m_world.clock.now(), QStringLiteral("MM-dd HH:mm"))));
        QCOMPARE(window()->table()->topLevelItem(2)->text(state).left(3), QStringLiteral("已取消"));
        QCOMPARE(first->toolTip(state), first->text(state));
        QVERIFY(window()->openButton(0));
        QVERIFY(!window()->openButton(1));
        QVERIFY(!window()->openButton(2));
        window()->openButton(0)->click();
        QCOMPARE(m_world.shell.opened.last(), target(QStringLiteral("one.bin")));
        window()->button(0)->click();
        QCOMPARE(m_world.shell.opened.last(), m_dir->path());
        // 清除列表 empties it, for this run and the next.
        window()->clearButton()->click();
        QCOMPARE(window()->table()->topLevelItemCount(), 0);
        m_w = m_world.restart();
        QVERIFY(m_w->downloads().rows().isEmpty());
        m_page = m_world.open(QStringLiteral("/downloads.html"), QStringLiteral("Downloads"));
    }

    void aServersNameNeverLeadsOutOfTheFolder()
    {
        QCOMPARE(Download::plainName(QStringLiteral("../../x")), QStringLiteral("x"));
        QCOMPARE(Download::plainName(QStringLiteral("/etc/evil.txt")), QStringLiteral("evil.txt"));
        QCOMPARE(Download::plainName(QStringLiteral("..\\..\\w.txt")), QStringLiteral("w.txt"));
        QCOMPARE(Download::plainName(QStringLiteral("..")), QString());
        QCOMPARE(Download::plainName(QStringLiteral(".bashrc")), QStringLiteral("bashrc"));
        QCOMPARE(Download::plainName(QStringLiteral("a\tb\u202Ecod.exe")), QStringLiteral("abcod.exe"));
        const QString longName = Download::plainName(QString(300, QChar(u'名')) + QStringLiteral(".zip"));
        QVERIFY(longName.toUtf8().size() <= 200 && longName.endsWith(QStringLiteral(".zip")));

        // As a real reply says it: the dialog proposes a plain name.
        m_world.dialogs.saveAnswer.clear();
        click("hostile", QString());
        QVERIFY(waitFor([&] { return !m_world.dialogs.asked.isEmpty(); }, 15000));
        QVERIFY2(m_world.dialogs.asked.first().endsWith(QStringLiteral("/evil.bin|全部文件 (*)")), qPrintable(m_world.dialogs.asked.first()));
        // Cancelled in the dialog: no row, no file.
        QVERIFY(list()->rows().isEmpty());
    }

    void cancelledOrBrokenLeavesNothing()
    {
        const QString slow = target(QStringLiteral("slow.bin"));
        click("trickle", slow);
        QVERIFY(waitFor([&] { return row(0) && row(0)->received() > 0; }, 15000));
        QVERIFY(QFileInfo::exists(slow + QStringLiteral(".part.download")));
        // The name is held (another window's dialog sees it taken), its bytes not yet there.
        QCOMPARE(QFileInfo(slow).size(), 0);
        // A second transfer into the same file is refused, and says why.
        click("attachment", slow);
        QVERIFY(waitFor([&] { return m_page->statusBar()->statusText() == QStringLiteral("“slow.bin”正在下载中，请另选一个文件名。"); }, 10000));
        QCOMPARE(list()->rows().size(), 1);
        // The program exits meanwhile: asked once; no keeps it open.
        m_world.dialogs.questionAnswer = false;
        QVERIFY(!m_w->close());
        QCOMPARE(m_world.dialogs.asked.last(), QStringLiteral("question:Velmo安全浏览器|") + DownloadList::exitQuestion(1));
        QVERIFY(m_w->isVisible());
        window()->button(0)->click();
        QVERIFY(waitFor([&] { return ended(0) && !QFileInfo::exists(slow + QStringLiteral(".part.download")); }, 10000));
        QCOMPARE(row(0)->state(), Download::State::Cancelled);
        QVERIFY(!QFileInfo::exists(slow));
        // The row keeps what had come when it was cancelled.
        QVERIFY(row(0)->received() > 0);
        QVERIFY(waitFor([&] { return window()->progressText(0).startsWith(DownloadList::size(row(0)->received())); }));

        // The server drops the line halfway: a message, 继续 in the row, and nothing under the
        // final name but the held empty file.
        const QString broken = target(QStringLiteral("broken.bin"));
        click("dies", broken);
        QVERIFY(waitFor([&] { return ended(1); }, 30000));
        QCOMPARE(row(1)->state(), Download::State::Failed);
        QVERIFY(row(1)->resumable());
        QCOMPARE(QFileInfo(broken).size(), 0);
        QCOMPARE(m_page->statusBar()->statusText(), QStringLiteral("下载中断：broken.bin（网络连接中断，可以在下载列表中继续）"));
        // 清除列表: the ended rows go, the broken one with its bytes and its name.
        window()->clearButton()->click();
        QVERIFY(list()->rows().isEmpty());
        QVERIFY(waitFor([&] { return !QFileInfo::exists(broken + QStringLiteral(".part.download")); }, 10000));
        QVERIFY(!QFileInfo::exists(broken));

        // Yes to the exit question ends what runs and closes.
        click("trickle", target(QStringLiteral("last.bin")));
        QVERIFY(waitFor([&] { return row(0) && row(0)->received() > 0; }, 15000));
        m_world.dialogs.questionAnswer = true;
        QVERIFY(m_w->close());
        QVERIFY(waitFor([&] { return ended(0) && !QFileInfo::exists(target(QStringLiteral("last.bin.part.download"))); }, 10000));
        QVERIFY(!QFileInfo::exists(target(QStringLiteral("last.bin"))));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // An address handed over from outside (a link in a mail) that is a download: the tab
    // made for it goes once the download runs; a page that had its own document stays.
    void aDownloadHandedOverLeavesNoEmptyTab()
    {
        const int tabs = m_w->pages().book().count();
        m_world.dialogs.saveAnswer = target(QStringLiteral("handed.bin"));
        m_w->openFromOutside({m_world.url(QStringLiteral("/download?bytes=1000&name=handed.bin"))});
        QVERIFY(waitFor([&] { return row(0) && row(0)->state() == Download::State::Done; }, 15000));
        QTRY_COMPARE_WITH_TIMEOUT(m_w->pages().book().count(), tabs, 5000);
        QCOMPARE(m_w->pages().activePage(), m_page);
        QCOMPARE(fileBytes(target(QStringLiteral("handed.bin"))), FixtureServer::downloadBytes(1000));
        // From a page with a document of its own: the page stays.
        click("attachment", target(QStringLiteral("kept.bin")));
        QVERIFY(waitFor([&] { return ended(1); }, 15000));
        QCOMPARE(m_w->pages().book().count(), tabs);
        QVERIFY(m_w->pages().activePage() == m_page);
        QCOMPARE(m_page->location(), m_world.url(QStringLiteral("/downloads.html")));
    }

    // A second instance of the browser (its own engine storage, its own downloads) saving
    // to the same name as the first, which finishes later: the first window's file is
    // not replaced by the one it never held, and its row says where its bytes went.
    void twoInstancesNeverReplaceEachOthersFile()
    {
        EngineProfile second;
        QVERIFY(second.storagePath() != m_world.engine->storagePath());
        second.profile()->setUrlRequestInterceptor(&m_world.blocker);
        Session session(*m_world.store, m_world.options, second, m_world.shell, m_world.dialogs, m_world.clock,
                        m_world.memory);
        {
            Frmmain other(session);
            other.show();
            const QString name = target(QStringLiteral("same.bin"));
            click("trickle", name); // 4 MB, slowly, in the first window
            QVERIFY(waitFor([&] { return row(0) && row(0)->received() > 0; }, 15000));
            QVERIFY(QFileInfo::exists(name));

            // The second window takes the same name (its dialog asked before replacing)
            // and is done first.
            m_world.dialogs.saveAnswer = name;
            FormWeb *page = other.pages().LoadNewForm(m_world.url(QStringLiteral("/download?bytes=300000&name=same.bin")));
            QVERIFY(page);
            DownloadList *otherList = other.findChild<DownloadList *>();
            QVERIFY(waitFor([&] { return !otherList->rows().isEmpty() && otherList->rows()[0].download
                                         && otherList->rows()[0].download->state() == Download::State::Done; }, 15000));
            QCOMPARE(fileBytes(name), FixtureServer::downloadBytes(300000));

            QVERIFY(waitFor([&] { return ended(0); }, 30000));
            QCOMPARE(row(0)->state(), Download::State::Done);
            QCOMPARE(fileBytes(name), FixtureServer::downloadBytes(300000));
            const QString moved = target(QStringLiteral("same (2).bin"));
            QCOMPARE(row(0)->path(), moved);
            QCOMPARE(fileBytes(moved), FixtureServer::downloadBytes(4000000));
            QCOMPARE(window()->table()->topLevelItem(0)->text(0), QStringLiteral("same (2).bin"));
            QCOMPARE(window()->stateText(0), QStringLiteral("已完成，另存为“same (2).bin”"));
            QCOMPARE(m_page->statusBar()->statusText(), QStringLiteral("下载完成：same (2).bin（“same.bin”已被另一个下载占用，没有替换它）"));
            QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                     (QStringList{QStringLiteral("same (2).bin"), QStringLiteral("same.bin")}));
        }
        flushDeletions();
        second.profile()->setUrlRequestInterceptor(nullptr);
    }

    // What a killed instance left of its transfers goes at the next start: exactly the
    // files its list names, never a file found by its name alone, never a held name that
    // got bytes of the user's since, never what a running instance lists.
    void partialFilesOfAKilledInstanceGoAtTheNextStart()
    {
        const QString killed = Paths::engineStorageDir() + QStringLiteral("/instance-7");
        QVERIFY(QDir().mkpath(killed));
        PartialFiles list(EngineDownloads::partialList(killed));
        putFile(target(QStringLiteral("a.bin.part.download")), QByteArray(2000, 'a'));
        putFile(target(QStringLiteral("a.bin")), QByteArray());
        putFile(target(QStringLiteral("b.bin")), QByteArray());
        putFile(target(QStringLiteral("mine.download")), "the user's");
        const HeldName a = HeldName::hold(target(QStringLiteral("a.bin")));
        const HeldName b = HeldName::hold(target(QStringLiteral("b.bin")));
        QVERIFY(list.addHeld(a.path(), a.device(), a.inode()));
        QVERIFY(list.addHeld(b.path(), b.device(), b.inode()));
        QVERIFY(list.addPartial(target(QStringLiteral("a.bin.part.download"))));
        QVERIFY(list.addPartial(target(QStringLiteral("gone.part.download"))));
        putFile(target(QStringLiteral("b.bin")), "filled since"); // same file, bytes of the user's
        // A running instance's list (ours) is left alone.
        const QString running = EngineDownloads::partialList(m_world.engine->storagePath());
        const QByteArray ownList = fileBytes(running);
        putFile(target(QStringLiteral("ours.part.download")), "running");
        PartialFiles(running).addPartial(target(QStringLiteral("ours.part.download")));
        {
            EngineProfile next;
        }
        QStringList left = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
        left.sort();
        QCOMPARE(left, (QStringList{QStringLiteral("b.bin"), QStringLiteral("mine.download"), QStringLiteral("ours.part.download")}));
        QCOMPARE(fileBytes(target(QStringLiteral("b.bin"))), QByteArray("filled since"));
        QVERIFY(!QFileInfo::exists(EngineDownloads::partialList(killed)));
        QVERIFY(PartialFiles(running).forget(target(QStringLiteral("ours.part.download"))));
        QCOMPARE(fileBytes(running), ownList);
    }

    void aFullDiskSaysSo()
    {
        SmallDisk disk(512);
        if (!disk.mounted())
            QSKIP("mounting a small disk needs root");
        click("trickle", disk.path() + QStringLiteral("/big.bin")); // 4 MB onto 512 KB
        QVERIFY(waitFor([&] { return ended(0); }, 30000));
        QCOMPARE(row(0)->state(), Download::State::Failed);
        QCOMPARE(m_page->statusBar()->statusText(), QStringLiteral("下载失败：big.bin（磁盘空间不足）"));
        QVERIFY(waitFor([&] { return QDir(disk.path()).entryList(QDir::Files).isEmpty(); }, 10000));
        // Kept for the next run, with how it ended.
        const auto kept = KeptDownloads::fromBytes(fileBytes(list()->keptFile())).value_or(QVector<KeptDownload>());
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept[0].end, KeptDownload::End::Failed);
        QCOMPARE(kept[0].failure, QStringLiteral("磁盘空间不足"));
    }

    // A list its own disk refused once lost the row that ended then; it is written
    // again once there is room.
    void aListTheDiskRefusedIsWrittenOnceThereIsRoom()
    {
        SmallDisk disk(64);
        if (!disk.mounted())
            QSKIP("mounting a small disk needs root");
        const QString file = disk.path() + QStringLiteral("/Downloads.json");
        const auto row = [](const QString &name) {
            return KeptDownload{QStringLiteral("/tmp/") + name, QStringLiteral("http://a.example/") + name, 1, 1,
                                KeptDownload::End::Done, QString(), QDateTime(QDate(2026, 12, 1), QTime(8, 0))};
        };
        putFile(file, KeptDownloads::toBytes({row(QStringLiteral("a")), row(QStringLiteral("b"))}));
        DownloadList list(nullptr, m_world.dialogs, *m_world.store, m_world.clock, file, nullptr);
        list.setKeepAgainMs(50);
        // Another instance adds its row; then the disk fills up.
        putFile(file, KeptDownloads::toBytes({row(QStringLiteral("a")), row(QStringLiteral("b")), row(QStringLiteral("c"))}));
        const QByteArray before = fileBytes(file);
        disk.fill();
        list.clearList();
        QCOMPARE(fileBytes(file), before);
        disk.freeUp();
        QVERIFY(waitFor([&] { return KeptDownloads::fromBytes(fileBytes(file)).value_or(QVector<KeptDownload>()).size() == 1; }, 5000));
        QCOMPARE(KeptDownloads::fromBytes(fileBytes(file))->value(0).path, QStringLiteral("/tmp/c"));
    }

    void theDownloadDialogHandsItsAddressOn()
    {
        m_w->menus()->action(QStringLiteral("DownLoadFile"))->trigger();
        auto *dialog = m_w->findChild<FormDownload *>();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(dialog->CombUrl()->currentText(), QStringLiteral("http://"));
        // Copied text is picked up only when it starts with "http", as the focus really
        // comes to the address box (from the keyboard, leaving another box).
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        const auto focusAddress = [&] {
            dialog->Text1()->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(dialog->Text1()->hasFocus());
            QTest::keyClick(dialog->Text1(), Qt::Key_Backtab);
            QTRY_VERIFY(dialog->CombUrl()->lineEdit()->hasFocus());
        };
        QGuiApplication::clipboard()->setText(QStringLiteral("ftp://example/x.bin"));
        focusAddress();
        QCOMPARE(dialog->CombUrl()->currentText(), QStringLiteral("http://"));
        const QString address = m_world.url(QStringLiteral("/download?bytes=1234&name=server.bin"));
        QGuiApplication::clipboard()->setText(address);
        focusAddress();
        QCOMPARE(dialog->CombUrl()->currentText(), address);
        QCOMPARE(dialog->Text2()->text(), QStringLiteral("download?bytes=1234&name=server.bin"));
        dialog->CombUrl()->setEditText(QStringLiteral("http://a.b/c/"));
        QCOMPARE(dialog->Text2()->text(), QString());
        dialog->download(); // 14 characters: refused, the dialog stays
        QVERIFY(dialog->isVisible());

        // Handed on with the dialog's folder and name proposed.
        dialog->CombUrl()->setEditText(address);
        dialog->Text1()->setText(m_dir->path());
        dialog->Text2()->setText(QStringLiteral("mine.bin"));
        m_world.dialogs.saveAnswer = target(QStringLiteral("mine.bin"));
        QPointer<FormDownload> gone(dialog);
        dialog->download();
        QVERIFY(waitFor([&] { return gone.isNull() && ended(0); }, 15000));
        QCOMPARE(m_world.dialogs.asked.last(), QStringLiteral("save:保存文件|") + target(QStringLiteral("mine.bin")) + QStringLiteral("|全部文件 (*)"));
        QCOMPARE(fileBytes(target(QStringLiteral("mine.bin"))), FixtureServer::downloadBytes(1234));
    }

    void sourceIsShownAsTextFoundAndSaved()
    {
        FormWeb *p = m_world.open(QStringLiteral("/source.html"), QStringLiteral("源码 a/b:c*d?e\\f"));
        m_w->menus()->action(QStringLiteral("yuan"))->trigger();
        QVERIFY(waitFor([&] { return !m_w->findChildren<FormHtml *>().isEmpty(); }, 10000));
        FormHtml *viewer = m_w->findChildren<FormHtml *>().last();
        const QString markup = evaluateSync(p->Web(), QStringLiteral("document.documentElement.innerHTML")).toString();
        QCOMPARE(viewer->Text1()->toPlainText(), markup);
        QVERIFY(markup.contains(QStringLiteral("&lt;not a tag&gt;")));
        QCOMPARE(viewer->Text2()->text(), m_world.url(QStringLiteral("/source.html")));
        QCOMPARE(viewer->Text3()->text(), QStringLiteral("源码 a/b:c*d?e\\f"));

        // Find ignores case and always starts at the beginning: asked again, from wherever
        // the cursor stands, it selects the same first match.
        m_world.dialogs.textAnswer = QStringLiteral("<A ID");
        QVERIFY(viewer->find());
        QCOMPARE(viewer->Text1()->textCursor().selectedText(), QStringLiteral("<a id"));
        m_world.dialogs.textAnswer = QStringLiteral("p");
        const int first = int(markup.indexOf(QLatin1Char('p'), 0, Qt::CaseInsensitive));
        QVERIFY(first >= 0 && markup.indexOf(QLatin1Char('p'), first + 1, Qt::CaseInsensitive) > first);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(viewer->find());
            QCOMPARE(viewer->Text1()->textCursor().selectionStart(), first);
        }
        QTextCursor later = viewer->Text1()->textCursor();
        later.setPosition(int(markup.size()) - 1);
        viewer->Text1()->setTextCursor(later);
        QVERIFY(viewer->find());
        QCOMPARE(viewer->Text1()->textCursor().selectionStart(), first);
        m_world.dialogs.textAnswer = QStringLiteral("nowhere");
        QVERIFY(!viewer->find());

        // Saved in the character set its markup declares (UTF-8 here) with a closing
        // CR LF, under the cleaned title; opened again, it is the page.
        m_world.dialogs.saveAnswer = target(QStringLiteral("source.html"));
        viewer->save();
        QVERIFY(m_world.dialogs.asked.last().startsWith(QStringLiteral("save:保存源文件|源码 a b：c，d？ef.txt|文本文件")));
        const QByteArray bytes = fileBytes(target(QStringLiteral("source.html")));
        QVERIFY(bytes.endsWith("\r\n") && bytes.contains("\xe4\xb8\xad\xe6\x96\x87")); // 中文 in UTF-8
        QCOMPARE(QString::fromUtf8(bytes.chopped(2)), markup);
        m_world.dialogs.openAnswer = target(QStringLiteral("source.html"));
        m_w->menus()->action(QStringLiteral("mnuFileOpen"))->trigger();
        FormWeb *reopened = m_w->pages().activePage();
        QTRY_COMPARE_WITH_TIMEOUT(m_world.label(reopened), QStringLiteral("源码 a/b:c*d?e\\f"), 15000);
        QCOMPARE(evaluateSync(reopened->Web(), QStringLiteral("document.body.innerText")).toString().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("中文内容 <not a tag> 😀"));
        // Markup declaring nothing (or a GB set) is written as GB18030.
        QCOMPARE(FileDialogs::sourceBytes(QStringLiteral("<p>中文</p>")), QByteArray("<p>\xd6\xd0\xce\xc4</p>\r\n"));
        QCOMPARE(FileDialogs::sourceBytes(QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"><p>中文</p>")),
                 GbkText::encode(QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"><p>中文</p>\r\n")));
        QCOMPARE(FileDialogs::sourceBytes(QStringLiteral("<META CHARSET='Big5'><p>中文</p>")).mid(21), QByteArray("<p>\xa4\xa4\xa4\xe5</p>\r\n"));
        QCOMPARE(FileDialogs::sourceBytes(QStringLiteral("<meta charset=nonsense><p>中文</p>")),
                 GbkText::encode(QStringLiteral("<meta charset=nonsense><p>中文</p>\r\n")));
        m_w->pages().activateSlot(p->myindex());

        // The selection's source has its own caption.
        evaluateSync(p->Web(), QStringLiteral("getSelection().selectAllChildren(document.getElementById('anchor'))"));
        m_w->menus()->action(QStringLiteral("yuanBu"))->trigger();
        QVERIFY(waitFor([&] { return m_w->findChildren<FormHtml *>().size() == 2; }, 10000));
        FormHtml *part = m_w->findChildren<FormHtml *>().last();
        QCOMPARE(part->windowTitle(), QStringLiteral("源文件 - 选中区域"));
        QCOMPARE(part->Text1()->toPlainText(), QStringLiteral("link"));
        QCOMPARE(FileNames::fromText(QStringLiteral("\"a<b>|\"")), QStringLiteral("'a[b]I'"));
    }

    // A page saved complete under a Chinese name links its parts by that name; under a
    // locale the system does not have (run so by CTest as well) too.
    void aCompletePageUnderAChineseNameKeepsItsPictures()
    {
        const QString saved = target(QStringLiteral("中文 网页.html"));
        saveAndReopenWithItsPicture(saved);
        const QString html = QString::fromUtf8(fileBytes(saved));
        QVERIFY2(html.contains(QStringLiteral("src=\"./中文 网页_files/")), qPrintable(html.left(600)));
    }

    void savedPageOpensWithItsPictures()
    {
        saveAndReopenWithItsPicture(target(QStringLiteral("page.mhtml")));

        // As text: the words the page shows, in GB18030.
        m_w->pages().activateSlot(m_w->pages().book().slotAt(1));
        m_world.dialogs.saveAnswer = target(QStringLiteral("page.txt"));
        m_w->menus()->action(QStringLiteral("mnuFileSaveAs"))->trigger();
        QVERIFY(waitFor([&] { return QFileInfo::exists(target(QStringLiteral("page.txt"))); }, 10000));
        QVERIFY(GbkText::decode(fileBytes(target(QStringLiteral("page.txt")))).startsWith(QStringLiteral("中文内容 <not a tag> 😀")));
        // Cancelled dialogs leave no file and no tab.
        const int tabs = m_w->pages().book().count();
        m_world.dialogs.openAnswer.clear();
        m_w->menus()->action(QStringLiteral("mnuFileOpen"))->trigger();
        QCOMPARE(m_w->pages().book().count(), tabs);
    }
};

VELMO_TEST_MAIN(TstDownloads)
#include "tst_downloads.moc"
