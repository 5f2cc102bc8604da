#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>
#include <utility>

namespace {

QString settingsKey(const QString& section, const QString& key)
{
    return section + u'/' + key;
}

// The group of a QSettings key: "" for a key outside any section, as QSettings reads one.
QString groupOfKey(const QString& key)
{
    return key.contains(u'/') ? key.section(u'/', 0, 0) : QString();
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Where each section of @p data begins (its "["), read as QSettings reads lines: a line starts at its
// first character that is not blank, a quoted stretch or an escaped line end carries it over the line
// end, and ";" outside quotes comments out the rest of the line.
QList<qsizetype> sectionStarts(QByteArrayView data)
{
    QList<qsizetype> starts;
    const qsizetype n = data.size();
    const auto skipComment = [&](qsizetype& i) {
        while (i < n && data[i] != '\n' && data[i] != '\r')
            ++i;
    };
    qsizetype i = data.startsWith("\xef\xbb\xbf") ? 3 : 0;
    while (i < n) {
        while (i < n && isBlank(data[i]))
            ++i;
        if (i < n && data[i] == '[')
            starts.append(i);
        for (bool quoted = false; i < n; ++i) {
            const char c = data[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (c == '\\' && i + 1 < n) {
                ++i;
                const QByteArrayView pair = data.sliced(i, std::min<qsizetype>(2, n - i));
                if (pair == "\r\n" || pair == "\n\r")
                    ++i;
            } else if (!quoted && (c == '\n' || c == '\r')) {
                break;
            } else if (!quoted && c == ';') {
                skipComment(i);
                break;
            }
        }
    }
    return starts;
}

// The group a section written as @p section ("[name]..." up to the next section) holds; "" for [General].
QString groupOfSection(QByteArrayView section)
{
    const qsizetype close = section.indexOf(']');
    const QString name = QString::fromUtf8(section.sliced(1, std::max<qsizetype>(close - 1, 0))).trimmed();
    return name.compare(u"general", Qt::CaseInsensitive) == 0 ? QString() : name;
}

// The file as it is to be saved: every part of @p original (the lines before the first section, each
// section) that holds none of @p writtenGroups stays exactly as it is, so what a user wrote by hand in
// the groups the program never writes (its "sources") survives every save; @p rewritten, QSettings' text
// of the written groups, takes the place of the first part it replaces, or comes last.
QByteArray composeFile(const QByteArray& original, const QSet<QString>& writtenGroups, const QByteArray& rewritten)
{
    const QList<qsizetype> starts = sectionStarts(original);
    QByteArray file = original.first(starts.isEmpty() ? original.size() : starts.first());
    bool placed = false;
    const auto append = [&file](QByteArrayView part) {
        if (!file.isEmpty() && !file.endsWith('\n') && !file.endsWith('\r'))
            file += '\n';
        file += part;
    };
    for (qsizetype k = 0; k < starts.size(); ++k) {
        const qsizetype end = k + 1 < starts.size() ? starts.at(k + 1) : original.size();
        const QByteArrayView section = QByteArrayView(original).sliced(starts.at(k), end - starts.at(k));
        if (!writtenGroups.contains(groupOfSection(section)))
            append(section);
        else if (!std::exchange(placed, true))
            append(rewritten);
    }
    if (!placed)
        append(rewritten);
    return file;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Saves @p values (every key of the groups written) as the whole of @p path, keeping the rest of
// @p original as composeFile() does. QSettings writes a temporary file and renames it into place, but Qt
// 6.4 renames it even when the last bytes could not be written (a full disk), and it then trusts what it
// meant to write. So the file is written under a scratch name, read back under another name (a name
// QSettings has never seen, so it parses the bytes on disk), and renamed over @p path only when it holds
// every byte and every value.
bool saveWhole(const QString& path, const QVariantMap& values, const QByteArray& original)
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return false;
    QTemporaryFile scratch(target + u".XXXXXX"_qs);
    if (!scratch.open())
        return false;
    scratch.close();
    QSet<QString> groups;
    {
        QSettings writer(scratch.fileName(), QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            writer.setValue(it.key(), it.value());
            groups.insert(groupOfKey(it.key()));
        }
        writer.sync();
        if (writer.status() != QSettings::NoError)
            return false;
    }
    const QByteArray file = composeFile(original, groups, readBytes(scratch.fileName()));
    {
        QFile out(scratch.fileName());
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size() || !out.flush())
            return false;
    }
    const QString check = scratch.fileName() + u".check"_qs;
    if (!QFile::rename(scratch.fileName(), check))
        return false;
    bool whole = readBytes(check) == file;
    if (whole) {
        const QSettings reread(check, QSettings::IniFormat);
        whole = reread.status() == QSettings::NoError;
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
    QSet<QString> writtenGroups;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        writtenGroups.insert(groupOfKey(it.key()));
    QVariantMap values;
    QByteArray original;
    const QSettings& settings = file();
    if (!m_fileIsNonsense) {
        // Keys of the file that are not ours are kept: in the groups we write, as QSettings writes them
        // again; the other groups as the file holds them, byte for byte.
        original = readBytes(m_filePath);
        for (const QString& key : settings.allKeys()) {
            if (writtenGroups.contains(groupOfKey(key)))
                values.insert(key, settings.value(key));
        }
    }
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        values.insert(it.key(), it.value());
    if (!saveWhole(m_filePath, values, original))
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
