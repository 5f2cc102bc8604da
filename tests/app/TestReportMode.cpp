// The report mode of the real executable, against a local server: its JSON, its text and exit statuses.
#include "support/TestHttpServer.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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
    struct Result
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    Result run(const QStringList& arguments);

    std::unique_ptr<TestHttpServer> m_server;
    QString m_configHome;
    QTemporaryDir m_runtimeFolder;
};

void TestReportMode::init()
{
    m_server = std::make_unique<TestHttpServer>();
    m_configHome = u"/nonexistent/ventorix-test"_qs;
    QFile fixture(QStringLiteral(VENTORIX_TEST_DATA "/metar/LFPG.TXT"));
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    m_server->setBody(u"/data/observations/metar/decoded/LFPG.TXT"_qs, fixture.readAll());
}

TestReportMode::Result TestReportMode::run(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    environment.insert(u"TZ"_qs, u"UTC"_qs); // --now is a local time
    // The user's settings must stay untouched: point the configuration home at nothing we keep.
    environment.insert(u"XDG_CONFIG_HOME"_qs, m_configHome);
    // HTML and PDF load the GUI, which warns on standard error without a runtime folder.
    environment.insert(u"XDG_RUNTIME_DIR"_qs, m_runtimeFolder.path());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VENTORIX_EXECUTABLE), arguments);
    // The server lives in this process: serve it while the program runs.
    QEventLoop loop;
    connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        qWarning("the report mode did not end in time");
        return Result {};
    }
    return Result { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
}

void TestReportMode::currentMetarAsJson()
{
    const Result result = run({ u"--report"_qs, u"metar"_qs, u"LFPG"_qs, u"--weather-base"_qs, m_server->base(),
        u"--now"_qs, u"2026-12-07T10:00"_qs });
    QCOMPARE(result.exitCode, 0);
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(result.out, &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, result.out.constData());
    // Every key of the contract, always present (null where unknown), whatever the report.
    QCOMPARE(json.keys(),
        (QStringList { u"ageMinutes"_qs, u"background"_qs, u"banner"_qs, u"bannerVisible"_qs, u"ceilingFt"_qs,
            u"code"_qs, u"conditions"_qs, u"demo"_qs, u"densityAltitudeFt"_qs, u"error"_qs, u"fetched"_qs, u"issued"_qs,
            u"notams"_qs, u"observed"_qs, u"pilotLine"_qs, u"pressureAltitudeFt"_qs, u"raw"_qs, u"reportVisible"_qs,
            u"runs"_qs, u"source"_qs, u"stale"_qs, u"station"_qs, u"sun"_qs, u"text"_qs, u"title"_qs,
            u"titleVisible"_qs, u"type"_qs, u"validFrom"_qs, u"validTo"_qs, u"visibilityM"_qs }));
    QCOMPARE(json[u"error"_qs].toString(), QString());
    QCOMPARE(json[u"code"_qs].toString(), u"LFPG"_qs);
    QCOMPARE(json[u"type"_qs].toString(), u"METAR"_qs);
    QCOMPARE(json[u"title"_qs].toString(), u"METAR de 1930 UTC"_qs);
    QCOMPARE(json[u"titleVisible"_qs].toBool(), true);
    QCOMPARE(json[u"reportVisible"_qs].toBool(), true);
    QCOMPARE(json[u"bannerVisible"_qs].toBool(), false);
    QCOMPARE(json[u"background"_qs].toString(), u"#FFFFFF"_qs);
    const QString text = json[u"text"_qs].toString();
    QCOMPARE(text.count(u"\r\n"_qs), 2);

    QString joined;
    bool sawLargeRed = false;
    for (const QJsonValue& value : json[u"runs"_qs].toArray()) {
        const QJsonObject run = value.toObject();
        QCOMPARE(run.keys(), (QStringList { u"bold"_qs, u"color"_qs, u"size"_qs, u"text"_qs }));
        joined += run[u"text"_qs].toString();
        if (run[u"text"_qs].toString() == u"10°C"_qs) {
            QCOMPARE(run[u"color"_qs].toString(), u"#C00000"_qs);
            QCOMPARE(run[u"size"_qs].toDouble(), 14.0);
            QVERIFY(run[u"bold"_qs].toBool());
            sawLargeRed = true;
        }
        if (run[u"text"_qs].toString().startsWith(u"Observé"_qs)
            || run[u"text"_qs].toString().startsWith(u"France"_qs)) {
            QCOMPARE(run[u"color"_qs].toString(), u"#000000"_qs);
            QCOMPARE(run[u"size"_qs].toDouble(), 8.5);
        }
    }
    QCOMPARE(joined, text);
    QVERIFY(sawLargeRed);
}

