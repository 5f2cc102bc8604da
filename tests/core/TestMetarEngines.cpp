// The METAR text engines: reading the work file, the expiry rule, the translation, the title and the
// styled spans.
#include "reports/DecodedReport.h"
#include "reports/Expiry.h"
#include "reports/MetarStyle.h"
#include "reports/MetarTranslation.h"
#include "reports/WorkFile.h"

#include <QFile>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;

class TestMetarEngines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportText_data();
    void reportText();
    void fixtureReadsAsOneLine();
    void outOfDate_data();
    void outOfDate();
    void staleByFullDate_data();
    void staleByFullDate();
    void translate_data();
    void translate();
    void translatedFixtureHasThreeLines();
    void title_data();
    void title();
    void spans_data();
    void spans();
};

void TestMetarEngines::reportText_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");

    // Every line end and comma ends an item; the first item is dropped; each item is followed by a blank.
    QTest::newRow("name before the first comma dropped")
        << QByteArray("NAME, Country\nline two\n") << u"Country line two "_s;
    QTest::newRow("comma inside a date") << QByteArray("x\nDec 06, 2026\n") << u"Dec 06 2026 "_s;
    QTest::newRow("CR LF counts as one line end") << QByteArray("x\r\na\r\nb\r\n") << u"a b "_s;
    QTest::newRow("lone CR ends a line") << QByteArray("x\ra\rb") << u"a b "_s;
    QTest::newRow("empty line gives an empty item") << QByteArray("x\na\n\nb\n") << u"a  b "_s;
    QTest::newRow("blanks at item start dropped, inner kept") << QByteArray("x\n   a  b ,  c\n") << u"a  b  c "_s;
    QTest::newRow("tabs at item start dropped, inner kept") << QByteArray("x\n\t a\tb,\tc\n") << u"a\tb c "_s;
    QTest::newRow("no final line end") << QByteArray("x\nlast") << u"last "_s;

    // Files with nothing after the first item give no text at all.
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("one item only") << QByteArray("only\n") << QString();
    QTest::newRow("single-byte characters kept") << QByteArray("x\nmin\xe9ral\n") << u"minéral "_s;
}

void TestMetarEngines::reportText()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QCOMPARE(WorkFile::reportText(file), text);
}

void TestMetarEngines::fixtureReadsAsOneLine()
{
    const QString text = WorkFile::readReportText(QStringLiteral(VENTORIX_TEST_DATA "/metar/LFPG.TXT"));
    QVERIFY(!text.contains(u'\n') && !text.contains(u'\r') && !text.contains(u','));
    QVERIFY2(text.startsWith(u"France (LFPG) 49-01N 002-32E 119M Dec 06 2026 - 02:30 PM EST"_s), qPrintable(text));
    QVERIFY(text.contains(u"UTC Wind: from the NW (310 degrees) at 9 MPH (8 KT):0 Visibility:"_s));
    QVERIFY(text.endsWith(u"NOSIG cycle: 19 "_s));
}

