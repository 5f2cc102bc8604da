// Where the stations are: the shipped positions, distances and bearings, the nearest stations, and the search
// by name that forgives case, accents and punctuation.
#include "stations/NameSearch.h"
#include "stations/StationGeography.h"

#include <QTest>

using namespace Qt::StringLiterals;

using namespace Stations;

namespace {

const StationTable& shippedTable()
{
    static const StationTable table = [] {
        StationTable filled;
        Stations::fillFromEmbeddedData(filled);
        return filled;
    }();
    return table;
}

} // namespace

class TestStationGeography : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shippedPositions();
    void fillSkipsMalformedLines();
    void relativePlace_data();
    void relativePlace();
    void nearestOfRoissy();
    void search_data();
    void search();
    void searchFollowsARefilledTable();
};

void TestStationGeography::shippedPositions()
{
    const StationTable& table = shippedTable();
    int placed = 0;
    for (int i = 0; i < table.count(); ++i)
        placed += placeOf(table.code(i)).has_value();
    QVERIFY2(placed >= 4450, qPrintable(QString::number(placed)));
    const StationPlace lfpg = placeOf(u"LFPG"_s).value();
    QVERIFY(std::abs(lfpg.latitudeDeg - 49.01) < 0.02 && std::abs(lfpg.longitudeDeg - 2.55) < 0.02);
    QCOMPARE(lfpg.elevationFt, std::optional(392));
    QCOMPARE(lfpg.aerodrome, u"Charles de Gaulle International Airport"_s);
    QVERIFY(!placeOf(u"OACC"_s) && !placeOf(u"lfpg"_s)); // no position in the sources; codes are exact
}

void TestStationGeography::fillSkipsMalformedLines()
{
    StationGeography geography;
    geography.fill(u"AAAA;10.5;-20.25;120;Alpha\r\nBBBB;91;0;;Far\nCCCC;;;;Named\nDDDD;1;2;3\nEEEE;1;1e1;;\n"
                   u";1;2;3;X\nFFFF;-1;181;;\nGGGG;0;0;;\n"_s);
    QCOMPARE(geography.places().size(), 2);
    QVERIFY(geography.find(u"AAAA"_s)->longitudeDeg == -20.25 && !geography.find(u"GGGG"_s)->elevationFt);
    QCOMPARE(geography.aerodromeOf(u"AAAA"_s) + geography.aerodromeOf(u"CCCC"_s), u"AlphaNamed"_s);
}

void TestStationGeography::relativePlace_data()
{
    QTest::addColumn<QPointF>("from"); // latitude, longitude
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<double>("km");
    QTest::addColumn<double>("bearing");

    // A degree of a great circle is 2 pi R / 360 = 111.195 km on the mean sphere.
    QTest::newRow("a degree east on the equator") << QPointF(0, 0) << QPointF(0, 1) << 111.195 << 90.0;
    QTest::newRow("west across the date line") << QPointF(0, -179.5) << QPointF(0, 179.5) << 111.195 << 270.0;
    QTest::newRow("due south, never 360") << QPointF(46, 3) << QPointF(45, 3) << 111.195 << 180.0;
    QTest::newRow("great circle leaves north-east") << QPointF(0, 0) << QPointF(45, 90) << 10007.56 << 45.0;
    QTest::newRow("same place") << QPointF(12, 34) << QPointF(12, 34) << 0.0 << 0.0;
}

void TestStationGeography::relativePlace()
{
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(double, km);
    QFETCH(double, bearing);
    const Neighbour n = Stations::relativePlace({ {}, from.x(), from.y(), {}, {} }, { {}, to.x(), to.y(), {}, {} });
    QVERIFY2(std::abs(n.distanceKm - km) < 0.05, qPrintable(QString::number(n.distanceKm)));
    QVERIFY(std::abs(n.distanceNm * 1.852 - n.distanceKm) < 1e-9);
    QVERIFY2(std::abs(n.bearingDeg - bearing) < 0.01, qPrintable(QString::number(n.bearingDeg)));
}

