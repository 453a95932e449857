#include "engine/enginerendering.h"

#include <QDir>
#include <QList>
#include <algorithm>
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
    e.windowGlChosen = qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION");
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

QByteArray engineFlags(const Environment &e, Drawing drawing)
{
    QList<QByteArray> flags;
    for (const QByteArray &flag : e.engineFlags.split(' '))
        if (!flag.isEmpty())
            flags.append(flag);
    if (drawing == Drawing::NoGpu && !flags.contains("--disable-gpu"))
        flags.append("--disable-gpu");
    const auto namesProcessModel = [](const QByteArray &flag) {
        for (const char *model : {"--single-process", "--process-per-tab", "--process-per-site", "--site-per-process",
                                  "--renderer-process-limit", "--disable-site-isolation-trials"})
            if (flag.startsWith(model))
                return true;
        return false;
    };
    if (std::none_of(flags.cbegin(), flags.cend(), namesProcessModel))
        flags << "--site-per-process" << "--renderer-process-limit=2";
    return flags.join(' ');
}

QByteArray windowGl(const Environment &e, Drawing drawing)
{
    return drawing == Drawing::Default || e.windowGlChosen ? QByteArray() : QByteArrayLiteral("none");
}

void apply(const Environment &e, Drawing drawing)
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", engineFlags(e, drawing));
    const QByteArray gl = windowGl(e, drawing);
    if (!gl.isEmpty())
        qputenv("QT_XCB_GL_INTEGRATION", gl);
    if (drawing != Drawing::Default)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

void applyFromProcess()
{
    const Environment e = fromProcess();
    apply(e, choose(e));
}

} // namespace EngineRendering
