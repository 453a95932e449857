#pragma once
#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "page/downloadburst.h"
#include "page/navigationguard.h"
#include "page/pagesecurity.h"
#include "page/picturespage.h"
#include "page/visitlog.h"
#include "tabs/pagetext.h"

class PageControl;
class cWebBrowser;
class PageClosing;
class PageCommands;
class PageDocument;
class PageHost;
class PagePictures;
class PageSleep;
class QuestionBar;
class ScriptDialog;
class CertificatePanel;
class LoginDialog;
class PageFullScreen;
class PermissionAsker;
class QComboBox;
class QTimer;
class StatusBar;
struct NavigationRequest;
struct NewWindowRequest;
struct Session;

// The window of one page (one tab), from its opening to its closing. Hosts the page's
// browser control, shows the status bar under it, and turns the browser's events into
// the main window's tab label, caption, address bar and back/forward buttons. Its other
// jobs are classes of their own it owns: pictures, document, commands, sleep, visits and
// the navigation guard. Owned by the main window.
class FormWeb : public QWidget, public PicturesPage
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

    // How soon after its last print dialog closed a page may ask for another.
    static constexpr int kPrintAgainMs = 3000;

    // The tab slot the page stands in (-1 once it left the strip); the page stack alone
    // sets it.
    int myindex() const { return m_slot; }
    void setMyindex(int slot) { m_slot = slot; }
    // The title last shown while the page was in front.
    QString myname() const { return m_myname; }

    // The page's jobs, each in a class of its own.
    PagePictures &pictures() const { return *m_pictures; }
    PageDocument &document() const { return *m_document; }
    PageCommands &commands() const { return *m_commands; }
    PageSleep &sleep() const { return *m_sleep; }
    const VisitLog &visits() const { return m_visits; }
    // The history was cleared: what the page visited so far is never written.
    void forgetVisits() { m_visits.forget(); }
    const NavigationGuard &guard() const { return m_guard; }

    // The engine adapter and the status bar stay inside the page window's own folder;
    // everyone else uses the operations below (tests may look inside).
    PageControl *Web() const { return m_web; }
    StatusBar *statusBar() const { return m_status; }
    ScriptDialog *scriptDialog() const { return m_dialog; }
    // A confirm or prompt of the page waits for the user.
    bool asksUser() const;
    // What the site asks besides its pages: a login, a certificate, permissions.
    LoginDialog *loginDialog() const { return m_login; }
    CertificatePanel *certificatePanel() const { return m_certificate; }
    PermissionAsker *permissions() const { return m_permissions; }
    // An element of the page fills the screen; leaving gives the screen back.
    bool fullScreen() const;
    void leaveFullScreen();
    QComboBox *Cmb() const { return m_cmb; }
    QWidget *PicJava() const { return m_picJava; }
    // Where keys and the wheel scroll: the gallery while it is in front, else the page.
    PageControl *scrollTarget() const;

    // What the rest of the browser asks of a page.
    void navigate(const QString &address);
    // Reloading, going back or forward to a page that answered a sent form asks first;
    // no leaves the page as it is.
    void reload();
    void stop();
    void goBack();
    void goForward();
    void scrollBy(int dx, int dy, int times = 1);
    QString location() const override;
    // How the page came: what the address box shows beside its address.
    PageSecurity security() const;
    // What the address box shows for the page: its location, or while the certificate
    // panel stands over a tab with no document yet, the address it asks about.
    QString addressShown() const;
    QString selectedText() const;
    // A notice in the status bar; it stays (hovered links aside) until the page navigates.
    void showStatus(const QString &text) override;
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
    // A download the page started: go() hears at once how it goes; one of a burst hears
    // Hold, and again once the tab's question "此网页想下载多个文件" is answered (Quiet
    // or Refuse).
    void admitDownload(std::function<void(DownloadBurst::Verdict)> go);
    QuestionBar *questionBar() const { return m_question; }

    // The main window's back and forward buttons follow this page.
    void butenableable();
    // Attaches a fresh host site to the browser; in safe picture mode it switches the
    // page's scripts off and reloads it. False when a step failed.
    bool PageJavaConctrl();

    // Window caption of the page (its title).
    QString caption() const { return m_caption; }
    QString pageTitle() const override { return m_pageTitle; }
    bool placed() const;
    void place(const QRect &clientRect);
    bool closePending() const override;
    bool blocked() const { return m_guard.blocked(); }
    bool loadedOnce() const;
    // Between the start of a load and its end (what Esc stops).
    bool loading() const { return m_loading; }
    bool backEnabled() const { return m_backEnabled; }
    bool forwardEnabled() const { return m_forwardEnabled; }
    // The document's own title ("" when it has none).
    QString documentTitle() const { return m_documentTitle; }

    // A page kept drawn for its pictures is lowered instead of hidden (see PageSleep).
    void setVisible(bool visible) override;
    // The page's renderer process (0 while it has none), and a script round trip to it:
    // answered runs when it comes back (never, while the renderer is stuck).
    qint64 rendererPid() const;
    void ping(std::function<void()> answered);

signals:
    // Text the selection bar hands to the search box.
    void selectionForSearch(const QString &text);
    // The selection bar's search: the address to open in a new page.
    void searchInNewPage(const QString &address);
    // A picture of the gallery was clicked.
    void pictureChosen(const QString &address);
    // The page finished loading a document.
    void documentLoaded();
    // The page in front asked to be printed, and may: it was not refused one a moment ago.
    void printAsked();
    // The page started or stopped loading.
    void loadingChanged(bool loading);
    // The page closed; its renderer process was pid (0: none).
    void closedOnRenderer(qint64 pid);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The picture work's view of the page.
    QWidget *pageWidget() override { return this; }
    void closeAfterRun() override { close(); }

    void layoutControls();
    void wireSiteRequests();
    void onProgressChange(int progress, int progressMax);
    void onCommandStateChange(int command, bool enable);
    void onTitleChange(const QString &engineTitle);
    void applyTitle(const QString &documentTitle);
    void onDocumentComplete();
    void onBeforeNavigate(NavigationRequest &request);
    void onNewWindow(NewWindowRequest &request);
    void onRendererGone();
    // Timer3: the 5-second tick (picture counting, pending close, unplaced windows).
    void slowTick();
    bool isActive() const;
    // The page window's own reasons to stay awake.
    bool keepsAwake() const;
    bool waitsOnSite() const;

    Session &m_session;
    PageHost &m_host;
    PageControl *m_web = nullptr;
    QWidget *m_picJava = nullptr;
    std::unique_ptr<cWebBrowser> m_vCWebMe;
    QComboBox *m_cmb = nullptr;
    StatusBar *m_status = nullptr;
    ScriptDialog *m_dialog = nullptr;
    QuestionBar *m_question = nullptr;
    LoginDialog *m_login = nullptr;
    CertificatePanel *m_certificate = nullptr;
    PermissionAsker *m_permissions = nullptr;
    PageFullScreen *m_fullScreen = nullptr;
    DownloadBurst m_burst;
    QString m_burstAddress;
    QElapsedTimer m_lastPrintAsked;
    PageClosing *m_closing = nullptr;
    NavigationGuard m_guard;
    VisitLog m_visits;
    PageSleep *m_sleep = nullptr;
    PagePictures *m_pictures = nullptr;
    PageDocument *m_document = nullptr;
    PageCommands *m_commands = nullptr;
    PageText::Progress m_progress;

    QString m_caption;
    QString m_pageTitle;
    int m_slot = -1;
    QString m_myname;
    QString m_documentTitle;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
    bool m_loading = false;
    QString m_notice;
};
