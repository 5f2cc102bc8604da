#pragma once

#include "briefing/BriefingDocument.h"
#include "reports/FlightDossier.h"

/// The flight dossier as a document for every output (preview, text, web page, PDF, printer).
namespace DossierDocument {

/// "Dossier de vol LFPG → LFRS".
QString title(const FlightDossier::Dossier& dossier);

/// The heading (route, times, when it was obtained, how many reports are missing), then one section per station
/// in route order: its role, code and place; for the destination and the alternates what the TAF says at the
/// arrival, TEMPO and PROB groups marked "Attention"; then the METAR, the TAF and the NOTAMs as a briefing writes
/// each, a report that could not be had with its reason.
BriefingDocument::Document compose(const FlightDossier::Dossier& dossier);

} // namespace DossierDocument
