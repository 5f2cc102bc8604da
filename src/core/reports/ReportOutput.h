#pragma once

#include "reports/DecodedReport.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

namespace Stations {
class StationTable;
}

/// A station as the directory describes it; empty texts for a code the directory does not know.
struct StationInfo
{
    QString code;
    QString name; ///< the aerodrome's name, where the station data has one
    QString city;
    QString country;
};

/// The report as the report mode writes it for scripts and terminals.
namespace ReportOutput {

/// One JSON object. Keys (every one always present; null where the value is unknown): code, demo, type, title,
/// titleVisible, reportVisible, bannerVisible, banner, background, text (CR LF line breaks), runs (text,
/// color, bold, size), error (the failure's key, "" when fetched), station (code, name, city, country),
/// raw, fetched, source, stale, observed, issued, validFrom, validTo (times in ISO 8601 UTC), notams (the
/// NOTAMs as Notam::toJson gives them, in the order of the text, expired last; an empty array for a block
/// without NOTAM, null for a METAR, a TAF or a request that failed); what a pilot reads first: ageMinutes,
/// conditions ("VMC", "marginal", "IMC"), ceilingFt, visibilityM, sun (sunrise, sunset, nightStart,
/// nightEnd; null without the station's position), pressureAltitudeFt, densityAltitudeFt, pilotLine.
QByteArray json(const DecodedReport& report, const StationInfo& station);
/// The object json() writes.
QJsonObject object(const DecodedReport& report, const StationInfo& station);

/// @p code as the report mode describes it from @p table: city and country, empty texts for an unknown code.
StationInfo stationInfo(const Stations::StationTable& table, const QString& code);

/// "DÉMONSTRATION" on its own line for a sample, the banner of a stale report on its own line, the title, an empty
/// line, then the report text.
QString text(const DecodedReport& report);

} // namespace ReportOutput
