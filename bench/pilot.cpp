// Median times of what a pilot reads first about a report, each per report (target under 1 ms), and of one
// keystroke of the name search over the whole directory (target under 20 ms).
// Usage: build/bench/bench_pilot [repetitions]
#include "Median.h"
#include "reports/Daylight.h"
#include "reports/DensityAltitude.h"
#include "reports/FlightConditions.h"
#include "reports/MetarTranslation.h"
#include "reports/ReportTimes.h"
#include "reports/WorkFile.h"
#include "stations/NameSearch.h"
#include "stations/StationGeography.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

bool report(const char* what, double ms, double targetMs)
{
    const bool ok = ms < targetMs;
    std::printf("%-52s median %8.4f ms  (target < %g ms) %s\n", what, ms, targetMs, ok ? "ok" : "MISSED");
    std::fflush(stdout);
    return ok;
}

// A fast wrong answer proves nothing.
bool check(bool ok, const char* what)
{
    if (!ok)
        std::printf("WRONG RESULT: %s\n", what);
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 1001;
    bool allOk = true;

    const QString decodedFile
        = u"France (LFPG) 49-01N 002-32E 119M Dec 06 2026 - 02:30 PM EST / 2026.12.06 1930 UTC "
          u"Wind: from the NW (310 degrees) at 9 MPH (8 KT):0 Visibility: greater than 7 mile(s):0 "
          u"Sky conditions: mostly cloudy Weather: light rain Temperature: 50 F (10 C) Dew Point: "
          u"42 F (6 C) Relative Humidity: 75% Pressure (altimeter): 29.94 in. Hg (1014 hPa) "
          u"ob: LFPG 061930Z 31008KT 9999 -RA BKN020 10/06 Q1014 NOSIG cycle: 19 "_s;
    const QString raw = u"KDEN 081053Z 18005KT 1 1/2SM BR FEW010 BKN020 OVC080 35/02 A2992 RMK AO2 T03500017"_s;
    const QDateTime now(QDate(2026, 12, 8), QTime(11, 42), Qt::UTC);
    const QTimeZone paris("Europe/Paris");

    QString translated;
    allOk &= report("METAR translation (42 + 15 rows)",
        medianMs(repetitions, [&] { translated = Metar::translate(decodedFile); }), 1);
    allOk &= check(translated.contains(u"Température: 10°C (50°F)"_s), "translation");

    Conditions::FlightConditions conditions;
    allOk &= report("flight conditions from the raw METAR",
        medianMs(repetitions, [&] { conditions = Conditions::conditionsOf(raw); }), 1);
    allOk &= check(conditions.category == Conditions::Category::Imc && conditions.ceilingFt == 2000, "conditions");

    std::optional<Density::DensityAltitude> density;
    allOk &= report("temperature, QNH and density altitude",
        medianMs(repetitions, [&] { density = Density::densityAltitudeOf(raw, 5431); }), 1);
    allOk &= check(density && density->worthShowing, "density altitude");

    QString line;
    allOk &= report("age and time lines (METAR and TAF)",
        medianMs(repetitions,
            [&] {
                const QDateTime observed = ReportTimes::timeOfGroup(u"081030Z", now).value();
                const auto validity = ReportTimes::validityOf(u"0812/0918", observed).value();
                line = ReportTimes::metarTimeLine(observed, now, paris)
                    + ReportTimes::tafTimeLine(observed, validity.first, validity.second, now, paris);
            }),
        1);
    allOk &= check(line.startsWith(u"Observé il y a 1 h 12 min"_s), "time lines");

    const QDate today = now.date();
    allOk &= report("sunrise, sunset, night and their line",
        medianMs(repetitions,
            [&] {
                const Stations::StationPlace place = *Stations::placeOf(u"LFPG"_s);
                line = Daylight::daylightLine(Daylight::sunTimes(place.latitudeDeg, place.longitudeDeg, today), paris);
            }),
        1);
    allOk &= check(line.startsWith(u"Lever"_s), "daylight");

    QList<Stations::Neighbour> neighbours;
    allOk &= report("ten nearest stations (4,526 positions)",
        medianMs(repetitions, [&] { neighbours = Stations::nearest(u"LFPG"_s, 10); }), 1);
    allOk &= check(neighbours.size() == 10 && neighbours.first().code == u"LFPB", "nearest");

    QFile geoFile(u":/data/station-geo.txt"_s);
    const QString geoText = geoFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(geoFile.readAll()) : QString();
    Stations::StationGeography geography;
    std::printf("%-52s median %8.4f ms  (once, on first use)\n", "geography read (4,528 lines)",
        medianMs(std::min(repetitions, 101), [&] { geography.fill(geoText); }));
    allOk &= check(geography.places().size() > 4450, "geography");

    Stations::StationGeography single;
    std::printf("%-52s median %8.4f ms  (the report mode's one lookup)\n", "one station's line (LFPG)",
        medianMs(std::min(repetitions, 101), [&] { single = Stations::StationGeography::embeddedStation(u"LFPG"_s); }));
    allOk &= check(single.places().size() == 1 && single.aerodromeOf(u"LFPG"_s) == geography.aerodromeOf(u"LFPG"_s),
        "one station's line");

    Stations::StationTable table;
    Stations::fillFromEmbeddedData(table);
    std::printf("%-52s median %8.4f ms  (once, on the first search)\n", "name index (4,528 stations folded)",
        medianMs(std::min(repetitions, 101), [&] { Stations::NameIndex index(table); }));
    (void)Stations::searchByName(table, u"x"_s); // the index is built once; keystrokes only compare
    for (const QString& typed : { u"s"_s, u"st"_s, u"st e"_s, u"st etienne"_s, u"orly"_s, u"lfp"_s }) {
        QList<Stations::SearchHit> hits;
        allOk &= report(qPrintable(u"search keystroke \"%1\" (whole directory)"_s.arg(typed)),
            medianMs(std::min(repetitions, 201), [&] { hits = Stations::searchByName(table, typed); }), 20);
        allOk &= check(!hits.isEmpty(), "search");
    }
    return allOk ? 0 : 1;
}
