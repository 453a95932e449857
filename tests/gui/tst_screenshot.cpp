#include "app/mainmenus.h"
#include "pictures/formimage.h"
#include "pictures/pagescreenshot.h"
#include "support/files.h"
#include "support/testenv.h"
#include "support/testworld.h"

#include <QAction>
#include <QTemporaryDir>

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
    std::pair<FormWeb::Shot, bool> shoot(FormWeb *p, const QString &path)
    {
        m_world.dialogs.saveAnswer = path;
        std::optional<bool> written;
        const FormWeb::Shot shot = p->ScreenSaveAs(m_w->windowTitle(), [&](bool ok) { written = ok; });
        if (shot == FormWeb::Shot::Started)
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
        QCOMPARE(shoot(p, path), std::make_pair(FormWeb::Shot::Started, true));
        QCOMPARE(m_world.dialogs.asked.last(), QStringLiteral("save:截图另存为|Tall.jpg|图片文件 (*.jpg *.jpeg)"));

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
        m_world.dialogs.questionAnswer = false;
        QCOMPARE(shoot(p, path).second, false);
        QVERIFY(m_world.dialogs.asked.last().startsWith(QStringLiteral("question:")));
        QVERIFY(!QFileInfo::exists(path));
        m_world.dialogs.questionAnswer = true;
        QCOMPARE(shoot(p, path).second, true);
        QCOMPARE(QImageReader(path).size().height(), PageScreenshot::kMaxSide);
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
        QCOMPARE(m_world.dialogs.asked, QStringList{QStringLiteral("information:Velmo安全浏览器|") + FormWeb::kScreenshotSafeMode});
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
        QCOMPARE(shoot(p, QString()).first, FormWeb::Shot::Cancelled);
    }

    void theViewerStepsAroundTheListAndZooms()
    {
        PictureList &list = m_world.session->pictures.list;
        QVector<PageImage> images;
        for (const char *colour : {"ff0000", "00ff00", "0000ff"})
            images.append({m_world.url(QStringLiteral("/picture?w=600&h=600&color=%1").arg(QLatin1String(colour))), QString(), 600, 600, QRectF()});
        list.search(images, false);
        QPointer<FormImage> viewer = new FormImage(m_world.engine->profile(), list, m_world.dialogs, m_world.shell);
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
};

VELMO_TEST_MAIN(TstScreenshot)
#include "tst_screenshot.moc"
