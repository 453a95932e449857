#pragma once
#include <QPageLayout>
#include <QPageRanges>
#include <QImage>
#include <QMap>
#include <QUrl>
#include <QObject>
#include <QRect>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

#include "engine/editcommand.h"
#include "engine/navigationrequests.h"

class QWebEngineProfile;
class QWebEngineView;
class QWebEngineNewWindowRequest;
class QWidget;
class EnginePage;
class LoadPolicy;
class ClientSite;
class ScriptDialogs;

// The browser control: one engine view and page, offered to the shell in its own words.
// Members navigate and query the document; signals carry the events the page windows
// consume. Document queries run in the application's own script world, so they work
// while a page's scripts are switched off.
class BrowserControl : public QObject
{
    Q_OBJECT
public:
    BrowserControl(QWebEngineProfile *profile, QWidget *viewParent, QObject *parent = nullptr);
    ~BrowserControl() override;

    // The widget to place in a window.
    QWidget *widget() const;

    // Accepts what a user types into a browser: full addresses, host names without a
    // scheme, local file paths and "about:blank".
    void Navigate(const QString &address);
    void GoBack();
    void GoForward();
    void Refresh();
    // Reload as the host site asks for it; false when there is no document to reload.
    bool Refresh2();
    void Stop();
    QString LocationURL() const; // "" before the first navigation
    bool canGoBack() const;
    bool canGoForward() const;
    bool isBusy() const;

    // A new view joins the window once its first document's title is on screen (see
    // Navigate); a view whose showing someone else decides turns this off.
    bool ShowOnFirstDocument = true;
    // The first document's title is on screen: a view kept out of the window joins it
    // now. The end of the load, or a second's wait, does the same for a page whose
    // title never comes.
    void revealView();

    // Scrolls the document's window by (dx, dy) pixels, repeated `times` times.
    void scrollBy(int dx, int dy, int times = 1);
    // By whole views (negative: up), or to the top or the bottom of the document.
    void scrollPages(int pages);
    void scrollToEdge(bool end);
    QString selectedText() const;
    // Lets the engine drop a page that is out of sight: its renderer goes, and the page
    // reloads (scroll position and form fields kept) when it is shown again. Ignored
    // while the view is shown.
    void discard();
    bool discarded() const;
    // The page played sound in the last moments.
    bool recentlyAudible() const;

    // Whether the entry that reloading (0), going back (-1) or forward (1) loads was
    // the answer to a sent form (POST): loading it sends the form again.
    bool resendsForm(int step) const;

    using ResultCallback = std::function<void(const QVariant &)>;
    // Runs script in the application's world; the callback is never run after the
    // control is gone.
    void runScript(const QString &script, ResultCallback callback = {});
    // The document's own title ("" when it has none); ok = false when it could not be read.
    void queryDocumentTitle(std::function<void(bool ok, const QString &title)> callback);

    // The host site this browser asks for its download-control word.
    static constexpr int kAmbientDownloadControl = -5512;
    static constexpr int kAmbientUserAgent = -5513;
    // Who answers the page's alert, confirm and prompt.
    void setScriptDialogs(ScriptDialogs *dialogs);
    // The site clears itself here before it goes.
    void setClientSite(ClientSite *site);
    ClientSite *clientSite() const;
    // The site says an ambient property changed: ask it again.
    void OnAmbientPropertyChange(int property);
    // What the page may load from its next load on (-1: the engine's defaults).
    void setDownloadControl(int flags);
    int downloadControl() const { return m_downloadControl; }

