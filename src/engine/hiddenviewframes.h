#pragma once
#include <QColor>
#include <QHash>
#include <QObject>

class QQuickWidget;
class QWidget;

// A page's view gives up the picture it paints itself from while its tab is out of sight.
// Where pages are drawn in software, Qt Quick keeps a whole frame for every view (3.4 MB at
// 1200 x 700), also while it is hidden; the engine drops its own copy then, and draws the
// page again a few milliseconds after the view is shown. Shown again, the view is
// see-through for a while, so until that drawing comes the window goes on showing what it
// showed, the tab before, and never a blank; the drawing itself is opaque and covers it.
// The page itself is untouched: loaded and running. A window minimised and restored is
// left alone: it comes back with what it showed. How a frame is let go and drawn again
// is Qt's, not promised: see qtworkarounds.h (elsewhere views keep their frames).
class HiddenViewFrames : public QObject
{
    Q_OBJECT
public:
    // Watches the engine's drawing widgets inside view, including those it puts there later.
    explicit HiddenViewFrames(QWidget *view);

    // How long a view shown again stays see-through (unless it changes size or is hidden
    // first). Long enough for a page whose parts must be drawn again; should the engine
    // draw nothing (a renderer that stopped), the page's background shows after it.
    static constexpr int kSeeThroughMs = 1000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Frame {
        bool dropped = false;
        bool seeThrough = false;
        int showings = 0;  // times shown see-through, so a late timer ends only its own
        QColor background; // the page's own, while see-through
    };

    void watch(QObject *child);
    void dropFrame(QQuickWidget *widget, Frame &frame);
    void dropAgainOnceHandled(QQuickWidget *widget);
    void showSeeThrough(QQuickWidget *widget, Frame &frame);
    void endSeeThrough(QQuickWidget *widget, Frame &frame);
    static bool drawnInSoftware(QQuickWidget *widget);

    QWidget *m_view;
    QHash<QObject *, Frame> m_frames;
};
