#pragma once
#include <QString>

// A launcher for a program on the user's desktop: a freedesktop desktop entry
// "<desktop folder>/<name>.desktop". Fails quietly (returns false) when there is no
// desktop folder or it cannot be written.
bool CreateDesktopShortcut(const QString &name, const QString &target, const QString &iconPath = QString());

// A desktop entry for the program target at path (a web browser for http, https and
// HTML), its Exec line quoted as the desktop parses it.
bool writeDesktopEntry(const QString &path, const QString &name, const QString &target, const QString &iconPath = QString());

// The desktop folder the shortcut goes to.
QString desktopFolder();

// The program's icon as a file in the program folder (a desktop entry needs a file);
// copied there from the resources the first time. Returns its path.
QString InstallDesktopIcon();
