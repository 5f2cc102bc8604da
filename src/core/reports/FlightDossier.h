#pragma once

#include "reports/DecodedReport.h"
#include "reports/ReportOutput.h"
#include "reports/TafArrival.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

/// A flight dossier: the departure, the destination and up to three alternates, each with its METAR, TAF
/// and NOTAMs, and what the TAF says at the arrival time.
namespace FlightDossier {

enum class Role { Departure, Destination, Alternate };

constexpr int kMostAlternates = 3;

/// "Départ", "Destination", "Dégagement".
QString roleName(Role role);
/// "departure", "destination", "alternate": the JSON's.
QString roleKey(Role role);

struct Stop
{
    Role role = Role::Departure;
    QString code;
};

/// What the pilot asks for: the stations in route order and the times.
struct Plan
{
    QList<Stop> stops;
    QDateTime departUtc;
    QDateTime arriveUtc;
};

/// The plan for @p departure, @p destination and @p alternates (codes in capitals, blanks around them
/// dropped; empty alternates left out).
Plan makePlan(const QString& departure, const QString& destination, const QStringList& alternates,
    const QDateTime& departUtc, const QDateTime& arriveUtc);

/// What is wrong with @p plan, in French, or an empty text: a missing or malformed code, a station given
/// twice, more than three alternates, a time missing, an arrival that does not come after the departure.
QString planError(const Plan& plan);

/// "LFPG → LFRS, dégagements LFRN, LFRB".
QString routeText(const Plan& plan);

/// One station's part of the dossier.
struct Part
{
    Stop stop;
    StationInfo station;
    QString description; ///< "Country, City"; empty for a code the directory does not know
    DecodedReport metar;
    DecodedReport taf;
    std::optional<DecodedReport> notam; ///< none when no NOTAM source is set
};

struct Dossier
{
    Plan plan;
    QDateTime obtainedUtc; ///< when the last report came in
    QList<Part> parts; ///< in route order
};

/// What the TAF of @p part says at the arrival, for the destination and the alternates only.
std::optional<TafArrival::Forecast> arrivalForecast(const Part& part, const Plan& plan);

/// Whether every report asked for was fetched.
bool isComplete(const Dossier& dossier);

/// The dossier for scripts: route, depart, arrive, obtained, and stations, an array of role, code, metar,
/// taf, notam (each the report mode's object for that report, notam null without a NOTAM source),
/// tafAtArrival (the groups in force around the arrival, each kind, from, to, text and warning; null for the
/// departure) and tafAtArrivalNote (why no group is listed, or that the window runs past the validity; null
/// otherwise).
QByteArray json(const Dossier& dossier);

} // namespace FlightDossier
