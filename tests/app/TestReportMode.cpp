// The report mode of the real executable, against a local server: its JSON, its text and exit statuses.
#include "support/ProgramRun.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestReportMode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void currentMetarAsJson();
    void staleMetarAsJson();
    void failedDownloadExitsWithOne();
    void jsonContract_data();
    void jsonContract();
    void tafAndNotamAsJson();
    void textFormat();
    void commandLines_data();
    void commandLines();
    void usageErrors_data();
    void usageErrors();
    void helpAndVersion();
    void userAgentNamesVersionAndSite();
    void demoReports_data();
    void demoReports();

private:
    using Result = ProgramRun;
    Result run(const QStringList& arguments, const char* program = VENTORIX_EXECUTABLE);

    std::unique_ptr<TestHttpServer> m_server;
    QString m_configHome;
    QTemporaryDir m_runtimeFolder;
};

void TestReportMode::init()
{
    m_server = std::make_unique<TestHttpServer>();
    m_configHome = u"/nonexistent/ventorix-test"_s;
    QFile fixture(QStringLiteral(VENTORIX_TEST_DATA "/metar/LFPG.TXT"));
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    m_server->setBody(u"/data/observations/metar/decoded/LFPG.TXT"_s, fixture.readAll());
}

TestReportMode::Result TestReportMode::run(const QStringList& arguments, const char* program)
{
    return runProgram(QString::fromUtf8(program), arguments, m_configHome, m_runtimeFolder.path());
}

void TestReportMode::currentMetarAsJson()
{
    const Result result = run({ u"--report"_s, u"metar"_s, u"LFPG"_s, u"--weather-base"_s, m_server->base(), u"--now"_s,
        u"2026-12-07T10:00"_s });
    QCOMPARE(result.exitCode, 0);
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(result.out, &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, result.out.constData());
    // Every key of the contract, always present (null where unknown), whatever the report.
    QCOMPARE(json.keys(),
        (QStringList { u"ageMinutes"_s, u"background"_s, u"banner"_s, u"bannerVisible"_s, u"ceilingFt"_s, u"code"_s,
            u"conditions"_s, u"demo"_s, u"densityAltitudeFt"_s, u"error"_s, u"fetched"_s, u"issued"_s, u"notams"_s,
            u"observed"_s, u"pilotLine"_s, u"pressureAltitudeFt"_s, u"raw"_s, u"reportVisible"_s, u"runs"_s,
            u"source"_s, u"stale"_s, u"station"_s, u"sun"_s, u"text"_s, u"title"_s, u"titleVisible"_s, u"type"_s,
            u"validFrom"_s, u"validTo"_s, u"visibilityM"_s }));
    QCOMPARE(json[u"error"_s].toString(), QString());
    QCOMPARE(json[u"code"_s].toString(), u"LFPG"_s);
    QCOMPARE(json[u"type"_s].toString(), u"METAR"_s);
    QCOMPARE(json[u"title"_s].toString(), u"METAR de 1930 UTC"_s);
    QCOMPARE(json[u"titleVisible"_s].toBool(), true);
    QCOMPARE(json[u"reportVisible"_s].toBool(), true);
    QCOMPARE(json[u"bannerVisible"_s].toBool(), false);
    QCOMPARE(json[u"background"_s].toString(), u"#FFFFFF"_s);
    const QString text = json[u"text"_s].toString();
    QCOMPARE(text.count(u"\r\n"_s), 2);

    QString joined;
    bool sawLargeRed = false;
    for (const QJsonValue& value : json[u"runs"_s].toArray()) {
        const QJsonObject run = value.toObject();
        QCOMPARE(run.keys(), (QStringList { u"bold"_s, u"color"_s, u"size"_s, u"text"_s }));
        joined += run[u"text"_s].toString();
        if (run[u"text"_s].toString() == u"10°C"_s) {
            QCOMPARE(run[u"color"_s].toString(), u"#C00000"_s);
            QCOMPARE(run[u"size"_s].toDouble(), 14.0);
            QVERIFY(run[u"bold"_s].toBool());
            sawLargeRed = true;
        }
        if (run[u"text"_s].toString().startsWith(u"Observé"_s) || run[u"text"_s].toString().startsWith(u"France"_s)) {
            QCOMPARE(run[u"color"_s].toString(), u"#000000"_s);
            QCOMPARE(run[u"size"_s].toDouble(), 8.5);
        }
    }
    QCOMPARE(joined, text);
    QVERIFY(sawLargeRed);
}

