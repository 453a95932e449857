#pragma once
#include "engine/pagecontrol.h"
#include "support/fakedownloads.h"

#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class FakeEngine;

// A page without the engine: it "loads" an address from the event loop at once, with the
// title its engine was told for that address, and answers scripts as its engine says. For
// tests of the tab, stack and page rules, which then take milliseconds instead of seconds.
class FakePage final : public PageControl
{
    Q_OBJECT
public:
    FakePage(FakeEngine &engine, QWidget *viewParent, QObject *parent);
    ~FakePage() override { delete m_view; }

    // What a test does as the page or its user would.
    // The page's script opens a window (a click when userInitiated); the answer is the request.
    NewWindowRequest openWindow(const QString &url, bool userInitiated);
    // The renderer process died.
    void crash() { emit RendererGone(); }
    // A navigation the page itself starts (a link, a form sent with POST).
    void follow(const QString &url, bool post = false);
    void setAudible(bool audible) { m_audible = audible; }
    int loads() const { return m_loads; }
    bool muted() const { return m_muted; }

    QWidget *widget() const override { return m_view; }
    void Navigate(const QString &address) override { load(address, NavigationRequest::Typed, false); }
    void GoBack() override { step(-1); }
    void GoForward() override { step(1); }
    void Refresh() override { load(LocationURL(), NavigationRequest::Reload, m_postAt.value(m_at)); }
    bool Refresh2() override
    {
        if (LocationURL().isEmpty())
            return false;
        Refresh();
        return true;
    }
    void Stop() override {}
    QString LocationURL() const override { return m_at >= 0 ? m_entries[m_at] : QString(); }
    bool canGoBack() const override { return m_at > 0; }
    bool canGoForward() const override { return m_at + 1 < m_entries.size(); }
    bool isBusy() const override { return false; }
    void setShowOnFirstDocument(bool) override {}
    void revealView() override {}
    void scrollBy(int, int, int) override {}
    void scrollPages(int) override {}
    void scrollToEdge(bool) override {}
    QString selectedText() const override { return {}; }
    void discard() override
    {
        if (!m_view->isVisible() && !LocationURL().isEmpty() && !m_audible)
            m_discarded = true;
    }
    bool discarded() const override { return m_discarded; }
    bool recentlyAudible() const override { return m_audible; }
    bool resendsForm(int step) const override { return m_postAt.value(m_at + step); }
    void runScript(const QString &script, QObject *context, ResultCallback callback) override;
    void queryDocumentTitle(QObject *context, std::function<void(bool, const QString &)> callback) override;
    void runPageScript(const QString &) override {}
    void setScriptDialogs(ScriptDialogs *) override {}
    void setClientSite(ClientSite *site) override { m_site = site; }
    ClientSite *clientSite() const override { return m_site; }
    void OnAmbientPropertyChange(int) override {}
    void setDownloadControl(int flags) override { m_downloadControl = flags; }
    int downloadControl() const override { return m_downloadControl; }
    QImage grabView(const QRect &rect) const override
    {
        QImage image(rect.isValid() ? rect.size() : m_view->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }
    QSize viewSize() const override { return m_view->size(); }
    qreal devicePixelRatio() const override { return 1.0; }
    void setCaptureHeight(int) override {}
    void restoreViewSize() override {}
    qreal zoomFactor() const override { return 1.0; }
    void setLocalPageAccess(bool, bool) override {}
    void setAudioMuted(bool muted) override { m_muted = muted; }
    QWidget *inputWidget() const override { return m_view; }
    qint64 rendererPid() const override { return m_discarded || LocationURL().isEmpty() ? 0 : m_pid; }
    bool askedFor(const QUrl &address) const override { return m_entries.contains(address.toString()); }
    void downloadTo(const QString &, const QString &, QObject *context, std::function<void(bool)> done) override
    {
        later(context, [done] { done(false); });
    }
    void edit(Edit) override {}
    void find(const QString &, bool, bool, QObject *context, std::function<void(int, int)> done) override
    {
        later(context, [done] { done(0, 0); });
    }
    void download(const QString &) override {}
    void printToPdf(const QPageLayout &, const QPageRanges &, QObject *context,
                    std::function<void(const QByteArray &)> done) override
    {
        later(context, [done] { done({}); });
    }
    void savePage(const QString &, PageFormat, QObject *context, std::function<void(bool)> done) override
    {
        later(context, [done] { done(false); });
    }
    // A fake page asks nothing of the kind.
    void answerCertificate(bool) override {}
    void answerPermission(const QUrl &, SiteFeature, bool) override {}
    void leaveFullScreen() override {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A page that slept reloads once it is shown, as the engine's does.
        if (watched == m_view && event->type() == QEvent::Show && m_discarded) {
            m_discarded = false;
            finishLoad();
        }
        return PageControl::eventFilter(watched, event);
    }

private:
    void load(const QString &url, NavigationRequest::Kind kind, bool post);
    void step(int by);
    void finishLoad();
    void later(QObject *context, std::function<void()> work)
    {
        QTimer::singleShot(0, this, [context = QPointer<QObject>(context), hadContext = context != nullptr, work] {
            if (!hadContext || context)
                work();
        });
    }

    FakeEngine &m_engine;
    QPointer<QWidget> m_view;
    QStringList m_entries;
    QHash<int, bool> m_postAt;
    int m_at = -1;
    int m_loads = 0;
    qint64 m_pid;
    bool m_discarded = false;
    bool m_audible = false;
    bool m_muted = false;
    int m_downloadControl = -1;
    ClientSite *m_site = nullptr;
};

// The engine of FakePages: the titles its addresses have, what its pages' scripts answer,
// and what was asked of the profile.
class FakeEngine : public PageEngine
{
public:
    // The title a page at an address shows ("" or unknown: the document has none).
    QHash<QString, QString> titles;
    // What a script answers; invalid (the default) as a page without a document would.
    std::function<QVariant(FakePage &page, const QString &script)> answer;
    QList<QPointer<FakePage>> pages;
    int forgot = 0;

