#pragma once
#include <QString>

// The system values start-up determines for the trace clean-up. On Linux:
//   userName   - the logon name (from the password database, else $USER)
//   dataHome   - $XDG_DATA_HOME, where the recent-documents list lives
//   cacheHome  - $XDG_CACHE_HOME, the per-user cache folder
//   configHome - $XDG_CONFIG_HOME
// A value that cannot be determined stays empty.
struct SystemFolders {
    QString userName;
    QString dataHome;
    QString cacheHome;
    QString configHome;
};

SystemFolders LocateSystemFolders();

// The desktop's download folder, as `xdg-user-dir DOWNLOAD` names it: the user's
// XDG_DOWNLOAD_DIR from user-dirs.dirs, else the home folder. It may not exist.
QString DesktopDownloadFolder();
