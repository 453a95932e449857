#pragma once
#include <QImage>
#include <QObject>
#include <QPageLayout>
#include <QPageRanges>
#include <QRect>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

#include "engine/editcommand.h"
#include "engine/navigationrequests.h"
#include "engine/siterequests.h"

class ClientSite;
class DownloadSource;
class ScriptDialogs;
class QWidget;

// What the page window, the page stack and the picture tools need of one engine page,
// in the shell's own words. The engine's pages are BrowserControl; tests of the tab and
// page rules put a fake in its place. Every asynchronous answer takes a context object:
// it is dropped when the context (or the page) is gone, never run on a half-gone owner.
class PageControl : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~PageControl() override = default;

    // The widget to place in a window.
    virtual QWidget *widget() const = 0;

    // Accepts what a user types into a browser: full addresses, host names without a
    // scheme, local file paths and "about:blank".
    virtual void Navigate(const QString &address) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Refresh() = 0;
    // Reload as the host site asks for it; false when there is no document to reload.
    virtual bool Refresh2() = 0;
    virtual void Stop() = 0;
    virtual QString LocationURL() const = 0; // "" before the first navigation
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;
    virtual bool isBusy() const = 0;

    // A new view joins the window once its first document's title is on screen; a view
    // whose showing someone else decides (the gallery, the viewer) turns this off.
    virtual void setShowOnFirstDocument(bool show) = 0;
    // The first document's title is on screen: a view kept out of the window joins it now.
    virtual void revealView() = 0;

    // Scrolls the document's window by (dx, dy) pixels, repeated `times` times.
    virtual void scrollBy(int dx, int dy, int times = 1) = 0;
    // By whole views (negative: up), or to the top or the bottom of the document.
    virtual void scrollPages(int pages) = 0;
    virtual void scrollToEdge(bool end) = 0;
    virtual QString selectedText() const = 0;
    // Lets the engine drop a page that is out of sight: its renderer goes, and the page
    // reloads (scroll position and form fields kept) when it is shown again. Ignored
    // while the view is shown.
    virtual void discard() = 0;
    virtual bool discarded() const = 0;
    // The page played sound in the last moments.
    virtual bool recentlyAudible() const = 0;
    // Whether the entry that reloading (0), going back (-1) or forward (1) loads was the
    // answer to a sent form (POST): loading it sends the form again.
    virtual bool resendsForm(int step) const = 0;

    using ResultCallback = std::function<void(const QVariant &)>;
    // Runs script in the application's world (it works while the page's own scripts are
    // off); the answer reaches callback while context and the page live.
    virtual void runScript(const QString &script, QObject *context, ResultCallback callback) = 0;
    void runScript(const QString &script) { runScript(script, nullptr, {}); }
    // The document's own title ("" when it has none); ok = false when it could not be read.
    virtual void queryDocumentTitle(QObject *context, std::function<void(bool ok, const QString &title)> callback) = 0;
    // Runs script in the page's own world, as the page's scripts would.
    virtual void runPageScript(const QString &script) = 0;

    // The host site this browser asks for its download-control word.
    static constexpr int kAmbientDownloadControl = -5512;
    static constexpr int kAmbientUserAgent = -5513;
    // Who answers the page's alert, confirm and prompt.
    virtual void setScriptDialogs(ScriptDialogs *dialogs) = 0;
    // The site clears itself here before it goes.
    virtual void setClientSite(ClientSite *site) = 0;
    virtual ClientSite *clientSite() const = 0;
    // The site says an ambient property changed: ask it again.
    virtual void OnAmbientPropertyChange(int property) = 0;
    // What the page may load from its next load on (-1: the engine's defaults).
    virtual void setDownloadControl(int flags) = 0;
    virtual int downloadControl() const = 0;

    // What picture capture needs of the view.
    // The view's pixels: all of it, or a rectangle (device-independent pixels).
    virtual QImage grabView(const QRect &rect = QRect()) const = 0;
    virtual QSize viewSize() const = 0;
    // Device pixels to a view pixel (a scaled screen's factor).
    virtual qreal devicePixelRatio() const = 0;
    // Makes the view taller for a capture; restoreViewSize() undoes it unless the page
    // window laid the view out anew meanwhile.
    virtual void setCaptureHeight(int height) = 0;
    virtual void restoreViewSize() = 0;
    virtual qreal zoomFactor() const = 0;
    // Settings of a local generated page: may it show remote pictures, read local files.
    virtual void setLocalPageAccess(bool remoteUrls, bool fileUrls) = 0;
    // Silences the page (a closed page kept alive for a moment plays nothing).
    virtual void setAudioMuted(bool muted) = 0;
    // The widget that takes the page's mouse and keys.
    virtual QWidget *inputWidget() const = 0;
    // The renderer process of the page (0 while it has none).
    virtual qint64 rendererPid() const = 0;
    // The page asked for this address lately (as a page, or as a download).
    virtual bool askedFor(const QUrl &address) const = 0;
    // Whether enginePage (a transfer's requestedBy) is this page's own: its document or
    // any of its frames started the transfer, whatever the address (data:, blob:).
    virtual bool isEnginePage(const QObject *enginePage) const { Q_UNUSED(enginePage); return false; }

    // Saves what an address holds (from the engine's cache when it has it) into path;
    // done tells whether the whole file is there, and runs only while context lives.
    virtual void downloadTo(const QString &address, const QString &path, QObject *context,
                            std::function<void(bool ok)> done) = 0;
    // The engine's own editing commands on the page (its clipboard and selection).
    using Edit = EditCommand;
    virtual void edit(Edit command) = 0;
    // Highlights every match and goes to the next (or previous) one; done gets the active
    // match's number and the count, while context lives. An empty word clears it.
    virtual void find(const QString &word, bool backward, bool matchCase, QObject *context,
                      std::function<void(int active, int total)> done) = 0;
    // Asks the engine to download an address as if a link to it were followed.
    virtual void download(const QString &address) = 0;
    // The page laid out for print, as PDF bytes (empty when it could not be). done runs
    // while context lives, also when the page closed meanwhile.
    virtual void printToPdf(const QPageLayout &layout, const QPageRanges &ranges, QObject *context,
                            std::function<void(const QByteArray &pdf)> done) = 0;
    // Saves the page as it is now (never loading it again): one MHTML file with every
    // picture, or the page with a folder of its parts; done tells whether it was written.
    enum class PageFormat { SingleFile, Complete };
    virtual void savePage(const QString &path, PageFormat format, QObject *context,
                          std::function<void(bool ok)> done) = 0;

    // What the site asked (see siterequests.h). goOn is ignored where the engine does not
    // let the user override the problem; either answer ends the question.
    virtual void answerCertificate(bool goOn) = 0;
    // The certificate problem the user chose to go past for this page's site in this run
    // (none: the connection, if encrypted, was verified).
    virtual std::optional<CertificateProblem> acceptedCertificateProblem() const { return std::nullopt; }
    virtual void answerPermission(const QUrl &origin, SiteFeature feature, bool granted) = 0;
    // The page's element gives the screen back (the engine then asks to leave, off).
    virtual void leaveFullScreen() = 0;

