#include "reports/ReportOutput.h"

#include "reports/Sources.h"
#include "stations/StationGeography.h"
#include "stations/StationTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ReportOutput {
namespace {

QString hexColour(quint32 rgb)
{
    return u"#%1"_qs.arg(rgb & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
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
        return u"VMC"_qs;
    case Conditions::Category::Marginal:
        return u"marginal"_qs;
    case Conditions::Category::Imc:
        return u"IMC"_qs;
    case Conditions::Category::Unknown:
        break;
    }
    return QJsonValue(QJsonValue::Null);
}

// What a pilot reads first, in keys of its own so that a script never parses the French line.
void addPilotKeys(QJsonObject& object, const PilotFacts& pilot)
{
    object.insert(u"ageMinutes"_qs, numberOrNull(pilot.ageMinutes));
    object.insert(u"conditions"_qs, conditionsKey(pilot.conditions.category));
    object.insert(u"ceilingFt"_qs, numberOrNull(pilot.conditions.ceilingFt));
    object.insert(u"visibilityM"_qs, numberOrNull(pilot.conditions.visibilityM));
    object.insert(u"sun"_qs,
        pilot.sun ? QJsonValue(QJsonObject { { u"sunrise"_qs, time(pilot.sun->sunriseUtc) },
            { u"sunset"_qs, time(pilot.sun->sunsetUtc) }, { u"nightStart"_qs, time(pilot.sun->nightFromUtc) },
            { u"nightEnd"_qs, time(pilot.sun->nightUntilUtc) } })
                  : QJsonValue(QJsonValue::Null));
    const auto altitude = [&](int Density::DensityAltitude::*member) {
        return pilot.density ? QJsonValue(*pilot.density.*member) : QJsonValue(QJsonValue::Null);
    };
    object.insert(u"pressureAltitudeFt"_qs, altitude(&Density::DensityAltitude::pressureAltitudeFt));
    object.insert(u"densityAltitudeFt"_qs, altitude(&Density::DensityAltitude::densityAltitudeFt));
    object.insert(u"pilotLine"_qs, textOrNull(pilot.line));
}

} // namespace

QByteArray json(const DecodedReport& report, const StationInfo& station)
{
    return QJsonDocument(object(report, station)).toJson(QJsonDocument::Indented);
}

StationInfo stationInfo(const Stations::StationTable& table, const QString& code)
{
    const int index = table.indexOfCode(code);
    if (index == 0)
        return StationInfo { code, {}, {}, {} };
    return StationInfo { code, Stations::aerodromeOf(code), table.city(index), table.country(index) };
}

QJsonObject object(const DecodedReport& report, const StationInfo& station)
{
    QJsonArray runs;
    for (const TextRun& run : Reports::reportRuns(report)) {
        runs.append(QJsonObject { { u"text"_qs, run.text }, { u"color"_qs, hexColour(run.rgb) },
            { u"bold"_qs, run.bold }, { u"size"_qs, run.pointSize } });
    }
    QJsonObject object {
        { u"code"_qs, report.code },
        { u"demo"_qs, report.demo },
        { u"type"_qs, reportTypeName(report.type) },
        { u"title"_qs, report.title },
        { u"titleVisible"_qs, !report.empty },
        { u"reportVisible"_qs, !report.empty },
        { u"bannerVisible"_qs, report.bannerShown },
        { u"banner"_qs, report.banner },
        { u"background"_qs, hexColour(report.background) },
        { u"text"_qs, report.text },
        { u"runs"_qs, runs },
        { u"error"_qs, Failure::Key(report.failure) },
        { u"station"_qs,
            QJsonObject { { u"code"_qs, station.code }, { u"name"_qs, station.name }, { u"city"_qs, station.city },
                { u"country"_qs, station.country } } },
        { u"raw"_qs, report.fetched() ? QJsonValue(report.received) : QJsonValue(QJsonValue::Null) },
        { u"fetched"_qs, time(report.fetchedUtc) },
        { u"source"_qs, textOrNull(SourceAddress::ForDisplay(report.source)) },
        { u"stale"_qs, report.stale },
        { u"observed"_qs, time(report.observedUtc) },
        { u"issued"_qs, time(report.issuedUtc) },
        { u"validFrom"_qs, time(report.validFromUtc) },
        { u"validTo"_qs, time(report.validToUtc) },
        { u"notams"_qs, notams(report) },
    };
    addPilotKeys(object, report.pilot);
    return object;
}

QString text(const DecodedReport& report)
{
    // A stale report must not read as current once out of the window: its banner leads, as on screen.
    const QString banner = report.stale && report.bannerShown ? report.banner + u'\n' : QString();
    const QString demo = report.demo ? Reports::kDemoStrip + u'\n' : QString();
    return demo + banner + report.title + u"\n\n"_qs + report.text + u'\n';
}

} // namespace ReportOutput
