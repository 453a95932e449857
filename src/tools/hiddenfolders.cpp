#include "tools/hiddenfolders.h"

#include "platform/wholeappend.h"
#include "userdata/gbktext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

HiddenFolders::HiddenFolders(const QString &listFile)
    : m_listFile(listFile)
{
    QFile file(listFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    for (const QString &line : GbkText::lines(GbkText::decode(file.readAll())))
        if (!line.isEmpty() && !m_folders.contains(line))
            m_folders.append(line);
}

QByteArray HiddenFolders::withName(const QByteArray &hidden, const QString &name, bool present)
{
    QList<QByteArray> lines = hidden.split('\n');
    if (hidden.isEmpty() || hidden.endsWith('\n'))
        lines.removeLast();
    const QByteArray line = name.toUtf8();
    lines.removeAll(line);
    if (present)
        lines.append(line);
    return lines.isEmpty() ? QByteArray() : lines.join('\n') + '\n';
}

QString HiddenFolders::hide(const QString &folder)
{
    const QFileInfo info(folder);
    const QString path = info.absoluteFilePath();
    if (!info.isDir())
        return QStringLiteral("文件夹不存在：%1").arg(folder);
    if (QDir(path).isRoot())
        return QStringLiteral("根目录不能隐藏。");
    if (info.fileName().contains(QLatin1Char('\n')) || info.fileName().contains(QLatin1Char('\r')))
        return QStringLiteral("文件夹名称含有换行，无法隐藏。");
    const QString hiddenFile = info.absolutePath() + QStringLiteral("/.hidden");
    QByteArray before;
    if (!readWhole(hiddenFile, before))
        return QStringLiteral("无法读取 %1").arg(hiddenFile);
    if (!replaceWhole(hiddenFile, withName(before, info.fileName(), true)))
        return QStringLiteral("无法写入 %1（上级文件夹不可写）").arg(hiddenFile);
    if (!m_folders.contains(path))
        m_folders.append(path);
    return saveList() ? QString() : QStringLiteral("文件夹已隐藏，但无法保存列表 %1").arg(m_listFile);
}

QString HiddenFolders::release(const QString &folder)
{
    const QFileInfo info(folder);
    const QString hiddenFile = info.absolutePath() + QStringLiteral("/.hidden");
    QByteArray before;
    if (readWhole(hiddenFile, before)) {
        const QByteArray after = withName(before, info.fileName(), false);
        if (after != before && !replaceWhole(hiddenFile, after))
            return QStringLiteral("无法写入 %1").arg(hiddenFile);
    }
    m_folders.removeAll(info.absoluteFilePath());
    m_folders.removeAll(folder);
    return saveList() ? QString() : QStringLiteral("无法保存列表 %1").arg(m_listFile);
}

bool HiddenFolders::saveList() const
{
    QString text;
    for (const QString &f : m_folders)
        text += f + QStringLiteral("\r\n");
    return replaceWhole(m_listFile, GbkText::encode(text));
}
