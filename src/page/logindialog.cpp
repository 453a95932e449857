#include "page/logindialog.h"

#include "engine/siterequests.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString siteOf(const LoginRequest &request)
{
    return request.proxyHost.isEmpty() ? request.url.host() : request.proxyHost;
}

QString keyOf(const LoginRequest &request)
{
    return siteOf(request) + QLatin1Char('\n') + request.realm + QLatin1Char('\n') + request.proxyHost;
}

QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

LoginDialog::LoginDialog(QWidget *page, std::function<bool()> inFront, std::function<void()> reload)
    : PageQuestion(page, QStringLiteral("LoginDialog"), std::move(inFront))
{
    m_heading = plainLabel(this);
    m_realm = plainLabel(this);
    m_warning = plainLabel(this);
    QPalette red = m_warning->palette();
    red.setColor(QPalette::WindowText, Qt::darkRed);
    m_warning->setPalette(red);
    m_user = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_userLabel = new QLabel(QStringLiteral("用户名(&U)："), this);
    m_userLabel->setBuddy(m_user);
    m_passwordLabel = new QLabel(QStringLiteral("密码(&P)："), this);
    m_passwordLabel->setBuddy(m_password);
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_reload = new QPushButton(QStringLiteral("重新载入"), this);
    auto *fields = new QGridLayout;
    fields->addWidget(m_userLabel, 0, 0);
    fields->addWidget(m_user, 0, 1);
    fields->addWidget(m_passwordLabel, 1, 0);
    fields->addWidget(m_password, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_reload);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_realm);
    layout->addWidget(m_warning);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (!answerWith(true))
            hide();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] { answerWith(false); });
    connect(m_reload, &QPushButton::clicked, this, [this, reload] {
        hide();
        reload();
    });
    connect(m_user, &QLineEdit::returnPressed, m_password, qOverload<>(&QWidget::setFocus));
    connect(m_password, &QLineEdit::returnPressed, m_ok, &QPushButton::click);
    hide();
}

void LoginDialog::fill(const LoginRequest &request)
{
    const QString site = siteOf(request);
    m_heading->setText(request.proxyHost.isEmpty() ? QStringLiteral("网站 %1 要求登录").arg(site)
                                                   : QStringLiteral("代理服务器 %1 要求登录").arg(site));
    m_realm->setText(QStringLiteral("网站的说明：%1").arg(request.realm.left(300)));
    m_realm->setVisible(!request.realm.isEmpty());
}

void LoginDialog::showFields(bool shown)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_user, m_password, m_userLabel, m_passwordLabel, m_cancel})
        w->setVisible(shown);
}

void LoginDialog::answer(LoginRequest &request)
{
    if (closing() || asking())
        return;
    fill(request);
    const QString key = keyOf(request);
    if (!inFront()) {
        // Out of sight: refused at once (every tab would wait for the answer), said when
        // the user comes to the tab.
        m_warning->setText(QStringLiteral("此网页在后台时要求登录，已取消。要登录，请按“重新载入”。"));
        m_warning->show();
        showFields(false);
        m_reload->show();
        m_ok->setText(QStringLiteral("关闭"));
        place();
        show();
        raise();
        return;
    }
    m_warning->setText(QStringLiteral("用户名或密码不正确，请重新输入。"));
    m_warning->setVisible(m_tried.contains(key));
    showFields(true);
    m_reload->hide();
    m_ok->setText(QStringLiteral("确定"));
    m_user->setText(m_users.value(key));
    m_password->clear();
    place();
    show();
    raise();
    (m_user->text().isEmpty() ? m_user : m_password)->setFocus();

    const Answer given = waitForAnswer();
    if (given == Answer::Gone)
        return;
    if (given == Answer::Cancelled) {
        m_tried.remove(key);
        return;
    }
    request.user = m_user->text();
    request.password = m_password->text();
    request.given = true;
    m_password->clear();
    m_users.insert(key, request.user);
    m_tried.insert(key);
}

void LoginDialog::place()
{
    placeAtTop(460);
}
