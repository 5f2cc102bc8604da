// The shipped station data, as the program loads it: every fact the program relies on about the table and the two
// code lists. A regenerated data set that breaks one of them fails here, before any window shows it.
#include "stations/StationTable.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <string>

using namespace Qt::StringLiterals;

namespace {

struct Entry
{
    QString code;
    QString country;
    QString city;
};

// The embedded data, loaded and parsed once for the whole run.
struct Loaded
{
    Stations::StationData data;
    Stations::StationTable table;
    QList<Entry> entries; // entries[i] is slot i + 1
    QStringList allCodes; // A-K list, then L-Z list

    Loaded()
        : data(Stations::loadEmbeddedData())
    {
        Stations::fillFromEmbeddedData(table);
        for (int i = 0; i < table.count(); ++i)
            entries.append(Entry { table.code(i), table.country(i), table.city(i) });
        allCodes = data.codesAToK + data.codesLToZ;
    }
};

const Loaded& loaded()
{
    static const Loaded instance;
    return instance;
}

// Countries and cities compare without case and with apostrophes ignored.
QString fold(const QString& name)
{
    QString folded = name.toLower();
    folded.remove(u'\'');
    return folded;
}

// The lists' order: a run of digits counts by its value (then by its text, so "04" before "4") and comes
// before a letter at the same place.
struct Token
{
    bool letter;
    int number;
    std::u16string text;
    auto operator<=>(const Token&) const = default;
};

QList<Token> naturalKey(const QString& code)
{
    QList<Token> key;
    for (qsizetype i = 0; i < code.size();) {
        if (code.at(i).isDigit()) {
            qsizetype end = i;
            while (end < code.size() && code.at(end).isDigit())
                ++end;
            key.append(Token { false, code.mid(i, end - i).toInt(), code.mid(i, end - i).toStdU16String() });
            i = end;
        } else {
            key.append(Token { true, 0, std::u16string(1, code.at(i).unicode()) });
            ++i;
        }
    }
    return key;
}

bool naturallyBefore(const QString& a, const QString& b)
{
    const QList<Token> ka = naturalKey(a);
    const QList<Token> kb = naturalKey(b);
    return std::lexicographical_compare(ka.begin(), ka.end(), kb.begin(), kb.end());
}

int countOf(const QList<Entry>& entries, const QString& country)
{
    return static_cast<int>(
        std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.country == country; }));
}

} // namespace

class TestStationData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void slotsAndCount();
    void quotedRows_data();
    void quotedRows();
    void countries();
    void largestRuns_data();
    void largestRuns();
    void trailingSpaceCountries();
    void citiesWithSeveralCodes();
    void fieldsAndCharacters();
    void codesAreUnique();
    void tableOrder();
    void listCounts_data();
    void listCounts();
    void listCodes();
    void listOrder();
    void listsAndTable();
};

// ---- Purpose: the table has 4,528 entries at indices 0 to 4,527 of 5,000; the rest stay empty ----

void TestStationData::slotsAndCount()
{
    const Stations::StationTable& table = loaded().table;
    QCOMPARE(Stations::StationTable::kCapacity, 5000);
    QCOMPARE(table.count(), 4528);
    QCOMPARE(table.entry(0), u"OACC\\Afghanistan\\Chakhcharan"_s);
    QCOMPARE(table.entry(4527), u"FVFA\\Zimbabwe\\Victoria Falls"_s);
    QVERIFY(table.entry(-1).isEmpty());
    for (int i = 4528; i < 5000; ++i)
        QVERIFY2(table.entry(i).isEmpty(), qPrintable(QString::number(i)));
    // Stations::fillFromEmbeddedData fills from the same text Stations::loadEmbeddedData gives, with nothing dropped or
    // added.
    QCOMPARE(loaded().data.entries.count(u'\n'), 4528);
    for (int i = 0; i < 4528; ++i)
        QVERIFY2(!table.entry(i).isEmpty(), qPrintable(QString::number(i)));
}

// ---- Purpose: the well-known rows are in the table, the first and last at their ends ----

