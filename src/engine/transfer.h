#pragma once
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

#include "engine/siterequests.h"
#include "platform/filenames.h"

// One download as the rest of the browser sees it: the engine's (Download), or a test's.
class Transfer : public QObject
{
    Q_OBJECT
public:
    enum class State { Asking, Running, Done, Cancelled, Failed };
    // Why it failed (the words for it are the downloads window's).
    enum class Failure { None, Interrupted, FolderNotWritable, NotRenamed, ChangedOnServer, DiskFull, NameTooLong, ConnectionBroke };

    using QObject::QObject;

    virtual QUrl url() const = 0;
    // The file name the server or the page proposed, reduced to a plain name ("" when
    // it leaves none): never a folder part, never "." or "..".
    virtual QString proposedName() const = 0;
    virtual State state() const = 0;
    // Bytes received; for a transfer that ended, the most it had.
    virtual qint64 received() const = 0;
    virtual qint64 total() const = 0; // -1 while unknown
    // Where the file goes (set by start); once done, where it went.
    virtual QString path() const = 0;
    // The name chosen was taken by another file when it was done: it went to path().
    virtual QString displacedFrom() const = 0;
    // Where the bytes are written until they are complete.
    virtual QString partPath() const = 0;
    virtual Failure failure() const = 0;
    // It failed because the connection broke: resume() goes on from the bytes written.
    virtual bool resumable() const = 0;
    virtual void resume() = 0;
    // Writes it to path (a folder the user chose and a plain name), never over a file it
    // did not hold.
    virtual void start(const QString &path) = 0;
    virtual void cancel() = 0;
    // Held, a started transfer waits (for the user's answer to its page's question).
    virtual void setHeld(bool held) = 0;
    virtual bool held() const = 0;
    // Refused once it had begun: what it wrote goes, complete or not.
    virtual void withdraw() = 0;
    // The engine's page whose document or frame started it (none: not known).
    virtual const QObject *requestedBy() const { return nullptr; }

    // A proposed name as it may go on disk: its last path part, made safe.
    static QString plainName(const QString &proposed)
    {
        return FileNames::fromText(proposed.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1));
    }

signals:
    void progressed();
    void finished();
};

// Where a profile's downloads are announced: the engine's (EngineDownloads), or a test's.
class DownloadSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // How long an address the browser asked for ahead waits for its download.
    static constexpr int kClaimMs = 30000;

    // Fills in the login the user gave a site this run, without asking: what the browser
    // asks a transfer's server itself goes with it, as the engine's requests do.
    using LoginLookup = std::function<bool(LoginRequest &)>;
    void setLoginLookup(LoginLookup lookup) { m_loginLookup = std::move(lookup); }
    const LoginLookup &loginLookup() const { return m_loginLookup; }

signals:
    // A download nobody claimed: whoever listens must start or cancel it.
    void requested(Transfer *transfer);

private:
    LoginLookup m_loginLookup;
};
