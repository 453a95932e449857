#include "pictures/formdownimage.h"

#include "pictures/picturename.h"
#include "platform/dialogs.h"
#include "platform/settingkeys.h"
#include "platform/settingsstore.h"
#include "platform/shell.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QToolButton>

const QString FormDownImage::kMissingFolder = QStringLiteral(" 指定的目录不存在 ……         ");

FormDownImage::FormDownImage(SettingsStore &store, Dialogs &dialogs, Shell &shell,
                             QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_dialogs(dialogs)
    , m_shell(shell)
{
    setObjectName(QStringLiteral("FormDownImage"));
    setWindowTitle(QStringLiteral("下载全部图片……"));
    setModal(true);

    auto *label = new QLabel(QStringLiteral("路径："), this);
    label->setObjectName(QStringLiteral("Label2"));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setMinimumWidth(320);
    auto *browseButton = new QToolButton(this);
    browseButton->setObjectName(QStringLiteral("Command2"));
    browseButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    browseButton->setToolTip(QStringLiteral("请指定一个保存图片的文件目录"));
    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto *viewButton = new QPushButton(QStringLiteral("查看(&C)"), this);
    viewButton->setObjectName(QStringLiteral("Command3"));
    auto *downloadButton = new QPushButton(QStringLiteral("下载(&D)"), this);
    downloadButton->setObjectName(QStringLiteral("Command1"));
    downloadButton->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 2);
    grid->addWidget(browseButton, 0, 3);
    grid->addWidget(line, 1, 0, 1, 4);
    grid->addWidget(viewButton, 2, 2);
    grid->addWidget(downloadButton, 2, 3);

    connect(downloadButton, &QPushButton::clicked, this, &FormDownImage::download);
    connect(browseButton, &QToolButton::clicked, this, &FormDownImage::browse);
    connect(viewButton, &QPushButton::clicked, this, &FormDownImage::view);

    const QString stored = m_store.read(SettingKeys::kPictureFolder);
    if (stored.isEmpty()) {
        // A folder that is there: the user's pictures, else the program's own downloads.
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        m_text->setText(!pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : QDir::cleanPath(PictureName::downloadFolder()));
    } else {
        m_text->setText(stored);
    }
}

bool FormDownImage::folderExists() const
{
    return QFileInfo(m_text->text()).isDir();
}

void FormDownImage::download()
{
    const QString text = m_text->text();
    if (!folderExists()) {
        m_dialogs.information(this, windowTitle(), kMissingFolder);
        m_text->setFocus();
        return;
    }
    // The root of the file system is no place for a page's pictures.
    if (QDir(text).isRoot())
        return;
    m_store.write(SettingKeys::kPictureFolder, text);
    m_chosen = text;
    accept();
}

void FormDownImage::browse()
{
    const QString start = folderExists() ? m_text->text() : PictureName::downloadFolder();
    const QString folder = m_dialogs.browseFolder(QStringLiteral("请指定一个保存图片的文件目录"), this, start);
    if (!folder.isEmpty())
        m_text->setText(folder);
}

void FormDownImage::view()
{
    if (!folderExists()) {
        m_dialogs.information(this, windowTitle(), kMissingFolder);
        m_text->setFocus();
        return;
    }
    m_shell.open(m_text->text());
}
