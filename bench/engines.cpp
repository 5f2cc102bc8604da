// Median time of the report text engines on a typical report, on 200 KB inputs and on the worst TAF texts.
#include "Median.h"
#include "reports/MetarStyle.h"
#include "reports/MetarTranslation.h"
#include "reports/NotamCut.h"
#include "reports/TafDecoder.h"

#include <QElapsedTimer>
#include <QList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype k200KB = 200 * 1024;

QString repeatTo(const QString& piece, qsizetype size)
{
    QString text;
    while (text.size() < size)
        text += piece;
    return text;
}

void report(const char* what, double microseconds)
{
    std::printf("%-52s %10.3f ms\n", what, microseconds / 1000.0);
}

} // namespace

int main()
{
    const QString taf = u"TAF LFPG 151100Z 1512/1618 24010KT 9999 BKN030 TEMPO 1512/1516 4000 -SHRA BKN015CB PROB30 "
                        u"TEMPO 1603/1607 BKN005 TX18/1514Z TNM02/1606Z "_s;
    const QDate today(2026, 12, 15);
    report("TAF, one forecast", 1000.0 * medianMs(2000, [&] { Taf::buildReport(taf, u"LFPG"_s, today); }));

    // A long forecast text: the station's forecast followed by change groups that differ from each other.
    QString longTaf = taf;
    for (int i = 0; longTaf.size() < k200KB; ++i) {
        longTaf += u"BECMG %1/%2 %3%4KT 6000 SCT0%5 "_s.arg(1512 + i % 12)
                       .arg(1600 + i % 18)
                       .arg(10 * (i % 36), 3, 10, QLatin1Char('0'))
                       .arg(i % 40, 2, 10, QLatin1Char('0'))
                       .arg(10 + i % 80);
    }
    report("TAF, 200 KB of change groups", 1000.0 * medianMs(11, [&] { Taf::buildReport(longTaf, u"LFPG"_s, today); }));
    QString hugeTaf = taf;
    for (int i = 0; hugeTaf.size() < 8 * 1024 * 1024; ++i)
        hugeTaf += u"BECMG %1/%2 %3KT "_s.arg(1000 + i % 9000).arg(i).arg(i, 5, 10, QLatin1Char('0'));
    report("TAF, 8 MiB of distinct groups", 1000.0 * medianMs(3, [&] { Taf::buildReport(hugeTaf, u"LFPG"_s, today); }));
    // The worst texts for the decoder: every group distinct and rewritten (each once cost a pass over the
    // whole text), at the largest size decoded in full and at the largest size the downloader accepts.
    const auto distinctGroups = [&](qsizetype size, const QString& pattern) {
        QString text = taf;
        for (int i = 0; text.size() < size; ++i)
            text += pattern.arg(i);
        return text;
    };
    for (const auto& [what, pattern] : { std::pair { "FM", u"FM%1 "_s }, std::pair { "VV", u"VV%1 "_s } }) {
        const QString text = distinctGroups(64 * 1024, pattern);
        report(qPrintable(u"TAF, 64 KiB of distinct %1 groups"_s.arg(QLatin1String(what))),
            1000.0 * medianMs(3, [&] { Taf::buildReport(text, u"LFPG"_s, today); }));
    }
    const QString hugeFm = distinctGroups(8 * 1024 * 1024, u"FM%1 "_s);
    report(
        "TAF, 8 MiB of distinct FM groups", 1000.0 * medianMs(3, [&] { Taf::buildReport(hugeFm, u"LFPG"_s, today); }));
    const QString blankPairs = taf + repeatTo(u"FM1  "_s, 8 * 1024 * 1024);
    report(
        "TAF, 8 MiB of double blanks", 1000.0 * medianMs(3, [&] { Taf::buildReport(blankPairs, u"LFPG"_s, today); }));
    const QString repeatedTaf = repeatTo(taf, k200KB);
    report("TAF, 200 KB of repeated forecasts",
        1000.0 * medianMs(11, [&] { Taf::buildReport(repeatedTaf, u"LFPG"_s, today); }));

    const QString notam = u"\r\nLFPG A2871/26 RWY 08L/26R CLSD DUE TO WORKS. 1512150600 1512201800\r\n"_s;
    const QString page = u"<html><body><pre>METAR LFPG</pre><pre>(NOTAMS)"_s + repeatTo(notam, k200KB)
        + QString(75, u'-') + u"\r\n</pre></body></html>"_s;
    report("NOTAM cut, 200 KB page", 1000.0 * medianMs(101, [&] { Notam::cut(page, u"LFPG"_s); }));
    const QString kPage = QString(page).replace(u"LFPG"_s, u"KJFK"_s);
    report("NOTAM cut, 200 KB page, K code", 1000.0 * medianMs(101, [&] { Notam::cut(kPage, u"KJFK"_s); }));

    const QString metar
        = u"France (LFPG) 49-01N 002-32E 119M Dec 06 2026 - 02:30 PM EST / 2026.12.06 1930 UTC Wind: "
          u"from the NW (310 degrees) at 9 MPH (8 KT):0 Visibility: greater than 7 mile(s):0 Sky "
          u"conditions: mostly cloudy Weather: light rain Temperature: 50 F (10 C) Dew Point: 42 F (6 C) "
          u"Relative Humidity: 75% Pressure (altimeter): 29.94 in. Hg (1014 hPa) ob: LFPG 061930Z "
          u"31008KT 9999 -RA BKN020 10/06 Q1014 NOSIG cycle: 19 "_s;
    report(
        "METAR translation and styling", 1000.0 * medianMs(2000, [&] { Metar::styleSpans(Metar::translate(metar)); }));
    return 0;
}
