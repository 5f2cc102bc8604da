// The flight dossier of the real executable against a local server: every format, and the exit statuses.
#include "support/ProgramRun.h"
#include "support/TestHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

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
    using Result = ProgramRun;
    Result run(const QStringList& arguments);
    QStringList sources() const
    {
        return { u"--weather-base"_s, m_server->base(), u"--notam-base"_s, m_server->base(), u"--now"_s,
            u"2026-12-15T12:10"_s };
    }

    std::unique_ptr<TestHttpServer> m_server;
    QTemporaryDir m_runtimeFolder;
};

namespace {

QByteArray fixture(const QString& relative)
{
    QFile file(QStringLiteral(VENTORIX_TEST_DATA "/") + relative);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kMetarPath = u"/data/observations/metar/decoded/%1.TXT"_s;
const QString kTafPath = u"/data/forecasts/taf/stations/%1.TXT"_s;

} // namespace

void TestDossierMode::init()
{
    m_server = std::make_unique<TestHttpServer>();
    // LFPG and LFRS answer everything; EGLL, the alternate, nothing.
    m_server->setBody(kMetarPath.arg(u"LFPG"_s), fixture(u"metar/LFPG.TXT"_s));
    m_server->setBody(kTafPath.arg(u"LFPG"_s), fixture(u"taf/LFPG.TXT"_s));
    m_server->setBody(kMetarPath.arg(u"LFRS"_s), fixture(u"metar/LFPG.TXT"_s).replace("LFPG", "LFRS"));
    m_server->setBody(kTafPath.arg(u"LFRS"_s),
        "2026/12/15 11:00\nTAF LFRS 151100Z 1512/1618 27015KT 9999 SCT030 TEMPO 1514/1517 3000 RA BKN010\n");
    m_server->setBody(u"/regusers/publictools/corp_comp/metar_taf_notam.html"_s, fixture(u"notam/LFPG.html"_s));
}

TestDossierMode::Result TestDossierMode::run(const QStringList& arguments)
{
    return runProgram(
        QStringLiteral(VENTORIX_EXECUTABLE), arguments, u"/nonexistent/ventorix-test"_s, m_runtimeFolder.path());
}

void TestDossierMode::wholeDossier_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("text") << u"text"_s;
    QTest::newRow("web page") << u"html"_s;
    QTest::newRow("PDF") << u"pdf"_s;
    QTest::newRow("JSON") << u"json"_s;
}

void TestDossierMode::wholeDossier()
{
    QFETCH(QString, format);
    QTemporaryDir folder;
    const QString output = folder.filePath(u"dossier."_s + format);
    const Result result = run(QStringList { u"--dossier"_s, u"LFPG"_s, u"LFRS"_s, u"EGLL"_s, u"--depart"_s, u"13:30"_s,
                                  u"--arrive"_s, u"15:00"_s, u"--format"_s, format, u"--output"_s, output }
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
        QCOMPARE(dossier[u"route"_s].toString(), u"LFPG → LFRS, dégagement EGLL"_s);
        QCOMPARE(dossier[u"depart"_s].toString(), u"2026-12-15T13:30:00Z"_s);
        QCOMPARE(dossier[u"arrive"_s].toString(), u"2026-12-15T15:00:00Z"_s);
        const QJsonArray stations = dossier[u"stations"_s].toArray();
        QStringList roles;
        for (const QJsonValue& station : stations)
            roles.append(station[u"role"_s].toString() + u' ' + station[u"code"_s].toString());
        QCOMPARE(roles, (QStringList { u"departure LFPG"_s, u"destination LFRS"_s, u"alternate EGLL"_s }));
        QVERIFY(stations.at(0)[u"tafAtArrival"_s].isNull());
        const QJsonArray atArrival = stations.at(1)[u"tafAtArrival"_s].toArray();
        QCOMPARE(atArrival.size(), 2);
        QCOMPARE(atArrival.at(1)[u"kind"_s].toString(), u"TEMPO"_s);
        QCOMPARE(atArrival.at(1)[u"from"_s].toString(), u"2026-12-15T14:00:00Z"_s);
        QVERIFY(atArrival.at(1)[u"warning"_s].toBool());
        QCOMPARE(stations.at(2)[u"tafAtArrivalNote"_s].toString(),
            u"pas de TAF pour cette heure : la prévision n'a pas été obtenue ou n'est pas datée"_s);
        QCOMPARE(stations.at(2)[u"metar"_s][u"error"_s].toString(), u"not-found"_s);
        return;
    }

    QString text = QString::fromUtf8(bytes);
    if (format == u"html") {
        text.replace(QRegularExpression(u"<p>|<br>"_s), u"\n"_s).remove(QRegularExpression(u"<[^>]*>"_s));
        text.replace(u"&#39;"_s, u"'"_s);
    } else if (format == u"pdf") {
        QProcess pdfToText;
        pdfToText.start(u"pdftotext"_s, { u"-layout"_s, output, u"-"_s });
        QVERIFY2(pdfToText.waitForFinished(), "pdftotext (poppler-utils) is needed");
        text = QString::fromUtf8(pdfToText.readAllStandardOutput());
    }
    // The sections in route order, the TAF at the arrival at the head of the destination's, its TEMPO a warning.
    const QStringList expected { u"LFPG → LFRS, dégagement EGLL"_s,
        u"Départ le 15/12/2026 à 13:30 UTC — arrivée le 15/12/2026 à 15:00 UTC"_s,
        u"2 bulletins n'ont pas pu être obtenus"_s, u"Départ — LFPG — France, Paris"_s, u"METAR de 1930 UTC"_s,
        u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s, u"Notams"_s, u"Destination — LFRS — France, Nantes"_s,
        u"À l'arrivée (15:00 UTC ± 1 h) :"_s, u"Conditions de base du 15 à 12h00 au 16 à 18h00 UTC"_s,
        u"Attention — TEMPO du 15 à 14h00 au 15 à 17h00 UTC : 3000 Pluie Nuages fragmentés 010"_s,
        u"TAF de LFRS du 15 à 12h00 au 16 à 18h00"_s, u"Dégagement — EGLL — Uk, London"_s,
        u"METAR de EGLL : le serveur ne connaît pas ce bulletin (erreur HTTP 404)."_s,
        u"TAF de EGLL : le serveur ne connaît pas ce bulletin (erreur HTTP 404)."_s };
    qsizetype at = 0;
    for (const QString& part : expected) {
        const qsizetype found = text.indexOf(part, at);
        QVERIFY2(found >= 0, qPrintable(u"missing or out of order: "_s + part + u"\n"_s + text));
        at = found + part.size();
    }
}

