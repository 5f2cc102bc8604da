// Reading the NOTAMs of the cut block, their state against a clock, their French line and their order.
#include "reports/NotamParser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kSep = QString(70, u'_') + u"\n\n"_s;
const QDateTime kNow(QDate(2026, 1, 15), QTime(10, 0), Qt::UTC);

const QString kRunway = u"LFPG A0023/26 NOTAMN\r\nQ) LFFF/QMRLC/IV/NBO/A/000/999/4901N00233E005\r\n"
                        u"A) LFPG B) 2601120800 C) 2610312059\r\nE) RWY 09L/27R CLSD DUE TO WORKS.\r\n"_s;
const QString kArea = u"LFPG A0024/26 NOTAMR A0020/26\r\nQ) LFFF/QRRCA/IV/BO/W/000/065/4850N00210E010\r\n"
                      u"A) LFPG LFPO LFPB B) 2601150600 C) 2602011800 EST\r\nD) MON-FRI 0600-1800\r\n"
                      u"E) R 45 A) ACTIVATED, AREA BOUNDED BY\r\n4855N00205E - 4845N00215E - 4850N00220E.\r\n"
                      u"F) SFC G) FL065\r\n"_s;
const QString kCancel = u"(A0025/26 NOTAMC A0019/26\nQ) LFFF/QOBXX/IV/M/AE/000/010/4901N00233E001\n"
                        u"A) LFPG B) 2601141000\nE) OBST CRANE REMOVED.)\n"_s;
const QString kProvider = u"LFPG A2871/26 RWY 08L/26R CLSD DUE TO WORKS. 2601150600 2601201800\r\n"_s;

// An ICAO runway NOTAM with the given B), C) and the groups between them and E).
QString runway(const QString& from, const QString& to, const QString& more = {})
{
    return u"A0100/26 NOTAMN\nQ) LFFF/QMRLC/IV/NBO/A/000/999/4901N00233E005\nA) LFPG B) %1 C) %2\n%3E) RWY CLSD.\n"_s
        .arg(from, to, more);
}

QByteArray show(const QJsonValue& value)
{
    return QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact);
}

} // namespace

class TestNotamParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void items_data();
    void items();
    void status_data();
    void status();
    void aroundField_data();
    void aroundField();
    void briefingOrder();
    void tenThousandDamagedNotams();
};

