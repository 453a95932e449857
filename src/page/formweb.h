#pragma once
#include "engine/editcommand.h"
#include <QStringList>
#include <QVector>
#include <QWidget>
#include <QDateTime>
#include <QList>
#include <QPoint>
#include <QPageLayout>
#include <QPageRanges>
#include <QPointer>
#include <functional>
#include <optional>
#include <memory>

#include "page/popupbudget.h"
#include "pictures/picturesaver.h"

#include "tabs/pagetext.h"
#include "userdata/history.h"

class PageControl;
class FindBar;
class GalleryView;
class cWebBrowser;
class PageHost;
class PageScreenshot;
class ScriptDialog;
class SelectionBar;
struct PageFacts;
class QComboBox;
class QTimer;
class StatusBar;
struct NavigationRequest;
struct NewWindowRequest;
struct Session;

// The window of one page (one tab). Hosts the page's browser control, shows the status
// bar under it, and turns the browser's events into the main window's tab label,
// caption, address bar and back/forward buttons. Owned by the main window.
class FormWeb : public QWidget
{
    Q_OBJECT
public:
    FormWeb(Session &session, PageHost &host, QWidget *parent);
    // The host site of the page's browser (none until the first PageJavaConctrl).
    cWebBrowser *vCWebMe() const { return m_vCWebMe.get(); }
    ~FormWeb() override;

    // What the tab and the status bar say when the page's renderer is gone.
    static const QString kStoppedLabel;
    static const QString kStoppedNotice;

    // Windows a page (with the windows it opened) may open without a click in a minute.
    static constexpr int kScriptWindowCap = PopupBudget::kWindows;

    // The tab slot the page stands in (-1 once it left the strip); the page stack alone
    // sets it.
    int myindex() const { return m_slot; }
    void setMyindex(int slot) { m_slot = slot; }
    // The title last shown while the page was in front.
    QString myname() const { return m_myname; }
    // The zoom in percent the page's zoom steps start from.
    int BigSize() const { return m_bigSize; }
    void setBigSize(int percent) { m_bigSize = percent; }
    // While set, the page's picture check only counts its large pictures.
    bool AutoFind() const { return m_autoFind; }
    void setAutoFind(bool on) { m_autoFind = on; }

    // The engine adapter and the status bar stay inside the page window's own folder;
    // everyone else uses the operations below (tests may look inside).
    PageControl *Web() const { return m_web; }
    StatusBar *statusBar() const { return m_status; }
    ScriptDialog *scriptDialog() const { return m_dialog; }
    // A confirm or prompt of the page waits for the user.
    bool asksUser() const;
    QComboBox *Cmb() const { return m_cmb; }
    QWidget *PicJava() const { return m_picJava; }
    // The gallery's browser; null until the page's first gallery.
    PageControl *WebPic() const;
    // The page's own gallery file (gone with the page).
    QString galleryFile() const;

    // What the rest of the browser asks of a page.
    void navigate(const QString &address);
    // Reloading, going back or forward to a page that answered a sent form asks first
    // (kResendQuestion); no leaves the page as it is.
    static const QString kResendQuestion;
    void reload();
    void stop();
    void goBack();
    void goForward();
    void scrollBy(int dx, int dy, int times = 1);
    QString location() const;
    QString selectedText() const;
    // A notice in the status bar; it stays (hovered links aside) until the page navigates.
    void showStatus(const QString &text);
    // Focus to the page's focus holder, where the arrow keys scroll the page.
    void focusHolder();
    // Closes the page as the program ends: a picture run under way ends, and the page
    // records itself and its history at once.
    void closeForExit();
    // Records the page in the closed-page ring, as closing it does (never the marked
    // start page).
    void recordAsClosed();
    // This new page takes the window another page asked for.
    void receiveNewWindow(NewWindowRequest &request, FormWeb *opener);

