#include "engine/browsercontrol.h"

#include "engine/clientsite.h"
#include "engine/downloadcontrol.h"
#include "engine/enginepage.h"
#include "engine/printkeeper.h"
#include "engine/hiddenviewframes.h"
#include "engine/loadpolicy.h"
#include "engine/typedaddress.h"

#include <QAction>
#include <QChildEvent>
#include <QApplication>
#include <QDir>
#include <QWebEngineCertificateError>
#include <QWebEngineNewWindowRequest>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

NavigationRequest::Kind kindOf(QWebEnginePage::NavigationType type)
{
    switch (type) {
    case QWebEnginePage::NavigationTypeTyped: return NavigationRequest::Typed;
    case QWebEnginePage::NavigationTypeLinkClicked: return NavigationRequest::LinkClicked;
    case QWebEnginePage::NavigationTypeFormSubmitted: return NavigationRequest::FormSubmitted;
    case QWebEnginePage::NavigationTypeBackForward: return NavigationRequest::BackForward;
    case QWebEnginePage::NavigationTypeReload: return NavigationRequest::Reload;
    case QWebEnginePage::NavigationTypeRedirect: return NavigationRequest::Redirect;
    default: return NavigationRequest::Other;
    }
}

// The longest a new view stays out of the window waiting for its document's title.
constexpr int kRevealLatestMs = 1000;

} // namespace

BrowserControl::BrowserControl(const Engine &engine, QWidget *viewParent, QObject *parent)
    : PageControl(parent)
    , m_engine(engine)
    , m_alive(std::make_shared<bool>(true))
    , m_policy(std::make_unique<LoadPolicy>())
{
    m_view = new QWebEngineView(viewParent);
    // Out of sight, the view keeps no frame of its own (3.4 MB a tab, drawn in software).
    new HiddenViewFrames(m_view);
    m_page = new EnginePage(engine.profile, m_view);
    connect(m_page, &EnginePage::leftEmptyByDownload, this, &BrowserControl::LeftEmptyByDownload);
    m_view->setPage(m_page);
    // The policy passes everything until the page has a flag word; it also notes which
    // documents answered a sent form.
    m_policy->mainFrameRequest = [this](const QUrl &url, bool post) {
        m_lastRequestPost = post;
        // A download is a main-frame request too: the page it came from is the one that
        // asked for its address last.
        m_recentRequests.append(url);
        if (m_recentRequests.size() > kRecentRequests)
            m_recentRequests.removeFirst();
    };
    m_page->setUrlRequestInterceptor(m_policy.get());
    m_view->setObjectName(QStringLiteral("WebView"));
    connect(m_view, &QObject::destroyed, this, [this] {
        // The window holding the view went first.
        *m_alive = false;
        m_view = nullptr;
        m_page = nullptr;
    });

    m_page->setDecider([this](const QUrl &url, QWebEnginePage::NavigationType type, bool mainFrame) {
        NavigationRequest req;
        // As it goes over the wire: its length is what the address filter judges.
        req.url = QString::fromLatin1(url.toEncoded());
        req.kind = kindOf(type);
        req.mainFrame = mainFrame;
        if (mainFrame)
            m_lastKind = req.kind;
        emit BeforeNavigate2(req);
        if (req.cancel && mainFrame)
            m_refusedUrl = url.toString();
        // Going elsewhere ends a certificate question of the load before.
        if (!req.cancel && mainFrame)
            answerCertificate(false);
        return !req.cancel;
    });

    connect(m_page, &QWebEnginePage::linkHovered, this, &BrowserControl::StatusTextChange);
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] { emit ProgressChange(0, 100); });
    connect(m_page, &QWebEnginePage::loadProgress, this, [this](int p) { emit ProgressChange(p, 100); });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        notePostEntry();
        revealView();
        emit ProgressChange(-1, 100);
        emit DownloadComplete();
        emit DocumentComplete(LocationURL());
        emit LoadEnded(ok);
    });
    connect(m_page, &QWebEnginePage::titleChanged, this, &BrowserControl::TitleChange);
    connect(m_page, &QWebEnginePage::printRequested, this, &BrowserControl::PrintRequested);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    emit RendererGone();
            });
    connect(m_page->action(QWebEnginePage::Back), &QAction::changed, this, &BrowserControl::reportCommandState);
    connect(m_page->action(QWebEnginePage::Forward), &QAction::changed, this, &BrowserControl::reportCommandState);
    connect(m_page, &QWebEnginePage::newWindowRequested, this, &BrowserControl::onNewWindowRequested);
    wireSiteRequests();
    connect(qApp, &QApplication::focusChanged, this, &BrowserControl::onFocusChanged);
    // Input reaches the widget the engine puts inside the view (replaced on some
    // navigations): watch every child as it comes.
    m_view->installEventFilter(this);
    for (QObject *child : m_view->children())
        child->installEventFilter(this);
}

