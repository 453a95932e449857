#include "page/formright.h"

#include "engine/pagecontrol.h"
#include "platform/clock.h"
#include "tabs/stripgeometry.h"

#include <QCloseEvent>
#include <QPropertyAnimation>
#include <QScreen>

using StripGeometry::toPixels;

FormRight::FormRight(PageEngine &engine, const Clock &clock, const QString &address, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_engine(engine)
    , m_clock(clock)
    , m_address(address)
    , m_start(clock.now())
{
    setObjectName(QStringLiteral("FormRight"));
    setWindowTitle(QStringLiteral("淘宝网"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(toPixels(4620), toPixels(3840));
    m_poll.setInterval(1000);
    connect(&m_poll, &QTimer::timeout, this, &FormRight::check);
    m_poll.start();
}

QPoint FormRight::corner() const
{
    const QScreen *screen = this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return QPoint(area.right() + 1 - frameGeometry().width() - toPixels(100),
                  area.bottom() + 1 - frameGeometry().height() - toPixels(700));
}

void FormRight::check()
{
    if (m_closedByUser || m_due)
        return;
    const qint64 since = m_start.secsTo(m_clock.now());
    if (since >= kViewAfterS && !m_web) {
        m_web = m_engine.newPage(this, this);
        m_web->setShowOnFirstDocument(false);
        // Each load's end: the page's own margins go, as often as it finishes.
        connect(m_web, &PageControl::DocumentComplete, this, [this] {
            m_web->runScript(QStringLiteral("if (document.body) document.body.style.margin = '0'"));
        });
        connect(m_web, &PageControl::LoadEnded, this, [this](bool ok) {
            m_loaded = ok;
            showIfDue();
        });
        m_web->Navigate(m_address);
        resizeEvent(nullptr);
    }
    if (since < kSlideAfterS)
        return;
    m_due = true;
    m_poll.stop();
    showIfDue();
}

void FormRight::setScreenTaken(bool on)
{
    m_screenTaken = on;
    if (on)
        hide();
    else
        showIfDue();
}

void FormRight::showIfDue()
{
    if (!m_due || !m_loaded || m_screenTaken || m_closedByUser || isVisible())
        return;
    if (!m_slid) {
        slideIn();
        return;
    }
    show();
    move(corner());
}

void FormRight::slideIn()
{
    m_slid = true;
    // In from the right edge of the work area; where it rests is known once it is shown
    // (its frame counts).
    const QScreen *screen = this->screen();
    move(screen ? screen->availableGeometry().right() + 1 : 4000, y());
    show();
    const QPoint rest = corner();
    move(pos().x(), rest.y());
    auto *slide = new QPropertyAnimation(this, "pos", this);
    slide->setDuration(400);
    slide->setEndValue(rest);
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void FormRight::resizeEvent(QResizeEvent *event)
{
    if (event)
        QWidget::resizeEvent(event);
    // The view a little larger than the window: its scroll bars lie outside.
    if (m_web)
        m_web->widget()->setGeometry(0, 0, width() + toPixels(250), height() + toPixels(250));
}

void FormRight::closeEvent(QCloseEvent *event)
{
    m_closedByUser = true;
    m_poll.stop();
    event->accept();
}
