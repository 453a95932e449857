#include "page/logindialog.h"

#include "engine/siterequests.h"
#include "page/loginmemory.h"
#include "tabs/pagetext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString LoginMemory::keyOf(const LoginRequest &request)
{
    const QString site = request.proxyHost.isEmpty() ? PageText::siteName(request.url) : request.proxyHost;
    return site + QLatin1Char('\n') + request.realm + QLatin1Char('\n') + request.proxyHost;
}

namespace {

QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

LoginDialog::LoginDialog(QWidget *page, std::function<bool()> inFront, LoginMemory &memory, std::function<void()> loadAgain)
    : PageQuestion(page, QStringLiteral("LoginDialog"), std::move(inFront))
    , m_memory(memory)
    , m_loadAgain(std::move(loadAgain))
{
    m_heading = plainLabel(this);
    m_realm = plainLabel(this);
    m_warning = plainLabel(this);
    m_warning->setText(QStringLiteral("用户名或密码不正确，请重新输入。"));
    QPalette red = m_warning->palette();
    red.setColor(QPalette::WindowText, Qt::darkRed);
    m_warning->setPalette(red);
    m_user = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    auto *userLabel = new QLabel(QStringLiteral("用户名(&U)："), this);
    userLabel->setBuddy(m_user);
    auto *passwordLabel = new QLabel(QStringLiteral("密码(&P)："), this);
    passwordLabel->setBuddy(m_password);
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    auto *fields = new QGridLayout;
    fields->addWidget(userLabel, 0, 0);
    fields->addWidget(m_user, 0, 1);
    fields->addWidget(passwordLabel, 1, 0);
    fields->addWidget(m_password, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_realm);
    layout->addWidget(m_warning);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &LoginDialog::given);
    connect(m_cancel, &QPushButton::clicked, this, &LoginDialog::putAway);
    m_user->installEventFilter(this);
    m_password->installEventFilter(this);
    connect(m_user, &QLineEdit::returnPressed, m_password, qOverload<>(&QWidget::setFocus));
    connect(m_password, &QLineEdit::returnPressed, m_ok, &QPushButton::click);
    hide();
}

void LoginDialog::answer(LoginRequest &request)
{
    if (closing())
        return;
    const QString key = LoginMemory::keyOf(request);
    const std::optional<LoginMemory::Login> known = m_memory.find(key);
    const bool wrong = known && m_tried.contains(key);
    if (known && !wrong) {
        request.user = known->user;
        request.password = known->password;
        request.given = true;
        m_tried.insert(key);
        return;
    }
    // Asked again right after the login from memory: it was wrong.
    if (wrong) {
        m_memory.forget(key);
        m_tried.remove(key);
    }
    // Refused for now: the engine goes on (the server's refusal shows), the frame waits.
    ask(request, wrong);
}

void LoginDialog::ask(const LoginRequest &request, bool wrong)
{
    const bool sameQuestion = waiting() && m_key == LoginMemory::keyOf(request);
    m_key = LoginMemory::keyOf(request);
    m_host = request.proxyHost.isEmpty() ? request.url.host() : request.proxyHost;
    m_heading->setText(request.proxyHost.isEmpty() ? QStringLiteral("网站 %1 要求登录").arg(PageText::siteName(request.url))
                                                   : QStringLiteral("代理服务器 %1 要求登录").arg(request.proxyHost));
    m_realm->setText(QStringLiteral("网站的说明：%1").arg(request.realm.left(300)));
    m_realm->setVisible(!request.realm.isEmpty());
    m_warning->setVisible(wrong);
    // What the user is typing for this very question stays.
    if (!sameQuestion) {
        m_user->setText(m_users.value(m_key));
        m_password->clear();
    }
    place();
    show();
    raise();
    if (inFront())
        (m_user->text().isEmpty() ? m_user : m_password)->setFocus();
    emit waitingChanged();
}

void LoginDialog::putAway()
{
    m_password->clear();
    if (isHidden())
        return;
    hide();
    emit waitingChanged();
}

void LoginDialog::given()
{
    m_users.insert(m_key, m_user->text());
    m_memory.remember(m_key, {m_user->text(), m_password->text()});
    putAway();
    m_loadAgain();
}

void LoginDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        m_cancel->click();
        return;
    }
    PageQuestion::keyPressEvent(event);
}

bool LoginDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return PageQuestion::eventFilter(watched, event);
}

void LoginDialog::place()
{
    placeAtTop(460);
}
