#pragma once
#include <QHash>
#include <QSet>
#include <functional>

#include "page/pagequestion.h"

struct LoginRequest;
class QLabel;
class QLineEdit;
class QPushButton;

// A site's (or a proxy's) request for a user name and password, asked inside the page's
// own window. The engine wants the answer at once and runs no task of any page until it
// has it, so only the tab in front asks (in its own event loop, which closing the page
// or the browser ends); a tab out of sight is refused at once, shows the server's
// refusal, and says so with 重新载入 when the user comes to it. Nothing is kept on disk;
// the last user name given for a site and realm is offered again during the run.
class LoginDialog : public PageQuestion
{
    Q_OBJECT
public:
    LoginDialog(QWidget *page, std::function<bool()> inFront, std::function<void()> reload);

    void answer(LoginRequest &request);
    // A document arrived: a login given before it was right.
    void documentArrived() { m_tried.clear(); }

    QLabel *heading() const { return m_heading; }
    QLabel *realm() const { return m_realm; }
    QLabel *warning() const { return m_warning; }
    QLineEdit *user() const { return m_user; }
    QLineEdit *password() const { return m_password; }
    QPushButton *ok() const { return m_ok; }
    QPushButton *cancel() const { return m_cancel; }
    QPushButton *reload() const { return m_reload; }

private:
    void place();
    void fill(const LoginRequest &request);
    // The fields and 取消: shown when asking, hidden when only telling.
    void showFields(bool shown);

    QLabel *m_heading = nullptr;
    QLabel *m_realm = nullptr;
    QLabel *m_warning = nullptr;
    QLabel *m_userLabel = nullptr;
    QLabel *m_passwordLabel = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_reload = nullptr;
    // Sites and realms given a login since the last document: asked again, it was wrong.
    QSet<QString> m_tried;
    // The user name last given for each site and realm, this run.
    QHash<QString, QString> m_users;
};
