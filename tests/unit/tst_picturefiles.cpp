#include "pictures/jpegwriter.h"
#include "pictures/picturelist.h"
#include "pictures/picturename.h"
#include "pictures/viewcapture.h"
#include "support/files.h"
#include "support/testenv.h"

#include <QImage>
#include <QTemporaryDir>

// The picture list's bounds, picture file names and the JPEG writer's all-or-nothing files.
class TstPictureFiles : public QObject
{
    Q_OBJECT

    static QVector<PageImage> images(int n, int w, int h)
    {
        QVector<PageImage> list;
        for (int i = 0; i < n; ++i)
            list.append({QStringLiteral("http://x/%1.png").arg(i), QString(), w, h, QRectF()});
        return list;
    }

private slots:
    void listIsBoundButTheCountGoesOn()
    {
        PictureList list;
        list.search(images(6005, 600, 600), false);
        QCOMPARE(list.count(), 6005);
        QCOMPARE(list.current().size(), PictureList::kSize);
        QCOMPARE(list.at(6000), QStringLiteral("http://x/6000.png"));
        QCOMPARE(list.at(6001), QString());

        // Counting stops after the first pass; the entries of earlier searches stay.
        QVector<PageImage> one = images(3, 100, 100);
        one[1].width = 521;
        one[1].height = 561;
        list.search(one, true);
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.at(0), QStringLiteral("http://x/1.png"));
        QCOMPARE(list.at(1), QStringLiteral("http://x/2.png")); // stored, not counted
        QCOMPARE(list.at(2), QStringLiteral("http://x/2.png")); // left from the search before
    }

    void namesNeverTakeAnExistingFile()
    {
        QCOMPARE(PictureName::fileName(QDateTime(QDate(2015, 7, 28), QTime(3, 50)), 12), QStringLiteral("2015728_35012.jpg"));
        QCOMPARE(PictureName::folder(QStringLiteral("/a/b")), QStringLiteral("/a/b/"));
        QCOMPARE(PictureName::folder(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));

        QTemporaryDir dir;
        const QString folder = PictureName::folder(dir.path());
        const QDateTime when(QDate(2026, 1, 2), QTime(13, 5));
        putFile(folder + PictureName::fileName(when, 0), "taken");
        putFile(folder + PictureName::fileName(when, 1), "taken");
        int serial = 0;
        QCOMPARE(PictureName::next(folder, serial, when), folder + QStringLiteral("202612_1352.jpg"));
        QCOMPARE(serial, 3);
        QCOMPARE(fileBytes(folder + PictureName::fileName(when, 0)), QByteArray("taken"));
    }

    void jpegFilesAreWholeOrAbsent()
    {
        QTemporaryDir dir;
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(QColor(0, 128, 255));
        const QString path = dir.path() + QStringLiteral("/a.jpg");
        QVERIFY(SaveAsJpeg(picture, path, 80));
        const QImage back(path);
        QCOMPARE(back.size(), QSize(300, 200));
        QVERIFY(qAbs(back.pixelColor(150, 100).blue() - 255) < 8);
        // Lower quality, smaller file: the setting reaches the encoder.
        QImage noisy(300, 200, QImage::Format_RGB32);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                noisy.setPixel(x, y, qRgb((x * 37) % 256, (y * 91) % 256, (x * y) % 256));
        QVERIFY(JpegWriter::encode(noisy, 20).size() < JpegWriter::encode(noisy, 80).size());

        // A folder that cannot exist (a file is in the way), and nothing to write.
        putFile(dir.path() + QStringLiteral("/file"), "x");
        QVERIFY(!SaveAsJpeg(picture, dir.path() + QStringLiteral("/file/b.jpg"), 80));
        QVERIFY(!SaveAsJpeg(QImage(), dir.path() + QStringLiteral("/c.jpg"), 80));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{QStringLiteral("a.jpg"), QStringLiteral("file")}));
    }

    void capturesGrabAtMostAFewMillionPixelsAtOnce()
    {
        // A tall document in a 1,200-pixel view: about 4,000 rows a grab.
        QCOMPARE(ViewCapture::chunkHeight(QSize(1200, 700), 1, 180000), 4166);
        // Device pixels count: a doubled screen takes a quarter of the rows.
        QCOMPARE(ViewCapture::chunkHeight(QSize(1200, 700), 2, 180000), 1041);
        // Never below the view (a wide screen), never past the document or the bound.
        QCOMPARE(ViewCapture::chunkHeight(QSize(5000, 1400), 1, 180000), 1400);
        QCOMPARE(ViewCapture::chunkHeight(QSize(1200, 700), 1, 2500), 2500);
        QCOMPARE(ViewCapture::chunkHeight(QSize(1200, 700), 1, 500), 700);
        QCOMPARE(ViewCapture::chunkHeight(QSize(300, 700), 1, 180000), int(ViewCapture::kMaxChunk));
        QCOMPARE(ViewCapture::chunkHeight(QSize(1200, 700), 1, 180000, 3000), 3000);
    }
};

VELMO_TEST_MAIN(TstPictureFiles)
#include "tst_picturefiles.moc"
