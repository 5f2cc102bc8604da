#include "storage/SettingsStore.h"

#include "storage/IniSections.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

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
    QFile status(u"/proc/self/status"_s);
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

// Where a save must go: the end of a chain of links, so that every link stays a link.
QString resolvedTarget(const QString& path)
{
    QString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            break;
        current = info.symLinkTarget();
    }
    return current;
}

QSet<QString> groupsOf(const QVariantMap& values)
{
    QSet<QString> groups;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        groups.insert(IniSections::groupOfKey(it.key()));
    return groups;
}

enum class SaveResult {
    Saved,
    WriteFailed, ///< the disk took less than it was given (full, no right): no fault of the file's
    NotReadBack, ///< written whole, the file does not give the values back: something in it is to blame
};

struct Checked
{
    SaveResult result = SaveResult::WriteFailed;
    QString file; ///< the file written and read back, when it was
};

// Writes @p values into a new file beside @p target, keeping the parts of @p original that hold none of
// their groups as IniSections::composeFile() does, then reads it back under another name. The file is kept
// (and named) only when it holds every byte and, read as the store reads, every value of the groups
// written and no other key in them.
Checked writeAndReadBack(const QString& target, const QVariantMap& values, const QByteArray& original, mode_t mode,
    IniSections::Placement placement)
{
    QTemporaryFile scratch(target + u".XXXXXX"_s);
    if (!scratch.open() || ::fchmod(scratch.handle(), mode) != 0)
        return {};
    scratch.close();
    QStringList named;
    {
        QSettings writer(scratch.fileName(), QSettings::IniFormat);
        // An empty key is refused (with a warning) and simply missing from what is read back.
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (it.key().isEmpty())
                continue;
            writer.setValue(it.key(), it.value());
            named.append(it.key());
        }
        writer.sync();
        if (writer.status() != QSettings::NoError)
            return {};
    }
    const QByteArray file
        = IniSections::composeFile(original, groupsOf(values), readBytes(scratch.fileName()), placement);
    {
        QFile out(scratch.fileName());
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size() || !out.flush())
            return {};
    }
    const QString check = scratch.fileName() + u".check"_s;
    if (!QFile::rename(scratch.fileName(), check))
        return {};
    if (readBytes(check) != file) {
        QFile::remove(check);
        return {};
    }
    const IniSections::ParsedFile reread(file);
    QStringList found = reread.keys(groupsOf(values));
    std::sort(named.begin(), named.end());
    std::sort(found.begin(), found.end());
    bool whole = reread.isRead() && found == named;
    for (auto it = values.cbegin(); whole && it != values.cend(); ++it)
        whole = it.key().isEmpty() || reread.value(it.key()) == it.value();
    if (!whole) {
        QFile::remove(check);
        return { reread.isRead() ? SaveResult::NotReadBack : SaveResult::WriteFailed, {} };
    }
    return { SaveResult::Saved, check };
}

