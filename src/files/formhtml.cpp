#include "files/formhtml.h"

#include "files/filedialogs.h"
#include "platform/dialogs.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

FormHtml::FormHtml(Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs)
    , m_text3(new QLineEdit(QStringLiteral("网络未知"), this))
    , m_text2(new QLineEdit(this))
    , m_text1(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("FormHtml"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("源文件"));
    m_text3->setObjectName(QStringLiteral("Text3"));
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_text1->setObjectName(QStringLiteral("Text1"));
    // Long lines stay whole: markup reads better unwrapped.
    m_text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *central = new QWidget(this);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("网站标题："), m_text3);
    fields->addRow(QStringLiteral("网站地址："), m_text2);
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(fields);
    layout->addWidget(m_text1);
    setCentralWidget(central);

    QMenu *file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->setObjectName(QStringLiteral("mFile"));
    QAction *save = file->addAction(QStringLiteral("保存(&S)"), this, &FormHtml::save);
    save->setObjectName(QStringLiteral("Fsave"));
    QAction *findItem = file->addAction(QStringLiteral("查找(&S)"), this, &FormHtml::find);
    findItem->setObjectName(QStringLiteral("Find"));
    file->addSeparator()->setObjectName(QStringLiteral("Fbar0"));
    file->addAction(QStringLiteral("退出"), this, &QWidget::close)->setObjectName(QStringLiteral("Fexit"));
    QMenu *help = menuBar()->addMenu(QStringLiteral("帮助(&H）"));
    help->setObjectName(QStringLiteral("Help"));
    help->addAction(QStringLiteral("关于(&A)"))->setObjectName(QStringLiteral("Habout"));
    resize(760, 560);
}

void FormHtml::show(const QString &source, const QString &address, const QString &title)
{
    m_text1->setPlainText(source);
    m_text2->setText(address);
    m_text3->setText(title);
    QMainWindow::show();
}

bool FormHtml::find()
{
    const QString word = m_dialogs.askText(this, QStringLiteral("查找"), QStringLiteral("请输入查找内容："), QString());
    if (word.isEmpty())
        return false;
    m_text1->setFocus();
    // Always from the start: asking again selects the same first match (the text box's own
    // keys move on from there).
    const qsizetype at = m_text1->toPlainText().indexOf(word, 0, Qt::CaseInsensitive);
    if (at < 0) {
        m_dialogs.information(this, QStringLiteral("查找"), QStringLiteral("找不到“%1”。").arg(word.left(100)));
        return false;
    }
    QTextCursor cursor = m_text1->textCursor();
    cursor.setPosition(int(at));
    cursor.setPosition(int(at + word.size()), QTextCursor::KeepAnchor);
    m_text1->setTextCursor(cursor);
    return true;
}

void FormHtml::save()
{
    const QString path = FileDialogs::showSaveDialog(m_dialogs, this, QStringLiteral("保存源文件"),
                                                     m_text3->text() + QStringLiteral(".txt"), FileDialogs::Text);
    if (!path.isEmpty() && !FileDialogs::writeSource(path, m_text1->toPlainText()))
        m_dialogs.warning(this, QStringLiteral("保存源文件"), QStringLiteral("无法写入 %1").arg(path));
}