void TestMetarEngines::outOfDate_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("stale");

    const QDate mid(2026, 12, 15);
    // Mid-month: from two days before to one day after today counts as current.
    QTest::newRow("today") << mid << u"ob: LFPG 151930Z"_s << false;
    QTest::newRow("yesterday") << mid << u"ob: LFPG 141930Z"_s << false;
    QTest::newRow("two days before") << mid << u"ob: LFPG 131930Z"_s << false;
    QTest::newRow("three days before") << mid << u"ob: LFPG 121930Z"_s << true;
    QTest::newRow("tomorrow") << mid << u"ob: LFPG 161930Z"_s << false;
    QTest::newRow("two days ahead") << mid << u"ob: LFPG 171930Z"_s << true;

    // Month ends: only day numbers are compared, against today's and yesterday's.
    const QDate afterLong(2027, 1, 1);
    QTest::newRow("1st, the 31st before") << afterLong << u"ob: LFPG 312355Z"_s << false;
    QTest::newRow("1st, the 30th before") << afterLong << u"ob: LFPG 301200Z"_s << false;
    QTest::newRow("1st, the 29th before") << afterLong << u"ob: LFPG 291200Z"_s << true;
    QTest::newRow("1st, the 2nd") << afterLong << u"ob: LFPG 020000Z"_s << false;
    QTest::newRow("1st, day 0") << afterLong << u"ob: LFPG 00xxxxZ"_s << false;
    const QDate afterFebruary(2027, 3, 1);
    QTest::newRow("1 March, 28 February") << afterFebruary << u"ob: LFPG 281200Z"_s << false;
    QTest::newRow("1 March, 30 (no such day)") << afterFebruary << u"ob: LFPG 301200Z"_s << true;
    QTest::newRow("1 March, 27 February") << afterFebruary << u"ob: LFPG 271200Z"_s << false;
    QTest::newRow("1 March, 26 February") << afterFebruary << u"ob: LFPG 261200Z"_s << true;

    // The group is found after "ob:" and the code; the rest of the text does not matter.
    QTest::newRow("group read after the code") << mid << u"Dec 02 ob: LFPG 151930Z 02005KT"_s << false;
    QTest::newRow("no ob: marker, search from position 5") << mid << u"LFPG 121930Z"_s << true;
    QTest::newRow("blank four after the marker skipped") << mid << u"ob:X 12 151930Z"_s << false;
    QTest::newRow("blank five after the marker taken") << mid << u"ob: X 121930Z 151930Z"_s << true;
    QTest::newRow("no Z after the code: current") << mid << u"ob: LFPG 011930"_s << false;
    QTest::newRow("no blank after the code: current") << mid << u"ob: LFPG"_s << false;
    QTest::newRow("no blank after the code, a Z further: current") << mid << u"ob: LFPG151930Z"_s << false;
    QTest::newRow("non-numeric day reads 0") << mid << u"ob: LFPG AB1930Z"_s << true;
}

void TestMetarEngines::outOfDate()
{
    QFETCH(QDate, today);
    QFETCH(QString, text);
    QFETCH(bool, stale);
    QCOMPARE(Expiry::isMetarOutOfDate(text, today), stale);
}

void TestMetarEngines::staleByFullDate_data()
{
    QTest::addColumn<QString>("header"); // the file's full date, "" for none; today is 6 December 2026
    QTest::addColumn<QString>("group");
    QTest::addColumn<bool>("stale");

    // The day matches today's, so only the full date can tell; two days back stays current.
    QTest::newRow("this month") << u"2026.12.06 1930"_s << u"061930Z"_s << false;
    QTest::newRow("last month") << u"2026.11.06 1930"_s << u"061930Z"_s << true;
    QTest::newRow("years ago") << u"2013.12.06 1930"_s << u"061930Z"_s << true;
    QTest::newRow("two days before") << u"2026.12.04 2350"_s << u"042350Z"_s << false;
    QTest::newRow("no header: the day rule") << QString() << u"031930Z"_s << true;
}

void TestMetarEngines::staleByFullDate()
{
    QFETCH(QString, header);
    QFETCH(QString, group);
    QFETCH(bool, stale);

    const QString file = u"PARIS, France (LFPG)\n"_s + (header.isEmpty() ? QString() : header + u" UTC\n"_s)
        + u"ob: LFPG "_s + group + u" 31008KT 9999 10/06 Q1014\n"_s;
    const QDate today(2026, 12, 6);
    const DecodedReport report
        = Reports::decodeMetar(u"LFPG"_s, file.toLatin1(), today, QDateTime(today, QTime(20, 0), QTimeZone::utc()));
    QCOMPARE(report.bannerShown, stale);
}

