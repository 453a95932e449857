#pragma once
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// One IMG element of a document, in document order.
struct PageImage {
    QString src;    // the resolved address
    QString rawSrc; // the attribute as written
    int width = 0;  // rendered size, CSS pixels
    int height = 0;
    QRectF rect;    // where it sits in the document, CSS pixels (when asked for)
    // Its picture: decoded and shown, still arriving, or broken (missing, not a picture).
    enum State { Decoded, Loading, Broken } state = Decoded;
    int element = -1; // its place in the list the scan leaves in the document
};

namespace PictureScan {
// Script (run in the application's world) that lists the document's IMG elements as
// one JSON string; with rects, also where each one sits. It leaves the elements in the
// application world's window.__velmoPics, where a capture finds them again.
QString script(bool withRects);
// The script's answer; an unreadable answer (no document) is an empty list.
QVector<PageImage> parse(const QVariant &answer);
// Large enough for the gallery and for saving: strictly wider than 520 and taller than 560.
bool isLarge(int width, int height);
// An address ending in ".gif", compared case-sensitively.
bool endsWithGif(const QString &address);
// A picture whose source is the bare word "http" is never saved.
bool isBareHttp(const PageImage &image);
} // namespace PictureScan

// The program-wide list of picture addresses the last search found. Entries are
// overwritten in place and never cleared; the count may pass the list's size.
class PictureList
{
public:
    static constexpr int kSize = 6001;

    PictureList() : m_entries(kSize) {}
    int count() const { return m_count; }
    QString at(int index) const { return index >= 0 && index < kSize ? m_entries[index] : QString(); }
    // The entries that belong to the last search (as far as the list reaches).
    QStringList current() const;

    // Runs a search over a document's pictures: the large ones, or, with fewer than two
    // of them, every picture not ending in ".gif" after them. Counting only stops after
    // the first pass.
    void search(const QVector<PageImage> &images, bool countOnly);

private:
    void store(int index, const QString &address);

    QVector<QString> m_entries;
    int m_count = 0;
};
