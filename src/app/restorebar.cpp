#include "app/restorebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

RestoreBar::RestoreBar(QWidget *parent)
    : QFrame(parent)
    , m_text(new QLabel(this))
    , m_yes(new QPushButton(QStringLiteral("恢复"), this))
    , m_no(new QPushButton(QStringLiteral("不恢复"), this))
{
    setObjectName(QStringLiteral("RestoreBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(255, 248, 200));
    setPalette(palette);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 3, 8, 3);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_yes);
    layout->addWidget(m_no);
    connect(m_yes, &QPushButton::clicked, this, [this] {
        hide();
        emit answered(true);
    });
    connect(m_no, &QPushButton::clicked, this, [this] {
        hide();
        emit answered(false);
    });
    hide();
}

QString RestoreBar::question(int count)
{
    return QStringLiteral("上次浏览器没有正常关闭，是否恢复 %1 个网页？（不恢复的网页可以从“历史”菜单找回，或按 Ctrl+Z 逐个找回）").arg(count);
}

void RestoreBar::ask(int count)
{
    m_text->setText(question(count));
    show();
}