bool BrowserControl::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (watched == m_view)
            static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
        break;
    case QEvent::Wheel:
        emit WheelTurned();
        [[fallthrough]];
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
        if (event->spontaneous())
            emit UserInput();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

BrowserControl::~BrowserControl()
{
    // Pending script callbacks are answered when the page goes; they must find us gone.
    *m_alive = false;
    disconnect(qApp, nullptr, this, nullptr);
    // A load waiting on a certificate question ends refused while its page still exists.
    if (m_page)
        answerCertificate(false);
    if (m_page)
        m_page->setUrlRequestInterceptor(nullptr);
    if (m_view && m_printJobs->running > 0) {
        m_page->setDecider({});
        m_page->setScriptDialogs(nullptr);
        m_view->hide();
        m_view->setParent(nullptr);
        m_printJobs->kept = m_view;
        m_engine.printKeeper.keep(m_view);
        return;
    }
    delete m_view;
}

QWidget *BrowserControl::widget() const
{
    return m_view;
}

void BrowserControl::Navigate(const QString &address)
{
    const QUrl url = TypedAddress::toUrl(address);
    // A page that has never shown anything and is only to be blank gets no document at
    // all until it goes somewhere, and its view stays hidden (a shown view starts a
    // renderer process even with nothing in it): a blank tab then costs no renderer.
    // It reports what a loaded blank page reports.
    // (Asking a page that was never used for its history or its actions sets it up,
    // renderer and all; a control knows whether its page was ever given anything.)
    if (url == QUrl(QStringLiteral("about:blank")) && !m_pageUsed) {
        m_emptyBlank = true;
        m_view->setVisible(false);
        QTimer::singleShot(0, this, [this] {
            if (!m_emptyBlank)
                return;
            emit ProgressChange(0, 100);
            emit TitleChange(QStringLiteral("about:blank"));
            emit ProgressChange(-1, 100);
            emit DownloadComplete();
            emit DocumentComplete(LocationURL());
        });
        return;
    }
    m_emptyBlank = false;
    // A view that has never shown a page stays out of the window until its first
    // document's title is on screen: the view's first paint sets up its drawing surface
    // on this thread (150-200 ms with a software GL), which would hold the request, and
    // then the title, back for as long.
    if (m_showOnFirstDocument && !m_pageUsed) {
        m_awaitingDocument = true;
        m_view->setVisible(false);
        // A page that is slow to say anything still shows what it has by then.
        QTimer::singleShot(kRevealLatestMs, this, &BrowserControl::revealView);
    } else {
        m_view->setVisible(true);
    }
    m_pageUsed = true;
    m_page->load(url);
}

void BrowserControl::revealView()
{
    if (!m_awaitingDocument)
        return;
    m_awaitingDocument = false;
    m_view->setVisible(true);
}

void BrowserControl::GoBack() { m_page->triggerAction(QWebEnginePage::Back); }
void BrowserControl::GoForward() { m_page->triggerAction(QWebEnginePage::Forward); }
void BrowserControl::Refresh() { m_page->triggerAction(QWebEnginePage::Reload); }
void BrowserControl::Stop() { m_page->triggerAction(QWebEnginePage::Stop); }

bool BrowserControl::Refresh2()
{
    if (LocationURL().isEmpty())
        return false;
    Refresh();
    return true;
}

QString BrowserControl::LocationURL() const
{
    if (m_emptyBlank)
        return QStringLiteral("about:blank");
    const QString url = m_page->url().toString();
    if (!m_refusedUrl.isEmpty() && url == m_refusedUrl && m_page->history()->count() == 0)
        return QString();
    return url;
}

void BrowserControl::setClientSite(ClientSite *site) { m_site = site; }
void BrowserControl::setScriptDialogs(ScriptDialogs *dialogs) { m_page->setScriptDialogs(dialogs); }
ClientSite *BrowserControl::clientSite() const { return m_site; }

void BrowserControl::OnAmbientPropertyChange(int property)
{
    // The site supplies no user agent of its own, so only the download word matters.
    if (property == kAmbientDownloadControl && m_site)
        setDownloadControl(m_site->ambientDownloadControl());
}

void BrowserControl::setDownloadControl(int flags)
{
    using namespace DownloadControl;
    m_downloadControl = flags;
    m_policy->setFlags(flags);
    QWebEngineSettings *s = m_page->settings();
    if (flags < 0) {
        s->resetAttribute(QWebEngineSettings::JavascriptEnabled);
        s->resetAttribute(QWebEngineSettings::AutoLoadImages);
        s->resetAttribute(QWebEngineSettings::PluginsEnabled);
        return;
    }
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, (flags & kNoScripts) == 0);
    s->setAttribute(QWebEngineSettings::AutoLoadImages, (flags & kImages) != 0);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, (flags & (kNoJava | kNoRunActiveX)) == 0);
}

