#include "engine/qtworkarounds.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QQuickWidget>
#include <QResizeEvent>

namespace QtWorkarounds {

bool quickFramesCanBeReleased()
{
    static const bool verified = QLibraryInfo::version().majorVersion() == 6 && QLibraryInfo::version().minorVersion() == 4
                                 && QQuickWidget::staticMetaObject.indexOfSlot("destroyFramebufferObject()") >= 0;
    return verified;
}

bool releaseQuickFrame(QQuickWidget *widget)
{
    return quickFramesCanBeReleased() && QMetaObject::invokeMethod(widget, "destroyFramebufferObject");
}

void drawQuickFrameNow(QQuickWidget *widget)
{
    QResizeEvent same(widget->size(), widget->size());
    QCoreApplication::sendEvent(widget, &same);
}

} // namespace QtWorkarounds
