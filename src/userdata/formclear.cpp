#include "userdata/formclear.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

const QString Formclear::kCaption = QStringLiteral("清除历史记录      (一次性)");

namespace {

const char *const kBoxCaptions[Formclear::kBoxes] = {
    "清除地址栏历史", "清除搜索栏历史", "清除网站访问历史", "清除上网的表单记录", "清空“我的文档”列表",
    "清除 Cookies 痕迹", "清除网页缓存", "清除临时目录", "清除撤销记录", "清除“网上邻居”痕迹"};

// What each box removes here, for its tool tip.
const char *const kBoxTips[Formclear::kBoxes] = {
    "清空地址栏的下拉列表",
    "清空搜索栏的下拉列表",
    "删除程序文件夹中的 History 文件夹（浏览历史）",
    "清除浏览器记住的已访问链接（浏览器不保存表单内容）",
    "删除桌面的最近使用文件列表（recently-used.xbel）",
    "删除浏览器保存的全部 Cookie；网站的其他数据（本地存储、IndexedDB、Service Worker 等）在下次启动浏览器时删除",
    "下次启动浏览器时清空网页缓存（浏览器运行时清空会让正在打开的网页一直停在载入中）",
    "删除浏览器自己生成的临时网页（图片墙、图片详情）",
    "删除关闭网页的全部记录：“历史”菜单、Ctrl+Z 和重新启动后都不再出现",
    "此系统上没有“网上邻居”痕迹，此项不做任何事"};

} // namespace

Formclear::Formclear(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Formclear"));
    setWindowTitle(kCaption);
    setModal(true);

    auto *frame = new QGroupBox(QStringLiteral("选项"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(frame);
    for (int i = 0; i < kBoxes; ++i) {
        auto *box = new QCheckBox(QString::fromUtf8(kBoxCaptions[i]), frame);
        box->setObjectName(QStringLiteral("Chk"));
        box->setProperty("index", i);
        box->setToolTip(QString::fromUtf8(kBoxTips[i]));
        grid->addWidget(box, i % 5, i / 5);
        m_chk << box;
    }

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(style()->standardIcon(QStyle::SP_TrashIcon).pixmap(32, 32));
    m_checkAll = new QCheckBox(QStringLiteral("全选"), this);
    m_checkAll->setObjectName(QStringLiteral("CheckAll"));
    connect(m_checkAll, &QCheckBox::clicked, this, [this] {
        for (QCheckBox *box : std::as_const(m_chk))
            box->setChecked(m_checkAll->isChecked());
    });
    m_ok = new QPushButton(QStringLiteral("确定(&Y)"), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_cancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(image);
    buttons->addWidget(m_checkAll);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
}

QVector<int> Formclear::ticked() const
{
    QVector<int> out;
    for (int i = 0; i < kBoxes; ++i) {
        if (m_chk[i]->isChecked())
            out << i;
    }
    return out;
}