void TestReportMode::staleMetarAsJson()
{
    const Result result = run({ u"--report"_s, u"metar"_s, u"LFPG"_s, u"--weather-base"_s, m_server->base(), u"--now"_s,
        u"2027-01-02T10:00"_s });
    QCOMPARE(result.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    QCOMPARE(json[u"bannerVisible"_s].toBool(), true);
    QCOMPARE(json[u"banner"_s].toString(), u"METAR Périmé"_s);
    QCOMPARE(json[u"background"_s].toString(), u"#FFC0C0"_s);
}

void TestReportMode::failedDownloadExitsWithOne()
{
    const Result result = run({ u"--report"_s, u"metar"_s, u"EGLL"_s, u"--weather-base"_s, m_server->base() });
    QCOMPARE(result.exitCode, 1);
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    QCOMPARE(json[u"text"_s].toString(),
        u"Connexion à internet ...\r\nMETAR de EGLL : le serveur ne connaît pas ce bulletin (erreur HTTP 404)."_s);
    QCOMPARE(json[u"error"_s].toString(), u"not-found"_s);
    QCOMPARE(json[u"title"_s].toString(), QString());
}

void TestReportMode::jsonContract_data()
{
    QTest::addColumn<QStringList>("request"); // type, code, --now
    QTest::addColumn<QString>("path"); // served, with @p body
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("settings"); // the user's settings file
    QTest::addColumn<QJsonObject>("expected"); // the keys added for scripts

    const QJsonValue null(QJsonValue::Null);
    const auto station = [](const QString& code, const QString& name, const QString& city, const QString& country) {
        return QJsonObject { { u"code"_s, code }, { u"name"_s, name }, { u"city"_s, city }, { u"country"_s, country } };
    };
    const QJsonObject noPilotFacts { { u"ageMinutes"_s, null }, { u"conditions"_s, null }, { u"ceilingFt"_s, null },
        { u"visibilityM"_s, null }, { u"pressureAltitudeFt"_s, null }, { u"densityAltitudeFt"_s, null } };
    const auto with = [](QJsonObject object, const QJsonObject& more) {
        for (auto it = more.begin(); it != more.end(); ++it)
            object.insert(it.key(), it.value());
        return object;
    };
    QFile metar(QStringLiteral(VENTORIX_TEST_DATA "/metar/LFPG.TXT"));
    QVERIFY(metar.open(QIODevice::ReadOnly));
    const QByteArray metarBody = metar.readAll();
    // BKN020 at a field of 392 ft, 10 °C under 1014 hPa; Paris sees the sun from 08:29 to 16:53 local time.
    const QJsonObject paris { { u"sunrise"_s, u"2026-12-07T07:29:33Z"_s }, { u"sunset"_s, u"2026-12-07T15:52:44Z"_s },
        { u"nightStart"_s, u"2026-12-07T16:22:44Z"_s }, { u"nightEnd"_s, u"2026-12-08T07:00:38Z"_s } };
    const QJsonObject metarFacts {
        { u"ageMinutes"_s, 870 }, { u"conditions"_s, u"marginal"_s }, { u"ceilingFt"_s, 2000 },
        { u"visibilityM"_s, 10000 }, { u"sun"_s, paris }, { u"pressureAltitudeFt"_s, 372 },
        { u"densityAltitudeFt"_s, -139 },
        { u"pilotLine"_s,
            u"Observé il y a 14 h 30 min — 19:30 UTC (19:30 heure locale) · marginal · Lever 07:29 — coucher 15:52 UTC"_s }
    };
    QTest::newRow("METAR dated by its file's header")
        << QStringList { u"metar"_s, u"LFPG"_s, u"2026-12-07T10:00"_s }
        << u"/data/observations/metar/decoded/LFPG.TXT"_s << metarBody << QByteArray()
        << with(metarFacts,
               { { u"station"_s,
                     station(u"LFPG"_s, u"Charles de Gaulle International Airport"_s, u"Paris"_s, u"France"_s) },
                   { u"raw"_s, u"LFPG 061930Z 31008KT 9999 -RA BKN020 10/06 Q1014 NOSIG"_s },
                   { u"fetched"_s, u"2026-12-07T10:00:00Z"_s }, { u"stale"_s, false },
                   { u"observed"_s, u"2026-12-06T19:30:00Z"_s }, { u"issued"_s, null }, { u"validFrom"_s, null },
                   { u"validTo"_s, null }, { u"notams"_s, null } });
    // The user's own limits, read from the group he wrote: a 2,000 ft ceiling is then good enough.
    QTest::newRow("METAR under the user's lower ceiling limit")
        << QStringList { u"metar"_s, u"LFPG"_s, u"2026-12-07T10:00"_s }
        << u"/data/observations/metar/decoded/LFPG.TXT"_s << metarBody
        << QByteArray("[briefing]\nvmcCeilingFt=1800\nmarginalCeilingFt=900\n")
        << QJsonObject { { u"conditions"_s, u"VMC"_s }, { u"ceilingFt"_s, 2000 } };
    // Day 30 read on New Year's Day is last year's December; the validity runs into the new year.
    QTest::newRow("TAF across a month and year end")
        << QStringList { u"taf"_s, u"EGLL"_s, u"2027-01-01T01:00"_s } << u"/data/forecasts/taf/stations/EGLL.TXT"_s
        << QByteArray("2026/12/30 23:00\nTAF EGLL 302300Z 3100/0106 24010KT 9999 BKN030\n") << QByteArray()
        << with(noPilotFacts,
               { { u"station"_s, station(u"EGLL"_s, u"London Heathrow Airport"_s, u"London"_s, u"Uk"_s) },
                   { u"raw"_s, u"TAF EGLL 302300Z 3100/0106 24010KT 9999 BKN030"_s },
                   { u"fetched"_s, u"2027-01-01T01:00:00Z"_s }, { u"stale"_s, false }, { u"observed"_s, null },
                   { u"issued"_s, u"2026-12-30T23:00:00Z"_s }, { u"validFrom"_s, u"2026-12-31T00:00:00Z"_s },
                   { u"validTo"_s, u"2027-01-01T06:00:00Z"_s }, { u"notams"_s, null }, { u"ageMinutes"_s, 1560 },
                   { u"pilotLine"_s,
                       u"Émis il y a 1 j 2 h — valide du 31/12 00:00 au 01/01 06:00 UTC (00:00 au 06:00 heure locale)"
                       " · Lever 08:07 — coucher 16:03 UTC"_s } });
    QTest::newRow("station the data names no aerodrome for, not fetched")
        << QStringList { u"metar"_s, u"LFAQ"_s, u"2026-12-07T10:00"_s } << QString() << QByteArray() << QByteArray()
        << QJsonObject { { u"station"_s, station(u"LFAQ"_s, {}, u"Albert"_s, u"France"_s) } };
    QTest::newRow("station not in the directory, not fetched")
        << QStringList { u"metar"_s, u"ZZZZ"_s, u"2026-12-07T10:00"_s } << QString() << QByteArray() << QByteArray()
        << with(noPilotFacts,
               { { u"station"_s, station(u"ZZZZ"_s, {}, {}, {}) }, { u"raw"_s, null }, { u"fetched"_s, null },
                   { u"source"_s, null }, { u"stale"_s, false }, { u"observed"_s, null }, { u"issued"_s, null },
                   { u"validFrom"_s, null }, { u"validTo"_s, null }, { u"sun"_s, null }, { u"pilotLine"_s, null } });
}

void TestReportMode::jsonContract()
{
    QFETCH(QStringList, request);
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, settings);
    QFETCH(QJsonObject, expected);

    QTemporaryDir home;
    if (!settings.isEmpty()) {
        m_configHome = home.path();
        QFile file(home.filePath(u"Ventorix.ini"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(settings) == settings.size());
    }
    if (!path.isEmpty())
        m_server->setBody(path, body);
    const Result result = run({ u"--report"_s, request.at(0), request.at(1), u"--weather-base"_s, m_server->base(),
        u"--now"_s, request.at(2) });
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QVERIFY2(json.value(it.key()) == it.value(),
            qPrintable(it.key() + u": "_s + json.value(it.key()).toVariant().toString()));
    if (!path.isEmpty())
        QCOMPARE(json[u"source"_s].toString(), m_server->base() + path);
}

void TestReportMode::tafAndNotamAsJson()
{
    QFile taf(QStringLiteral(VENTORIX_TEST_DATA "/taf/LFPG.TXT"));
    QFile notam(QStringLiteral(VENTORIX_TEST_DATA "/notam/LFPG.html"));
    QVERIFY(taf.open(QIODevice::ReadOnly) && notam.open(QIODevice::ReadOnly));
    m_server->setBody(u"/data/forecasts/taf/stations/LFPG.TXT"_s, taf.readAll());
    m_server->setBody(u"/regusers/publictools/corp_comp/metar_taf_notam.html"_s, notam.readAll());

    const Result tafResult = run({ u"--report"_s, u"taf"_s, u"LFPG"_s, u"--weather-base"_s, m_server->base(),
        u"--now"_s, u"2026-12-16T08:00"_s });
    QCOMPARE(tafResult.exitCode, 0);
    const QJsonObject tafJson = QJsonDocument::fromJson(tafResult.out).object();
    QCOMPARE(tafJson[u"type"_s].toString(), u"TAF"_s);
    QCOMPARE(tafJson[u"title"_s].toString(), u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s);
    QCOMPARE(tafJson[u"bannerVisible"_s].toBool(), false);
    bool sawMaximum = false;
    for (const QJsonValue& value : tafJson[u"runs"_s].toArray()) {
        const QJsonObject run = value.toObject();
        if (run[u"text"_s].toString() == u"T° Maxi: 18°"_s) {
            QCOMPARE(run[u"color"_s].toString(), u"#C00000"_s);
            sawMaximum = run[u"bold"_s].toBool();
        }
    }
    QVERIFY(sawMaximum);

    const Result notamResult = run({ u"--report"_s, u"notam"_s, u"LFPG"_s, u"--notam-base"_s, m_server->base() });
    QCOMPARE(notamResult.exitCode, 0);
    const QJsonObject notamJson = QJsonDocument::fromJson(notamResult.out).object();
    QCOMPARE(notamJson[u"type"_s].toString(), u"NOTAM"_s);
    QCOMPARE(notamJson[u"title"_s].toString(), u"Notams"_s);
    QVERIFY(notamJson[u"text"_s].toString().startsWith(u"LFPG A2871/26"_s));
    const QJsonArray notams = notamJson[u"notams"_s].toArray(); // one-line entries: listed, nothing read
    QCOMPARE(notams.size(), 4);
    QVERIFY(notams.at(3)[u"status"_s].isNull());

    // Without a provider the NOTAM request fails like a download.
    const Result none = run({ u"--report"_s, u"notam"_s, u"LFPG"_s, u"--notam-base"_s, QString() });
    QCOMPARE(none.exitCode, 1);
    QCOMPARE(QJsonDocument::fromJson(none.out).object()[u"banner"_s].toString(), u"X"_s);
    QCOMPARE(QJsonDocument::fromJson(none.out).object()[u"error"_s].toString(), u"no-source"_s);
}

void TestReportMode::textFormat()
{
    const Result result = run({ u"--report"_s, u"metar"_s, u"LFPG"_s, u"--format"_s, u"text"_s, u"--weather-base"_s,
        m_server->base() + u'/' });
    QCOMPARE(result.exitCode, 0);
    const QString out = QString::fromUtf8(result.out);
    QVERIFY2(out.startsWith(u"METAR de 1930 UTC\n\n"_s), qPrintable(out));
    QVERIFY(out.contains(u"METAR complet:"_s));
}

void TestReportMode::commandLines_data()
{
    // BASE stands for the local server, OUT for a file that holds "ancien contenu" beforehand.
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // a pattern standard output must match
    QTest::addColumn<QString>("err"); // what standard error must contain; "" for nothing at all
    QTest::addColumn<QString>("file"); // what OUT holds afterwards

    const QString old = u"ancien contenu"_s;
    QTest::newRow("failed request leaves the output file alone")
        << u"--report metar EGLL --weather-base BASE --output OUT"_s << 1 << u"^$"_s
        << u"METAR de EGLL : le serveur ne connaît pas ce bulletin (erreur HTTP 404)."_s << old;
    QTest::newRow("report replaces the output file")
        << u"--report metar LFPG --weather-base BASE --now 2026-12-07T10:00 --format text --output OUT"_s << 0
        << u"^$"_s << QString() << u"METAR de 1930 UTC\n\n"_s;
    QTest::newRow("briefing as a web page into the output file")
        << u"--report metar LFPG --weather-base BASE --now 2026-12-07T10:00 --format html --output OUT"_s << 0
        << u"^$"_s << QString() << u"<title>Bulletin LFPG — METAR</title>"_s;
    QTest::newRow("briefing as a PDF into the output file")
        << u"--report notam LFPG --demo --format pdf --output OUT"_s << 0 << u"^$"_s << QString() << u"%PDF-"_s;
    QTest::newRow("lower-case code") << u"--report metar lfpg --weather-base BASE --now 2026-12-07T10:00"_s << 0
                                     << u"\"code\": \"LFPG\",\\s+\"conditions\": \"[^\"]+\",\\s+\"demo\": false"_s
                                     << QString() << old;
    QTest::newRow("option=value forms") << u"--report=metar LFPG --weather-base=BASE --now=2026-12-07T10:00"_s << 0
                                        << u"\"title\": \"METAR de 1930 UTC\""_s << QString() << old;
    QTest::newRow("empty weather base is no source")
        << u"--report metar LFPG --weather-base="_s << 1 << u"\"error\": \"no-source\""_s
        << u"Aucune source de METAR et de TAF"_s << old;
    QTest::newRow("stale text leads with its banner")
        << u"--report metar LFPG --weather-base BASE --format text --now 2027-01-02T10:00"_s << 0
        << u"^METAR Périmé\nMETAR de 1930 UTC\n\n"_s << QString() << old;
    QTest::newRow("demonstration in JSON")
        << u"--report metar LFPG --demo"_s << 0 << u"\"demo\": true"_s << QString() << old;
    QTest::newRow("demonstration read at the time given")
        << u"--report metar LFPG --demo --now 2026-12-07T10:00"_s << 0 << u"\"stale\": true"_s << QString() << old;
    QTest::newRow("demonstration in text")
        << u"--report notam LFPG --demo --format text"_s << 0 << u"^DÉMONSTRATION\nNotams\n"_s << QString() << old;
}

void TestReportMode::commandLines()
{
    QFETCH(QString, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, file);

    // The small report program answers the same command lines the same way, itself or through the program.
    for (const char* program : { VENTORIX_EXECUTABLE, VENTORIX_REPORT_EXECUTABLE }) {
        QTemporaryDir folder;
        QFile output(folder.filePath(u"bulletin.txt"_s));
        QVERIFY(output.open(QIODevice::WriteOnly) && output.write("ancien contenu") > 0);
        output.close();
        const Result result = run(
            QString(arguments).replace(u"BASE"_s, m_server->base()).replace(u"OUT"_s, output.fileName()).split(u' '),
            program);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(QRegularExpression(out).match(QString::fromUtf8(result.out)).hasMatch(), result.out.constData());
        QVERIFY2(
            err.isEmpty() ? result.err.isEmpty() : QString::fromUtf8(result.err).contains(err), result.err.constData());
        QVERIFY(output.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(output.readAll()).contains(file));
    }
}

void TestReportMode::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown option") << QStringList { u"--frobnicate"_s };
    QTest::newRow("missing value") << QStringList { u"--weather-base"_s };
    QTest::newRow("unknown type") << QStringList { u"--report"_s, u"sigmet"_s, u"LFPG"_s };
    QTest::newRow("report without code") << QStringList { u"--report"_s, u"metar"_s };
    QTest::newRow("bad format") << QStringList { u"--report"_s, u"metar"_s, u"LFPG"_s, u"--format"_s, u"xml"_s };
    QTest::newRow("bad date") << QStringList { u"--report"_s, u"metar"_s, u"LFPG"_s, u"--now"_s, u"demain"_s };
    QTest::newRow("format without report") << QStringList { u"--format"_s, u"text"_s };
    QTest::newRow("output without report") << QStringList { u"--output"_s, u"bulletin.txt"_s };
    QTest::newRow("empty output") << QStringList { u"--report"_s, u"metar"_s, u"LFPG"_s, u"--output"_s, QString() };
    QTest::newRow("PDF to the terminal") << QStringList { u"--report"_s, u"metar"_s, u"LFPG"_s, u"--format"_s,
        u"pdf"_s };
}