void TestNotamParser::items_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("expected"); // one JSON object per item, holding the keys that row is about

    // Each kind, with every group it may carry.
    QTest::newRow("new runway closure") << kRunway << uR"([{"id":"A0023/26","kind":"new","replaces":null,
        "fir":"LFFF","qcode":"QMRLC","subject":"Piste","condition":"fermée","traffic":"IV","purpose":"NBO",
        "scope":"A","lowerFl":0,"upperFl":999,"centre":{"lat":49.016667,"lon":2.55},"radiusNm":5,
        "locations":["LFPG"],"from":"2026-01-12T08:00:00Z","to":"2026-10-31T20:59:00Z","estimated":false,
        "schedule":null,"text":"RWY 09L/27R CLSD DUE TO WORKS.","lower":null,"upper":null,
        "status":"en vigueur","aroundField":false}])"_s;
    QTest::newRow("replacement: EST, schedule, locations, E) over lines, limits")
        << kArea << uR"([{"kind":"replace","replaces":"A0020/26","subject":"Zone réglementée",
        "condition":"activée","locations":["LFPG","LFPO","LFPB"],"to":"2026-02-01T18:00:00Z","estimated":true,
        "schedule":"MON-FRI 0600-1800","lower":"SFC","upper":"FL065","upperFl":65,"scope":"W",
        "text":"R 45 A) ACTIVATED, AREA BOUNDED BY\n4855N00205E - 4845N00215E - 4850N00220E."}])"_s;
    QTest::newRow("cancellation written as a message") << kCancel << uR"([{"id":"A0025/26","kind":"cancel",
        "replaces":"A0019/26","subject":"Obstacle","condition":"voir le texte","to":null,
        "text":"OBST CRANE REMOVED.","status":"en vigueur"}])"_s;
    QTest::newRow("permanent obstacle")
        << u"A0030/26 NOTAMN\nQ) LFFF/QOBCE/IV/M/AE/000/010/4902N00231E001\nA) LFPG B) 2601100000 C) PERM\n"
           u"E) CRANE 4902N00231E HGT 310FT AMSL.\n"_s
        << uR"([{"to":"PERM","condition":"nouveau","status":"permanent","text":"CRANE 4902N00231E HGT 310FT AMSL."}])"_s;
    QTest::newRow("F) that is no limit stays in E)")
        << runway(u"2601120000"_s, u"2602122359"_s)
               .replace(u"QMRLC"_s, u"QMDCH"_s)
               .replace(u"RWY CLSD."_s, u"RWY 08L TORA 2700M, SEE\nF) TABLE 3."_s)
        << uR"([{"subject":"Distances déclarées","condition":"modifiées","lower":null,
        "text":"RWY 08L TORA 2700M, SEE\nF) TABLE 3."}])"_s;
    QTest::newRow("southern and western centre")
        << u"SCEL A0050/26 NOTAMN Q) SCEZ/QNVAS/IV/BO/AE/000/999/3324S07047W025 A) SCEL B) 2601010000 "
           u"C) 2601312359 E) VOR AMB U/S."_s
        << uR"([{"fir":"SCEZ","subject":"VOR","condition":"hors service","centre":{"lat":-33.4,"lon":-70.783333},
        "radiusNm":25,"locations":["SCEL"],"text":"VOR AMB U/S."}])"_s;

    // Damaged NOTAMs: what can be read is read, the rest is null.
    QTest::newRow("truncated in Q)") << u"LFPG A0040/26 NOTAMN\r\nQ) LFFF/QMXLC/IV/"_s
                                     << uR"([{"id":"A0040/26","fir":"LFFF","subject":"Voie de circulation",
        "traffic":"IV","purpose":null,"scope":null,"centre":null,"locations":[],"from":null,"text":null,
        "status":null}])"_s;
    QTest::newRow("impossible dates") << runway(u"2602301200"_s, u"2613010000 EST"_s)
                                      << uR"([{"from":null,"to":null,"estimated":true,"status":null}])"_s;
    QTest::newRow("minute 60") << runway(u"2601122360"_s, u"2601130000"_s) << uR"([{"from":null}])"_s;
    QTest::newRow("C) before B) kept as read")
        << runway(u"2602011200"_s, u"2601011200"_s) << uR"([{"from":"2026-02-01T12:00:00Z",
        "to":"2026-01-01T12:00:00Z","status":null}])"_s;
    QTest::newRow("Q) fields missing or malformed")
        << runway(u"2601010000"_s, u"2601312359"_s)
               .replace(u"QMRLC/IV/NBO/A/000/999/4901N00233E005"_s, u"QWELW/IV/BO//000/050/9130N00233E005"_s)
        << uR"([{"subject":"Exercices","condition":"prévus","scope":null,"lowerFl":0,"upperFl":50,
        "centre":null,"radiusNm":null}])"_s;
    QTest::newRow("unknown code shows its letters")
        << runway(u"2601010000"_s, u"2601312359"_s).replace(u"QMRLC"_s, u"QZZYY"_s)
        << uR"([{"qcode":"QZZYY","subject":"ZZ","condition":"YY"}])"_s;
    QTest::newRow("header only") << u"A0001/26 NOTAMR"_s << uR"([{"id":"A0001/26","kind":"replace",
        "replaces":null,"qcode":null,"text":null}])"_s;

    // Not in ICAO format: the whole text and nothing else.
    QTest::newRow("provider line") << kProvider << uR"([{"id":null,"kind":null,"from":null,"locations":[],
        "text":"LFPG A2871/26 RWY 08L/26R CLSD DUE TO WORKS. 2601150600 2601201800\r\n","status":null,
        "aroundField":false}])"_s;
    QTest::newRow("NOTAM word without an id") << u"LFPG NOTAMN RWY CLSD"_s << uR"([{"id":null}])"_s;

    // Splitting the block: at separators and before each ICAO header, the closing rule left out.
    QTest::newRow("separators and the closing rule") << kRunway + kSep + kArea + QString(70, u'_') + u" (Fin)---\r\n"_s
                                                     << uR"([{"id":"A0023/26"},{"id":"A0024/26","upper":"FL065"}])"_s;
    QTest::newRow("NOTAMs one after the other")
        << kRunway + u"\r\n"_s + kCancel + kRunway << uR"([{"id":"A0023/26"},{"id":"A0025/26"},{"id":"A0023/26"}])"_s;
    QTest::newRow("provider lines") << kProvider + u"\r\n"_s + kSep + kProvider << uR"([{"id":null},{"id":null}])"_s;
    QTest::newRow("empty block") << QString() << u"[]"_s;
}

