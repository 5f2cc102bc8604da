#pragma once

#include "CommandLine.h"

/// The flight dossier without a window: every report fetched, the dossier written, then the program ends.
namespace DossierMode {

/// Fetches the dossier the command line asks for and writes it, on standard output or whole into the --output
/// file, even when some reports could not be had (their sections say why, and so does standard error).
/// Returns 0 when every report was fetched, 1 when one was not or the dossier could not be written, 2 when the
/// stations or times make no flight (the reason on standard error).
int run(const CommandLine& line);

} // namespace DossierMode
