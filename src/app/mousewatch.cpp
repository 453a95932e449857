#include "app/mousewatch.h"

#include "app/pagestack.h"
#include "page/formweb.h"
#include "tabs/tabstrip.h"

#include <QApplication>
#include <QCursor>
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

bool MouseWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        m_pressedSinceTick = true;
    return QObject::eventFilter(watched, event);
}

void MouseWatch::watch()
{
    if (!m_window->isActiveWindow())
        return;
    // Left button: -32768 held now, 1 pressed and released since the last tick, 0 up.
    const bool downNow = QGuiApplication::mouseButtons() & Qt::LeftButton;
    const int state = downNow ? -32768 : (m_pressedSinceTick ? 1 : 0);
    m_pressedSinceTick = false;
    if (state == -32768)
        m_wasDown = true;
    const QPoint cursor = QCursor::pos();
    if (cursor.y() > 130)
        m_strip.moveCloseButton(-5000);
    if (state == 0 && m_wasDown) {
        m_wasDown = false;
        if (FormWeb *p = m_pages.activePage())
            p->zhan(cursor.x() * 15 - 500, cursor.y() * 15 - 2500);
    }
}