void TestNotamParser::items()
{
    QFETCH(QString, block);
    QFETCH(QString, expected);
    QJsonParseError error;
    const QJsonArray wanted = QJsonDocument::fromJson(expected.toUtf8(), &error).array();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));

    const QList<Notam::Item> items = Notam::parseItems(block);
    QString rebuilt;
    for (const Notam::Item& item : items)
        rebuilt += item.lead + item.text;
    QCOMPARE(rebuilt, block);
    QCOMPARE(items.size(), wanted.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QJsonObject actual = Notam::toJson(items.at(i), kNow, false);
        QCOMPARE(actual.size(), 24); // unknown values are null, never absent
        const QJsonObject want = wanted.at(i).toObject();
        for (auto it = want.begin(); it != want.end(); ++it) {
            const QByteArray message = it.key().toUtf8() + " of item " + QByteArray::number(i) + ": "
                + show(actual.value(it.key())) + " instead of " + show(it.value());
            QVERIFY2(actual.value(it.key()) == it.value(), message.constData());
        }
    }
}

void TestNotamParser::status_data()
{
    QTest::addColumn<QString>("notam");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<Notam::State>("state");
    QTest::addColumn<QString>("line");
    const QString period = u"du 12/01 08:00 au 31/10 20:59 UTC"_s;

    // Where the clock stands against B) and C).
    QTest::newRow("in force") << runway(u"2601120800"_s, u"2610312059"_s) << kNow << Notam::State::InForce
                              << u"A0100/26 — en vigueur — "_s + period + u" — Piste — fermée"_s;
    QTest::newRow("starts in three hours") << runway(u"2601151300"_s, u"2601151500"_s) << kNow << Notam::State::Upcoming
                                           << u"A0100/26 — à venir dans 3 h — du 15/01 13:00 au 15/01 15:00 UTC — "
                                              u"Piste — fermée"_s;
    QTest::newRow("starts in forty minutes")
        << runway(u"2601151040"_s, u"2601151500"_s) << kNow << Notam::State::Upcoming
        << u"A0100/26 — à venir dans 40 min — du 15/01 10:40 au 15/01 15:00 UTC "
           u"— Piste — fermée"_s;
    QTest::newRow("over a day away: the date, the year when not this one")
        << runway(u"2701021200"_s, u"2701031200"_s) << kNow << Notam::State::Upcoming
        << u"A0100/26 — à venir le 02/01/2027 — du 02/01/2027 12:00 au 03/01/2027 12:00 UTC — Piste — fermée"_s;
    QTest::newRow("ends exactly now") << runway(u"2601120800"_s, u"2601151000"_s) << kNow << Notam::State::Expired
                                      << u"A0100/26 — expiré — du 12/01 08:00 au 15/01 10:00 UTC — Piste — fermée"_s;
    QTest::newRow("permanent") << runway(u"2601120800"_s, u"PERM"_s) << kNow << Notam::State::Permanent
                               << u"A0100/26 — permanent — à partir du 12/01 08:00 UTC — Piste — fermée"_s;
    QTest::newRow("permanent not started yet") << runway(u"2601151300"_s, u"PERM"_s) << kNow << Notam::State::Upcoming
                                               << u"A0100/26 — à venir dans 3 h — à partir du 15/01 13:00 UTC — Piste "
                                                  u"— fermée"_s;

    // An estimated end is said; once passed it keeps the NOTAM in force until it is cancelled.
    QTest::newRow("estimated end ahead") << runway(u"2601120800"_s, u"2610312059EST"_s) << kNow << Notam::State::InForce
                                         << u"A0100/26 — en vigueur, fin estimée — "_s + period
            + u" — Piste — fermée"_s;
    QTest::newRow("estimated end passed")
        << runway(u"2601120800"_s, u"2601140000 EST"_s) << kNow << Notam::State::InForce
        << u"A0100/26 — en vigueur, fin estimée dépassée — du 12/01 08:00 au 14/01 "
           u"00:00 UTC — Piste — fermée"_s;

    // What the line adds: the schedule, the heights, the NOTAM replaced or cancelled.
    QTest::newRow("schedule and flight levels")
        << runway(u"2601120800"_s, u"2610312059"_s, u"D) MON-FRI\n  0600-1800\n"_s).replace(u"000/999"_s, u"000/050"_s)
        << kNow << Notam::State::InForce
        << u"A0100/26 — en vigueur — "_s + period
            + u" — Piste — fermée — FL000 à FL050 — horaires : MON-FRI 0600-1800"_s;
    QTest::newRow("cancellation has no end")
        << kCancel << kNow << Notam::State::InForce
        << u"A0025/26 (annule A0019/26) — en vigueur — à partir du 14/01 10:00 UTC "
           u"— Obstacle — voir le texte — FL000 à FL010"_s;
    QTest::newRow("replacement with F) and G)")
        << kArea << kNow << Notam::State::InForce
        << u"A0024/26 (remplace A0020/26) — en vigueur, fin estimée — du 15/01 06:00 au 01/02 18:00 UTC — Zone "
           u"réglementée — activée — SFC à FL065 — horaires : MON-FRI 0600-1800"_s;

    // No reliable dates, no state: never "en vigueur" by default.
    QTest::newRow("impossible start") << runway(u"2602301200"_s, u"2610312059"_s) << kNow << Notam::State::Unknown
                                      << u"A0100/26 — état inconnu — du 2602301200 (illisible) au 31/10 20:59 UTC — "
                                         u"Piste — fermée"_s;
    QTest::newRow("no end") << runway(u"2601120800"_s, QString()) << kNow << Notam::State::Unknown
                            << u"A0100/26 — état inconnu — du 12/01 08:00 au ? UTC — Piste — fermée"_s;
    QTest::newRow("C) before B)") << runway(u"2601140000"_s, u"2601130000"_s) << kNow << Notam::State::Unknown
                                  << u"A0100/26 — état inconnu — du 14/01 00:00 au 13/01 00:00 UTC — Piste — fermée"_s;
    QTest::newRow("cancellation with an unreadable end")
        << QString(kCancel).replace(u"B) 2601141000"_s, u"B) 2601141000 C) 26011"_s) << kNow << Notam::State::Unknown
        << u"A0025/26 (annule A0019/26) — état inconnu — du 14/01 10:00 au 26011 (illisible) UTC — Obstacle — voir "
           u"le texte — FL000 à FL010"_s;
    QTest::newRow("not ICAO: no line") << kProvider << kNow << Notam::State::Unknown << QString();
}