    PageControl *newPage(QWidget *viewParent, QObject *parent) override
    {
        auto *page = new FakePage(*this, viewParent, parent);
        pages.append(page);
        return page;
    }
    FakeDownloads downloadSource;
    DownloadSource *downloads() override { return &downloadSource; }
    void setNoticeShower(std::function<void(const SiteNotice &)>) override {}
    // An instance name makes the window keep its list of open pages.
    QString instance;
    QString instanceName() const override { return instance; }
    void forgetCookies() override { ++forgot; }
    void forgetVisitedLinks() override { ++forgot; }
    bool clearSiteDataAtNextStart() override { return true; }
    bool clearCacheAtNextStart() override { return true; }
    qint64 nextPid = 5000;
};

inline FakePage::FakePage(FakeEngine &engine, QWidget *viewParent, QObject *parent)
    : PageControl(parent)
    , m_engine(engine)
    , m_view(new QWidget(viewParent))
    , m_pid(engine.nextPid++)
{
    m_view->installEventFilter(this);
}

inline void FakePage::load(const QString &url, NavigationRequest::Kind kind, bool post)
{
    NavigationRequest request;
    request.url = url;
    request.kind = kind;
    emit BeforeNavigate2(request);
    if (request.cancel) {
        // As the engine does: the load ends at once, with nothing new shown.
        QTimer::singleShot(0, this, [this] {
            emit DownloadComplete();
            emit DocumentComplete(LocationURL());
        });
        return;
    }
    if (kind != NavigationRequest::Reload) {
        while (m_entries.size() > m_at + 1)
            m_postAt.remove(int(m_entries.size()) - 1), m_entries.removeLast();
        m_entries.append(url);
        m_postAt.insert(++m_at, post);
    }
    QTimer::singleShot(0, this, [this] { finishLoad(); });
}

inline void FakePage::follow(const QString &url, bool post)
{
    load(url, post ? NavigationRequest::FormSubmitted : NavigationRequest::LinkClicked, post);
}

inline void FakePage::step(int by)
{
    const int to = m_at + by;
    if (to < 0 || to >= m_entries.size())
        return;
    NavigationRequest request;
    request.url = m_entries[to];
    request.kind = NavigationRequest::BackForward;
    emit BeforeNavigate2(request);
    if (request.cancel)
        return;
    m_at = to;
    QTimer::singleShot(0, this, [this] { finishLoad(); });
}

inline void FakePage::finishLoad()
{
    ++m_loads;
    emit ProgressChange(0, 100);
    emit TitleChange(m_engine.titles.value(LocationURL(), LocationURL()));
    emit CommandStateChange(2, canGoBack());
    emit CommandStateChange(1, canGoForward());
    emit ProgressChange(-1, 100);
    emit DownloadComplete();
    emit DocumentComplete(LocationURL());
}

inline void FakePage::runScript(const QString &script, QObject *context, ResultCallback callback)
{
    if (!callback)
        return;
    later(context, [this, script, callback] {
        callback(m_engine.answer ? m_engine.answer(*this, script) : QVariant());
    });
}

inline void FakePage::queryDocumentTitle(QObject *context, std::function<void(bool, const QString &)> callback)
{
    later(context, [this, callback] { callback(true, m_engine.titles.value(LocationURL())); });
}

inline NewWindowRequest FakePage::openWindow(const QString &url, bool userInitiated)
{
    NewWindowRequest request;
    request.url = url;
    request.userInitiated = userInitiated;
    emit NewWindow2(request);
    if (!request.cancel)
        if (auto *target = qobject_cast<FakePage *>(request.target))
            target->load(url, NavigationRequest::Other, false);
    return request;
}
