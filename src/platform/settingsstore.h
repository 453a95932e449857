#pragma once
#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "platform/settingkeys.h"

class QLockFile;
class QSettings;

// The per-user key/value store of application "VM2008": one INI file, one group per
// section, one key per key, every value text. A missing, unreadable or corrupt file
// reads as empty so that callers fall back to their defaults; every write is flushed
// at once through an atomic replace of the file.
class SettingsStore
{
public:
    explicit SettingsStore(const QString &iniPath);
    ~SettingsStore();

    QString path() const { return m_path; }

    // Text of section/key, or def when the key is missing.
    QString read(const QString &section, const QString &key, const QString &def = QString()) const;

    // Integer conversion of section/key. Returns false (leaving out unchanged) when the
    // key is missing or its text is not a whole number.
    bool readInt(const QString &section, const QString &key, int &out) const;

    // Creates section and key as needed; false when the store could not be written.
    bool write(const QString &section, const QString &key, const QString &value);

    // Several keys of one section in one write of the file, in the order given.
    bool write(const QString &section, const QList<QPair<QString, QString>> &values);

    // Removes a whole section; false when the store could not be written.
    bool deleteSection(const QString &section);

    // Writes made while a Batch lives reach the file together when the last one ends
    // (closing many pages rewrites the file once, not once a page). A batch also holds
    // the store's lock, shared by every running instance of the browser, and starts from
    // the file as it is on disk.
    class Batch
    {
    public:
        explicit Batch(SettingsStore &store);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        SettingsStore &m_store;
    };

    // Reads and writes in `change` see the file as it is now and no other instance
    // writes in between: a read-modify-write that no other instance can interleave.
    // False when the result could not be written.
    bool update(const std::function<void()> &change);

    // The same, by a declared key.
    QString read(const SettingKeys::Key &k, const QString &def = QString()) const { return read(k.section, k.key, def); }
    bool readInt(const SettingKeys::Key &k, int &out) const { return readInt(k.section, k.key, out); }
    bool write(const SettingKeys::Key &k, const QString &value) { return write(k.section, k.key, value); }

    // Writes what earlier writes left in memory (the disk was full then); true when the
    // file holds everything.
    bool catchUp();

    // How many times the file was written in this run.
    int fileWrites() const { return m_fileWrites; }
    // Whether the last write reached the disk.
    bool lastWriteOk() const { return m_lastWriteOk; }
    // Called once, at the first write that does not reach the disk, while context lives;
    // values written stay readable for the rest of the run. A later call replaces it.
    void onFirstWriteFailure(const QObject *context, std::function<void()> handler)
    {
        m_failureContext = context;
        m_onFailure = std::move(handler);
    }

private:
    static constexpr int kLockWaitMs = 1000;
    bool flush();
    bool sync();
    void beginBatch();
    void endBatch();

    QString m_path;
    std::unique_ptr<QSettings> m_settings;
    bool m_lastWriteOk = true;
    bool m_failureReported = false;
    int m_batchDepth = 0;
    int m_fileWrites = 0;
    bool m_dirty = false;
    bool m_lockHung = false;
    std::unique_ptr<QLockFile> m_lock;
    QPointer<const QObject> m_failureContext;
    std::function<void()> m_onFailure;
};
