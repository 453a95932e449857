#include "pictures/picturelist.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace PictureScan {

QString script(bool withRects)
{
    // Every element in document order (document.all itself reads as false); the tag test
    // is exact, as XHTML's "img" is not ours.
    return QStringLiteral(
               "(function(){var a=document.getElementsByTagName('*'),n=a.length,r=[],L=[],sx=window.scrollX,sy=window.scrollY;"
               "for(var i=0;i<n;i++){var e=a[i];if(e.tagName!=='IMG')continue;L.push(e);"
               "var o=[String(e.src),e.getAttribute('src'),e.width|0,e.height|0,"
               "e.complete?(e.naturalWidth>0?0:2):1];")
        + (withRects ? QStringLiteral("var b=e.getBoundingClientRect();o.push(b.left+sx,b.top+sy,b.width,b.height);")
                     : QString())
        + QStringLiteral("r.push(o);}window.__velmoPics=L;return JSON.stringify(r);})()");
}

QVector<PageImage> parse(const QVariant &answer)
{
    QVector<PageImage> images;
    if (answer.typeId() != QMetaType::QString)
        return images;
    const QJsonArray rows = QJsonDocument::fromJson(answer.toString().toUtf8()).array();
    images.reserve(rows.size());
    for (const QJsonValue &value : rows) {
        const QJsonArray row = value.toArray();
        PageImage image;
        image.src = row.at(0).toString();
        image.rawSrc = row.at(1).toString();
        image.width = row.at(2).toInt();
        image.height = row.at(3).toInt();
        const int state = row.at(4).toInt();
        image.state = state == 1 ? PageImage::Loading : state == 2 ? PageImage::Broken : PageImage::Decoded;
        image.element = images.size();
        if (row.size() >= 9)
            image.rect = QRectF(row.at(5).toDouble(), row.at(6).toDouble(), row.at(7).toDouble(), row.at(8).toDouble());
        images.append(image);
    }
    return images;
}

bool isLarge(int width, int height)
{
    return width > 520 && height > 560;
}

bool endsWithGif(const QString &address)
{
    return address.endsWith(QLatin1String(".gif"), Qt::CaseSensitive);
}

bool isBareHttp(const PageImage &image)
{
    return image.rawSrc == QLatin1String("http") || image.src == QLatin1String("http");
}

} // namespace PictureScan

QStringList PictureList::current() const
{
    QStringList list;
    const int n = qMin(m_count, kSize);
    list.reserve(n);
    for (int i = 0; i < n; ++i)
        list.append(m_entries[i]);
    return list;
}

void PictureList::store(int index, const QString &address)
{
    if (index >= 0 && index < kSize)
        m_entries[index] = address;
}

void PictureList::search(const QVector<PageImage> &images, bool countOnly)
{
    m_count = 0;
    // A picture is stored where the next large one goes, so a small one is overwritten.
    for (const PageImage &image : images) {
        store(m_count, image.src);
        if (PictureScan::isLarge(image.width, image.height))
            ++m_count;
    }
    if (countOnly || m_count >= 2)
        return;
    // Fewer than two large pictures: add every picture that is not a GIF, large or not.
    for (const PageImage &image : images) {
        store(m_count, image.src);
        if (!PictureScan::endsWithGif(image.src))
            ++m_count;
    }
}