void TestNotamParser::status()
{
    QFETCH(QString, notam);
    QFETCH(QDateTime, now);
    QFETCH(Notam::State, state);
    QFETCH(QString, line);
    const QList<Notam::Item> items = Notam::parseItems(notam);
    QCOMPARE(items.size(), 1);
    QCOMPARE(Notam::statusAt(items.first(), now).state, state);
    QCOMPARE(Notam::statusLine(items.first(), now), line);
}

void TestNotamParser::aroundField_data()
{
    QTest::addColumn<QString>("qualifiers");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<bool>("covers");

    QTest::newRow("warning 4 NM away in a 5 NM circle") << u"W/000/050/4901N00233E005"_s << 49.0 << 2.45 << true;
    QTest::newRow("6 NM away") << u"W/000/050/4901N00233E005"_s << 49.0 << 2.42 << false;
    QTest::newRow("en-route and aerodrome scope") << u"AE/000/050/4901N00233E005"_s << 49.0 << 2.45 << true;
    QTest::newRow("aerodrome scope alone") << u"A/000/050/4901N00233E005"_s << 49.0 << 2.45 << false;
    QTest::newRow("no radius") << u"W/000/050/4901N00233E"_s << 49.0166 << 2.55 << false;
    QTest::newRow("across the date line") << u"W/000/050/1000S17950E020"_s << -10.0 << -179.9 << true;
    QTest::newRow("opposite longitudes near the pole") << u"W/000/050/8900N00000E100"_s << 89.5 << 180.0 << true;
}

