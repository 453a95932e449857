#include "engine/hiddenviewframes.h"

#include "engine/qtworkarounds.h"

#include <QChildEvent>
#include <QPointer>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QResizeEvent>
#include <QSGRendererInterface>
#include <QTimer>

HiddenViewFrames::HiddenViewFrames(QWidget *view)
    : QObject(view)
    , m_view(view)
{
    view->installEventFilter(this);
    for (QObject *child : view->children())
        watch(child);
}

void HiddenViewFrames::watch(QObject *child)
{
    // Told once the child is whole: when it is added it is not a QQuickWidget yet. The
    // engine's pop-ups are windows of their own, with nothing of the tab before to show.
    auto *widget = qobject_cast<QQuickWidget *>(child);
    if (!widget || widget->isWindow() || m_frames.contains(child))
        return;
    m_frames.insert(child, Frame());
    child->installEventFilter(this);
    connect(child, &QObject::destroyed, this, [this, child] { m_frames.remove(child); });
}

bool HiddenViewFrames::drawnInSoftware(QQuickWidget *widget)
{
    const QSGRendererInterface *renderer = widget->quickWindow()->rendererInterface();
    return renderer && renderer->graphicsApi() == QSGRendererInterface::Software;
}

void HiddenViewFrames::dropFrame(QQuickWidget *widget, Frame &frame)
{
    // Only where the engine paints the page opaque, in a window without see-through parts:
    // the see-through showing relies on the window keeping, and not drawing, what is under
    // the view.
    if (!QtWorkarounds::quickFramesCanBeReleased() || !widget->testAttribute(Qt::WA_OpaquePaintEvent)
        || widget->window()->testAttribute(Qt::WA_TranslucentBackground) || !drawnInSoftware(widget))
        return;
    if (QtWorkarounds::releaseQuickFrame(widget))
        frame.dropped = true;
}

void HiddenViewFrames::dropAgainOnceHandled(QQuickWidget *widget)
{
    QPointer<QQuickWidget> guarded(widget);
    QTimer::singleShot(0, this, [guarded] {
        if (guarded && !guarded->isVisible())
            QtWorkarounds::releaseQuickFrame(guarded.data());
    });
}

void HiddenViewFrames::showSeeThrough(QQuickWidget *widget, Frame &frame)
{
    frame.dropped = false;
    frame.seeThrough = true;
    const int showing = ++frame.showings;
    frame.background = widget->quickWindow()->color();
    // QQuickWidget's own, which leaves the view opaque to the window.
    widget->setClearColor(Qt::transparent);
    // The whole scene drawn at once, before its first paint: see-through wherever the
    // engine has not drawn yet (all of it, at first).
    QtWorkarounds::drawQuickFrameNow(widget);
    QPointer<QQuickWidget> guarded(widget);
    QTimer::singleShot(kSeeThroughMs, this, [this, guarded, showing] {
        // Not for a later showing: that one has its own second.
        const auto found = m_frames.find(guarded.data());
        if (guarded && found != m_frames.end() && found->showings == showing)
            endSeeThrough(guarded.data(), *found);
    });
}

void HiddenViewFrames::endSeeThrough(QQuickWidget *widget, Frame &frame)
{
    if (!frame.seeThrough)
        return;
    frame.seeThrough = false;
    // Unless the engine has given the page a background of its own meanwhile.
    if (widget->quickWindow()->color() == QColor(Qt::transparent))
        widget->setClearColor(frame.background);
}

bool HiddenViewFrames::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::ChildPolished)
            watch(static_cast<QChildEvent *>(event)->child());
        return false;
    }
    const QEvent::Type type = event->type();
    if (type != QEvent::Hide && type != QEvent::Show && type != QEvent::Resize
        && type != QtWorkarounds::kQuickFrameMadeAgain)
        return false;
    auto *widget = qobject_cast<QQuickWidget *>(watched);
    const auto found = m_frames.find(watched);
    if (!widget || found == m_frames.end())
        return false;
    Frame &frame = found.value();
    // Told of a new screen, or of a size while out of sight (a look at the hidden view), the
    // widget makes its frame again and draws into it: let it go again once that is done.
    if (frame.dropped && !widget->isVisible() && type != QEvent::Hide) {
        dropAgainOnceHandled(widget);
        return false;
    }
    switch (type) {
    case QEvent::Hide:
        endSeeThrough(widget, frame);
        // A minimised window is hidden by the system, not by us.
        if (!event->spontaneous())
            dropFrame(widget, frame);
        break;
    case QEvent::Show:
        if (frame.dropped)
            showSeeThrough(widget, frame);
        break;
    case QEvent::Resize: {
        // A strip the engine has not drawn yet at the new size shows the page's background.
        const auto *resize = static_cast<QResizeEvent *>(event);
        if (resize->oldSize() != resize->size())
            endSeeThrough(widget, frame);
        break;
    }
    default:
        break;
    }
    return false;
}
