#pragma once
#include <QByteArray>

// How the engine's views reach the screen. The engine draws pages itself; a view then
// shows its frames through Qt Quick, by default with OpenGL. Where the engine is told to
// keep off the GPU, or OpenGL itself runs in software, going through OpenGL only adds a
// software GL set-up: its shader compilation held the user-interface thread for
// 150-200 ms at the first page, and at every view's first showing. There the views use
// Qt Quick's software renderer instead.
namespace EngineRendering {

enum class Drawing { Default, Software };

struct Environment
{
    QByteArray engineFlags;     // QTWEBENGINE_CHROMIUM_FLAGS
    QByteArray softwareGl;      // LIBGL_ALWAYS_SOFTWARE
    bool quickBackendChosen = false; // QT_QUICK_BACKEND or QSG_RHI_BACKEND set by the user
};

Environment fromProcess();
Drawing choose(const Environment &environment);
// Before the application object exists.
void apply(Drawing drawing);

} // namespace EngineRendering
