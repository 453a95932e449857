#include "files/formdownload.h"

#include "platform/dialogs.h"

#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FormDownload::FormDownload(Dialogs &dialogs, const QString &folder, Start start, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_dialogs(dialogs)
    , m_start(std::move(start))
    , m_url(new QComboBox(this))
    , m_folder(new QLineEdit(folder, this))
    , m_name(new QLineEdit(this))
{
    setObjectName(QStringLiteral("FormDownload"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("下载网络文件"));
    m_url->setObjectName(QStringLiteral("CombUrl"));
    m_url->setEditable(true);
    m_url->setEditText(QStringLiteral("http://"));
    // The combo box takes the focus and hands it to its line edit by a direct call, which
    // the line edit's own filters never see.
    m_url->installEventFilter(this);
    m_folder->setObjectName(QStringLiteral("Text1"));
    m_name->setObjectName(QStringLiteral("Text2"));
    auto *heading = new QLabel(QStringLiteral("添加新任务"), this);
    heading->setObjectName(QStringLiteral("Label4"));
    heading->setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 11, QFont::Bold));
    auto *advanced = new QLabel(QStringLiteral("高级模式"), this);
    advanced->setObjectName(QStringLiteral("Label5"));
    advanced->setFont(QFont(QStringLiteral("serif")));
    auto *browse = new QPushButton(QStringLiteral("浏览(&V)"), this);
    browse->setObjectName(QStringLiteral("Command3"));
    auto *go = new QPushButton(QStringLiteral("下载(&D)"), this);
    go->setObjectName(QStringLiteral("Command1"));
    go->setDefault(true);
    auto *close = new QPushButton(QStringLiteral("关闭(&C)"), this);
    close->setObjectName(QStringLiteral("Command2"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(advanced, 0, 2, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("网址："), this), 1, 0);
    grid->addWidget(m_url, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("目录："), this), 2, 0);
    grid->addWidget(m_folder, 2, 1);
    grid->addWidget(browse, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("文件名："), this), 3, 0);
    grid->addWidget(m_name, 3, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(go);
    buttons->addWidget(close);
    grid->addLayout(buttons, 4, 0, 1, 3);
    resize(480, 190);

    connect(m_url, &QComboBox::editTextChanged, this, &FormDownload::addressChanged);
    connect(go, &QPushButton::clicked, this, &FormDownload::download);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = m_dialogs.browseFolder(QStringLiteral("请指定一个保存图片的文件目录"), this, m_folder->text());
        if (!chosen.isEmpty())
            m_folder->setText(chosen);
    });
}

bool FormDownload::eventFilter(QObject *watched, QEvent *event)
{
    // An address the user copied is picked up as the box gets the focus.
    if (watched == m_url && event->type() == QEvent::FocusIn) {
        const QString copied = QGuiApplication::clipboard()->text();
        if (copied.startsWith(QLatin1String("http")))
            m_url->setEditText(copied.trimmed());
    }
    return QDialog::eventFilter(watched, event);
}

void FormDownload::addressChanged(const QString &text)
{
    m_url->setToolTip(text);
    m_name->setText(text.section(QLatin1Char('/'), -1));
}

void FormDownload::download()
{
    const QString address = m_url->currentText().trimmed();
    if (address.size() <= 14)
        return;
    m_url->addItem(address);
    m_start(address, m_folder->text(), m_name->text());
    close();
}
