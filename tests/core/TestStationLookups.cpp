// The station table's lookups and the code search on the shipped data, and how the
// table is filled from text that is not quite the shipped one.
#include "stations/StationTable.h"

#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

const Stations::StationTable& shippedTable()
{
    static const Stations::StationTable table = [] {
        Stations::StationTable filled;
        Stations::fillFromEmbeddedData(filled);
        return filled;
    }();
    return table;
}

const Stations::StationData& shippedData()
{
    static const Stations::StationData data = Stations::loadEmbeddedData();
    return data;
}

QStringList containing(const QStringList& list, const QString& query)
{
    QStringList found;
    for (const QString& code : list) {
        if (code.contains(query))
            found.append(code);
    }
    return found;
}

} // namespace

class TestStationLookups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void describeStation_data();
    void describeStation();
    void countries();
    void citiesOf_data();
    void citiesOf();
    void codesOf_data();
    void codesOf();
    void searchFindsInListOrder();
    void searchMatchesNothing_data();
    void searchMatchesNothing();
    void searchEmptyQueryListsAll();

    void fillAcceptsCrLfAndBlankLines();
    void fillStopsAtTheLastSlot();
    void fillKeepsMalformedEntries();
    void fillReplacesTheContent();
    void indicesOutOfRange();
    void walksOverTheWholeTable();
};

// ---- Purpose: Stations::describe gives City (Country) for a code of the table, nothing otherwise ----

void TestStationLookups::describeStation_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<std::optional<QString>>("description");
    QTest::newRow("LFPG") << u"LFPG"_s << std::optional(u"Paris (France)"_s);
    QTest::newRow("trailing-space country") << u"SAEZ"_s << std::optional(u"Buenos Aires (Argentina )"_s);
    QTest::newRow("PANC") << u"PANC"_s << std::optional(u"Anchorage (Alaska)"_s);
    QTest::newRow("first entry") << u"OACC"_s << std::optional(u"Chakhcharan (Afghanistan)"_s);
    QTest::newRow("last entry") << u"FVFA"_s << std::optional(u"Victoria Falls (Zimbabwe)"_s);
    QTest::newRow("lower case") << u"lfpg"_s << std::optional<QString>();
    QTest::newRow("listed, no entry: ATAR") << u"ATAR"_s << std::optional<QString>();
    QTest::newRow("listed, no entry: AZUH") << u"AZUH"_s << std::optional<QString>();
    QTest::newRow("trailing space") << u"LFPG "_s << std::optional<QString>();
    QTest::newRow("part of a code") << u"LFP"_s << std::optional<QString>();
    QTest::newRow("whole entry") << u"LFPG\\France\\Paris"_s << std::optional<QString>();
    QTest::newRow("empty") << QString() << std::optional<QString>();
}

void TestStationLookups::describeStation()
{
    QFETCH(QString, code);
    QFETCH(std::optional<QString>, description);
    QCOMPARE(Stations::describe(shippedTable(), code), description);
}

// ---- Purpose: the country walk gives 229 names in table order ----

void TestStationLookups::countries()
{
    QStringList countries = Stations::countries(shippedTable());
    QCOMPARE(countries.size(), 229);
    QCOMPARE(countries.first(), u"Afghanistan"_s);
    QCOMPARE(countries.last(), u"Zimbabwe"_s);
    QCOMPARE(countries.removeDuplicates(), 0);
    QVERIFY(countries.contains(u"Argentina "_s));
}

// ---- Purpose: cities of a country, each once whatever its airports, exact country name ----

