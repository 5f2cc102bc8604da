#include "reports/Daylight.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

using namespace Qt::StringLiterals;

namespace Daylight {
namespace {

constexpr double kRad = std::numbers::pi / 180.0;
constexpr double kHorizonZenithDeg = 90.833; // refraction and the sun's radius
constexpr double kJ2000 = 2451545.0;

struct SunPosition
{
    double declinationRad;
    double equationOfTimeMin;
};

// The sun at Julian day @p jd: the low-precision series of the administration's solar calculator.
SunPosition sunAt(double jd)
{
    const double t = (jd - kJ2000) / 36525.0;
    const double meanLongitude = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    const double meanAnomaly = 357.52911 + t * (35999.05029 - 0.0001537 * t);
    const double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double m = meanAnomaly * kRad;
    const double centre = std::sin(m) * (1.914602 - t * (0.004817 + 0.000014 * t))
        + std::sin(2 * m) * (0.019993 - 0.000101 * t) + std::sin(3 * m) * 0.000289;
    const double omega = (125.04 - 1934.136 * t) * kRad;
    const double apparentLongitude = (meanLongitude + centre - 0.00569 - 0.00478 * std::sin(omega)) * kRad;
    const double meanObliquity = 23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
    const double obliquity = (meanObliquity + 0.00256 * std::cos(omega)) * kRad;
    const double y = std::pow(std::tan(obliquity / 2), 2);
    const double l0 = meanLongitude * kRad;
    const double equation = y * std::sin(2 * l0) - 2 * eccentricity * std::sin(m)
        + 4 * eccentricity * y * std::sin(m) * std::cos(2 * l0) - 0.5 * y * y * std::sin(4 * l0)
        - 1.25 * eccentricity * eccentricity * std::sin(2 * m);
    return { std::asin(std::sin(obliquity) * std::sin(apparentLongitude)), 4.0 * equation / kRad };
}

// Cosine of the hour angle at which the sun stands on the horizon: above 1 it never rises, below -1 it never sets.
double horizonCosine(double latitudeRad, double declinationRad)
{
    return (std::cos(kHorizonZenithDeg * kRad) - std::sin(latitudeRad) * std::sin(declinationRad))
        / (std::cos(latitudeRad) * std::cos(declinationRad));
}

struct DayEvents
{
    DayKind kind = DayKind::Normal;
    double sunriseMin = 0; // minutes after 00:00 UTC of the date, may be negative or past 1440
    double sunsetMin = 0;
};

DayEvents eventsOn(double latitudeDeg, double longitudeDeg, const QDate& date)
{
    // At the poles the cosine of the latitude vanishes; a hair off keeps the formula finite.
    const double latitude = std::clamp(latitudeDeg, -89.9999, 89.9999) * kRad;
    const double midnightJd = static_cast<double>(date.toJulianDay()) - 0.5;
    const double noonGuess = 720.0 - 4.0 * longitudeDeg;
    const SunPosition atNoon = sunAt(midnightJd + noonGuess / 1440.0);
    const double noonCosine = horizonCosine(latitude, atNoon.declinationRad);
    if (noonCosine > 1.0)
        return { DayKind::PolarNight };
    if (noonCosine < -1.0)
        return { DayKind::PolarDay };
    DayEvents events;
    // Each event is worked out again with the sun where it stands at the first estimate of its time.
    for (const int side : { -1, 1 }) {
        double minutes = noonGuess + side * 4.0 * std::acos(noonCosine) / kRad;
        for (int pass = 0; pass < 2; ++pass) {
            const SunPosition sun = sunAt(midnightJd + minutes / 1440.0);
            const double hourAngle
                = std::acos(std::clamp(horizonCosine(latitude, sun.declinationRad), -1.0, 1.0)) / kRad;
            minutes = 720.0 - 4.0 * longitudeDeg - sun.equationOfTimeMin + side * 4.0 * hourAngle;
        }
        (side < 0 ? events.sunriseMin : events.sunsetMin) = minutes;
    }
    return events;
}

QDateTime atMinutes(const QDate& date, double minutes)
{
    return QDateTime(date, QTime(0, 0), Qt::UTC).addSecs(std::llround(minutes * 60.0));
}

QString clock(const QDateTime& time)
{
    return time.toString(u"HH:mm");
}

} // namespace

int nightMarginMinutes(double latitudeDeg)
{
    return std::abs(latitudeDeg) <= 30.0 ? 15 : 30;
}

SunTimes sunTimes(double latitudeDeg, double longitudeDeg, const QDate& date)
{
    SunTimes sun;
    sun.nightMarginMin = nightMarginMinutes(latitudeDeg);
    const DayEvents today = eventsOn(latitudeDeg, longitudeDeg, date);
    sun.kind = today.kind;
    if (today.kind != DayKind::Normal)
        return sun;
    sun.sunriseUtc = atMinutes(date, today.sunriseMin);
    sun.sunsetUtc = atMinutes(date, today.sunsetMin);
    const DayEvents tomorrow = eventsOn(latitudeDeg, longitudeDeg, date.addDays(1));
    if (tomorrow.kind == DayKind::PolarDay)
        return sun; // the sun is back up before the night could begin
    const qint64 margin = sun.nightMarginMin * 60;
    sun.nightFromUtc = sun.sunsetUtc.addSecs(margin);
    if (tomorrow.kind == DayKind::Normal) {
        sun.nightUntilUtc = atMinutes(date.addDays(1), tomorrow.sunriseMin).addSecs(-margin);
        if (sun.nightUntilUtc <= sun.nightFromUtc) // a summer twilight at high latitude
            sun.nightFromUtc = sun.nightUntilUtc = QDateTime();
    }
    return sun;
}

QString daylightLine(const SunTimes& sun, const QTimeZone& localZone)
{
    switch (sun.kind) {
    case DayKind::PolarDay:
        return u"Jour polaire : le soleil ne se couche pas, pas de nuit aéronautique"_s;
    case DayKind::PolarNight:
        return u"Nuit polaire : le soleil ne se lève pas, nuit aéronautique toute la journée"_s;
    case DayKind::Normal:
        break;
    }
    QString line = u"Lever "_s + clock(sun.sunriseUtc) + u" UTC ("_s + clock(sun.sunriseUtc.toTimeZone(localZone))
        + u") — coucher "_s + clock(sun.sunsetUtc) + u" UTC ("_s + clock(sun.sunsetUtc.toTimeZone(localZone))
        + u") — "_s;
    if (!sun.nightFromUtc.isValid())
        return line + u"pas de nuit aéronautique"_s;
    if (!sun.nightUntilUtc.isValid())
        return line + u"nuit aéronautique à partir de "_s + clock(sun.nightFromUtc) + u" UTC"_s;
    return line + u"nuit aéronautique de "_s + clock(sun.nightFromUtc) + u" à "_s + clock(sun.nightUntilUtc)
        + u" UTC"_s;
}

} // namespace Daylight
