#include "engine/enginepage.h"

#include <QWebEngineHistory>

#include "engine/scriptdialogs.h"

EnginePage::EnginePage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
}

bool EnginePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    return m_decider ? m_decider(url, type, isMainFrame) : true;
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

void EnginePage::downloadInsteadOfDocument()
{
    if (!history()->currentItem().isValid() || history()->count() == 0)
        emit leftEmptyByDownload();
}
