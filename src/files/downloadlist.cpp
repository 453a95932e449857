#include "files/downloadlist.h"
#include "platform/systemfolders.h"

#include "engine/transfer.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/heldname.h"
#include "platform/paths.h"
#include "platform/settingkeys.h"
#include "platform/settingsstore.h"
#include "platform/wholeappend.h"

#include <QDir>
#include <algorithm>
#include <QFileInfo>
#include <QLocale>

DownloadList::DownloadList(DownloadSource *downloads, Dialogs &dialogs, SettingsStore &store, const Clock &clock,
                           const QString &keptFile, QWidget *dialogOwner)
    : QObject(dialogOwner)
    , m_dialogs(dialogs)
    , m_store(store)
    , m_clock(clock)
    , m_keptFile(keptFile)
    , m_owner(dialogOwner)
{
    // What earlier runs kept; a list that is not one is left as it is, unread.
    QByteArray bytes;
    if (!m_keptFile.isEmpty() && readWhole(m_keptFile, bytes) && !bytes.isEmpty()) {
        if (const auto kept = KeptDownloads::fromBytes(bytes)) {
            for (const KeptDownload &k : *kept)
                m_rows.append(Row{nullptr, k.path, {}, k, true});
            m_seenOnDisk = *kept;
        }
    }
    m_keepAgain.setSingleShot(true);
    m_keepAgain.setInterval(kKeepAgainMs);
    connect(&m_keepAgain, &QTimer::timeout, this, &DownloadList::keep);
    // No source, nothing is ever announced.
    if (downloads)
        connect(downloads, &DownloadSource::requested, this, &DownloadList::onRequested);
}

QString DownloadList::proposedFolder() const
{
    const QString last = m_store.read(SettingKeys::kDownloadFolder);
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    // Where the user looks for downloads, never the program's own hidden folder first.
    const QString desktop = DesktopDownloadFolder();
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

QString DownloadList::failureText(const Transfer &download)
{
    switch (download.failure()) {
    case Transfer::Failure::None: return QString();
    case Transfer::Failure::Interrupted: break;
    case Transfer::Failure::FolderNotWritable: return QStringLiteral("无法写入目标文件夹");
    case Transfer::Failure::NotRenamed:
        return QStringLiteral("文件已下载为 %1，但无法改名").arg(QFileInfo(download.partPath()).fileName());
    case Transfer::Failure::ChangedOnServer: return QStringLiteral("服务器上的文件在中断后改变了，接不上已下载的部分，请重新下载");
    case Transfer::Failure::DiskFull: return QStringLiteral("磁盘空间不足");
    case Transfer::Failure::NameTooLong: return QStringLiteral("文件名太长");
    case Transfer::Failure::ConnectionBroke: return QStringLiteral("网络连接中断");
    }
    return QStringLiteral("下载被中断");
}

QString DownloadList::Row::name() const
{
    return QFileInfo(path).fileName();
}

bool DownloadList::Row::fileThere() const
{
    const bool done = download ? download->state() == Transfer::State::Done : kept.end == KeptDownload::End::Done;
    return done && QFileInfo(path).isFile();
}

int DownloadList::rowOf(const Transfer *download) const
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].download == download)
            return i;
    return -1;
}

void DownloadList::resume(int row)
{
    if (row >= 0 && row < m_rows.size() && m_rows[row].download && m_rows[row].download->resumable()) {
        m_rows[row].ended = false;
        m_rows[row].download->resume();
        emit changed(row);
    }
}

void DownloadList::clearList()
{
    QList<Row> left;
    for (const Row &r : std::as_const(m_rows)) {
        if (r.ended)
            m_letGo.append(r.kept);
        if (r.download && r.download->resumable())
            r.download->cancel();
        else if (r.download && (r.download->state() == Transfer::State::Running || r.download->state() == Transfer::State::Asking))
            left.append(r);
    }
    m_rows = left;
    keep();
    emit cleared();
}

