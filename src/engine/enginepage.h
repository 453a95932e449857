#pragma once
#include <QList>
#include <QPointer>
#include <QWebEnginePage>
#include <functional>

class ScriptDialogs;

// The one engine page class. It holds no policy: each navigation is handed to a
// decider (the owning BrowserControl) and its verdict returned to the engine.
class EnginePage : public QWebEnginePage
{
    Q_OBJECT
public:
    using Decider = std::function<bool(const QUrl &url, NavigationType type, bool isMainFrame)>;

    EnginePage(QWebEngineProfile *profile, QObject *parent);
    void setDecider(Decider decider) { m_decider = std::move(decider); }
    // Without one, a page's dialogs are answered at once (alert OK, confirm and prompt
    // cancelled); the engine's own would block the whole window.
    void setScriptDialogs(ScriptDialogs *dialogs) { m_dialogs = dialogs; }
    // What a page was asked to show turned out to be a download of url: each page that
    // went there and never had a document of its own says so (leftEmptyByDownload).
    // Found among the live pages: the engine's request may name a page already gone.
    static void downloadInsteadOfDocument(const QUrl &url);

signals:
    // The page went to a download and never had a document: a tab made for it is empty.
    void leftEmptyByDownload();

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl &origin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &origin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &origin, const QString &message, const QString &suggested, QString *result) override;

private:
    static QList<QPointer<EnginePage>> &livePages();
    Decider m_decider;
    QUrl m_lastMainFrameRequest;
    ScriptDialogs *m_dialogs = nullptr;
};
