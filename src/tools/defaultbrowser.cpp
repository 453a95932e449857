#include "tools/defaultbrowser.h"

#include "platform/desktopshortcut.h"
#include "platform/wholeappend.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QStandardPaths>

namespace DefaultBrowser {

QByteArray withDefaults(const QByteArray &mimeapps, const QString &entry)
{
    QList<QByteArray> lines = mimeapps.split('\n');
    // A file ending in a line break splits into a last empty piece: not a line.
    const bool endedWithBreak = mimeapps.isEmpty() || mimeapps.endsWith('\n');
    if (endedWithBreak)
        lines.removeLast();
    const QByteArray value = entry.toUtf8() + ';';
    QList<QByteArray> missing(std::begin(kTypes), std::end(kTypes));
    qsizetype groupEnd = -1;
    bool inGroup = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray trimmed = lines[i].trimmed();
        if (trimmed.startsWith('[')) {
            if (inGroup)
                groupEnd = i;
            inGroup = trimmed == "[Default Applications]";
            if (inGroup)
                groupEnd = lines.size();
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = trimmed.indexOf('=');
        const QByteArray key = trimmed.left(eq).trimmed();
        if (eq > 0 && missing.contains(key)) {
            lines[i] = key + '=' + value;
            missing.removeAll(key);
        }
    }
    if (inGroup)
        groupEnd = lines.size();
    QList<QByteArray> added;
    for (const QByteArray &type : std::as_const(missing))
        added.append(type + '=' + value);
    if (groupEnd < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QByteArray());
        lines.append("[Default Applications]");
        lines.append(added);
    } else {
        // Before the blank lines that close the group.
        while (groupEnd > 0 && lines[groupEnd - 1].trimmed().isEmpty())
            --groupEnd;
        for (qsizetype i = 0; i < added.size(); ++i)
            lines.insert(groupEnd + i, added[i]);
    }
    return lines.join('\n') + '\n';
}

QString registerAsDefault(const QString &programPath)
{
    const QString installed = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QLatin1String(kInstalledEntry));
    QString entry = QLatin1String(kInstalledEntry);
    if (installed.isEmpty()) {
        entry = QLatin1String(kUserEntry);
        const QString applications = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
        if (!QDir().mkpath(applications) || !writeDesktopEntry(QDir(applications).filePath(entry), QStringLiteral("Velmo安全浏览器"), programPath))
            return QStringLiteral("无法写入 %1").arg(QDir(applications).filePath(entry));
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString listPath = QDir(config).filePath(QStringLiteral("mimeapps.list"));
    QByteArray before;
    if (!readWhole(listPath, before))
        return QStringLiteral("无法读取 %1").arg(listPath);
    if (!QDir().mkpath(config) || !replaceWhole(listPath, withDefaults(before, entry)))
        return QStringLiteral("无法写入 %1").arg(listPath);
    return QString();
}

} // namespace DefaultBrowser
