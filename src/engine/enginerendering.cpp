#include "engine/enginerendering.h"

#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtGlobal>

namespace EngineRendering {

Environment fromProcess()
{
    Environment e;
    e.engineFlags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    e.softwareGl = qgetenv("LIBGL_ALWAYS_SOFTWARE");
    e.quickBackendChosen = qEnvironmentVariableIsSet("QT_QUICK_BACKEND")
        || qEnvironmentVariableIsSet("QSG_RHI_BACKEND");
    return e;
}

Drawing choose(const Environment &e)
{
    // Whoever set Qt Quick's own variables knows their machine.
    if (e.quickBackendChosen)
        return Drawing::Default;
    for (const QByteArray &flag : e.engineFlags.split(' ')) {
        // "--disable-gpu" exactly: "--disable-gpu-compositing" and the like keep GL.
        if (flag == "--disable-gpu")
            return Drawing::Software;
    }
    const QByteArray soft = e.softwareGl.trimmed();
    if (!soft.isEmpty() && soft != "0" && soft.toLower() != "false")
        return Drawing::Software;
    return Drawing::Default;
}

void apply(Drawing drawing)
{
    if (drawing == Drawing::Software)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace EngineRendering
