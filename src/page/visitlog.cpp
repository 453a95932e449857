#include "page/visitlog.h"

#include "tabs/pagetext.h"

void VisitLog::noteTitle(const QString &title, const QString &address, const QDateTime &when, const QString &homePage)
{
    const QString t = PageText::firstChars(title, 100);
    if (t.isEmpty() || t == m_lastTitle || address == homePage || t == History::kPageTitle)
        return;
    m_lastTitle = t;
    if (m_recorded && !m_rows.isEmpty() && m_rows.last().address == address)
        m_rows.last().title = t;
    else
        m_rows.append({when, t, address});
    m_recorded = true;
}
