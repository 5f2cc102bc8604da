#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

namespace Stations {

/// The station directory: entries "CODE\Country\City" at indices 0 to count() - 1, at most kCapacity of
/// them. Filled once, read-only afterwards.
class StationTable
{
public:
    static constexpr int kCapacity = 5000;

    /// Fills the table from the entries text, one entry per line; lines beyond the capacity are ignored.
    void fill(const QString& entriesText);
    /// Fills the table as fill() does, from what @p entriesText gives, the first time the table is read.
    void fillOnFirstUse(std::function<QString()> entriesText);

    int count() const
    {
        fillIfDue();
        return static_cast<int>(m_entries.size());
    }
    /// Entry @p index; empty for an index outside 0 to count() - 1.
    QString entry(int index) const;

    /// Index of the entry whose code is exactly @p code (case and all); nothing when no entry has it.
    std::optional<int> indexOfCode(const QString& code) const;
    /// The parts of entry @p index; empty for an index outside 0 to count() - 1.
    QString code(int index) const;
    QString country(int index) const;
    QString city(int index) const;

    /// Differs after every fill of any table, so work derived from the content can be kept until it changes.
    quint64 contentStamp() const
    {
        fillIfDue();
        return m_stamp;
    }

private:
    void fillIfDue() const;
    void fillNow(const QString& entriesText) const;

    // Filled from a const reader when first read: the window's regions only read the table.
    mutable std::function<QString()> m_dueFill;
    mutable QStringList m_entries;
    mutable QHash<QString, int> m_byCode;
    mutable quint64 m_stamp = 0;
};

/// City + " (" + country + ")" of the entry for @p code, or nothing when no entry has that code.
std::optional<QString> describe(const StationTable& table, const QString& code);

/// Country names in table order, each once.
QStringList countries(const StationTable& table);

/// The cities of @p country, each once, in the order of their first entry in the table.
QStringList citiesOf(const StationTable& table, const QString& country);

/// The code of every entry of @p country and @p city, in table order.
QStringList codesOf(const StationTable& table, const QString& country, const QString& city);

/// Every code of @p firstList, then of @p secondList, that contains @p query (exact, case-sensitive).
QStringList searchCodes(const QStringList& firstList, const QStringList& secondList, const QString& query);

/// Station table and code lists shipped with the program.
struct StationData
{
    QString entries;
    QStringList codesAToK;
    QStringList codesLToZ;
};

/// Loads the data embedded in the program.
StationData loadEmbeddedData();

/// The two halves of the code lists shipped with the program.
enum class CodeHalf { AToK, LToZ };

/// One code list embedded in the program, read where it lies: a code becomes a string only when asked for.
/// The window's list shows thousands of codes and draws a screenful; a string for each would cost some
/// seventy bytes a code where this costs eight.
class EmbeddedCodes
{
public:
    EmbeddedCodes() = default;
    explicit EmbeddedCodes(CodeHalf half);

    qsizetype count() const { return m_lines.size(); }
    /// Code @p index, 0 to count() - 1.
    QString at(qsizetype index) const;
    QStringList toList() const;

private:
    QByteArray m_text; // the program's own copy, not duplicated
    QList<std::pair<qint32, qint32>> m_lines; // start and length of each code, blank lines left out
};

/// Loads one code list embedded in the program, without the station table.
QStringList loadEmbeddedCodes(CodeHalf half);

/// Fills the table from the embedded data.
void fillFromEmbeddedData(StationTable& table);
/// Fills @p table with the shipped entry of @p code alone (nothing when there is none).
void fillWithEmbeddedStation(StationTable& table, const QString& code);

/// Fills the table from the embedded data when it is first read: the window shows its first report without
/// waiting for a directory it may not need.
void fillFromEmbeddedDataOnFirstUse(StationTable& table);

} // namespace Stations
