// Reading the NOTAMs of a cut block: splitting, the ICAO groups, the state, the French line and the JSON.
#include "FuzzSupport.h"

#include "reports/NotamParser.h"

#include <algorithm>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString block = fuzzText(data, size);
    const QDateTime now(QDate(2026, 1, 15), QTime(10, 0), Qt::UTC);
    const QList<Notam::Item> items = Notam::parseItems(block);

    // Nothing is lost: the items give the block back.
    QString rebuilt;
    for (const Notam::Item& item : items) {
        rebuilt += item.lead + item.text;
        // What is read is within range; an item not in ICAO format has nothing read at all.
        FUZZ_CHECK(
            item.icao || (item.id.isEmpty() && item.qcode.isEmpty() && !item.from.isValid() && item.body.isEmpty()));
        FUZZ_CHECK(!item.centre || (std::abs(item.centre->lat) <= 90 && std::abs(item.centre->lon) <= 180));
        FUZZ_CHECK(!item.from.isValid() || (item.from.date().year() >= 2000 && item.from.date().year() < 2100));
        for (const QString& location : item.locations)
            FUZZ_CHECK(location.size() == 4);
        // An unreadable start never gives a state.
        const Notam::Status status = Notam::statusAt(item, now);
        FUZZ_CHECK(item.from.isValid() || status.state == Notam::State::Unknown);
        FUZZ_CHECK(status.state != Notam::State::InForce || item.from <= now);
        FUZZ_CHECK(Notam::statusLine(item, now).isEmpty() == !item.icao);
        FUZZ_CHECK(Notam::toJson(item, now, true).size() == 24);
    }
    FUZZ_CHECK(rebuilt == block);

    // Arranging keeps every NOTAM, the blank pieces aside.
    const Notam::Briefing briefing = Notam::arrange(items, now, Notam::GeoPoint { 49.0, 2.5 });
    const auto listed = std::count_if(items.begin(), items.end(),
        [](const Notam::Item& item) { return item.icao || !item.text.trimmed().isEmpty(); });
    FUZZ_CHECK(briefing.shown.size() + briefing.expired.size() == listed);
    return 0;
}
