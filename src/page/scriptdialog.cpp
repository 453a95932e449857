#include "page/scriptdialog.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ScriptDialog::ScriptDialog(QWidget *page, std::function<bool()> inFront, std::function<void()> reload)
    : PageQuestion(page, QStringLiteral("ScriptDialog"), std::move(inFront))
{
    m_origin = new QLabel(this);
    m_origin->setTextFormat(Qt::PlainText);
    m_message = new QLabel(this);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setMaximumHeight(300);
    m_note = new QLabel(QStringLiteral("此网页在后台时提出了这个问题，已自动按“取消”回答。"), this);
    m_input = new QLineEdit(this);
    m_suppress = new QCheckBox(QStringLiteral("禁止此网页再显示对话框"), this);
    m_ok = new QPushButton(this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_reload = new QPushButton(QStringLiteral("重新载入"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_suppress);
    buttons->addStretch(1);
    buttons->addWidget(m_reload);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_origin);
    layout->addWidget(m_message);
    layout->addWidget(m_note);
    layout->addWidget(m_input);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (answerWith(true))
            return;
        // A notice: read, and put away.
        if (!m_suppress->isHidden() && m_suppress->isChecked())
            m_suppressed = true;
        hide();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] { answerWith(false); });
    connect(m_reload, &QPushButton::clicked, this, [this, reload] {
        hide();
        reload();
    });
    connect(m_input, &QLineEdit::returnPressed, m_ok, &QPushButton::click);
    hide();
}

bool ScriptDialog::tooMany()
{
    if (!m_burst.isValid() || m_burst.elapsed() > 1000) {
        m_burst.start();
        m_shownInBurst = 0;
    }
    if (++m_shownInBurst <= kAlertsPerSecond)
        return false;
    m_suppressed = true;
    m_message->setText(QStringLiteral("此网页不停地弹出提示，已不再显示，直到它打开别的网页。"));
    m_note->hide();
    return true;
}

void ScriptDialog::fill(const QUrl &origin, const QString &message)
{
    ++m_asked;
    const QString site = origin.host().isEmpty() ? origin.toString() : origin.host();
    // One site's messages only: another site's (a frame's) text never stands under this
    // one's name.
    if (site != m_site) {
        m_messages.clear();
        m_earlier = 0;
    }
    m_site = site;
    m_origin->setText(QStringLiteral("来自网页 %1 的消息：").arg(site));
    // Messages the page gave while the frame stood unread are all kept, in order (an
    // alert followed by a question out of sight showed the question alone).
    if (isHidden()) {
        m_messages.clear();
        m_earlier = 0;
    }
    m_messages.append(message.left(5000));
    if (m_messages.size() > kMessagesKept) {
        m_messages.removeFirst();
        ++m_earlier;
    }
    const QString earlier = m_earlier > 0 ? QStringLiteral("（另有 %1 条更早的消息未显示）\n\n").arg(m_earlier) : QString();
    m_message->setText(earlier + m_messages.join(QStringLiteral("\n\n")));
    m_suppress->setChecked(false);
    m_suppress->setVisible(m_asked >= 2);
}

bool ScriptDialog::answer(Kind kind, const QUrl &origin, const QString &message, QString *text)
{
    // One question at a time; a page told to be quiet, or closing, gets no more.
    if (m_suppressed || closing() || asking())
        return false;
    const bool shownInFront = inFront();
    // Needs no answer, or is out of sight: the engine (and with it every tab) would wait
    // for it, so it is answered at once (an alert acknowledged, a question cancelled) and
    // its message stays in the page's own frame.
    if (kind == Alert || !shownInFront) {
        if (tooMany())
            return false;
        fill(origin, message);
        m_note->setVisible(kind != Alert);
        m_input->hide();
        m_cancel->hide();
        m_reload->setVisible(kind != Alert);
        m_ok->setText(kind == Alert ? QStringLiteral("确定") : QStringLiteral("关闭"));
        place();
        show();
        raise();
        // Out of sight it takes no focus from the page being read.
        if (shownInFront)
            m_ok->setFocus();
        return false;
    }

    fill(origin, message);
    m_note->hide();
    m_reload->hide();
    m_ok->setText(QStringLiteral("确定"));
    m_input->setVisible(kind == Prompt);
    m_input->setText(text ? *text : QString());
    m_cancel->show();
    place();
    show();
    raise();
    (kind == Prompt ? static_cast<QWidget *>(m_input) : m_ok)->setFocus();

    const Answer given = waitForAnswer();
    if (given == Answer::Gone)
        return false;
    if (!m_suppress->isHidden() && m_suppress->isChecked())
        m_suppressed = true;
    if (given == Answer::Given && text)
        *text = m_input->text();
    return given == Answer::Given;
}

void ScriptDialog::reset()
{
    m_suppressed = false;
    m_asked = 0;
}

void ScriptDialog::place()
{
    placeAtTop(520);
}
