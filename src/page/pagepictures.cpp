#include "page/pagepictures.h"

#include "engine/pagecontrol.h"
#include "page/pagehost.h"
#include "page/pagesleep.h"
#include "page/picturespage.h"
#include "page/statusbar.h"
#include "pictures/galleryview.h"
#include "pictures/pagescreenshot.h"
#include "pictures/picturestate.h"
#include "pictures/screenshotfiles.h"
#include "pictures/picturename.h"
#include "platform/dialogs.h"
#include "tabs/pagetext.h"
#include "userdata/options.h"

#include <QApplication>
#include <QPointer>
#include <QFileInfo>
#include <QTimer>

const QString PagePictures::kScreenshotSafeMode = QString(15, QLatin1Char(' '))
    + QStringLiteral("网页截图时必须退出安全模式，请在“系统设置中心”里退出“安全模式”后，再重新启动《Velmo安全浏览器》即可。");

PagePictures::PagePictures(PicturesPage &page, PageControl &web, const Needs &needs, PageHost &host, StatusBar &status,
                           PageSleep &sleep)
    : QObject(page.pageWidget())
    , m_page(page)
    , m_web(web)
    , m_needs(needs)
    , m_host(host)
    , m_status(status)
    , m_sleep(sleep)
{
    m_gallery = new GalleryView(m_needs.engine, m_page.pageWidget(), &m_web, m_needs.pictures.list, this);
    connect(m_gallery, &GalleryView::counted, &m_status, &StatusBar::showPicturesFound);
    connect(m_gallery, &GalleryView::built, this, [this](int count) {
        m_status.showPictureTotal(count);
        m_host.setGalleryToggle(true);
    });
    connect(m_gallery, &GalleryView::pictureClicked, this, &PagePictures::pictureChosen);

    connect(m_gallery, &GalleryView::writeFailed, this,
            [this] { m_page.showStatus(QStringLiteral("图片集网页无法写入，图片集未更新。")); });

    m_saver = new PictureSaver(&m_web, m_needs.pictures.runLock, m_needs.clock, this);
    m_saver->setStopRequested([this] { return m_page.closePending(); });
    connect(m_saver, &PictureSaver::foundChanged, &m_status, &StatusBar::showPicturesFound);
    connect(m_saver, &PictureSaver::progressed, &m_status, &StatusBar::showSaveProgress);
    connect(m_saver, &PictureSaver::finished, &m_status, &StatusBar::showSavedCaption);
    connect(m_saver, &PictureSaver::busyChanged, &m_sleep, &PageSleep::holdRendering);

    m_timer3 = new QTimer(this);
    m_timer3->setObjectName(QStringLiteral("Timer3"));
    m_timer3->setInterval(5000);
    m_timer3->start();
}

PagePictures::~PagePictures()
{
    // Callers waiting for a run hear its end now, and find the page going.
    m_going = true;
    delete m_saver;
    m_saver = nullptr;
}

PageControl *PagePictures::WebPic() const
{
    return m_gallery ? m_gallery->browser() : nullptr;
}

QString PagePictures::galleryFile() const
{
    return m_gallery->path();
}

void PagePictures::SearchPic()
{
    m_gallery->search(m_autoFind);
}

void PagePictures::showGallery(bool shown)
{
    m_gallery->setShown(shown);
}

std::function<void()> PagePictures::once(std::function<void()> done)
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

PictureSaver::Start PagePictures::SavePictureDisk(const QString &savePath, std::function<void()> done)
{
    done = once(std::move(done));
    if (screenshotRunning()) {
        // The view is taken by a screenshot: no run fights it.
        done();
        return PictureSaver::Start::AlreadySaving;
    }
    if (m_sleep.wakeThen(this, [this, savePath, done] { SavePictureDisk(savePath, done); }))
        return PictureSaver::Start::Started;
    const PictureSaver::Start start = m_saver->saveLarge(savePath, afterRun(std::move(done)));
    if (start == PictureSaver::Start::OtherPageSaving)
        m_timer3->start();
    return start;
}

void PagePictures::SavePictureForSize(const QString &savePath, std::function<void()> done)
{
    done = once(std::move(done));
    if (screenshotRunning()) {
        done();
        return;
    }
    if (m_sleep.wakeThen(this, [this, savePath, done] { SavePictureForSize(savePath, done); }))
        return;
    m_page.pageWidget()->setCursor(Qt::WaitCursor);
    m_saver->saveEvery(savePath, afterRun([this, done] {
        m_page.pageWidget()->unsetCursor();
        if (done)
            done();
    }));
}

void PagePictures::AutoDownLoadImag(std::function<void()> done)
{
    const QString folder = PictureName::downloadFolder();
    resetPictureCounters();
    m_timer3->stop();
    QPointer<PagePictures> self(this);
    done = once(std::move(done));
    SavePictureDisk(folder, [self, folder, done] {
        if ((self && !self->m_going) && self->FindImag() < 2)
            self->SavePictureForSize(folder, done);
        else
            done();
    });
}