void TestMetarEngines::translate_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    // One line of the service's file each.
    QTest::newRow("wind") << u"Wind: from the NW (310 degrees) at 9 MPH (8 KT):0"_s
                          << u"Vent: du NW (310 degrés) de 9 MPH (8 KT)"_s;
    QTest::newRow("calm wind") << u"Wind: Calm:0"_s << u"Vent: calme"_s;
    QTest::newRow("variable wind") << u"Wind: Variable at 2 MPH (2 KT):0"_s << u"Vent: variable de 2 MPH (2 KT)"_s;
    QTest::newRow("gusts") << u"Wind: from the W (270 degrees) at 23 MPH (20 KT) gusting to 35 MPH (30 KT):0"_s
                           << u"Vent: du W (270 degrés) de 23 MPH (20 KT) rafales à 35 MPH (30 KT)"_s;
    QTest::newRow("top visibility") << u"Visibility: greater than 7 mile(s):0"_s
                                    << u"Visibilité: supérieure à 10 kilomètres."_s;
    // Other visibilities in metres to the nearest hundred below 5 km, in kilometres above, miles after them.
    QTest::newRow("miles in metres") << u"Visibility: 3 mile(s):0"_s << u"Visibilité: 4\u00A0800 m (3 mi)"_s;
    QTest::newRow("low visibility") << u"Visibility: less than 1 mile:0"_s
                                    << u"Visibilité: inférieure à 1\u00A0600 m (1 mi)"_s;
    QTest::newRow("mile and a half") << u"Visibility: 1 1/2 mile(s):0"_s << u"Visibilité: 2\u00A0400 m (1 1/2 mi)"_s;
    QTest::newRow("five miles in kilometres") << u"Visibility: 5 mile(s):0"_s << u"Visibilité: 8 km (5 mi)"_s;
    QTest::newRow("sky") << u"Sky conditions: mostly cloudy"_s << u"Etat du ciel: généralement nuageux"_s;
    QTest::newRow("mostly clear before clear")
        << u"Sky conditions: mostly clear"_s << u"Etat du ciel: généralement dégagé"_s;
    QTest::newRow("light rain agrees") << u"Weather: light rain"_s << u"Météo: légère pluie"_s;
    QTest::newRow("rain showers before rain") << u"Weather: rain showers"_s << u"Météo: Averses de pluie"_s;
    QTest::newRow("drizzle mist before mist") << u"Weather: drizzle mist"_s << u"Météo: bruine"_s;
    QTest::newRow("vicinity") << u"Weather: fog in the vicinity"_s << u"Météo: brouillard dans les environs"_s;
    QTest::newRow("trace gets its blanks") << u"A trace"_s << u" très peu "_s;
    QTest::newRow("towering cumulus, both cases")
        << u"Towering cumulus clouds observed; towering cumulus clouds observed"_s
        << u"Cumulus congestus observés; Cumulus congestus observés"_s;
    // Celsius first, with a decimal comma.
    QTest::newRow("temperature") << u"Temperature: 50 F (10 C)"_s << u"Température: 10°C (50°F)"_s;
    QTest::newRow("below freezing, tenths") << u"Temperature: 28.4 F (-2.0 C)"_s << u"Température: -2,0°C (28,4°F)"_s;
    QTest::newRow("dew point") << u"Dew Point: 42 F (6 C)"_s << u"Point de rosée: 6°C (42°F)"_s;
    QTest::newRow("windchill") << u"Windchill: 23 F (-5 C):1"_s << u"Température ressentie: -5°C (23°F)"_s;
    QTest::newRow("heat index") << u"Heat index: 95 F (35 C):1"_s << u"Indice de chaleur: 35°C (95°F)"_s;
    QTest::newRow("humidity") << u"Relative Humidity: 75%"_s << u"Humidité relative: 75%"_s;
    QTest::newRow("pressure") << u"Pressure (altimeter): 29.94 in. Hg (1014 hPa)"_s
                              << u"Pression QNH: 1014 hPa (29,94 inHg)"_s;
    QTest::newRow("pressure falling") << u"Pressure tendency: 0.03 inches (1.0 hPa) lower than three hours ago"_s
                                      << u"Tendance de la pression: en baisse de 1,0 hPa (0,03 inHg) en trois heures"_s;
    QTest::newRow("pressure rising") << u"Pressure tendency: 0.06 inches (2.0 hPa) higher than three hours ago"_s
                                     << u"Tendance de la pression: en hausse de 2,0 hPa (0,06 inHg) en trois heures"_s;
    QTest::newRow("date line") << u"Jun 15 2026 - 05:51 AM EDT / 2026.06.15 0951 UTC"_s
                               << u"Observé le 15/06/2026 à 0951 UTC"_s;
    QTest::newRow("overcast") << u"Sky conditions: overcast"_s << u"Etat du ciel: couvert"_s;
    QTest::newRow("partly cloudy") << u"Sky conditions: partly cloudy"_s << u"Etat du ciel: partiellement nuageux"_s;
    QTest::newRow("clear") << u"Sky conditions: clear"_s << u"Etat du ciel: dégagé"_s;
    QTest::newRow("obscured") << u"Sky conditions: obscured"_s << u"Etat du ciel: obscurci"_s;
    QTest::newRow("smoke") << u"Weather: smoke"_s << u"Météo: fumée"_s;
    QTest::newRow("haze") << u"Weather: haze"_s << u"Météo: brume"_s;
    QTest::newRow("mist") << u"Weather: mist"_s << u"Météo: brouillard"_s;
    QTest::newRow("snow") << u"Weather: snow"_s << u"Météo: neige"_s;
    QTest::newRow("last hour") << u"Precipitation last hour: A trace"_s
                               << u"Précipitations de la dernière heure:  très peu "_s;
    QTest::newRow("inches of rain") << u"Precipitation last 6 hours: 0.50 inches"_s
                                    << u"Précipitations des 6 dernières heures: 12,7 mm (0,50 in)"_s;
    QTest::newRow("cumulonimbus") << u"Cumulonimbus clouds observed"_s << u"Cumulonimbus observés"_s;
    QTest::newRow("raw report on its own line")
        << u"ob: LFPG 061930Z 31008KT 9999"_s << u"\r\nMETAR complet:\r\n LFPG 061930Z 31008KT 9999"_s;

    // Further edges: inside words, capitals, untouched text, line ends.
    QTest::newRow("inside a word") << u"lightning"_s << u"légerning"_s;
    QTest::newRow("capitals untouched") << u"RAIN MIST FOG"_s << u"RAIN MIST FOG"_s;
    QTest::newRow("nothing to replace") << u"Dec 06 2026 - 0230 PM EST"_s << u"Dec 06 2026 - 0230 PM EST"_s;
    QTest::newRow("line feed") << u"a\nb"_s << u"a\r\nb"_s;
    QTest::newRow("CR LF doubles") << u"a\r\nb"_s << u"a\r\r\n\r\nb"_s;
    QTest::newRow("accented input not matched again") << u"léger pluie"_s << u"légère pluie"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestMetarEngines::translate()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QCOMPARE(Metar::translate(before), after);
}

