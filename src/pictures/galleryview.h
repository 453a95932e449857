#pragma once
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class PageControl;
class PictureList;
class PageEngine;
class QWidget;

// The gallery of a page: a second browser (WebPic) in front of the page's own, showing
// a generated page of the page's pictures. The browser is made the first time a gallery
// is built. The generated page may show remote pictures, but it cannot read local files.
class GalleryView : public QObject
{
    Q_OBJECT
public:
    GalleryView(PageEngine &engine, QWidget *viewParent, PageControl *web, PictureList &list,
                QObject *parent);
    // The page's gallery file goes with it.
    ~GalleryView() override;
    // The page's own gallery file.
    QString path() const { return m_path; }

    // The gallery's browser; null until a gallery was built.
    PageControl *browser() const { return m_pic; }
    // Searches the page's pictures: only counts them, or builds and shows the gallery.
    // Does nothing at all on a picture-search result page of the search site.
    void search(bool countOnly);
    // In front of the page, or out of sight.
    void setShown(bool shown);
    void setGeometry(const QRect &rect);

    // Where the gallery search does nothing (27 characters, compared exactly).
    static const QString kPictureSearchPrefix;

signals:
    // A counting search found count (≥ 1) large pictures.
    void counted(int count);
    // A gallery of count pictures was written and is loading.
    void built(int count);
    // A picture of the gallery was clicked: its address.
    void pictureClicked(const QString &address);
    // The gallery file could not be written: the gallery stays as it was.
    void writeFailed();

private:
    void onScanned(const QVariant &answer, bool countOnly);
    void ensureBrowser();

    PageEngine &m_engine;
    QWidget *m_viewParent;
    QPointer<PageControl> m_web;
    PictureList &m_list;
    PageControl *m_pic = nullptr;
    QString m_path;
    QRect m_geometry;
    bool m_shown = false;
};
