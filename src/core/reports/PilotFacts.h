#pragma once

#include "reports/Daylight.h"
#include "reports/DensityAltitude.h"
#include "reports/FlightConditions.h"
#include "reports/ReportTimes.h"
#include "stations/StationGeography.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>

/// The limits a pilot chose for the colours of the pilot line; the defaults when the settings say nothing.
struct PilotLimits
{
    Conditions::Thresholds conditions;
    int ageOrangeMinutes = 60;
    int ageRedMinutes = 120;
};

/// What a pilot reads first about a report, worked out when the report is made: nothing here is ever
/// computed again by whoever shows it, so the window, the briefings and the report mode agree.
struct PilotFacts
{
    std::optional<int> ageMinutes; ///< of the observation (METAR) or of the issue (TAF), at the download
    ReportTimes::AgeClass ageClass = ReportTimes::AgeClass::Normal;
    QString timesLine; ///< "Observé il y a …" or "Émis il y a … — valide du …"; empty when unknown
    Conditions::FlightConditions conditions; ///< METAR only; Unknown otherwise
    std::optional<Daylight::SunTimes> sun; ///< at the station on the download's date; none without a position
    std::optional<Density::DensityAltitude> density; ///< METAR of a station whose elevation is known
    QString line; ///< the one compact line under the title; empty when there is nothing to say
};

namespace Pilot {

/// The facts of a METAR observed at @p observedUtc whose observation line is @p rawMetar, fetched at
/// @p fetchedUtc from the station at @p place (none when the station has no position).
PilotFacts metarFacts(const QString& rawMetar, const QDateTime& observedUtc, const QDateTime& fetchedUtc,
    const std::optional<Stations::StationPlace>& place, const PilotLimits& limits,
    const QTimeZone& localZone = QTimeZone::systemTimeZone());

/// The facts of a TAF issued at @p issuedUtc and valid from @p validFromUtc to @p validToUtc; its age class
/// is red once the validity has ended (or is unknown), normal before.
PilotFacts tafFacts(const QDateTime& issuedUtc, const QDateTime& validFromUtc, const QDateTime& validToUtc,
    const QDateTime& fetchedUtc, const std::optional<Stations::StationPlace>& place,
    const QTimeZone& localZone = QTimeZone::systemTimeZone());

/// The sun at @p place on the date of @p fetchedUtc: what every fetched report carries, NOTAMs included.
std::optional<Daylight::SunTimes> sunAt(
    const std::optional<Stations::StationPlace>& place, const QDateTime& fetchedUtc);

/// "Lever 07:42 — coucher 16:56 UTC", "Jour polaire" or "Nuit polaire".
QString sunPhrase(const Daylight::SunTimes& sun);

} // namespace Pilot
