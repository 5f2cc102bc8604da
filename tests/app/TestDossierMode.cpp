// The flight dossier of the real executable against a local server: every format, and the exit statuses.
#include "support/TestHttpServer.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestDossierMode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void wholeDossier_data();
    void wholeDossier();
    void reportsAreThoseOfTheReportMode();
    void exitCodes_data();
    void exitCodes();

private:
    struct Result
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    Result run(const QStringList& arguments);
    QStringList sources() const
    {
        return { u"--weather-base"_qs, m_server->base(), u"--notam-base"_qs, m_server->base(), u"--now"_qs,
            u"2026-12-15T12:10"_qs };
    }

    std::unique_ptr<TestHttpServer> m_server;
};

namespace {

QByteArray fixture(const QString& relative)
{
    QFile file(QStringLiteral(VENTORIX_TEST_DATA "/") + relative);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kMetarPath = u"/data/observations/metar/decoded/%1.TXT"_qs;
const QString kTafPath = u"/data/forecasts/taf/stations/%1.TXT"_qs;

} // namespace

void TestDossierMode::init()
{
    m_server = std::make_unique<TestHttpServer>();
    // LFPG and LFRS answer everything; EGLL, the alternate, nothing.
    m_server->setBody(kMetarPath.arg(u"LFPG"_qs), fixture(u"metar/LFPG.TXT"_qs));
    m_server->setBody(kTafPath.arg(u"LFPG"_qs), fixture(u"taf/LFPG.TXT"_qs));
    m_server->setBody(kMetarPath.arg(u"LFRS"_qs), fixture(u"metar/LFPG.TXT"_qs).replace("LFPG", "LFRS"));
    m_server->setBody(kTafPath.arg(u"LFRS"_qs),
        "2026/12/15 11:00\nTAF LFRS 151100Z 1512/1618 27015KT 9999 SCT030 TEMPO 1514/1517 3000 RA BKN010\n");
    m_server->setBody(u"/regusers/publictools/corp_comp/metar_taf_notam.html"_qs, fixture(u"notam/LFPG.html"_qs));
}

TestDossierMode::Result TestDossierMode::run(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    environment.insert(u"TZ"_qs, u"UTC"_qs); // --now is a local time
    environment.insert(u"XDG_CONFIG_HOME"_qs, u"/nonexistent/ventorix-test"_qs);
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
        return Result {};
    }
    return Result { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
}

void TestDossierMode::wholeDossier_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("text") << u"text"_qs;
    QTest::newRow("web page") << u"html"_qs;
    QTest::newRow("PDF") << u"pdf"_qs;
    QTest::newRow("JSON") << u"json"_qs;
}

void TestDossierMode::wholeDossier()
{
    QFETCH(QString, format);
    QTemporaryDir folder;
    const QString output = folder.filePath(u"dossier."_qs + format);
    const Result result
        = run(QStringList { u"--dossier"_qs, u"LFPG"_qs, u"LFRS"_qs, u"EGLL"_qs, u"--depart"_qs, u"13:30"_qs,
                  u"--arrive"_qs, u"15:00"_qs, u"--format"_qs, format, u"--output"_qs, output }
            + sources());

    // The alternate's failures fail the run, and are told, but the dossier is written whole.
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains("METAR de EGLL : le serveur ne connaît pas ce bulletin"), result.err.constData());
    QCOMPARE(m_server->requests().size(), 9);
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();

    if (format == u"json") {
        const QJsonObject dossier = QJsonDocument::fromJson(bytes).object();
        QCOMPARE(dossier[u"route"_qs].toString(), u"LFPG → LFRS, dégagement EGLL"_qs);
        QCOMPARE(dossier[u"depart"_qs].toString(), u"2026-12-15T13:30:00Z"_qs);
        QCOMPARE(dossier[u"arrive"_qs].toString(), u"2026-12-15T15:00:00Z"_qs);
        const QJsonArray stations = dossier[u"stations"_qs].toArray();
        QStringList roles;
        for (const QJsonValue& station : stations)
            roles.append(station[u"role"_qs].toString() + u' ' + station[u"code"_qs].toString());
        QCOMPARE(roles, (QStringList { u"departure LFPG"_qs, u"destination LFRS"_qs, u"alternate EGLL"_qs }));
        QVERIFY(stations.at(0)[u"tafAtArrival"_qs].isNull());
        const QJsonArray atArrival = stations.at(1)[u"tafAtArrival"_qs].toArray();
        QCOMPARE(atArrival.size(), 2);
        QCOMPARE(atArrival.at(1)[u"kind"_qs].toString(), u"TEMPO"_qs);
        QCOMPARE(atArrival.at(1)[u"from"_qs].toString(), u"2026-12-15T14:00:00Z"_qs);
        QVERIFY(atArrival.at(1)[u"warning"_qs].toBool());
        QCOMPARE(stations.at(2)[u"tafAtArrivalNote"_qs].toString(),
            u"pas de TAF pour cette heure : la prévision n'a pas été obtenue ou n'est pas datée"_qs);
        QCOMPARE(stations.at(2)[u"metar"_qs][u"error"_qs].toString(), u"not-found"_qs);
        return;
    }

    QString text = QString::fromUtf8(bytes);
    if (format == u"html") {
        text.replace(QRegularExpression(u"<p>|<br>"_qs), u"\n"_qs).remove(QRegularExpression(u"<[^>]*>"_qs));
        text.replace(u"&#39;"_qs, u"'"_qs);
    } else if (format == u"pdf") {
        QProcess pdfToText;
        pdfToText.start(u"pdftotext"_qs, { u"-layout"_qs, output, u"-"_qs });
        QVERIFY2(pdfToText.waitForFinished(), "pdftotext (poppler-utils) is needed");
        text = QString::fromUtf8(pdfToText.readAllStandardOutput());
    }
    // The sections in route order, the TAF at the arrival at the head of the destination's, its TEMPO a warning.
    const QStringList expected { u"LFPG → LFRS, dégagement EGLL"_qs,
        u"Départ le 15/12/2026 à 13:30 UTC — arrivée le 15/12/2026 à 15:00 UTC"_qs,
        u"2 bulletins n'ont pas pu être obtenus"_qs, u"Départ — LFPG — France, Paris"_qs, u"METAR de 1930 UTC"_qs,
        u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_qs, u"Notams"_qs, u"Destination — LFRS — France, Nantes"_qs,
        u"À l'arrivée (15:00 UTC ± 1 h) :"_qs, u"Conditions de base du 15/12:00 au 16/18:00 UTC"_qs,
        u"Attention — TEMPO du 15/14:00 au 15/17:00 UTC : 3000 Pluie Nuages fragmentés 010"_qs,
        u"TAF de LFRS du 15 à 12h00 au 16 à 18h00"_qs, u"Dégagement — EGLL — Uk, London"_qs,
        u"METAR de EGLL : le serveur ne connaît pas ce bulletin (erreur HTTP 404)."_qs,
        u"TAF de EGLL : le serveur ne connaît pas ce bulletin (erreur HTTP 404)."_qs };
    qsizetype at = 0;
    for (const QString& part : expected) {
        const qsizetype found = text.indexOf(part, at);
        QVERIFY2(found >= 0, qPrintable(u"missing or out of order: "_qs + part + u"\n"_qs + text));
        at = found + part.size();
    }
}

