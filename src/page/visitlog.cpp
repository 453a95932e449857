#include "page/visitlog.h"

#include "tabs/pagetext.h"
#include "tabs/sites.h"

void VisitLog::noteTitle(const QString &title, const QString &address, const QDateTime &when, const QString &homePage)
{
    const QString t = PageText::firstChars(title, 100);
    // The start page, marked or not, is never a visit.
    if (t.isEmpty() || t == m_lastTitle || address == homePage || address == Sites::kMarkedStartPage
        || t == History::kPageTitle)
        return;
    // A row for each title that differs from the last one recorded, a script's renaming
    // included.
    m_lastTitle = t;
    m_rows.append({when, t, PageText::withoutUserInfo(address)});
}