void TestDossierMode::reportsAreThoseOfTheReportMode()
{
    const Result dossier
        = run(QStringList { u"--dossier"_s, u"LFPG"_s, u"LFRS"_s, u"--format"_s, u"json"_s } + sources());
    QCOMPARE(dossier.exitCode, 0);
    const QJsonArray stations = QJsonDocument::fromJson(dossier.out).object()[u"stations"_s].toArray();
    QCOMPARE(stations.size(), 2);
    for (const QJsonValue& station : stations) {
        for (const QString& type : { u"metar"_s, u"taf"_s, u"notam"_s }) {
            const Result alone = run(QStringList { u"--report"_s, type, station[u"code"_s].toString() } + sources());
            QCOMPARE(station[type].toObject(), QJsonDocument::fromJson(alone.out).object());
        }
    }
}

void TestDossierMode::exitCodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // on standard error

    const auto dossier = [](const QStringList& more) { return QStringList { u"--dossier"_s } + more; };
    QTest::newRow("every report fetched") << dossier({ u"LFPG"_s, u"LFRS"_s }) << 0 << QString();
    QTest::newRow("a report missing") << dossier({ u"LFPG"_s, u"LFRS"_s, u"LFRN"_s }) << 1
                                      << u"TAF de LFRN : le serveur ne connaît pas ce bulletin"_s;
    QTest::newRow("unwritable output") << dossier({ u"LFPG"_s, u"LFRS"_s, u"--output"_s, u"/nonexistent/d.txt"_s }) << 1
                                       << u"dossier introuvable"_s;

    // No flight: nothing is asked of any server.
    QTest::newRow("same station twice") << dossier({ u"LFPG"_s, u"LFRS"_s, u"lfpg"_s }) << 2
                                        << u"la station LFPG est donnée deux fois"_s;
    QTest::newRow("arrival before departure")
        << dossier({ u"LFPG"_s, u"LFRS"_s, u"--depart"_s, u"14:00"_s, u"--arrive"_s, u"13:00"_s }) << 2
        << u"l'arrivée (15/12/2026 13:00 UTC) doit suivre le départ (15/12/2026 14:00 UTC)"_s;
    QTest::newRow("malformed code") << dossier({ u"LFPG"_s, u"LF/S"_s }) << 2 << u"code OACI invalide : « LF/S »"_s;
    QTest::newRow("four alternates") << dossier({ u"LFPG"_s, u"LFRS"_s, u"LFRN"_s, u"LFRB"_s, u"LFRD"_s, u"LFRQ"_s })
                                     << 2 << u"trois dégagements au plus"_s;
    QTest::newRow("destination missing") << dossier({ u"LFPG"_s }) << 2 << u"attend un départ et une destination"_s;
    QTest::newRow("time of no form") << dossier({ u"LFPG"_s, u"LFRS"_s, u"--arrive"_s, u"25:00"_s }) << 2
                                     << u"heure invalide : 25:00"_s;
    QTest::newRow("PDF without a file") << dossier({ u"LFPG"_s, u"LFRS"_s, u"--format"_s, u"pdf"_s }) << 2
                                        << u"le format pdf demande --output FICHIER"_s;
    QTest::newRow("times without a dossier") << QStringList { u"--report"_s, u"metar"_s, u"LFPG"_s, u"--depart"_s,
        u"10:00"_s } << 2 << u"vont avec --dossier"_s;
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
