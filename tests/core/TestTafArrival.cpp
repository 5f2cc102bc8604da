// What a TAF says around an arrival time, read from the decoded forecast as the fetcher makes it.
#include "reports/TafArrival.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestTafArrival : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void arrivalWindow_data();
    void arrivalWindow();
};

void TestTafArrival::arrivalWindow_data()
{
    QTest::addColumn<QString>("forecast"); // the TAF as sent
    QTest::addColumn<QDateTime>("fetched");
    QTest::addColumn<QDateTime>("arrival");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QStringList>("groups"); // "kind from-to", "!" for a warning
    QTest::addColumn<QString>("firstText"); // the first group's French, when it matters

    const QDateTime mid(QDate(2026, 6, 15), QTime(11, 5), Qt::UTC);
    const auto at
        = [](int day, int hour, int minute) { return QDateTime(QDate(2026, 6, day), QTime(hour, minute), Qt::UTC); };
    const auto inForce = static_cast<int>(TafArrival::Status::InForce);
    const QString lfrs = u"TAF LFRS 151100Z 1512/1618 24010KT 9999 BKN030"_s;

    // Base conditions alone, in French on one line.
    QTest::newRow("base only") << lfrs << mid << at(15, 14, 30) << inForce << QString()
                               << QStringList { u"base 15/12:00-16/18:00"_s }
                               << u"Vent du 240° 10 Kts. Visi sup à 10Km. Nuages fragmentés 030"_s;

    // A BECMG in progress counts, one long over still does until an FM group replaces the conditions.
    QTest::newRow("BECMG across the window")
        << lfrs + u" BECMG 1514/1516 31015KT"_s << mid << at(15, 14, 30) << inForce << QString()
        << QStringList { u"base 15/12:00-16/18:00"_s, u"BECMG 15/14:00-15/16:00"_s } << QString();
    QTest::newRow("BECMG over before the window still in force")
        << lfrs + u" BECMG 1512/1513 31015KT FM152000 VRB03KT CAVOK"_s << mid << at(15, 18, 0) << inForce << QString()
        << QStringList { u"base 15/12:00-15/20:00"_s, u"BECMG 15/12:00-15/13:00"_s } << QString();
    QTest::newRow("FM group replaces everything before it")
        << lfrs + u" BECMG 1512/1513 31015KT FM152000 VRB03KT CAVOK"_s << mid << at(15, 22, 0) << inForce << QString()
        << QStringList { u"base 15/20:00-16/18:00"_s } << u"Vent variable 3 Kts. CAVOK"_s;

    // TEMPO and PROB groups that overlap are kept as warnings; those outside the window are left out.
    QTest::newRow("TEMPO and PROB overlapping")
        << lfrs + u" TEMPO 1514/1516 4000 -SHRA PROB30 TEMPO 1516/1518 BKN005 PROB40 1520/1522 FG"_s << mid
        << at(15, 16, 0) << inForce << QString()
        << QStringList { u"base 15/12:00-16/18:00"_s, u"TEMPO 15/14:00-15/16:00!"_s,
               u"PROB30 TEMPO 15/16:00-15/18:00!"_s }
        << QString();
    QTest::newRow("group ending as the window opens left out")
        << lfrs + u" TEMPO 1512/1514 4000 -SHRA"_s << mid << at(15, 15, 0) << inForce << QString()
        << QStringList { u"base 15/12:00-16/18:00"_s } << QString();

    // A window outside the validity, or running past it.
    QTest::newRow("window after the validity")
        << lfrs << mid << at(16, 20, 0) << static_cast<int>(TafArrival::Status::OutsideValidity)
        << u"hors de la validité du TAF (du 15 à 12h00 au 16 à 18h00 UTC)"_s << QStringList() << QString();
    QTest::newRow("window before the validity")
        << lfrs << mid << at(15, 10, 0) << static_cast<int>(TafArrival::Status::OutsideValidity)
        << u"hors de la validité du TAF (du 15 à 12h00 au 16 à 18h00 UTC)"_s << QStringList() << QString();
    QTest::newRow("window running past the end")
        << lfrs << mid << at(16, 17, 30) << inForce
        << u"en partie hors de la validité du TAF (du 15 à 12h00 au 16 à 18h00 UTC)"_s
        << QStringList { u"base 15/12:00-16/18:00"_s } << QString();

    // Periods read across midnight, a month's end and a year's.
    QTest::newRow("across midnight and the year's end")
        << u"TAF LFRS 311700Z 3118/0124 27012KT 9999 SCT025 TEMPO 3122/0103 3000 RA FM010600 20005KT"_s
        << QDateTime(QDate(2026, 12, 31), QTime(17, 10), Qt::UTC) << QDateTime(QDate(2027, 1, 1), QTime(0, 30), Qt::UTC)
        << inForce << QString() << QStringList { u"base 31/18:00-01/06:00"_s, u"TEMPO 31/22:00-01/03:00!"_s }
        << QString();
    QTest::newRow("across a 30-day month's end")
        << u"TAF LFRS 301700Z 3018/0124 27012KT 9999 BECMG 0102/0104 OVC008"_s
        << QDateTime(QDate(2026, 6, 30), QTime(17, 10), Qt::UTC) << QDateTime(QDate(2026, 7, 1), QTime(3, 0), Qt::UTC)
        << inForce << QString() << QStringList { u"base 30/18:00-02/00:00"_s, u"BECMG 01/02:00-01/04:00"_s }
        << QString();

    // Forecasts that say nothing for the window.
    QTest::newRow("TAF with no groups") << u"TAF LFRS 151100Z 1512/1618 TX18/1514Z"_s << mid << at(15, 14, 0)
                                        << static_cast<int>(TafArrival::Status::NoGroups)
                                        << u"le TAF ne contient aucune prévision"_s << QStringList() << QString();
    QTest::newRow("cancelled TAF") << u"TAF AMD LFRS 151300Z 1512/1618 CNL="_s << mid << at(15, 14, 0)
                                   << static_cast<int>(TafArrival::Status::NoGroups)
                                   << u"le TAF ne contient aucune prévision"_s << QStringList() << QString();
    QTest::newRow("TAF without validity")
        << u"TAF LFRS 151100Z NIL="_s << mid << at(15, 14, 0) << static_cast<int>(TafArrival::Status::NoForecast)
        << u"pas de TAF pour cette heure : la prévision n'a pas été obtenue ou n'est pas datée"_s << QStringList()
        << QString();
}