void TestMetarEngines::translatedFixtureHasThreeLines()
{
    const QString text
        = Metar::translate(WorkFile::readReportText(QStringLiteral(VENTORIX_TEST_DATA "/metar/LFPG.TXT")));
    const QStringList lines = text.split(u"\r\n"_s);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].contains(u"Observé le 06/12/2026 à 1930 UTC Vent: du NW (310 degrés) de 9 MPH (8 KT) Visibilité: "
                              u"supérieure à 10 kilomètres. Etat du ciel: généralement nuageux Météo: légère pluie "
                              u"Température: 10°C (50°F)"_s));
    QCOMPARE(lines[1], u"METAR complet:"_s);
    QCOMPARE(lines[2], u" LFPG 061930Z 31008KT 9999 -RA BKN020 10/06 Q1014 NOSIG cycle: 19 "_s);
}

void TestMetarEngines::title_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("service date line") << u"Dec 06 2026 - 02:30 PM EST / 2026.12.06 1930 UTC Vent"_s
                                       << u"METAR de 1930 UTC"_s;
    QTest::newRow("first UTC wins") << u"x 0600 UTC y 1200 UTC"_s << u"METAR de 0600 UTC"_s;
    QTest::newRow("no UTC keeps the code") << u"Vent: calme"_s << u"METAR de LFPG"_s;
    QTest::newRow("UTC too near the start") << u"12 UTC"_s << u"METAR de LFPG"_s;
    QTest::newRow("UTC at position 5 still too near") << u"1234UTC"_s << u"METAR de LFPG"_s;
    QTest::newRow("UTC at position 6 far enough") << u"1234 UTC"_s << u"METAR de 1234 UTC"_s;
}

void TestMetarEngines::title()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QCOMPARE(Metar::title(text, u"LFPG"_s), title);
}

using Span = StyleSpan;
Q_DECLARE_METATYPE(StyleSpans)

// Spans located by the text they cover, so rows read as what they style.
static Span spanOn(const QString& text, const QString& covered, bool bold, quint32 rgb,
    std::optional<qreal> size = std::nullopt, qsizetype from = 0)
{
    const qsizetype start = text.indexOf(covered, from);
    Q_ASSERT(start >= 0);
    return Span { start, covered.size(), bold, rgb, size };
}

