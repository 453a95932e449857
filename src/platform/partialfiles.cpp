#include "platform/partialfiles.h"

#include "platform/heldname.h"
#include "platform/wholeappend.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringList>

namespace {

// One line a file: "partial<TAB>path" or "held<TAB>device<TAB>inode<TAB>path", UTF-8.
QList<QByteArray> lines(const QString &listFile)
{
    QByteArray bytes;
    if (!readWhole(listFile, bytes))
        return {};
    QList<QByteArray> out = bytes.split('\n');
    out.removeAll(QByteArray());
    return out;
}

QByteArray pathOf(const QByteArray &line)
{
    return line.mid(line.lastIndexOf('\t') + 1);
}

} // namespace

PartialFiles::PartialFiles(const QString &listFile)
    : m_listFile(listFile)
{
}

bool PartialFiles::rewrite(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return !QFileInfo::exists(m_listFile) || QFile::remove(m_listFile);
    return replaceWhole(m_listFile, bytes, QFile::ReadOwner | QFile::WriteOwner);
}

bool PartialFiles::append(const QString &path, const QByteArray &fields)
{
    // A line break in a name would split its line in two.
    if (path.contains(QLatin1Char('\n')))
        return false;
    QList<QByteArray> all = lines(m_listFile);
    all.append(fields + path.toUtf8());
    return rewrite(all.join('\n') + '\n');
}

bool PartialFiles::addPartial(const QString &path)
{
    return append(path, "partial\t");
}

bool PartialFiles::addHeld(const QString &path, dev_t device, ino_t inode)
{
    return append(path, "held\t" + QByteArray::number(qulonglong(device)) + '\t' + QByteArray::number(qulonglong(inode)) + '\t');
}

bool PartialFiles::forget(const QString &path)
{
    const QByteArray name = path.toUtf8();
    QList<QByteArray> all = lines(m_listFile);
    const qsizetype before = all.size();
    all.removeIf([&](const QByteArray &line) { return pathOf(line) == name; });
    if (all.size() == before)
        return true;
    return rewrite(all.isEmpty() ? QByteArray() : all.join('\n') + '\n');
}

QStringList PartialFiles::cleanUp(const QString &listFile)
{
    QStringList removed;
    for (const QByteArray &line : lines(listFile)) {
        const QList<QByteArray> fields = line.split('\t');
        const QString path = QString::fromUtf8(pathOf(line));
        const QFileInfo info(path);
        if (fields.size() == 2 && fields[0] == "partial") {
            // Only a plain file: a link put in its place is not ours to follow or take.
            if (info.isFile() && !info.isSymLink() && QFile::remove(path))
                removed << path;
        } else if (fields.size() == 4 && fields[0] == "held") {
            const bool was = info.exists();
            HeldName::release(path, dev_t(fields[1].toULongLong()), ino_t(fields[2].toULongLong()));
            if (was && !QFileInfo::exists(path))
                removed << path;
        }
    }
    QFile::remove(listFile);
    return removed;
}