void TestNotamParser::aroundField()
{
    QFETCH(QString, qualifiers);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(bool, covers);
    const QString notam = runway(u"2601120800"_s, u"2601312359"_s).replace(u"A/000/999/4901N00233E005"_s, qualifiers);
    const QList<Notam::Item> items = Notam::parseItems(notam);
    QCOMPARE(Notam::coversAerodrome(items.first(), lat, lon), covers);
    QCOMPARE(Notam::toJson(items.first(), kNow, covers).value(u"aroundField"_s).toBool(), covers);
    QCOMPARE(Notam::statusLine(items.first(), kNow, covers).endsWith(u" — autour du terrain"_s), covers);
}

void TestNotamParser::briefingOrder()
{
    // Page order: expired, non-ICAO, permanent, upcoming, in force, a blank piece, expired, an area warning.
    const QString block = runway(u"2601010000"_s, u"2601020000"_s).replace(u"A0100"_s, u"A0001"_s) + kSep + kProvider
        + kSep + runway(u"2601010000"_s, u"PERM"_s).replace(u"A0100"_s, u"A0003"_s) + kSep
        + runway(u"2601200000"_s, u"2601210000"_s).replace(u"A0100"_s, u"A0004"_s) + kSep + kRunway + kSep + u"\r\n"_s
        + kSep + runway(u"2601010000"_s, u"2601030000"_s).replace(u"A0100"_s, u"A0007"_s) + kSep + kArea;
    const Notam::Briefing briefing = Notam::arrange(Notam::parseItems(block), kNow, Notam::GeoPoint { 48.85, 2.2 });

    QStringList shown;
    for (const Notam::Entry& entry : briefing.shown)
        shown.append(entry.item.icao ? entry.item.id : u"page"_s);
    QCOMPARE(shown, QStringList({ u"A0023/26"_s, u"A0024/26"_s, u"A0004/26"_s, u"A0003/26"_s, u"page"_s }));
    QCOMPARE(briefing.shown.at(0).aroundField, false); // aerodrome scope
    QCOMPARE(briefing.shown.at(1).aroundField, true);
    QCOMPARE(briefing.shown.at(2).status.phrase, u"à venir le 20/01"_s);
    QCOMPARE(briefing.expired.size(), 2);
    QCOMPARE(briefing.expired.at(1).item.id, u"A0007/26"_s);
    QCOMPARE(Notam::expiredLine(briefing.expired.size()), u"2 NOTAM expirés — afficher"_s);
    QCOMPARE(Notam::expiredLine(1), u"1 NOTAM expiré — afficher"_s);
    QCOMPARE(Notam::expiredLine(0), QString());
}

void TestNotamParser::tenThousandDamagedNotams()
{
    // A page of 10,000 NOTAMs, each cut short at a random place (fixed seed): all kept, in order, text intact.
    QRandomGenerator rng(2101);
    const QStringList kinds { kRunway, kArea, kCancel, kProvider };
    QString block;
    for (int i = 0; i < 10000; ++i) {
        const QString& notam = kinds.at(i % kinds.size());
        block += (i > 0 ? kSep : QString()) + notam.left(1 + rng.bounded(notam.size()));
    }
    const QList<Notam::Item> items = Notam::parseItems(block);
    QVERIFY(items.size() >= 10000);
    QString rebuilt;
    for (const Notam::Item& item : items) {
        rebuilt += item.lead + item.text;
        QVERIFY(Notam::toJson(item, kNow, false).size() == 24);
        QVERIFY(item.icao == !Notam::statusLine(item, kNow).isEmpty());
    }
    QCOMPARE(rebuilt, block);
}

QTEST_GUILESS_MAIN(TestNotamParser)
#include "TestNotamParser.moc"