void TestMetarEngines::spans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<StyleSpans>("expected");

    const QString full = u"Dec 06 Vent: du NW (310 degrés) de 9 MPH (8 KT) Visibilité: supérieure à 10 kilomètres. "
                         u"Température: 10°C (50°F) Point de rosée: 6°C (42°F) \r\nMETAR complet:\r\n LFPG 061930Z "_s;
    const qsizetype vis = full.indexOf(u"Visibilité"_s);
    QTest::newRow("full report") << full
                                 << StyleSpans { Span { vis, full.indexOf(u'\r') + 1 - vis, true, 0xFF8000, {} },
                                        spanOn(full, u"Vent:"_s, true, 0x0000C0),
                                        spanOn(full, u"8 KT"_s, true, 0x0000C0),
                                        spanOn(full, u"Température:"_s, true, 0xC00000),
                                        spanOn(full, u"10°C"_s, true, 0xC00000, 14.0),
                                        Span { full.indexOf(u"METAR complet"_s),
                                            full.size() - full.indexOf(u"METAR complet"_s), false, 0xC0C0C0, {} } };

    const QString calm = u"Vent: calme Visi 3 Température: 8°C (46°F) Point de rosée: 7°C (45°F) \r\n"_s;
    QTest::newRow("calm wind styles the next second bracket group")
        << calm
        << StyleSpans { spanOn(calm, u"Vent:"_s, true, 0x0000C0), spanOn(calm, u"45°F"_s, true, 0x0000C0),
               spanOn(calm, u"Température:"_s, true, 0xC00000), spanOn(calm, u"8°C"_s, true, 0xC00000, 14.0) };

    const QString atStart = u"Visibilité: 3 mile(s) \r\nMETAR complet:\r\n X"_s;
    QTest::newRow("visibility at the very start is not styled")
        << atStart
        << StyleSpans { Span {
               atStart.indexOf(u"METAR"_s), atStart.size() - atStart.indexOf(u"METAR"_s), false, 0xC0C0C0, {} } };

    const QString longRaw = u"x \r\nMETAR complet:\r\n"_s + QString(1200, u'A');
    QTest::newRow("raw report limited to 1000 characters")
        << longRaw << StyleSpans { Span { longRaw.indexOf(u"METAR"_s), 1000, false, 0xC0C0C0, {} } };

    // Missing headings or brackets drop only their own span.
    QTest::newRow("nothing to style") << u"Dec 06 2026"_s << StyleSpans {};
    const QString noBracket = u"x Vent: calme Température: 50 F"_s;
    QTest::newRow("no brackets at all") << noBracket
                                        << StyleSpans { spanOn(noBracket, u"Vent:"_s, true, 0x0000C0),
                                               spanOn(noBracket, u"Température:"_s, true, 0xC00000) };
    const QString noTemperature = u"x Vent: du N (10 degrés) de 5 MPH (4 KT) Point (6°C)"_s;
    QTest::newRow("no temperature heading, no temperature value")
        << noTemperature
        << StyleSpans { spanOn(noTemperature, u"Vent:"_s, true, 0x0000C0),
               spanOn(noTemperature, u"4 KT"_s, true, 0x0000C0) };
    QTest::newRow("visibility without a line break after it") << u"x Visibilité: 3"_s << StyleSpans {};
    QTest::newRow("empty text") << QString() << StyleSpans {};
}

void TestMetarEngines::spans()
{
    QFETCH(QString, text);
    QFETCH(StyleSpans, expected);
    const StyleSpans actual = Metar::styleSpans(text);
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        const Span& a = actual.at(i);
        const Span& e = expected.at(i);
        QVERIFY2(a == e,
            qPrintable(u"span %1: got [%2,+%3 %4 %5] \"%6\", want [%7,+%8 %9 %10] \"%11\""_s.arg(i)
                           .arg(a.start)
                           .arg(a.length)
                           .arg(a.rgb, 6, 16)
                           .arg(a.bold)
                           .arg(text.mid(a.start, a.length))
                           .arg(e.start)
                           .arg(e.length)
                           .arg(e.rgb, 6, 16)
                           .arg(e.bold)
                           .arg(text.mid(e.start, e.length))));
    }
}

QTEST_GUILESS_MAIN(TestMetarEngines)
#include "TestMetarEngines.moc"
