// What a pilot reads first about a report: how old it is and when it runs, the flight conditions it gives,
// the daylight at the station and the density altitude.
#include "reports/Daylight.h"
#include "reports/DensityAltitude.h"
#include "reports/FlightConditions.h"
#include "reports/ReportTimes.h"
#include "stations/StationGeography.h"

#include <QTest>

using namespace Qt::StringLiterals;

using ReportTimes::AgeClass;
using Category = Conditions::Category;
using Daylight::DayKind;

namespace {

QDateTime utc(int month, int day, int hour, int minute, int year = 2026)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

const QTimeZone kParis("Europe/Paris");

} // namespace

class TestPilotFacts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void age_data();
    void age();
    void timeLines_data();
    void timeLines();
    void conditions_data();
    void conditions();
    void daylight_data();
    void daylight();
    void densityAltitude_data();
    void densityAltitude();
};

void TestPilotFacts::age_data()
{
    QTest::addColumn<QString>("group"); // the report's day-time group, placed near now
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("text");
    QTest::addColumn<AgeClass>("ageClass");
    const auto row
        = [](const char* name, const char16_t* group, const QDateTime& now, const char16_t* text, AgeClass ageClass) {
              QTest::newRow(name) << QString::fromUtf16(group) << now << QString::fromUtf16(text) << ageClass;
          };

    const QDateTime afternoon = utc(12, 8, 14, 0);
    row("one hour is not yet orange", u"081300Z", afternoon, u"il y a 1 h", AgeClass::Normal);
    row("hours and minutes", u"081248Z", afternoon, u"il y a 1 h 12 min", AgeClass::Orange);
    row("past two hours", u"081159Z", afternoon, u"il y a 2 h 1 min", AgeClass::Red);
    row("days and hours", u"061055Z", afternoon, u"il y a 2 j 3 h", AgeClass::Red);
    row("across midnight", u"072350Z", utc(12, 8, 0, 20), u"il y a 30 min", AgeClass::Normal);
    row("across a year end", u"312340Z", utc(1, 1, 0, 52, 2027), u"il y a 1 h 12 min", AgeClass::Orange);
    row("day the month lacks: October's", u"311200Z", utc(11, 30, 14, 0), u"il y a 30 j 2 h", AgeClass::Red);
    row("seconds ahead count as now", u"081400Z", afternoon.addSecs(-30), u"il y a moins d'une minute",
        AgeClass::Normal);
    row("ahead of the clock", u"081412Z", afternoon, u"12 min dans le futur (horloge de l'ordinateur à vérifier)",
        AgeClass::Normal);
    row("unreadable group", u"0814Z", afternoon, u"âge inconnu", AgeClass::Red);
}

void TestPilotFacts::age()
{
    QFETCH(QString, group);
    QFETCH(QDateTime, now);
    QFETCH(QString, text);
    QFETCH(AgeClass, ageClass);
    const QDateTime observed = ReportTimes::timeOfGroup(group, now).value_or(QDateTime());
    QCOMPARE(ReportTimes::ageText(observed, now), text);
    QCOMPARE(ReportTimes::ageClass(observed, now), ageClass);
    if (ageClass == AgeClass::Orange) // the limits are the caller's
        QCOMPARE(ReportTimes::ageClass(observed, now, 120, 240), AgeClass::Normal);
}

void TestPilotFacts::timeLines_data()
{
    QTest::addColumn<QString>("issued");
    QTest::addColumn<QString>("validity"); // none for a METAR
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("line");

    QTest::newRow("METAR in winter time") << u"080730Z"_s << QString() << utc(12, 8, 8, 42)
                                          << u"Observé il y a 1 h 12 min — 07:30 UTC (08:30 heure locale)"_s;
    QTest::newRow("METAR in summer time")
        << u"150930Z"_s << QString() << utc(6, 15, 9, 35) << u"Observé il y a 5 min — 09:30 UTC (11:30 heure locale)"_s;
    QTest::newRow("METAR dated by the decoded file")
        << u"Dec 08 2026 - 02:30 AM EST / 2026.12.08 0730 UTC"_s << QString() << utc(12, 8, 8, 42)
        << u"Observé il y a 1 h 12 min — 07:30 UTC (08:30 heure locale)"_s;
    QTest::newRow("old METAR carries its days")
        << u"062330Z"_s << QString() << utc(12, 8, 8, 0)
        << u"Observé il y a 1 j 8 h — 06/12 23:30 UTC (07/12 00:30 heure locale)"_s;
    QTest::newRow("TAF") << u"081102Z"_s << u"0812/0918"_s << utc(12, 8, 11, 42)
                         << u"Émis il y a 40 min — valide du 08/12 12:00 au 09/12 18:00 UTC (13:00 au 19:00 heure "
                            u"locale)"_s;
    QTest::newRow("TAF to hour 24 across a month end")
        << u"301702Z"_s << u"3018/0124"_s << utc(6, 30, 17, 30)
        << u"Émis il y a 28 min — valide du 30/06 18:00 au 02/07 00:00 UTC (20:00 au 02:00 heure locale)"_s;
    QTest::newRow("TAF ending past local midnight")
        << u"081717Z"_s << u"0818/0923"_s << utc(12, 8, 17, 17)
        << u"Émis il y a moins d'une minute — valide du 08/12 18:00 au 09/12 23:00 UTC (19:00 au 10/12 00:00 "
           u"heure locale)"_s;
    QTest::newRow("TAF with an impossible validity")
        << u"081102Z"_s << u"0812/3118"_s << utc(12, 8, 11, 42) << u"Émis il y a 40 min"_s;
}