void TestStationData::quotedRows_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("index"); // -1: anywhere
    QTest::newRow("first") << u"OACC\\Afghanistan\\Chakhcharan"_s << 0;
    QTest::newRow("Anchorage") << u"PANC\\Alaska\\Anchorage"_s << -1;
    QTest::newRow("Buenos Aires, trailing space") << u"SAEZ\\Argentina \\Buenos Aires"_s << -1;
    QTest::newRow("Paris") << u"LFPG\\France\\Paris"_s << -1;
    QTest::newRow("London") << u"EGLL\\Uk\\London"_s << -1;
    QTest::newRow("Beijing") << u"ZBAA\\Pr Of China\\Beijing"_s << -1;
    QTest::newRow("New York") << u"KJFK\\USA\\New York"_s << -1;
    QTest::newRow("last") << u"FVFA\\Zimbabwe\\Victoria Falls"_s << 4527;
}

void TestStationData::quotedRows()
{
    QFETCH(QString, row);
    QFETCH(int, index);
    const Stations::StationTable& table = loaded().table;
    const std::optional<int> found = table.indexOfCode(row.left(4));
    QVERIFY2(found.has_value(), qPrintable(row));
    QCOMPARE(table.entry(*found), row);
    if (index >= 0)
        QCOMPARE(*found, index);
}

// ---- Purpose: 229 distinct countries, each one contiguous run, Afghanistan to Zimbabwe ----

void TestStationData::countries()
{
    const QList<Entry>& entries = loaded().entries;
    QStringList runs;
    for (const Entry& e : entries) {
        if (runs.isEmpty() || runs.last() != e.country)
            runs.append(e.country);
    }
    QCOMPARE(runs.size(), 229);
    QCOMPARE(QSet<QString>(runs.begin(), runs.end()).size(), 229); // no country comes back after another
    QCOMPARE(runs.first(), u"Afghanistan"_s);
    QCOMPARE(runs.last(), u"Zimbabwe"_s);
    QCOMPARE(Stations::countries(loaded().table), runs);
    // No two names differ only by case or apostrophes, so the folded order never mixes two countries.
    QSet<QString> folded;
    for (const QString& name : runs)
        folded.insert(fold(name));
    QCOMPARE(folded.size(), 229);
    QVERIFY(runs.contains(u"Alaska"_s));
    QVERIFY(runs.contains(u"Hawaii"_s));
    QVERIFY(runs.contains(u"Pr Of China"_s));
}

// ---- Purpose: the quoted run sizes, USA in slots 2,804 to 4,427, and no other run as large ----

void TestStationData::largestRuns_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<int>("size");
    QTest::newRow("USA") << u"USA"_s << 1624;
    QTest::newRow("Canada") << u"Canada"_s << 225;
    QTest::newRow("Brazil") << u"Brazil"_s << 119;
    QTest::newRow("France") << u"France"_s << 107;
    QTest::newRow("Alaska") << u"Alaska"_s << 103;
    QTest::newRow("Uk") << u"Uk"_s << 92;
    QTest::newRow("Japan, trailing space") << u"Japan "_s << 91;
}

void TestStationData::largestRuns()
{
    QFETCH(QString, country);
    QFETCH(int, size);
    const QList<Entry>& entries = loaded().entries;
    QCOMPARE(countOf(entries, country), size);
    if (country == u"USA"_s) {
        QCOMPARE(entries.at(2804 - 1).country, country);
        QCOMPARE(entries.at(4427 - 1).country, country);
        QVERIFY(entries.at(2803 - 1).country != country);
        QVERIFY(entries.at(4428 - 1).country != country);
    }
    // Only the quoted countries reach the smallest quoted size.
    static const QStringList quoted { u"USA"_s, u"Canada"_s, u"Brazil"_s, u"France"_s, u"Alaska"_s, u"Uk"_s,
        u"Japan "_s };
    QHash<QString, int> sizes;
    for (const Entry& e : entries)
        ++sizes[e.country];
    for (auto it = sizes.cbegin(); it != sizes.cend(); ++it) {
        if (!quoted.contains(it.key()))
            QVERIFY2(it.value() < 91, qPrintable(it.key()));
    }
}

// ---- Purpose: 51 country names end with a space that is part of the name ----

void TestStationData::trailingSpaceCountries()
{
    const QStringList countries = Stations::countries(loaded().table);
    QStringList trailing;
    for (const QString& name : countries) {
        QVERIFY2(!name.startsWith(u' ') && !name.endsWith(u"  "_s), qPrintable(name));
        if (name.endsWith(u' '))
            trailing.append(name);
    }
    QCOMPARE(trailing.size(), 51);
    for (const QString& name : { u"Argentina "_s, u"Australia "_s, u"S Afr Rep "_s, u"Japan "_s })
        QVERIFY2(trailing.contains(name), qPrintable(name));
    QVERIFY(!countries.contains(u"Argentina"_s));
}