    // What picture capture needs of the view (browsercontrol_view.cpp).
    // The view's pixels: all of it, or a rectangle (device-independent pixels).
    QImage grabView(const QRect &rect = QRect()) const;
    QSize viewSize() const;
    // Device pixels to a view pixel (a scaled screen's factor).
    qreal devicePixelRatio() const;
    // Makes the view taller for a capture; restoreViewSize() undoes it unless the page
    // window laid the view out anew meanwhile.
    void setCaptureHeight(int height);
    void restoreViewSize();
    qreal zoomFactor() const;
    // Settings of a local generated page: may it show remote pictures, read local files.
    void setLocalPageAccess(bool remoteUrls, bool fileUrls);
    // Silences the page (a closed page kept alive for a moment plays nothing).
    void setAudioMuted(bool muted);
    // The widget that takes the page's mouse and keys (it changes on some navigations).
    QWidget *inputWidget() const;
    // Runs script in the page's own world, as the page's scripts would (ZOOMIE, tests).
    void runPageScript(const QString &script);
    // The renderer process of the page (0 while it has none).
    qint64 rendererPid() const;
    // Saves what an address holds (from the engine's cache when it has it) into path,
    // through the engine's own download; done tells whether the whole file is there. done
    // runs only while context lives; a download the engine never starts ends as failed.
    void downloadTo(const QString &address, const QString &path, QObject *context, std::function<void(bool ok)> done);
    // The engine's own editing commands on the page (its clipboard and selection).
    using Edit = EditCommand;
    void edit(Edit command);
    // The engine's find: highlights every match and goes to the next (or previous) one;
    // done gets the active match's number and the count. An empty word clears it.
    void find(const QString &word, bool backward, bool matchCase, std::function<void(int active, int total)> done);
    // Asks the engine to download an address as if a link to it were followed.
    void download(const QString &address);
    // Saves the page as it is now (never loading it again): one MHTML file with every
    // picture, or the page with a folder of its parts; done tells whether it was written.
    enum class PageFormat { SingleFile, Complete };
    // The page laid out for print by the engine, as PDF bytes (empty when it could not).
    // A page closed while the engine lays it out stays, out of sight, until the engine is
    // done: taking it away then crashes the engine at times.
    // done runs while context lives, also when the page closed meanwhile.
    void printToPdf(const QPageLayout &layout, const QPageRanges &ranges, QObject *context,
                    std::function<void(const QByteArray &pdf)> done);
    // Pages still kept for their print job; the profile waits for them (up to ms) before it
    // goes, then lets the rest go.
    static int pagesKeptForPrinting();
    static void finishPrinting(int ms);
    void savePage(const QString &path, PageFormat format, QObject *context, std::function<void(bool ok)> done);

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
    void GotFocus();
    // The user clicked, typed or turned the wheel in the page.
    void UserInput();
    // The page's renderer process ended without being asked to (crashed or killed).
    void RendererGone();
    // What the page was sent to was a download, and the page never had a document.
    void LeftEmptyByDownload();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onNewWindowRequested(QWebEngineNewWindowRequest &request);
    void onFocusChanged(QWidget *old, QWidget *now);
    void reportCommandState();

    QWebEngineView *m_view = nullptr;
    EnginePage *m_page = nullptr;
    struct PrintJobs {
        int running = 0;
        QPointer<QWidget> kept; // the view, once its page closed during a job
    };
    std::shared_ptr<PrintJobs> m_printJobs = std::make_shared<PrintJobs>();
    static QList<QPointer<QWidget>> s_keptForPrinting;
    std::shared_ptr<bool> m_alive;
    std::unique_ptr<LoadPolicy> m_policy;
    ClientSite *m_site = nullptr;
    int m_downloadControl = -1;
    // A refused navigation of a window that never showed a document leaves the engine
    // reporting the refused address for a moment; it is not the page's location.
    QString m_refusedUrl;
    // Blank without a document (see Navigate).
    bool m_emptyBlank = false;
    bool m_awaitingDocument = false;
    // The page was given something to show (a load, or a window a page opened).
    bool m_pageUsed = false;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
    // History entries (by index) that were answers to a sent form, and how the last main
    // document was asked for and why.
    QMap<int, QUrl> m_postEntries;
    bool m_lastRequestPost = false;
    NavigationRequest::Kind m_lastKind = NavigationRequest::Other;
    void notePostEntry();
    // The view's geometry before a capture made it taller, and that height.
    QRect m_geometryBeforeCapture;
    int m_captureHeight = 0;
};
