#include "files/downloadlist.h"

#include "engine/enginedownloads.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/settingkeys.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

DownloadList::DownloadList(EngineDownloads *downloads, Dialogs &dialogs, SettingsStore &store, QWidget *dialogOwner)
    : QObject(dialogOwner)
    , m_dialogs(dialogs)
    , m_store(store)
    , m_owner(dialogOwner)
{
    // Without the engine (tests of the window alone) nothing is ever announced.
    if (downloads)
        connect(downloads, &EngineDownloads::requested, this, &DownloadList::onRequested);
}

QString DownloadList::proposedFolder() const
{
    const QString last = m_store.read(SettingKeys::kDownloadFolder);
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    return Paths::appDir() + QStringLiteral("/Download");
}

QString DownloadList::size(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(bytes);
    const char *units[] = {"KB", "MB", "GB", "TB"};
    double value = double(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', value < 10 ? 1 : 0).arg(QLatin1String(units[unit]));
}

QString DownloadList::exitQuestion(int running)
{
    return QStringLiteral("有 %1 个下载尚未完成，确定退出吗？").arg(running);
}

QString DownloadList::Row::name() const
{
    return QFileInfo(path).fileName();
}

int DownloadList::running() const
{
    int n = 0;
    for (const Row &r : m_rows)
        if (r.download && r.download->state() == Download::State::Running)
            ++n;
    return n;
}

void DownloadList::cancelAll()
{
    for (const Row &r : std::as_const(m_rows))
        if (r.download && r.download->state() == Download::State::Running)
            r.download->cancel();
}

void DownloadList::expect(const QString &address, const QString &folder, const QString &name)
{
    Expected e{QUrl::fromUserInput(address), folder, name, {}};
    e.since.start();
    m_expected.append(e);
}

void DownloadList::onRequested(Download *download)
{
    QString name = download->proposedName();
    QString folder = proposedFolder();
    // An address the engine never asked for (a broken one) proposes nothing later.
    m_expected.removeIf([](const Expected &e) { return e.since.elapsed() > EngineDownloads::kClaimMs; });
    for (qsizetype i = 0; i < m_expected.size(); ++i) {
        if (m_expected[i].url == download->url()) {
            const Expected e = m_expected.takeAt(i);
            if (QFileInfo(e.folder).isDir())
                folder = e.folder;
            if (!Download::plainName(e.name).isEmpty())
                name = Download::plainName(e.name);
            break;
        }
    }
    const QString proposed = QDir(folder).filePath(name.isEmpty() ? QStringLiteral("download") : name);
    // The dialog asks before an existing file is replaced.
    const QString path = m_dialogs.saveFile(m_owner, QStringLiteral("保存文件"), proposed, QStringLiteral("全部文件 (*)"));
    if (path.isEmpty()) {
        download->cancel();
        return;
    }
    // Two transfers into one file would write over each other.
    for (const Row &r : std::as_const(m_rows)) {
        if (r.download && r.download->state() == Download::State::Running && r.path == QFileInfo(path).absoluteFilePath()) {
            download->cancel();
            emit refused(QStringLiteral("“%1”正在下载中，请另选一个文件名。").arg(r.name()));
            return;
        }
    }
    m_store.write(SettingKeys::kDownloadFolder, QFileInfo(path).absolutePath());
    Row row{download, QFileInfo(path).absoluteFilePath(), {}};
    row.since.start();
    m_rows.append(row);
    const int at = int(m_rows.size()) - 1;
    connect(download, &Download::progressed, this, [this, at] { emit changed(at); });
    connect(download, &Download::finished, this, [this, at, download] {
        m_rows[at].path = download->path().isEmpty() ? m_rows[at].path : download->path();
        emit changed(at);
        const QString name = m_rows[at].name();
        switch (download->state()) {
        case Download::State::Done:
            if (!download->displacedFrom().isEmpty())
                emit ended(at, QStringLiteral("下载完成：%1（“%2”已被另一个下载占用，没有替换它）")
                                   .arg(name, QFileInfo(download->displacedFrom()).fileName()));
            else
                emit ended(at, QStringLiteral("下载完成：%1").arg(name));
            break;
        case Download::State::Failed:
            emit ended(at, QStringLiteral("下载失败：%1（%2）").arg(name, download->failure()));
            break;
        default:
            break;
        }
    });
    download->start(row.path);
    emit added(at);
}
