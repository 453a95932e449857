#include "platform/filenames.h"

#include <QFileInfo>

QString FileNames::fromText(const QString &text)
{
    QString name;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            continue;
        switch (c.unicode()) {
        case u'\\': break;
        case u'/': name.append(QLatin1Char(' ')); break;
        case u':': name.append(QChar(u'：')); break;
        case u'*': name.append(QChar(u'，')); break;
        case u'<': name.append(QLatin1Char('[')); break;
        case u'>': name.append(QLatin1Char(']')); break;
        case u'|': name.append(QLatin1Char('I')); break;
        case u'?': name.append(QChar(u'？')); break;
        case u'"': name.append(QLatin1Char('\'')); break;
        default: name.append(c);
        }
    }
    name = name.trimmed();
    while (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('~')) || name.startsWith(QLatin1Char(' ')))
        name.remove(0, 1);
    // File systems take 255 bytes a name; the extension is kept.
    while (name.toUtf8().size() > 200) {
        const QString suffix = QFileInfo(name).suffix().left(16);
        const QString stem = name.left(name.size() - suffix.size() - (suffix.isEmpty() ? 0 : 1));
        name = stem.left(stem.size() - 1) + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    }
    return name;
}
