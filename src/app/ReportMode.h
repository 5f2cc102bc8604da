#pragma once

#include "CommandLine.h"
#include "reports/ShownReport.h"

#include <QString>

namespace ReportMode {

/// The shown report as one JSON object: code, type, title, visibilities, banner, background, text
/// (line breaks as CR LF), the runs of one look each that make up the text, and @p error, the failure's
/// Failure::Key ("" when the report was fetched).
QString Json(const ShownReport& report, const QString& code, int type, const QString& error);

/// The title, an empty line, then the report text.
QString Text(const ShownReport& report);

/// Builds the real window without showing it, requests the report and prints it on standard output.
/// Settings stay in memory and work files in a temporary folder removed at exit.
/// Returns 0 when the report was fetched, 1 when the download failed.
int Run(const CommandLine& line);

} // namespace ReportMode
