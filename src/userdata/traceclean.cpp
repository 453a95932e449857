#include "userdata/traceclean.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace TraceClean {

const QString kDone = QStringLiteral("清除工作已经完成，请重新启动《Velmo安全浏览器》！    ");

namespace {

// Removes one entry as it is: a link or a file is unlinked, a real folder emptied first.
void removeEntry(const QFileInfo &entry, QStringList &failed)
{
    if (entry.isSymLink() || !entry.isDir()) {
        if (!QFile::remove(entry.absoluteFilePath()))
            failed << entry.absoluteFilePath();
        return;
    }
    QDirIterator it(entry.absoluteFilePath(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        removeEntry(it.fileInfo(), failed);
    }
    if (!QDir().rmdir(entry.absoluteFilePath()))
        failed << entry.absoluteFilePath();
}

} // namespace

QStringList removeFolder(const QString &path)
{
    const QFileInfo folder(path);
    if (folder.isSymLink())
        return {path + QStringLiteral("（指向别处的链接，没有跟随）")};
    if (!folder.exists())
        return {};
    QStringList failed;
    removeEntry(folder, failed);
    // A folder that stayed because something in it stayed is said once, by what stayed.
    if (failed.size() > 1)
        failed.removeAll(folder.absoluteFilePath());
    return failed;
}

QStringList removeFiles(const QString &folder, const QStringList &patterns, const QStringList &keep)
{
    const QFileInfo dir(folder);
    if (dir.isSymLink())
        return {folder + QStringLiteral("（指向别处的链接，没有跟随）")};
    QStringList kept;
    for (const QString &k : keep)
        kept << QFileInfo(k).absoluteFilePath();
    QStringList failed;
    const QFileInfoList entries = QDir(folder).entryInfoList(patterns, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &f : entries) {
        if (!f.isDir() && !kept.contains(f.absoluteFilePath()) && !QFile::remove(f.absoluteFilePath()))
            failed << f.absoluteFilePath();
    }
    return failed;
}

QStringList removeFile(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink())
        return {};
    if (file.isDir() && !file.isSymLink())
        return {path};
    return QFile::remove(path) ? QStringList() : QStringList{path};
}

QString closingMessage(const QStringList &failures)
{
    if (failures.isEmpty())
        return kDone;
    constexpr int kNamed = 5;
    QString line = QStringLiteral("以下内容未能清除：") + failures.mid(0, kNamed).join(QStringLiteral("；"));
    if (failures.size() > kNamed)
        line += QStringLiteral(" 等 %1 项").arg(failures.size());
    return kDone + QLatin1Char('\n') + line;
}

} // namespace TraceClean
