#pragma once

#include "reports/DecodedReport.h"

#include <QDateTime>
#include <QString>

#include <memory>

class QTextDocument;

namespace Stations {
class StationTable;
}

/// The briefing that leaves the window (saved, printed, exported, written by the report mode): one document
/// built here for every output, so they never disagree.
namespace BriefingDocument {

/// Everything a briefing shows: the station and its report, with when and where it was fetched.
struct Briefing
{
    DecodedReport report;
    QString description; ///< "Country, City"; empty for a station the directory does not know
};

/// "Country, City" of @p code in @p table, or an empty text when the table has no such code.
QString StationDescription(const Stations::StationTable& table, const QString& code);

/// The document's title: "Bulletin LFPG — METAR".
QString Title(const Briefing& briefing);

/// The heading (station, stale banner, report title, pilot line, fetch time and address), then the report text with
/// the colours, weights and sizes it has on screen.
std::unique_ptr<QTextDocument> Build(const Briefing& briefing);

} // namespace BriefingDocument
