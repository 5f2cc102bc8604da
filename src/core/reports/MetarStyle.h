#pragma once

#include "reports/StyleSpan.h"

#include <QString>

namespace Metar {

/// The spans that make visibility, wind, temperature and the raw report stand out, in the order they
/// are applied (later spans override earlier ones where they overlap). @p areaText is the report area's
/// text with CR LF line breaks. A heading or bracket that cannot be found only drops its own span.
StyleSpans styleSpans(const QString& areaText);

} // namespace Metar
