#pragma once
#include <QString>
#include <QUrl>

// Who answers a page's alert, confirm and prompt. The engine waits for the answer, so
// the answer is given synchronously; the page window decides how to ask the user.
class ScriptDialogs
{
public:
    virtual ~ScriptDialogs() = default;
    enum Kind { Alert, Confirm, Prompt };
    // True for OK. For a prompt, text holds the suggested answer going in and the
    // user's answer coming out.
    virtual bool answer(Kind kind, const QUrl &origin, const QString &message, QString *text) = 0;
};
