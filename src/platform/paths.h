#pragma once
#include <QString>

// Every per-user location the browser uses. All come from the XDG base directories
// (through QStandardPaths), so pointing HOME or XDG_* at an empty folder isolates a run.
namespace Paths {

// The program's data folder (Download/, History/, Favorites/, Fav.rar, file.ifo):
// $VELMO_HOME when set, else $XDG_DATA_HOME/velmo.
QString appDir();

// The settings store, application "VM2008".
QString settingsFile();
// Whether the program folder is one the user named (VELMO_HOME): its own mode is theirs.
bool appDirIsUsers();

// Engine profile storage (cookies, local storage) and HTTP cache.
QString engineStorageDir();
QString engineCacheDir();

// Owner-only folder for pages the browser generates itself.
QString generatedPagesDir();

// The socket through which a browser started with addresses hands them to the running
// one: in the owner-only runtime folder, one per engine storage (so a portable or
// test home has its own).
QString instanceSocket();

// Creates a folder (and its parents); an existing folder is not an error.
bool ensureDir(const QString &path);
// The same, and the folder is the user's alone (0700), however it was before.
bool ensurePrivateDir(const QString &path);
// A file the user's alone (0600); false when it is missing or cannot be changed.
bool makePrivateFile(const QString &path);

} // namespace Paths