void DownloadList::keep()
{
    if (m_keptFile.isEmpty())
        return;
    // Another instance keeps its rows in the same file: one writer at a time (under the
    // settings' lock), and what it wrote stays unless this instance let that row go.
    SettingsStore::Batch oneWriter(m_store);
    QVector<KeptDownload> onDisk;
    QByteArray bytes;
    // Known: no file (the other emptied it), or one read as a list. A file that could not
    // be read tells nothing of what the other let go.
    bool known = !QFileInfo::exists(m_keptFile);
    if (readWhole(m_keptFile, bytes) && !bytes.isEmpty()) {
        if (const auto list = KeptDownloads::fromBytes(bytes)) {
            onDisk = *list;
            known = true;
        }
    }
    // What the other let go is not written back (a broken transfer that can still go on
    // keeps its row, and its bytes, here).
    const qsizetype before = m_rows.size();
    m_rows.removeIf([this, &onDisk, known](const Row &r) {
        return known && r.ended && !(r.download && r.download->resumable()) && m_seenOnDisk.contains(r.kept) && !onDisk.contains(r.kept);
    });
    QVector<KeptDownload> mine;
    for (const Row &r : std::as_const(m_rows))
        if (r.ended)
            mine.append(r.kept);
    QVector<KeptDownload> rows;
    for (const KeptDownload &k : std::as_const(onDisk))
        if (!m_letGo.contains(k) && !mine.contains(k))
            rows.append(k);
    rows += mine;
    if (m_rows.size() != before)
        emit cleared();
    std::stable_sort(rows.begin(), rows.end(), [](const KeptDownload &a, const KeptDownload &b) { return a.when < b.when; });
    // An empty list leaves no file behind (the trace clean-up's history box empties it).
    if (rows.isEmpty()) {
        QFile::remove(m_keptFile);
        m_seenOnDisk.clear();
        return;
    }
    QDir().mkpath(QFileInfo(m_keptFile).absolutePath());
    // Not written (a full disk): tried again until it is, so no ended row is lost.
    if (replaceWhole(m_keptFile, KeptDownloads::toBytes(rows), QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        m_seenOnDisk = rows;
    else
        m_keepAgain.start();
}

void DownloadList::onFinished(Transfer *download)
{
    int at = rowOf(download);
    if (at < 0)
        return;
    if (m_refused.removeAll(download) > 0) {
        m_rows.removeAt(at);
        emit cleared();
        return;
    }
    Row &row = m_rows[at];
    // Taken up again and ended anew: how it ended before is no longer true.
    if (!row.kept.path.isEmpty())
        m_letGo.append(row.kept);
    row.path = download->path().isEmpty() ? row.path : download->path();
    row.ended = true;
    row.kept.path = row.path;
    row.kept.address = download->url().toString();
    row.kept.size = download->received();
    row.kept.total = download->total();
    row.kept.end = download->state() == Transfer::State::Done ? KeptDownload::End::Done
                   : download->state() == Transfer::State::Cancelled ? KeptDownload::End::Cancelled
                                                                     : KeptDownload::End::Failed;
    row.kept.failure = failureText(*download);
    // As the file keeps it (to the second), so the row on disk is known as this one.
    row.kept.when = QDateTime::fromString(m_clock.now().toString(Qt::ISODate), Qt::ISODate);
    keep();
    // Rows another instance let go may have left before it.
    at = rowOf(download);
    if (at < 0)
        return;
    emit changed(at);
    const QString name = m_rows[at].name();
    const QString failure = m_rows[at].kept.failure;
    switch (download->state()) {
    case Transfer::State::Done:
        if (!download->displacedFrom().isEmpty())
            emit ended(at, QStringLiteral("下载完成：%1（“%2”已被另一个下载占用，没有替换它）")
                               .arg(name, QFileInfo(download->displacedFrom()).fileName()));
        else
            emit ended(at, QStringLiteral("下载完成：%1").arg(name));
        break;
    case Transfer::State::Failed:
        emit ended(at, download->resumable() ? QStringLiteral("下载中断：%1（%2，可以在下载列表中继续）").arg(name, failure)
                                             : QStringLiteral("下载失败：%1（%2）").arg(name, failure));
        break;
    default:
        break;
    }
}

int DownloadList::running() const
{
    int n = 0;
    for (const Row &r : m_rows)
        if (r.download && r.download->state() == Transfer::State::Running)
            ++n;
    return n;
}

void DownloadList::cancelAll()
{
    for (const Row &r : std::as_const(m_rows))
        if (r.download && r.download->state() == Transfer::State::Running)
            r.download->cancel();
}

void DownloadList::expect(const QString &address, const QString &folder, const QString &name)
{
    Expected e{QUrl::fromUserInput(address), folder, name, {}};
    e.since.start();
    m_expected.append(e);
}

void DownloadList::onRequested(Transfer *download)
{
    // The download dialog's own address is the user's, whatever page fetches it.
    if (!m_gate || expectedAt(download->url()) >= 0) {
        askWhere(download);
        return;
    }
    QPointer<DownloadList> self(this);
    QPointer<Transfer> d(download);
    // The engine cancels a request not taken at once: one waiting for the tab's answer
    // runs held meanwhile.
    m_gate(download, [self, d](Route route) {
        if (!self || !d)
            return;
        if (d->state() == Transfer::State::Asking) {
            switch (route) {
            case Route::Ask: self->askWhere(d); break;
            case Route::Quiet: self->saveQuietly(d); break;
            case Route::Hold:
                if (self->saveQuietly(d))
                    d->setHeld(true);
                break;
            case Route::Refuse: d->cancel(); break;
            }
        } else if (d->held()) {
            if (route == Route::Quiet) {
                d->setHeld(false);
            } else if (route == Route::Refuse) {
                // Refused before it ran: no row of it stays.
                self->m_refused.append(d);
                d->withdraw();
            }
        }
    });
}

void DownloadList::askWhere(Transfer *download)
{
    QString name = download->proposedName();
    QString folder = proposedFolder();
    if (const qsizetype at = expectedAt(download->url()); at >= 0) {
        const Expected e = m_expected.takeAt(at);
        if (QFileInfo(e.folder).isDir())
            folder = e.folder;
        if (!Transfer::plainName(e.name).isEmpty())
            name = Transfer::plainName(e.name);
    }
    const QString proposed = QDir(folder).filePath(name.isEmpty() ? QStringLiteral("download") : name);
    // The dialog asks before an existing file is replaced.
    const QString path = m_dialogs.saveFile(m_owner, QStringLiteral("保存文件"), proposed, QStringLiteral("全部文件 (*)"));
    if (path.isEmpty()) {
        download->cancel();
        return;
    }
    if (begin(download, path))
        m_store.write(SettingKeys::kDownloadFolder, QFileInfo(path).absolutePath());
}

bool DownloadList::saveQuietly(Transfer *download)
{
    // In the folder used last, under its own name, never over a file (a transfer under
    // way holds its name with one).
    const QString name = download->proposedName().isEmpty() ? QStringLiteral("download") : download->proposedName();
    QString path = QDir(proposedFolder()).absoluteFilePath(name);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        path = HeldName::freeName(path);
    if (path.isEmpty()) {
        download->cancel();
        return false;
    }
    return begin(download, path);
}

qsizetype DownloadList::expectedAt(const QUrl &url)
{
    // An address the engine never asked for (a broken one) proposes nothing later.
    m_expected.removeIf([](const Expected &e) { return e.since.elapsed() > DownloadSource::kClaimMs; });
    for (qsizetype i = 0; i < m_expected.size(); ++i)
        if (m_expected[i].url == url)
            return i;
    return -1;
}

bool DownloadList::begin(Transfer *download, const QString &path)
{
    // Two transfers into one file would write over each other.
    for (const Row &r : std::as_const(m_rows)) {
        if (r.download && (r.download->state() == Transfer::State::Running || r.download->resumable())
            && r.path == QFileInfo(path).absoluteFilePath()) {
            download->cancel();
            emit refused(QStringLiteral("“%1”正在下载中，请另选一个文件名。").arg(r.name()));
            return false;
        }
    }
    Row row{download, QFileInfo(path).absoluteFilePath(), {}, {}, false};
    row.since.start();
    m_rows.append(row);
    const int at = int(m_rows.size()) - 1;
    connect(download, &Transfer::progressed, this, [this, download] {
        const int now = rowOf(download);
        if (now >= 0) {
            // Taken up again (继续, or by the engine itself): running, not ended.
            if (download->state() == Transfer::State::Running)
                m_rows[now].ended = false;
            emit changed(now);
        }
    });
    connect(download, &Transfer::finished, this, [this, download] { onFinished(download); });
    download->start(row.path);
    emit added(at);
    return true;
}
