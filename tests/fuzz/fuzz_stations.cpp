// The station directory: filling the table from entries, describing a code, browsing and searching.
// The first line is the query, the rest the entries ("CODE\Country\City" per line).
#include "FuzzSupport.h"

#include "stations/StationTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = fuzzText(data, size);
    const QString query = input.section(u'\n', 0, 0);
    Stations::StationTable table;
    table.fill(input.section(u'\n', 1));
    FUZZ_CHECK(table.count() >= 0 && table.count() <= Stations::StationTable::kCapacity);
    FUZZ_CHECK(table.entry(-1).isEmpty() && table.entry(table.count()).isEmpty());

    QStringList codes;
    for (int i = 0; i < table.count(); ++i) {
        codes.append(table.code(i));
        // The entry found for a code has that code, and a description.
        const std::optional<int> found = table.indexOfCode(table.code(i));
        FUZZ_CHECK(found && table.code(*found) == table.code(i));
        FUZZ_CHECK(Stations::describe(table, table.code(i)).has_value());
    }
    FUZZ_CHECK(Stations::describe(table, query).has_value() == table.indexOfCode(query).has_value());
    const QStringList countries = Stations::countries(table);
    if (!countries.isEmpty()) {
        const QStringList cities = Stations::citiesOf(table, countries.first());
        FUZZ_CHECK(!cities.isEmpty());
        FUZZ_CHECK(!Stations::codesOf(table, countries.first(), cities.first()).isEmpty());
    }
    for (const QString& code : Stations::searchCodes(codes, codes, query))
        FUZZ_CHECK(code.contains(query));
    return 0;
}
