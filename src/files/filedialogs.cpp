#include "files/filedialogs.h"

#include "platform/dialogs.h"
#include "platform/wholeappend.h"
#include "userdata/gbktext.h"

#include <QStringList>

namespace FileDialogs {

QString filterList(int index)
{
    QStringList entries = {
        QStringLiteral("全部 (*)"),
        QStringLiteral("图像文件(BMP,JPG,GIF,PNG,TIF) (*.jpg *.bmp *.gif *.png *.tif)"),
        QStringLiteral("网页文件 (HTM,HTML) (*.htm *.html)"),
        QStringLiteral("文本文件 (TXT) (*.txt)"),
    };
    if (index >= 1 && index <= entries.size())
        entries.move(index - 1, 0);
    return entries.join(QStringLiteral(";;"));
}

QString safeFileName(const QString &text)
{
    QString name = text;
    name.remove(QLatin1Char('\\'));
    name.replace(QLatin1Char('/'), QLatin1Char(' '));
    name.replace(QLatin1Char(':'), QChar(u'：'));
    name.replace(QLatin1Char('*'), QChar(u'，'));
    name.replace(QLatin1Char('<'), QLatin1Char('['));
    name.replace(QLatin1Char('>'), QLatin1Char(']'));
    name.replace(QLatin1Char('|'), QLatin1Char('I'));
    name.replace(QLatin1Char('?'), QChar(u'？'));
    return name;
}

QString showSaveDialog(Dialogs &dialogs, QWidget *owner, const QString &title, const QString &proposedName, int filter)
{
    return dialogs.saveFile(owner, title, safeFileName(proposedName).left(255), filterList(filter));
}

QString showOpenDialog(Dialogs &dialogs, QWidget *owner, const QString &title, const QString &folder, int filter)
{
    return dialogs.openFile(owner, title, folder, filterList(filter));
}

bool writeText(const QString &path, const QString &text)
{
    return replaceWhole(path, GbkText::encode(text) + "\r\n");
}

} // namespace FileDialogs