void TestReportMode::staleMetarAsJson()
{
    const Result result = run({ u"--report"_qs, u"metar"_qs, u"LFPG"_qs, u"--weather-base"_qs, m_server->base(),
        u"--now"_qs, u"2027-01-02T10:00"_qs });
    QCOMPARE(result.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    QCOMPARE(json[u"bannerVisible"_qs].toBool(), true);
    QCOMPARE(json[u"banner"_qs].toString(), u"METAR Périmé"_qs);
    QCOMPARE(json[u"background"_qs].toString(), u"#FFC0C0"_qs);
}

void TestReportMode::failedDownloadExitsWithOne()
{
    const Result result = run({ u"--report"_qs, u"metar"_qs, u"EGLL"_qs, u"--weather-base"_qs, m_server->base() });
    QCOMPARE(result.exitCode, 1);
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    QCOMPARE(json[u"text"_qs].toString(),
        u"Connexion à internet ...\r\nMETAR de EGLL : le serveur ne connaît pas ce bulletin (erreur HTTP 404)."_qs);
    QCOMPARE(json[u"error"_qs].toString(), u"not-found"_qs);
    QCOMPARE(json[u"title"_qs].toString(), QString());
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
        return QJsonObject { { u"code"_qs, code }, { u"name"_qs, name }, { u"city"_qs, city },
            { u"country"_qs, country } };
    };
    const QJsonObject noPilotFacts { { u"ageMinutes"_qs, null }, { u"conditions"_qs, null }, { u"ceilingFt"_qs, null },
        { u"visibilityM"_qs, null }, { u"pressureAltitudeFt"_qs, null }, { u"densityAltitudeFt"_qs, null } };
    const auto with = [](QJsonObject object, const QJsonObject& more) {
        for (auto it = more.begin(); it != more.end(); ++it)
            object.insert(it.key(), it.value());
        return object;
    };
    QFile metar(QStringLiteral(VENTORIX_TEST_DATA "/metar/LFPG.TXT"));
    QVERIFY(metar.open(QIODevice::ReadOnly));
    const QByteArray metarBody = metar.readAll();
    // BKN020 at a field of 392 ft, 10 °C under 1014 hPa; Paris sees the sun from 08:29 to 16:53 local time.
    const QJsonObject paris { { u"sunrise"_qs, u"2026-12-07T07:29:33Z"_qs },
        { u"sunset"_qs, u"2026-12-07T15:52:44Z"_qs }, { u"nightStart"_qs, u"2026-12-07T16:22:44Z"_qs },
        { u"nightEnd"_qs, u"2026-12-08T07:00:38Z"_qs } };
    const QJsonObject metarFacts {
        { u"ageMinutes"_qs, 870 }, { u"conditions"_qs, u"marginal"_qs }, { u"ceilingFt"_qs, 2000 },
        { u"visibilityM"_qs, 10000 }, { u"sun"_qs, paris }, { u"pressureAltitudeFt"_qs, 372 },
        { u"densityAltitudeFt"_qs, -139 },
        { u"pilotLine"_qs,
            u"Observé il y a 14 h 30 min — 19:30 UTC (19:30 heure locale) · marginal · Lever 07:29 — coucher 15:52 UTC"_qs }
    };
    QTest::newRow("METAR dated by its file's header")
        << QStringList { u"metar"_qs, u"LFPG"_qs, u"2026-12-07T10:00"_qs }
        << u"/data/observations/metar/decoded/LFPG.TXT"_qs << metarBody << QByteArray()
        << with(metarFacts,
               { { u"station"_qs,
                     station(u"LFPG"_qs, u"Charles de Gaulle International Airport"_qs, u"Paris"_qs, u"France"_qs) },
                   { u"raw"_qs, u"LFPG 061930Z 31008KT 9999 -RA BKN020 10/06 Q1014 NOSIG"_qs },
                   { u"fetched"_qs, u"2026-12-07T10:00:00Z"_qs }, { u"stale"_qs, false },
                   { u"observed"_qs, u"2026-12-06T19:30:00Z"_qs }, { u"issued"_qs, null }, { u"validFrom"_qs, null },
                   { u"validTo"_qs, null }, { u"notams"_qs, null } });
    // The user's own limits, read from the group he wrote: a 2,000 ft ceiling is then good enough.
    QTest::newRow("METAR under the user's lower ceiling limit")
        << QStringList { u"metar"_qs, u"LFPG"_qs, u"2026-12-07T10:00"_qs }
        << u"/data/observations/metar/decoded/LFPG.TXT"_qs << metarBody
        << QByteArray("[briefing]\nvmcCeilingFt=1800\nmarginalCeilingFt=900\n")
        << QJsonObject { { u"conditions"_qs, u"VMC"_qs }, { u"ceilingFt"_qs, 2000 } };
    // Day 30 read on New Year's Day is last year's December; the validity runs into the new year.
    QTest::newRow("TAF across a month and year end")
        << QStringList { u"taf"_qs, u"EGLL"_qs, u"2027-01-01T01:00"_qs } << u"/data/forecasts/taf/stations/EGLL.TXT"_qs
        << QByteArray("2026/12/30 23:00\nTAF EGLL 302300Z 3100/0106 24010KT 9999 BKN030\n") << QByteArray()
        << with(noPilotFacts,
               { { u"station"_qs, station(u"EGLL"_qs, u"London Heathrow Airport"_qs, u"London"_qs, u"Uk"_qs) },
                   { u"raw"_qs, u"TAF EGLL 302300Z 3100/0106 24010KT 9999 BKN030"_qs },
                   { u"fetched"_qs, u"2027-01-01T01:00:00Z"_qs }, { u"stale"_qs, false }, { u"observed"_qs, null },
                   { u"issued"_qs, u"2026-12-30T23:00:00Z"_qs }, { u"validFrom"_qs, u"2026-12-31T00:00:00Z"_qs },
                   { u"validTo"_qs, u"2027-01-01T06:00:00Z"_qs }, { u"notams"_qs, null }, { u"ageMinutes"_qs, 1560 },
                   { u"pilotLine"_qs,
                       u"Émis il y a 1 j 2 h — valide du 31/12 00:00 au 01/01 06:00 UTC (00:00 au 06:00 heure locale)"
                       " · Lever 08:07 — coucher 16:03 UTC"_qs } });
    QTest::newRow("station the data names no aerodrome for, not fetched")
        << QStringList { u"metar"_qs, u"LFAQ"_qs, u"2026-12-07T10:00"_qs } << QString() << QByteArray() << QByteArray()
        << QJsonObject { { u"station"_qs, station(u"LFAQ"_qs, {}, u"Albert"_qs, u"France"_qs) } };
    QTest::newRow("station not in the directory, not fetched")
        << QStringList { u"metar"_qs, u"ZZZZ"_qs, u"2026-12-07T10:00"_qs } << QString() << QByteArray() << QByteArray()
        << with(noPilotFacts,
               { { u"station"_qs, station(u"ZZZZ"_qs, {}, {}, {}) }, { u"raw"_qs, null }, { u"fetched"_qs, null },
                   { u"source"_qs, null }, { u"stale"_qs, false }, { u"observed"_qs, null }, { u"issued"_qs, null },
                   { u"validFrom"_qs, null }, { u"validTo"_qs, null }, { u"sun"_qs, null },
                   { u"pilotLine"_qs, null } });
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
        QFile file(home.filePath(u"Ventorix.ini"_qs));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(settings) == settings.size());
    }
    if (!path.isEmpty())
        m_server->setBody(path, body);
    const Result result = run({ u"--report"_qs, request.at(0), request.at(1), u"--weather-base"_qs, m_server->base(),
        u"--now"_qs, request.at(2) });
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QVERIFY2(json.value(it.key()) == it.value(),
            qPrintable(it.key() + u": "_qs + json.value(it.key()).toVariant().toString()));
    if (!path.isEmpty())
        QCOMPARE(json[u"source"_qs].toString(), m_server->base() + path);
}

