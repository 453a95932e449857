#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

QString underGeneric(QStandardPaths::StandardLocation loc, const QString &tail)
{
    return QStandardPaths::writableLocation(loc) + QStringLiteral("/velmo") + tail;
}

} // namespace

namespace Paths {

QString appDir()
{
    const QString portable = qEnvironmentVariable("VELMO_HOME");
    if (!portable.isEmpty())
        return QDir::cleanPath(QDir(portable).absolutePath());
    return underGeneric(QStandardPaths::GenericDataLocation, QString());
}

QString settingsFile()
{
    return underGeneric(QStandardPaths::GenericConfigLocation, QStringLiteral("/VM2008.ini"));
}

QString engineStorageDir()
{
    return underGeneric(QStandardPaths::GenericDataLocation, QStringLiteral("/engine"));
}

QString engineCacheDir()
{
    return underGeneric(QStandardPaths::GenericCacheLocation, QString());
}

QString generatedPagesDir()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QString dir = base.isEmpty() ? appDir() + QStringLiteral("/pages") : base + QStringLiteral("/velmo");
    if (ensureDir(dir))
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
}

bool ensureDir(const QString &path)
{
    return QDir().mkpath(path);
}

} // namespace Paths
