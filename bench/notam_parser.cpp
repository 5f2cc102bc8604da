// Median time to read a provider page of 10,000 ICAO NOTAMs: cut, split, parsed, then dated and worded.
#include "Median.h"
#include "reports/NotamCut.h"
#include "reports/NotamParser.h"

#include <QDateTime>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Every fourth NOTAM replaces another, every fifth is permanent, every seventh warns of an area with limits.
QString notam(int i)
{
    const QString id = u"A%1/26"_s.arg(i % 10000, 4, 10, QLatin1Char('0'));
    const QString header
        = i % 4 == 0 ? u"NOTAMR A%1/26"_s.arg((i + 5000) % 10000, 4, 10, QLatin1Char('0')) : u"NOTAMN"_s;
    const QString end = i % 5 == 0 ? u"PERM"_s
                                   : u"26%1%2%3EST"_s.arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                                         .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                         .arg(i % 2400, 4, 10, QLatin1Char('0'));
    const bool area = i % 7 == 0;
    return u"\r\nLFPG %1 %2\r\nQ) LFFF/%3/IV/NBO/%4/000/%5/4901N00233E%6\r\n"
           u"A) LFPG LFPO B) 2601%7%8 C) %9\r\nD) MON-FRI 0600-1800\r\n"
           u"E) RWY 09L/27R CLSD DUE TO WORKS, CRANE AT 4902N00231E HGT 310FT AMSL\r\n"
           u"BTN TWY A) AND B). CTC TWR 118.150 FOR DETAILS.\r\n"_s.arg(id, header, area ? u"QRRCA"_s : u"QMRLC"_s,
               area ? u"W"_s : u"A"_s, area ? u"065"_s : u"999"_s, u"%1"_s.arg(5 + i % 50, 3, 10, QLatin1Char('0')),
               u"%1"_s.arg(1 + i % 28, 2, 10, QLatin1Char('0')), u"0800"_s, end)
        + (area ? u"F) SFC G) FL065\r\n"_s : QString());
}

void report(const char* what, double milliseconds)
{
    std::printf("%-52s %10.3f ms\n", what, milliseconds);
}

} // namespace

int main()
{
    QString notams;
    for (int i = 0; i < 10000; ++i)
        notams += notam(i);
    const QString page = u"<html><body><pre>METAR LFPG</pre><pre>(NOTAMS)"_s + notams + QString(75, u'-')
        + u"\r\n</pre></body></html>"_s;
    const QString block = Notam::cut(page, u"LFPG"_s);
    const QDateTime now(QDate(2026, 6, 15), QTime(10, 0), Qt::UTC);
    std::printf("page of %d KiB\n", static_cast<int>(page.size() / 1024));

    QList<Notam::Item> items;
    // The previous list is freed untimed: the parse alone is measured.
    QList<Notam::Item> previous;
    report("NOTAM parse, 10,000 ICAO NOTAMs",
        medianMs(
            21, [&] { items = Notam::parseItems(block); },
            [&] {
                previous = std::move(items);
                previous.clear();
            }));
    std::printf("%d items, %d in ICAO format\n", static_cast<int>(items.size()),
        static_cast<int>(std::count_if(items.begin(), items.end(), [](const Notam::Item& item) { return item.icao; })));
    report("NOTAM arrange, 10,000 NOTAMs", medianMs(21, [&] {
        Notam::arrange(items, now, Notam::GeoPoint { 48.85, 2.2 });
    }));
    report("NOTAM status lines, 10,000 NOTAMs", medianMs(21, [&] {
        for (const Notam::Item& item : items)
            Notam::statusLine(item, now);
    }));
    report("NOTAM JSON objects, 10,000 NOTAMs", medianMs(21, [&] {
        for (const Notam::Item& item : items)
            Notam::toJson(item, now, false);
    }));
    return 0;
}
