#include "engine/enginepage.h"

#include <QWebEngineHistory>

#include "engine/scriptdialogs.h"

EnginePage::EnginePage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    livePages().removeAll(nullptr);
    livePages().append(this);
}

bool EnginePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    const bool accepted = m_decider ? m_decider(url, type, isMainFrame) : true;
    if (accepted && isMainFrame)
        m_lastMainFrameRequest = url;
    return accepted;
}

void EnginePage::javaScriptAlert(const QUrl &origin, const QString &message)
{
    if (m_dialogs)
        m_dialogs->answer(ScriptDialogs::Alert, origin, message, nullptr);
}

bool EnginePage::javaScriptConfirm(const QUrl &origin, const QString &message)
{
    return m_dialogs && m_dialogs->answer(ScriptDialogs::Confirm, origin, message, nullptr);
}

bool EnginePage::javaScriptPrompt(const QUrl &origin, const QString &message, const QString &suggested, QString *result)
{
    QString text = suggested;
    if (!m_dialogs || !m_dialogs->answer(ScriptDialogs::Prompt, origin, message, &text))
        return false;
    if (result)
        *result = text;
    return true;
}

QList<QPointer<EnginePage>> &EnginePage::livePages()
{
    static QList<QPointer<EnginePage>> pages;
    return pages;
}

void EnginePage::downloadInsteadOfDocument(const QUrl &url)
{
    QList<QPointer<EnginePage>> &pages = livePages();
    pages.removeAll(nullptr);
    for (const QPointer<EnginePage> &page : QList<QPointer<EnginePage>>(pages)) {
        // The engine forgets the address of a navigation that became a download: the
        // page's own note of where it was sent last is compared.
        if (page && page->m_lastMainFrameRequest == url && page->history()->count() == 0)
            emit page->leftEmptyByDownload();
    }
}
