#include "reports/MetarStyle.h"

#include <algorithm>

namespace Metar {
namespace {

constexpr quint32 kOrange = 0xFF8000;
constexpr quint32 kDarkBlue = 0x0000C0;
constexpr quint32 kDarkRed = 0xC00000;
constexpr quint32 kGrey = 0xC0C0C0;
constexpr qreal kTemperatureSize = 14.0;
constexpr qsizetype kRawReportSpan = 1000;

} // namespace

StyleSpans styleSpans(const QString& text)
{
    StyleSpans spans;
    // A search that goes on from a heading starts one character before it, so a colon or a bracket just
    // in front of the heading still counts.
    const auto searchFrom = [](qsizetype heading) { return std::max<qsizetype>(heading - 1, 0); };

    // Visibility: from the word to the next line break, its carriage return included.
    if (const qsizetype heading = text.indexOf(u"Visibilité"); heading > 0) {
        if (const qsizetype lineBreak = text.indexOf(u"\r\n", heading); lineBreak >= 0)
            addSpan(spans, text.size(), heading, lineBreak + 1 - heading, true, kOrange);
    }

    // Wind: the heading with its colon, then the second bracketed group after it (the speed in knots).
    if (const qsizetype heading = text.indexOf(u"Vent"); heading >= 0) {
        const qsizetype colon = text.indexOf(u':', searchFrom(heading));
        if (colon >= 0)
            addSpan(spans, text.size(), heading, colon + 1 - heading, true, kDarkBlue);
        const qsizetype firstOpen = text.indexOf(u'(', searchFrom(heading));
        const qsizetype firstClose = firstOpen >= 0 ? text.indexOf(u')', firstOpen) : -1;
        if (firstClose >= 0) {
            const qsizetype secondOpen = text.indexOf(u'(', searchFrom(firstClose));
            const qsizetype secondClose = secondOpen >= 0 ? text.indexOf(u')', secondOpen) : -1;
            if (secondClose >= 0)
                addSpan(spans, text.size(), secondOpen + 1, secondClose - (secondOpen + 1), true, kDarkBlue);
        }
    }

    // Temperature: the heading, then the Celsius value that opens what follows it ("Température: 10°C (50°F)").
    {
        const qsizetype heading = text.indexOf(u"Température:");
        const qsizetype colon = text.indexOf(u':', searchFrom(heading));
        if (heading > 0 && colon >= 0)
            addSpan(spans, text.size(), heading, colon + 1 - heading, true, kDarkRed);
        // Without the heading there is no temperature value to look for. The value starts after the
        // colon's blank and runs through the degree sign and the C.
        const qsizetype degrees = heading >= 0 ? text.indexOf(u"°C", std::max<qsizetype>(colon, 0)) : -1;
        if (degrees >= 0)
            addSpan(spans, text.size(), colon + 2, degrees - colon, true, kDarkRed, kTemperatureSize);
    }

    // Raw report: the heading and the coded report after it, greyed.
    if (const qsizetype heading = text.indexOf(u"METAR complet"); heading >= 0)
        addSpan(spans, text.size(), heading, kRawReportSpan, false, kGrey);

    return spans;
}

} // namespace Metar
