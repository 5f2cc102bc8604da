#pragma once

#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <memory>

namespace IniSections {
class ParsedFile;
}

/// A per-user store of text values under (section, key); the application name is the store's own.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    /// The stored value, or @p defaultValue when the key is absent. Never writes.
    virtual QString read(const QString& section, const QString& key, const QString& defaultValue) const = 0;
    virtual void write(const QString& section, const QString& key, const QString& value) = 0;
    /// Puts what was written on disk; false when it could not be saved (the previous file then stays whole).
    virtual bool flush() { return true; }
};

/// The user's INI file in the configuration location, "Ventorix.ini". What is written in
/// one pass of the event loop is saved together at the end of the pass, or at flush(). A save replaces the
/// file (the end of a chain of links), with the mode it had, once the new one has been read back complete;
/// the groups it does not write stay as the file held them, byte for byte, whatever QSettings thinks of the
/// rest. So a save that fails (full disk, no right to write) leaves the previous file as it was; its values
/// stay pending for the next save. Every group is read from the program's own cut of the file, so damage in
/// one (a section header never closed, whose lines are read by no one) does not hide the others. A file whose
/// groups cannot all be written back is saved without the keys to blame, or with the groups written first
/// where something swallows them, after a copy of it is kept as "<name>.bak" (".bak.1", ".bak.2"... when
/// that is taken) and a line written on stderr. A pipe, socket, device or folder in the file's place is
/// never opened (every key takes its default) nor replaced (every save fails).
class IniSettingsStore final : public SettingsStore
{
public:
    /// @p filePath empty: "Ventorix.ini" in the user's configuration location.
    explicit IniSettingsStore(QString filePath = {});
    ~IniSettingsStore() override;
    Q_DISABLE_COPY_MOVE(IniSettingsStore)

    QString read(const QString& section, const QString& key, const QString& defaultValue) const override;
    void write(const QString& section, const QString& key, const QString& value) override;
    bool flush() override;
    const QString& filePath() const { return m_filePath; }

    static QString defaultFilePath();

private:
    const IniSections::ParsedFile* file() const; ///< nothing when the path names anything but a plain file
    bool saveOverDamage(
        const QString& target, const QByteArray& original, const QVariantMap& theirs, QVariantMap values) const;

    QString m_filePath;
    mutable std::unique_ptr<IniSections::ParsedFile> m_file; // the file as first read since the last save
    QMap<QString, QString> m_pending; // "section/key" -> value written since the last save
    QObject m_saveContext; // a save queued for the next pass of the event loop dies with the store
    bool m_saveQueued = false;
};

/// Settings that live only as long as the program: the report mode and tests.
class MemorySettingsStore final : public SettingsStore
{
public:
    QString read(const QString& section, const QString& key, const QString& defaultValue) const override;
    void write(const QString& section, const QString& key, const QString& value) override;
    const QHash<QString, QString>& values() const { return m_values; }

private:
    QHash<QString, QString> m_values; // "section/key" -> value
};
