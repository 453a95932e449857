#include "app/mousewatch.h"

#include "app/pagestack.h"
#include "page/formweb.h"
#include "page/pagecommands.h"
#include "tabs/tabstrip.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

MouseWatch::MouseWatch(QWidget *window, PageStack &pages, TabStrip &strip)
    : QObject(window)
    , m_window(window)
    , m_pages(pages)
    , m_strip(strip)
{
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(300);
    connect(m_timer1, &QTimer::timeout, this, &MouseWatch::watch);
    m_timer1->start();
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(20);
    connect(m_timer2, &QTimer::timeout, this, [this] {
        if (FormWeb *p = m_pages.activePage())
            p->scrollBy(0, m_scrollStep);
    });
    qApp->installEventFilter(this);
}

MouseWatch::~MouseWatch()
{
    qApp->removeEventFilter(this);
}

void MouseWatch::setScrolling(int step)
{
    m_scrollStep = step;
    if (step != 0)
        m_timer2->start();
    else
        m_timer2->stop();
}

void MouseWatch::stop()
{
    m_timer1->stop();
    m_timer2->stop();
}

// Every object of the program passes this application-wide filter, the engine's own too;
// those are built without type information, so the undefined-behaviour sanitizer's
// vptr check cannot tell their type and stops at the first one. Only this function is
// exempt: it touches an object only through Qt's own cast, and only for the few events
// it acts on.
#if defined(__clang__) || defined(__GNUC__)
__attribute__((no_sanitize("vptr")))
#endif
bool MouseWatch::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick
        && type != QEvent::KeyPress)
        return false;
    if (type == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        m_pressedSinceTick = true;
    // The mouse's back and forward buttons, and Alt+Left / Alt+Right, anywhere in this
    // window step through the active page's history.
    int step = 0;
    const auto isHistoryButton = [event] {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        return button == Qt::BackButton || button == Qt::ForwardButton;
    };
    // The engine would take the release as a step of its own.
    if ((type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick) && isHistoryButton())
        return true;
    if (type == QEvent::MouseButtonPress) {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        step = button == Qt::BackButton ? -1 : button == Qt::ForwardButton ? 1 : 0;
    } else if (type == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier)
            step = key->key() == Qt::Key_Left ? -1 : key->key() == Qt::Key_Right ? 1 : 0;
    }
    if (step == 0)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (widget && widget->window() == m_window) {
        if (FormWeb *p = m_pages.activePage())
            step < 0 ? p->goBack() : p->goForward();
        return true;
    }
    return false;
}

void MouseWatch::watch()
{
    if (!m_window->isActiveWindow())
        return;
    // Left button: -32768 held now, 1 pressed and released since the last tick, 0 up.
    const bool downNow = QGuiApplication::mouseButtons() & Qt::LeftButton;
    const int state = downNow ? -32768 : (m_pressedSinceTick ? 1 : 0);
    m_pressedSinceTick = false;
    FormWeb *page = m_pages.activePage();
    // A press, held now or already over, puts the bar away until the button comes up.
    if (state != 0 && page)
        page->commands().hideSelectionBar();
    if (state == -32768)
        m_wasDown = true;
    const QPoint cursor = QCursor::pos();
    // Measured from the top of the window, which is not always at the top of the screen.
    if (m_window->mapFromGlobal(cursor).y() > 130)
        m_strip.moveCloseButton(-5000);
    if (state == 0 && m_wasDown) {
        m_wasDown = false;
        // The bar comes up just below the pointer, a little to its left, in the page.
        if (page) {
            const QPoint at = page->mapFromGlobal(cursor);
            page->commands().zhan(at.x() * 15 - 500, at.y() * 15 + 300);
        }
    }
}
