#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace Stations {

/// Where a station is: its position, and the elevation and aerodrome name where the data has them.
struct StationPlace
{
    QString code;
    double latitudeDeg = 0; ///< north positive
    double longitudeDeg = 0; ///< east positive
    std::optional<int> elevationFt;
    QString aerodrome; ///< empty where the data names none
};

/// The positions of the stations, read from lines "CODE;latitude;longitude;elevation_ft;aerodrome name".
/// Stations without a position are left out of the positions but keep their aerodrome name.
class StationGeography
{
public:
    /// Replaces the content with the lines of @p text; malformed lines are skipped.
    void fill(const QString& text);

    /// The station @p code (exact), or nothing when it has no position.
    const StationPlace* find(const QString& code) const;
    /// The aerodrome name of @p code, empty when the data has none.
    QString aerodromeOf(const QString& code) const;
    const QList<StationPlace>& places() const { return m_places; }

    /// The geography shipped with the program, read on first use.
    static const StationGeography& embedded();
    /// The shipped geography's line for @p code alone (empty when it has none): one station looked up without
    /// reading the whole table.
    static StationGeography embeddedStation(const QString& code);

private:
    QList<StationPlace> m_places;
    QHash<QString, qsizetype> m_byCode;
    QHash<QString, QString> m_names; // only for stations without a position
};

/// Position, elevation and aerodrome name of @p code, or nothing when it has no position.
std::optional<StationPlace> placeOf(const QString& code, const StationGeography& geography);
/// placeOf() in the shipped geography: from the whole table once something has read it, else from @p code's
/// line alone, so that a program asking about one station (the report mode) does not read them all.
std::optional<StationPlace> placeOf(const QString& code);
/// The aerodrome name of @p code in the shipped geography, looked up as placeOf() does; empty when none.
QString aerodromeOf(const QString& code);

/// A station seen from another one: great-circle distance and initial true bearing.
struct Neighbour
{
    QString code;
    double distanceKm = 0;
    double distanceNm = 0;
    double bearingDeg = 0; ///< true bearing from the first station, 0 to 360 exclusive
};

/// Great-circle distance (haversine, mean Earth radius) and initial true bearing from @p from to @p to.
Neighbour relativePlace(const StationPlace& from, const StationPlace& to);

/// The @p count stations nearest to @p code, nearest first, the station itself left out; empty when
/// @p code has no position.
QList<Neighbour> nearest(
    const QString& code, int count = 10, const StationGeography& geography = StationGeography::embedded());

} // namespace Stations
