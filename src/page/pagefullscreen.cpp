#include "page/pagefullscreen.h"

#include "engine/pagecontrol.h"

#include <QLabel>
#include <QTimer>

const QString PageFullScreen::kNotice = QStringLiteral("按 Esc 退出全屏");

PageFullScreen::PageFullScreen(QWidget *page, PageControl &web, std::function<bool()> inFront, std::function<void(bool on)> changed)
    : QObject(page)
    , m_web(web)
    , m_inFront(std::move(inFront))
    , m_changed(std::move(changed))
    , m_notice(new QLabel(kNotice, page))
    , m_noticeTimer(new QTimer(this))
{
    m_notice->setObjectName(QStringLiteral("FullScreenNotice"));
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setStyleSheet(QStringLiteral("background: rgba(0,0,0,190); color: white; padding: 10px 24px; border-radius: 6px;"));
    m_notice->hide();
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(kNoticeMs);
    connect(m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);
    connect(&web, &PageControl::FullScreenRequested, this, &PageFullScreen::request);
}

void PageFullScreen::request(FullScreenRequest &request)
{
    // A tab out of sight cannot take the screen from the one being read.
    if (request.on && !m_inFront())
        return;
    request.accepted = true;
    set(request.on);
}

void PageFullScreen::leave()
{
    if (!m_on)
        return;
    m_web.leaveFullScreen();
    set(false);
}

void PageFullScreen::set(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    m_changed(on);
    if (on) {
        m_notice->adjustSize();
        place(m_notice->parentWidget()->width());
        m_notice->show();
        m_noticeTimer->start();
    } else {
        m_noticeTimer->stop();
        m_notice->hide();
    }
}

void PageFullScreen::place(int width)
{
    m_notice->move((width - m_notice->width()) / 2, 60);
    // Over the view, which the page window raises to fill it.
    m_notice->raise();
}
