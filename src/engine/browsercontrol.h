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

#include "engine/pagecontrol.h"

class CertificateExceptions;

class EngineDownloads;
class PrintKeeper;
class QWebEngineProfile;
class QWebEngineView;
class QWebEngineNewWindowRequest;
class QWebEngineCertificateError;
class QWidget;
class EnginePage;
class LoadPolicy;
class ClientSite;
class ScriptDialogs;

// The browser control: one engine view and page, offered to the shell in its own words.
// Document queries run in the application's own script world, so they work while a
// page's scripts are switched off.
class BrowserControl final : public PageControl
{
    Q_OBJECT
public:
    // What a page takes from its engine profile.
    struct Engine {
        QWebEngineProfile *profile;
        PrintKeeper &printKeeper;
        EngineDownloads *downloads;
        CertificateExceptions &certificates;
    };
    BrowserControl(const Engine &engine, QWidget *viewParent, QObject *parent = nullptr);
    ~BrowserControl() override;

    QWidget *widget() const override;
    void Navigate(const QString &address) override;
    void GoBack() override;
    void GoForward() override;
    void Refresh() override;
    bool Refresh2() override;
    void Stop() override;
    QString LocationURL() const override;
    bool canGoBack() const override;
    bool canGoForward() const override;
    bool isBusy() const override;
    void setShowOnFirstDocument(bool show) override { m_showOnFirstDocument = show; }
    // The end of the load, or a second's wait, reveals a page whose title never comes.
    void revealView() override;

    void scrollBy(int dx, int dy, int times = 1) override;
    void scrollPages(int pages) override;
    void scrollToEdge(bool end) override;
    QString selectedText() const override;
    void discard() override;
    bool discarded() const override;
    bool recentlyAudible() const override;
    bool resendsForm(int step) const override;

    using PageControl::runScript;
    void runScript(const QString &script, QObject *context, ResultCallback callback) override;
    void queryDocumentTitle(QObject *context, std::function<void(bool ok, const QString &title)> callback) override;
    void runPageScript(const QString &script) override;

    void setScriptDialogs(ScriptDialogs *dialogs) override;
    void setClientSite(ClientSite *site) override;
    ClientSite *clientSite() const override;
    void OnAmbientPropertyChange(int property) override;
    void setDownloadControl(int flags) override;
    int downloadControl() const override { return m_downloadControl; }

    // The view operations (browsercontrol_view.cpp).
    QImage grabView(const QRect &rect = QRect()) const override;
    QSize viewSize() const override;
    qreal devicePixelRatio() const override;
    void setCaptureHeight(int height) override;
    void restoreViewSize() override;
    qreal zoomFactor() const override;
    void setLocalPageAccess(bool remoteUrls, bool fileUrls) override;
    void setAudioMuted(bool muted) override;
    // It changes on some navigations.
    QWidget *inputWidget() const override;
    qint64 rendererPid() const override;
    bool askedFor(const QUrl &address) const override { return m_recentRequests.contains(address); }
    bool isEnginePage(const QObject *enginePage) const override;
    // A download the engine never starts ends as failed.
    void downloadTo(const QString &address, const QString &path, QObject *context,
                    std::function<void(bool ok)> done) override;
    void edit(Edit command) override;
    void find(const QString &word, bool backward, bool matchCase, QObject *context,
              std::function<void(int active, int total)> done) override;
    void download(const QString &address) override;
    // A page closed while the engine lays it out stays, out of sight, with the print
    // keeper until the engine is done.
    void printToPdf(const QPageLayout &layout, const QPageRanges &ranges, QObject *context,
                    std::function<void(const QByteArray &pdf)> done) override;
    void savePage(const QString &path, PageFormat format, QObject *context, std::function<void(bool ok)> done) override;
    // What the site asks (browsercontrol_site.cpp).
    void answerCertificate(bool goOn) override;
    void answerPermission(const QUrl &origin, SiteFeature feature, bool granted) override;
    void leaveFullScreen() override;
    std::optional<CertificateProblem> acceptedCertificateProblem() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onNewWindowRequested(QWebEngineNewWindowRequest &request);
    void onFocusChanged(QWidget *old, QWidget *now);
    void reportCommandState();
    void wireSiteRequests();
    void onCertificateError(const QWebEngineCertificateError &error);

    QWebEngineView *m_view = nullptr;
    EnginePage *m_page = nullptr;
    struct PrintJobs {
        int running = 0;
        QPointer<QWidget> kept; // the view, once its page closed during a job
    };
    std::shared_ptr<PrintJobs> m_printJobs = std::make_shared<PrintJobs>();
    Engine m_engine;
    std::shared_ptr<bool> m_alive;
    bool m_showOnFirstDocument = true;
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
    static constexpr int kRecentRequests = 64;
    QList<QUrl> m_recentRequests;
    NavigationRequest::Kind m_lastKind = NavigationRequest::Other;
    // The certificate problem the page's load waits on.
    std::unique_ptr<QWebEngineCertificateError> m_certificate;
    CertificateProblem m_certificateProblem; // as the user was told it
    void notePostEntry();
    // The view's geometry before a capture made it taller, and that height.
    QRect m_geometryBeforeCapture;
    int m_captureHeight = 0;
};