void TestReportMode::tafAndNotamAsJson()
{
    QFile taf(QStringLiteral(VENTORIX_TEST_DATA "/taf/LFPG.TXT"));
    QFile notam(QStringLiteral(VENTORIX_TEST_DATA "/notam/LFPG.html"));
    QVERIFY(taf.open(QIODevice::ReadOnly) && notam.open(QIODevice::ReadOnly));
    m_server->setBody(u"/data/forecasts/taf/stations/LFPG.TXT"_qs, taf.readAll());
    m_server->setBody(u"/regusers/publictools/corp_comp/metar_taf_notam.html"_qs, notam.readAll());

    const Result tafResult = run({ u"--report"_qs, u"taf"_qs, u"LFPG"_qs, u"--weather-base"_qs, m_server->base(),
        u"--now"_qs, u"2026-12-16T08:00"_qs });
    QCOMPARE(tafResult.exitCode, 0);
    const QJsonObject tafJson = QJsonDocument::fromJson(tafResult.out).object();
    QCOMPARE(tafJson[u"type"_qs].toString(), u"TAF"_qs);
    QCOMPARE(tafJson[u"title"_qs].toString(), u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_qs);
    QCOMPARE(tafJson[u"bannerVisible"_qs].toBool(), false);
    bool sawMaximum = false;
    for (const QJsonValue& value : tafJson[u"runs"_qs].toArray()) {
        const QJsonObject run = value.toObject();
        if (run[u"text"_qs].toString() == u"T° Maxi: 18°"_qs) {
            QCOMPARE(run[u"color"_qs].toString(), u"#C00000"_qs);
            sawMaximum = run[u"bold"_qs].toBool();
        }
    }
    QVERIFY(sawMaximum);

    const Result notamResult = run({ u"--report"_qs, u"notam"_qs, u"LFPG"_qs, u"--notam-base"_qs, m_server->base() });
    QCOMPARE(notamResult.exitCode, 0);
    const QJsonObject notamJson = QJsonDocument::fromJson(notamResult.out).object();
    QCOMPARE(notamJson[u"type"_qs].toString(), u"NOTAM"_qs);
    QCOMPARE(notamJson[u"title"_qs].toString(), u"Notams"_qs);
    QVERIFY(notamJson[u"text"_qs].toString().startsWith(u"LFPG A2871/26"_qs));
    const QJsonArray notams = notamJson[u"notams"_qs].toArray(); // one-line entries: listed, nothing read
    QCOMPARE(notams.size(), 4);
    QVERIFY(notams.at(3)[u"status"_qs].isNull());

    // Without a provider the NOTAM request fails like a download.
    const Result none = run({ u"--report"_qs, u"notam"_qs, u"LFPG"_qs, u"--notam-base"_qs, QString() });
    QCOMPARE(none.exitCode, 1);
    QCOMPARE(QJsonDocument::fromJson(none.out).object()[u"banner"_qs].toString(), u"X"_qs);
    QCOMPARE(QJsonDocument::fromJson(none.out).object()[u"error"_qs].toString(), u"no-source"_qs);
}