void TestStationGeography::nearestOfRoissy()
{
    // Le Bourget lies 9 km south-west of Roissy; Orly and Villacoublay further south, beyond Paris.
    const QList<Neighbour> found = nearest(u"LFPG"_s);
    QCOMPARE(found.size(), 10);
    QCOMPARE(found[0].code + found[1].code + found[2].code, u"LFPBLFPOLFPV"_s);
    QVERIFY(std::abs(found[0].distanceKm - 9.3) < 0.5 && std::abs(found[0].bearingDeg - 239) < 3);
    QVERIFY(std::abs(found[1].distanceNm - 18.6) < 0.6 && found.last().distanceKm < 120);
    for (qsizetype i = 1; i < found.size(); ++i)
        QVERIFY(found[i].code != u"LFPG" && found[i - 1].distanceKm <= found[i].distanceKm);
    QCOMPARE(nearest(u"LFPG"_s, 1).size(), 1);
    QVERIFY(nearest(u"LFPG"_s, 0).isEmpty() && nearest(u"OACC"_s).isEmpty() && nearest(u"ZZZZ"_s).isEmpty());
}

void TestStationGeography::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("firstCode"); // empty: no station
    QTest::addColumn<MatchKind>("firstMatch");

    QTest::newRow("st etienne") << u"st etienne"_s << u"LFMH"_s << MatchKind::NameStart;
    QTest::newRow("SAINT-ÉTIENNE as written") << u"SAINT-ÉTIENNE"_s << u"LFMH"_s << MatchKind::NameStart;
    QTest::newRow("aerodrome name only") << u"orly"_s << u"LFPO"_s << MatchKind::Elsewhere;
    QTest::newRow("words in another order") << u"bouthéon étienne"_s << u"LFMH"_s << MatchKind::Elsewhere;
    QTest::newRow("code before names") << u"lfpo"_s << u"LFPO"_s << MatchKind::Code;
    QTest::newRow("part of a code") << u"LFP"_s << u"LFPT"_s << MatchKind::Code;
    QTest::newRow("umlaut typed plain") << u"zurich airport"_s << u"LSZH"_s << MatchKind::NameStart;
    QTest::newRow("ring accent, two words") << u"Ålesund Vigra"_s << u"ENAL"_s << MatchKind::Elsewhere;
    QTest::newRow("letter no decomposition takes apart") << u"Brønnøysund"_s << u"ENBN"_s << MatchKind::NameStart;
    QTest::newRow("saint inside an aerodrome name") << u"st-malo"_s << u"LFRD"_s << MatchKind::Elsewhere;
    QTest::newRow("no such name") << u"xyzzy"_s << QString() << MatchKind::Code;
    QTest::newRow("punctuation only") << u" - / ."_s << QString() << MatchKind::Code;
}

void TestStationGeography::search()
{
    QFETCH(QString, text);
    QFETCH(QString, firstCode);
    QFETCH(MatchKind, firstMatch);
    const QList<SearchHit> hits = searchByName(shippedTable(), text);
    QCOMPARE(hits.value(0).code, firstCode);
    if (!hits.isEmpty())
        QCOMPARE(hits.first().match, firstMatch);
    for (qsizetype i = 1; i < hits.size(); ++i)
        QVERIFY2(hits[i - 1].match <= hits[i].match, qPrintable(hits[i].code));
}

void TestStationGeography::searchFollowsARefilledTable()
{
    StationTable table;
    table.fill(u"AAAA\\Neverland\\Lost Town\n"_s);
    QCOMPARE(searchByName(table, u"lost"_s).size(), 1);
    table.fill(u"BBBB\\Neverland\\Saintes\n"_s);
    QVERIFY(searchByName(table, u"lost"_s).isEmpty() && searchByName(table, u"saint"_s).isEmpty());
    QCOMPARE(searchByName(table, u"saintes"_s).value(0).code, u"BBBB"_s);
}

QTEST_GUILESS_MAIN(TestStationGeography)
#include "TestStationGeography.moc"
