#include "engine/enginedownloads.h"

#include "engine/continuationcheck.h"
#include "engine/enginepage.h"
#include "platform/partialfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

namespace {
constexpr int kServerContentLengthMismatch = 38;
}

Download::Download(QWebEngineDownloadRequest *request, PartialFiles *partials, Asker asker, QObject *parent)
    : Transfer(parent)
    , m_request(request)
    , m_engineId(request->id())
    , m_partials(partials)
    , m_asker(std::move(asker))
    , m_requestedBy(static_cast<QObject *>(request->page()))
{
    watch(request);
}

void Download::watch(QWebEngineDownloadRequest *request)
{
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this] {
        // Fewer bytes than it went on from: the engine started over from the first byte
        // (the server sent the whole), so nothing is spliced.
        if (m_takenUpAt > 0 && received() < m_takenUpAt && m_request->state() == QWebEngineDownloadRequest::DownloadInProgress) {
            m_takenUpAt = 0;
            m_startedOver = true;
            // What it had is gone: a later break goes on from the bytes of this answer.
            m_mostReceived = received();
        }
        m_mostReceived = qMax(m_mostReceived, received());
        emit progressed();
    });
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, this, &Download::progressed);
    connect(request, &QWebEngineDownloadRequest::stateChanged, this, &Download::onStateChanged);
    connect(request, &QObject::destroyed, this, [this] {
        if (m_state == State::Asking || m_state == State::Running) {
            m_state = State::Failed;
            m_failure = Failure::Interrupted;
            leaveNothing();
            emit finished();
        }
    });
}

void Download::goOn()
{
    m_resumable = false;
    m_state = State::Running;
    m_failure = Failure::None;
    emit progressed();
}

QUrl Download::url() const
{
    return m_request ? m_request->url() : QUrl();
}

QString Download::proposedName() const
{
    if (!m_request)
        return QString();
    QString name = plainName(m_request->suggestedFileName());
    if (name.isEmpty())
        name = plainName(m_request->url().fileName());
    return name;
}

qint64 Download::received() const
{
    if (m_state == State::Cancelled || m_state == State::Failed || !m_request)
        return m_mostReceived;
    return m_request->receivedBytes();
}

qint64 Download::total() const
{
    return m_request && m_request->totalBytes() > 0 ? m_request->totalBytes() : -1;
}

void Download::start(const QString &path)
{
    if (!m_request || m_state != State::Asking)
        return;
    const QFileInfo target(path);
    m_path = target.absolutePath() + QLatin1Char('/') + plainName(target.fileName());
    m_startedPath = m_path;
    m_held = HeldName::hold(m_path);
    if (!m_held.isValid()) {
        fail(Failure::FolderNotWritable);
        return;
    }
    if (m_partials) {
        if (m_held.made())
            m_partials->addHeld(m_path, m_held.device(), m_held.inode());
        for (const QString &file : partFiles())
            m_partials->addPartial(file);
    }
    // The folder first: the name is plain, so it cannot lead out of it.
    m_request->setDownloadDirectory(target.absolutePath());
    m_request->setDownloadFileName(QFileInfo(partPath()).fileName());
    m_state = State::Running;
    m_request->accept();
    // The version the server names now, to hold a continuation to; a small file rarely
    // breaks, and is not worth a request.
    if (m_asker && (total() < 0 || total() > kLookAbove)) {
        ContinuationCheck::look(m_asker(url()), this, [this](const ContinuationCheck::Version &version) {
            m_firstVersion = version;
        });
    }
}

QStringList Download::partFiles() const
{
    return {partPath(), partPath() + QStringLiteral(".download")};
}

void Download::unlist()
{
    if (!m_partials)
        return;
    for (const QString &file : partFiles())
        m_partials->forget(file);
    m_partials->forget(m_startedPath);
}

void Download::leaveNothing()
{
    if (m_startedPath.isEmpty())
        return;
    for (const QString &file : partFiles()) {
        const QFileInfo info(file);
        if (info.isFile() && !info.isSymLink())
            QFile::remove(file);
    }
    m_held.release();
    unlist();
}

void Download::complete()
{
    const QString final = m_held.finish(partPath());
    unlist();
    if (final.isEmpty()) {
        m_state = State::Failed;
        m_failure = Failure::NotRenamed;
        m_held.release();
        return;
    }
    m_state = State::Done;
    if (final != m_path) {
        // Another window's transfer took the name meanwhile: its file stays.
        m_displacedFrom = m_path;
        m_path = final;
    }
}

