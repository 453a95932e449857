#include "platform/memory.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <malloc.h>
#include <unistd.h>

namespace Platform {
void trimWorkingSet()
{
    malloc_trim(0);
}
} // namespace Platform

namespace {

// The value (in kB) of a "Name:   1234 kB" line of a /proc file.
qint64 field(const QByteArray &text, const QByteArray &name)
{
    const qsizetype at = text.indexOf("\n" + name + ':');
    const qsizetype start = at < 0 ? (text.startsWith(name + ':') ? 0 : -1) : at + 1;
    if (start < 0)
        return 0;
    const qsizetype end = text.indexOf('\n', start);
    const QByteArray line = text.mid(start + name.size() + 1, end < 0 ? -1 : end - start - name.size() - 1);
    return line.trimmed().split(' ').value(0).toLongLong();
}

QByteArray readProc(const QString &path)
{
    QFile f(path);
    // /proc files report no size: read to the end.
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Parent of each process, from /proc/<pid>/stat (the name in parentheses may hold blanks).
QHash<qint64, qint64> parents()
{
    QHash<qint64, qint64> parentOf;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        const QByteArray stat = readProc(QStringLiteral("/proc/%1/stat").arg(pid));
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
        if (rest.size() > 1)
            parentOf.insert(pid, rest[1].toLongLong());
    }
    return parentOf;
}

} // namespace

MemoryReading SystemMemory::read(bool withBrowser) const
{
    MemoryReading r;
    const QByteArray info = readProc(QStringLiteral("/proc/meminfo"));
    r.totalKb = field(info, "MemTotal");
    r.availableKb = field(info, "MemAvailable");
    if (!withBrowser)
        return r;
    const QHash<qint64, qint64> parentOf = parents();
    QList<qint64> ours{qint64(getpid())};
    for (qsizetype i = 0; i < ours.size(); ++i) {
        r.browserKb += field(readProc(QStringLiteral("/proc/%1/smaps_rollup").arg(ours[i])), "Pss");
        for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it)
            if (it.value() == ours[i] && !ours.contains(it.key()))
                ours.append(it.key());
    }
    return r;
}
