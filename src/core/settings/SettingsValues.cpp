#include "settings/SettingsValues.h"

#include <QRegularExpression>

#include <cmath>

namespace SettingsValues {

int ReportTypeFromInfo(const QString& info)
{
    static const QRegularExpression leadingNumber(u"^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"_qs);
    const QRegularExpressionMatch match = leadingNumber.match(info);
    if (!match.hasMatch())
        return 0;
    const double value = match.captured(1).toDouble();
    if (!std::isfinite(value))
        return 0;
    const double rounded = std::nearbyint(value); // the default rounding mode rounds halves to even
    if (rounded < 0 || rounded > 2)
        return 0;
    return static_cast<int>(rounded);
}

} // namespace SettingsValues