void TestReportMode::textFormat()
{
    const Result result = run({ u"--report"_qs, u"metar"_qs, u"LFPG"_qs, u"--format"_qs, u"text"_qs,
        u"--weather-base"_qs, m_server->base() + u'/' });
    QCOMPARE(result.exitCode, 0);
    const QString out = QString::fromUtf8(result.out);
    QVERIFY2(out.startsWith(u"METAR de 1930 UTC\n\n"_qs), qPrintable(out));
    QVERIFY(out.contains(u"METAR complet:"_qs));
}

void TestReportMode::commandLines_data()
{
    // BASE stands for the local server, OUT for a file that holds "ancien contenu" beforehand.
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // a pattern standard output must match
    QTest::addColumn<QString>("err"); // what standard error must contain; "" for nothing at all
    QTest::addColumn<QString>("file"); // what OUT holds afterwards

    const QString old = u"ancien contenu"_qs;
    QTest::newRow("failed request leaves the output file alone")
        << u"--report metar EGLL --weather-base BASE --output OUT"_qs << 1 << u"^$"_qs
        << u"METAR de EGLL : le serveur ne connaît pas ce bulletin (erreur HTTP 404)."_qs << old;
    QTest::newRow("report replaces the output file")
        << u"--report metar LFPG --weather-base BASE --now 2026-12-07T10:00 --format text --output OUT"_qs << 0
        << u"^$"_qs << QString() << u"METAR de 1930 UTC\n\n"_qs;
    QTest::newRow("briefing as a web page into the output file")
        << u"--report metar LFPG --weather-base BASE --now 2026-12-07T10:00 --format html --output OUT"_qs << 0
        << u"^$"_qs << QString() << u"<title>Bulletin LFPG — METAR</title>"_qs;
    QTest::newRow("briefing as a PDF into the output file")
        << u"--report notam LFPG --demo --format pdf --output OUT"_qs << 0 << u"^$"_qs << QString() << u"%PDF-"_qs;
    QTest::newRow("lower-case code") << u"--report metar lfpg --weather-base BASE --now 2026-12-07T10:00"_qs << 0
                                     << u"\"code\": \"LFPG\",\\s+\"conditions\": \"[^\"]+\",\\s+\"demo\": false"_qs
                                     << QString() << old;
    QTest::newRow("option=value forms") << u"--report=metar LFPG --weather-base=BASE --now=2026-12-07T10:00"_qs << 0
                                        << u"\"title\": \"METAR de 1930 UTC\""_qs << QString() << old;
    QTest::newRow("empty weather base is no source")
        << u"--report metar LFPG --weather-base="_qs << 1 << u"\"error\": \"no-source\""_qs
        << u"Aucune source de METAR et de TAF"_qs << old;
    QTest::newRow("stale text leads with its banner")
        << u"--report metar LFPG --weather-base BASE --format text --now 2027-01-02T10:00"_qs << 0
        << u"^METAR Périmé\nMETAR de 1930 UTC\n\n"_qs << QString() << old;
    QTest::newRow("demonstration in JSON")
        << u"--report metar LFPG --demo"_qs << 0 << u"\"demo\": true"_qs << QString() << old;
    QTest::newRow("demonstration read at the time given")
        << u"--report metar LFPG --demo --now 2026-12-07T10:00"_qs << 0 << u"\"stale\": true"_qs << QString() << old;
    QTest::newRow("demonstration in text")
        << u"--report notam LFPG --demo --format text"_qs << 0 << u"^DÉMONSTRATION\nNotams\n"_qs << QString() << old;
}