void PagePictures::DownloadPictureSaveAs(const QString &folder, std::function<void()> done)
{
    if (folder.isEmpty()) {
        if (done)
            done();
        return;
    }
    resetPictureCounters();
    QPointer<PagePictures> self(this);
    done = once(std::move(done));
    SavePictureDisk(folder, [self, folder, done] {
        if ((self && !self->m_going) && self->FindImag() == 0)
            self->SavePictureForSize(folder, done);
        else
            done();
    });
}

std::function<void()> PagePictures::afterRun(std::function<void()> done)
{
    QPointer<PagePictures> self(this);
    return [self, done] {
        if (done)
            done();
        // A page the user closed during the run goes now, not on a timer that may be off.
        if ((self && !self->m_going) && self->m_page.closePending() && !self->m_saver->busy())
            QTimer::singleShot(0, self, [self] {
                if ((self && !self->m_going) && !self->m_saver->busy())
                    self->m_page.closeAfterRun();
            });
    };
}

PagePictures::Shot PagePictures::ScreenSaveAs(const QString &mainCaption, std::function<void(bool)> done)
{
    const bool galleryInFront = m_host.galleryShown() && WebPic();
    if (m_needs.options.safePictureMode() != 0 && !m_host.galleryShown()) {
        m_needs.dialogs.information(m_page.pageWidget(), PageText::kProductName, kScreenshotSafeMode);
        return Shot::SafeMode;
    }
    // One job at a time takes pictures from this page's view.
    if (m_saver->busy() || (screenshotRunning())) {
        m_page.showStatus(QStringLiteral("正在保存本网页的图片，请等它结束后再截图。"));
        return Shot::Busy;
    }
    const QString path = m_needs.dialogs.saveFile(m_page.pageWidget(), QStringLiteral("截图另存为"),
                                                    PageText::screenshotName(mainCaption, m_page.pageTitle(), m_page.location()),
                                                    Dialogs::fileTypes(2));
    if (path.isEmpty())
        return Shot::Cancelled;

    delete m_screenshot;
    m_screenshot = new PageScreenshot(galleryInFront ? WebPic() : &m_web, this);
    m_page.pageWidget()->setCursor(Qt::WaitCursor);
    connect(m_screenshot, &PageScreenshot::progressed, this,
            [this](int percent) { m_status.setStatusText(QStringLiteral("正在截图…… %1%").arg(percent)); });
    // Taller than one picture: the user says whether to save all of it in several files.
    auto cancelled = std::make_shared<bool>(false);
    m_screenshot->setTooTall([this, path, cancelled](int documentHeight, int parts) {
        const int chosen = m_needs.dialogs.choose(
            m_page.pageWidget(), QStringLiteral("截图另存为"),
            QStringLiteral("网页太长（全长 %1 像素），一张图片最多只能容纳 %2 像素。").arg(documentHeight).arg(PageScreenshot::kMaxSide),
            {QStringLiteral("保存整个网页，分成 %1 张图片（%2、%3……）")
                 .arg(parts)
                 .arg(QFileInfo(path).fileName(), QFileInfo(ScreenshotFiles::partPath(path, 1)).fileName()),
             QStringLiteral("只保存第一部分")});
        *cancelled = chosen < 0;
        return chosen == 0 ? PageScreenshot::TooTall::AllParts
               : chosen == 1 ? PageScreenshot::TooTall::FirstPart
                             : PageScreenshot::TooTall::Cancel;
    });
    auto *files = new ScreenshotFiles(path, m_screenshot);
    connect(m_screenshot, &PageScreenshot::partTaken, files, &ScreenshotFiles::write);
    connect(m_screenshot, &PageScreenshot::finished, files, [files](bool taken) { files->captureEnded(taken); });
    connect(files, &ScreenshotFiles::finished, this, [this, done, cancelled](bool ok, const QString &text) {
        m_page.pageWidget()->unsetCursor();
        m_page.showStatus(*cancelled ? QString() : text);
        if (ok)
            QApplication::beep();
        if (done)
            done(ok);
    });
    m_screenshot->start();
    return Shot::Started;
}

bool PagePictures::screenshotRunning() const
{
    return m_screenshot && m_screenshot->running();
}

void PagePictures::placeGallery(const QRect &rect)
{
    m_gallery->setGeometry(rect);
}

void PagePictures::BeforeDownload()
{
    resetPictureCounters();
}

void PagePictures::resetPictureCounters()
{
    m_saver->resetSaved();
    m_ticks = 0;
    m_status.setPictureCount(0);
    m_status.resetSavedCounter();
    m_timer3->start();
}

void PagePictures::loaded()
{
    if (m_needs.options.autoDownloadPictures() != 0)
        m_timer3->start();
}

void PagePictures::tick()
{
    ++m_ticks;
    if (m_ticks > 5)
        m_timer3->stop();
    if (m_needs.options.autoDownloadPictures() != 0) {
        if (SavePictureDisk(PictureName::downloadFolder()) == PictureSaver::Start::OtherPageSaving)
            m_timer3->start(); // another page is saving: try again on a later tick
    } else if (!m_web.discarded()) {
        m_autoFind = true;
        SearchPic();
    }
}

void PagePictures::stop()
{
    m_saver->stop();
}
