#include "files/keptdownloads.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kFormat = QStringLiteral("velmo-downloads");

QString endName(KeptDownload::End end)
{
    switch (end) {
    case KeptDownload::End::Done: return QStringLiteral("done");
    case KeptDownload::End::Cancelled: return QStringLiteral("cancelled");
    case KeptDownload::End::Failed: break;
    }
    return QStringLiteral("failed");
}
} // namespace

namespace KeptDownloads {

QByteArray toBytes(const QVector<KeptDownload> &rows)
{
    QJsonArray list;
    for (qsizetype i = qMax<qsizetype>(0, rows.size() - kMost); i < rows.size(); ++i) {
        const KeptDownload &r = rows[i];
        list.append(QJsonObject{{QStringLiteral("path"), r.path},
                                {QStringLiteral("address"), r.address},
                                {QStringLiteral("size"), QString::number(r.size)},
                                {QStringLiteral("total"), QString::number(r.total)},
                                {QStringLiteral("end"), endName(r.end)},
                                {QStringLiteral("failure"), r.failure},
                                {QStringLiteral("when"), r.when.toString(Qt::ISODate)}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("format"), kFormat}, {QStringLiteral("version"), 1},
                                     {QStringLiteral("downloads"), list}})
        .toJson(QJsonDocument::Indented);
}

std::optional<QVector<KeptDownload>> fromBytes(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormat || !root.value(QStringLiteral("downloads")).isArray())
        return std::nullopt;
    QVector<KeptDownload> rows;
    for (const QJsonValue &value : root.value(QStringLiteral("downloads")).toArray()) {
        const QJsonObject o = value.toObject();
        KeptDownload r;
        r.path = o.value(QStringLiteral("path")).toString();
        if (r.path.isEmpty())
            return std::nullopt;
        r.address = o.value(QStringLiteral("address")).toString();
        r.size = o.value(QStringLiteral("size")).toString().toLongLong();
        r.total = o.value(QStringLiteral("total")).toString().toLongLong();
        const QString end = o.value(QStringLiteral("end")).toString();
        r.end = end == QLatin1String("done") ? KeptDownload::End::Done
              : end == QLatin1String("cancelled") ? KeptDownload::End::Cancelled
                                                   : KeptDownload::End::Failed;
        r.failure = o.value(QStringLiteral("failure")).toString();
        r.when = QDateTime::fromString(o.value(QStringLiteral("when")).toString(), Qt::ISODate);
        rows.append(r);
    }
    return rows;
}

} // namespace KeptDownloads
