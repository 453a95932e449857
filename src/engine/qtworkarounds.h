#pragma once
#include <QEvent>

class QQuickWidget;

// Every place the browser leans on Qt behaviour that Qt does not promise, in one list: what
// it does, why, where it was verified, and when to drop it. Each is checked at run time
// where it can be, and does nothing where the check fails, so a Qt that changed costs the
// saving, never a page. The tests' own reach into Qt internals is listed the same way in
// tests/support/qtinternals.h.
namespace QtWorkarounds {

// Hidden views' frames (HiddenViewFrames): a QQuickWidget keeps a whole frame while hidden
// (3.4 MB a tab at 1200 x 700 in software); its non-public slot destroyFramebufferObject()
// lets it go. Verified with Qt 6.4 (at run time: that version, and the slot found through
// the meta-object). Drop when a hidden QQuickWidget releases its frame by itself.
bool quickFramesCanBeReleased();
// False (and nothing done) where quickFramesCanBeReleased() is false.
bool releaseQuickFrame(QQuickWidget *widget);

// Shown again, the view must draw its whole frame before its first paint, or the window
// flashes blank: a resize event of the size it has makes it do so (Qt 6.4's
// QQuickWidget::resizeEvent re-creates the frame and renders at once). Drop with the above.
void drawQuickFrameNow(QQuickWidget *widget);

// A view told of a new screen makes its frame again (QQuickWidget handles Qt's internal
// ScreenChangeInternal event so): one let go must be let go again. Drop with the above.
constexpr QEvent::Type kQuickFrameMadeAgain = QEvent::ScreenChangeInternal;

} // namespace QtWorkarounds
