#include "pictures/galleryview.h"

#include "engine/pagecontrol.h"
#include "engine/navigationrequests.h"
#include "pictures/atomicfile.h"
#include "pictures/gallerypage.h"
#include "pictures/picturelist.h"

#include <QFile>
#include <QUrl>
#include <QWidget>

const QString GalleryView::kPictureSearchPrefix = QStringLiteral("http://image.baidu.com/i?tn");

GalleryView::GalleryView(PageEngine &engine, QWidget *viewParent, PageControl *web, PictureList &list,
                         QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_viewParent(viewParent)
    , m_web(web)
    , m_list(list)
    , m_path(GalleryPage::newPath())
{
}

GalleryView::~GalleryView()
{
    QFile::remove(m_path);
}

void GalleryView::search(bool countOnly)
{
    if (!m_web || m_web->LocationURL().left(27) == kPictureSearchPrefix)
        return;
    const QString location = m_web->LocationURL();
    if (location.isEmpty() || location == QLatin1String("about:blank")) {
        // No document worth asking (a blank tab has none at all).
        onScanned(QVariant(), countOnly);
        return;
    }
    m_web->runScript(PictureScan::script(false), this,
                     [this, countOnly](const QVariant &answer) { onScanned(answer, countOnly); });
}

void GalleryView::onScanned(const QVariant &answer, bool countOnly)
{
    m_list.search(PictureScan::parse(answer), countOnly);
    if (countOnly) {
        if (m_list.count() >= 1)
            emit counted(m_list.count());
        return;
    }
    // Written whole or not at all: a gallery that cannot be written leaves the page's
    // last one as it was, and says so.
    if (!AtomicFile::write(m_path, GalleryPage::bytes(m_list.current()))) {
        emit writeFailed();
        return;
    }
    ensureBrowser();
    m_pic->Navigate(QUrl::fromLocalFile(m_path).toString());
    emit built(m_list.count());
}

void GalleryView::ensureBrowser()
{
    if (m_pic)
        return;
    m_pic = m_engine.newPage(m_viewParent, this);
    m_pic->widget()->setObjectName(QStringLiteral("WebPic"));
    m_pic->setShowOnFirstDocument(false); // the gallery toggle decides
    // The generated page shows pictures from anywhere, and reads no local file.
    m_pic->setLocalPageAccess(true, false);
    connect(m_pic, &PageControl::NewWindow2, this, [this](NewWindowRequest &request) {
        request.cancel = true;
        emit pictureClicked(request.url);
    });
    m_pic->widget()->setGeometry(m_geometry);
    m_pic->widget()->setVisible(m_shown);
    if (m_shown)
        m_pic->widget()->raise();
}

void GalleryView::setShown(bool shown)
{
    m_shown = shown;
    if (!m_pic)
        return;
    m_pic->widget()->setVisible(shown);
    if (shown)
        m_pic->widget()->raise();
}

void GalleryView::setGeometry(const QRect &rect)
{
    m_geometry = rect;
    if (m_pic)
        m_pic->widget()->setGeometry(rect);
}