void TestReportMode::commandLines()
{
    QFETCH(QString, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, file);

    QTemporaryDir folder;
    QFile output(folder.filePath(u"bulletin.txt"_qs));
    QVERIFY(output.open(QIODevice::WriteOnly) && output.write("ancien contenu") > 0);
    output.close();
    const Result result
        = run(arguments.replace(u"BASE"_qs, m_server->base()).replace(u"OUT"_qs, output.fileName()).split(u' '));
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(QRegularExpression(out).match(QString::fromUtf8(result.out)).hasMatch(), result.out.constData());
    QVERIFY2(
        err.isEmpty() ? result.err.isEmpty() : QString::fromUtf8(result.err).contains(err), result.err.constData());
    QVERIFY(output.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(output.readAll()).contains(file));
}

void TestReportMode::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown option") << QStringList { u"--frobnicate"_qs };
    QTest::newRow("missing value") << QStringList { u"--weather-base"_qs };
    QTest::newRow("unknown type") << QStringList { u"--report"_qs, u"sigmet"_qs, u"LFPG"_qs };
    QTest::newRow("report without code") << QStringList { u"--report"_qs, u"metar"_qs };
    QTest::newRow("bad format") << QStringList { u"--report"_qs, u"metar"_qs, u"LFPG"_qs, u"--format"_qs, u"xml"_qs };
    QTest::newRow("bad date") << QStringList { u"--report"_qs, u"metar"_qs, u"LFPG"_qs, u"--now"_qs, u"demain"_qs };
    QTest::newRow("format without report") << QStringList { u"--format"_qs, u"text"_qs };
    QTest::newRow("output without report") << QStringList { u"--output"_qs, u"bulletin.txt"_qs };
    QTest::newRow("empty output") << QStringList { u"--report"_qs, u"metar"_qs, u"LFPG"_qs, u"--output"_qs, QString() };
    QTest::newRow("PDF to the terminal") << QStringList { u"--report"_qs, u"metar"_qs, u"LFPG"_qs, u"--format"_qs,
        u"pdf"_qs };
}

