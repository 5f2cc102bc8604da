#pragma once

#include "CommandLine.h"
#include "reports/DecodedReport.h"
#include "stations/StationTable.h"

#include <QIODevice>

#include <functional>
#include <optional>

/// The report mode: one report fetched and written without a window, then the program ends.
namespace ReportMode {

/// Whether @p format needs a QGuiApplication (fonts and pages for the briefing); JSON and text do not.
bool needsGui(CommandLine::Format format);

/// Whether @p request asks only for data on standard output, which the small report program writes itself
/// without the graphical library; briefings and files named by --output are left to the full program.
bool writesDataOnly(const CommandLine::ReportRequest& request);

/// Fetches the report the command line asks for and writes it, on standard output or whole into the
/// --output file. Settings stay in memory and work files in a temporary folder removed at exit.
/// Returns 0 when the report was fetched, 1 when it could not be (or could not be written).
int run(const CommandLine& line);

/// The same for a request writesDataOnly() accepts; the small report program's whole work.
int runDataOnly(const CommandLine& line);

/// A fetched report and what the station table knows of its station.
struct FetchedReport
{
    DecodedReport report;
    Stations::StationTable stations;
};

/// Fetches the report of @p line, telling on standard error why when it fails; nothing when no work folder
/// could be made (said on standard error too).
std::optional<FetchedReport> fetchTellingWhy(const CommandLine& line);

/// The JSON or the text of @p fetched.
QByteArray dataOf(const FetchedReport& fetched, const CommandLine::ReportRequest& request);

/// Writes through @p write on standard output; false when it could not be written whole.
bool writeToStandardOutput(const std::function<bool(QIODevice&)>& write);

} // namespace ReportMode
