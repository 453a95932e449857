#include "pictures/jpegwriter.h"

#include "pictures/atomicfile.h"

#include <QBuffer>
#include <QImageWriter>

namespace JpegWriter {

QByteArray encode(const QImage &picture, int quality)
{
    if (picture.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(qBound(0, quality, 100));
    if (!writer.write(picture))
        return {};
    return bytes;
}

} // namespace JpegWriter

bool SaveAsJpeg(const QImage &picture, const QString &path, int quality)
{
    const QByteArray bytes = JpegWriter::encode(picture, quality);
    return !bytes.isEmpty() && AtomicFile::write(path, bytes);
}
