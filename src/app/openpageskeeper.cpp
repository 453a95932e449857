#include "app/openpageskeeper.h"

#include "userdata/history.h"

#include "app/pagestack.h"
#include "page/formweb.h"
#include "platform/paths.h"
#include "tabs/pagetext.h"
#include "platform/serialwriter.h"
#include "platform/wholeappend.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
bool isRestorable(const QString &address)
{
    return !address.isEmpty() && address != QLatin1String("about:blank");
}
} // namespace

OpenPagesKeeper::OpenPagesKeeper(PageStack &pages, const QString &path, QObject *parent)
    : QObject(parent)
    , m_pages(pages)
    , m_path(path)
    , m_writer(std::make_unique<SerialWriter>())
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &OpenPagesKeeper::write);
    m_settle.setSingleShot(true);
    m_settle.setTimerType(Qt::PreciseTimer);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &OpenPagesKeeper::write);
}

OpenPagesKeeper::~OpenPagesKeeper()
{
    m_writer->waitForDone();
}

QString OpenPagesKeeper::listPath(const QString &instance)
{
    const QString folder = QFileInfo(Paths::settingsFile()).absolutePath();
    return folder + (instance == QLatin1String("default") ? QStringLiteral("/open-pages.json")
                                                          : QStringLiteral("/open-pages-%1.json").arg(instance));
}