void Download::noteTakenUp()
{
    // The engine goes on from the bytes it counted (its file may hold a few more, which
    // it writes over).
    if (m_mostReceived > 0)
        m_takenUpAt = m_mostReceived;
}

void Download::adopt(QWebEngineDownloadRequest *request)
{
    if (m_request)
        disconnect(m_request, nullptr, this, nullptr);
    m_request = request;
    // The engine asks again also when it starts over (after the first answer said so).
    if (!m_startedOver)
        noteTakenUp();
    watch(request);
    if (request->state() == QWebEngineDownloadRequest::DownloadRequested) {
        request->setDownloadDirectory(QFileInfo(partPath()).absolutePath());
        request->setDownloadFileName(QFileInfo(partPath()).fileName());
        request->accept();
    }
    goOn();
}

void Download::setHeld(bool held)
{
    if (held == m_paused)
        return;
    m_paused = held;
    emit progressed();
    // A small file may be complete before it could be held.
    if (!m_request || m_state != State::Running)
        return;
    if (held)
        m_request->pause();
    else
        m_request->resume();
}

void Download::withdraw()
{
    if (m_state != State::Done) {
        cancel();
        return;
    }
    // Its name was free when it was chosen: the file is this transfer's own.
    QFile::remove(m_path);
    m_paused = false;
    m_state = State::Cancelled;
    emit finished();
}

void Download::resume()
{
    if (!m_request || !m_resumable)
        return;
    m_startedOver = false;
    noteTakenUp();
    m_request->resume();
    goOn();
}

void Download::cancel()
{
    if (!m_request)
        return;
    if (m_resumable) {
        // What it wrote goes with it.
        m_resumable = false;
        m_state = State::Cancelled;
        m_request->cancel();
        leaveNothing();
        emit finished();
        return;
    }
    if (m_state == State::Asking) {
        m_state = State::Cancelled;
        m_request->cancel();
        emit finished();
        return;
    }
    m_request->cancel();
}

void Download::fail(Failure why)
{
    if (m_state != State::Running && m_state != State::Asking)
        return;
    m_state = State::Failed;
    m_failure = why;
    // The engine would keep the transfer "running" with nothing coming: end it, and its
    // partial file with it.
    if (m_request)
        m_request->cancel();
    leaveNothing();
    emit finished();
}

void Download::onStateChanged()
{
    if (!m_request || m_state == State::Done || m_state == State::Cancelled || (m_state == State::Failed && !m_resumable))
        return;
    switch (m_request->state()) {
    case QWebEngineDownloadRequest::DownloadInProgress:
        // The engine took a broken transfer up again by itself.
        if (m_resumable)
            goOn();
        return;
    case QWebEngineDownloadRequest::DownloadCompleted:
        // A server that named no version is never gone on with: the engine started over.
        if (m_takenUpAt > 0 && !(m_firstVersion.told && !m_firstVersion.named())) {
            // Spliced onto what it had: only if the server still has those bytes.
            const ContinuationCheck::Asking asking = m_asker ? m_asker(url()) : ContinuationCheck::Asking{url(), {}, {}, {}};
            ContinuationCheck::run(asking, partPath(), m_takenUpAt, m_firstVersion, this, [this](ContinuationCheck::Verdict verdict) {
                if (verdict == ContinuationCheck::Verdict::Changed) {
                    m_state = State::Failed;
                    m_failure = Failure::ChangedOnServer;
                    leaveNothing();
                } else {
                    complete();
                }
                emit finished();
            });
            return;
        }
        complete();
        break;
    case QWebEngineDownloadRequest::DownloadCancelled:
        m_state = State::Cancelled;
        leaveNothing();
        break;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        if (m_resumable)
            return;
        m_state = State::Failed;
        switch (m_request->interruptReason()) {
        case QWebEngineDownloadRequest::FileNoSpace:
            m_failure = Failure::DiskFull;
            break;
        case QWebEngineDownloadRequest::FileAccessDenied:
            m_failure = Failure::FolderNotWritable;
            break;
        case QWebEngineDownloadRequest::FileNameTooLong:
            m_failure = Failure::NameTooLong;
            break;
        case QWebEngineDownloadRequest::NetworkServerDown:
        case QWebEngineDownloadRequest::NetworkDisconnected:
        case QWebEngineDownloadRequest::NetworkFailed:
        case QWebEngineDownloadRequest::NetworkTimeout:
            // The connection broke: the bytes so far stay, for 继续.
            m_failure = Failure::ConnectionBroke;
            m_resumable = true;
            break;
        default:
            m_failure = Failure::Interrupted;
            // The server ended the reply short of its length (the engine's reason 38, not
            // named by Qt): the line broke, as above.
            if (int(m_request->interruptReason()) == kServerContentLengthMismatch) {
                m_failure = Failure::ConnectionBroke;
                m_resumable = true;
            }
            break;
        }
        if (m_resumable)
            break;
        // Nothing to go on from (a full disk stays full): the partial file goes, as for
        // every other failure.
        m_request->cancel();
        leaveNothing();
        break;
    default:
        return;
    }
    emit finished();
}

