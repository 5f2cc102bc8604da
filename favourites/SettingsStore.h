#pragma once

#include <QHash>
#include <QString>

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

/// The user's INI file in the configuration location, named after the program file.
class IniSettingsStore final : public SettingsStore
{
public:
    /// @p filePath empty: the user's configuration location and the running program's file name.
    explicit IniSettingsStore(QString filePath = {});
    QString read(const QString& section, const QString& key, const QString& defaultValue) const override;
    void write(const QString& section, const QString& key, const QString& value) override;
    bool flush() override;
    const QString& filePath() const { return m_filePath; }

    static QString defaultFilePath();

private:
    QString m_filePath;
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
