#include "app/browserstyle.h"

#include <QIcon>

BrowserStyle::BrowserStyle(const QString &baseKey)
    : QProxyStyle(baseKey)
{
}

QIcon BrowserStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton)
        return QIcon(baseStyle()->standardPixmap(icon, option, widget));
    return QProxyStyle::standardIcon(icon, option, widget);
}
