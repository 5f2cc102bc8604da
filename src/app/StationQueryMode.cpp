#include "StationQueryMode.h"

#include "stations/StationListing.h"

#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace StationQueryMode {

int run(const CommandLine::StationQuery& query)
{
    Stations::StationTable table;
    Stations::fillFromEmbeddedData(table);
    const bool json = query.format == CommandLine::Format::Json;
    QByteArray bytes;
    if (query.kind == CommandLine::StationQuery::Kind::Near) {
        const Stations::StationGeography& geography = Stations::StationGeography::embedded();
        if (!geography.find(query.text)) {
            const QString why = table.indexOfCode(query.text).has_value()
                ? u"la position de la station %1 n'est pas connue"_s.arg(query.text)
                : u"station inconnue : %1"_s.arg(query.text);
            std::fprintf(stderr, "Ventorix : %s\n", why.toLocal8Bit().constData());
            return 2;
        }
        const QList<Stations::NearbyStation> stations = Stations::nearbyStations(table, query.text, 10, geography);
        bytes = json ? Stations::nearbyJson(stations) : Stations::nearbyText(stations).toUtf8();
    } else {
        const QList<Stations::SearchHit> hits = Stations::NameIndex(table).search(query.text);
        bytes = json ? Stations::searchJson(hits) : Stations::searchText(hits).toUtf8();
    }
    QFile out;
    return out.open(stdout, QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush() ? 0 : 1;
}

} // namespace StationQueryMode