signals:
    // The wheel turned over the page.
    void WheelTurned();
    void StatusTextChange(const QString &text);
    void ProgressChange(int progress, int progressMax);
    void CommandStateChange(int command, bool enable); // 1 forward, 2 back
    void DownloadComplete();
    void TitleChange(const QString &text);
    void BeforeNavigate2(NavigationRequest &request);
    void NewWindow2(NewWindowRequest &request);
    void DocumentComplete(const QString &url);
    // A load of the main frame ended: ok is false where it failed (the engine's error page
    // shows instead).
    void LoadEnded(bool ok);
    void GotFocus();
    // The user clicked, typed or turned the wheel in the page.
    void UserInput();
    // The page's renderer process ended without being asked to (crashed or killed).
    void RendererGone();
    // What the page was sent to was a download, and the page never had a document.
    void LeftEmptyByDownload();
    // The page asked to be printed (window.print(), the PDF viewer's print button).
    void PrintRequested();
    // Synchronous: the engine waits until the receivers return.
    void LoginRequired(LoginRequest &request);
    void FullScreenRequested(FullScreenRequest &request);
    // Answered later by answerCertificate (a new navigation also ends it, refused).
    void CertificateProblemFound(const CertificateProblem &problem);
    // Answered later by answerPermission; Withdrawn: the page no longer waits for it.
    void PermissionAsked(const QUrl &origin, SiteFeature feature);
    void PermissionWithdrawn(const QUrl &origin, SiteFeature feature);
};

// Makes the pages of one engine profile, and forgets what its sites stored. The engine
// profile is the real one; tests of the shell's rules give a fake.
class PageEngine
{
public:
    virtual ~PageEngine() = default;
    // A new page whose view lives in viewParent, owned by parent (the caller when null).
    virtual PageControl *newPage(QWidget *viewParent, QObject *parent) = 0;
    // Where every download of the profile is announced.
    virtual DownloadSource *downloads() = 0;
    // The running instance's own name ("default", "instance-2" ...); "" off the record.
    virtual QString instanceName() const = 0;
    // Every cookie, and the links the engine remembers as visited.
    virtual void forgetCookies() = 0;
    virtual void forgetVisitedLinks() = 0;
    // Site storage and the HTTP cache go when the browser next starts, before the engine
    // opens them; false when that could not be arranged.
    virtual bool clearSiteDataAtNextStart() = 0;
    virtual bool clearCacheAtNextStart() = 0;
    // Who shows the notifications sites were allowed to show (none: they are dropped).
    virtual void setNoticeShower(std::function<void(const SiteNotice &notice)> show) = 0;
};
