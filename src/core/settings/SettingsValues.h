#pragma once

#include <QString>

namespace SettingsValues {

/// The report-type button named by a stored "Info" text: its leading number (blanks skipped, 0 when the
/// text does not begin with a number) rounded half to even. A value that names no button (below 0 or
/// above 2) selects METAR, the first-run type.
int reportTypeFromInfo(const QString& info);

} // namespace SettingsValues
