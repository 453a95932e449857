#pragma once
#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <memory>

#include "platform/settingkeys.h"

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

    // The same, by a declared key.
    QString read(const SettingKeys::Key &k, const QString &def = QString()) const { return read(k.section, k.key, def); }
    bool readInt(const SettingKeys::Key &k, int &out) const { return readInt(k.section, k.key, out); }
    bool write(const SettingKeys::Key &k, const QString &value) { return write(k.section, k.key, value); }

    // Whether the last write reached the disk.
    bool lastWriteOk() const { return m_lastWriteOk; }
    // Called once, at the first write that does not reach the disk; values written stay
    // readable for the rest of the run.
    void onFirstWriteFailure(std::function<void()> handler) { m_onFailure = std::move(handler); }

private:
    bool flush();

    QString m_path;
    std::unique_ptr<QSettings> m_settings;
    bool m_lastWriteOk = true;
    bool m_failureReported = false;
    std::function<void()> m_onFailure;
};
