#include "engine/engineprofile.h"

#include "engine/browsercontrol.h"
#include "engine/enginedownloads.h"

#include <QWebEngineNotification>
#include "platform/partialfiles.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

namespace {
const QString kClearCacheMarker = QStringLiteral("clear-cache-at-start");
const QString kClearSiteDataMarker = QStringLiteral("clear-site-data-at-start");
// What the engine keeps of sites in a profile's storage, besides cookies.
const char *const kSiteDataFolders[] = {"Local Storage", "Session Storage", "IndexedDB", "Service Worker", "WebStorage",
                                        "databases", "File System", "blob_storage", "shared_proto_db"};

bool putMarker(QWebEngineProfile *profile, const QString &name)
{
    if (profile->isOffTheRecord())
        return true;
    QFile marker(profile->persistentStoragePath() + QLatin1Char('/') + name);
    return marker.open(QIODevice::WriteOnly);
}

// Removes a folder of the engine's storage; one that is a link to elsewhere is the
// user's arrangement and stays. True when nothing of it is left (or it was a link).
bool removeStorageFolder(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.exists())
        return true;
    return info.isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
}
} // namespace

bool EngineProfile::clearCacheAtNextStart()
{
    return putMarker(m_profile, kClearCacheMarker);
}

bool EngineProfile::clearSiteDataAtNextStart()
{
    return putMarker(m_profile, kClearSiteDataMarker);
}

void EngineProfile::forgetCookies()
{
    m_profile->cookieStore()->deleteAllCookies();
}

void EngineProfile::forgetVisitedLinks()
{
    m_profile->clearAllVisitedLinks();
}

void EngineProfile::setNoticeShower(std::function<void(const SiteNotice &notice)> show)
{
    if (!show) {
        m_profile->setNotificationPresenter({});
        return;
    }
    m_profile->setNotificationPresenter([show](std::unique_ptr<QWebEngineNotification> notification) {
        notification->show();
        show({notification->origin(), notification->title(), notification->message()});
    });
}

PageControl *EngineProfile::newPage(QWidget *viewParent, QObject *parent)
{
    return new BrowserControl({m_profile, m_printKeeper, m_downloads, m_certificates}, viewParent, parent);
}

EngineProfile::EngineProfile()
{
    const QString base = Paths::engineStorageDir();
    QString name;
    for (int n = 1; n <= 9 && name.isEmpty(); ++n) {
        const QString candidate = n == 1 ? QStringLiteral("default") : QStringLiteral("instance-%1").arg(n);
        const QString dir = base + QLatin1Char('/') + candidate;
        // Cookies and stored pages are the user's alone.
        if (!Paths::ensurePrivateDir(base) || !Paths::ensurePrivateDir(dir))
            continue;
        auto lock = std::make_unique<QLockFile>(dir + QStringLiteral("/velmo.lock"));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            name = candidate;
            m_storage = dir;
        }
    }
    if (!name.isEmpty())
        removeLeftoverPartials(base);
    if (name.isEmpty()) {
        m_profile = new QWebEngineProfile();
        setLanguage();
    } else {
        const QString cache = Paths::engineCacheDir() + QLatin1Char('/') + name;
        const QString marker = m_storage + QLatin1Char('/') + kClearCacheMarker;
        // A cache folder that is a link to elsewhere is the user's arrangement: left alone.
        const QFileInfo cacheDir(cache);
        if (QFileInfo::exists(marker)
            && (cacheDir.isSymLink() || !cacheDir.exists() || QDir(cache).removeRecursively()))
            QFile::remove(marker);
        const QString siteMarker = m_storage + QLatin1Char('/') + kClearSiteDataMarker;
        if (QFileInfo::exists(siteMarker)) {
            bool all = true;
            for (const char *folder : kSiteDataFolders)
                all = removeStorageFolder(m_storage + QLatin1Char('/') + QLatin1String(folder)) && all;
            if (all)
                QFile::remove(siteMarker);
        }
        m_profile = new QWebEngineProfile(QStringLiteral("velmo-") + name);
        m_profile->setPersistentStoragePath(m_storage);
        m_profile->setCachePath(cache);
        m_profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
        setLanguage();
    }
    m_downloads = new EngineDownloads(m_profile);
}

void EngineProfile::removeLeftoverPartials(const QString &base)
{
    // Ours from a run that was killed, and those of every instance that no longer runs
    // (its storage lock is free). A lock taken here for the look is let go at once.
    for (const QString &folder : QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString dir = base + QLatin1Char('/') + folder;
        const QString list = EngineDownloads::partialList(dir);
        if (!QFileInfo::exists(list))
            continue;
        if (dir == m_storage) {
            PartialFiles::cleanUp(list);
            continue;
        }
        QLockFile other(dir + QStringLiteral("/velmo.lock"));
        other.setStaleLockTime(0);
        if (other.tryLock(0)) {
            PartialFiles::cleanUp(list);
            other.unlock();
        }
    }
}

void EngineProfile::setLanguage()
{
    // PDFs show in their tab with the engine's own viewer (its only plugin); a page whose
    // host site forbids plugins still downloads them.
    m_profile->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    m_profile->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);

    // Sites that tell Simplified from Traditional Chinese by the request's language.
    m_profile->setHttpAcceptLanguage(QStringLiteral("zh-CN,zh;q=0.9,en;q=0.8"));
}

EngineProfile::~EngineProfile()
{
    // The engine must not lose a page it is still laying out for print.
    m_printKeeper.finish(10000);
    delete m_profile;
}

bool EngineProfile::offTheRecord() const
{
    return m_profile->isOffTheRecord();
}

QString EngineProfile::instanceName() const
{
    return m_storage.isEmpty() ? QString() : QFileInfo(m_storage).fileName();
}

bool EngineProfile::firstInstance() const
{
    return !m_storage.isEmpty() && m_storage.endsWith(QStringLiteral("/default"));
}

QString EngineProfile::chromiumVersion()
{
    return QString::fromLatin1(qWebEngineChromiumVersion());
}
