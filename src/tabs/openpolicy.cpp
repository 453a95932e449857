#include "tabs/openpolicy.h"

#include "tabs/sites.h"

namespace OpenPolicy {

QString location(const QString &address)
{
    return address == Sites::kStartPage ? Sites::kMarkedStartPage : address;
}

bool opensBehind(const QString &location, const OpenTarget &target)
{
    return location != QLatin1String("about:blank") && target.background();
}

QString refusal(int capacity)
{
    return QStringLiteral("已打开 %1 个标签，请先关闭一些标签再打开新网页。").arg(capacity);
}

QStringList restInOpeningOrder(const QStringList &addresses, int room)
{
    QStringList order;
    const qsizetype fit = qMin<qsizetype>(addresses.size() - 1, room);
    for (qsizetype i = fit; i >= 1; --i)
        order << addresses[i];
    return order;
}

} // namespace OpenPolicy
