#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>

namespace {

QString settingsKey(const QString& section, const QString& key)
{
    return section + u'/' + key;
}

// Writes @p values as the whole of @p path. QSettings writes a temporary file and renames it into place,
// but Qt 6.4 renames it even when the last bytes could not be written (a full disk), and it then trusts
// what it meant to write. So the file is written under a scratch name, read back under another name (a
// name QSettings has never seen, so it parses the bytes on disk), and renamed over @p path only when it
// holds every value.
bool saveWhole(const QString& path, const QVariantMap& values)
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return false;
    QTemporaryFile scratch(target + u".XXXXXX"_qs);
    if (!scratch.open())
        return false;
    scratch.close();
    {
        QSettings writer(scratch.fileName(), QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            writer.setValue(it.key(), it.value());
        writer.sync();
        if (writer.status() != QSettings::NoError)
            return false;
    }
    const QString check = scratch.fileName() + u".check"_qs;
    if (!QFile::rename(scratch.fileName(), check))
        return false;
    bool whole = false;
    {
        const QSettings reread(check, QSettings::IniFormat);
        whole = reread.status() == QSettings::NoError && reread.allKeys().size() == values.size();
        for (auto it = values.cbegin(); whole && it != values.cend(); ++it)
            whole = reread.value(it.key()) == it.value();
    }
    // rename() replaces the old file in one step on POSIX systems; QFile::rename refuses an existing target.
    if (!whole || std::rename(QFile::encodeName(check).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(check);
        return false;
    }
    return true;
}

} // namespace

IniSettingsStore::IniSettingsStore(QString filePath)
    : m_filePath(filePath.isEmpty() ? defaultFilePath() : std::move(filePath))
{
}

IniSettingsStore::~IniSettingsStore()
{
    flush();
}

QString IniSettingsStore::defaultFilePath()
{
    // One name whatever the program file is called: the installed "ventorix" and a build's "Ventorix" share
    // the user's favourites.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/Ventorix.ini"_qs;
}

const QSettings& IniSettingsStore::file() const
{
    if (!m_file) {
        m_file = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
        // Only the first object to open a file in the process parses it; a later one is given the parse
        // cached in the process and reports no error. So once nonsense, the file stays ignored until our
        // own values replace it.
        m_fileIsNonsense = m_fileIsNonsense || m_file->status() == QSettings::FormatError;
    }
    return *m_file;
}

QString IniSettingsStore::read(const QString& section, const QString& key, const QString& defaultValue) const
{
    const QString name = settingsKey(section, key);
    const auto pending = m_pending.constFind(name);
    if (pending != m_pending.cend())
        return *pending;
    const QSettings& settings = file();
    // Whatever fragments QSettings made of a file it could not parse are no settings of ours.
    if (m_fileIsNonsense)
        return defaultValue;
    const QVariant value = settings.value(name);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited list ("a, b") reads back as a list: keep its text rather than lose it.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u", "_qs);
    // A hand-written "@Rect(...)" and the like are values of no use to us, not empty texts.
    if (!value.canConvert<QString>())
        return defaultValue;
    return value.toString();
}

void IniSettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    m_pending.insert(settingsKey(section, key), value);
    // Everything written until control returns to the event loop (the whole save at unload) is one save.
    if (!m_saveQueued) {
        m_saveQueued = true;
        QMetaObject::invokeMethod(&m_saveContext, [this] {
            m_saveQueued = false;
            flush();
        }, Qt::QueuedConnection);
    }
}

bool IniSettingsStore::flush()
{
    if (m_pending.isEmpty())
        return true;
    QVariantMap values;
    const QSettings& settings = file();
    if (!m_fileIsNonsense) {
        // Keys of the file that are not ours are kept as they are.
        for (const QString& key : settings.allKeys())
            values.insert(key, settings.value(key));
    }
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        values.insert(it.key(), it.value());
    if (!saveWhole(m_filePath, values))
        return false;
    m_pending.clear();
    m_file.reset();
    m_fileIsNonsense = false;
    return true;
}

QString MemorySettingsStore::read(const QString& section, const QString& key, const QString& defaultValue) const
{
    return m_values.value(settingsKey(section, key), defaultValue);
}

void MemorySettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    m_values.insert(settingsKey(section, key), value);
}
