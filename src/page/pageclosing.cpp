#include "page/pageclosing.h"

#include <QWidget>
#include <utility>

PageClosing::PageClosing(Page page)
    : QObject(page.window)
    , m_page(std::move(page))
    , m_documentWatch(new QTimer(this))
{
    m_documentWatch->setObjectName(QStringLiteral("Timer2"));
    m_documentWatch->setInterval(200);
    connect(m_documentWatch, &QTimer::timeout, this, &PageClosing::checkDocument);
}

PageClosing::Step PageClosing::asked()
{
    if (m_closed)
        return Step::Gone;
    if (m_page.savingPictures() && !m_exiting) {
        // The run ends at its next picture and the page closes then.
        m_pending = true;
        m_page.waitOutOfSight();
        return Step::Wait;
    }
    m_closed = true;
    return Step::Go;
}

void PageClosing::closeForExit()
{
    m_exiting = true;
    m_page.window->close();
}

bool PageClosing::tick()
{
    if (m_pending) {
        m_page.window->close();
        // Still saving: keep trying.
        return !m_closed;
    }
    if (!m_page.placed())
        m_page.window->close();
    return false;
}

void PageClosing::checkDocument()
{
    if (m_page.hasDocument()) {
        m_documentArrived = true;
        m_documentWatch->stop();
        return;
    }
    m_page.noDocumentYet();
    if (m_page.refused())
        m_page.closeTab();
}
