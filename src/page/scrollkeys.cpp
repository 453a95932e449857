#include "page/scrollkeys.h"

#include "engine/pagecontrol.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <utility>

ScrollKeys::ScrollKeys(Page page)
    : QObject(page.window)
    , m_page(std::move(page))
{
    m_page.window->installEventFilter(this);
    m_page.focusHolder->installEventFilter(this);
}

bool ScrollKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_page.window && event->type() == QEvent::Wheel)
        return wheel(event);
    if (watched == m_page.focusHolder && event->type() == QEvent::KeyPress)
        return key(event);
    return false;
}

bool ScrollKeys::wheel(QEvent *event)
{
    const auto *turn = static_cast<QWheelEvent *>(event);
    QWidget *under = QApplication::widgetAt(turn->globalPosition().toPoint());
    const bool overView = under && m_page.withinView(under);
    m_page.hideSelectionBar();
    const int delta = turn->angleDelta().y();
    // Not taken here: the page window's own handling passes it on.
    PageControl *browser = m_page.isCurrent() && !overView && delta != 0 ? m_page.currentScrollTarget() : nullptr;
    if (!browser)
        return false;
    const int notches = qMax(1, qAbs(delta) / 120);
    m_page.worked();
    browser->scrollBy(0, delta < 0 ? 200 * notches : -200 * notches);
    event->accept();
    return true;
}

bool ScrollKeys::key(QEvent *event)
{
    PageControl *browser = m_page.currentScrollTarget();
    if (!browser)
        return false;
    m_page.worked();
    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    const bool shift = keyEvent->modifiers() & Qt::ShiftModifier;
    switch (keyEvent->key()) {
    case Qt::Key_Up: browser->scrollBy(0, -100); return true;
    case Qt::Key_Down: browser->scrollBy(0, 100); return true;
    case Qt::Key_PageUp: browser->scrollPages(-1); return true;
    case Qt::Key_PageDown: browser->scrollPages(1); return true;
    case Qt::Key_Space: browser->scrollPages(shift ? -1 : 1); return true;
    case Qt::Key_Home: browser->scrollToEdge(false); return true;
    case Qt::Key_End: browser->scrollToEdge(true); return true;
    default: return false;
    }
}
