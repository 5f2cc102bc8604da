#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace Stations {

/// The station directory: entries "CODE\Country\City" in slots 1 to count(), slot 0 and the slots after
/// the last entry empty, up to kSlots slots. Filled once at start-up, read-only afterwards.
class StationTable
{
public:
    static constexpr int kSlots = 5001;

    /// Fills the table from the entries text, one entry per line; lines beyond the capacity are ignored.
    void fill(const QString& entriesText);

    int count() const { return static_cast<int>(m_entries.size()); }
    /// Slot @p index (0 to kSlots - 1); empty for slot 0 and free slots.
    QString slot(int index) const;

    /// Index of the entry whose code is exactly @p code (case and all), or 0.
    int indexOfCode(const QString& code) const;
    QString code(int index) const;
    QString country(int index) const;
    QString city(int index) const;

private:
    QStringList m_entries; // slot n is m_entries[n - 1]
    QHash<QString, int> m_byCode;
};

/// City + " (" + country + ")" of the entry for @p code, or nothing when no entry has that code.
std::optional<QString> DescribeStation(const StationTable& table, const QString& code);

/// Country names in table order, each once.
QStringList Countries(const StationTable& table);

/// The cities of @p country, each once, in the order of their first entry in the table.
QStringList CitiesOf(const StationTable& table, const QString& country);

/// The code of every entry of @p country and @p city, in table order.
QStringList CodesOf(const StationTable& table, const QString& country, const QString& city);

/// Every code of @p firstList, then of @p secondList, that contains @p query (exact, case-sensitive).
QStringList SearchCodes(const QStringList& firstList, const QStringList& secondList, const QString& query);

/// Station table and code lists shipped with the program.
struct StationData
{
    QString entries;
    QStringList codesAToK;
    QStringList codesLToZ;
};

/// Loads the data embedded in the program.
StationData LoadEmbeddedStationData();

/// Fills the table from the embedded data (the program's start-up step).
void FillFromEmbeddedData(StationTable& table);

} // namespace Stations
