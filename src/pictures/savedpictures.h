#pragma once
#include <QString>
#include <QStringList>

#include "pictures/picturelist.h"

// What a page's picture runs save: the addresses saved since the page's last navigation
// (at most 200), and which of a document's pictures a run takes at all.
class SavedPictures
{
public:
    static constexpr int kMax = 200;
    static constexpr int kMinFileBytes = 30000;

    int count() const { return int(m_saved.size()); }
    bool full() const { return count() >= kMax; }
    bool contains(const QString &src) const { return m_saved.contains(src); }
    // Counts a picture as saved; false (and nothing counted) when the bound is reached.
    bool add(const QString &src)
    {
        if (full())
            return false;
        m_saved.append(src);
        return true;
    }
    // A picture counted before its file failed: it is not saved after all. Safe after a
    // reset emptied the list meanwhile.
    void remove(const QString &src)
    {
        const int at = int(m_saved.lastIndexOf(src));
        if (at >= 0)
            m_saved.removeAt(at);
    }
    void reset() { m_saved.clear(); }

    // A picture a run can take: shown and decoded, not the bare word "http", and for a
    // run of large pictures a large one. One still arriving is left for a later run;
    // a broken one is never taken.
    static bool takes(const PageImage &image, bool largeOnly)
    {
        return image.state == PageImage::Decoded && !PictureScan::isBareHttp(image)
               && (!largeOnly || PictureScan::isLarge(image.width, image.height));
    }

private:
    QStringList m_saved;
};
