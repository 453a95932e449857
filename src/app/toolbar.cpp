#include "app/toolbar.h"

#include "tabs/stripgeometry.h"

#include <QApplication>
#include <QIcon>
#include <QToolButton>

using StripGeometry::toPixels;

namespace {

struct ButtonSpec {
    const char *name;
    int index;
    int left;
    const char *tip;
    const char *icon; // picture in the resources' icons folder
};

const ButtonSpec kToolbar[] = {
    {"CmdPage", 0, 0, "后退", "back"},
    {"CmdPage", 1, 870, "前进", "forward"},
    {"Command1", -1, 1875, "关闭电脑屏幕", "screenoff"},
    {"Chk", -1, 2715, "提取网页图片", "gallery"},
    {"Command3", -1, 3700, "恢复关闭的网页", "restore"},
    {"Command2", -1, 4575, "页面刷新", "refresh"},
    {"Command5", -1, 5430, "首页", "home"},
    {"Command11", -1, 6450, "安全看图模式 (信号灯)", "signal"},
    {"Command4", -1, 7320, "一键下载图片（全部大图）", "downloadall"},
    {"Command6", -1, 8170, "查看图片（下载目录）", "picfolder"},
    {"MoveUp", 0, 9195, "至页面顶部", "top"},
    {"MoveUp", 1, 10035, "至页面底部", "bottom"},
    {"ImgComb", -1, 11115, "百度网站", "baidu"},
    {"Command7", -1, 11955, "360 综合搜索", "so360"},
    {"Command10", -1, 12795, "淘宝购物", "taobao"},
    {"Command9", -1, 13920, "启动 Word", "word"},
    {"Command12", -1, 14760, "启动 Excel", "excel"},
    {"Command8", -1, 16320, "关闭当前网页", "close"},
};

QString buttonKey(const char *name, int index)
{
    return index < 0 ? QString::fromLatin1(name) : QString::fromLatin1(name) + QString::number(index);
}

void paint(QToolButton *button, const QColor &colour)
{
    QPalette pal = button->palette();
    pal.setColor(QPalette::Button, colour);
    pal.setColor(QPalette::Window, colour);
    button->setPalette(pal);
}

} // namespace

Toolbar::Toolbar(QWidget *pict)
    : QObject(pict)
{
    for (const ButtonSpec &b : kToolbar) {
        auto *button = new QToolButton(pict);
        button->setObjectName(QString::fromLatin1(b.name));
        if (b.index >= 0)
            button->setProperty("index", b.index);
        button->setToolTip(QString::fromUtf8(b.tip));
        button->setIcon(QIcon(QStringLiteral(":/velmo/icons/%1.svg").arg(QLatin1String(b.icon))));
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        button->setAutoFillBackground(true);
        button->setGeometry(toPixels(b.left), toPixels(30), toPixels(795), toPixels(650));
        button->setEnabled(false);
        m_buttons.insert(buttonKey(b.name, b.index), button);
    }
    button("Chk")->setCheckable(true);
}

QToolButton *Toolbar::button(const char *name, int index) const
{
    return m_buttons.value(buttonKey(name, index), nullptr);
}

void Toolbar::setBackForward(bool back, bool forward)
{
    button("CmdPage", 0)->setEnabled(back);
    button("CmdPage", 1)->setEnabled(forward);
}

void Toolbar::showSafeMode(bool safe)
{
    paint(button("Command11"), safe ? QColor(Qt::yellow) : QApplication::palette().color(QPalette::Button));
}

void Toolbar::showGalleryToggle(bool checked)
{
    paint(button("Chk"), checked ? QColor(Qt::yellow) : QApplication::palette().color(QPalette::Button));
}

bool Toolbar::clearGalleryToggle()
{
    QToolButton *chk = button("Chk");
    if (!chk->isChecked())
        return false;
    chk->setChecked(false);
    return true;
}
