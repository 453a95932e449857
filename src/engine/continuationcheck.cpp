#include "engine/continuationcheck.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

ContinuationCheck::ContinuationCheck(QObject *context)
    : QObject(context)
    , m_network(new QNetworkAccessManager(this))
{
}

void ContinuationCheck::run(const QUrl &url, const QString &file, qint64 from, QObject *context,
                            std::function<void(Verdict)> answer)
{
    const qint64 first = qMax<qint64>(0, from - kCompared);
    QFile ours(file);
    QByteArray had;
    if (from > 0 && ours.open(QIODevice::ReadOnly) && ours.seek(first))
        had = ours.read(from - first);
    if (had.size() != from - first || had.isEmpty()) {
        answer(Verdict::Unknown);
        return;
    }
    auto *check = new ContinuationCheck(context);
    QNetworkRequest request(url);
    request.setRawHeader("Range", "bytes=" + QByteArray::number(first) + '-' + QByteArray::number(from - 1));
    request.setTransferTimeout(kTimeoutMs);
    QNetworkReply *reply = check->m_network->get(request);
    connect(reply, &QNetworkReply::finished, check, [check, reply, first, had, answer] {
        Verdict verdict = Verdict::Unknown;
        const bool part = reply->error() == QNetworkReply::NoError
                          && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 206
                          && reply->rawHeader("Content-Range").startsWith("bytes " + QByteArray::number(first) + '-');
        if (part)
            verdict = reply->read(had.size()) == had ? Verdict::Same : Verdict::Changed;
        check->deleteLater();
        answer(verdict);
    });
}
