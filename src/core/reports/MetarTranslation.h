#pragma once

#include <QString>

namespace Metar {

/// Translates a decoded METAR text into French with the fixed, ordered list of literal replacements.
/// Nothing is parsed: an English phrase without a row stays as it is.
QString TranslateMetar(const QString& text);

/// The report title: "METAR de " + the four characters that begin five characters before the first
/// "UTC" of the translated text + " UTC"; "METAR de " + code when the text has no such four characters.
QString MetarTitle(const QString& translated, const QString& code);

} // namespace Metar
