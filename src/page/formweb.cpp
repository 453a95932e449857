#include "page/formweb.h"
#include "page/questionbar.h"

#include "engine/pagecontrol.h"
#include "engine/cwebbrowser.h"
#include "page/pageclosing.h"
#include "page/pagecommands.h"
#include "page/pagedocument.h"
#include "page/pagehost.h"
#include "page/pagepictures.h"
#include "page/pagesleep.h"
#include "page/scriptdialog.h"
#include "page/certificatepanel.h"
#include "page/logindialog.h"
#include "page/pagefullscreen.h"
#include "page/permissionasker.h"
#include "page/scrollkeys.h"
#include "page/session.h"
#include "page/statusbar.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "tabs/sites.h"
#include "tabs/stripgeometry.h"
#include "userdata/options.h"

#include <QPointer>
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
    , m_guard(session.options, [this](const QString &question) {
        return m_session.dialogs.question(this, PageText::kProductName, question);
    })
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

    m_status = new StatusBar(this, m_session.clock.now().date());
    m_question = new QuestionBar(this);
    // A question asked out of sight waits there, said in its tab's tool tip.
    m_dialog = new ScriptDialog(this, [this] { return isActive(); }, [this] { reload(); });
    m_web->setScriptDialogs(m_dialog);
    wireSiteRequests();

    m_closing = new PageClosing({this, [this] { return m_pictures && m_pictures->savingPictures(); },
                                 [this] {
                                     m_web->setAudioMuted(true);
                                     hide();
                                 },
                                 [this] { return !m_web->LocationURL().isEmpty(); },
                                 [this] {
                                     if (isActive())
                                         m_host.setAddressText(QString());
                                 },
                                 [this] { return m_guard.blocked(); }, [this] { m_host.closePage(this); },
                                 [this] { return placed(); }});
    m_sleep = new PageSleep(this, *m_web, m_session.clock, [this] { return keepsAwake(); }, [this] {
        PageText::Label label = PageText::tabLabel(m_pageTitle);
        label.toolTip = PageText::plainToolTip(m_pageTitle + QLatin1Char('\n') + PageSleep::kAsleepNote);
        m_host.setTabLabel(this, label);
    });
    m_pictures = new PagePictures(*this, *m_web, {m_session.engine, m_session.dialogs, m_session.clock, m_session.options, m_session.pictures},
                                  m_host, *m_status, *m_sleep);
    connect(m_pictures->ticker(), &QTimer::timeout, this, &FormWeb::slowTick);
    connect(m_pictures, &PagePictures::pictureChosen, this, &FormWeb::pictureChosen);
    m_document = new PageDocument(*m_web, [this] { return m_documentTitle; }, this);
    m_commands = new PageCommands(*m_web, this, m_session.findWord);
    connect(m_commands, &PageCommands::selectionForSearch, this, &FormWeb::selectionForSearch);
    connect(m_commands, &PageCommands::searchInNewPage, this, &FormWeb::searchInNewPage);
    const auto within = [](const PageControl *view, const QWidget *w) {
        return view && (w == view->widget() || view->widget()->isAncestorOf(w));
    };
    new ScrollKeys({this, m_cmb,
                    [this, within](const QWidget *w) { return within(m_web, w) || (m_pictures && within(m_pictures->WebPic(), w)); },
                    [this] { m_commands->hideSelectionBar(); },
                    [this] { return m_session.currentPage() == this; },
                    [this]() -> PageControl * {
                        FormWeb *current = m_session.currentPage();
                        return current ? current->scrollTarget() : nullptr;
                    },
                    [this] { m_sleep->noteWork(); }});

    // A hovered link shows over a notice of the browser's; the notice comes back after.
    connect(m_web, &PageControl::StatusTextChange, this,
            [this](const QString &text) { m_status->setStatusText(text.isEmpty() ? m_notice : text); });
    connect(m_web, &PageControl::ProgressChange, this, &FormWeb::onProgressChange);
    connect(m_web, &PageControl::CommandStateChange, this, &FormWeb::onCommandStateChange);
    connect(m_web, &PageControl::TitleChange, this, &FormWeb::onTitleChange);
    connect(m_web, &PageControl::DownloadComplete, m_closing, &PageClosing::watchForDocument);
    connect(m_web, &PageControl::DocumentComplete, this, &FormWeb::onDocumentComplete);
    connect(m_web, &PageControl::BeforeNavigate2, this, &FormWeb::onBeforeNavigate);
    connect(m_web, &PageControl::UserInput, this, [this] { m_burst.userWorked(); });
    connect(m_web, &PageControl::PrintRequested, this, [this] {
        // A tab out of sight prints nothing; a page asking again and again gets the print
        // dialog at most once in a few seconds, so it cannot trap the user in it.
        if (!isActive() || (m_lastPrintAsked.isValid() && m_lastPrintAsked.elapsed() < kPrintAgainMs))
            return;
        emit printAsked();
        m_lastPrintAsked.start();
    });
    connect(m_web, &PageControl::NewWindow2, this, &FormWeb::onNewWindow);
    connect(m_web, &PageControl::GotFocus, this, [this] { m_host.clearWebFocus(); });
    connect(m_web, &PageControl::WheelTurned, m_commands, &PageCommands::hideSelectionBar);
    connect(m_commands, &PageCommands::zoomShown, m_status, &StatusBar::showZoom);
    connect(m_web, &PageControl::RendererGone, this, &FormWeb::onRendererGone);
    // A tab opened only for an address that turned out to be a download (a link handed
    // over from outside, a new window) would stay behind empty.
    connect(m_web, &PageControl::LeftEmptyByDownload, this, [this] { m_host.closePage(this); }, Qt::QueuedConnection);

    setGeometry(toPixels(40000), 0, toPixels(15000), toPixels(9000));
    layoutControls();
    if (m_session.options.safePictureMode() == 1)
        PageJavaConctrl();
}

