#include "app/restorebar.h"

RestoreBar::RestoreBar(QWidget *parent)
    : QuestionBar(parent)
{
    setObjectName(QStringLiteral("RestoreBar"));
}

QString RestoreBar::question(int count)
{
    return QStringLiteral("上次浏览器没有正常关闭，是否恢复 %1 个网页？（不恢复的网页可以从“历史”菜单找回，或按 Ctrl+Z 逐个找回）").arg(count);
}

void RestoreBar::ask(int count)
{
    QuestionBar::ask(question(count), QStringLiteral("恢复"), QStringLiteral("不恢复"), [this](bool yes) { emit answered(yes); });
}
