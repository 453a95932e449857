#include "platform/paths.h"

#include <QCryptographicHash>
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

bool appDirIsUsers()
{
    return !qEnvironmentVariable("VELMO_HOME").isEmpty();
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
    ensurePrivateDir(dir);
    return dir;
}

QString instanceSocket()
{
    const QByteArray key = QCryptographicHash::hash(engineStorageDir().toUtf8(), QCryptographicHash::Sha1).toHex();
    return generatedPagesDir() + QStringLiteral("/instance-") + QString::fromLatin1(key.left(12));
}

bool ensureDir(const QString &path)
{
    return QDir().mkpath(path);
}

bool ensurePrivateDir(const QString &path)
{
    return ensureDir(path) && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool makePrivateFile(const QString &path)
{
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace Paths
