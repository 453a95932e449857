#include "engine/hiddenviewframes.h"

#include <QLibraryInfo>
#include <QChildEvent>
#include <QCoreApplication>
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

bool HiddenViewFrames::verifiedHere()
{
    // The frame is let go through QQuickWidget's non-public slot, and shown again through a
    // same-size resize and the widget's handling of a new screen: verified with Qt 6.4 only.
    // Elsewhere (or should the slot be gone) views keep their frames, as Qt means them to.
    // Drop this class when Qt lets a hidden QQuickWidget release its frame itself.
    static const bool verified = QLibraryInfo::version().majorVersion() == 6 && QLibraryInfo::version().minorVersion() == 4
                                 && QQuickWidget::staticMetaObject.indexOfSlot("destroyFramebufferObject()") >= 0;
    return verified;
}

void HiddenViewFrames::dropFrame(QQuickWidget *widget, Frame &frame)
{
    // Only where the engine paints the page opaque, in a window without see-through parts:
    // the see-through showing relies on the window keeping, and not drawing, what is under
    // the view.
    if (!verifiedHere() || !widget->testAttribute(Qt::WA_OpaquePaintEvent)
        || widget->window()->testAttribute(Qt::WA_TranslucentBackground) || !drawnInSoftware(widget))
        return;
    if (releaseFrame(widget))
        frame.dropped = true;
}

bool HiddenViewFrames::releaseFrame(QQuickWidget *widget)
{
    // QQuickWidget's own slot for letting its frame go (it is not public API: should it go
    // away, the view simply keeps its frame, as before).
    return QMetaObject::invokeMethod(widget, "destroyFramebufferObject");
}

void HiddenViewFrames::dropAgainOnceHandled(QQuickWidget *widget)
{
    QPointer<QQuickWidget> guarded(widget);
    QTimer::singleShot(0, this, [guarded] {
        if (guarded && !guarded->isVisible())
            releaseFrame(guarded.data());
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
    // Told its size again, the widget makes a frame and draws the whole scene into it at
    // once, before its first paint: see-through wherever the engine has not drawn yet
    // (all of it, at first).
    QResizeEvent same(widget->size(), widget->size());
    QCoreApplication::sendEvent(widget, &same);
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
    if (type != QEvent::Hide && type != QEvent::Show && type != QEvent::Resize && type != QEvent::ScreenChangeInternal)
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
