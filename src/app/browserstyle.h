#pragma once
#include <QProxyStyle>

// The platform's own style, with the toolbar and menu bar overflow arrows drawn from the
// style's built-in pictures. Asked for as icons, they are read from PNG files, and reading
// one file loads every picture format Qt has (about 1 MB) at start, before any picture is
// shown.
class BrowserStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // baseKey: the style Qt chose for this desktop (or the one the user asked for).
    explicit BrowserStyle(const QString &baseKey);
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