bool BrowserControl::canGoBack() const { return m_page->action(QWebEnginePage::Back)->isEnabled(); }
bool BrowserControl::canGoForward() const { return m_page->action(QWebEnginePage::Forward)->isEnabled(); }
bool BrowserControl::isBusy() const { return m_page->action(QWebEnginePage::Stop)->isEnabled(); }

void BrowserControl::scrollBy(int dx, int dy, int times)
{
    runScript(QStringLiteral("(function(){for(var i=0;i<%1;++i)window.scrollBy(%2,%3);})()")
                  .arg(qMax(1, times)).arg(dx).arg(dy));
}

void BrowserControl::scrollPages(int pages)
{
    // A page step keeps a line of the old view in sight, as browsers do.
    runScript(QStringLiteral("window.scrollBy(0, %1 * Math.max(40, window.innerHeight - 40))").arg(pages));
}

void BrowserControl::scrollToEdge(bool end)
{
    runScript(end ? QStringLiteral("window.scrollTo(window.scrollX, (document.scrollingElement || document.documentElement).scrollHeight)")
                  : QStringLiteral("window.scrollTo(window.scrollX, 0)"));
}

void BrowserControl::discard()
{
    // A page playing sound keeps playing.
    if (!m_view->isVisible() && !m_emptyBlank && !m_page->recentlyAudible()
        && m_page->lifecycleState() != QWebEnginePage::LifecycleState::Discarded)
        m_page->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
}

bool BrowserControl::recentlyAudible() const
{
    return m_page->recentlyAudible();
}

void BrowserControl::notePostEntry()
{
    const int at = m_page->history()->currentItemIndex();
    // Going back, forward or reloading keeps the entries; a new document drops those
    // it replaced, as the engine drops them from its history.
    if (m_lastKind != NavigationRequest::BackForward && m_lastKind != NavigationRequest::Reload) {
        m_postEntries.erase(m_postEntries.lowerBound(at), m_postEntries.end());
        if (m_lastRequestPost)
            m_postEntries.insert(at, m_page->url());
    }
    m_lastRequestPost = false;
}

bool BrowserControl::resendsForm(int step) const
{
    if (!m_page)
        return false;
    QWebEngineHistory *history = m_page->history();
    const int at = history->currentItemIndex() + step;
    if (at < 0 || at >= history->count())
        return false;
    const auto entry = m_postEntries.constFind(at);
    return entry != m_postEntries.cend() && history->itemAt(at).url() == entry.value();
}

bool BrowserControl::discarded() const
{
    return m_page->lifecycleState() == QWebEnginePage::LifecycleState::Discarded;
}

QString BrowserControl::selectedText() const
{
    return m_page->selectedText();
}

void BrowserControl::runScript(const QString &script, QObject *context, ResultCallback callback)
{
    if (!m_page)
        return;
    if (!callback) {
        m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld);
        return;
    }
    // The answer may come after the page or the asker went: it is dropped then.
    std::weak_ptr<bool> alive = m_alive;
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [alive, asker = QPointer<QObject>(context), hadAsker = context != nullptr,
                           callback](const QVariant &result) {
                              auto a = alive.lock();
                              if (a && *a && (!hadAsker || asker))
                                  callback(result);
                          });
}

void BrowserControl::queryDocumentTitle(QObject *context, std::function<void(bool, const QString &)> callback)
{
    if (m_emptyBlank) {
        // Answered as the engine answers, from the event loop.
        QTimer::singleShot(0, context ? context : this, [callback] { callback(true, QString()); });
        return;
    }
    runScript(QStringLiteral("document.title"), context, [callback](const QVariant &v) {
        callback(v.isValid(), v.toString());
    });
}

void BrowserControl::onNewWindowRequested(QWebEngineNewWindowRequest &request)
{
    NewWindowRequest req;
    req.url = request.requestedUrl().toString();
    req.userInitiated = request.isUserInitiated();
    req.background = request.destination() == QWebEngineNewWindowRequest::InNewBackgroundTab;
    req.dialog = request.destination() == QWebEngineNewWindowRequest::InNewDialog;
    emit NewWindow2(req);
    // Only an engine page can take the engine's window.
    auto *target = qobject_cast<BrowserControl *>(req.target);
    if (req.cancel || !target)
        return;
    target->m_pageUsed = true;
    request.openIn(target->m_page);
}

void BrowserControl::onFocusChanged(QWidget *old, QWidget *now)
{
    // The view's focus proxy is replaced after cross-site navigations, so ask about
    // ancestry rather than about one proxy object.
    const bool inside = now && m_view->isAncestorOf(now);
    const bool wasInside = old && m_view->isAncestorOf(old);
    if (inside && !wasInside)
        emit GotFocus();
}

void BrowserControl::reportCommandState()
{
    const bool back = canGoBack();
    const bool forward = canGoForward();
    if (forward != m_forwardEnabled) {
        m_forwardEnabled = forward;
        emit CommandStateChange(1, forward);
    }
    if (back != m_backEnabled) {
        m_backEnabled = back;
        emit CommandStateChange(2, back);
    }
}
