#pragma once
#include <QHash>
#include <QSet>
#include <QUrl>
#include <functional>

#include "page/pagequestion.h"

struct LoginRequest;
class LoginMemory;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

// A site's (or a proxy's) request for a user name and password, asked inside the page's
// own window. The engine wants its answer before it goes on with any page, so it is never
// kept waiting: a login the user gave this run for that site and realm answers at once;
// otherwise the engine is told no (the server's own refusal shows under the frame) and
// the frame waits over the page, in front or out of sight, while every tab goes on. 确定
// keeps the login in memory only and loads the page again, which the engine then asks
// about and gets answered from memory; asked again right after, the login was wrong and
// the frame comes back saying so. Esc is 取消.
class LoginDialog : public PageQuestion
{
    Q_OBJECT
public:
    // inFront: whether the page is the tab in front (only then the frame takes the keyboard);
    // loadAgain: the page loads again after a login was given (a form is never sent again
    // without the user's word).
    LoginDialog(QWidget *page, std::function<bool()> inFront, LoginMemory &memory, std::function<void()> loadAgain);

    // Answers the engine at once.
    void answer(LoginRequest &request);
    // A document arrived: a login given from memory before it was right.
    void documentArrived() { m_tried.clear(); }
    // The frame waits for the user's login.
    bool waiting() const { return !isHidden(); }
    // The page goes elsewhere, or the user cancelled: the frame goes, nothing is kept.
    void putAway();
    // The host (or proxy) the frame asks a login for.
    QString askedHost() const { return m_host; }

signals:
    // The frame came up or went away.
    void waitingChanged();

public:

    QLabel *heading() const { return m_heading; }
    QLabel *realm() const { return m_realm; }
    QLabel *warning() const { return m_warning; }
    QLineEdit *user() const { return m_user; }
    QLineEdit *password() const { return m_password; }
    QPushButton *ok() const { return m_ok; }
    QPushButton *cancel() const { return m_cancel; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // Esc in the fields is the frame's, not the window's (which would stop the page).
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();
    void ask(const LoginRequest &request, bool wrong);
    void given();

    LoginMemory &m_memory;
    std::function<void()> m_loadAgain;
    QString m_key; // of the login the frame asks for
    QString m_host;
    QLabel *m_heading = nullptr;
    QLabel *m_realm = nullptr;
    QLabel *m_warning = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    // Sites and realms answered from memory since the last document: asked again, the
    // login was wrong.
    QSet<QString> m_tried;
    // The user name last given for each site and realm, this run.
    QHash<QString, QString> m_users;
};
