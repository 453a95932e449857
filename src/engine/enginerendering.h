#pragma once
#include <QByteArray>

// How the engine's views reach the screen. The engine draws pages itself; a view then
// shows its frames through Qt Quick, by default with OpenGL. Where the engine is told to
// keep off the GPU, or OpenGL itself runs in software, going through OpenGL only adds a
// software GL set-up: its shader compilation held the user-interface thread for
// 150-200 ms at the first page, and at every view's first showing. There the views use
// Qt Quick's software renderer instead. A machine with no GPU device at all (no DRM
// render node) gains nothing from a software OpenGL either: there the engine is told to
// keep off the GPU too, as desktop browsers fall back to software compositing, unless
// the user set the engine's flags themselves.
namespace EngineRendering {

// Software: views through Qt Quick's software renderer; NoGpu: that, and the engine is
// told --disable-gpu as well.
enum class Drawing { Default, Software, NoGpu };

struct Environment
{
    QByteArray engineFlags;     // QTWEBENGINE_CHROMIUM_FLAGS
    QByteArray softwareGl;      // LIBGL_ALWAYS_SOFTWARE
    bool quickBackendChosen = false; // QT_QUICK_BACKEND or QSG_RHI_BACKEND set by the user
    bool engineFlagsSet = false;     // QTWEBENGINE_CHROMIUM_FLAGS set by the user, even empty
    bool gpuDevice = true;           // a DRM render node is there
};

// Whether a listing of /dev/dri holds a render node.
bool hasRenderNode(const QStringList &deviceNames);
Environment fromProcess();
Drawing choose(const Environment &environment);
// Before the application object exists.
void apply(Drawing drawing);

} // namespace EngineRendering
