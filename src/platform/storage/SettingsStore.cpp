#include "storage/SettingsStore.h"

#include "storage/IniSections.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>

namespace {

QString settingsKey(const QString& section, const QString& key)
{
    return section + u'/' + key;
}

// Beyond this many keys a damaged file is no settings file of ours: none of its keys is kept.
constexpr qsizetype kMostKeysProbed = 1000;

enum class PathKind { Absent, PlainFile, Other };

// Follows symbolic links. Whatever is not a plain file (a pipe, which would hold open() for ever, a socket,
// a device, a folder) is neither read nor replaced.
PathKind pathKind(const QString& path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT ? PathKind::Absent : PathKind::Other;
    return S_ISREG(status.st_mode) ? PathKind::PlainFile : PathKind::Other;
}

mode_t currentUmask()
{
    // Read rather than set and restore: umask() would change it for every thread for a moment.
    QFile status(u"/proc/self/status"_qs);
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return static_cast<mode_t>(mask);
            }
        }
    }
    return 022;
}

// A file replaced keeps its mode; a new one is made as any file of the user's (0666 less the umask).
mode_t modeForSave(const QString& target)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(target).constData(), &status) == 0)
        return status.st_mode & 07777;
    return 0666 & ~currentUmask();
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes @p values into a new file beside @p target, keeping the sections of @p original that hold none of
// their groups as IniSections::ComposeFile() does, then reads it back under another name (one QSettings has
// never seen, so it parses the bytes on disk). Returns that name when the file holds every byte and every
// value (and, written whole, nothing else); otherwise nothing, and no file is left.
QString writeAndReadBack(const QString& target, const QVariantMap& values, const QByteArray& original, mode_t mode)
{
    QTemporaryFile scratch(target + u".XXXXXX"_qs);
    if (!scratch.open() || ::fchmod(scratch.handle(), mode) != 0)
        return {};
    scratch.close();
    QSet<QString> groups;
    qsizetype named = 0;
    {
        QSettings writer(scratch.fileName(), QSettings::IniFormat);
        // An empty key is refused (with a warning) and simply missing from what is read back.
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (it.key().isEmpty())
                continue;
            writer.setValue(it.key(), it.value());
            groups.insert(IniSections::GroupOfKey(it.key()));
            ++named;
        }
        writer.sync();
        if (writer.status() != QSettings::NoError)
            return {};
    }
    const QByteArray file = IniSections::ComposeFile(original, groups, readBytes(scratch.fileName()));
    {
        QFile out(scratch.fileName());
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size() || !out.flush())
            return {};
    }
    const QString check = scratch.fileName() + u".check"_qs;
    if (!QFile::rename(scratch.fileName(), check))
        return {};
    bool whole = readBytes(check) == file;
    if (whole) {
        const QSettings reread(check, QSettings::IniFormat);
        whole = reread.status() == QSettings::NoError && (!original.isEmpty() || reread.allKeys().size() == named);
        for (auto it = values.cbegin(); whole && it != values.cend(); ++it)
            whole = it.key().isEmpty() || reread.value(it.key()) == it.value();
    }
    if (!whole) {
        QFile::remove(check);
        return {};
    }
    return check;
}

// Saves @p values (every key of the groups written) as @p path, the rest of @p original kept as it is.
// QSettings writes a temporary file and renames it into place, but Qt 6.4 renames it even when the last bytes
// could not be written (a full disk), and it then trusts what it meant to write. So the file is written
// under a scratch name, read back, and renamed over @p path only when it holds every byte and every value.
bool saveWhole(const QString& path, const QVariantMap& values, const QByteArray& original = {})
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return false;
    const QString check = writeAndReadBack(target, values, original, modeForSave(target));
    if (check.isEmpty())
        return false;
    // QSettings keeps the parse of a file name for the whole process and parses the file again only when
    // its size or modification time changed: a new file of the old one's size, written within the same
    // millisecond, would go on being read as the old one.
    if (const QFileInfo old(target); old.exists()) {
        const QDateTime oldTime = old.lastModified();
        QFile replacement(check);
        if (QFileInfo(check).lastModified() == oldTime && replacement.open(QIODevice::ReadWrite))
            replacement.setFileTime(oldTime.addMSecs(1), QFileDevice::FileModificationTime);
    }
    // rename() replaces the old file in one step on POSIX systems; QFile::rename refuses an existing target.
    if (std::rename(QFile::encodeName(check).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(check);
        return false;
    }
    return true;
}

