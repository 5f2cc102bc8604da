#pragma once

#include <QString>

namespace Metar {

/// Translates a decoded METAR text into French with the fixed, ordered list of literal replacements, then
/// the rows written as patterns for the English whose figures vary (the date line, miles and °F given first,
/// the pressure tendency). An English phrase without a row stays as it is.
QString translate(const QString& text);

/// The report title: "METAR de " + the four characters that begin five characters before the first
/// "UTC" of the translated text + " UTC"; "METAR de " + code when the text has no such four characters.
QString title(const QString& translated, const QString& code);

} // namespace Metar
