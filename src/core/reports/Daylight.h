#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace Daylight {

enum class DayKind { Normal, PolarDay, PolarNight };

/// The sun at a place on a date, all times UTC. Sunrise and sunset are when the sun's top meets the horizon
/// (apparent altitude -0.833°); aeronautical night runs from nightMarginMin after sunset to nightMarginMin
/// before the next sunrise.
struct SunTimes
{
    DayKind kind = DayKind::Normal;
    QDateTime sunriseUtc; ///< valid for a normal day only
    QDateTime sunsetUtc; ///< valid for a normal day only
    int nightMarginMin = 30;
    QDateTime nightFromUtc; ///< invalid when no night follows the day
    QDateTime nightUntilUtc; ///< invalid when the next day has no sunrise, or no night follows the day
};

/// 30 minutes from 30° of latitude up (beyond 60° too), 15 at or below 30°.
int nightMarginMinutes(double latitudeDeg);

/// Sunrise, sunset and the following aeronautical night at a place (degrees, north and east positive) on
/// @p date, by the solar equations of the US ocean and atmosphere administration (about a minute off).
SunTimes sunTimes(double latitudeDeg, double longitudeDeg, const QDate& date);

/// "Lever 07:42 UTC (08:42) — coucher 15:56 UTC (16:56) — nuit aéronautique de 16:26 à 07:12 UTC", the
/// bracketed times in @p localZone; "Jour polaire …" or "Nuit polaire …" when the sun does not cross the
/// horizon that day.
QString daylightLine(const SunTimes& sun, const QTimeZone& localZone = QTimeZone::systemTimeZone());

} // namespace Daylight