// Adds to @p damaged the keys of @p values that QSettings cannot write back the same (an empty key, a value
// that is not equal to itself, a list it escapes differently). Halves that write back whole are cleared at
// once, so a few damaged keys cost a few probes. A key is only blamed alone, in the smallest file of all:
// a full disk, which fails a bigger file first, is not taken for damage.
void findKeysNotWrittenBack(const QString& path, const QVariantMap& values, QStringList& damaged)
{
    if (values.isEmpty())
        return;
    if (const QString check = writeAndReadBack(path, values, {}, 0600); !check.isEmpty()) {
        QFile::remove(check);
        return;
    }
    if (values.size() == 1) {
        damaged.append(values.firstKey());
        return;
    }
    QVariantMap firstHalf;
    QVariantMap secondHalf;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        (firstHalf.size() < values.size() / 2 ? firstHalf : secondHalf).insert(it.key(), it.value());
    findKeysNotWrittenBack(path, firstHalf, damaged);
    findKeysNotWrittenBack(path, secondHalf, damaged);
}

// Whether @p settings holds every value of @p values, each as the very text (a list read back is no text).
bool holdsEvery(const QSettings& settings, const QMap<QString, QString>& values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QVariant held = settings.value(it.key());
        if (held.typeId() != QMetaType::QString || held.toString() != it.value())
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

const QSettings* IniSettingsStore::file() const
{
    if (pathKind(m_filePath) == PathKind::Other)
        return nullptr;
    if (!m_file) {
        m_file = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
        // Only the first object to open a file in the process parses it; a later one is given the parse
        // cached in the process and reports no error. So once nonsense, the file stays ignored until our
        // own values replace it.
        m_fileIsNonsense = m_fileIsNonsense || m_file->status() == QSettings::FormatError;
    }
    return m_file.get();
}

QString IniSettingsStore::read(const QString& section, const QString& key, const QString& defaultValue) const
{
    const QString name = settingsKey(section, key);
    const auto pending = m_pending.constFind(name);
    if (pending != m_pending.cend())
        return *pending;
    const QSettings* settings = file();
    // Whatever fragments QSettings made of a file it could not parse are no settings of ours.
    if (!settings || m_fileIsNonsense)
        return defaultValue;
    const QVariant value = settings->value(name);
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
        QMetaObject::invokeMethod(
            &m_saveContext,
            [this] {
                m_saveQueued = false;
                flush();
            },
            Qt::QueuedConnection);
    }
}

bool IniSettingsStore::flush()
{
    if (m_pending.isEmpty())
        return true;
    const QSettings* settings = file();
    if (!settings)
        return false;
    // Most runs end by writing back what they read (the favourites, the type, the last code): then the file
    // stays as it is, to the byte and the date. Anything new saves every pending value, as always.
    if (!m_fileIsNonsense && holdsEvery(*settings, m_pending)) {
        m_pending.clear();
        return true;
    }
    QSet<QString> writtenGroups;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        writtenGroups.insert(IniSections::GroupOfKey(it.key()));
    // Keys of the file that are not ours are kept: in the groups we write, as QSettings writes them again;
    // the other groups (the user's "sources", say) as the file holds them, byte for byte.
    QVariantMap theirs;
    QVariantMap values;
    QByteArray original;
    if (!m_fileIsNonsense) {
        original = readBytes(m_filePath);
        for (const QString& key : settings->allKeys()) {
            if (m_pending.contains(key))
                continue;
            const QVariant value = key.isEmpty() ? QVariant() : settings->value(key);
            theirs.insert(key, value);
            if (writtenGroups.contains(IniSections::GroupOfKey(key)))
                values.insert(key, value);
        }
    }
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        values.insert(it.key(), it.value());
    if (!saveWhole(m_filePath, values, original)) {
        QVariantMap everything = theirs;
        for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
            everything.insert(it.key(), it.value());
        if (!saveOverDamage(theirs, everything))
            return false;
    }
    m_pending.clear();
    m_file.reset();
    m_fileIsNonsense = false;
    return true;
}

bool IniSettingsStore::saveOverDamage(const QVariantMap& theirs, QVariantMap values) const
{
    // A file that QSettings reads but cannot write back the same would refuse every save from now on, and
    // the user's favourites would silently never be saved again: what cannot be written back is dropped,
    // after a copy of the file is kept beside it, and the file is written whole by QSettings.
    QStringList damaged;
    if (theirs.size() > kMostKeysProbed) {
        damaged = theirs.keys();
    } else {
        // An empty key (a line "=x") is never written: no need to try it.
        QVariantMap named = theirs;
        if (named.remove(QString()) > 0)
            damaged.append(QString());
        findKeysNotWrittenBack(m_filePath, named, damaged);
    }
    if (damaged.isEmpty())
        return false;
    for (const QString& key : damaged)
        values.remove(key);
    const QString copy = m_filePath + u".bak"_qs;
    QFile::remove(copy);
    if (!QFile::copy(m_filePath, copy))
        return false;
    if (!saveWhole(m_filePath, values)) {
        QFile::remove(copy);
        return false;
    }
    const QString notice = u"Ventorix : le fichier de réglages %1 était endommagé ; copie gardée dans %2"_qs.arg(
        QDir::toNativeSeparators(m_filePath), QDir::toNativeSeparators(copy));
    qWarning("%s", qUtf8Printable(notice));
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
