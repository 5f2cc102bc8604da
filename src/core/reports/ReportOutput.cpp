#include "reports/ReportOutput.h"

#include "reports/Sources.h"
#include "stations/StationGeography.h"
#include "stations/StationTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace ReportOutput {
namespace {

QString hexColour(quint32 rgb)
{
    return u"#%1"_s.arg(rgb & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
}

QJsonValue time(const QDateTime& utc)
{
    return utc.isValid() ? QJsonValue(utc.toUTC().toString(Qt::ISODate)) : QJsonValue(QJsonValue::Null);
}

QJsonValue textOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

// Null unless the report is a fetched NOTAM block, so a script tells "no NOTAM" from "no NOTAM list".
QJsonValue notams(const DecodedReport& report)
{
    if (report.type != ReportType::Notam || !report.fetched())
        return QJsonValue::Null;
    QJsonArray list;
    for (const Notam::Entry& entry : report.notams)
        list.append(Notam::toJson(entry.item, report.fetchedUtc, entry.aroundField));
    return list;
}

QJsonValue numberOrNull(const std::optional<int>& value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue conditionsKey(Conditions::Category category)
{
    switch (category) {
    case Conditions::Category::Vmc:
        return u"VMC"_s;
    case Conditions::Category::Marginal:
        return u"marginal"_s;
    case Conditions::Category::Imc:
        return u"IMC"_s;
    case Conditions::Category::Unknown:
        break;
    }
    return QJsonValue(QJsonValue::Null);
}

// What a pilot reads first, in keys of its own so that a script never parses the French line.
void addPilotKeys(QJsonObject& object, const PilotFacts& pilot)
{
    object.insert(u"ageMinutes"_s, numberOrNull(pilot.ageMinutes));
    object.insert(u"conditions"_s, conditionsKey(pilot.conditions.category));
    object.insert(u"ceilingFt"_s, numberOrNull(pilot.conditions.ceilingFt));
    object.insert(u"visibilityM"_s, numberOrNull(pilot.conditions.visibilityM));
    object.insert(u"sun"_s,
        pilot.sun ? QJsonValue(
            QJsonObject { { u"sunrise"_s, time(pilot.sun->sunriseUtc) }, { u"sunset"_s, time(pilot.sun->sunsetUtc) },
                { u"nightStart"_s, time(pilot.sun->nightFromUtc) }, { u"nightEnd"_s, time(pilot.sun->nightUntilUtc) } })
                  : QJsonValue(QJsonValue::Null));
    const auto altitude = [&](int Density::DensityAltitude::*member) {
        return pilot.density ? QJsonValue(*pilot.density.*member) : QJsonValue(QJsonValue::Null);
    };
    object.insert(u"pressureAltitudeFt"_s, altitude(&Density::DensityAltitude::pressureAltitudeFt));
    object.insert(u"densityAltitudeFt"_s, altitude(&Density::DensityAltitude::densityAltitudeFt));
    object.insert(u"pilotLine"_s, textOrNull(pilot.line));
}

} // namespace

QByteArray json(const DecodedReport& report, const StationInfo& station)
{
    return QJsonDocument(object(report, station)).toJson(QJsonDocument::Indented);
}

StationInfo stationInfo(const Stations::StationTable& table, const QString& code)
{
    const std::optional<int> index = table.indexOfCode(code);
    if (!index)
        return StationInfo { code, {}, {}, {} };
    return StationInfo { code, Stations::aerodromeOf(code), table.city(*index), table.country(*index) };
}

QJsonObject object(const DecodedReport& report, const StationInfo& station)
{
    QJsonArray runs;
    for (const TextRun& run : Reports::reportRuns(report)) {
        runs.append(QJsonObject { { u"text"_s, run.text }, { u"color"_s, hexColour(run.rgb) }, { u"bold"_s, run.bold },
            { u"size"_s, run.pointSize } });
    }
    QJsonObject object {
        { u"code"_s, report.code },
        { u"demo"_s, report.demo },
        { u"type"_s, reportTypeName(report.type) },
        { u"title"_s, report.title },
        { u"titleVisible"_s, !report.empty },
        { u"reportVisible"_s, !report.empty },
        { u"bannerVisible"_s, report.bannerShown },
        { u"banner"_s, report.banner },
        { u"background"_s, hexColour(report.background) },
        { u"text"_s, report.text },
        { u"runs"_s, runs },
        { u"error"_s, Failure::key(report.failure) },
        { u"station"_s,
            QJsonObject { { u"code"_s, station.code }, { u"name"_s, station.name }, { u"city"_s, station.city },
                { u"country"_s, station.country } } },
        { u"raw"_s, report.fetched() ? QJsonValue(report.received) : QJsonValue(QJsonValue::Null) },
        { u"fetched"_s, time(report.fetchedUtc) },
        { u"source"_s, textOrNull(SourceAddress::forDisplay(report.source)) },
        { u"stale"_s, report.stale },
        { u"observed"_s, time(report.observedUtc) },
        { u"issued"_s, time(report.issuedUtc) },
        { u"validFrom"_s, time(report.validFromUtc) },
        { u"validTo"_s, time(report.validToUtc) },
        { u"notams"_s, notams(report) },
    };
    addPilotKeys(object, report.pilot);
    return object;
}

QString text(const DecodedReport& report)
{
    // A stale report must not read as current once out of the window: its banner leads, as on screen.
    const QString banner = report.stale && report.bannerShown ? report.banner + u'\n' : QString();
    const QString demo = report.demo ? Reports::kDemoStrip + u'\n' : QString();
    return demo + banner + report.title + u"\n\n"_s + report.text + u'\n';
}

} // namespace ReportOutput
