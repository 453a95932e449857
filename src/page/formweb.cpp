#include "page/formweb.h"

#include "engine/pagecontrol.h"
#include "engine/cwebbrowser.h"
#include "page/adfilter.h"
#include "page/findbar.h"
#include "page/pagehost.h"
#include "page/scriptdialog.h"
#include "page/session.h"
#include "page/statusbar.h"
#include "pictures/galleryview.h"
#include "pictures/picturename.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "tabs/sites.h"
#include "tabs/stripgeometry.h"
#include "userdata/options.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QTimer>
#include <QWheelEvent>

using StripGeometry::toPixels;

const QString FormWeb::kStoppedLabel = QStringLiteral("网页已停止响应");
const QString FormWeb::kStoppedNotice = QStringLiteral("网页已停止响应，按 F5 重新载入");

FormWeb::FormWeb(Session &session, PageHost &host, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_host(host)
{
    setObjectName(QStringLiteral("FormWeb"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);

    // Load, in order: status bar, browser, off-screen until placed.
    // The browser lives in its container from the start; the host site takes that
    // container over when it attaches.
    m_picJava = new QWidget(this);
    m_picJava->setObjectName(QStringLiteral("PicJava"));
    // What a blank page shows while it has no view up (a new blank tab).
    m_picJava->setAutoFillBackground(true);
    QPalette white = m_picJava->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_picJava->setPalette(white);
    m_web = m_session.engine.newPage(m_picJava, nullptr);
    m_web->widget()->setObjectName(QStringLiteral("Web"));

    m_cmb = new QComboBox(this);
    m_cmb->setObjectName(QStringLiteral("Cmb"));
    m_cmb->installEventFilter(this);

    m_status = new StatusBar(this, m_session.clock.now().date());
    // A question asked out of sight waits there, said in its tab's tool tip.
    m_dialog = new ScriptDialog(this, [this](bool waiting) {
        PageText::Label label = PageText::tabLabel(m_pageTitle);
        if (waiting)
            label.toolTip = PageText::plainToolTip(m_pageTitle + QLatin1Char('\n') + kQuestionNote);
        m_host.setTabLabel(this, label);
    });
    m_web->setScriptDialogs(m_dialog);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(200);
    connect(m_timer2, &QTimer::timeout, this, &FormWeb::checkDocumentArrived);
    m_timer3 = new QTimer(this);
    m_timer3->setObjectName(QStringLiteral("Timer3"));
    m_timer3->setInterval(5000);
    connect(m_timer3, &QTimer::timeout, this, &FormWeb::slowTick);
    m_timer3->start();
    setUpPictures();
    setUpSelectionBar();

    // A hovered link shows over a notice of the browser's; the notice comes back after.
    connect(m_web, &PageControl::StatusTextChange, this,
            [this](const QString &text) { m_status->setStatusText(text.isEmpty() ? m_notice : text); });
    connect(m_web, &PageControl::ProgressChange, this, &FormWeb::onProgressChange);
    connect(m_web, &PageControl::CommandStateChange, this, &FormWeb::onCommandStateChange);
    connect(m_web, &PageControl::TitleChange, this, &FormWeb::onTitleChange);
    connect(m_web, &PageControl::DownloadComplete, m_timer2, qOverload<>(&QTimer::start));
    connect(m_web, &PageControl::DocumentComplete, this, &FormWeb::onDocumentComplete);
    connect(m_web, &PageControl::BeforeNavigate2, this, &FormWeb::onBeforeNavigate);
    connect(m_web, &PageControl::NewWindow2, this, &FormWeb::onNewWindow);
    connect(m_web, &PageControl::GotFocus, this, [this] { m_host.clearWebFocus(); });
    connect(m_web, &PageControl::UserInput, this, &FormWeb::noteWork);
    connect(m_web, &PageControl::WheelTurned, this, &FormWeb::hideSelectionBar);
    connect(m_web, &PageControl::RendererGone, this, &FormWeb::onRendererGone);
    // A tab opened only for an address that turned out to be a download (a link handed
    // over from outside, a new window) would stay behind empty.
    connect(m_web, &PageControl::LeftEmptyByDownload, this, [this] { m_host.closePage(this); }, Qt::QueuedConnection);

    setGeometry(toPixels(40000), 0, toPixels(15000), toPixels(9000));
    layoutControls();
    if (m_session.options.openInBackground() == 0)
        SetActivate();
    if (m_session.options.safePictureMode() == 1)
        PageJavaConctrl();
}

FormWeb::~FormWeb()
{
    // Callers waiting for a run hear its end now, and find the page going (a QPointer to
    // it stays set until the children are gone).
    m_dying = true;
    delete m_saver;
    m_saver = nullptr;
    m_dialog->abort();
    m_web->setScriptDialogs(nullptr);
    m_vCWebMe.reset();
    // The browser goes first: its pending callbacks must not reach a half-destroyed page.
    delete m_web;
    m_web = nullptr;
    m_host.pageDestroyed(this);
}

void FormWeb::SetActivate()
{
    m_session.currentPage = this;
    PageControl *pic = WebPic();
    m_session.currentBrowser = m_host.galleryShown() && pic ? pic : m_web;
}

void FormWeb::butenableable()
{
    m_host.setBackForward(m_backEnabled, m_forwardEnabled);
}

void FormWeb::BeforeDownload()
{
    m_saver->resetSaved();
    m_pictureTicks = 0;
    m_status->setPictureCount(0);
    m_status->resetSavedCounter();
    m_timer3->start();
}

bool FormWeb::PageJavaConctrl()
{
    m_vCWebMe = std::make_unique<cWebBrowser>();
    m_vCWebMe->INIAll(m_picJava, m_web);
    if (!m_vCWebMe->attached())
        return false;
    m_picJava->setVisible(true);
    if (m_session.options.safePictureMode() != 0)
        m_vCWebMe->setDL_Script(false);
    return true;
}

void FormWeb::navigate(const QString &address) { m_web->Navigate(address); }
const QString FormWeb::kResendQuestion = QStringLiteral(
    "此网页需要重新提交表单数据，重新提交可能会重复之前的操作（例如付款）。是否继续？");

bool FormWeb::mayResend(int step)
{
    // An entry that answered a sent form sends it again when loaded: the user says first.
    return !m_web->resendsForm(step)
        || m_session.dialogs.question(this, PageText::kProductName, kResendQuestion);
}

void FormWeb::reload()
{
    if (mayResend(0))
        m_web->Refresh();
}

void FormWeb::stop() { m_web->Stop(); }

void FormWeb::goBack()
{
    if (mayResend(-1))
        m_web->GoBack();
}

void FormWeb::goForward()
{
    if (mayResend(1))
        m_web->GoForward();
}
void FormWeb::scrollBy(int dx, int dy, int times) { m_web->scrollBy(dx, dy, times); }
QString FormWeb::location() const { return m_web->LocationURL(); }
QString FormWeb::selectedText() const { return m_web->selectedText(); }
void FormWeb::showStatus(const QString &text)
{
    m_notice = text;
    m_status->setStatusText(text);
}
void FormWeb::focusHolder() { m_cmb->setFocus(); }
void FormWeb::receiveNewWindow(NewWindowRequest &request, FormWeb *opener)
{
    request.target = m_web;
    // A window a page opened on its own spends its opener's budget from now on.
    if (opener && !request.userInitiated)
        m_popups = opener->m_popups;
    if (opener) {
        m_openedBy = opener;
        m_hasOpener = true;
        m_openedBy->m_opened.removeAll(nullptr);
        m_openedBy->m_opened.append(this);
    }
}

void FormWeb::recordAsClosed()
{
    const QString address = location();
    if (address != Sites::kMarkedStartPage)
        m_host.recordClosedPage(m_caption, address);
}

bool FormWeb::placed() const
{
    return x() * StripGeometry::kTwipsPerPixel <= 1000;
}

void FormWeb::place(const QRect &clientRect)
{
    setGeometry(clientRect);
}

void FormWeb::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    hideSelectionBar();
    layoutControls();
}

void FormWeb::layoutControls()
{
    const int w = width();
    const int h = height();
    const int hTw = StripGeometry::toTwips(h);
    // The top 50 twips of the view lie above the window, hiding its border.
    m_picJava->setGeometry(0, -toPixels(50), w, qMax(0, toPixels(hTw - 190)));
    m_web->widget()->setGeometry(0, 0, m_picJava->width(), m_picJava->height());
    m_gallery->setGeometry(m_picJava->geometry());
    m_status->layout(w, h);
    m_cmb->setGeometry(toPixels(-2000), 0, toPixels(1000), toPixels(300));
    if (m_find) {
        // Over the page's upper right corner.
        const QSize bar = m_find->sizeHint();
        m_find->setGeometry(qMax(0, w - bar.width() - 16), 0, qMin(w, bar.width()), bar.height());
    }
}

void FormWeb::onProgressChange(int progress, int progressMax)
{
    m_status->setProgress(m_progress.change(progress, progressMax));
    if (m_progress.reachedFull() && m_session.options.autoDownloadPictures() != 0)
        m_timer3->start();
}

void FormWeb::onCommandStateChange(int command, bool enable)
{
    // Kept for every page, so a tab activated later shows its own state; only the
    // active page drives the buttons.
    if (command == 2)
        m_backEnabled = enable;
    else if (command == 1)
        m_forwardEnabled = enable;
    if (isActive())
        butenableable();
}

void FormWeb::onTitleChange(const QString &engineTitle)
{
    // The engine's title falls back to the address while a document has none: a title
    // that cannot be an address is the document's own and shows at once (the document
    // may be busy for a while yet); any other is asked of the document itself.
    if (!engineTitle.isEmpty() && !PageText::mayBeAddress(engineTitle, m_web->LocationURL())) {
        applyTitle(engineTitle);
        return;
    }
    m_web->queryDocumentTitle(this, [this](bool ok, const QString &title) {
        if (ok)
            applyTitle(title);
    });
}

bool FormWeb::asksUser() const
{
    return m_dialog->asking();
}

void FormWeb::applyTitle(const QString &rawTitle)
{
    const QString documentTitle = PageText::withoutBidiControls(rawTitle);
    const QString location = m_web->LocationURL();
    m_documentTitle = documentTitle;
    m_pageTitle = PageText::pageTitle(documentTitle, location);
    const PageText::Label label = PageText::tabLabel(m_pageTitle);
    m_host.setTabLabel(this, label);
    m_caption = m_pageTitle;
    setWindowTitle(PageText::plainWindowTitle(m_caption));

    const QString t = PageText::firstChars(documentTitle, 100);
    if (!t.isEmpty() && t != m_lastRecordedTitle && location != m_session.options.homePageUrl()
        && t != History::kPageTitle) {
        m_lastRecordedTitle = t;
        // One row a visit: a title the page changes by script renames its visit's row.
        if (m_visitRecorded && !m_history.isEmpty() && m_history.last().address == location)
            m_history.last().title = t;
        else
            m_history.append({m_session.clock.now(), t, location});
        m_visitRecorded = true;
    }

    if (isActive()) {
        m_myname = m_pageTitle;
        m_host.setMainCaption(PageText::mainCaption(label.text));
        m_host.setAddressText(location);
    }
    // Only now: a view's first showing holds the user-interface thread for a while.
    // An empty title may be the document not parsed yet; the load's end shows it.
    if (!documentTitle.isEmpty())
        m_web->revealView();
}

void FormWeb::onDocumentComplete()
{
    // A title event can arrive before the new document is parsed (history navigation
    // brings its title along), when the document still reads as untitled; read it again
    // once the load is over.
    onTitleChange(QString());
    m_timer2->start();
    if (m_scrollBeforeDiscard) {
        m_web->runScript(QStringLiteral("window.scrollTo(%1, %2)").arg(m_scrollBeforeDiscard->x()).arg(m_scrollBeforeDiscard->y()));
        m_scrollBeforeDiscard.reset();
    }
    checkOpener();
    m_host.focusActivePage(this);
    emit documentLoaded();
}

void FormWeb::onRendererGone()
{
    // The page's process crashed or was killed: its tab says so instead of showing a
    // frozen page; a reload (F5) starts it again. Its visits stay as they were recorded.
    const PageText::Label label = PageText::tabLabel(kStoppedLabel);
    m_host.setTabLabel(this, label);
    showStatus(kStoppedNotice);
    if (isActive())
        m_host.setMainCaption(PageText::mainCaption(label.text));
}

void FormWeb::onBeforeNavigate(NavigationRequest &request)
{
    if (AdFilter::refuses(request.url, m_session.options.adBlock(), m_session.options.safePictureMode())) {
        request.cancel = true;
        m_blocked = true;
    }
    if (request.mainFrame && !request.cancel) {
        m_notice.clear();
        // The budget goes on; a refusal on the new page is told there again.
        m_popups->told = false;
        m_dialog->reset();
        m_visitRecorded = false;
    }
    BeforeDownload();
}

void FormWeb::onNewWindow(NewWindowRequest &request)
{
    // Windows a page opens on its own, without a click, are bounded per minute for the
    // page and the windows it opened; no honest page comes near the bound. Windows the
    // user asks for are never refused here.
    if (!request.userInitiated && !m_popups->take(m_session.clock.now())) {
        request.cancel = true;
        if (m_popups->tellOnce())
            showStatus(QStringLiteral("此网页自行弹出的窗口已超过 %1 个，其余的已被拦截。").arg(kScriptWindowCap));
        return;
    }
    m_host.openNewWindow(this, request);
}

void FormWeb::checkDocumentArrived()
{
    if (!m_web->LocationURL().isEmpty()) {
        m_loadedOnce = true;
        m_timer2->stop();
        return;
    }
    if (isActive())
        m_host.setAddressText(QString());
    if (m_blocked)
        m_host.closePage(this);
}

void FormWeb::slowTick()
{
    ++m_pictureTicks;
    if (m_pictureTicks > 5)
        m_timer3->stop();
    if (m_session.options.autoDownloadPictures() != 0) {
        if (SavePictureDisk(PictureName::downloadFolder()) == PictureSaver::Start::OtherPageSaving)
            m_timer3->start(); // another page is saving: try again on a later tick
    } else if (!m_web->discarded()) {
        m_autoFind = true;
        SearchPic();
    }
    if (m_closePending) {
        close();
        // Still saving: keep trying, even past the sixth tick.
        if (!m_closed)
            m_timer3->start();
        return;
    }
    if (!placed())
        close();
}

bool FormWeb::isActive() const
{
    return m_host.isActive(this);
}

void FormWeb::closeEvent(QCloseEvent *event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    if (m_saver->busy() && !m_exiting) {
        // This page's pictures are being saved: the run ends at its next picture and
        // the page closes then. Until then it is out of sight and silent.
        m_closePending = true;
        m_web->setAudioMuted(true);
        hide();
        event->ignore();
        return;
    }
    m_closed = true;
    event->accept();
    // A refused pop-up closed by the browser says nothing of its process.
    if (!m_blocked)
        emit closedOnRenderer(m_web->rendererPid());
    // What is written stays written; nothing more is taken from a closing page.
    m_saver->stop();
    // A question the page is asking ends as cancelled; the engine gets its answer
    // before the page goes.
    m_dialog->abort();
    recordAsClosed();
    // Every visit of the window reaches the day's history, newest first.
    QVector<Visit> newestFirst(m_history.crbegin(), m_history.crend());
    m_host.flushHistory(newestFirst);
    if (m_session.currentPage == this) {
        m_session.currentPage.clear();
        m_session.currentBrowser.clear();
    }
}

void FormWeb::closeForExit()
{
    // The program ends: a run under way ends too, and the page records itself as any
    // closing page does.
    m_exiting = true;
    close();
}

void FormWeb::wheelEvent(QWheelEvent *event)
{
    // A wheel turn over the page window itself (its status bar, its edges) scrolls the
    // current browser; over the web view the engine scrolls by itself.
    QWidget *under = QApplication::widgetAt(event->globalPosition().toPoint());
    const auto inside = [under](PageControl *b) {
        return b && (under == b->widget() || b->widget()->isAncestorOf(under));
    };
    const bool overView = under && (inside(m_web) || inside(WebPic()));
    hideSelectionBar();
    const int delta = event->angleDelta().y();
    if (m_session.currentPage != this || overView || delta == 0 || !m_session.currentBrowser) {
        event->ignore();
        return;
    }
    const int notches = qMax(1, qAbs(delta) / 120);
    noteWork();
    m_session.currentBrowser->scrollBy(0, delta < 0 ? 200 * notches : -200 * notches);
    event->accept();
}

bool FormWeb::eventFilter(QObject *watched, QEvent *event)
{
    // The focus holder takes the keys a reader scrolls with.
    if (watched == m_cmb && event->type() == QEvent::KeyPress && m_session.currentBrowser) {
        noteWork();
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        PageControl *browser = m_session.currentBrowser;
        const bool shift = keyEvent->modifiers() & Qt::ShiftModifier;
        switch (keyEvent->key()) {
        case Qt::Key_Up: browser->scrollBy(0, -100); return true;
        case Qt::Key_Down: browser->scrollBy(0, 100); return true;
        case Qt::Key_PageUp: browser->scrollPages(-1); return true;
        case Qt::Key_PageDown: browser->scrollPages(1); return true;
        case Qt::Key_Space: browser->scrollPages(shift ? -1 : 1); return true;
        case Qt::Key_Home: browser->scrollToEdge(false); return true;
        case Qt::Key_End: browser->scrollToEdge(true); return true;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
