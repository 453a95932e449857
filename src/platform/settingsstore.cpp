#include "platform/settingsstore.h"

#include <QFileInfo>
#include <QDir>
#include <QSettings>

SettingsStore::SettingsStore(const QString &iniPath)
    : m_path(iniPath)
{
    QDir().mkpath(QFileInfo(iniPath).absolutePath());
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

bool SettingsStore::flush()
{
    m_settings->sync();
    // QSettings keeps the value in memory even when the file could not be written;
    // report that so callers can tell the user.
    m_lastWriteOk = m_settings->status() == QSettings::NoError && QFileInfo(m_path).isFile()
                    && QFileInfo(m_path).isWritable();
    if (!m_lastWriteOk && !m_failureReported && m_onFailure) {
        m_failureReported = true;
        m_onFailure();
    }
    return m_lastWriteOk;
}