void TestStationLookups::citiesOf_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("city");
    QTest::addColumn<int>("times"); // occurrences of city, which has three airports (two in Argentina)
    QTest::newRow("Alaska") << u"Alaska"_s << 98 << u"Anchorage"_s << 1;
    QTest::newRow("France") << u"France"_s << 102 << u"Paris"_s << 1;
    QTest::newRow("USA") << u"USA"_s << 1290 << u"Paris"_s << 1;
    QTest::newRow("Argentina with its space") << u"Argentina "_s << 26 << u"Buenos Aires"_s << 1;
    QTest::newRow("Argentina without space") << u"Argentina"_s << 0 << QString() << 0;
    QTest::newRow("lower case") << u"france"_s << 0 << QString() << 0;
    QTest::newRow("empty") << QString() << 0 << QString() << 0;
}

void TestStationLookups::citiesOf()
{
    QFETCH(QString, country);
    QFETCH(int, count);
    QFETCH(QString, city);
    QFETCH(int, times);
    const QStringList cities = Stations::citiesOf(shippedTable(), country);
    QCOMPARE(cities.size(), count);
    if (times == 0)
        return;
    const qsizetype first = cities.indexOf(city);
    QVERIFY(first >= 0);
    QCOMPARE(cities.count(city), times);
    for (int i = 0; i < times; ++i)
        QCOMPARE(cities.at(first + i), city);
}

// ---- Purpose: codes of a country and a city, in table order, both names exact ----

void TestStationLookups::codesOf_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("city");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("France, Paris") << u"France"_s << u"Paris"_s << QStringList { u"LFPB"_s, u"LFPG"_s, u"LFPO"_s };
    QTest::newRow("USA, Paris") << u"USA"_s << u"Paris"_s << QStringList { u"KPHT"_s, u"KPRG"_s, u"KPRX"_s };
    QTest::newRow("France, Abbeville") << u"France"_s << u"Abbeville"_s << QStringList { u"LFOI"_s };
    QTest::newRow("Alaska, Anchorage") << u"Alaska"_s << u"Anchorage"_s
                                       << QStringList { u"PAED"_s, u"PAMR"_s, u"PANC"_s };
    QTest::newRow("Argentina, Buenos Aires")
        << u"Argentina "_s << u"Buenos Aires"_s << QStringList { u"SABE"_s, u"SAEZ"_s };
    QTest::newRow("Argentina without its space") << u"Argentina"_s << u"Buenos Aires"_s << QStringList();
    QTest::newRow("city of another country") << u"France"_s << u"Anchorage"_s << QStringList();
    QTest::newRow("lower-case city") << u"France"_s << u"paris"_s << QStringList();
    QTest::newRow("empty") << QString() << QString() << QStringList();
}

void TestStationLookups::codesOf()
{
    QFETCH(QString, country);
    QFETCH(QString, city);
    QFETCH(QStringList, codes);
    QCOMPARE(Stations::codesOf(shippedTable(), country, city), codes);
}

// ---- Purpose: the search lists A-K codes, then L-Z codes, each part in list order ----

void TestStationLookups::searchFindsInListOrder()
{
    const Stations::StationData& data = shippedData();
    const QStringList found = Stations::searchCodes(data.codesAToK, data.codesLToZ, u"LF"_s);
    const QStringList fromAToK = containing(data.codesAToK, u"LF"_s);
    const QStringList fromLToZ = containing(data.codesLToZ, u"LF"_s);
    QVERIFY(!fromAToK.isEmpty()); // EGLF, KLFI, ... : the A-K part is really there
    QCOMPARE(fromAToK.first(), u"EGLF"_s);
    QCOMPARE(found, fromAToK + fromLToZ);
    QCOMPARE(found.size(), 124);
    QCOMPARE(found.at(fromAToK.size() - 1), u"KOLF"_s);
    QCOMPARE(found.at(fromAToK.size()), fromLToZ.first());

    QCOMPARE(Stations::searchCodes(data.codesAToK, data.codesLToZ, u"LFPG"_s), QStringList { u"LFPG"_s });
    QCOMPARE(Stations::searchCodes(data.codesAToK, data.codesLToZ, u"K0R3"_s), QStringList { u"K0R3"_s });
}

// ---- Purpose: queries that can match no code ----

