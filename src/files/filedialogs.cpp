#include "files/filedialogs.h"

#include "platform/filenames.h"

#include "platform/dialogs.h"
#include "platform/wholeappend.h"
#include "userdata/gbktext.h"

#include <QRegularExpression>
#include <QStringEncoder>
#include <QStringList>

namespace FileDialogs {

QString filterList(int index)
{
    return Dialogs::fileTypes(index);
}

QString showSaveDialog(Dialogs &dialogs, QWidget *owner, const QString &title, const QString &proposedName, int filter)
{
    return dialogs.saveFile(owner, title, FileNames::fromText(proposedName), filterList(filter));
}

QString showOpenDialog(Dialogs &dialogs, QWidget *owner, const QString &title, const QString &folder, int filter)
{
    return dialogs.openFile(owner, title, folder, filterList(filter));
}

bool writeText(const QString &path, const QString &text)
{
    return replaceWhole(path, GbkText::encode(text) + "\r\n");
}

QByteArray sourceBytes(const QString &markup)
{
    // Browsers look for the declaration in the first 1024 bytes; a little more is asked
    // here, since the text is read before it is encoded.
    static const QRegularExpression declared(
        QStringLiteral("<meta\\b[^>]*?charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:\\-]+)"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = declared.match(markup.left(4096));
    const QString text = markup + QStringLiteral("\r\n");
    if (m.hasMatch()) {
        const QByteArray name = m.captured(1).toLatin1().toLower();
        if (!name.startsWith("gb")) {
            QStringEncoder encoder(name.constData());
            if (encoder.isValid()) {
                const QByteArray bytes = encoder.encode(text);
                if (!encoder.hasError())
                    return bytes;
            }
        }
    }
    return GbkText::encode(text);
}

bool writeSource(const QString &path, const QString &markup)
{
    return replaceWhole(path, sourceBytes(markup));
}

} // namespace FileDialogs
