#include "favourites/SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString settingsKey(const QString& section, const QString& key)
{
    return section + u'/' + key;
}

} // namespace

IniSettingsStore::IniSettingsStore(QString filePath)
    : m_filePath(filePath.isEmpty() ? defaultFilePath() : std::move(filePath))
{
}

QString IniSettingsStore::defaultFilePath()
{
    // Named after the program file, so a renamed copy keeps settings of its own.
    const QString application = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + application + u".ini"_qs;
}

QString IniSettingsStore::read(const QString& section, const QString& key, const QString& defaultValue) const
{
    const QSettings settings(m_filePath, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return defaultValue;
    const QVariant value = settings.value(settingsKey(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited list ("a, b") reads back as a list: keep its text rather than lose it.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u", "_qs);
    return value.toString();
}

void IniSettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    QSettings settings(m_filePath, QSettings::IniFormat);
    settings.setValue(settingsKey(section, key), value);
    settings.sync();
}

bool IniSettingsStore::flush()
{
    QSettings settings(m_filePath, QSettings::IniFormat);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString MemorySettingsStore::read(const QString& section, const QString& key, const QString& defaultValue) const
{
    return m_values.value(settingsKey(section, key), defaultValue);
}

void MemorySettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    m_values.insert(settingsKey(section, key), value);
}
