#pragma once
#include <QString>
#include <QStringList>

// Removing the traces the clean-up dialog names. None of these follows a symbolic link:
// a link found inside a folder is removed as a link, and a folder that is itself a link
// to somewhere else is left alone and reported, so nothing outside the browser's own
// places is ever touched. Each returns what it could not remove (empty: all gone, or
// never there).
namespace TraceClean {

// A folder and everything in it.
QStringList removeFolder(const QString &path);
// The files directly in a folder whose names match one of the patterns ("*.htm"), except
// those named in keep; sub-folders stay.
QStringList removeFiles(const QString &folder, const QStringList &patterns, const QStringList &keep = {});
// One file.
QStringList removeFile(const QString &path);

// What the dialog says when it is done: the restart message, and one line more naming
// what could not be removed.
extern const QString kDone;
QString closingMessage(const QStringList &failures);

} // namespace TraceClean
