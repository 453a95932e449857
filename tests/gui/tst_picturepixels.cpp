#include "engine/enginerendering.h"
#include "page/pagepictures.h"
#include "pictures/picturename.h"
#include "support/testenv.h"
#include "support/testworld.h"

#include <QFile>
#include <QGuiApplication>
#include <QToolButton>

// Saved pictures hold the right pixels on every kind of page: with and without a doctype,
// inline and in blocks, after a wrapped line, scaled, zoomed, scrolled sideways, late
// and broken. Each file is compared with its source: size, the colour of its centre and
// of its top and bottom rows, and the marks in its corners (black top left, white
// bottom right), so a cut in the wrong place, a white file or a neighbour's row fails.
class TstPicturePixels : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;

    QString folder() const { return PictureName::downloadFolder(); }
    QStringList files() const { return QDir(folder()).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name); }
    QImage saved(int serial) const { return QImage(folder() + PictureName::fileName(m_world.clock.time, serial)); }

    FormWeb *openImages(const QString &query, const QString &ready = QStringLiteral("i => i.complete"))
    {
        return m_world.openPictures(QStringLiteral("/imgpage?") + query, QStringLiteral("Images"), 30000, ready);
    }
    bool save(FormWeb *p)
    {
        bool done = false;
        p->pictures().SavePictureDisk(folder(), [&] { done = true; });
        return waitFor([&] { return done; }, 60000);
    }

    static QColor mean(const QImage &image, const QRect &area)
    {
        const QRect r = area.intersected(image.rect());
        qint64 red = 0, green = 0, blue = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QRgb c = image.pixel(x, y);
                red += qRed(c);
                green += qGreen(c);
                blue += qBlue(c);
            }
        const qint64 n = qMax<qint64>(1, qint64(r.width()) * r.height());
        return QColor(int(red / n), int(green / n), int(blue / n));
    }
    static bool near(const QColor &a, const QColor &b, int tolerance = 40)
    {
        return qAbs(a.red() - b.red()) < tolerance && qAbs(a.green() - b.green()) < tolerance
               && qAbs(a.blue() - b.blue()) < tolerance;
    }
    // Whether a saved file is the marked picture of that colour, shown at that size.
    static QString mismatch(const QImage &image, const QSize &size, const QColor &colour)
    {
        if (image.isNull())
            return QStringLiteral("no picture");
        if (qAbs(image.width() - size.width()) > 1 || qAbs(image.height() - size.height()) > 1)
            return QStringLiteral("size %1x%2").arg(image.width()).arg(image.height());
        const int w = image.width(), h = image.height();
        // The edge rows away from the corner marks.
        const QColor top = mean(image, QRect(w / 8, 0, w * 3 / 4, 1));
        const QColor bottom = mean(image, QRect(w / 8, h - 1, w * 3 / 4, 1));
        const QColor centre = mean(image, QRect(w / 4, h / 4, w / 2, h / 2));
        if (!near(top, colour) || !near(bottom, colour) || !near(centre, colour))
            return QStringLiteral("top %1 bottom %2 centre %3").arg(top.name(), bottom.name(), centre.name());
        const int mark = qMax(2, w / 200);
        if (mean(image, QRect(0, 0, mark, mark)).lightness() > 60 || mean(image, QRect(w - mark, h - mark, mark, mark)).lightness() < 190)
            return QStringLiteral("corner marks missing");
        return QString();
    }
    // A picture shown at size (CSS pixels) is saved at the screen's device pixels.
    void expectFile(int serial, const QSizeF &size, const QColor &colour)
    {
        const qreal dpr = m_w->devicePixelRatioF();
        const QSize device(qFloor(size.width() * dpr + 0.02), qFloor(size.height() * dpr + 0.02));
        const QString wrong = mismatch(saved(serial), device, colour);
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("file %1: %2").arg(serial).arg(wrong)));
    }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }
    void init() { m_w = m_world.newPictureWindow(); }

    void tallPagesGiveEveryPicture_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::newRow("doctype, inline") << QString();
        QTest::newRow("doctype, blocks") << QStringLiteral("&block=1");
        QTest::newRow("quirks, inline") << QStringLiteral("&quirks=1");
        QTest::newRow("quirks, blocks") << QStringLiteral("&quirks=1&block=1");
    }
    void tallPagesGiveEveryPicture()
    {
        // 45 pictures of 800×600 in turns of red and blue: more than three capture chunks.
        QFETCH(QString, layout);
        FormWeb *p = openImages(QStringLiteral("rep=45x800x600xff0000x0000ff") + layout);
        QVERIFY(save(p));
        QCOMPARE(files().size(), 45);
        for (int i = 0; i < 45; ++i)
            expectFile(i, QSize(800, 600), i % 2 ? Qt::blue : Qt::red);
        QCOMPARE(p->statusBar()->savedCounter(), QStringLiteral("  自动下载图片 45"));
    }

    void picturesShownInAnotherOrderThanListedAreAllTaken()
    {
        // Listed top to bottom, shown bottom to top over many chunks: every position of
        // the capture lies above the last, and the boxes near each are measured there.
        const QString css = QStringLiteral("body{display:flex;flex-direction:column-reverse}");
        FormWeb *p = openImages(QStringLiteral("rep=40x800x600xff0000x0000ff&block=1&css=")
                                + QString::fromLatin1(QUrl::toPercentEncoding(css)));
        QVERIFY(evaluateSync(p->Web(), QStringLiteral(
            "document.images[0].getBoundingClientRect().top>document.images[39].getBoundingClientRect().top+20000")).toBool());
        QVERIFY(save(p));
        QCOMPARE(files().size(), 40);
        for (int i = 0; i < 40; ++i)
            expectFile(i, QSize(800, 600), i % 2 ? Qt::blue : Qt::red);
    }

    void windowsDrawnInSoftwareLeaveTheSystemOpenGlUnloaded()
    {
        // Run on a real X server after a page was drawn: where the views draw in
        // software, nothing of the system's OpenGL (Mesa and its LLVM) is in the process.
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("Only an X server's windows reach for OpenGL");
        const EngineRendering::Environment environment = EngineRendering::fromProcess();
        if (EngineRendering::choose(environment) == EngineRendering::Drawing::Default)
            QSKIP("The views draw through OpenGL here");
        QVERIFY(openImages(QStringLiteral("i=300x200xff0000xpngxm")));
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(mapped.contains("libQt6WebEngineCore"));
        for (const char *library : {"libLLVM", "swrast_dri", "libGLX_mesa", "libEGL_mesa"})
            QVERIFY2(!mapped.contains(library), library);
    }

    void aPictureAfterAWrappedLineIsTakenWhereItIs()
    {
        // A small picture of the other origin, then 521×561 and 520×900: the third wraps
        // while the view has a scroll bar, and would not without one (as in a taller view).
        m_w->resize(1200, 700);
        FormWeb *p = openImages(QStringLiteral("x=60x60x00ff00&i=521x561xff0000xpngxm&i=520x900x0000ffxpngxm"));
        const bool wraps = evaluateSync(p->Web(), QStringLiteral(
            "(function(){var i=document.images,sp=i[1].getBoundingClientRect().left-i[0].getBoundingClientRect().right;"
            "i[0].style.width=(window.innerWidth-16-1041-2*sp-2)+'px';"
            "return i[2].getBoundingClientRect().top>i[1].getBoundingClientRect().top;})()")).toBool();
        QVERIFY(wraps);
        QVERIFY(save(p));
        QCOMPARE(files().size(), 1);
        expectFile(0, QSize(521, 561), Qt::red);
    }

    void latePicturesWaitAndBrokenOnesAreLeftOut()
    {
        FormWeb *p = openImages(QStringLiteral("i=600x600xff0000xpngxm&never=600x600&broken=600x600&late=600x600x0000ffx6000"),
                                QStringLiteral("(i, k) => k == 1 || k == 3 || i.complete"));
        QVERIFY(!evaluateSync(p->Web(), QStringLiteral("document.images[3].complete")).toBool());
        QVERIFY(save(p));
        QCOMPARE(files().size(), 1);
        expectFile(0, QSize(600, 600), Qt::red);
        QCOMPARE(p->statusBar()->savedCounter(), QStringLiteral("  自动下载图片 1"));
        QCOMPARE(p->statusBar()->pictureCount(), QStringLiteral("发现图片：3"));

        // Once it has arrived, the late one is saved by the next run.
        QVERIFY(waitFor([&] { return evaluateSync(p->Web(), QStringLiteral("document.images[3].naturalWidth")).toInt() == 600; }, 20000));
        QVERIFY(save(p));
        QCOMPARE(files().size(), 2);
        QImage late = saved(1);
        QCOMPARE(late.width(), qFloor(600 * m_w->devicePixelRatioF()));
        QVERIFY(near(mean(late, late.rect()), Qt::blue));
        QCOMPARE(p->statusBar()->savedCounter(), QStringLiteral("  自动下载图片 2"));
    }

    void scaledPicturesKeepToTheirOwnRows()
    {
        // Stacked pictures shown at 70 %, on fractional rows: no row of a neighbour.
        FormWeb *p = openImages(QStringLiteral("rep=6x800x858xff0000x0000ff&block=1&css=")
                                + QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("img{width:560.7px;height:600.6px}"))));
        QVERIFY(save(p));
        QCOMPARE(files().size(), 6);
        for (int i = 0; i < 6; ++i)
            expectFile(i, QSizeF(560.7, 600.6), i % 2 ? Qt::blue : Qt::red);
    }

    void pagesScrolledSidewaysOrZoomedByTheirOwnStyle_data()
    {
        QTest::addColumn<QString>("css");
        QTest::addColumn<qreal>("zoom");
        QTest::newRow("sideways") << QStringLiteral("img{display:block;margin-left:1400px}") << 1.0;
        QTest::newRow("css zoom") << QStringLiteral("body{zoom:1.5}") << 1.5;
    }
    void pagesScrolledSidewaysOrZoomedByTheirOwnStyle()
    {
        QFETCH(QString, css);
        QFETCH(qreal, zoom);
        FormWeb *p = openImages(QStringLiteral("i=600x600xff0000xpngxm&i=620x620x0000ffxpngxm&css=")
                                + QString::fromLatin1(QUrl::toPercentEncoding(css)));
        QVERIFY(save(p));
        QCOMPARE(files().size(), 2);
        expectFile(0, QSizeF(600 * zoom, 600 * zoom), Qt::red);
        expectFile(1, QSizeF(620 * zoom, 620 * zoom), Qt::blue);
    }
};

VELMO_TEST_MAIN(TstPicturePixels)
#include "tst_picturepixels.moc"