void TestStationLookups::searchMatchesNothing_data()
{
    QTest::addColumn<QString>("query");
    QTest::newRow("inner space") << u"LF PG"_s;
    QTest::newRow("longer than four") << u"LFPGX"_s;
    QTest::newRow("lower case") << u"lf"_s;
    QTest::newRow("mixed case") << u"Lfpg"_s;
    QTest::newRow("only a space") << u" "_s; // the window trims it away first
    QTest::newRow("unknown") << u"QQQQ"_s;
}

void TestStationLookups::searchMatchesNothing()
{
    QFETCH(QString, query);
    const Stations::StationData& data = shippedData();
    QVERIFY(Stations::searchCodes(data.codesAToK, data.codesLToZ, query).isEmpty());
}

void TestStationLookups::searchEmptyQueryListsAll()
{
    const Stations::StationData& data = shippedData();
    const QStringList found = Stations::searchCodes(data.codesAToK, data.codesLToZ, QString());
    QCOMPARE(found.size(), 6994);
    QCOMPARE(found, data.codesAToK + data.codesLToZ);
    QCOMPARE(Stations::searchCodes(data.codesAToK, data.codesLToZ, u""_s), found);
}

// ---- Purpose: filling from text with Windows line ends, blank lines, too many lines, malformed entries ----

void TestStationLookups::fillAcceptsCrLfAndBlankLines()
{
    Stations::StationTable table;
    table.fill(u"\r\nLFPB\\France\\Paris\r\n\r\n\nLFPG\\France\\Paris\r\nSAEZ\\Argentina \\Buenos Aires\r\n"_s);
    QCOMPARE(table.count(), 3);
    QCOMPARE(table.entry(0), u"LFPB\\France\\Paris"_s);
    QCOMPARE(table.entry(1), u"LFPG\\France\\Paris"_s);
    QCOMPARE(table.entry(2), u"SAEZ\\Argentina \\Buenos Aires"_s);
    QVERIFY(table.entry(3).isEmpty());
    QCOMPARE(table.city(2), u"Buenos Aires"_s);
    QCOMPARE(Stations::describe(table, u"SAEZ"_s), std::optional(u"Buenos Aires (Argentina )"_s));
    QCOMPARE(Stations::codesOf(table, u"France"_s, u"Paris"_s), (QStringList { u"LFPB"_s, u"LFPG"_s }));

    Stations::StationTable empty;
    empty.fill(QString());
    QCOMPARE(empty.count(), 0);
    QVERIFY(Stations::countries(empty).isEmpty());
    QCOMPARE(Stations::describe(empty, u"LFPG"_s), std::nullopt);
}

void TestStationLookups::fillStopsAtTheLastSlot()
{
    QStringList lines;
    for (int i = 1; i <= 5005; ++i)
        lines.append(u"C%1\\Country\\City %1"_s.arg(i, 3, 10, QChar(u'0')));
    Stations::StationTable table;
    table.fill(lines.join(u'\n'));
    QCOMPARE(table.count(), 5000);
    QCOMPARE(table.entry(4999), lines.at(4999));
    QVERIFY(table.entry(-1).isEmpty());
    QCOMPARE(Stations::citiesOf(table, u"Country"_s).size(), 5000);
    QCOMPARE(Stations::describe(table, u"C5000"_s), std::optional(u"City 5000 (Country)"_s));
    QCOMPARE(Stations::describe(table, u"C5001"_s), std::nullopt);
}

