#include "engine/enginedownloads.h"

#include <QDir>
#include <QFileInfo>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

Download::Download(QWebEngineDownloadRequest *request, QObject *parent)
    : QObject(parent)
    , m_request(request)
{
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this] {
        m_mostReceived = qMax(m_mostReceived, received());
        emit progressed();
    });
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, this, &Download::progressed);
    connect(request, &QWebEngineDownloadRequest::stateChanged, this, &Download::onStateChanged);
    connect(request, &QObject::destroyed, this, [this] {
        if (m_state == State::Asking || m_state == State::Running) {
            m_state = State::Failed;
            m_failure = QStringLiteral("下载被中断");
            emit finished();
        }
    });
}

QUrl Download::url() const
{
    return m_request ? m_request->url() : QUrl();
}

QString Download::plainName(const QString &proposed)
{
    // A server's name never says where: only its last part, in either separator.
    QString name = proposed.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    QString clean;
    for (const QChar c : name)
        if (c.category() != QChar::Other_Control && c.category() != QChar::Other_Format)
            clean.append(c);
    while (clean.startsWith(QLatin1Char('.')))
        clean.remove(0, 1);
    clean = clean.trimmed();
    // File systems take 255 bytes a name; keep the extension.
    while (clean.toUtf8().size() > 200) {
        const QString suffix = QFileInfo(clean).suffix().left(16);
        const QString stem = clean.left(clean.size() - suffix.size() - (suffix.isEmpty() ? 0 : 1));
        clean = stem.left(stem.size() - 1) + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    }
    return clean;
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
    return m_request ? m_request->receivedBytes() : 0;
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
    m_path = target.absoluteFilePath();
    // The folder first: the name is plain, so it cannot lead out of it.
    m_request->setDownloadDirectory(target.absolutePath());
    m_request->setDownloadFileName(plainName(target.fileName()));
    m_state = State::Running;
    m_request->accept();
}

void Download::cancel()
{
    if (!m_request)
        return;
    if (m_state == State::Asking) {
        m_state = State::Cancelled;
        m_request->cancel();
        emit finished();
        return;
    }
    m_request->cancel();
}

void Download::fail(const QString &why)
{
    if (m_state != State::Running && m_state != State::Asking)
        return;
    m_state = State::Failed;
    m_failure = why;
    // The engine would keep the transfer "running" with nothing coming: end it, and its
    // partial file with it.
    if (m_request)
        m_request->cancel();
    emit finished();
}

void Download::onStateChanged()
{
    if (!m_request || m_state == State::Done || m_state == State::Cancelled || m_state == State::Failed)
        return;
    switch (m_request->state()) {
    case QWebEngineDownloadRequest::DownloadCompleted:
        m_state = State::Done;
        break;
    case QWebEngineDownloadRequest::DownloadCancelled:
        m_state = State::Cancelled;
        break;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        m_state = State::Failed;
        switch (m_request->interruptReason()) {
        case QWebEngineDownloadRequest::FileNoSpace:
            m_failure = QStringLiteral("磁盘空间不足");
            break;
        case QWebEngineDownloadRequest::FileAccessDenied:
            m_failure = QStringLiteral("无法写入目标文件夹");
            break;
        case QWebEngineDownloadRequest::FileNameTooLong:
            m_failure = QStringLiteral("文件名太长");
            break;
        case QWebEngineDownloadRequest::NetworkServerDown:
        case QWebEngineDownloadRequest::NetworkDisconnected:
        case QWebEngineDownloadRequest::NetworkFailed:
        case QWebEngineDownloadRequest::NetworkTimeout:
        default:
            m_failure = QStringLiteral("网络连接中断");
            break;
        }
        break;
    default:
        return;
    }
    emit finished();
}

EngineDownloads *EngineDownloads::of(QWebEngineProfile *profile)
{
    if (auto *existing = profile->findChild<EngineDownloads *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new EngineDownloads(profile);
}

EngineDownloads::EngineDownloads(QWebEngineProfile *profile)
    : QObject(profile)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &EngineDownloads::onRequested);
}

void EngineDownloads::claim(const QUrl &url, Claim claim)
{
    m_claims.append({url, std::move(claim)});
}

void EngineDownloads::onRequested(QWebEngineDownloadRequest *request)
{
    for (qsizetype i = 0; i < m_claims.size(); ++i) {
        if (m_claims[i].first == request->url()) {
            const Claim claim = m_claims.takeAt(i).second;
            claim(request);
            return;
        }
    }
    // The engine asks again when it tries to resume a broken transfer, and the transfer
    // it asks for again never moves after: its bytes read 0 again, or the name proposed
    // is its path. It has failed; starting over is the user's to say.
    const QString again = request->suggestedFileName();
    for (const QPointer<Download> &d : std::as_const(m_running)) {
        if (d && d->state() == Download::State::Running
            && ((!d->path().isEmpty() && d->path() == again) || (d->url() == request->url() && d->restarted()))) {
            request->cancel();
            d->fail(QStringLiteral("网络连接中断"));
            return;
        }
    }
    // Saving a page is started by the browser itself and runs already.
    if (request->isSavePageDownload() || request->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    m_running.removeAll(nullptr);
    auto *download = new Download(request, this);
    m_running.append(download);
    emit requested(download);
    // Nobody took it: it must not wait for ever.
    if (download->state() == Download::State::Asking && !request->isSavePageDownload()
        && request->state() == QWebEngineDownloadRequest::DownloadRequested && receivers(SIGNAL(requested(Download *))) == 0)
        download->cancel();
}