void TestPilotFacts::timeLines()
{
    QFETCH(QString, issued);
    QFETCH(QString, validity);
    QFETCH(QDateTime, now);
    QFETCH(QString, line);
    const QDateTime at
        = (issued.contains(u' ') ? ReportTimes::observedAtOf(issued) : ReportTimes::timeOfGroup(issued, now))
              .value_or(QDateTime());
    const auto period = ReportTimes::validityOf(validity, at).value_or(std::pair<QDateTime, QDateTime>());
    QCOMPARE(validity.isEmpty() ? ReportTimes::metarTimeLine(at, now, kParis)
                                : ReportTimes::tafTimeLine(at, period.first, period.second, now, kParis),
        line);
}

void TestPilotFacts::conditions_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<Category>("category");
    QTest::addColumn<int>("visibilityM"); // -1: not read
    QTest::addColumn<int>("ceilingFt"); // -1: none or not read
    const auto row = [](const char* name, const char16_t* groups, Category category, int visibility, int ceiling) {
        QTest::newRow(name) << u"LFPG 081030Z 24012KT "_s + QString::fromUtf16(groups) << category << visibility
                            << ceiling;
    };

    // Metres, the ceiling from the lowest broken or overcast layer.
    row("VMC", u"9999 BKN030 OVC080 08/05 Q1013 NOSIG", Category::Vmc, 10000, 3000);
    row("marginal ceiling", u"9999 FEW010 BKN020 Q1013", Category::Marginal, 10000, 2000);
    row("marginal visibility, scattered layer", u"6000 SCT005 Q1013", Category::Marginal, 6000, -1);
    row("IMC", u"4800 BR OVC004 08/07 Q1020", Category::Imc, 4800, 400);
    row("CAVOK", u"CAVOK 20/10 Q1018", Category::Vmc, 10000, -1);
    row("trend and remarks not read", u"9999 SKC Q1013 TEMPO 0800 FG VV002 RMK OVC001", Category::Vmc, 10000, -1);
    // Statute miles.
    row("ten miles, clear", u"10SM CLR 35/02 A2992", Category::Vmc, 16093, -1);
    row("mile and a half over two groups", u"1 1/2SM BR OVC004 A3001", Category::Imc, 2414, 400);
    row("more than six miles", u"P6SM FEW040 BKN250 A3002", Category::Vmc, 9656, 25000);
    row("less than a quarter mile, vertical visibility", u"M1/4SM FG VV001 A2990", Category::Imc, 402, 100);
    // Missing or unreadable groups: unknown unless what was read is already IMC.
    row("no sky group", u"9999 08/05 Q1013", Category::Unknown, 10000, -1);
    row("broken layer height missing", u"9999 FEW010 BKN/// Q1013", Category::Unknown, 10000, -1);
    row("visibility missing", u"//// BKN040 Q1013", Category::Unknown, -1, 4000);
    row("visibility missing, low ceiling", u"//// OVC003 Q1013", Category::Imc, -1, 300);
    row("fog, sky not seen", u"0300 FG ////// Q1013", Category::Imc, 300, -1);
}

void TestPilotFacts::conditions()
{
    QFETCH(QString, raw);
    QFETCH(Category, category);
    QFETCH(int, visibilityM);
    QFETCH(int, ceilingFt);
    const Conditions::FlightConditions c = Conditions::conditionsOf(raw);
    QCOMPARE(c.category, category);
    QCOMPARE(c.visibilityM.value_or(-1), visibilityM);
    QCOMPARE(c.ceilingFt.value_or(-1), ceilingFt);
    if (category == Category::Marginal) // the limits are the caller's
        QCOMPARE(Conditions::conditionsOf(raw, { 5000, 1500, 5000, 1500 }).category, Category::Vmc);
    QVERIFY(Conditions::conditionsLine(c).startsWith(u"Conditions de vol : "_s + Conditions::categoryWord(category)));
}

