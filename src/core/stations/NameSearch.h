#pragma once

#include "stations/StationGeography.h"
#include "stations/StationTable.h"

#include <QList>
#include <QString>

namespace Stations {

/// @p text in the form names are compared in: lower case, without accents or punctuation, single blanks,
/// and the words "saint" and "sainte" written "st" and "ste", so that every spelling of a name meets.
QString foldForSearch(QStringView text);

/// How a station answers a search, best first.
enum class MatchKind {
    Code, ///< its code starts with the text
    NameStart, ///< its city, country or aerodrome name starts with the text
    Elsewhere, ///< every word of the text is somewhere in its names
};

struct SearchHit
{
    QString code;
    QString city;
    QString country;
    QString aerodrome; ///< empty where the data names none
    MatchKind match = MatchKind::Elsewhere;
};

/// The folded names of every station of a table, worked out once so that a search only compares.
class NameIndex
{
public:
    explicit NameIndex(const StationTable& table, const StationGeography& geography = StationGeography::embedded());

    /// The stations matching @p text (case, accents and punctuation ignored), code matches first, then
    /// names starting with it, then the rest; table order within each group. Empty for an empty text.
    QList<SearchHit> search(const QString& text) const;

private:
    struct Entry
    {
        QString code;
        QString city;
        QString country;
        QString aerodrome;
        QString foldedCity;
        QString foldedCountry;
        QString foldedAerodrome;
        QString foldedAll; // every name and the code, for the words found anywhere
    };
    QList<Entry> m_entries;
};

/// NameIndex::search() over @p table with the shipped geography; the index is built on the first search
/// and kept until the table is filled again.
QList<SearchHit> searchByName(const StationTable& table, const QString& text);

} // namespace Stations