    // This page becomes the current page, its browser the current browser.
    void SetActivate();
    // The main window's back and forward buttons follow this page.
    void butenableable();
    // Per-navigation reset of the picture counters.
    void BeforeDownload();
    // Attaches a fresh host site to the browser; in safe picture mode it switches the
    // page's scripts off and reloads it. False when a step failed.
    bool PageJavaConctrl();
    // Pictures (formweb_pictures.cpp).
    // Builds the page's gallery, or only counts its large pictures while AutoFind is set.
    void SearchPic();
    // The gallery in front of the page, or behind it.
    void showGallery(bool shown);
    // The large pictures not saved since the last navigation, into a folder; done runs
    // when the run is over (at once when another run is under way).
    PictureSaver::Start SavePictureDisk(const QString &savePath, std::function<void()> done = {});
    // Every picture that makes a file of 30,000 bytes or more, into a folder.
    void SavePictureForSize(const QString &savePath, std::function<void()> done = {});
    // Into the program's download folder now: the large pictures, and every picture
    // when fewer than two large ones were met.
    void AutoDownLoadImag(std::function<void()> done = {});
    // Into a folder the user chose ("" when the user chose none).
    void DownloadPictureSaveAs(const QString &folder, std::function<void()> done = {});
    int FindImag() const { return m_saver->found(); }
    // The whole document of the current browser (the gallery while it is in front) as
    // one JPEG file the user names; done tells whether the file was written.
    enum class Shot { Started, SafeMode, Cancelled, Busy };
    Shot ScreenSaveAs(const QString &mainCaption, std::function<void(bool written)> done = {});
    // The message shown when safe picture mode forbids a screenshot.
    static const QString kScreenshotSafeMode;
    bool savingPictures() const { return m_saver->busy(); }

    // Files (formweb_files.cpp). The answers come on the page's script round trip ("" when
    // the page has no document).
    void documentSource(std::function<void(const QString &)> take);
    void selectionSource(std::function<void(const QString &)> take);
    void documentText(std::function<void(const QString &)> take);
    // As one MHTML file, or complete (the page and a folder of its parts).
    void savePage(const QString &path, bool complete, std::function<void(bool ok)> done);
    void download(const QString &address);

    // Page commands (formweb_files.cpp).
    using Edit = EditCommand;
    void edit(Edit command);
    // Zooms the document's body to percent (ZOOMIE).
    void ZOOMIE(int percent);
    // One zoom step in or out from BigSize; false (nothing changed) at the bound.
    bool zoomStep(bool in);
    // The page takes typing into its text (edit mode), or is read only again.
    void setEditable(bool editable);
    // The page laid out for print by the engine, as PDF (empty when it could not be).
    // done runs while context lives, also when this page closed meanwhile.
    void printDocument(const QPageLayout &layout, const QPageRanges &ranges, QObject *context,
                       std::function<void(const QByteArray &pdf)> done);
    // What the browser knows of the document, on the page's script round trip.
    void pageFacts(std::function<void(const PageFacts &)> take);
    // The find bar over the page (made on first use).
    FindBar *showFind();

    // Hands the page's selected text to the search box and, when there is some, shows
    // the selection bar at (x, y) of the page (in twips).
    void zhan(int xTwips, int yTwips);
    void hideSelectionBar();
    SelectionBar *PictMouse() const { return m_pictMouse; }

    // Window caption of the page (its title).
    QString caption() const { return m_caption; }
    QString pageTitle() const { return m_pageTitle; }
    bool placed() const;
    void place(const QRect &clientRect);
    bool closePending() const { return m_closePending; }
    bool blocked() const { return m_blocked; }
    bool loadedOnce() const { return m_loadedOnce; }
    bool backEnabled() const { return m_backEnabled; }
    bool forwardEnabled() const { return m_forwardEnabled; }
    // The visits recorded in this window, oldest first.
    QVector<Visit> historyRows() const { return m_history; }
    // The document's own title ("" when it has none).
    QString documentTitle() const { return m_documentTitle; }