std::optional<OpenPagesList> OpenPagesKeeper::takeLeftOver(bool *unreadable, int *leftOut)
{
    *unreadable = false;
    *leftOut = 0;
    std::optional<OpenPagesList> offered;
    QByteArray bytes;
    if (readWhole(setAsidePath(), bytes) && !bytes.isEmpty())
        offered = OpenPagesList::fromBytes(bytes);
    if (offered)
        *leftOut += offered->leftOut;
    bytes.clear();
    if (QFileInfo::exists(m_path)) {
        if (readWhole(m_path, bytes)) {
            if (const auto left = OpenPagesList::fromBytes(bytes)) {
                *leftOut += left->leftOut;
                if (!offered) {
                    offered = left;
                } else {
                    offered->pages += left->pages;
                    offered->older += left->older;
                    offered->active = offered->pages.size() - left->pages.size() + left->active;
                    offered->keepNewest();
                }
            } else {
                *unreadable = true;
            }
        } else {
            *unreadable = true;
        }
        // An unreadable file is kept aside for whoever wants to look; it is never read again.
        if (*unreadable) {
            QFile::remove(m_path + QStringLiteral(".unreadable"));
            QFile::rename(m_path, m_path + QStringLiteral(".unreadable"));
        }
        QFile::remove(m_path);
    }
    if (!offered || offered->pages.isEmpty()) {
        QFile::remove(setAsidePath());
        return std::nullopt;
    }
    // Past what a list holds: the oldest are never dropped unseen, but listed in a page of
    // their own the user can open.
    if (!offered->older.isEmpty())
        offered->olderFile = writeOlder(offered->older);
    // Set aside until answered. Should that fail, the pages are still offered now; only a
    // crash before the answer would lose them. Their visits go to the history now, once:
    // the copy set aside has none.
    OpenPagesList aside = *offered;
    for (OpenPagesList::Page &page : aside.pages)
        page.visits.clear();
    replaceWhole(setAsidePath(), aside.toBytes(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return offered;
}

QString OpenPagesKeeper::writeOlder(const QVector<OpenPagesList::Page> &older) const
{
    const QString path = m_path.chopped(int(qstrlen(".json")))
                         + QDateTime::currentDateTime().toString(QStringLiteral("-'older'-yyyyMMdd-hhmmss'.html'"));
    QString html = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>上次打开的更早的网页</title></head>"
                                  "<body><h1>上次打开的更早的网页（%1 个）</h1><ol>\n").arg(older.size());
    for (const OpenPagesList::Page &page : older)
        html += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n")
                    .arg(page.address.toHtmlEscaped(), (page.title.isEmpty() ? page.address : page.title).toHtmlEscaped());
    html += QStringLiteral("</ol></body></html>\n");
    return replaceWhole(path, html.toUtf8(), QFileDevice::ReadOwner | QFileDevice::WriteOwner) ? path : QString();
}

bool OpenPagesKeeper::keepAsLastSession()
{
    // The tabs alone: a page closed during its picture run was closed by the user.
    OpenPagesList list = listOf(m_pages.pagesInTabOrder(), m_pages.activePage());
    for (OpenPagesList::Page &page : list.pages)
        page.visits.clear();
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (list.pages.isEmpty()) {
        dropLastSession();
        return true;
    }
    return replaceWhole(lastSessionPath(), list.toBytes(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

std::optional<OpenPagesList> OpenPagesKeeper::takeLastSession()
{
    QByteArray bytes;
    if (!readWhole(lastSessionPath(), bytes) || bytes.isEmpty())
        return std::nullopt;
    std::optional<OpenPagesList> list = OpenPagesList::fromBytes(bytes);
    if (!list || list->pages.isEmpty()) {
        dropLastSession();
        return std::nullopt;
    }
    // A crash while they open finds them where a crash's pages wait for the answer.
    QFile::remove(setAsidePath());
    if (!QFile::rename(lastSessionPath(), setAsidePath()))
        dropLastSession();
    return list;
}

void OpenPagesKeeper::dropLastSession()
{
    QFile::remove(lastSessionPath());
}

void OpenPagesKeeper::leftOverAnswered(int listSize)
{
    if (listSize <= 0) {
        QFile::remove(setAsidePath());
        return;
    }
    m_asideUntil = listSize;
    changed();
}

OpenPagesList OpenPagesKeeper::listOf(const QList<FormWeb *> &pages, const FormWeb *active)
{
    OpenPagesList list;
    for (const FormWeb *page : pages) {
        // A password typed into the address is never written down.
        // A tab at the certificate panel with no page yet is a page too.
        const QString address = PageText::withoutUserInfo(page->addressShown());
        if (!isRestorable(address))
            continue;
        if (page == active)
            list.active = list.pages.size();
        QVector<OpenPagesList::Visit> visits;
        for (const Visit &v : page->visits().rows())
            visits.append({v.when, v.title, v.address});
        list.pages.append({address, page->caption(), visits});
    }
    return list;
}

OpenPagesList OpenPagesKeeper::snapshot() const
{
    OpenPagesList list = listOf(m_pages.pagesInTabOrder(), m_pages.activePage());
    // A page closed during its picture run is recorded when the run ends: until then it
    // stays in the list, after the tabs.
    const OpenPagesList waiting = listOf(m_pages.pagesWaitingToClose(), nullptr);
    list.pages += waiting.pages;
    return list;
}

void OpenPagesKeeper::changed()
{
    // Not restarted by later changes: a page busy changing its title still gets its list
    // written once a moment.
    if (!m_finished && !m_settle.isActive())
        m_settle.start();
}

void OpenPagesKeeper::pageClosed()
{
    if (!m_finished)
        QTimer::singleShot(0, this, [this] {
            m_settle.stop();
            write();
        });
}

void OpenPagesKeeper::write()
{
    if (m_finished)
        return;
    // A page that left the list is among the closed pages on disk first: a crash between
    // the two writes loses it from neither. Records the disk refused (full) stay in the
    // list as pages until the closed pages on disk hold them.
    m_pages.closedRing().writeWaiting();
    OpenPagesList list = snapshot();
    for (const auto &[caption, address] : m_pages.closedRing().unsaved())
        list.pages.append({address, caption, {}});
    const QByteArray bytes = list.toBytes();
    if (bytes == m_written)
        return;
    m_written = bytes;
    ++m_writes;
    const QString path = m_path;
    m_writer->start([this, path, bytes] {
        // The visits of pages that left the list are in the history first.
        m_pages.waitForHistoryWritten();
        // The folder may not be there yet on a first run.
        QDir().mkpath(QFileInfo(path).absolutePath());
        const bool ok = replaceWhole(path, bytes, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        // The keeper waits for its writer before it goes, and a queued call to a keeper
        // gone meanwhile is dropped.
        QMetaObject::invokeMethod(this, [this, ok, bytes] { written(ok, bytes); }, Qt::QueuedConnection);
    });
}

void OpenPagesKeeper::written(bool ok, const QByteArray &bytes)
{
    if (m_finished)
        return;
    if (ok) {
        m_failureTold = false;
        if (m_asideUntil >= 0 && OpenPagesList::fromBytes(bytes).value_or(OpenPagesList()).pages.size() >= m_asideUntil) {
            m_asideUntil = -1;
            QFile::remove(setAsidePath());
        }
        return;
    }
    // Not on disk: tried again until it is (a full disk gets room again), said once.
    if (m_written == bytes)
        m_written.clear();
    if (!m_failureTold) {
        m_failureTold = true;
        m_pages.tell(QStringLiteral("打开的网页列表无法写入 %1：浏览器意外关闭时可能无法恢复这些网页。").arg(m_path));
    }
    m_retry.start();
}

bool OpenPagesKeeper::writeNow()
{
    m_settle.stop();
    m_written.clear();
    write();
    m_writer->waitForDone();
    QByteArray onDisk;
    return readWhole(m_path, onDisk) && onDisk == m_written;
}

void OpenPagesKeeper::finish()
{
    m_finished = true;
    m_settle.stop();
    m_retry.stop();
    m_writer->waitForDone();
    QFile::remove(m_path);
    // Restored pages not written down yet are open now, and recorded as they close.
    if (m_asideUntil >= 0)
        QFile::remove(setAsidePath());
}
