#include "tabs/openpageslist.h"
#include "tabs/sites.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {
const QString kFormat = QStringLiteral("velmo-open-pages");
constexpr int kVersion = 1;
// More than a strip ever holds: a list longer than this is not ours.

QString plainTitle(QString title)
{
    title.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return title;
}
} // namespace

bool OpenPagesList::loadable(const QString &address)
{
    const QUrl url(address);
    return url.isValid() && !url.scheme().isEmpty() && Sites::opensFromOutside(address);
}

QByteArray OpenPagesList::toBytes() const
{
    QJsonArray list;
    int written = -1;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (!loadable(pages[i].address))
            continue;
        if (i == active)
            written = int(list.size());
        QJsonObject page{{QStringLiteral("address"), pages[i].address}, {QStringLiteral("title"), plainTitle(pages[i].title)}};
        if (!pages[i].visits.isEmpty()) {
            QJsonArray visits;
            for (qsizetype v = qMax<qsizetype>(0, pages[i].visits.size() - kMostVisits); v < pages[i].visits.size(); ++v) {
                const Visit &visit = pages[i].visits[v];
                visits.append(QJsonObject{{QStringLiteral("when"), visit.when.toString(Qt::ISODateWithMs)},
                                          {QStringLiteral("title"), plainTitle(visit.title)},
                                          {QStringLiteral("address"), visit.address}});
            }
            page.insert(QStringLiteral("visits"), visits);
        }
        list.append(page);
    }
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("version"), kVersion},
                           {QStringLiteral("active"), written},
                           {QStringLiteral("pages"), list}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<OpenPagesList> OpenPagesList::fromBytes(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormat || root.value(QStringLiteral("version")).toInt() != kVersion
        || !root.value(QStringLiteral("pages")).isArray())
        return std::nullopt;
    const QJsonArray list = root.value(QStringLiteral("pages")).toArray();
    OpenPagesList result;
    const int active = root.value(QStringLiteral("active")).toInt(-1);
    int kept = -1;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject page = list[i].toObject();
        const QString address = page.value(QStringLiteral("address")).toString();
        // Only what a tab could have shown: no empty, control-laden or endless address.
        if (address.isEmpty() || address.size() > 100000)
            return std::nullopt;
        for (QChar c : address)
            if (c.category() == QChar::Other_Control)
                return std::nullopt;
        if (!loadable(address)) {
            ++result.leftOut;
            continue;
        }
        if (i == active)
            kept = int(result.pages.size());
        QVector<Visit> visits;
        for (const QJsonValue &v : page.value(QStringLiteral("visits")).toArray()) {
            const QJsonObject visit = v.toObject();
            const QDateTime when = QDateTime::fromString(visit.value(QStringLiteral("when")).toString(), Qt::ISODateWithMs);
            const QString title = plainTitle(visit.value(QStringLiteral("title")).toString());
            // A visit that is not one is passed over; the page still comes back.
            if (when.isValid() && !title.isEmpty() && visits.size() < kMostVisits)
                visits.append({when, title, visit.value(QStringLiteral("address")).toString()});
        }
        result.pages.append({address, plainTitle(page.value(QStringLiteral("title")).toString()), visits});
    }
    result.active = kept >= 0 ? kept : (result.pages.isEmpty() ? -1 : 0);
    result.keepNewest();
    return result;
}

void OpenPagesList::keepNewest()
{
    const qsizetype cut = pages.size() - kMostPages;
    if (cut <= 0)
        return;
    older += pages.mid(0, cut);
    pages.remove(0, cut);
    active = active >= cut ? int(active - cut) : int(pages.size()) - 1;
}
