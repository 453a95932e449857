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
    bool windowGlChosen = false;     // QT_XCB_GL_INTEGRATION set by the user
};

// Whether a listing of /dev/dri holds a render node.
bool hasRenderNode(const QStringList &deviceNames);
Environment fromProcess();
Drawing choose(const Environment &environment);
// The engine's flags for the run: the user's own, then what the browser adds where the
// user said nothing of it: --disable-gpu for NoGpu, and the process model. Each site
// keeps its own renderers (a page never shares a process with another site's), and past
// two renderers the tabs of one site share theirs, as tabs a page opens share their
// opener's: ten tabs of a site then take about 50 MB less. A page that hangs holds up
// the tabs of its site that share its process.
QByteArray engineFlags(const Environment &environment, Drawing drawing);
// How the windows themselves reach OpenGL: "none" where the views draw in software, so
// that Qt does not load the system's OpenGL (on a machine without a GPU that is Mesa's
// LLVM-based software renderer: about 35 MB of the browser process, and its loading at
// every start). Empty: Qt's own choice, or the user's.
QByteArray windowGl(const Environment &environment, Drawing drawing);
// Before the application object exists.
void apply(const Environment &environment, Drawing drawing);
// The same for this process's environment.
void applyFromProcess();

} // namespace EngineRendering
