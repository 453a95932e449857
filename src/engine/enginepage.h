#pragma once
#include <QWebEnginePage>
#include <functional>

// The one engine page class. It holds no policy: each navigation is handed to a
// decider (the owning BrowserControl) and its verdict returned to the engine.
class EnginePage : public QWebEnginePage
{
    Q_OBJECT
public:
    using Decider = std::function<bool(const QUrl &url, NavigationType type, bool isMainFrame)>;

    EnginePage(QWebEngineProfile *profile, QObject *parent);
    void setDecider(Decider decider) { m_decider = std::move(decider); }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    Decider m_decider;
};
