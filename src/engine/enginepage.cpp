#include "engine/enginepage.h"

EnginePage::EnginePage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
}

bool EnginePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    return m_decider ? m_decider(url, type, isMainFrame) : true;
}
