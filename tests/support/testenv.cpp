#include "testenv.h"

#include <QDir>

namespace {
QTemporaryDir *g_home = nullptr;
}

namespace TestEnv {

QString isolateHome()
{
    delete g_home;
    g_home = new QTemporaryDir();
    const QString h = g_home->path();
    qputenv("HOME", h.toUtf8());
    qputenv("XDG_CONFIG_HOME", (h + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (h + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CACHE_HOME", (h + QStringLiteral("/cache")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", (h + QStringLiteral("/run")).toUtf8());
    qunsetenv("VELMO_HOME");
    QDir().mkpath(h + QStringLiteral("/run"));
    QFile::setPermissions(h + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return h;
}

QString home()
{
    return g_home ? g_home->path() : QString();
}

} // namespace TestEnv
