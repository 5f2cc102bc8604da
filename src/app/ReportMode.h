#pragma once

#include "CommandLine.h"

/// The report mode: one report fetched and written without a window, then the program ends.
namespace ReportMode {

/// Whether @p format needs a QGuiApplication (fonts and pages for the briefing); JSON and text do not.
bool needsGui(CommandLine::Format format);

/// Fetches the report the command line asks for and writes it, on standard output or whole into the
/// --output file. Settings stay in memory and work files in a temporary folder removed at exit.
/// Returns 0 when the report was fetched, 1 when it could not be (or could not be written).
int run(const CommandLine& line);

} // namespace ReportMode