void TestReportMode::usageErrors()
{
    QFETCH(QStringList, arguments);
    for (const char* program : { VENTORIX_EXECUTABLE, VENTORIX_REPORT_EXECUTABLE }) {
        const Result result = run(arguments, program);
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.contains("--help"), result.err.constData());
        QVERIFY(m_server->requests().isEmpty());
    }
}

void TestReportMode::helpAndVersion()
{
    const Result help = run({ u"--help"_s });
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("--report"));
    const Result version = run({ u"--version"_s });
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("Ventorix 3.0.0\n"));
}

void TestReportMode::userAgentNamesVersionAndSite()
{
    // The site in force comes from the user's settings file, which the report mode reads and leaves alone.
    QTemporaryDir home;
    m_configHome = home.path();
    QFile file(home.filePath(u"Ventorix.ini"_s));
    const QByteArray settings = "[sources]\nsite = http://site.test/moi\n";
    QVERIFY(file.open(QIODevice::ReadWrite) && file.write(settings) == settings.size() && file.flush());

    QCOMPARE(run({ u"--report"_s, u"metar"_s, u"LFPG"_s, u"--weather-base"_s, m_server->base() }).exitCode, 0);
    QCOMPARE(m_server->headers().size(), 1);
    const QByteArray head = m_server->headers().at(0) + "\r\n";
    QVERIFY2(head.contains("\r\nUser-Agent: Ventorix/3.0.0 (+http://site.test/moi)\r\n"), head.constData());
    QVERIFY(file.seek(0));
    QCOMPARE(file.readAll(), settings);
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"Ventorix.ini"_s });
}