// ---- Purpose: 292 cities of a country have several codes; Paris three, Rio De Janeiro four ----

void TestStationData::citiesWithSeveralCodes()
{
    QHash<QString, QStringList> codesByCity;
    for (const Entry& e : loaded().entries)
        codesByCity[e.country + u'\\' + e.city].append(e.code);
    const auto several = std::count_if(
        codesByCity.cbegin(), codesByCity.cend(), [](const QStringList& codes) { return codes.size() > 1; });
    QCOMPARE(several, 292);
    QCOMPARE(codesByCity.value(u"France\\Paris"_s), (QStringList { u"LFPB"_s, u"LFPG"_s, u"LFPO"_s }));
    QCOMPARE(codesByCity.value(u"Brazil\\Rio De Janeiro"_s).size(), 4);
}

// ---- Purpose: two separators, a 4-letter code, country 2-32, city 3-28, entry at most 48, known characters ----

void TestStationData::fieldsAndCharacters()
{
    static const QRegularExpression code(u"^[A-Z]{4}$"_s);
    static const QRegularExpression allowed(u"^[A-Za-z4 &'()\\-./\\\\]+$"_s);
    int minCountry = 1000, maxCountry = 0, minCity = 1000, maxCity = 0, longest = 0, fours = 0;
    const Stations::StationTable& table = loaded().table;
    for (int i = 0; i < table.count(); ++i) {
        const QString row = table.entry(i);
        const Entry& e = loaded().entries.at(i);
        QVERIFY2(row.count(u'\\') == 2, qPrintable(row));
        QVERIFY2(code.match(e.code).hasMatch(), qPrintable(row));
        QVERIFY2(allowed.match(row).hasMatch(), qPrintable(row));
        QVERIFY2(e.country.at(0).isUpper() && e.city.at(0).isUpper(), qPrintable(row));
        minCountry = std::min(minCountry, int(e.country.size()));
        maxCountry = std::max(maxCountry, int(e.country.size()));
        minCity = std::min(minCity, int(e.city.size()));
        maxCity = std::max(maxCity, int(e.city.size()));
        longest = std::max(longest, int(row.size()));
        fours += int(row.count(u'4'));
    }
    QCOMPARE(minCountry, 2);
    QCOMPARE(maxCountry, 32);
    QCOMPARE(minCity, 3);
    QCOMPARE(maxCity, 28);
    QCOMPARE(longest, 48);
    QCOMPARE(fours, 1);
}

// ---- Purpose: no code occurs in two entries ----

void TestStationData::codesAreUnique()
{
    QSet<QString> seen;
    for (const Entry& e : loaded().entries) {
        QVERIFY2(!seen.contains(e.code), qPrintable(e.code));
        seen.insert(e.code);
    }
    QCOMPARE(seen.size(), 4528);
}

// ---- Purpose: order by country, then city (no case, apostrophes ignored), then code; runs contiguous ----

void TestStationData::tableOrder()
{
    const QList<Entry>& entries = loaded().entries;
    for (qsizetype i = 1; i < entries.size(); ++i) {
        const Entry& a = entries.at(i - 1);
        const Entry& b = entries.at(i);
        const auto ka = std::tuple(fold(a.country), fold(a.city), a.code);
        const auto kb = std::tuple(fold(b.country), fold(b.city), b.code);
        QVERIFY2(ka < kb, qPrintable(u"slot %1: %2 / %3"_s.arg(i + 1).arg(a.code, b.code)));
    }
    // Every city of a country is one run.
    QSet<QString> closed;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString key = entries.at(i).country + u'\\' + entries.at(i).city;
        QVERIFY2(!closed.contains(key), qPrintable(key));
        if (i + 1 == entries.size() || entries.at(i + 1).country + u'\\' + entries.at(i + 1).city != key)
            closed.insert(key);
    }
    // Known pairs where the folded comparison decides.
    const Stations::StationTable& table = loaded().table;
    const QStringList countries = Stations::countries(table);
    QVERIFY(countries.indexOf(u"Uruguay"_s) < countries.indexOf(u"USA"_s));
    const auto firstOfCity = [&](const QString& city) {
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (entries.at(i).city == city)
                return i;
        }
        return qsizetype(-1);
    };
    for (const auto& [before, after] : { std::pair(u"Xiamen"_s, u"Xi'an"_s), std::pair(u"Namibe"_s, u"N'zeto"_s) }) {
        const qsizetype b = firstOfCity(before);
        const qsizetype a = firstOfCity(after);
        QVERIFY2(b >= 0 && a >= 0 && b < a, qPrintable(before));
        QCOMPARE(entries.at(b).country, entries.at(a).country);
    }
}

