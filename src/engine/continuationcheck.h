#pragma once
#include <QByteArray>
#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

#include "engine/siterequests.h"

class QNetworkAccessManager;

// Whether a transfer taken up again went on with the same file: the engine splices what
// the server sends as a part onto what it had, also when the server ignores the version
// it was asked to go on with. The version the server names (ETag, else Last-Modified)
// is compared with the one it named when the transfer began, and the last bytes the
// transfer had are asked of the server again and compared; where the server names no
// version, a second stretch well before the break is compared as well. A server that
// cannot say (no part where asked, an error, no answer in time) is not judged.
class ContinuationCheck : public QObject
{
    Q_OBJECT
public:
    enum class Verdict { Same, Changed, Unknown };
    static constexpr qint64 kCompared = 4096;
    // The whole check, every answer read, within this; else it cannot say.
    static constexpr int kTimeoutMs = 10000;

    // How the server named the version it sent.
    struct Version {
        QByteArray etag;
        QByteArray lastModified;
        bool told = false; // the server answered the question (naming a version or not)
        bool named() const { return !etag.isEmpty() || !lastModified.isEmpty(); }
        // Both named, and not alike: the ETag when both have one, else the date.
        bool differsFrom(const Version &other) const;
    };
    // What a request of the check carries to be answered as the engine's would be.
    struct Asking {
        QUrl url;
        QList<QNetworkCookie> cookies;
        QByteArray userAgent;
        // Fills in the login the user gave this run for the site, if any.
        std::function<bool(LoginRequest &)> login;
    };

    // The version the server names now (headers only), for a later run; answer() runs
    // once, while context lives.
    static void look(const Asking &asking, QObject *context, std::function<void(Version)> answer);
    // Compares the bytes of file just before from, and the version named now with first.
    static void run(const Asking &asking, const QString &file, qint64 from, const Version &first, QObject *context,
                    std::function<void(Verdict)> answer);

private:
    explicit ContinuationCheck(const Asking &asking, QObject *context);
    // One stretch of the file: [start, start + had.size()).
    void compare(qint64 start, const QByteArray &had, const Version &first);
    void settle(Verdict verdict);
    QNetworkAccessManager *m_network;
    Asking m_asking;
    int m_open = 0;
    Verdict m_verdict = Verdict::Same;
    bool m_done = false;
    std::function<void(Verdict)> m_answer;
};
