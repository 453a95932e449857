#include "page/formautoreshua.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <climits>
#include <cmath>

const QString FormAutoREshua::kCaption = QStringLiteral("网页自动刷屏器");
const QString FormAutoREshua::kStart = QStringLiteral("开始(S)");
const QString FormAutoREshua::kPause = QStringLiteral("暂停(P)");

FormAutoREshua::FormAutoREshua(std::function<void()> reload, QWidget *parent)
    : QDialog(parent)
    , m_reload(std::move(reload))
{
    setObjectName(QStringLiteral("FormAutoREshua"));
    setWindowTitle(kCaption);
    setModal(true);

    auto *frame = new QGroupBox(QStringLiteral("选项"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *label = new QLabel(QStringLiteral("刷新频率："), frame);
    label->setObjectName(QStringLiteral("Label1"));
    m_comb = new QComboBox(frame);
    m_comb->setObjectName(QStringLiteral("Comb"));
    m_comb->setEditable(true);
    m_comb->setInsertPolicy(QComboBox::NoInsert);
    for (int s : {1, 2, 3, 4, 5, 10, 20, 30, 60, 300})
        m_comb->addItem(QStringLiteral("%1 秒").arg(s));
    m_comb->setCurrentText(QStringLiteral("5 秒"));
    auto *row = new QHBoxLayout(frame);
    row->addWidget(label);
    row->addWidget(m_comb, 1);

    m_command1 = new QPushButton(kStart, this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    connect(m_command1, &QPushButton::clicked, this, &FormAutoREshua::startOrPause);
    m_lab = new QLabel(this);
    m_lab->setObjectName(QStringLiteral("Lab"));
    m_lab->setMinimumWidth(60);
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &FormAutoREshua::tick);

    auto *layout = new QGridLayout(this);
    layout->addWidget(frame, 0, 0, 1, 2);
    layout->addWidget(m_lab, 1, 0);
    layout->addWidget(m_command1, 1, 1);
}

int FormAutoREshua::leadingSeconds(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return 0;
    // nearbyint rounds halves to even in the default rounding mode.
    const double seconds = std::nearbyint(m.captured(0).trimmed().toDouble());
    if (!(seconds > 0))
        return 0;
    return seconds >= INT_MAX ? INT_MAX : static_cast<int>(seconds);
}

void FormAutoREshua::startOrPause()
{
    if (m_command1->text() == kStart) {
        m_command1->setText(kPause);
        m_countdown = 0;
        m_timer1->start();
    } else {
        m_command1->setText(kStart);
        m_timer1->stop();
    }
}

void FormAutoREshua::tick()
{
    if (m_countdown != 0) {
        --m_countdown;
    } else {
        m_countdown = leadingSeconds(m_comb->currentText());
        m_reload();
    }
    m_lab->setText(QString::number(m_countdown));
}
