#include "app/openpageskeeper.h"
#include "page/pagepictures.h"
#include "app/mainmenus.h"
#include "pictures/formdownimage.h"
#include "pictures/formimage.h"
#include "pictures/gallerypage.h"
#include "pictures/picturename.h"
#include "support/files.h"
#include "support/testenv.h"
#include "support/testworld.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

// Pictures on real pages: the gallery the toggle builds, and pictures saved as JPEG
// files taken from the page as drawn (colours, sizes, names, no second download).
class TstPictures : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QToolButton *button(const char *name) const { return m_w->toolbar().button(name); }
    QString folder() const { return PictureName::downloadFolder(); }
    static QStringList files(const QString &dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }

    FormWeb *openLoaded(const QString &path, const QString &title, int timeoutMs = 15000)
    {
        return m_world.openPictures(path, title, timeoutMs);
    }
    FormWeb *openImages(const QString &query)
    {
        return m_world.openPictures(QStringLiteral("/imgpage?") + query, QStringLiteral("Images"));
    }
    QStringList sources(FormWeb *p)
    {
        return evaluateSync(p->Web(), QStringLiteral("Array.from(document.images).map(i => i.src)")).toStringList();
    }
    bool idle(FormWeb *p, int timeoutMs = 30000)
    {
        return waitFor([&] { return !p->pictures().savingPictures() && button("Command4")->isEnabled(); }, timeoutMs);
    }
    // The centre colour of a saved picture, and its size.
    static QImage picture(const QString &path) { return QImage(path); }
    static bool near(const QColor &a, const QColor &b)
    {
        return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 && qAbs(a.blue() - b.blue()) < 24;
    }
    QString name(int serial) const
    {
        return PictureName::fileName(m_world.clock.time, serial);
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }
    void init() { m_w = m_world.newPictureWindow(); }

    void galleryShowsTheLargePicturesInFrontOfThePage()
    {
        // 521×561 is large; 520×900 and 900×560 are not; a large GIF stays a large picture.
        FormWeb *p = openImages(QStringLiteral("i=521x561xff0000&i=520x900x00ff00&i=900x560x0000ff&x=600x600x00ffff"
                                               "&raw=/picture?w=530%26h=570%26z=a.gif"));
        const QStringList src = sources(p);
        button("Chk")->click();
        QTRY_COMPARE_WITH_TIMEOUT(p->statusBar()->pictureCount(), QStringLiteral("图片总数：3"), 10000);
        QCOMPARE(m_world.session->pictures.list.current(), (QStringList{src[0], src[3], src[4]}));
        QCOMPARE(button("Chk")->palette().color(QPalette::Button), QColor(Qt::yellow));

        QByteArray expected = "<body oncontextmenu=\"return false\" topmargin=0 leftmargin=0 rightmargin=0 "
                              "bottommargin=0>\r\n<div align=center>\r\n";
        for (int i : {0, 3, 4}) {
            const QByteArray u = src[i].toUtf8().replace("&", "&amp;");
            expected += "<a href=\"" + u + "\" target=\"_blank\"><img border=\"1\" src=\"" + u + "\"></a> \r\n\r\n";
        }
        QCOMPARE(fileBytes(p->pictures().galleryFile()), expected);
        QCOMPARE(QFile::permissions(p->pictures().galleryFile()) & 0x0077, QFileDevice::Permissions());

        // The local gallery shows the remote pictures, and is the browser keys and the
        // wheel act on, but it cannot read a local file.
        PageControl *pic = p->pictures().WebPic();
        QVERIFY(pic && pic->widget()->isVisible());
        QVERIFY(waitFor([&] {
            return evaluateSync(pic, QStringLiteral("document.images.length == 3 && Array.from(document.images)"
                                                    ".every(i => i.complete && i.naturalWidth > 500)")).toBool();
        }, 15000));
        QCOMPARE(m_world.session->currentPage()->scrollTarget(), pic);
        // The toolbar's jump to the bottom moves the gallery shown, not the page under it.
        evaluateSync(p->Web(), QStringLiteral("document.body.style.minHeight = '5000px'"));
        m_w->toolbar().button("MoveUp", 1)->click();
        QTRY_VERIFY_WITH_TIMEOUT(evaluateSync(pic, QStringLiteral("window.scrollY")).toInt() > 100, 5000);
        QCOMPARE(evaluateSync(p->Web(), QStringLiteral("window.scrollY")).toInt(), 0);
        m_w->toolbar().button("MoveUp", 0)->click();
        QTRY_COMPARE_WITH_TIMEOUT(evaluateSync(pic, QStringLiteral("window.scrollY")).toInt(), 0, 5000);
        QCOMPARE(evaluateSync(pic, QStringLiteral("(function(){try{var x=new XMLHttpRequest();"
                                                  "x.open('GET','file:///etc/hostname',false);x.send();"
                                                  "return 'read';}catch(e){return 'refused';}})()")).toString(),
                 QStringLiteral("refused"));

        // A click on a picture opens no window; the page reports the picture.
        QSignalSpy chosen(p, &FormWeb::pictureChosen);
        const int tabs = m_w->pages().book().count();
        const QVariantList at = evaluateSync(pic, QStringLiteral(
            "(function(){var a=document.links[1];a.scrollIntoView();var b=a.firstChild.getBoundingClientRect();"
            "return [b.left+b.width/2,b.top+b.height/2];})()")).toList();
        QVERIFY(at.size() == 2);
        QWidget *surface = pic->inputWidget();
        QVERIFY(waitFor([&] { return surface->isVisible(); }));
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(at[0].toInt(), at[1].toInt()));
        QVERIFY(chosen.wait(5000));
        QCOMPARE(chosen.first().first().toString(), src[3]);
        QCOMPARE(m_w->pages().book().count(), tabs);
        // The picture viewer shows it.
        auto *viewer = m_w->findChild<FormImage *>();
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(viewer->address(), src[3]);
        viewer->close();

        button("Chk")->click();
        QVERIFY(!pic->widget()->isVisible());
        QCOMPARE(m_world.session->currentPage()->scrollTarget(), p->Web());
        QCOMPARE(button("Chk")->palette().color(QPalette::Button), QApplication::palette().color(QPalette::Button));
    }

    void galleryOfFewLargePicturesListsTheOthersButGifs()
    {
        // One large picture: it comes first, then every picture that does not end in
        // ".gif" (case-sensitive), in document order.
        FormWeb *p = openImages(QStringLiteral("i=600x600xff0000&i=100x100x00ff00xgif&raw=/picture?w=40%26h=40%26fmt=gif%26z=a.gif"
                                               "&raw=/picture?w=40%26h=40%26fmt=gif%26z=A.GIF"));
        const QStringList src = sources(p);
        button("Chk")->click();
        QTRY_COMPARE_WITH_TIMEOUT(p->statusBar()->pictureCount(), QStringLiteral("图片总数：4"), 10000);
        QCOMPARE(m_world.session->pictures.list.current(), (QStringList{src[0], src[0], src[1], src[3]}));

        // A counting search (the background count) only counts: the gallery stays.
        const QByteArray gallery = fileBytes(p->pictures().galleryFile());
        FormWeb *two = openImages(QStringLiteral("i=600x600xff0000&i=700x700x0000ff"));
        two->pictures().setAutoFind(true);
        two->pictures().SearchPic();
        QTRY_COMPARE_WITH_TIMEOUT(two->statusBar()->pictureCount(), QStringLiteral("发现图片：2"), 10000);
        QCOMPARE(fileBytes(p->pictures().galleryFile()), gallery);

        // A page without pictures gets the empty gallery.
        FormWeb *none = m_world.open(QStringLiteral("/page?id=1"), QStringLiteral("Page 1"));
        none->pictures().setAutoFind(false);
        none->pictures().SearchPic();
        QTRY_COMPARE_WITH_TIMEOUT(none->statusBar()->pictureCount(), QStringLiteral("图片总数：0"), 10000);
        QCOMPARE(fileBytes(none->pictures().galleryFile()).count("\r\n"), 2);
        QCOMPARE(fileBytes(p->pictures().galleryFile()), gallery); // each page has its own
    }

    void hostileAddressStaysTextInTheGallery()
    {
        // A data: address keeps quotes and angle brackets as they are.
        FormWeb *p = openImages(QStringLiteral("raw=") + QString::fromLatin1(QUrl::toPercentEncoding(
            QStringLiteral("data:image/gif,\"><script>document.title='owned'</script><b id=x>"))));
        button("Chk")->click();
        QTRY_COMPARE_WITH_TIMEOUT(p->statusBar()->pictureCount(), QStringLiteral("图片总数：1"), 10000);
        const QByteArray bytes = fileBytes(p->pictures().galleryFile());
        QVERIFY(bytes.contains("&quot;&gt;&lt;script&gt;document.title=&#39;owned&#39;&lt;/script&gt;"));
        QVERIFY(!bytes.contains("<script"));
        QVERIFY(waitFor([&] {
            return evaluateSync(p->pictures().WebPic(), QStringLiteral("document.readyState")).toString() == QLatin1String("complete");
        }, 10000));
        QCOMPARE(evaluateSync(p->pictures().WebPic(), QStringLiteral("document.querySelectorAll('script,b').length")).toInt(), 0);
        QCOMPARE(evaluateSync(p->pictures().WebPic(), QStringLiteral("document.images.length")).toInt(), 1);
    }

    void savesTheLargePicturesAsDrawn()
    {
        // Same origin, another origin, and one taller than the view (its bottom tenth black).
        FormWeb *p = openImages(QStringLiteral("i=600x600xff0000&x=700x650x0000ff&i=900x3000x00ff00xpngxs"
                                               "&i=100x100x000000&raw=http"));
        m_world.server.resetCounts();
        button("Command4")->click();
        QVERIFY(idle(p));
        QCOMPARE(files(folder()), (QStringList{name(0), name(1), name(2)}));
        const QImage red = picture(folder() + name(0));
        const QImage blue = picture(folder() + name(1));
        const QImage tall = picture(folder() + name(2));
        QCOMPARE(red.size(), QSize(600, 600));
        QCOMPARE(blue.size(), QSize(700, 650));
        QCOMPARE(tall.size(), QSize(900, 3000));
        QVERIFY(near(red.pixelColor(300, 300), Qt::red));
        QVERIFY(near(blue.pixelColor(5, 5), Qt::blue));
        QVERIFY(near(tall.pixelColor(450, 10), Qt::green));
        QVERIFY(near(tall.pixelColor(450, 2650), Qt::green));
        QVERIFY(near(tall.pixelColor(450, 2750), Qt::black));
        QCOMPARE(m_world.server.requestCount(QStringLiteral("/picture")), 0);
        QCOMPARE(p->statusBar()->savedCounter(), QStringLiteral("  自动下载图片 3"));
        QCOMPARE(p->statusBar()->pictureCount(), QStringLiteral("发现图片：3"));

        // Again without navigating: nothing is saved twice.
        bool done = false;
        p->pictures().SavePictureDisk(folder(), [&] { done = true; });
        QVERIFY(waitFor([&] { return done; }, 15000));
        QCOMPARE(files(folder()).size(), 3);
        QCOMPARE(p->statusBar()->savedCounter(), QStringLiteral("  自动下载图片 3"));
    }

    void aRunSavesAtMostTwoHundredAndCountsOnlyWhatItWrote()
    {
        FormWeb *p = openLoaded(QStringLiteral("/pictures?n=203&w=530&h=570"), QStringLiteral("Pictures 203"), 30000);

        // Nowhere to write: nothing is counted.
        QTemporaryDir dir;
        putFile(dir.path() + QStringLiteral("/file"), "x");
        bool done = false;
        p->pictures().SavePictureDisk(dir.path() + QStringLiteral("/file"), [&] { done = true; });
        QVERIFY(waitFor([&] { return done; }, 60000));
        QCOMPARE(p->statusBar()->savedCounter(), QStringLiteral("  自动下载图片 0"));
        QCOMPARE(p->statusBar()->pictureCount(), QStringLiteral("发现图片：203"));

        for (int run = 0; run < 2; ++run) {
            done = false;
            p->pictures().SavePictureDisk(folder(), [&] { done = true; });
            QVERIFY(waitFor([&] { return done; }, 60000));
            QCOMPARE(files(folder()).size(), 200);
            QCOMPARE(p->statusBar()->savedCounter(), QStringLiteral("  自动下载图片 200"));
        }
    }

    void everyPictureRunKeepsOnlyLargeFiles()
    {
        // One large picture: the button then saves every picture, and small files go.
        FormWeb *p = openImages(QStringLiteral("i=600x600xff0000xpngxn&i=120x120x00ff00"));
        button("Command4")->click();
        QVERIFY(idle(p));
        const QStringList saved = files(folder());
        QCOMPARE(saved.size(), 2); // the large picture by both runs; never the small one
        for (const QString &f : saved)
            QVERIFY(QFileInfo(folder() + f).size() >= 30000);
        QCOMPARE(p->statusBar()->savedCounter(), QStringLiteral("  下载图片 2"));
    }

    void hiddenTabsSaveTooAndStayHidden()
    {
        FormWeb *back = openImages(QStringLiteral("i=600x600xff0000&i=620x620x0000ff"));
        m_world.open(QStringLiteral("/page?id=2"), QStringLiteral("Page 2"));
        QVERIFY(!back->isVisible());
        // Asleep, it gave its renderer up; saving wakes it.
        QVERIFY(m_world.putToSleep(back));
        bool done = false;
        back->pictures().SavePictureDisk(folder(), [&] { done = true; });
        QVERIFY(waitFor([&] { return done; }, 20000));
        QCOMPARE(files(folder()).size(), 2);
        QVERIFY(near(picture(folder() + name(0)).pixelColor(300, 300), Qt::red));
        QVERIFY(near(picture(folder() + name(1)).pixelColor(300, 300), Qt::blue));
        QVERIFY(!back->isVisible());
    }

    void pageClosedDuringARunGoesWhenItEnds()
    {
        FormWeb *other = m_w->pages().LoadNewForm(QStringLiteral("about:blank"));
        QPointer<FormWeb> p = openImages(QStringLiteral("i=600x600xff0000&i=620x620x0000ff&i=640x640x00ff00"));
        button("Command4")->click();
        QVERIFY(m_world.session->pictures.runLock.held());
        // While it runs no other page starts a run of its own.
        QCOMPARE(other->pictures().SavePictureDisk(folder()), PictureSaver::Start::OtherPageSaving);
        p->close();
        QVERIFY(p && p->closePending());
        // Not recorded yet, it stays in the list kept against a crash until it is.
        const QString address = p->addressShown();
        QTemporaryDir lists;
        OpenPagesKeeper keeper(m_w->pages(), lists.filePath(QStringLiteral("open-pages.json")));
        const auto listed = [&] {
            QFile list(keeper.path());
            return keeper.writeNow() && list.open(QIODevice::ReadOnly) && list.readAll().contains(address.toUtf8());
        };
        QVERIFY(listed());
        QVERIFY(waitFor([&] { return p.isNull(); }, 20000));
        QVERIFY(!m_world.session->pictures.runLock.held());
        QVERIFY(!listed());
        QCOMPARE(m_w->pages().closedPages().newest(1).value(0).address, address);
        // The run ended at its next picture; what it wrote is whole.
        const QStringList written = files(folder());
        QVERIFY(!written.isEmpty());
        for (const QString &f : written)
            QVERIFY2(!QImage(folder() + f).isNull(), qPrintable(f));
    }

    void downloadAllAsksForAnExistingFolder()
    {
        FormWeb *p = openImages(QStringLiteral("i=600x600xff0000"));
        QTemporaryDir target;
        int openings = 0;
        QString shownFirst;
        // Recorded inside, checked after the dialog closed (a failed check inside would
        // leave it open).
        bool keptOpenForMissing = false, keptOpenForRoot = false;
        connect(m_w, &Frmmain::dialogOpened, this, [&](QDialog *d) {
            auto *dialog = qobject_cast<FormDownImage *>(d);
            ++openings;
            QTimer::singleShot(0, d, [&, dialog, d] {
                if (!dialog) {
                    d->reject();
                    return;
                }
                auto *command1 = dialog->findChild<QPushButton *>(QStringLiteral("Command1"));
                if (openings == 1) {
                    shownFirst = dialog->Text1()->text();
                    dialog->Text1()->setText(target.path() + QStringLiteral("/missing"));
                    command1->click();
                    keptOpenForMissing = dialog->isVisible();
                    dialog->Text1()->setText(QStringLiteral("/"));
                    command1->click(); // the root is refused without a word
                    keptOpenForRoot = dialog->isVisible();
                    dialog->Text1()->setText(target.path());
                    command1->click();
                } else {
                    shownFirst = dialog->Text1()->text();
                    dialog->reject();
                }
            });
        });
        m_w->menus()->action(QStringLiteral("DownloadImg"))->trigger();
        QVERIFY(keptOpenForMissing && keptOpenForRoot);
        // A fresh account has no pictures folder: the program's own download folder.
        QVERIFY(!QFileInfo::exists(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)));
        QCOMPARE(shownFirst, QDir::cleanPath(PictureName::downloadFolder()));
        QCOMPARE(m_world.dialogs.asked.last(),
                 QStringLiteral("information:下载全部图片……|") + FormDownImage::kMissingFolder);
        QVERIFY(waitFor([&] { return !p->pictures().savingPictures(); }, 15000));
        QCOMPARE(files(target.path()), QStringList{name(0)});
        QCOMPARE(m_world.store->read(QStringLiteral("DownloadImag"), QStringLiteral("Path")), target.path());

        // The next time it shows the folder confirmed last; closing it saves nothing.
        m_w->menus()->action(QStringLiteral("DownloadImg"))->trigger();
        QCOMPARE(openings, 2);
        QCOMPARE(shownFirst, target.path());
        QCOMPARE(files(target.path()).size(), 1);
    }
};

VELMO_TEST_MAIN(TstPictures)
#include "tst_pictures.moc"