// Saves @p values (every key of the groups written) as @p target, the rest of @p original kept as it is.
// QSettings writes a temporary file and renames it into place, but Qt 6.4 renames it even when the last bytes
// could not be written (a full disk), and it then trusts what it meant to write. So the file is written
// under a scratch name, read back, and renamed over @p target only when it holds every byte and every value.
SaveResult saveWhole(const QString& target, const QVariantMap& values, const QByteArray& original,
    IniSections::Placement placement = IniSections::Placement::InPlace)
{
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return SaveResult::WriteFailed;
    const Checked checked = writeAndReadBack(target, values, original, modeForSave(target), placement);
    if (checked.result != SaveResult::Saved)
        return checked.result;
    const QString& check = checked.file;
    // QSettings keeps the parse of a file name for the whole process and parses the file again only when
    // its size or modification time changed: a new file of the old one's size, written within the same
    // millisecond, would go on being read as the old one by whoever reads it through QSettings.
    if (const QFileInfo old(target); old.exists()) {
        const QDateTime oldTime = old.lastModified();
        QFile replacement(check);
        if (QFileInfo(check).lastModified() == oldTime && replacement.open(QIODevice::ReadWrite))
            replacement.setFileTime(oldTime.addMSecs(1), QFileDevice::FileModificationTime);
    }
    // rename() replaces the old file in one step on POSIX systems; QFile::rename refuses an existing target.
    if (std::rename(QFile::encodeName(check).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(check);
        return SaveResult::WriteFailed;
    }
    return SaveResult::Saved;
}

// Adds to @p damaged the keys of @p values that QSettings cannot write back the same (a value that is not
// equal to itself, a list it escapes differently). Halves that write back whole are cleared at once, so a
// few damaged keys cost a few probes. Only a file that was written whole and read back wrong blames its
// keys: a full disk is no key's fault.
void findKeysNotWrittenBack(const QString& target, const QVariantMap& values, QStringList& damaged)
{
    if (values.isEmpty())
        return;
    const Checked checked = writeAndReadBack(target, values, {}, 0600, IniSections::Placement::InPlace);
    if (!checked.file.isEmpty())
        QFile::remove(checked.file);
    if (checked.result != SaveResult::NotReadBack)
        return;
    if (values.size() == 1) {
        damaged.append(values.firstKey());
        return;
    }
    QVariantMap firstHalf;
    QVariantMap secondHalf;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        (firstHalf.size() < values.size() / 2 ? firstHalf : secondHalf).insert(it.key(), it.value());
    findKeysNotWrittenBack(target, firstHalf, damaged);
    findKeysNotWrittenBack(target, secondHalf, damaged);
}

// "<name>.bak", else "<name>.bak.1", "<name>.bak.2"...: an earlier copy is never overwritten.
QString freeCopyName(const QString& path)
{
    const QString first = path + u".bak"_s;
    QString name = first;
    for (int copyNumber = 1; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++copyNumber)
        name = first + u'.' + QString::number(copyNumber);
    return name;
}

// Whether @p file holds every value of @p values, each as the very text (a list read back is no text).
bool holdsEvery(const IniSections::ParsedFile& file, const QMap<QString, QString>& values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QVariant held = file.value(it.key());
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
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/Ventorix.ini"_s;
}

const IniSections::ParsedFile* IniSettingsStore::file() const
{
    if (pathKind(m_filePath) == PathKind::Other)
        return nullptr;
    if (!m_file)
        m_file = std::make_unique<IniSections::ParsedFile>(readBytes(m_filePath));
    return m_file.get();
}

QString IniSettingsStore::read(const QString& section, const QString& key, const QString& defaultValue) const
{
    const QString name = settingsKey(section, key);
    const auto pending = m_pending.constFind(name);
    if (pending != m_pending.cend())
        return *pending;
    const IniSections::ParsedFile* settings = file();
    if (!settings)
        return defaultValue;
    const QVariant value = settings->value(name);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited list ("a, b") reads back as a list: keep its text rather than lose it.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u", "_s);
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
    if (pathKind(m_filePath) == PathKind::Other)
        return false;
    const QString target = resolvedTarget(m_filePath);
    // Read again: another copy of the program may have saved since this one read the file.
    const QByteArray original = readBytes(target);
    const IniSections::ParsedFile onDisk(original);
    // Most runs end by writing back what they read (the favourites, the type, the last code): then the file
    // stays as it is, to the byte and the date. Anything new saves every pending value, as always.
    if (onDisk.isRead() && holdsEvery(onDisk, m_pending)) {
        m_pending.clear();
        return true;
    }
    QSet<QString> writtenGroups;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        writtenGroups.insert(IniSections::groupOfKey(it.key()));
    // Keys of the groups we write that are not ours are written again as QSettings writes them; the other
    // groups (the user's "sources", say) stay as the file holds them, byte for byte.
    QVariantMap theirs;
    for (const QString& key : onDisk.keys(writtenGroups)) {
        if (!m_pending.contains(key))
            theirs.insert(key, onDisk.value(key));
    }
    QVariantMap values = theirs;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        values.insert(it.key(), it.value());
    const SaveResult saved = saveWhole(target, values, original);
    if (saved == SaveResult::WriteFailed
        || (saved == SaveResult::NotReadBack && !saveOverDamage(target, original, theirs, values)))
        return false;
    m_pending.clear();
    m_file.reset();
    return true;
}

bool IniSettingsStore::saveOverDamage(
    const QString& target, const QByteArray& original, const QVariantMap& theirs, QVariantMap values) const
{
    // A file that cannot be written back the same would refuse every save from now on, and the user's
    // favourites would silently never be saved again. The keys of our groups that cannot be written back are
    // dropped; when none is to blame, something else in the file swallows what we write (a quote never
    // closed), and our groups go first. A copy of the file is kept beside it first, never over another.
    QStringList damaged;
    if (theirs.size() > kMostKeysProbed)
        damaged = theirs.keys();
    else
        findKeysNotWrittenBack(target, theirs, damaged);
    for (const QString& key : damaged)
        values.remove(key);
    const QString copy = freeCopyName(m_filePath);
    if (!original.isEmpty() && !QFile::copy(target, copy))
        return false;
    using IniSections::Placement;
    SaveResult saved = damaged.isEmpty() ? SaveResult::NotReadBack : saveWhole(target, values, original);
    if (saved == SaveResult::NotReadBack)
        saved = saveWhole(target, values, original, Placement::First);
    // Whatever of the user's text still breaks ours is in the copy.
    if (saved == SaveResult::NotReadBack)
        saved = saveWhole(target, values, {});
    if (saved != SaveResult::Saved) {
        QFile::remove(copy);
        return false;
    }
    const QString notice = u"Ventorix : le fichier de réglages %1 était endommagé ; copie gardée dans %2"_s.arg(
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
