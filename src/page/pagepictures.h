#pragma once
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

#include "pictures/picturesaver.h"

class GalleryView;
class PageControl;
class PageHost;
class PicturesPage;
class PageScreenshot;
class PageSleep;
class QTimer;
class StatusBar;
class Clock;
class Dialogs;
class Options;
class PageEngine;
struct PictureState;

// The page's picture work: its gallery, the background count of its large pictures, the
// runs that save them, and the screenshot of the whole document.
class PagePictures : public QObject
{
    Q_OBJECT
public:
    // What it uses of the browser's own.
    struct Needs {
        PageEngine &engine;
        Dialogs &dialogs;
        const Clock &clock;
        const Options &options;
        PictureState &pictures; // the last picture search, the run shared by all pages
    };
    PagePictures(PicturesPage &page, PageControl &web, const Needs &needs, PageHost &host, StatusBar &status, PageSleep &sleep);
    ~PagePictures() override;

    // The gallery's browser; null until the page's first gallery.
    PageControl *WebPic() const;
    // The page's own gallery file (gone with the page).
    QString galleryFile() const;
    void placeGallery(const QRect &rect);
    // Builds the page's gallery, or only counts its large pictures while AutoFind is set.
    void SearchPic();
    bool AutoFind() const { return m_autoFind; }
    void setAutoFind(bool on) { m_autoFind = on; }
    // The gallery in front of the page, or behind it.
    void showGallery(bool shown);

    // The page navigates: the picture counters start over.
    void BeforeDownload();
    // The document finished loading (the count starts over).
    void loaded();
    // The 5-second tick (Timer3) counts or saves the page's pictures the first ticks
    // after a load.
    QTimer *ticker() const { return m_timer3; }
    void tick();

    // The large pictures not saved since the last navigation, into a folder; done runs
    // when the run is over (at once when another run is under way).
    PictureSaver::Start SavePictureDisk(const QString &savePath, std::function<void()> done = {});
    // Every picture that makes a file of 30,000 bytes or more, into a folder.
    void SavePictureForSize(const QString &savePath, std::function<void()> done = {});
    // Into the program's download folder now: the large pictures, and every picture when
    // fewer than two large ones were met.
    void AutoDownLoadImag(std::function<void()> done = {});
    // Into a folder the user chose ("" when the user chose none).
    void DownloadPictureSaveAs(const QString &folder, std::function<void()> done = {});
    int FindImag() const { return m_saver->found(); }
    bool savingPictures() const { return m_saver->busy(); }
    // The page closes: what is written stays written; nothing more is taken.
    void stop();

    // The whole document of the current browser (the gallery while it is in front) as one
    // JPEG file the user names; done tells whether the file was written.
    enum class Shot { Started, SafeMode, Cancelled, Busy };
    Shot ScreenSaveAs(const QString &mainCaption, std::function<void(bool written)> done = {});
    // The message shown when safe picture mode forbids a screenshot.
    static const QString kScreenshotSafeMode;

signals:
    // A picture of the gallery was clicked.
    void pictureChosen(const QString &address);

private:
    // Saved and found pictures back to none, and the count tick started again.
    void resetPictureCounters();
    static std::function<void()> once(std::function<void()> done);
    // Runs done, then closes the page if the user closed it during the run.
    std::function<void()> afterRun(std::function<void()> done);
    bool screenshotRunning() const;

    PicturesPage &m_page;
    PageControl &m_web;
    Needs m_needs;
    PageHost &m_host;
    StatusBar &m_status;
    PageSleep &m_sleep;
    GalleryView *m_gallery = nullptr;
    PictureSaver *m_saver = nullptr;
    PageScreenshot *m_screenshot = nullptr;
    QTimer *m_timer3 = nullptr;
    int m_ticks = 0;
    bool m_autoFind = false;
    // Set as it goes: callbacks of the saver's last moments find it going.
    bool m_going = false;
};