void TestStationLookups::fillKeepsMalformedEntries()
{
    // Nothing is dropped: an entry without separators is all code, one with a single separator has no city.
    Stations::StationTable table;
    table.fill(u"LFPG\\France\\Paris\nGARBAGE\nXXXX\\OnlyCountry\nAAAA\\A\\B\\C\nLFPO\\France\\Paris"_s);
    QCOMPARE(table.count(), 5);
    QCOMPARE(table.entry(1), u"GARBAGE"_s);
    QCOMPARE(table.code(1), u"GARBAGE"_s);
    QVERIFY(table.country(1).isEmpty());
    QVERIFY(table.city(1).isEmpty());
    QCOMPARE(table.code(2), u"XXXX"_s);
    QCOMPARE(table.country(2), u"OnlyCountry"_s);
    QVERIFY(table.city(2).isEmpty());
    QCOMPARE(table.city(3), u"B"_s); // a third separator cuts the city short
    QCOMPARE(Stations::codesOf(table, u"France"_s, u"Paris"_s), (QStringList { u"LFPG"_s, u"LFPO"_s }));
    QCOMPARE(Stations::describe(table, u"XXXX"_s), std::optional(u" (OnlyCountry)"_s));
    QCOMPARE(Stations::describe(table, u"LFPO"_s), std::optional(u"Paris (France)"_s));
    QCOMPARE(
        Stations::countries(table), (QStringList { u"France"_s, QString(), u"OnlyCountry"_s, u"A"_s, u"France"_s }));
}

void TestStationLookups::fillReplacesTheContent()
{
    Stations::StationTable table;
    table.fill(u"LFPG\\France\\Paris\nLFPO\\France\\Paris"_s);
    table.fill(u"EGLL\\Uk\\London"_s);
    QCOMPARE(table.count(), 1);
    QVERIFY(table.entry(1).isEmpty());
    QCOMPARE(Stations::describe(table, u"LFPG"_s), std::nullopt);
    QCOMPARE(Stations::describe(table, u"EGLL"_s), std::optional(u"London (Uk)"_s));
}

// ---- Purpose: an index before the first entry, past the last or past the capacity reads as empty, never crashes ----

void TestStationLookups::indicesOutOfRange()
{
    const Stations::StationTable& table = shippedTable();
    QVERIFY(table.entry(-1).isEmpty());
    QVERIFY(table.entry(4528).isEmpty());
    QVERIFY(table.entry(4999).isEmpty());
    for (int index : { -2, 5000, std::numeric_limits<int>::min(), std::numeric_limits<int>::max() }) {
        QVERIFY(table.entry(index).isEmpty());
        QVERIFY(table.code(index).isEmpty());
        QVERIFY(table.country(index).isEmpty());
        QVERIFY(table.city(index).isEmpty());
    }
    Stations::StationTable empty;
    QVERIFY(empty.entry(-1).isEmpty());
    QVERIFY(empty.entry(0).isEmpty());
}

// ---- Purpose: the walks on a small table: last match wins, a country emitted per run ----

void TestStationLookups::walksOverTheWholeTable()
{
    Stations::StationTable table;
    table.fill(u"AAAA\\X\\One\nBBBB\\Y\\One\nAAAA\\X\\Two\nCCCC\\X\\One"_s);
    // Stations::describe does not stop at the first match: the last entry with the code gives the text.
    QCOMPARE(Stations::describe(table, u"AAAA"_s), std::optional(u"Two (X)"_s));
    // The country walk emits a name whenever it differs from the one before, so a broken run comes twice.
    QCOMPARE(Stations::countries(table), (QStringList { u"X"_s, u"Y"_s, u"X"_s }));
    QCOMPARE(Stations::citiesOf(table, u"X"_s), (QStringList { u"One"_s, u"Two"_s }));
    QCOMPARE(Stations::codesOf(table, u"X"_s, u"One"_s), (QStringList { u"AAAA"_s, u"CCCC"_s }));
    // An entry with an empty country in slot 1 is still emitted: before slot 1 there is no country at all.
    Stations::StationTable noCountry;
    noCountry.fill(u"DDDD\\\\City"_s);
    QCOMPARE(Stations::countries(noCountry), QStringList { QString() });
}

QTEST_GUILESS_MAIN(TestStationLookups)
#include "TestStationLookups.moc"
