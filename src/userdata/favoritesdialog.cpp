#include "userdata/favoritesdialog.h"

#include "platform/dialogs.h"
#include "platform/paths.h"
#include "userdata/favorites.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel *label(const char *name, const char *text, QWidget *parent)
{
    auto *l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// The tool tip always shows the whole text, however narrow the box.
QLineEdit *textBox(const char *name, const QString &text, QWidget *parent)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString &t) { box->setToolTip(t.toHtmlEscaped()); });
    box->setToolTip(text.toHtmlEscaped());
    box->setMinimumWidth(360);
    return box;
}

} // namespace

FavoritesDialog::FavoritesDialog(const Favorites &favorites, const QString &folder, Dialogs &dialogs,
                                 const QString &title, const QString &address, QWidget *parent)
    : QDialog(parent)
    , m_favorites(favorites)
    , m_folder(folder)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Favorites"));
    setWindowTitle(QStringLiteral("添加到收藏夹"));
    setModal(true);
    Paths::ensurePrivateDir(m_folder);

    m_title = textBox("txtTitle", title, this);
    m_url = textBox("txtUrl", address, this);
    m_newFolder = new QPushButton(QStringLiteral("新建目录"), this);
    m_newFolder->setObjectName(QStringLiteral("Command1"));
    auto *offline = new QCheckBox(QStringLiteral("允许脱机使用"), this);
    offline->setObjectName(QStringLiteral("Check1"));
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(label("Label1", "将把该页添加到您的收藏夹列表中……", this), 0, 0, 1, 3);
    QLabel *nameLabel = label("lblLabels", "网站名称(&U)：", this);
    nameLabel->setProperty("index", 0);
    nameLabel->setBuddy(m_title);
    grid->addWidget(nameLabel, 1, 0);
    grid->addWidget(m_title, 1, 1, 1, 2);
    QLabel *urlLabel = label("lblLabels", "网站地址(&P)：", this);
    urlLabel->setProperty("index", 1);
    urlLabel->setBuddy(m_url);
    grid->addWidget(urlLabel, 2, 0);
    grid->addWidget(m_url, 2, 1, 1, 2);
    QLabel *folderLabel = label("Label2", "选择目录(&S)：", this);
    // Without a buddy a label shows its "&" instead of making S its key.
    folderLabel->setBuddy(m_newFolder);
    grid->addWidget(folderLabel, 3, 0);
    grid->addWidget(m_newFolder, 3, 1);
    grid->addWidget(offline, 3, 2);
    grid->addWidget(m_ok, 4, 1);
    grid->addWidget(cancel, 4, 2);

    connect(m_ok, &QPushButton::clicked, this, &FavoritesDialog::ok);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_newFolder, &QPushButton::clicked, this, &FavoritesDialog::newFolder);
}

void FavoritesDialog::ok()
{
    if (m_url->text().isEmpty() || m_title->text().isEmpty())
        return;
    m_title->setText(Favorites::storedTitle(m_title->text()));
    if (!m_favorites.add(m_title->text(), m_url->text())) {
        m_dialogs.warning(this, windowTitle(), QStringLiteral("收藏夹文件 %1 无法写入，网址没有收藏。").arg(m_favorites.path()));
        return;
    }
    emit added();
    accept();
}

bool FavoritesDialog::validFolderName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

void FavoritesDialog::newFolder()
{
    const QString name = m_dialogs.askText(this, QStringLiteral("新建目录"), QStringLiteral("请输入新的分类目录"),
                                           QStringLiteral("网址之家"));
    if (name.isEmpty())
        return;
    // The name makes one folder inside Favorites/, never a path somewhere else.
    if (!validFolderName(name)) {
        m_dialogs.warning(this, QStringLiteral("新建目录"), QStringLiteral("目录名称不能包含 / 或 \\，也不能是 . 或 .."));
        return;
    }
    QDir(m_folder).mkdir(name);
}
