#pragma once

#include "CommandLine.h"

/// --near and --search: stations listed on standard output without a window, then the program ends.
namespace StationQueryMode {

/// Writes the ten stations nearest to the code, or the stations matching the text, as JSON or text.
/// Returns 0, or 2 for a code the directory does not know or whose position is unknown (why, in French, on
/// standard error).
int run(const CommandLine::StationQuery& query);

} // namespace StationQueryMode
