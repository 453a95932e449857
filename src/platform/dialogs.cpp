#include "platform/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

QString QtDialogs::browseFolder(const QString &title, QWidget *owner)
{
    return QFileDialog::getExistingDirectory(owner, title.isEmpty() ? QStringLiteral("Select a folder:") : title,
                                             QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

void QtDialogs::warning(QWidget *owner, const QString &title, const QString &text)
{
    QMessageBox::warning(owner, title, text);
}
