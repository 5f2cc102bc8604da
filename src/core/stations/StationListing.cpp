#include "stations/StationListing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace Stations {
namespace {

double tenths(double value)
{
    return std::round(value * 10) / 10;
}

// 359.6° is north again, not 360°.
int wholeDegrees(double bearing)
{
    return static_cast<int>(std::lround(bearing)) % 360;
}

QString frenchDecimal(double value)
{
    return QLocale(QLocale::French).toString(tenths(value), 'f', 1);
}

QJsonObject namesJson(const QString& code, const QString& name, const QString& city, const QString& country)
{
    return QJsonObject { { u"code"_s, code }, { u"name"_s, name }, { u"city"_s, city }, { u"country"_s, country } };
}

QByteArray indented(const QJsonArray& array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace

QList<NearbyStation> nearbyStations(
    const StationTable& table, const QString& code, int count, const StationGeography& geography)
{
    QList<NearbyStation> stations;
    for (const Neighbour& where : nearest(code, count, geography)) {
        const std::optional<int> index = table.indexOfCode(where.code);
        stations.append(NearbyStation { where, geography.aerodromeOf(where.code),
            index ? table.city(*index) : QString(), index ? table.country(*index) : QString() });
    }
    return stations;
}

QString distanceWords(const Neighbour& where)
{
    return u"%1 km (%2 NM)"_s.arg(frenchDecimal(where.distanceKm), frenchDecimal(where.distanceNm));
}

QString bearingWords(const Neighbour& where)
{
    return u"%1°"_s.arg(wholeDegrees(where.bearingDeg), 3, 10, QLatin1Char('0'));
}

QString placeWords(const QString& city, const QString& country, const QString& name)
{
    // Some countries of the directory end in a blank, which reads badly before the parenthesis.
    QString words = city.trimmed();
    if (!country.trimmed().isEmpty())
        words += (words.isEmpty() ? u"("_s : u" ("_s) + country.trimmed() + u')';
    if (!name.isEmpty())
        words += (words.isEmpty() ? QString() : u" — "_s) + name;
    return words;
}

QByteArray nearbyJson(const QList<NearbyStation>& stations)
{
    QJsonArray array;
    for (const NearbyStation& station : stations) {
        QJsonObject object = namesJson(station.where.code, station.name, station.city, station.country);
        object.insert(u"distanceKm"_s, tenths(station.where.distanceKm));
        object.insert(u"distanceNm"_s, tenths(station.where.distanceNm));
        object.insert(u"bearingDeg"_s, wholeDegrees(station.where.bearingDeg));
        array.append(object);
    }
    return indented(array);
}

QString nearbyText(const QList<NearbyStation>& stations)
{
    QString text;
    for (const NearbyStation& station : stations) {
        text += u"%1  %2  au %3  %4\n"_s.arg(station.where.code, distanceWords(station.where),
            bearingWords(station.where), placeWords(station.city, station.country, station.name));
    }
    return text;
}

QByteArray searchJson(const QList<SearchHit>& hits)
{
    QJsonArray array;
    for (const SearchHit& hit : hits)
        array.append(namesJson(hit.code, hit.aerodrome, hit.city, hit.country));
    return indented(array);
}

QString searchText(const QList<SearchHit>& hits)
{
    if (hits.isEmpty())
        return kNoStationFound.toString() + u'\n';
    QString text;
    for (const SearchHit& hit : hits)
        text += hit.code + u"  "_s + placeWords(hit.city, hit.country, hit.aerodrome) + u'\n';
    return text;
}

} // namespace Stations
