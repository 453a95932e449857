#include "userdata/organizefavorites.h"

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "userdata/favorites.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

OrganizeFavorites::OrganizeFavorites(const Favorites &favorites, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_favorites(favorites)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("FormDfg"));
    setWindowTitle(QStringLiteral("整理收藏夹"));
    setModal(true);
    resize(560, 420);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setToolTip(QStringLiteral("鼠标单击可以复制网址"));
    // Long files list quickly: every row has the same height.
    m_list->setUniformItemSizes(true);
    m_list->addItems(m_favorites.lines());
    m_delete = new QPushButton(QStringLiteral("删除(&D)"), this);
    m_delete->setObjectName(QStringLiteral("Command1"));
    m_delete->setEnabled(false);
    m_save = new QPushButton(QStringLiteral("保存(&S)"), this);
    m_save->setObjectName(QStringLiteral("Command2"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_save);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::itemClicked, this, &OrganizeFavorites::pick);
    connect(m_delete, &QPushButton::clicked, this, &OrganizeFavorites::remove);
    connect(m_save, &QPushButton::clicked, this, &OrganizeFavorites::save);
}

void OrganizeFavorites::pick()
{
    m_delete->setEnabled(true);
    if (QListWidgetItem *item = m_list->currentItem()) {
        m_address = Favorites::addressOf(item->text());
        putOnClipboard(m_address);
    }
}

void OrganizeFavorites::remove()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    delete m_list->takeItem(row);
    // The entry now at the same place is the current one; past the end none is, so a
    // second 删除 removes nothing the user did not pick.
    if (row < m_list->count()) {
        m_list->setCurrentRow(row);
    } else {
        m_list->setCurrentItem(nullptr);
        m_list->clearSelection();
    }
}

void OrganizeFavorites::save()
{
    QStringList lines;
    for (int i = 0; i < m_list->count(); ++i)
        lines << m_list->item(i)->text();
    if (!m_favorites.save(lines)) {
        m_dialogs.warning(this, windowTitle(), QStringLiteral("收藏夹文件 %1 无法保存，原来的收藏没有改变。").arg(m_favorites.path()));
        return;
    }
    emit saved();
    accept();
}