FormWeb::~FormWeb()
{
    // From here on the engine's reports (a load ended by the page going, an answer given
    // while it goes) reach no part of the page: the parts go one by one below.
    disconnect(m_web, nullptr, this, nullptr);
    // Downloads waiting for the tab's question are refused with it.
    m_question->dismiss();
    // Callers waiting for a run hear its end now, and find the run's owner going.
    delete m_pictures;
    m_pictures = nullptr;
    m_dialog->abort();
    m_login->abort();
    m_web->setScriptDialogs(nullptr);
    m_vCWebMe.reset();
    // The browser goes first: its pending callbacks must not reach a half-destroyed page.
    delete m_web;
    m_web = nullptr;
    m_host.pageDestroyed(this);
}

PageControl *FormWeb::scrollTarget() const
{
    PageControl *pic = m_pictures->WebPic();
    return m_host.galleryShown() && pic ? pic : m_web;
}

void FormWeb::butenableable()
{
    m_host.setBackForward(m_backEnabled, m_forwardEnabled);
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

void FormWeb::reload()
{
    if (m_guard.mayResend(*m_web, 0))
        m_web->Refresh();
}

void FormWeb::stop() { m_web->Stop(); }

void FormWeb::goBack()
{
    if (m_guard.mayResend(*m_web, -1))
        m_web->GoBack();
}

void FormWeb::goForward()
{
    if (m_guard.mayResend(*m_web, 1))
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
        m_guard.shareBudgetOf(opener->m_guard);
    if (opener)
        m_sleep->openedBy(*opener->m_sleep);
}

void FormWeb::admitDownload(std::function<void(DownloadBurst::Verdict)> go)
{
    // The answer holds for the document it was given on. (A download is a navigation
    // that never arrives: only a document of another address starts afresh.)
    if (m_web->LocationURL() != m_burstAddress) {
        m_burstAddress = m_web->LocationURL();
        if (!m_question->asking())
            m_burst.newDocument();
    }
    // While the tab asks about the burst, every further download waits for that answer,
    // a click in the page or not: a page cannot bring up dialog after dialog.
    const DownloadBurst::Verdict verdict = m_question->asking() ? DownloadBurst::Verdict::Hold : m_burst.next(m_session.clock.now());
    QPointer<FormWeb> self(this);
    go(verdict);
    if (verdict == DownloadBurst::Verdict::Ask && self)
        m_burst.dialogEnded(m_session.clock.now());
    if (verdict != DownloadBurst::Verdict::Hold || !self)
        return;
    m_question->place(width());
    m_question->ask(QStringLiteral("此网页想下载多个文件"), QStringLiteral("允许"), QStringLiteral("拒绝"), [this, go](bool allow) {
        m_burst.answered(allow);
        go(allow ? DownloadBurst::Verdict::Quiet : DownloadBurst::Verdict::Refuse);
    });
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
    m_commands->hideSelectionBar();
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
    m_pictures->placeGallery(m_picJava->geometry());
    m_status->layout(w, h);
    m_cmb->setGeometry(toPixels(-2000), 0, toPixels(1000), toPixels(300));
    m_commands->layout(w);
    m_question->place(w);
    m_permissions->place(w, m_question->isVisible() ? m_question->height() : 0);
    m_certificate->place(m_picJava->geometry());
    if (m_fullScreen->on()) {
        // The page's element alone, over everything of the page window.
        m_picJava->setGeometry(rect());
        m_web->widget()->setGeometry(rect());
        m_picJava->raise();
    }
    m_fullScreen->place(w);
}

void FormWeb::wireSiteRequests()
{
    m_login = new LoginDialog(this, [this] { return isActive(); }, m_session.logins, [this] { reload(); });
    connect(m_web, &PageControl::LoginRequired, m_login, &LoginDialog::answer);
    connect(m_web, &PageControl::DocumentComplete, m_login, [this] { m_login->documentArrived(); });
    connect(m_login, &LoginDialog::waitingChanged, this, [this] { applyTitle(m_documentTitle); });
    m_certificate = new CertificatePanel(this);
    connect(m_web, &PageControl::CertificateProblemFound, m_certificate,
            [this](const CertificateProblem &problem) {
                m_certificate->show(problem);
                applyTitle(m_documentTitle);
            });
    connect(m_certificate, &CertificatePanel::answered, this, [this](bool goOn, bool toBlank) {
        // Not going on, the page stays as it was (or blank), never with the engine's
        // error page in place of the explanation.
        if (!goOn && toBlank)
            m_web->Navigate(QStringLiteral("about:blank"));
        else if (!goOn)
            m_web->Stop();
        m_web->answerCertificate(goOn);
        applyTitle(m_documentTitle);
    });
    m_permissions = new PermissionAsker(this, *m_web, m_session.permissions);
    m_fullScreen = new PageFullScreen(this, *m_web, [this] { return isActive(); }, [this](bool on) {
        layoutControls();
        m_host.setPageFullScreen(this, on);
    });
}

QString FormWeb::addressShown() const
{
    const QString address = location();
    if (address.isEmpty() && !m_certificate->isHidden())
        return m_certificate->problem().url.toString();
    return address;
}

PageSecurity FormWeb::security() const
{
    // While the panel asks, the page is the one with the problem.
    if (!m_certificate->isHidden())
        return PageSecurity::of(m_certificate->problem().url.toString(), m_certificate->problem());
    return PageSecurity::of(location(), m_web->acceptedCertificateProblem());
}

bool FormWeb::waitsOnSite() const
{
    // A certificate or a permission waits for the user's answer: a reload would drop it.
    return !m_certificate->isHidden() || m_permissions->bar()->asking() || m_login->waiting();
}

bool FormWeb::fullScreen() const
{
    return m_fullScreen->on();
}

void FormWeb::leaveFullScreen()
{
    m_fullScreen->leave();
}

bool FormWeb::asksUser() const
{
    return m_dialog->asking();
}

void FormWeb::slowTick()
{
    m_pictures->tick();
    // The picture tick stops after its first few; a close that waits keeps it going.
    if (m_closing->tick())
        m_pictures->ticker()->start();
}

bool FormWeb::closePending() const
{
    return m_closing->pending();
}

bool FormWeb::loadedOnce() const
{
    return m_closing->documentArrived();
}

bool FormWeb::isActive() const
{
    return m_host.isActive(this);
}

void FormWeb::closeEvent(QCloseEvent *event)
{
    switch (m_closing->asked()) {
    case PageClosing::Step::Gone:
        event->accept();
        return;
    case PageClosing::Step::Wait:
        event->ignore();
        return;
    case PageClosing::Step::Go:
        break;
    }
    m_fullScreen->leave();
    m_sleep->pageClosed();
    event->accept();
    // A refused pop-up closed by the browser says nothing of its process.
    if (!m_guard.blocked())
        emit closedOnRenderer(m_web->rendererPid());
    // What is written stays written; nothing more is taken from a closing page.
    m_pictures->stop();
    // A question the page is asking ends as cancelled; the engine gets its answer
    // before the page goes.
    m_dialog->abort();
    m_login->abort();
    recordAsClosed();
    // Every visit of the window reaches the day's history, newest first.
    m_host.flushHistory(m_visits.newestFirst());
}

void FormWeb::closeForExit()
{
    // The program ends: a run under way ends too, and the page records itself as any
    // closing page does.
    m_closing->closeForExit();
}

bool FormWeb::keepsAwake() const
{
    // A question, a picture run (or one that may start by itself), a window closing or
    // refused, a site waiting for an answer: each would be lost or repeated by a reload.
    return m_closing->closed() || m_closing->pending() || m_guard.blocked() || m_dialog->asking() || m_pictures->savingPictures()
        || m_session.options.autoDownloadPictures() != 0 || waitsOnSite();
}

qint64 FormWeb::rendererPid() const
{
    return m_web ? m_web->rendererPid() : 0;
}

void FormWeb::ping(std::function<void()> answered)
{
    m_web->runScript(QStringLiteral("1"), this, [answered](const QVariant &) { answered(); });
}

void FormWeb::setVisible(bool visible)
{
    if (!visible && m_sleep && !m_sleep->mayHide())
        return;
    const bool was = isVisible();
    QWidget::setVisible(visible);
    if (visible && !was && m_permissions)
        m_permissions->pageShown();
    if (m_sleep)
        m_sleep->visibilityChanged(was, visible);
}