QString EngineDownloads::partialList(const QString &storageFolder)
{
    return storageFolder + QStringLiteral("/partial-downloads.list");
}

EngineDownloads::EngineDownloads(QWebEngineProfile *profile)
    : DownloadSource(profile)
{
    if (!profile->isOffTheRecord() && !profile->persistentStoragePath().isEmpty())
        m_partials = std::make_unique<PartialFiles>(partialList(profile->persistentStoragePath()));
    connect(profile, &QWebEngineProfile::downloadRequested, this, &EngineDownloads::onRequested);
    // The engine tells its cookies only as they come and go: a copy is kept, for the
    // checks the browser asks a transfer's server itself.
    QWebEngineCookieStore *cookies = profile->cookieStore();
    connect(cookies, &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie &cookie) { m_cookies.insertCookie(cookie); });
    connect(cookies, &QWebEngineCookieStore::cookieRemoved, this, [this](const QNetworkCookie &cookie) { m_cookies.deleteCookie(cookie); });
    cookies->loadAllCookies();
}

ContinuationCheck::Asking EngineDownloads::asking(const QUrl &url) const
{
    const auto *profile = static_cast<const QWebEngineProfile *>(parent());
    return {url, m_cookies.cookiesForUrl(url), profile->httpUserAgent().toUtf8(), loginLookup()};
}

EngineDownloads::~EngineDownloads() = default;

void EngineDownloads::claim(const QUrl &url, QObject *context, Claim claim, std::function<void()> expired)
{
    const quint64 id = ++m_nextClaim;
    m_claims.append({id, url, context, std::move(claim), std::move(expired)});
    QTimer::singleShot(m_claimMs, this, [this, id] {
        for (qsizetype i = 0; i < m_claims.size(); ++i) {
            if (m_claims[i].id != id)
                continue;
            const Pending gone = m_claims.takeAt(i);
            if (gone.context && gone.expired)
                gone.expired();
            return;
        }
    });
}

void EngineDownloads::onRequested(QWebEngineDownloadRequest *request)
{
    // Claims whose owner is gone claim nothing.
    m_claims.removeIf([](const Pending &p) { return !p.context; });
    for (qsizetype i = 0; i < m_claims.size(); ++i) {
        if (m_claims[i].url == request->url()) {
            const Pending taken = m_claims.takeAt(i);
            m_taken.append({taken.url, request->suggestedFileName(), taken.context, taken.claim, request});
            taken.claim(request);
            return;
        }
    }
    // The engine starting the browser's own transfer again after a break: it goes where
    // the first went, for the same owner; once the owner is gone, it ends.
    m_taken.removeIf([](const Taken &t) { return !t.request || t.request->isFinished(); });
    for (Taken &t : m_taken) {
        if (t.url == request->url() && t.name == request->suggestedFileName()) {
            t.request = request;
            if (t.context)
                t.claim(request);
            else
                request->cancel();
            return;
        }
    }
    // The engine asks again when it takes a broken transfer up (by itself, or at 继续),
    // under the transfer's own number; the name it proposes is then the server's, or its
    // partial file's, and its bytes read 0. It goes on into that transfer's partial file:
    // never a second question. A new download that only looks alike (the same address or
    // name) is a new one, and another transfer's bytes are never its own.
    for (const QPointer<Download> &d : std::as_const(m_running)) {
        if (d && d->engineId() == request->id() && (d->state() == Download::State::Running || d->resumable())) {
            d->adopt(request);
            return;
        }
    }
    // Saving a page is started by the browser itself and runs already.
    if (request->isSavePageDownload() || request->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    m_running.removeAll(nullptr);
    auto *download = new Download(request, m_partials.get(), [this](const QUrl &url) { return asking(url); }, this);
    m_running.append(download);
    const QUrl url = request->url();
    emit requested(download);
    if (download->state() != Download::State::Asking)
        EnginePage::downloadInsteadOfDocument(url);
    // Nobody took it: it must not wait for ever.
    if (download->state() == Download::State::Asking && !request->isSavePageDownload()
        && request->state() == QWebEngineDownloadRequest::DownloadRequested && !isSignalConnected(QMetaMethod::fromSignal(&DownloadSource::requested)))
        download->cancel();
}