void TestTafArrival::arrivalWindow()
{
    QFETCH(QString, forecast);
    QFETCH(QDateTime, fetched);
    QFETCH(QDateTime, arrival);
    QFETCH(int, status);
    QFETCH(QString, note);
    QFETCH(QStringList, groups);
    QFETCH(QString, firstText);

    const QByteArray file = fetched.toString(u"yyyy/MM/dd HH:mm"_s).toUtf8() + '\n' + forecast.toUtf8() + '\n';
    const DecodedReport taf = Reports::decodeTaf(u"LFRS"_s, file, fetched.date(), fetched);
    const TafArrival::Forecast result = TafArrival::forecastAt(taf, arrival);

    QCOMPARE(static_cast<int>(result.status), status);
    QCOMPARE(TafArrival::note(result), note);
    QStringList summary;
    for (const TafArrival::Group& group : result.groups) {
        summary.append(u"%1 %2-%3%4"_s.arg(group.kind, group.fromUtc.toString(u"dd/HH:mm"_s),
            group.toUtc.toString(u"dd/HH:mm"_s), group.warning ? u"!"_s : QString()));
    }
    QCOMPARE(summary, groups);
    if (!firstText.isEmpty())
        QCOMPARE(result.groups.first().text, firstText);
}

QTEST_GUILESS_MAIN(TestTafArrival)
#include "TestTafArrival.moc"
