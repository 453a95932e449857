#include "engine/typedaddress.h"

#include <QDir>

namespace TypedAddress {

QUrl toUrl(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0)
        return QUrl(QStringLiteral("about:blank"));
    QUrl url = QUrl::fromUserInput(t, QDir::currentPath());
    if (url.isValid() && !url.isEmpty())
        return url;
    return QUrl(QStringLiteral("http://") + QString::fromLatin1(QUrl::toPercentEncoding(t)), QUrl::TolerantMode);
}

} // namespace TypedAddress
