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
QString stationDescription(const Stations::StationTable& table, const QString& code);

/// The document's title: "Bulletin LFPG — METAR".
QString title(const Briefing& briefing);

/// One paragraph: the runs of text that make it, each with its look (a run's size is never 0).
using Paragraph = QList<TextRun>;

/// The heading (station, stale banner, report title, fetch time and address without the user name and
/// password it may hold), a blank line, then the report text with the colours, weights and sizes it has on
/// screen, one paragraph per line. Every output is made from these.
QList<Paragraph> paragraphs(const Briefing& briefing);

/// The report's own paragraphs, as paragraphs() writes them under the station's heading: the stale banner, the
/// title, the pilot line, the fetch time and address, a blank line and the text.
QList<Paragraph> reportParagraphs(const DecodedReport& report);

/// A document ready for any output: its title and its paragraphs. A briefing is one; a flight dossier another.
struct Document
{
    QString title;
    QList<Paragraph> paragraphs;
};

/// The briefing's title and paragraphs.
Document compose(const Briefing& briefing);

/// The paragraphs as a rich text document.
std::unique_ptr<QTextDocument> build(const Briefing& briefing);
std::unique_ptr<QTextDocument> build(const Document& document);

} // namespace BriefingDocument
