#include "platform/systemfolders.h"

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
