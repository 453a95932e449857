#include "tabs/openpageslist.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kFormat = QStringLiteral("velmo-open-pages");
constexpr int kVersion = 1;
// More than a strip ever holds: a list longer than this is not ours.
constexpr int kMostPages = 10000;
}

QByteArray OpenPagesList::toBytes() const
{
    QJsonArray list;
    for (const Page &page : pages)
        list.append(QJsonObject{{QStringLiteral("address"), page.address}, {QStringLiteral("title"), page.title}});
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("version"), kVersion},
                           {QStringLiteral("active"), active},
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
    if (list.size() > kMostPages)
        return std::nullopt;
    OpenPagesList result;
    for (const QJsonValue &value : list) {
        const QJsonObject page = value.toObject();
        const QString address = page.value(QStringLiteral("address")).toString();
        // Only what a tab could have shown: no empty, control-laden or endless address.
        if (address.isEmpty() || address.size() > 100000)
            return std::nullopt;
        for (QChar c : address)
            if (c.category() == QChar::Other_Control)
                return std::nullopt;
        result.pages.append({address, page.value(QStringLiteral("title")).toString()});
    }
    const int active = root.value(QStringLiteral("active")).toInt(-1);
    result.active = active >= 0 && active < result.pages.size() ? active : (result.pages.isEmpty() ? -1 : 0);
    return result;
}
