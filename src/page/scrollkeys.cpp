#include "page/scrollkeys.h"

#include "engine/pagecontrol.h"
#include "page/formweb.h"
#include "page/pagecommands.h"
#include "page/pagepictures.h"
#include "page/session.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>

ScrollKeys::ScrollKeys(FormWeb &page, QWidget *focusHolder, Session &session, std::function<void()> worked)
    : QObject(&page)
    , m_page(page)
    , m_focusHolder(focusHolder)
    , m_session(session)
    , m_worked(std::move(worked))
{
    page.installEventFilter(this);
    focusHolder->installEventFilter(this);
}

bool ScrollKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_page && event->type() == QEvent::Wheel)
        return wheel(event);
    if (watched == m_focusHolder && event->type() == QEvent::KeyPress)
        return key(event);
    return false;
}

bool ScrollKeys::wheel(QEvent *event)
{
    const auto *turn = static_cast<QWheelEvent *>(event);
    QWidget *under = QApplication::widgetAt(turn->globalPosition().toPoint());
    const auto inside = [under](PageControl *b) {
        return b && (under == b->widget() || b->widget()->isAncestorOf(under));
    };
    const bool overView = under && (inside(m_page.Web()) || inside(m_page.pictures().WebPic()));
    m_page.commands().hideSelectionBar();
    const int delta = turn->angleDelta().y();
    // Not taken here: the page window's own handling passes it on.
    if (m_session.currentPage() != &m_page || overView || delta == 0)
        return false;
    const int notches = qMax(1, qAbs(delta) / 120);
    m_worked();
    m_page.scrollTarget()->scrollBy(0, delta < 0 ? 200 * notches : -200 * notches);
    event->accept();
    return true;
}

bool ScrollKeys::key(QEvent *event)
{
    FormWeb *current = m_session.currentPage();
    if (!current)
        return false;
    m_worked();
    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    PageControl *browser = current->scrollTarget();
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
