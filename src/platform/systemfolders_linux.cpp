#include "platform/systemfolders.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

SystemFolders LocateSystemFolders()
{
    SystemFolders f;
    if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_name)
        f.userName = QString::fromLocal8Bit(pw->pw_name);
    if (f.userName.isEmpty())
        f.userName = qEnvironmentVariable("USER");
    f.dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    f.cacheHome = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    f.configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return f;
}

QString DesktopDownloadFolder()
{
    const QString home = QDir::homePath();
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = home + QStringLiteral("/.config");
    QFile file(config + QStringLiteral("/user-dirs.dirs"));
    QString folder;
    if (file.open(QIODevice::ReadOnly)) {
        // The file is shell: the last assignment holds; only "$HOME/…" and absolute
        // paths are written there.
        static const QRegularExpression line(QStringLiteral("^\\s*XDG_DOWNLOAD_DIR=\"((?:[^\"\\\\]|\\\\.)*)\"\\s*$"));
        for (const QByteArray &raw : file.readAll().split('\n')) {
            const QRegularExpressionMatch m = line.match(QString::fromUtf8(raw));
            if (!m.hasMatch())
                continue;
            QString value = m.captured(1);
            value.replace(QRegularExpression(QStringLiteral("\\\\(.)")), QStringLiteral("\\1"));
            if (value.startsWith(QLatin1String("$HOME")))
                value = home + value.mid(5);
            folder = value;
        }
    }
    return folder.isEmpty() ? home : folder;
}
