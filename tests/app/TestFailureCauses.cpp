// Why a report failed, as the report area's second line and the report mode's "error" key say it, for each
// cause met for real: a server started on 127.0.0.1, a closed port, a name that cannot resolve, a plain
// server asked for TLS, a local source without the file, and requests that must never leave the program.
#include "app/ReportMode.h"
#include "support/WindowFixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTextEdit>

namespace {

enum class Base { LocalServer, ClosedPort, UnknownHost, PlainServerAskedForTls, DemoSamples, NoNotamSource };

// Answers anything in plain text, so a TLS handshake meets no TLS at all.
class PlainTextServer
{
public:
    PlainTextServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    socket->readAll();
                    socket->write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
                    socket->disconnectFromHost();
                });
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    QTcpServer m_server;
};

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort(); // closed again when the probe goes
}

} // namespace

Q_DECLARE_METATYPE(Base)

class TestFailureCauses : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void causes_data();
    void causes();
};

void TestFailureCauses::causes_data()
{
    QTest::addColumn<Base>("base");
    QTest::addColumn<int>("type"); // 0 METAR, 1 TAF, 2 NOTAM
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("secondLine");

    const QString connection = u"Connexion à internet ..."_qs;
    // The server answered, but with no report.
    QTest::newRow("report unknown to the server")
        << Base::LocalServer << 0 << u"LFXX"_qs << u"not-found"_qs << connection
        << u"Le serveur ne connaît pas de METAR pour LFXX (erreur HTTP 404)."_qs;
    QTest::newRow("NOTAM page unknown to the server")
        << Base::LocalServer << 2 << u"EGLL"_qs << u"not-found"_qs << connection
        << u"Le serveur ne connaît pas de NOTAM pour EGLL (erreur HTTP 404)."_qs;
    QTest::newRow("server error") << Base::LocalServer << 1 << u"LFPG"_qs << u"http-500"_qs << connection
                                  << u"Le serveur a répondu par une erreur (HTTP 500)."_qs;
    QTest::newRow("answer too large") << Base::LocalServer << 0 << u"EGLL"_qs << u"too-large"_qs << connection
                                      << u"La réponse du serveur est trop volumineuse pour être un bulletin."_qs;
    QTest::newRow("no answer in time") << Base::LocalServer << 0 << u"LFPO"_qs << u"timeout"_qs << connection
                                       << u"Le serveur 127.0.0.1 n'a pas répondu à temps."_qs;
    QTest::newRow("local source without the report") << Base::DemoSamples << 1 << u"LFBO"_qs << u"not-found"_qs
                                                     << connection << u"La source ne contient pas de TAF pour LFBO."_qs;

    // No server answered.
    QTest::newRow("host name not found") << Base::UnknownHost << 0 << u"LFPG"_qs << u"host-not-found"_qs << connection
                                         << u"Le nom du serveur ventorix-test.invalid est introuvable."_qs;
    QTest::newRow("connection refused") << Base::ClosedPort << 1 << u"LFPG"_qs << u"refused"_qs << connection
                                        << u"Le serveur 127.0.0.1 a refusé la connexion."_qs;
    QTest::newRow("secure connection failed")
        << Base::PlainServerAskedForTls << 0 << u"LFPG"_qs << u"tls"_qs << connection
        << u"La connexion sécurisée (TLS) avec 127.0.0.1 a échoué."_qs;

    // Nothing may be asked of any server.
    QTest::newRow("not a station code") << Base::LocalServer << 0 << u"../LFPG"_qs << u"invalid-code"_qs << connection
                                        << u"« ../LFPG » n'est pas un code de station (1 à 8 lettres ou chiffres)."_qs;
    QTest::newRow("no NOTAM source") << Base::NoNotamSource << 2 << u"LFPG"_qs << u"no-source"_qs
                                     << u"Aucune source de NOTAM n'est configurée."_qs
                                     << u"Indiquez-en une dans le fichier de réglages, section [sources], clé notam "
                                        "(par exemple notam=https://notam.example.org), ou avec l'option "
                                        "--notam-base URL."_qs;
}

void TestFailureCauses::causes()
{
    QFETCH(Base, base);
    QFETCH(int, type);
    QFETCH(QString, code);
    QFETCH(QString, error);
    QFETCH(QString, firstLine);
    QFETCH(QString, secondLine);

    WindowFixture fixture;
    fixture.server.setReply(u"/data/forecasts/taf/stations/LFPG.TXT"_qs, { 500, "oops", {}, false, 0 });
    fixture.server.setReply(u"/data/observations/metar/decoded/LFPO.TXT"_qs, { 200, {}, {}, true, 0 });
    fixture.serveMetar(u"EGLL"_qs, QByteArray(64 * 1024, 'x'));
    NetworkDownloader downloader(std::chrono::milliseconds(1500), 16 * 1024);
    PlainTextServer plain;
    Services services = fixture.services();
    services.downloader = &downloader;
    QString& server = type == 2 ? services.sources.notamBase : services.sources.weatherBase;
    if (base == Base::ClosedPort)
        server = u"http://127.0.0.1:%1"_qs.arg(closedPort());
    else if (base == Base::UnknownHost)
        server = u"http://ventorix-test.invalid"_qs;
    else if (base == Base::PlainServerAskedForTls)
        server = u"https://127.0.0.1:%1"_qs.arg(plain.port());
    else if (base == Base::DemoSamples)
        server = SourceAddress::DemoBase();
    else if (base == Base::NoNotamSource)
        server.clear();

    MainWindow window(services);
    window.selectReportTypeQuietly(type);
    window.showReport(code);

    const QStringList lines = control<QTextEdit>(window, u"reportArea"_qs)->toPlainText().split(u'\n');
    QCOMPARE(lines, (QStringList { firstLine, secondLine }));
    const QJsonObject json = QJsonDocument::fromJson(
        ReportMode::Json(window.shownReport(), code, type, Failure::Key(window.lastFailure())).toUtf8())
                                 .object();
    QCOMPARE(json[u"error"_qs].toString(), error);
    QVERIFY(!window.lastDownloadSucceeded());
    // A failed NOTAM request shows its banner and background, whatever the cause.
    QCOMPARE(json[u"bannerVisible"_qs].toBool(), type == 2);
    if (type == 2) {
        QCOMPARE(json[u"banner"_qs].toString(), u"X"_qs);
        QCOMPARE(json[u"background"_qs].toString(), u"#FFC0C0"_qs);
    }
    if (error == u"invalid-code" || error == u"no-source")
        QVERIFY(fixture.server.requests().isEmpty());
}

QTEST_MAIN(TestFailureCauses)
#include "TestFailureCauses.moc"
