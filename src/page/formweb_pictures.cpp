// The page window's picture work: the gallery, the background count and the savers.
#include "page/formweb.h"

#include "engine/pagecontrol.h"
#include "page/pagehost.h"
#include "page/session.h"
#include "page/statusbar.h"
#include "pictures/galleryview.h"
#include "pictures/pagescreenshot.h"
#include "pictures/picturename.h"

#include <QPointer>
#include <QTimer>

void FormWeb::setUpPictures()
{
    m_gallery = new GalleryView(m_session.engine, this, m_web, m_session.pictures.list, this);
    connect(m_gallery, &GalleryView::counted, m_status, &StatusBar::showPicturesFound);
    connect(m_gallery, &GalleryView::built, this, [this](int count) {
        m_status->showPictureTotal(count);
        m_host.setGalleryToggle(true);
        // The gallery's browser may be new: keys and the wheel go to it now.
        if (m_session.currentPage == this)
            SetActivate();
    });
    connect(m_gallery, &GalleryView::pictureClicked, this, &FormWeb::pictureChosen);

    connect(m_gallery, &GalleryView::writeFailed, this,
            [this] { showStatus(QStringLiteral("图片集网页无法写入，图片集未更新。")); });

    m_saver = new PictureSaver(m_web, m_session.pictures.runLock, m_session.clock, this);
    m_saver->stopRequested = [this] { return m_closePending; };
    connect(m_saver, &PictureSaver::foundChanged, m_status, &StatusBar::showPicturesFound);
    connect(m_saver, &PictureSaver::progressed, m_status, &StatusBar::showSaveProgress);
    connect(m_saver, &PictureSaver::finished, m_status, &StatusBar::showSavedCaption);
    connect(m_saver, &PictureSaver::busyChanged, this, &FormWeb::holdRendering);
}

PageControl *FormWeb::WebPic() const
{
    return m_gallery ? m_gallery->browser() : nullptr;
}

QString FormWeb::galleryFile() const
{
    return m_gallery->path();
}

void FormWeb::SearchPic()
{
    m_gallery->search(m_autoFind);
}

void FormWeb::showGallery(bool shown)
{
    m_gallery->setShown(shown);
}

std::function<void()> FormWeb::once(std::function<void()> done)
{
    // Runs done exactly once: when called, or else when the last copy goes (a page
    // closed, or a wake-up that never came), so a button waiting for it never stays off.
    struct Holder {
        std::function<void()> f;
        ~Holder()
        {
            if (f)
                f();
        }
    };
    auto holder = std::make_shared<Holder>();
    holder->f = std::move(done);
    return [holder] {
        if (auto f = std::exchange(holder->f, nullptr))
            f();
    };
}

PictureSaver::Start FormWeb::SavePictureDisk(const QString &savePath, std::function<void()> done)
{
    done = once(std::move(done));
    if (m_screenshot && m_screenshot->running()) {
        // The view is taken by a screenshot: no run fights it.
        done();
        return PictureSaver::Start::AlreadySaving;
    }
    if (wakeThen([this, savePath, done] { SavePictureDisk(savePath, done); }))
        return PictureSaver::Start::Started;
    const PictureSaver::Start start = m_saver->saveLarge(savePath, afterRun(std::move(done)));
    if (start == PictureSaver::Start::OtherPageSaving)
        m_timer3->start();
    return start;
}

void FormWeb::SavePictureForSize(const QString &savePath, std::function<void()> done)
{
    done = once(std::move(done));
    if (m_screenshot && m_screenshot->running()) {
        done();
        return;
    }
    if (wakeThen([this, savePath, done] { SavePictureForSize(savePath, done); }))
        return;
    setCursor(Qt::WaitCursor);
    m_saver->saveEvery(savePath, afterRun([this, done] {
        unsetCursor();
        if (done)
            done();
    }));
}

void FormWeb::AutoDownLoadImag(std::function<void()> done)
{
    const QString folder = PictureName::downloadFolder();
    BeforeDownload();
    m_timer3->stop();
    QPointer<FormWeb> self(this);
    done = once(std::move(done));
    SavePictureDisk(folder, [self, folder, done] {
        if (live(self) && self->FindImag() < 2)
            self->SavePictureForSize(folder, done);
        else
            done();
    });
}

void FormWeb::DownloadPictureSaveAs(const QString &folder, std::function<void()> done)
{
    if (folder.isEmpty()) {
        if (done)
            done();
        return;
    }
    BeforeDownload();
    QPointer<FormWeb> self(this);
    done = once(std::move(done));
    SavePictureDisk(folder, [self, folder, done] {
        if (live(self) && self->FindImag() == 0)
            self->SavePictureForSize(folder, done);
        else
            done();
    });
}

std::function<void()> FormWeb::afterRun(std::function<void()> done)
{
    QPointer<FormWeb> self(this);
    return [self, done] {
        if (done)
            done();
        // A page the user closed during the run goes now, not on a timer that may be off.
        if (live(self) && self->m_closePending && !self->m_saver->busy())
            QTimer::singleShot(0, self, [self] {
                if (live(self) && !self->m_saver->busy())
                    self->close();
            });
    };
}