    void setVisible(bool visible) override;
    // Sleeping when memory runs short (formweb_sight.cpp). A page asleep gave its renderer
    // up; it reloads, at the reader's place, when it is shown.
    bool discarded() const;
    // Whether the page may sleep as far as the browser knows, without asking the page.
    bool maySleep() const;
    // Puts the page to sleep unless it, or what it holds, must stay awake; done tells.
    void trySleep(std::function<void(bool slept)> done);
    // The page's renderer process (0 while it has none), and a script round trip to it:
    // answered runs when it comes back (never, while the renderer is stuck).
    qint64 rendererPid() const;
    void ping(std::function<void()> answered);
    // When it went out of sight (invalid: never hidden).
    QDateTime hiddenSince() const;
    // What the tab's tool tip adds while the page sleeps.
    static const QString kAsleepNote;
    static const QString kQuestionNote;
    // A page the user scrolled, clicked or typed in this recently stays awake.
    static constexpr qint64 kWorkedWithinMs = 30 * 60 * 1000;

signals:
    // Text the selection bar hands to the search box.
    void selectionForSearch(const QString &text);
    // The selection bar's search: the address to open in a new page.
    void searchInNewPage(const QString &address);
    // A picture of the gallery was clicked.
    void pictureChosen(const QString &address);
    // The page finished loading a document.
    void documentLoaded();
    // The page closed; its renderer process was pid (0: none).
    void closedOnRenderer(qint64 pid);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutControls();
    void onProgressChange(int progress, int progressMax);
    void onCommandStateChange(int command, bool enable);
    void onTitleChange(const QString &engineTitle);
    void applyTitle(const QString &documentTitle);
    void onDocumentComplete();
    void onBeforeNavigate(NavigationRequest &request);
    void onNewWindow(NewWindowRequest &request);
    void onRendererGone();
    // Timer2: closes a window that never got a document (a refused pop-up).
    void checkDocumentArrived();
    // Timer3: the 5-second tick (picture counting, pending close, unplaced windows).
    void slowTick();
    bool isActive() const;
    void setUpPictures();
    void setUpSelectionBar();
    // Whether loading the entry step away (0: this one) may go ahead.
    bool mayResend(int step);
    // The user scrolled, clicked or typed in the page now.
    void noteWork();
    // Asks a page another page opened whether it still knows its opener.
    void checkOpener();
    static std::function<void()> once(std::function<void()> done);
    // Runs then once a discarded page has reloaded; false (then not run) when the page
    // was not discarded.
    bool wakeThen(std::function<void()> then);
    // Keeps a hidden page drawn (out of sight, under the others) while its pictures are
    // taken; a page that was hidden is hidden again after.
    void holdRendering(bool hold);
    // Runs done, then closes the page if the user closed it during the run.
    std::function<void()> afterRun(std::function<void()> done);

    Session &m_session;
    PageHost &m_host;
    PageControl *m_web = nullptr;
    QWidget *m_picJava = nullptr;
    std::unique_ptr<cWebBrowser> m_vCWebMe;
    QComboBox *m_cmb = nullptr;
    StatusBar *m_status = nullptr;
    ScriptDialog *m_dialog = nullptr;
    QTimer *m_timer2 = nullptr;
    QTimer *m_timer3 = nullptr;
    GalleryView *m_gallery = nullptr;
    PictureSaver *m_saver = nullptr;
    PageScreenshot *m_screenshot = nullptr;
    FindBar *m_find = nullptr;
    SelectionBar *m_pictMouse = nullptr;
    int m_renderHolds = 0;
    // When the user last scrolled, clicked or typed in the page, and when it went out of
    // sight.
    QDateTime m_lastWork;
    QDateTime m_hiddenSince;
    // The page that opened this one, and those this one opened; whether this page's
    // document still holds its opener (assumed until it says).
    QPointer<FormWeb> m_openedBy;
    QList<QPointer<FormWeb>> m_opened;
    bool m_hasOpener = false;
    std::optional<QPoint> m_scrollBeforeDiscard;
    bool m_hideAfterRender = false;
    PageText::Progress m_progress;

    QString m_caption;
    QString m_pageTitle;
    QString m_lastRecordedTitle;
    int m_slot = -1;
    QString m_myname;
    int m_bigSize = 100;
    bool m_autoFind = false;
    bool m_visitRecorded = false;
    QVector<Visit> m_history;
    QString m_documentTitle;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
    bool m_loadedOnce = false;
    bool m_blocked = false;
    bool m_closePending = false;
    bool m_closed = false;
    bool m_exiting = false;
    bool m_dying = false;
    // A page a callback may still act on: there, and not being destroyed.
    static bool live(const QPointer<FormWeb> &page) { return page && !page->m_dying; }
    int m_pictureTicks = 0;
    // Windows opened without a click by this page's chain of script-opened windows.
    std::shared_ptr<PopupBudget> m_popups = std::make_shared<PopupBudget>();
    QString m_notice;
};