// ---- Purpose: the two code lists' sizes, ends and first letters ----

void TestStationData::listCounts_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("letters");
    QTest::newRow("codes A to K") << 0 << 4151 << u"AGGH"_s << u"KZZV"_s << u"ABCDEFGHIJK"_s;
    QTest::newRow("codes L to Z") << 1 << 2843 << u"LATI"_s << u"ZYTX"_s << u"LMNOPQRSTUVWXYZ"_s;
}

void TestStationData::listCounts()
{
    QFETCH(int, which);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, letters);
    const QStringList& list = which == 0 ? loaded().data.codesAToK : loaded().data.codesLToZ;
    QCOMPARE(list.size(), count);
    QCOMPARE(list.first(), first);
    QCOMPARE(list.last(), last);
    for (const QString& code : list)
        QVERIFY2(letters.contains(code.at(0)), qPrintable(code));
}

// ---- Purpose: 6,994 distinct codes of 4 upper-case letters or digits, 277 with digits ----

void TestStationData::listCodes()
{
    static const QRegularExpression item(u"^[A-Z0-9]{4}$"_s);
    static const QRegularExpression digit(u"[0-9]"_s);
    const QStringList& all = loaded().allCodes;
    QCOMPARE(all.size(), 6994);
    QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), 6994);
    int withDigits = 0;
    for (const QString& code : all) {
        QVERIFY2(item.match(code).hasMatch(), qPrintable(code));
        withDigits += code.contains(digit) ? 1 : 0;
    }
    QCOMPARE(withDigits, 277);
    QVERIFY(all.contains(u"K0R3"_s));
    QVERIFY(all.contains(u"CP69"_s));
}

// ---- Purpose: ascending with digit runs by value; FAOR and K04W the only codes out of place ----

void TestStationData::listOrder()
{
    const QStringList& ak = loaded().data.codesAToK;
    const QStringList& lz = loaded().data.codesLToZ;
    const QStringList moved { u"FAOR"_s, u"K04W"_s };
    for (const QStringList* list : { &ak, &lz }) {
        QStringList rest = *list;
        rest.removeIf([&](const QString& code) { return moved.contains(code); });
        for (qsizetype i = 1; i < rest.size(); ++i)
            QVERIFY2(naturallyBefore(rest.at(i - 1), rest.at(i)), qPrintable(rest.at(i - 1) + u' ' + rest.at(i)));
    }
    // Where the two stand, and that they really are out of order there.
    const qsizetype faor = ak.indexOf(u"FAOR"_s);
    QCOMPARE(ak.at(faor - 1), u"FAJB"_s);
    QCOMPARE(ak.at(faor + 1), u"FAKD"_s);
    QVERIFY(naturallyBefore(u"FAKD"_s, u"FAOR"_s));
    const qsizetype k04w = ak.indexOf(u"K04W"_s);
    QCOMPARE(ak.at(k04w + 1), u"K1A5"_s);
    QVERIFY(naturallyBefore(u"K1A5"_s, u"K04W"_s));
    // Digit runs count by value.
    QVERIFY(ak.indexOf(u"K0R3"_s) < ak.indexOf(u"K04V"_s));
    QVERIFY(ak.indexOf(u"K9V9"_s) < ak.indexOf(u"K11J"_s));
}

// ---- Purpose: every table code is listed; 2,466 list codes (ATAR, AZUH among them) have no entry ----

void TestStationData::listsAndTable()
{
    const QStringList& all = loaded().allCodes;
    const QSet<QString> listed(all.begin(), all.end());
    QSet<QString> inTable;
    for (const Entry& e : loaded().entries) {
        QVERIFY2(listed.contains(e.code), qPrintable(e.code));
        inTable.insert(e.code);
    }
    const QSet<QString> orphans = listed - inTable;
    QCOMPARE(orphans.size(), 2466);
    QVERIFY(orphans.contains(u"ATAR"_s));
    QVERIFY(orphans.contains(u"AZUH"_s));
    for (const QString& code : orphans)
        QVERIFY2(!loaded().table.indexOfCode(code).has_value(), qPrintable(code));
}

QTEST_GUILESS_MAIN(TestStationData)
#include "TestStationData.moc"
