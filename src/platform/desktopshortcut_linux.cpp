#include "platform/desktopshortcut.h"

#include "platform/paths.h"
#include "platform/wholeappend.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

// Exec quoting of freedesktop desktop entries, only where the rules ask for it: a path
// of plain characters stands bare, since the desktop's own tools (xdg-mime, xdg-settings)
// take a quoted program name for a program that does not exist.
QString execQuoted(const QString &path)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=");
    const bool plain = std::none_of(path.begin(), path.end(), [](QChar c) { return reserved.contains(c); });
    QString q = path;
    // A percent sign would be read as a field code.
    q.replace(QLatin1Char('%'), QLatin1String("%%"));
    if (plain && !path.isEmpty())
        return q;
    q.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    for (const char *c : {"\"", "`", "$"})
        q.replace(QLatin1String(c), QLatin1String("\\") + QLatin1String(c));
    // The key's value is itself an escaped string.
    q.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace

QString desktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

bool writeDesktopEntry(const QString &path, const QString &name, const QString &target, const QString &iconPath)
{
    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Version=1.0\n"
                                   "Name=%1\n"
                                   "Comment=Velmo安全浏览器\n"
                                   "Exec=%2 %U\n"
                                   "Terminal=false\n"
                                   "Categories=Network;WebBrowser;\n"
                                   "MimeType=text/html;x-scheme-handler/http;x-scheme-handler/https;\n")
                        .arg(name, execQuoted(target));
    if (!iconPath.isEmpty())
        entry += QStringLiteral("Icon=%1\n").arg(iconPath);
    if (!replaceWhole(path, entry.toUtf8()))
        return false;
    // Desktops launch only entries marked executable.
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    return true;
}

bool CreateDesktopShortcut(const QString &name, const QString &target, const QString &iconPath)
{
    const QString dir = desktopFolder();
    if (dir.isEmpty() || !QDir(dir).exists())
        return false;
    return writeDesktopEntry(QDir(dir).filePath(name + QStringLiteral(".desktop")), name, target, iconPath);
}

QString InstallDesktopIcon()
{
    const QString path = Paths::appDir() + QStringLiteral("/velmo.svg");
    if (!QFile::exists(path)) {
        Paths::ensureDir(Paths::appDir());
        QFile::copy(QStringLiteral(":/velmo/velmo.svg"), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return path;
}
