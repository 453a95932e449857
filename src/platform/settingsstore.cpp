#include "platform/settingsstore.h"

#include "platform/paths.h"

#include <QFileInfo>
#include <QLockFile>
#include <QDir>
#include <QSettings>

SettingsStore::SettingsStore(const QString &iniPath)
    : m_path(iniPath)
{
    // The store holds browsing history (closed pages): it is the user's alone.
    Paths::ensurePrivateDir(QFileInfo(iniPath).absolutePath());
    if (QFileInfo(iniPath).isFile())
        Paths::makePrivateFile(iniPath);
    m_settings = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString &section, const QString &key, const QString &def) const
{
    const QVariant v = m_settings->value(section + QLatin1Char('/') + key);
    if (!v.isValid())
        return def;
    // A hand-edited value with a bare comma comes back as a list; join it again
    // instead of losing everything after the first comma.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

bool SettingsStore::readInt(const QString &section, const QString &key, int &out) const
{
    bool ok = false;
    const int value = read(section, key).trimmed().toInt(&ok);
    if (ok)
        out = value;
    return ok;
}

bool SettingsStore::write(const QString &section, const QString &key, const QString &value)
{
    m_settings->setValue(section + QLatin1Char('/') + key, value);
    return flush();
}

bool SettingsStore::write(const QString &section, const QList<QPair<QString, QString>> &values)
{
    for (const auto &kv : values)
        m_settings->setValue(section + QLatin1Char('/') + kv.first, kv.second);
    return flush();
}

bool SettingsStore::deleteSection(const QString &section)
{
    m_settings->remove(section);
    return flush();
}

SettingsStore::Batch::Batch(SettingsStore &store)
    : m_store(store)
{
    m_store.beginBatch();
}

SettingsStore::Batch::~Batch()
{
    m_store.endBatch();
}

bool SettingsStore::update(const std::function<void()> &change)
{
    {
        Batch batch(*this);
        change();
    }
    return m_lastWriteOk;
}

void SettingsStore::beginBatch()
{
    if (m_batchDepth++ > 0)
        return;
    m_lock = std::make_unique<QLockFile>(m_path + QStringLiteral(".velmo-lock"));
    // The lock is held for a few milliseconds (a batch of closes, well under a second).
    // A lock left by an instance that died is seen through at once by its process id,
    // or after two seconds when it died before writing its id; one that hangs is waited
    // for a second at most (the window waits with it), then written past, so no change is
    // ever dropped for want of the lock. Once a holder has kept it past the wait, later
    // batches do not wait again until the lock is had once more: closing tab after tab
    // must not stall behind a hung instance.
    m_lock->setStaleLockTime(2000);
    if (m_lock->tryLock(m_lockHung ? 0 : kLockWaitMs)) {
        m_lockHung = false;
    } else {
        if (!m_lockHung)
            qWarning("Another instance has held %s for %d ms: writing past it.", qPrintable(m_lock->fileName()), kLockWaitMs);
        m_lockHung = true;
        m_lock.reset();
    }
    // Start from the file as it is now: another instance may have written since.
    m_settings->sync();
}

void SettingsStore::endBatch()
{
    if (--m_batchDepth > 0)
        return;
    if (m_dirty) {
        m_dirty = false;
        sync();
    }
    m_lock.reset();
}

bool SettingsStore::catchUp()
{
    if (!m_lastWriteOk) {
        Batch batch(*this);
        m_dirty = true;
    }
    return m_lastWriteOk;
}

bool SettingsStore::flush()
{
    if (m_batchDepth > 0) {
        m_dirty = true;
        return true;
    }
    return sync();
}

bool SettingsStore::sync()
{
    ++m_fileWrites;
    if (m_settings->status() != QSettings::NoError) {
        // QSettings keeps its first error for good. A fresh one on the same file shares
        // the values not yet written, writes them as it starts and says how that went.
        auto fresh = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
        m_settings.swap(fresh);
    }
    m_settings->sync();
    // QSettings keeps the value in memory even when the file could not be written;
    // report that so callers can tell the user.
    const QFileInfo file(m_path);
    // A store left with no keys at all is written as no file.
    const bool nothingToKeep = !file.exists() && m_settings->allKeys().isEmpty();
    m_lastWriteOk = m_settings->status() == QSettings::NoError && (nothingToKeep || (file.isFile() && file.isWritable()));
    if (m_lastWriteOk && (file.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther)))
        Paths::makePrivateFile(m_path);
    if (!m_lastWriteOk && !m_failureReported && m_failureContext && m_onFailure) {
        m_failureReported = true;
        m_onFailure();
    }
    return m_lastWriteOk;
}
