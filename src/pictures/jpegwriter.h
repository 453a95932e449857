#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

// JPEG files of captured pictures (and of page screenshots).
namespace JpegWriter {
// The picture encoded as JPEG at a quality of 0 to 100; empty when it cannot be encoded.
QByteArray encode(const QImage &picture, int quality);
} // namespace JpegWriter

// Writes the picture as a JPEG file; true only when the whole file was written. A
// failed write leaves no file behind.
bool SaveAsJpeg(const QImage &picture, const QString &path, int quality);