void TestPilotFacts::daylight_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<DayKind>("kind");
    QTest::addColumn<QTime>("sunriseUtc"); // almanac time, to within two minutes; invalid: not checked
    QTest::addColumn<QTime>("sunsetUtc");
    QTest::addColumn<bool>("night");
    const QDate june(2026, 6, 21);
    const QDate december(2026, 12, 21);

    // Paris almanac times, a minute earlier at Roissy, 0.2° further east.
    QTest::newRow("LFPG in June") << u"LFPG"_s << june << DayKind::Normal << QTime(3, 46) << QTime(19, 57) << true;
    QTest::newRow("LFPG in December") << u"LFPG"_s << december << DayKind::Normal << QTime(7, 41) << QTime(15, 55)
                                      << true;
    // Near the equator the sun rises before midnight UTC, and the night margin is a quarter of an hour.
    QTest::newRow("Singapore") << u"WSSS"_s << june << DayKind::Normal << QTime(22, 59) << QTime(11, 11) << true;
    QTest::newRow("Thule in June") << u"BGTL"_s << june << DayKind::PolarDay << QTime() << QTime() << false;
    QTest::newRow("South Pole in June") << u"NZSP"_s << june << DayKind::PolarNight << QTime() << QTime() << true;
    // Akureyri at midsummer: the sun sets after midnight UTC, and not for the hour a night needs.
    QTest::newRow("short summer night") << u"BIAR"_s << june << DayKind::Normal << QTime() << QTime() << false;
}

void TestPilotFacts::daylight()
{
    QFETCH(QString, code);
    QFETCH(QDate, date);
    QFETCH(DayKind, kind);
    QFETCH(QTime, sunriseUtc);
    QFETCH(QTime, sunsetUtc);
    QFETCH(bool, night);
    const Stations::StationPlace place = Stations::placeOf(code).value();
    const Daylight::SunTimes sun = Daylight::sunTimes(place.latitudeDeg, place.longitudeDeg, date);
    const QString line = Daylight::daylightLine(sun, kParis);
    QCOMPARE(sun.kind, kind);
    if (kind != DayKind::Normal) {
        QVERIFY(line.startsWith(kind == DayKind::PolarDay ? u"Jour polaire"_s : u"Nuit polaire"_s));
        return;
    }
    QVERIFY(!sunriseUtc.isValid() || std::abs(sun.sunriseUtc.time().secsTo(sunriseUtc)) <= 120);
    QVERIFY(!sunsetUtc.isValid() || std::abs(sun.sunsetUtc.time().secsTo(sunsetUtc)) <= 120);
    const QString paris = sun.sunriseUtc.addSecs(date.month() == 6 ? 7200 : 3600).toString(u"HH:mm");
    QVERIFY2(line.startsWith(u"Lever "_s + sun.sunriseUtc.toString(u"HH:mm") + u" UTC ("_s + paris + u") — coucher"_s),
        qPrintable(line));
    QCOMPARE(line.endsWith(u"pas de nuit aéronautique"_s), !night);
    if (!night)
        return;
    const int margin = std::abs(place.latitudeDeg) <= 30 ? 15 * 60 : 30 * 60;
    QCOMPARE(sun.sunsetUtc.secsTo(sun.nightFromUtc), margin);
    const Daylight::SunTimes next = Daylight::sunTimes(place.latitudeDeg, place.longitudeDeg, date.addDays(1));
    QCOMPARE(sun.nightUntilUtc.secsTo(next.sunriseUtc), margin);
}

void TestPilotFacts::densityAltitude_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<int>("elevationFt");
    QTest::addColumn<int>("densityFt"); // worked out by hand with the 120 ft per degree rule
    QTest::addColumn<bool>("shown");

    // Denver at 35 °C: pressure altitude 5,432 ft (29.92 inHg), 30.9 °C above standard there.
    QTest::newRow("hot day at a high station")
        << u"KDEN 081053Z 10SM CLR 35/02 A2992 RMK T03500017"_s << 5431 << 9136 << true;
    QTest::newRow("standard day at sea level") << u"LFRB 081030Z 9999 FEW030 15/10 Q1013"_s << 325 << 411 << false;
    QTest::newRow("low pressure, warm") << u"EGLL 081020Z 9999 BKN012 25/12 Q0985"_s << 83 << 2270 << true;
    QTest::newRow("frost at altitude") << u"LFLS 081030Z CAVOK M12/M15 Q1035"_s << 1302 << -2355 << false;
}

void TestPilotFacts::densityAltitude()
{
    QFETCH(QString, raw);
    QFETCH(int, elevationFt);
    QFETCH(int, densityFt);
    QFETCH(bool, shown);
    const std::optional<Density::DensityAltitude> da = Density::densityAltitudeOf(raw, elevationFt);
    QVERIFY2(
        da && std::abs(da->densityAltitudeFt - densityFt) <= 20, qPrintable(QString::number(da->densityAltitudeFt)));
    QCOMPARE(da->worthShowing, shown);
    QVERIFY(!Density::densityAltitudeOf(raw.section(u' ', 0, 2), elevationFt)); // no temperature, no QNH
}

QTEST_GUILESS_MAIN(TestPilotFacts)
#include "TestPilotFacts.moc"
