#include "page/pagepictures.h"
#include "app/mainmenus.h"
#include "engine/enginedownloads.h"
#include "pictures/formimage.h"
#include "pictures/pagescreenshot.h"
#include "pictures/viewcapture.h"
#include "support/files.h"
#include "support/testenv.h"
#include "support/testworld.h"

#include <QAction>
#include <QTemporaryDir>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

// The page screenshot: the whole document in one JPEG (taller than the engine can draw
// at once), the page left as it was, the safe-mode gate, and failures said. The picture
// viewer: its steps over the gallery's list, its zoom, its page and its address dialog.
class TstScreenshot : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;
    QTemporaryDir m_dir;

    static bool near(const QColor &a, const QColor &b)
    {
        return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
    }
    // Takes a screenshot into path; the result: started, and (when started) written.
    std::pair<PagePictures::Shot, bool> shoot(FormWeb *p, const QString &path)
    {
        m_world.dialogs.saveAnswer = path;
        std::optional<bool> written;
        const PagePictures::Shot shot = p->pictures().ScreenSaveAs(m_w->windowTitle(), [&](bool ok) { written = ok; });
        if (shot == PagePictures::Shot::Started)
            [&] { QVERIFY(waitFor([&] { return written.has_value(); }, 60000)); }();
        return {shot, written.value_or(false)};
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }
    void init()
    {
        m_world.reset();
        m_w = m_world.newWindow();
    }

    void aTallPageIsOneJpegAndThePageStaysAsItWas()
    {
        FormWeb *p = m_world.open(QStringLiteral("/tall?h=20000"), QStringLiteral("Tall"));
        evaluateSync(p->Web(), QStringLiteral("window.scrollTo(0, 500)"));
        const QSize view = p->Web()->viewSize();
        const int width = evaluateSync(p->Web(), QStringLiteral("window.innerWidth")).toInt();
        const QString path = m_dir.filePath(QStringLiteral("tall.jpg"));
        QCOMPARE(shoot(p, path), std::make_pair(PagePictures::Shot::Started, true));
        QCOMPARE(m_world.dialogs.asked.last(), QStringLiteral("save:截图另存为|Tall.jpg|图像文件(BMP,JPG,GIF,PNG,TIF) (*.jpg *.bmp *.gif *.png *.tif);;全部 (*);;"
                                                                   "网页文件 (HTM,HTML) (*.htm *.html *.mhtml *.mht);;文本文件 (TXT) (*.txt)"));

        QImageReader reader(path);
        reader.setAllocationLimit(0); // larger than Qt reads by default on a scaled screen
        const QImage shot = reader.read();
        const qreal dpr = m_w->devicePixelRatioF();
        QCOMPARE(shot.size(), QSize(qRound((width + 4) * dpr), qRound(20004 * dpr)));
        QVERIFY(near(shot.pixelColor(20, 20), Qt::red));
        QVERIFY(near(shot.pixelColor(shot.width() / 2, shot.height() / 2), Qt::white));
        QVERIFY(near(shot.pixelColor(20, shot.height() - qRound(50 * dpr)), Qt::blue));
        // The page as it was: its view's size, its place, its scroll bar.
        QCOMPARE(p->Web()->viewSize(), view);
        QVERIFY(waitFor([&] { return evaluateSync(p->Web(), QStringLiteral("window.scrollY")).toInt() == 500; }));
        QCOMPARE(evaluateSync(p->Web(), QStringLiteral("document.getElementById('__velmo_screenshot_style') === null")).toBool(), true);
        QVERIFY(p->statusBar()->statusText().contains(path));
    }

    void tooTallForOnePictureIsAskedAbout()
    {
        m_w->resize(400, 500);
        FormWeb *p = m_world.open(QStringLiteral("/tall?h=70000"), QStringLiteral("Tall"));
        const QString path = m_dir.filePath(QStringLiteral("long.jpg"));
        m_world.dialogs.chooseAnswer = -1;
        QCOMPARE(shoot(p, path).second, false);
        QVERIFY(m_world.dialogs.asked.last().startsWith(QStringLiteral("choose:截图另存为|网页太长（全长 70004 像素）")));
        QVERIFY(m_world.dialogs.asked.last().endsWith(QStringLiteral("保存整个网页，分成 2 张图片（long.jpg、long-2.jpg……）/只保存第一部分")));
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(p->statusBar()->statusText().isEmpty());
        m_world.dialogs.chooseAnswer = 1;
        QCOMPARE(shoot(p, path).second, true);
        QCOMPARE(QImageReader(path).size().height(), PageScreenshot::kMaxSide);
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("long-2.jpg"))));
    }

    void aPageTallerThanAPictureIsSavedWholeInSeveral()
    {
        m_w->resize(400, 500);
        FormWeb *p = m_world.open(QStringLiteral("/stripes?h=140000"), QStringLiteral("Stripes"));
        const QString path = m_dir.filePath(QStringLiteral("whole.jpg"));
        m_world.dialogs.chooseAnswer = 0;
        QCOMPARE(shoot(p, path), std::make_pair(PagePictures::Shot::Started, true));
        const QStringList paths{path, m_dir.filePath(QStringLiteral("whole-2.jpg")), m_dir.filePath(QStringLiteral("whole-3.jpg"))};
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("whole-4.jpg"))));
        QList<QImage> parts;
        for (const QString &part : paths) {
            QImageReader reader(part);
            reader.setAllocationLimit(0);
            parts << reader.read();
            QVERIFY2(!parts.last().isNull(), qPrintable(part));
        }
        // The page's height and the 4 rows under it, each row once.
        QCOMPARE(parts[0].height() + parts[1].height() + parts[2].height(), 140004);
        QCOMPARE(parts[0].height(), PageScreenshot::kMaxSide);
        QCOMPARE(parts[1].height(), PageScreenshot::kMaxSide);
        // Each part goes on with the stripe the one before ended in: no row lost, none twice.
        const auto grey = [](const QImage &image, int row) { return qGray(image.pixel(image.width() / 2, row)); };
        const auto stripeAt = [](int documentRow) { return FixtureServer::stripeGrey(documentRow / 8); };
        for (int i = 0; i < 2; ++i) {
            const int join = (i + 1) * PageScreenshot::kMaxSide; // the next part's first document row
            QVERIFY(qAbs(grey(parts[i], parts[i].height() - 2) - stripeAt(join - 2)) < 16);
            QVERIFY(qAbs(grey(parts[i + 1], 1) - stripeAt(join + 1)) < 16);
            QVERIFY(qAbs(grey(parts[i + 1], 6) - stripeAt(join + 6)) < 16);
            QVERIFY(qAbs(grey(parts[i + 1], 13) - stripeAt(join + 13)) < 16);
        }
        for (const QString &part : paths)
            QVERIFY(p->statusBar()->statusText().contains(part));
        // A file already under a later part's name is never replaced: said instead.
        QFile::remove(path);
        QFile::remove(paths[1]);
        putFile(paths[2], "the user's own");
        QCOMPARE(shoot(p, path), std::make_pair(PagePictures::Shot::Started, false));
        QCOMPARE(fileBytes(paths[2]), QByteArray("the user's own"));
        QVERIFY(p->statusBar()->statusText().contains(QStringLiteral("没有替换")));
    }

    void safeModeSendsTheUserToTheSettingsCentre()
    {
        m_world.open(QStringLiteral("/page?id=safe"), QStringLiteral("Page safe"));
        m_world.options.setSafePictureMode(1);
        int centres = 0;
        connect(m_w, &Frmmain::dialogOpened, this, [&](QDialog *d) {
            ++centres;
            QTimer::singleShot(0, d, &QDialog::reject);
        });
        m_world.dialogs.asked.clear();
        m_w->menus()->action(QStringLiteral("PrintScreen2"))->trigger();
        QCOMPARE(m_world.dialogs.asked, QStringList{QStringLiteral("information:Velmo安全浏览器|") + PagePictures::kScreenshotSafeMode});
        QCOMPARE(centres, 1);
    }

    void failuresAreSaid()
    {
        // Nowhere to write: said, not beeped over.
        FormWeb *p = m_world.open(QStringLiteral("/page?id=w"), QStringLiteral("Page w"));
        QFile blocker(m_dir.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(shoot(p, m_dir.filePath(QStringLiteral("file/x.jpg"))).second, false);
        QVERIFY(p->statusBar()->statusText().contains(QStringLiteral("无法保存")));
        // A blank tab has nothing to take; cancelling the dialog takes nothing.
        m_w->pages().Build();
        FormWeb *blank = m_w->pages().activePage();
        QCOMPARE(shoot(blank, m_dir.filePath(QStringLiteral("blank.jpg"))).second, false);
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("blank.jpg"))));
        QCOMPARE(shoot(p, QString()).first, PagePictures::Shot::Cancelled);
    }

    void theViewerStepsAroundTheListAndZooms()
    {
        PictureList &list = m_world.session->pictures.list;
        QVector<PageImage> images;
        for (const char *colour : {"ff0000", "00ff00", "0000ff"})
            images.append({m_world.url(QStringLiteral("/picture?w=600&h=600&color=%1").arg(QLatin1String(colour))), QString(), 600, 600, QRectF()});
        list.search(images, false);
        QPointer<FormImage> viewer = new FormImage(*m_world.engine, list, m_world.dialogs, m_world.shell);
        QSignalSpy shown(viewer.data(), &FormImage::shown);
        viewer->show();
        viewer->LoadImg(images[1].src);
        QVERIFY(shown.wait(10000));
        QCOMPARE(viewer->windowTitle(), FormImage::kCaption + QStringLiteral(" - ") + images[1].src);

        // Saved through the engine's download, into the file the user chose.
        const QString saved = m_dir.filePath(QStringLiteral("viewer.png"));
        m_world.dialogs.saveAnswer = saved;
        viewer->Cmd(0)->click();
        QVERIFY(waitFor([&] { return QImage(saved).size() == QSize(600, 600); }, 15000));
        QVERIFY(QImage(saved).pixelColor(300, 300) == QColor(0, 255, 0));

        // From position 1: back to 0, back around to the last, on around to the first.
        QStringList seen;
        for (int button : {1, 1, 2, 2}) {
            viewer->Cmd(button)->click();
            QVERIFY(shown.wait(10000));
            seen << viewer->address();
        }
        QCOMPARE(seen, (QStringList{images[0].src, images[2].src, images[0].src, images[1].src}));

        // Zoom in steps of ten from 100, counted again after each picture.
        viewer->Cmd(4)->click();
        viewer->Cmd(4)->click();
        QCOMPARE(evaluateSync(viewer->Web(), QStringLiteral("document.body.style.zoom")).toString(), QStringLiteral("120%"));
        for (int i = 0; i < 3; ++i)
            viewer->Cmd(5)->click();
        QCOMPARE(evaluateSync(viewer->Web(), QStringLiteral("document.body.style.zoom")).toString(), QStringLiteral("90%"));
        viewer->Cmd(2)->click();
        QVERIFY(shown.wait(10000));
        QCOMPARE(viewer->zoom(), 100);

        // The address dialog hands web addresses to the desktop, and nothing else.
        m_world.dialogs.textAnswer = QStringLiteral("yes");
        viewer->Cmd(3)->click();
        QCOMPARE(m_world.shell.opened, QStringList{viewer->address()});

        // A hostile address stays text in the page, and the page goes with the viewer.
        const QString hostile = QStringLiteral("data:image/gif,\"><script>document.title='owned'</script>");
        viewer->LoadImg(hostile);
        QVERIFY(shown.wait(10000));
        QVERIFY(fileBytes(viewer->pageFile()).contains("&quot;&gt;&lt;script&gt;"));
        QCOMPARE(evaluateSync(viewer->Web(), QStringLiteral("document.scripts.length")).toInt(), 0);
        m_world.shell.opened.clear();
        viewer->Cmd(3)->click();
        QVERIFY(m_world.shell.opened.isEmpty());
        const QString file = viewer->pageFile();
        viewer->close();
        QVERIFY(waitFor([&] { return viewer.isNull(); }));
        QVERIFY(!QFileInfo::exists(file));
    }

    // A save the viewer asked for ends after the viewer closed: nobody is told through
    // the window that is gone.
    void aSaveEndingAfterTheViewerClosedTellsNobody()
    {
        PictureList &list = m_world.session->pictures.list;
        QPointer<FormImage> viewer = new FormImage(*m_world.engine, list, m_world.dialogs, m_world.shell);
        viewer->show();
        QPointer<QWebEngineDownloadRequest> request;
        auto watch = connect(m_world.engine->profile(), &QWebEngineProfile::downloadRequested, this,
                             [&](QWebEngineDownloadRequest *r) { request = r; });
        // The line drops halfway, well after the viewer is gone.
        viewer->LoadImg(m_world.url(QStringLiteral("/trickle?bytes=4000000&ms=30&die=1")));
        m_world.dialogs.saveAnswer = m_dir.filePath(QStringLiteral("never.png"));
        m_world.dialogs.asked.clear();
        viewer->Cmd(0)->click();
        QVERIFY(waitFor([&] { return !request.isNull(); }, 10000));
        viewer->close();
        QVERIFY(waitFor([&] { return viewer.isNull(); }));
        QVERIFY(waitFor([&] { return !request || request->isFinished(); }, 15000));
        QVERIFY(!request || request->state() != QWebEngineDownloadRequest::DownloadCompleted);
        disconnect(watch);
        QCOMPARE(m_world.dialogs.asked.filter(QStringLiteral("warning:")), QStringList());
    }

    // A claim whose request never comes ends, says so, and takes no later download of
    // the same address from the user.
    void aClaimThatIsNeverAnsweredEnds()
    {
        EngineDownloads *downloads = m_world.engine->downloads();
        downloads->setClaimMs(300);
        auto restore = qScopeGuard([downloads] { downloads->setClaimMs(EngineDownloads::kClaimMs); });
        const QUrl address = m_world.url(QStringLiteral("/download?bytes=100&name=user.bin"));
        bool claimed = false, expired = false;
        QObject owner;
        downloads->claim(address, &owner, [&](QWebEngineDownloadRequest *) { claimed = true; }, [&] { expired = true; });
        QVERIFY(waitFor([&] { return expired; }, 5000));
        // The user's own download of the address goes to the save dialog.
        m_world.dialogs.saveAnswer = m_dir.filePath(QStringLiteral("user.bin"));
        m_world.dialogs.asked.clear();
        if (!m_w->pages().activePage())
            m_w->pages().Build();
        m_w->pages().activePage()->Web()->download(address.toString());
        QVERIFY(waitFor([&] { return fileBytes(m_dir.filePath(QStringLiteral("user.bin"))).size() == 100; }, 15000));
        QVERIFY(!claimed);
        QVERIFY(!m_world.dialogs.asked.filter(QStringLiteral("save:保存文件")).isEmpty());
        // A claim whose owner is gone claims nothing either.
        {
            QObject gone;
            downloads->claim(address, &gone, [&](QWebEngineDownloadRequest *) { claimed = true; }, {});
        }
        m_world.dialogs.saveAnswer = m_dir.filePath(QStringLiteral("user2.bin"));
        // Clicked for by the user (not a burst of the page's own).
        emit m_w->pages().activePage()->Web()->UserInput();
        m_w->pages().activePage()->Web()->download(address.toString());
        QVERIFY(waitFor([&] { return fileBytes(m_dir.filePath(QStringLiteral("user2.bin"))).size() == 100; }, 15000));
        QVERIFY(!claimed);
    }

    // A page stuck in a script answers nothing: the screenshot ends as failed after a
    // while instead of keeping the page's later pictures and screenshots refused.
    void aPageStuckInAScriptEndsTheScreenshot()
    {
        FormWeb *p = m_w->pages().LoadNewForm(m_world.server.crossUrl(QStringLiteral("/title?t=stuck")).toString());
        QVERIFY(waitFor([&] { return m_world.label(p) == QStringLiteral("stuck"); }, 15000));
        p->Web()->runPageScript(QStringLiteral("setTimeout(function () { for (;;) {} }, 0)"));
        PageScreenshot shot(p->Web());
        shot.setStallMs(500);
        QSignalSpy finished(&shot, &PageScreenshot::finished);
        shot.start();
        QVERIFY(finished.wait(10000));
        QVERIFY(!finished.first().first().toBool());
        QVERIFY(!shot.running());
        // The same for a picture run's capture.
        ViewCapture capture(p->Web(), nullptr);
        capture.setStallMs(500);
        QSignalSpy ended(&capture, &ViewCapture::finished);
        capture.start({ViewCapture::Target{-1, QRectF(0, 0, 100, 100)}});
        QVERIFY(ended.wait(10000));
        QVERIFY(!capture.running());
        m_w->pages().closePage(p);
    }
};

VELMO_TEST_MAIN(TstScreenshot)
#include "tst_screenshot.moc"
