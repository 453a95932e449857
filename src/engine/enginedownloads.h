#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

// One transfer the engine was asked for, as the rest of the browser sees it.
class Download : public QObject
{
    Q_OBJECT
public:
    enum class State { Asking, Running, Done, Cancelled, Failed };
    explicit Download(QWebEngineDownloadRequest *request, QObject *parent = nullptr);

    QUrl url() const;
    // The file name the server or the page proposed, reduced to a plain name ("" when
    // it leaves none): never a folder part, never "." or "..".
    QString proposedName() const;
    State state() const { return m_state; }
    qint64 received() const;
    qint64 total() const; // -1 while unknown
    // It had bytes and now reads fewer: the engine started it over.
    bool restarted() const { return received() < m_mostReceived; }
    // Where the file goes (set by start).
    QString path() const { return m_path; }
    // Why it failed, in words.
    QString failure() const { return m_failure; }

    // Writes it to path (a folder the user chose and a plain name); the engine keeps the
    // data under "<path>.download" until it is complete.
    void start(const QString &path);
    void cancel();
    // Ends it as failed, for the reason given.
    void fail(const QString &why);

    static QString plainName(const QString &proposed);

signals:
    void progressed();
    void finished();

private:
    void onStateChanged();

    QPointer<QWebEngineDownloadRequest> m_request;
    State m_state = State::Asking;
    qint64 m_mostReceived = 0;
    QString m_path;
    QString m_failure;
};

// Every download the engine is asked for in a profile. Work of the browser's own (a
// picture saved to a known path) claims its address first; the rest goes to whoever
// listens to `requested`, which must start or cancel it.
class EngineDownloads : public QObject
{
    Q_OBJECT
public:
    // The dispatcher of a profile, made on first use.
    static EngineDownloads *of(QWebEngineProfile *profile);

    using Claim = std::function<void(QWebEngineDownloadRequest *)>;
    // The next request for url is handed to claim instead.
    void claim(const QUrl &url, Claim claim);

signals:
    void requested(Download *download);

private:
    explicit EngineDownloads(QWebEngineProfile *profile);
    void onRequested(QWebEngineDownloadRequest *request);

    QList<QPair<QUrl, Claim>> m_claims;
    QList<QPointer<Download>> m_running;
};
