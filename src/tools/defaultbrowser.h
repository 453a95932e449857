#pragma once
#include <QByteArray>
#include <QString>

// Making the browser the desktop's default for web addresses and HTML files, the
// freedesktop way: a desktop entry for it, named in the user's mimeapps.list.
namespace DefaultBrowser {

// The types the browser takes.
inline const char *const kTypes[] = {"x-scheme-handler/http", "x-scheme-handler/https", "text/html"};
// The entry written for the user when the installed one is missing.
inline const char kUserEntry[] = "velmo-browser.desktop";
inline const char kInstalledEntry[] = "org.velmo.Browser.desktop";

// mimeapps.list with the browser's entry as the default of each type under
// [Default Applications]; every other line stays as it was (the group is added at the
// end when missing).
QByteArray withDefaults(const QByteArray &mimeapps, const QString &entry);

// Names the installed entry when the desktop has one, else writes the user's own for
// programPath; then mimeapps.list, rewritten whole. "" on success, else what failed.
QString registerAsDefault(const QString &programPath);

} // namespace DefaultBrowser
