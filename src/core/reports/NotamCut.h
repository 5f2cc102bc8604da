#pragma once

#include <QString>

namespace Notam {

/// The NOTAM block of the provider's page for @p code, ready to show: the text between "(NOTAMS)" and
/// the next "</pre>" (from the 8th character when the first marker is absent, the whole page when the
/// second is), without its leading blanks, a separator line of its own before every NOTAM line (after
/// the first) that begins with the code, and the page's 75-hyphen rule lines tagged " (Fin)". @p pageText holds the
/// page's bytes as single-byte characters. Never fails: a marker or a cut that is not there leaves the text as it was.
QString cut(const QString& pageText, const QString& code);

} // namespace Notam
