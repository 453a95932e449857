#include "page/scriptdialog.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ScriptDialog::ScriptDialog(QWidget *page, std::function<void(bool)> waiting)
    : QFrame(page)
    , m_waiting(std::move(waiting))
{
    setObjectName(QStringLiteral("ScriptDialog"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    m_origin = new QLabel(this);
    m_origin->setTextFormat(Qt::PlainText);
    m_message = new QLabel(this);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setMaximumHeight(300);
    m_input = new QLineEdit(this);
    m_suppress = new QCheckBox(QStringLiteral("禁止此网页再显示对话框"), this);
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_suppress);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_origin);
    layout->addWidget(m_message);
    layout->addWidget(m_input);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (m_loop) {
            m_loop->exit(1);
            return;
        }
        // An alert's notice: read, and put away.
        if (!m_suppress->isHidden() && m_suppress->isChecked())
            m_suppressed = true;
        hide();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] { if (m_loop) m_loop->exit(0); });
    connect(m_input, &QLineEdit::returnPressed, m_ok, &QPushButton::click);
    hide();
}

ScriptDialog::~ScriptDialog()
{
    abort();
}

bool ScriptDialog::answer(Kind kind, const QUrl &origin, const QString &message, QString *text)
{
    // One question at a time; a page told to be quiet, or closing, gets no more.
    if (m_suppressed || m_closing || m_loop)
        return false;
    if (kind == Alert) {
        // Needs no answer: the engine (and with it every tab) would wait for it, so it
        // is answered at once and its message stays in the page's own frame.
        if (!m_burst.isValid() || m_burst.elapsed() > 1000) {
            m_burst.start();
            m_alertsInBurst = 0;
        }
        if (++m_alertsInBurst > kAlertsPerSecond) {
            m_suppressed = true;
            m_message->setText(QStringLiteral("此网页不停地弹出提示，已不再显示，直到它打开别的网页。"));
            return false;
        }
    }
    ++m_asked;
    m_origin->setText(QStringLiteral("来自网页 %1 的消息：").arg(origin.host().isEmpty() ? origin.toString() : origin.host()));
    m_message->setText(message.left(5000));
    m_input->setVisible(kind == Prompt);
    m_input->setText(text ? *text : QString());
    m_cancel->setVisible(kind != Alert);
    m_suppress->setChecked(false);
    m_suppress->setVisible(m_asked >= 2);
    place();
    show();
    raise();
    // Out of sight it takes no focus from the page being read.
    if (parentWidget()->isVisible())
        (kind == Prompt ? static_cast<QWidget *>(m_input) : m_ok)->setFocus();
    if (kind == Alert)
        return false;

    // The engine waits for the answer; the rest of the browser goes on meanwhile. A
    // page out of sight keeps its question until the user comes to it.
    QEventLoop loop;
    m_loop = &loop;
    const bool outOfSight = !parentWidget()->isVisible();
    if (outOfSight && m_waiting)
        m_waiting(true);
    // The page may be closed while the question is up: this frame goes with it only once
    // the engine has its answer (the page is let go later), so the guard stays valid.
    QPointer<ScriptDialog> self(this);
    const int result = loop.exec();
    if (!self)
        return false;
    m_loop = nullptr;
    if (outOfSight && m_waiting && !m_closing)
        m_waiting(false);
    if (!m_suppress->isHidden() && m_suppress->isChecked())
        m_suppressed = true;
    hide();
    if (result == 1 && text)
        *text = m_input->text();
    return result == 1 && !m_closing;
}

void ScriptDialog::abort()
{
    m_closing = true;
    if (m_loop)
        m_loop->exit(0);
}

void ScriptDialog::reset()
{
    m_suppressed = false;
    m_asked = 0;
}

void ScriptDialog::place()
{
    QWidget *page = parentWidget();
    const int w = qMin(520, qMax(200, page->width() - 40));
    adjustSize();
    setGeometry((page->width() - w) / 2, 40, w, sizeHint().height());
}
