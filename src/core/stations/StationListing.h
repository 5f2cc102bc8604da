#pragma once

#include "stations/NameSearch.h"
#include "stations/StationGeography.h"
#include "stations/StationTable.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace Stations {

/// A station near another one, with the names the directory and the station data give it.
struct NearbyStation
{
    Neighbour where;
    QString name; ///< the aerodrome's name, empty where the data names none
    QString city;
    QString country;
};

/// The @p count stations nearest to @p code with their names, nearest first; empty when @p code has no position.
QList<NearbyStation> nearbyStations(const StationTable& table, const QString& code, int count = 10,
    const StationGeography& geography = StationGeography::embedded());

/// "12,9 km (7,0 NM)": a distance as the lists and the text output write it.
QString distanceWords(const Neighbour& where);
/// "041°": the true bearing in whole degrees, 000 to 359.
QString bearingWords(const Neighbour& where);
/// "Paris (France) — Paris-Orly Airport": the city and country, then the aerodrome's name where there is one.
QString placeWords(const QString& city, const QString& country, const QString& name);

/// A JSON array of {code, name, city, country, distanceKm, distanceNm, bearingDeg}, distances to a tenth and
/// bearings in whole degrees.
QByteArray nearbyJson(const QList<NearbyStation>& stations);
/// One line per station: code, distance, bearing, place.
QString nearbyText(const QList<NearbyStation>& stations);

/// A JSON array of {code, name, city, country}.
QByteArray searchJson(const QList<SearchHit>& hits);
/// One line per station: code and place; "Aucune station trouvée" when there is none.
QString searchText(const QList<SearchHit>& hits);

/// What a search that finds nothing says.
inline constexpr QStringView kNoStationFound = u"Aucune station trouvée";

} // namespace Stations
