#include "engine/continuationcheck.h"

#include <QAuthenticator>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

namespace {
ContinuationCheck::Version versionOf(const QNetworkReply *reply)
{
    return {reply->rawHeader("ETag"), reply->rawHeader("Last-Modified"), true};
}
} // namespace

bool ContinuationCheck::Version::differsFrom(const Version &other) const
{
    if (!etag.isEmpty() && !other.etag.isEmpty())
        return etag != other.etag;
    if (!lastModified.isEmpty() && !other.lastModified.isEmpty())
        return lastModified != other.lastModified;
    return false;
}

ContinuationCheck::ContinuationCheck(const Asking &asking, QObject *context)
    : QObject(context)
    , m_network(new QNetworkAccessManager(this))
    , m_asking(asking)
{
    // The login the user gave this run, once per request: a wrong one is not tried again.
    connect(m_network, &QNetworkAccessManager::authenticationRequired, this, [this](QNetworkReply *reply, QAuthenticator *login) {
        if (reply->property("loginTried").toBool() || !m_asking.login)
            return;
        reply->setProperty("loginTried", true);
        LoginRequest request{reply->url(), login->realm(), QString(), QString(), QString(), false};
        if (m_asking.login(request) && request.given) {
            login->setUser(request.user);
            login->setPassword(request.password);
        }
    });
    // Whatever the server does, the check ends in time.
    QTimer::singleShot(kTimeoutMs, this, [this] { settle(Verdict::Unknown); });
}

namespace {
QNetworkRequest rangeRequest(const ContinuationCheck::Asking &asking, qint64 first, qint64 last)
{
    QNetworkRequest request(asking.url);
    request.setRawHeader("Range", "bytes=" + QByteArray::number(first) + '-' + QByteArray::number(last));
    // The site's cookies go to the site alone: a redirect ends the check ("cannot say").
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // The engine's cookies for the address, not a jar of the check's own.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    if (!asking.cookies.isEmpty())
        request.setHeader(QNetworkRequest::CookieHeader, QVariant::fromValue(asking.cookies));
    if (!asking.userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, asking.userAgent);
    return request;
}
} // namespace

void ContinuationCheck::look(const Asking &asking, QObject *context, std::function<void(Version)> answer)
{
    auto *check = new ContinuationCheck(asking, context);
    // Only the headers are read: the answer ends as soon as they are in.
    QNetworkReply *reply = check->m_network->get(rangeRequest(asking, 0, 0));
    reply->setReadBufferSize(1);
    auto told = std::make_shared<bool>(false);
    const auto tell = [check, told, answer](const Version &version) {
        if (*told)
            return;
        *told = true;
        check->m_done = true;
        check->deleteLater();
        answer(version);
    };
    connect(reply, &QNetworkReply::metaDataChanged, check, [reply, tell] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        tell(status == 200 || status == 206 ? versionOf(reply) : Version());
        reply->abort();
    });
    connect(reply, &QNetworkReply::finished, check, [tell] { tell(Version()); });
    check->m_answer = [tell](Verdict) { tell(Version()); };
}

void ContinuationCheck::run(const Asking &asking, const QString &file, qint64 from, const Version &first, QObject *context,
                            std::function<void(Verdict)> answer)
{
    QFile ours(file);
    if (from <= 0 || !ours.open(QIODevice::ReadOnly)) {
        answer(Verdict::Unknown);
        return;
    }
    // The stretch just before the break; where the server names no version, which leaves
    // nothing else to go by, a second one well before it.
    QList<QPair<qint64, qint64>> asked{{qMax<qint64>(0, from - kCompared), qMin(from, kCompared)}};
    if (!first.named() && from >= 3 * kCompared)
        asked.append({from / 2 - kCompared / 2, kCompared});
    QList<QPair<qint64, QByteArray>> stretches;
    for (const auto &[start, length] : std::as_const(asked)) {
        const QByteArray had = ours.seek(start) ? ours.read(length) : QByteArray();
        if (had.size() != length) {
            answer(Verdict::Unknown);
            return;
        }
        stretches.append({start, had});
    }
    auto *check = new ContinuationCheck(asking, context);
    check->m_answer = std::move(answer);
    check->m_open = int(stretches.size());
    for (const auto &[start, had] : std::as_const(stretches))
        check->compare(start, had, first);
}

void ContinuationCheck::compare(qint64 start, const QByteArray &had, const Version &first)
{
    const qint64 last = start + had.size() - 1;
    QNetworkReply *reply = m_network->get(rangeRequest(m_asking, start, last));
    // At most what was asked is ever held.
    reply->setReadBufferSize(had.size());
    struct Reading {
        QByteArray got;
        bool decided = false;
    };
    auto reading = std::make_shared<Reading>();
    const auto decide = [this, reply, reading](Verdict verdict) {
        if (reading->decided || m_done)
            return;
        reading->decided = true;
        if (verdict == Verdict::Changed) {
            settle(Verdict::Changed);
            return;
        }
        if (verdict == Verdict::Unknown)
            m_verdict = Verdict::Unknown;
        reply->abort();
        if (--m_open == 0)
            settle(m_verdict);
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, start, last, first, decide] {
        // Only a part from where it was asked is read (of it, what was asked); anything
        // else ends here, at its headers.
        const QByteArray range = reply->rawHeader("Content-Range");
        const QByteArray from = "bytes " + QByteArray::number(start) + '-';
        const qint64 end = range.startsWith(from) ? range.mid(from.size()).split('/').value(0).toLongLong() : -1;
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 206 || end < last) {
            decide(Verdict::Unknown);
            return;
        }
        if (first.differsFrom(versionOf(reply)))
            decide(Verdict::Changed);
    });
    connect(reply, &QNetworkReply::readyRead, this, [reply, had, reading, decide] {
        if (reading->decided)
            return;
        reading->got += reply->read(had.size() - reading->got.size());
        if (reading->got.size() == had.size())
            decide(reading->got == had ? Verdict::Same : Verdict::Changed);
    });
    // Ended short of what was asked, or failed.
    connect(reply, &QNetworkReply::finished, this, [decide] { decide(Verdict::Unknown); });
}

void ContinuationCheck::settle(Verdict verdict)
{
    if (m_done)
        return;
    m_done = true;
    for (QNetworkReply *reply : findChildren<QNetworkReply *>())
        reply->abort();
    deleteLater();
    if (m_answer)
        m_answer(verdict);
}
