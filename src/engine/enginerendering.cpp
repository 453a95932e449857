#include "engine/enginerendering.h"

#include <QDir>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtGlobal>

namespace EngineRendering {

bool hasRenderNode(const QStringList &deviceNames)
{
    for (const QString &name : deviceNames)
        if (name.startsWith(QLatin1String("renderD")))
            return true;
    return false;
}

Environment fromProcess()
{
    Environment e;
    e.engineFlags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    e.engineFlagsSet = qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS");
    // One directory listing: cheap enough for every start.
    e.gpuDevice = hasRenderNode(QDir(QStringLiteral("/dev/dri")).entryList(QDir::System | QDir::AllEntries));
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
    // No GPU device: OpenGL would be Mesa's software renderer, for nothing.
    if (!e.gpuDevice && !e.engineFlagsSet)
        return Drawing::NoGpu;
    return Drawing::Default;
}

void apply(Drawing drawing)
{
    if (drawing == Drawing::NoGpu)
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (drawing != Drawing::Default)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace EngineRendering