void TestReportMode::demoReports_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("excerpt");

    // Current on their own day, and each says it is an example after decoding.
    QTest::newRow("METAR of Paris") << u"metar"_s << u"LFPG"_s << u"METAR de 0930 UTC"_s
                                    << u"119M EXEMPLE DE DEMONSTRATION"_s;
    QTest::newRow("TAF of New York") << u"taf"_s << u"KJFK"_s << u"TAF de KJFK du 15 à 06h00 au 16 à 12h00"_s
                                     << u"KJFK   EXEMPLE Vent du 190° 8 Kts."_s;
    QTest::newRow("NOTAM of London") << u"notam"_s << u"EGLL"_s << u"Notams"_s << u"\r\nEGLL A0021/26 NOTAMN"_s;
    // Each station has its own NOTAMs: none of another sample station comes with them.
    QTest::newRow("NOTAM of Paris") << u"notam"_s << u"LFPG"_s << u"Notams"_s << u"\r\nLFPG A0001/26 NOTAMN"_s;
}

void TestReportMode::demoReports()
{
    QFETCH(QString, type);
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(QString, excerpt);

    const Result result = run({ u"--report"_s, type, code, u"--demo"_s });
    QCOMPARE(result.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    QCOMPARE(json[u"error"_s].toString(), QString());
    QCOMPARE(json[u"title"_s].toString(), title);
    QCOMPARE(json[u"background"_s].toString(), u"#FFFFFF"_s);
    QVERIFY2(json[u"text"_s].toString().contains(excerpt), result.out.constData());
    for (const QString& other : { u"LFPG"_s, u"LFPO"_s, u"EGLL"_s, u"JFK"_s }) {
        if (type == u"notam" && !code.endsWith(other))
            QVERIFY2(!json[u"text"_s].toString().contains(other), qPrintable(other));
    }
}

QTEST_GUILESS_MAIN(TestReportMode)
#include "TestReportMode.moc"
