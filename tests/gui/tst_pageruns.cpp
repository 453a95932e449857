#include "page/pagepictures.h"
#include "app/mainmenus.h"
#include "pictures/atomicfile.h"
#include "pictures/picturename.h"
#include "support/files.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "userdata/gbktext.h"
#include "userdata/history.h"

#include <QAction>
#include <QToolButton>
#include <csignal>

// Picture runs and page lifetimes: a closed page that lingers touches no other tab, an
// exit or a reset in the middle of a run loses and corrupts nothing, buttons come back,
// files are never written over, and a page whose renderer dies says so.
class TstPageRuns : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QToolButton *button(const char *name) const { return m_w->toolbar().button(name); }
    QString folder() const { return PictureName::downloadFolder(); }
    static QStringList jpegs(const QString &dir) { return QDir(dir).entryList({QStringLiteral("*.jpg")}, QDir::Files); }
    QString label(FormWeb *p) const { return m_world.label(p); }

    FormWeb *openImages(const QString &query)
    {
        return m_world.openPictures(QStringLiteral("/imgpage?") + query, QStringLiteral("Images"));
    }
    static int counted(FormWeb *p)
    {
        return p->statusBar()->savedCounter().section(QLatin1Char(' '), -1).toInt();
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }
    void init() { m_w = m_world.newPictureWindow(); }

    void aClosedPageWaitingForItsRunTouchesNoOtherTab()
    {
        m_world.open(QStringLiteral("/page?id=first"), QStringLiteral("Page first"));
        QPointer<FormWeb> old = openImages(QStringLiteral("i=600x600xff0000&i=620x620x0000ff&i=640x640x00ff00"));
        const int oldSlot = old->myindex();
        // The page is kept busy for a while, so its run (and with it the page) outlasts what
        // the test does meanwhile: three pictures were once all saved before the lingering
        // page's script ran, under the sanitizers.
        old->Web()->runPageScript(QStringLiteral("setTimeout(function () { var t = Date.now(); while (Date.now() - t < 6000) {} }, 0)"));
        button("Command4")->click();
        m_w->pages().closePage(old);
        QVERIFY(old && old->closePending());
        // The next tab (of another site, so it loads meanwhile) takes the slot the closed
        // page had.
        FormWeb *next = m_w->pages().LoadNewForm(m_world.server.crossUrl(QStringLiteral("/page?id=next")).toString());
        QVERIFY(waitFor([&] { return label(next) == QLatin1String("Page next"); }, 15000));
        QCOMPARE(next->myindex(), oldSlot);
        // The lingering page changes its title and opens a window: the new tab keeps its
        // label and no tab is added.
        const int tabs = m_w->pages().book().count();
        QVERIFY(old);
        old->Web()->runPageScript(QStringLiteral("document.title = 'stale'; window.open('about:blank');"));
        QVERIFY(waitFor([&] { return old.isNull() || old->pageTitle() == QLatin1String("stale"); }, 10000));
        QCOMPARE(label(next), QStringLiteral("Page next"));
        QCOMPARE(m_w->pages().book().count(), tabs);
        QVERIFY(waitFor([&] { return old.isNull(); }, 20000));
        QCOMPARE(label(next), QStringLiteral("Page next"));
        QCOMPARE(m_w->pages().page(oldSlot), next);
    }

    void exitDuringARunRecordsAndFlushesEveryPage()
    {
        m_w->start({m_world.url(QStringLiteral("/pictures?n=60&w=600&h=600")), m_world.url(QStringLiteral("/page?id=beside"))});
        // The pages after the first open behind, a turn later.
        QVERIFY(waitFor([&] { return m_w->pages().pagesInTabOrder().size() == 2; }));
        FormWeb *saving = m_w->pages().pagesInTabOrder().first();
        FormWeb *beside = m_w->pages().pagesInTabOrder().last();
        QVERIFY(waitFor([&] { return label(saving) == QLatin1String("Pictures 60") && label(beside) == QLatin1String("Page beside"); }, 15000));
        QVERIFY(waitFor([&] {
            return evaluateSync(saving->Web(), QStringLiteral("Array.from(document.images).every(i => i.complete)")).toBool();
        }, 15000));
        m_w->pages().activateSlot(saving->myindex());
        button("Command4")->click();
        QVERIFY(waitFor([&] { return !jpegs(folder()).isEmpty(); }, 30000));
        QVERIFY(saving->pictures().savingPictures());
        const QString day = m_w->history().dayFile(m_world.clock.time.date(), QStringLiteral(".dat"));
        QFile::remove(day);
        m_w->close();
        flushDeletions();

        const QString records = QString::fromUtf8(fileBytes(Paths::settingsFile()));
        QVERIFY2(records.contains(QStringLiteral("/pictures?n=60")), qPrintable(records));
        QVERIFY2(records.contains(QStringLiteral("/page?id=beside")), qPrintable(records));
        const QString rows = GbkText::decode(fileBytes(day));
        QVERIFY(rows.contains(QStringLiteral(">Pictures 60</a>")));
        QVERIFY(rows.contains(QStringLiteral(">Page beside</a>")));
        // What was written stays whole.
        for (const QString &f : jpegs(folder()))
            QVERIFY(!QImage(folder() + f).isNull());
        QVERIFY(!m_world.session->pictures.runLock.held());
    }

    void aResetInTheMiddleOfARunCountsNothingBelowZero()
    {
        // Every write fails (a file is where the folder should be); the page navigates
        // its frame (a reset of what was saved) while the run goes on.
        FormWeb *p = openImages(QStringLiteral("i=600x600xff0000&i=620x620x0000ff&i=640x640x00ff00&i=660x660x00ffff"));
        QTemporaryDir dir;
        putFile(dir.path() + QStringLiteral("/file"), "x");
        bool done = false;
        p->pictures().SavePictureDisk(dir.path() + QStringLiteral("/file"), [&] { done = true; });
        // Reset again and again until the run is over.
        QVERIFY(waitFor([&] {
            if (!done)
                p->pictures().BeforeDownload();
            return done;
        }, 30000));
        QCOMPARE(p->statusBar()->savedCounter(), QStringLiteral("  自动下载图片 0"));
        // The end of the run says what it found, whatever the resets left in the field.
        QCOMPARE(p->statusBar()->pictureCount(), QStringLiteral("发现图片：4"));
        // The page saves normally after it.
        done = false;
        p->pictures().SavePictureDisk(folder(), [&] { done = true; });
        QVERIFY(waitFor([&] { return done; }, 30000));
        QCOMPARE(jpegs(folder()).size(), 4);
        QCOMPARE(counted(p), 4);
    }

    void theSaveButtonComesBackWhenItsPageGoes()
    {
        // One large picture, so the button's run goes on to every picture; the page is
        // closed meanwhile.
        QPointer<FormWeb> p = openImages(QStringLiteral("i=600x600xff0000xpngxn&i=610x610x00ff00xpngxn&i=90x90x0000ff"));
        m_w->pages().LoadNewForm(QStringLiteral("about:blank"));
        m_w->pages().activateSlot(p->myindex());
        button("Command4")->click();
        QVERIFY(!button("Command4")->isEnabled());
        p->close();
        QVERIFY(waitFor([&] { return p.isNull(); }, 30000));
        QVERIFY(waitFor([&] { return button("Command4")->isEnabled(); }, 5000));

        // A page being woken to save goes before it reloads: its caller hears the end.
        QPointer<FormWeb> back = openImages(QStringLiteral("i=600x600xff0000"));
        m_world.open(QStringLiteral("/page?id=front"), QStringLiteral("Page front"));
        QVERIFY(m_world.putToSleep(back));
        bool heard = false;
        back->pictures().SavePictureDisk(folder(), [&] { heard = true; });
        back->close();
        QVERIFY(waitFor([&] { return back.isNull(); }, 10000));
        QVERIFY(heard);
    }

    void twoRunsIntoOneFolderKeepEveryFile()
    {
        // A run of large pictures and a run of every picture, at once, in the same minute,
        // into one folder; a dialog opened meanwhile changes neither run's folder.
        FormWeb *a = openImages(QStringLiteral("i=600x600xff0000xpngxn&i=620x620x0000ffxpngxn&i=640x640x00ff00xpngxn"));
        FormWeb *b = openImages(QStringLiteral("i=700x600xff00ffxpngxn&i=720x620x00ffffxpngxn&i=100x100x000000"));
        const QString before = QDir::current().absolutePath();
        const int strays = jpegs(before).size();
        int ends = 0;
        a->pictures().SavePictureDisk(folder(), [&] { ++ends; });
        b->pictures().SavePictureForSize(folder(), [&] { ++ends; });
        connect(m_w, &Frmmain::dialogOpened, this, [](QDialog *d) { QTimer::singleShot(0, d, &QDialog::reject); });
        m_w->menus()->action(QStringLiteral("DownloadImg"))->trigger();
        QVERIFY(waitFor([&] { return ends == 2; }, 60000));
        const QStringList written = jpegs(folder());
        QCOMPARE(written.size(), 5);
        QCOMPARE(counted(a) + counted(b), written.size());
        QSet<QByteArray> distinct;
        for (const QString &f : written) {
            QVERIFY(!QImage(folder() + f).isNull());
            distinct.insert(fileBytes(folder() + f));
        }
        QCOMPARE(distinct.size(), 5);
        QCOMPARE(jpegs(before).size(), strays);
    }

    void aFileThatAppearsUnderAReservedNameIsKept()
    {
        // A name is reserved against other runs, and a file that shows up under it all
        // the same is never replaced.
        QTemporaryDir dir;
        const QString f = PictureName::folder(dir.path());
        const QDateTime when(QDate(2026, 1, 2), QTime(13, 5));
        int serial = 0, other = 0;
        const QString first = PictureName::next(f, serial, when);
        QVERIFY(PictureName::next(f, other, when) != first);
        putFile(first, "someone else's");
        QCOMPARE(AtomicFile::writeNew(first, "ours"), AtomicFile::NewFile::Exists);
        QCOMPARE(fileBytes(first), QByteArray("someone else's"));
        PictureName::release(first);
        QCOMPARE(AtomicFile::writeNew(f + QStringLiteral("new.jpg"), "ours"), AtomicFile::NewFile::Written);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary left
    }

    void aGalleryThatCannotBeWrittenLeavesThePageAsItWas()
    {
        FormWeb *p = openImages(QStringLiteral("i=600x600xff0000&raw=") + QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("javascript:alert(1)"))));
        button("Chk")->click();
        QTRY_COMPARE_WITH_TIMEOUT(p->statusBar()->pictureCount(), QStringLiteral("图片总数：3"), 10000);
        const QByteArray gallery = fileBytes(p->pictures().galleryFile());
        QVERIFY(gallery.contains("src=\"javascript:alert(1)\""));
        QVERIFY(!gallery.contains("href=\"javascript"));
        button("Chk")->click();

        // A folder where the file goes: the write fails, and the page says so.
        QFile::remove(p->pictures().galleryFile());
        QVERIFY(QDir().mkdir(p->pictures().galleryFile()));
        button("Chk")->click();
        QTRY_VERIFY_WITH_TIMEOUT(p->statusBar()->statusText().contains(QStringLiteral("图片集网页无法写入")), 10000);
        QVERIFY(QFileInfo(p->pictures().galleryFile()).isDir());
        button("Chk")->click();
        QDir().rmdir(p->pictures().galleryFile());
    }

    void aPageWhoseRendererDiesSaysSoAndReloads()
    {
        FormWeb *other = m_world.open(QStringLiteral("/page?id=other"), QStringLiteral("Page other"));
        FormWeb *p = m_world.open(QStringLiteral("/page?id=victim"), QStringLiteral("Page victim"));
        QVERIFY(waitFor([&] { return p->Web()->rendererPid() > 0; }));
        ::kill(pid_t(p->Web()->rendererPid()), SIGKILL);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), FormWeb::kStoppedLabel, 10000);
        QCOMPARE(p->statusBar()->statusText(), FormWeb::kStoppedNotice);
        // The other tab and the window keep working.
        other->navigate(m_world.url(QStringLiteral("/page?id=still")));
        QTRY_COMPARE_WITH_TIMEOUT(label(other), QStringLiteral("Page still"), 15000);
        // F5 brings it back, and the visit is not recorded twice.
        m_w->pages().activateSlot(p->myindex());
        QTest::keyClick(m_w, Qt::Key_F5);
        QTRY_COMPARE_WITH_TIMEOUT(label(p), QStringLiteral("Page victim"), 15000);
        QCOMPARE(p->visits().rows().size(), 1);
    }

    void historyThatCannotBeWrittenIsToldOnce()
    {
        m_world.open(QStringLiteral("/page?id=one"), QStringLiteral("Page one"));
        m_world.open(QStringLiteral("/page?id=two"), QStringLiteral("Page two"));
        FormWeb *last = m_world.open(QStringLiteral("/page?id=three"), QStringLiteral("Page three"));
        const QString folderPath = m_w->history().folder();
        QDir(folderPath).removeRecursively();
        putFile(folderPath, "in the way");
        auto restore = qScopeGuard([&] { QFile::remove(folderPath); });
        m_w->pages().closeShown();
        QVERIFY(m_w->pages().shownPage() != last);
        // Written away from the window: the failure is said when the writer has tried.
        const auto told = [&] { return m_w->pages().shownPage()->statusBar()->statusText(); };
        QVERIFY2(waitFor([&] { return told().contains(QStringLiteral("历史记录无法写入")); }, 5000), qPrintable(told()));
        m_w->pages().shownPage()->showStatus(QString());
        m_w->pages().closeShown();
        m_w->pages().settleHistory();
        QCoreApplication::processEvents();
        QCOMPARE(told(), QString());
    }
};

VELMO_TEST_MAIN(TstPageRuns)
#include "tst_pageruns.moc"
