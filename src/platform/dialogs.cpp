#include "platform/dialogs.h"

#include "platform/filenames.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QStandardPaths>

QString QtDialogs::browseFolder(const QString &title, QWidget *owner, const QString &start)
{
    // The folder dialog has its own "new folder" button.
    // Where it is asked to start, else the desktop, else the home folder: never a folder
    // that is not there (the dialog would open somewhere of its own).
    QString folder = start;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QFileDialog::getExistingDirectory(owner, title.isEmpty() ? QStringLiteral("Select a folder:") : title, folder);
}

void QtDialogs::warning(QWidget *owner, const QString &title, const QString &text)
{
    QMessageBox::warning(owner, title, text);
}

void QtDialogs::information(QWidget *owner, const QString &title, const QString &text)
{
    QMessageBox::information(owner, title, text);
}

QString QtDialogs::askText(QWidget *owner, const QString &title, const QString &prompt, const QString &suggested)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, suggested, &ok);
    return ok ? text : QString();
}

QString Dialogs::shownName(const QString &proposal)
{
    const qsizetype slash = proposal.lastIndexOf(QLatin1Char('/'));
    return proposal.left(slash + 1) + FileNames::fromText(proposal.mid(slash + 1));
}

QString Dialogs::fileTypes(int first)
{
    QStringList entries = {
        QStringLiteral("全部 (*)"),
        QStringLiteral("图像文件(BMP,JPG,GIF,PNG,TIF) (*.jpg *.bmp *.gif *.png *.tif)"),
        // Pages saved as one file open from here too.
        QStringLiteral("网页文件 (HTM,HTML) (*.htm *.html *.mhtml *.mht)"),
        QStringLiteral("文本文件 (TXT) (*.txt)"),
    };
    if (first >= 1 && first <= entries.size())
        entries.move(first - 1, 0);
    return entries.join(QStringLiteral(";;"));
}

QString QtDialogs::saveFile(QWidget *owner, const QString &title, const QString &suggestedName, const QString &filter)
{
    const QString proposal = shownName(suggestedName);
    if (QFileInfo(proposal).isAbsolute())
        return QFileDialog::getSaveFileName(owner, title, proposal, filter);
    // The user's pictures folder first, as a place a user looks for a saved picture.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QDir::homePath();
    return QFileDialog::getSaveFileName(owner, title, dir + QLatin1Char('/') + proposal, filter);
}

bool QtDialogs::question(QWidget *owner, const QString &title, const QString &text)
{
    return QMessageBox::question(owner, title, text) == QMessageBox::Yes;
}

int QtDialogs::choose(QWidget *owner, const QString &title, const QString &text, const QStringList &answers)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Cancel, owner);
    QList<QAbstractButton *> buttons;
    for (const QString &answer : answers)
        buttons << box.addButton(answer, QMessageBox::AcceptRole);
    if (!buttons.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.first()));
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

QString QtDialogs::openFile(QWidget *owner, const QString &title, const QString &folder, const QString &filter)
{
    // Without a folder of its own the dialog would open in the program's working folder.
    return QFileDialog::getOpenFileName(owner, title, QFileInfo(folder).isDir() ? folder : QDir::homePath(), filter);
}

bool QtDialogs::pageSetup(QWidget *owner, QPrinter *printer)
{
    QPageSetupDialog dialog(printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::choosePrinter(QWidget *owner, QPrinter *printer)
{
    QPrintDialog dialog(printer, owner);
    return dialog.exec() == QDialog::Accepted;
}
