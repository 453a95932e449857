#include "tools/formdir.h"

#include "platform/dialogs.h"
#include "platform/shell.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

FormDir::FormDir(Dialogs &dialogs, Shell &shell, const QString &listFile, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_shell(shell)
    , m_hidden(listFile)
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("FormDir"));
    setWindowTitle(QStringLiteral("文件夹加密 （隐藏）"));
    auto *label = new QLabel(QStringLiteral("添加文件夹以后实现加密，解除文件夹以后实现解密，双击文件夹列表以后开启文件夹，无需解密。\n"
                                            "注意：这里的“加密”只是在文件管理器中隐藏文件夹，文件并未加密，任何人用其他方式仍可看到和读取。"),
                             this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    m_list->setObjectName(QStringLiteral("ListDir"));
    m_list->setToolTip(QStringLiteral("文件夹列表，双加以后开启文件夹"));
    auto *add = new QPushButton(QStringLiteral("添加(&A)"), this);
    add->setObjectName(QStringLiteral("Command1"));
    auto *release = new QPushButton(QStringLiteral("解除(&D)"), this);
    release->setObjectName(QStringLiteral("Command2"));
    auto *open = new QPushButton(QStringLiteral("开启(&F)"), this);
    open->setObjectName(QStringLiteral("Command3"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0, 1, 3);
    grid->addWidget(m_list, 1, 0, 1, 3);
    grid->addWidget(add, 2, 0);
    grid->addWidget(release, 2, 1);
    grid->addWidget(open, 2, 2);
    resize(460, 320);
    connect(add, &QPushButton::clicked, this, &FormDir::add);
    connect(release, &QPushButton::clicked, this, &FormDir::release);
    connect(open, &QPushButton::clicked, this, &FormDir::open);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &FormDir::open);
    refill();
}

void FormDir::refill()
{
    m_list->clear();
    m_list->addItems(m_hidden.folders());
}

void FormDir::add()
{
    const QString folder = m_dialogs.browseFolder(QStringLiteral("请选择一个文件目录"), this);
    if (folder.isEmpty())
        return;
    const QString failed = m_hidden.hide(folder);
    refill();
    if (!failed.isEmpty())
        m_dialogs.warning(this, windowTitle(), failed);
}

void FormDir::release()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const QString failed = m_hidden.release(item->text());
    refill();
    if (!failed.isEmpty())
        m_dialogs.warning(this, windowTitle(), failed);
}

void FormDir::open()
{
    // Nothing chosen opens nothing.
    if (QListWidgetItem *item = m_list->currentItem())
        m_shell.open(item->text());
}
