#include "settings/SettingsValues.h"

#include <cmath>

namespace SettingsValues {
namespace {

bool isBlank(QChar c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The number @p text begins with once blanks are skipped ("2", "-1.5", ".5", "1e0"), or nothing. Read by
// hand rather than by a regular expression: this runs at every start, before the first report.
QStringView leadingNumber(QStringView text)
{
    const auto digitsEnd = [text](qsizetype from) {
        while (from < text.size() && isDigit(text[from]))
            ++from;
        return from;
    };
    qsizetype start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    qsizetype end = start;
    if (end < text.size() && (text[end] == u'+' || text[end] == u'-'))
        ++end;
    const qsizetype digits = end;
    end = digitsEnd(end);
    const bool whole = end > digits;
    if (end < text.size() && text[end] == u'.')
        end = digitsEnd(end + 1);
    // A point needs a digit on one side at least.
    if (!whole && end - digits < 2)
        return {};
    if (end < text.size() && (text[end] == u'e' || text[end] == u'E')) {
        qsizetype exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == u'+' || text[exponent] == u'-'))
            ++exponent;
        if (const qsizetype exponentEnd = digitsEnd(exponent); exponentEnd > exponent)
            end = exponentEnd;
    }
    return text.sliced(start, end - start);
}

} // namespace

int reportTypeFromInfo(const QString& info)
{
    const QStringView number = leadingNumber(info);
    if (number.isEmpty())
        return 0;
    const double value = number.toDouble();
    if (!std::isfinite(value))
        return 0;
    const double rounded = std::nearbyint(value); // the default rounding mode rounds halves to even
    if (rounded < 0 || rounded > 2)
        return 0;
    return static_cast<int>(rounded);
}

} // namespace SettingsValues