void TestDossierMode::reportsAreThoseOfTheReportMode()
{
    const Result dossier
        = run(QStringList { u"--dossier"_qs, u"LFPG"_qs, u"LFRS"_qs, u"--format"_qs, u"json"_qs } + sources());
    QCOMPARE(dossier.exitCode, 0);
    const QJsonArray stations = QJsonDocument::fromJson(dossier.out).object()[u"stations"_qs].toArray();
    QCOMPARE(stations.size(), 2);
    for (const QJsonValue& station : stations) {
        for (const QString& type : { u"metar"_qs, u"taf"_qs, u"notam"_qs }) {
            const Result alone = run(QStringList { u"--report"_qs, type, station[u"code"_qs].toString() } + sources());
            QCOMPARE(station[type].toObject(), QJsonDocument::fromJson(alone.out).object());
        }
    }
}

void TestDossierMode::exitCodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // on standard error

    const auto dossier = [](const QStringList& more) { return QStringList { u"--dossier"_qs } + more; };
    QTest::newRow("every report fetched") << dossier({ u"LFPG"_qs, u"LFRS"_qs }) << 0 << QString();
    QTest::newRow("a report missing") << dossier({ u"LFPG"_qs, u"LFRS"_qs, u"LFRN"_qs }) << 1
                                      << u"TAF de LFRN : le serveur ne connaît pas ce bulletin"_qs;
    QTest::newRow("unwritable output") << dossier({ u"LFPG"_qs, u"LFRS"_qs, u"--output"_qs, u"/nonexistent/d.txt"_qs })
                                       << 1 << u"dossier introuvable"_qs;

    // No flight: nothing is asked of any server.
    QTest::newRow("same station twice") << dossier({ u"LFPG"_qs, u"LFRS"_qs, u"lfpg"_qs }) << 2
                                        << u"la station LFPG est donnée deux fois"_qs;
    QTest::newRow("arrival before departure")
        << dossier({ u"LFPG"_qs, u"LFRS"_qs, u"--depart"_qs, u"14:00"_qs, u"--arrive"_qs, u"13:00"_qs }) << 2
        << u"l'arrivée (15/12/2026 13:00 UTC) doit suivre le départ (15/12/2026 14:00 UTC)"_qs;
    QTest::newRow("malformed code") << dossier({ u"LFPG"_qs, u"LF/S"_qs }) << 2 << u"code OACI invalide : « LF/S »"_qs;
    QTest::newRow("four alternates") << dossier({ u"LFPG"_qs, u"LFRS"_qs, u"LFRN"_qs, u"LFRB"_qs, u"LFRD"_qs,
        u"LFRQ"_qs }) << 2 << u"trois dégagements au plus"_qs;
    QTest::newRow("destination missing") << dossier({ u"LFPG"_qs }) << 2 << u"attend un départ et une destination"_qs;
    QTest::newRow("time of no form") << dossier({ u"LFPG"_qs, u"LFRS"_qs, u"--arrive"_qs, u"25:00"_qs }) << 2
                                     << u"heure invalide : 25:00"_qs;
    QTest::newRow("PDF without a file") << dossier({ u"LFPG"_qs, u"LFRS"_qs, u"--format"_qs, u"pdf"_qs }) << 2
                                        << u"le format pdf demande --output FICHIER"_qs;
    QTest::newRow("times without a dossier") << QStringList { u"--report"_qs, u"metar"_qs, u"LFPG"_qs, u"--depart"_qs,
        u"10:00"_qs } << 2 << u"vont avec --dossier"_qs;
}

void TestDossierMode::exitCodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    const Result result = run(arguments + sources());
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(QString::fromLocal8Bit(result.err).contains(said), result.err.constData());
    if (exitCode == 2)
        QVERIFY(m_server->requests().isEmpty());
    else
        QVERIFY(!m_server->requests().isEmpty());
}

QTEST_GUILESS_MAIN(TestDossierMode)
#include "TestDossierMode.moc"
