#include "reports/PilotFacts.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace Pilot {
namespace {

const QString kSeparator = u" · "_s;

std::optional<int> minutesBetween(const QDateTime& fromUtc, const QDateTime& toUtc)
{
    if (!fromUtc.isValid() || !toUtc.isValid())
        return std::nullopt;
    return static_cast<int>(fromUtc.secsTo(toUtc) / 60);
}

QString hourMinute(const QDateTime& utc)
{
    return utc.toUTC().toString(u"HH:mm"_s);
}

// The parts that do not depend on the report's type, appended in the order a pilot scans them.
void appendSun(QStringList& parts, const std::optional<Daylight::SunTimes>& sun)
{
    if (sun)
        parts.append(sunPhrase(*sun));
}

} // namespace

std::optional<Daylight::SunTimes> sunAt(const std::optional<Stations::StationPlace>& place, const QDateTime& fetchedUtc)
{
    if (!place || !fetchedUtc.isValid())
        return std::nullopt;
    return Daylight::sunTimes(place->latitudeDeg, place->longitudeDeg, fetchedUtc.toUTC().date());
}

QString sunPhrase(const Daylight::SunTimes& sun)
{
    switch (sun.kind) {
    case Daylight::DayKind::PolarDay:
        return u"Jour polaire"_s;
    case Daylight::DayKind::PolarNight:
        return u"Nuit polaire"_s;
    case Daylight::DayKind::Normal:
        break;
    }
    return u"Lever %1 — coucher %2 UTC"_s.arg(hourMinute(sun.sunriseUtc), hourMinute(sun.sunsetUtc));
}

PilotFacts metarFacts(const QString& rawMetar, const QDateTime& observedUtc, const QDateTime& fetchedUtc,
    const std::optional<Stations::StationPlace>& place, const PilotLimits& limits, const QTimeZone& localZone)
{
    PilotFacts facts;
    facts.ageMinutes = minutesBetween(observedUtc, fetchedUtc);
    facts.ageClass = ReportTimes::ageClass(observedUtc, fetchedUtc, limits.ageOrangeMinutes, limits.ageRedMinutes);
    if (observedUtc.isValid())
        facts.timesLine = ReportTimes::metarTimeLine(observedUtc, fetchedUtc, localZone);
    facts.conditions = Conditions::conditionsOf(rawMetar, limits.conditions);
    facts.sun = sunAt(place, fetchedUtc);
    // Another station's elevation would give a wrong altitude with every look of a right one.
    if (place && place->elevationFt)
        facts.density = Density::densityAltitudeOf(rawMetar, *place->elevationFt);

    QStringList parts;
    if (!facts.timesLine.isEmpty())
        parts.append(facts.timesLine);
    if (facts.conditions.category != Conditions::Category::Unknown)
        parts.append(Conditions::categoryWord(facts.conditions.category));
    appendSun(parts, facts.sun);
    if (facts.density && facts.density->worthShowing)
        parts.append(Density::densityLine(*facts.density, *place->elevationFt));
    facts.line = parts.join(kSeparator);
    return facts;
}

PilotFacts tafFacts(const QDateTime& issuedUtc, const QDateTime& validFromUtc, const QDateTime& validToUtc,
    const QDateTime& fetchedUtc, const std::optional<Stations::StationPlace>& place, const QTimeZone& localZone)
{
    PilotFacts facts;
    facts.ageMinutes = minutesBetween(issuedUtc, fetchedUtc);
    // A forecast is made to be read for a day: its colour says whether it still covers now, not its age.
    const bool covering = validToUtc.isValid() && fetchedUtc.isValid() && fetchedUtc < validToUtc;
    facts.ageClass = covering ? ReportTimes::AgeClass::Normal : ReportTimes::AgeClass::Red;
    if (issuedUtc.isValid() && validFromUtc.isValid() && validToUtc.isValid())
        facts.timesLine = ReportTimes::tafTimeLine(issuedUtc, validFromUtc, validToUtc, fetchedUtc, localZone);
    facts.sun = sunAt(place, fetchedUtc);

    QStringList parts;
    if (!facts.timesLine.isEmpty())
        parts.append(facts.timesLine);
    appendSun(parts, facts.sun);
    facts.line = parts.join(kSeparator);
    return facts;
}

} // namespace Pilot
