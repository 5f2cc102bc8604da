#include "reports/MetarStyle.h"

#include "reports/TextOps.h"

namespace Metar {
namespace {

constexpr quint32 kOrange = 0xFF8000;
constexpr quint32 kDarkBlue = 0x0000C0;
constexpr quint32 kDarkRed = 0xC00000;
constexpr quint32 kGrey = 0xC0C0C0;
constexpr qreal kTemperatureSize = 14.0;
constexpr qsizetype kRawReportSpan = 1000;

} // namespace

StyleSpans MetarStyleSpans(const QString& text)
{
    using TextOps::Find;
    StyleSpans spans;

    // Visibility: from the word to the next line break, its carriage return included.
    {
        const qsizetype p = Find(text, u"Visibilité") - 1;
        const qsizetype e = Find(text, u"\r\n", p);
        if (p > 0 && e > 0)
            AddSpan(spans, text.size(), p, e - p, true, kOrange);
    }

    // Wind: the heading with its colon, then the second bracketed group after it (the speed in knots).
    if (const qsizetype p = Find(text, u"Vent") - 1; p >= 0) {
        const qsizetype c = Find(text, u":", p);
        if (c > 0)
            AddSpan(spans, text.size(), p, c - p, true, kDarkBlue);
        const qsizetype a = Find(text, u"(", p);
        const qsizetype b = a > 0 ? Find(text, u")", a) - 1 : -1;
        if (b >= 0) {
            const qsizetype a2 = Find(text, u"(", b);
            const qsizetype b2 = a2 > 0 ? Find(text, u")", a2) - 1 : -1;
            if (a2 > 0 && b2 >= 0)
                AddSpan(spans, text.size(), a2, b2 - a2, true, kDarkBlue);
        }
    }

    // Temperature: the heading, then the Celsius value that opens what follows it ("Température: 10°C (50°F)").
    {
        const qsizetype p = Find(text, u"Température:") - 1;
        const qsizetype c = Find(text, u":", p);
        if (p > 0 && c > 0)
            AddSpan(spans, text.size(), p, c - p, true, kDarkRed);
        // Without the heading there is no temperature value to look for.
        const qsizetype e = p >= 0 ? Find(text, u"°C", c) : 0;
        if (e > 0)
            AddSpan(spans, text.size(), c + 1, e + 1 - (c + 1), true, kDarkRed, kTemperatureSize);
    }

    // Raw report: the heading and the coded report after it, greyed.
    if (const qsizetype p = Find(text, u"METAR complet") - 1; p >= 0)
        AddSpan(spans, text.size(), p, kRawReportSpan, false, kGrey);

    return spans;
}

} // namespace Metar
