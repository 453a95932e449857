#pragma once
#include <QObject>
#include <QNetworkCookieJar>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

#include "engine/continuationcheck.h"
#include "engine/transfer.h"
#include "platform/heldname.h"

class PartialFiles;
class QWebEngineDownloadRequest;
class QWebEngineProfile;

// One transfer the engine was asked for.
class Download final : public Transfer
{
    Q_OBJECT
public:
    // What a check of the server's asks with, for an address.
    using Asker = std::function<ContinuationCheck::Asking(const QUrl &)>;
    // Past this size (or of no size told) the version the server names is noted at the start.
    static constexpr qint64 kLookAbove = 256 * 1024;

    // partials (may be null) lists the files it writes until it ends.
    Download(QWebEngineDownloadRequest *request, PartialFiles *partials, Asker asker, QObject *parent = nullptr);

    QUrl url() const override;
    // The engine's number for the transfer: the same when it asks for it again.
    quint32 engineId() const { return m_engineId; }
    QString proposedName() const override;
    State state() const override { return m_state; }
    qint64 received() const override;
    qint64 total() const override;
    QString path() const override { return m_path; }
    QString displacedFrom() const override { return m_displacedFrom; }
    // The partial file is this name and ".download".
    QString partPath() const override { return m_startedPath.isEmpty() ? QString() : m_startedPath + QStringLiteral(".part"); }
    Failure failure() const override { return m_failure; }
    const QObject *requestedBy() const override { return m_requestedBy; }
    // From the bytes written (from 0, honestly, when the server will not send a part); its
    // partial file stays until then, or until it is cancelled.
    bool resumable() const override { return m_resumable; }
    void resume() override;
    // The engine asked again for this transfer (taking it up after a break): the new
    // request goes on into the same partial file.
    void adopt(QWebEngineDownloadRequest *request);

    // The name is held at once (an empty file, unless the user chose to replace one); the
    // engine writes the bytes beside it and they move in when complete.
    void start(const QString &path) override;
    void cancel() override;
    void setHeld(bool held) override;
    bool held() const override { return m_paused; }
    void withdraw() override;
    // Ends it as failed, for the reason given.
    void fail(Failure why);

private:
    void onStateChanged();
    // Follows a request of the engine's for this transfer.
    void watch(QWebEngineDownloadRequest *request);
    // The transfer runs again after a break.
    void goOn();
    // The engine's partial file and what it becomes when complete.
    QStringList partFiles() const;
    // Its lines leave the list of partial files.
    void unlist();
    // The transfer ended without a file: what it wrote and held goes.
    void leaveNothing();
    // The bytes are complete: they move in under the held name.
    void complete();
    // The engine goes on into the partial file: what it has there now is checked at the end.
    void noteTakenUp();

    QPointer<QWebEngineDownloadRequest> m_request;
    quint32 m_engineId = 0;
    PartialFiles *m_partials;
    State m_state = State::Asking;
    qint64 m_mostReceived = 0;
    bool m_resumable = false;
    bool m_paused = false;
    qint64 m_takenUpAt = 0; // bytes it had when the transfer was taken up
    bool m_startedOver = false; // since, it started over from the first byte
    Asker m_asker;
    ContinuationCheck::Version m_firstVersion;
    QString m_path;
    QString m_startedPath;
    QString m_displacedFrom;
    Failure m_failure = Failure::None;
    QPointer<QObject> m_requestedBy;
    HeldName m_held;
};

// Every download the engine is asked for in a profile. Work of the browser's own (a
// picture saved to a known path) claims its address first; the rest goes to whoever
// listens to `requested`, which must start or cancel it.
class EngineDownloads final : public DownloadSource
{
    Q_OBJECT
public:
    // The dispatcher of a profile (the engine profile makes it; it goes with the profile).
    explicit EngineDownloads(QWebEngineProfile *profile);
    // The list of an instance's partial files in its engine storage folder.
    static QString partialList(const QString &storageFolder);
    ~EngineDownloads() override;

    using Claim = std::function<void(QWebEngineDownloadRequest *)>;
    // The next request for url is handed to claim instead, while context lives. One whose
    // request has not come within kClaimMs ends: expired runs (while context lives), and a
    // later download of the address is the user's again.
    void claim(const QUrl &url, QObject *context, Claim claim, std::function<void()> expired);
    // How long claims made from now on wait (tests shorten it).
    void setClaimMs(int ms) { m_claimMs = ms; }
    int claimMs() const { return m_claimMs; }

private:
    void onRequested(QWebEngineDownloadRequest *request);
    ContinuationCheck::Asking asking(const QUrl &url) const;
    QNetworkCookieJar m_cookies;

    struct Pending {
        quint64 id;
        QUrl url;
        QPointer<QObject> context;
        Claim claim;
        std::function<void()> expired;
    };
    QList<Pending> m_claims;
    // Claimed transfers under way: the engine asks again for one it starts over.
    struct Taken {
        QUrl url;
        QString name;
        QPointer<QObject> context;
        Claim claim;
        QPointer<QWebEngineDownloadRequest> request;
    };
    QList<Taken> m_taken;
    quint64 m_nextClaim = 0;
    int m_claimMs = kClaimMs;
    QList<QPointer<Download>> m_running;
    std::unique_ptr<PartialFiles> m_partials;
};