void TestReportMode::usageErrors()
{
    QFETCH(QStringList, arguments);
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY(result.out.isEmpty());
    QVERIFY2(result.err.contains("--help"), result.err.constData());
    QVERIFY(m_server->requests().isEmpty());
}

void TestReportMode::helpAndVersion()
{
    const Result help = run({ u"--help"_qs });
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("--report"));
    const Result version = run({ u"--version"_qs });
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("Ventorix 3.0.0\n"));
}

void TestReportMode::userAgentNamesVersionAndSite()
{
    // The site in force comes from the user's settings file, which the report mode reads and leaves alone.
    QTemporaryDir home;
    m_configHome = home.path();
    QFile file(home.filePath(u"Ventorix.ini"_qs));
    const QByteArray settings = "[sources]\nsite = http://site.test/moi\n";
    QVERIFY(file.open(QIODevice::ReadWrite) && file.write(settings) == settings.size() && file.flush());

    QCOMPARE(run({ u"--report"_qs, u"metar"_qs, u"LFPG"_qs, u"--weather-base"_qs, m_server->base() }).exitCode, 0);
    QCOMPARE(m_server->headers().size(), 1);
    const QByteArray head = m_server->headers().at(0) + "\r\n";
    QVERIFY2(head.contains("\r\nUser-Agent: Ventorix/3.0.0 (+http://site.test/moi)\r\n"), head.constData());
    QVERIFY(file.seek(0));
    QCOMPARE(file.readAll(), settings);
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"Ventorix.ini"_qs });
}

void TestReportMode::demoReports_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("excerpt");

    // Current on their own day, and each says it is an example after decoding.
    QTest::newRow("METAR of Paris") << u"metar"_qs << u"LFPG"_qs << u"METAR de 0930 UTC"_qs
                                    << u"119M EXEMPLE DE DEMONSTRATION"_qs;
    QTest::newRow("TAF of New York") << u"taf"_qs << u"KJFK"_qs << u"TAF de KJFK du 15 à 06h00 au 16 à 12h00"_qs
                                     << u"KJFK   EXEMPLE Vent du 190° 8 Kts."_qs;
    QTest::newRow("NOTAM of London") << u"notam"_qs << u"EGLL"_qs << u"Notams"_qs
                                     << u"\r\nEGLL A0004/26 EXEMPLE OBST CRANE"_qs;
}

void TestReportMode::demoReports()
{
    QFETCH(QString, type);
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(QString, excerpt);

    const Result result = run({ u"--report"_qs, type, code, u"--demo"_qs });
    QCOMPARE(result.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    QCOMPARE(json[u"error"_qs].toString(), QString());
    QCOMPARE(json[u"title"_qs].toString(), title);
    QCOMPARE(json[u"background"_qs].toString(), u"#FFFFFF"_qs);
    QVERIFY2(json[u"text"_qs].toString().contains(excerpt), result.out.constData());
}

QTEST_GUILESS_MAIN(TestReportMode)
#include "TestReportMode.moc"
