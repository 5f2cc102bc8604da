// Where the addresses come from (option, environment, the settings file's group "sources", built in), that
// group surviving every save byte for byte, and why a report failed as the window and the report mode say it.
#include "BuildConfig.h"
#include "CommandLine.h"
#include "reports/ReportOutput.h"
#include "support/WindowFixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>
#include <QTextEdit>

namespace {

void putFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
}

} // namespace

class TestSources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void precedence_data();
    void precedence();
    void savesKeepTheSourcesGroup();
    void failureCauses_data();
    void failureCauses();
};

void TestSources::precedence_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QByteArray>("settingsFile");
    QTest::addColumn<int>("address"); // 0 weather, 1 NOTAM, 2 site
    QTest::addColumn<QString>("expected");

    // Each level beats every level below it, for each address.
    const QList<std::array<QString, 4>> addresses {
        { u"weather"_qs, u"--weather-base"_qs, u"VENTORIX_WEATHER_BASE"_qs, u"https://tgftp.nws.noaa.gov"_qs },
        { u"notam"_qs, u"--notam-base"_qs, u"VENTORIX_NOTAM_BASE"_qs, QStringLiteral(VENTORIX_DEFAULT_NOTAM_BASE) },
        { u"site"_qs, u"--site"_qs, u"VENTORIX_SITE"_qs, QStringLiteral(VENTORIX_DEFAULT_SITE) },
    };
    for (int i = 0; i < 3; ++i) {
        const auto& [key, option, variable, builtIn] = addresses.at(i);
        const QStringList given { option, u"http://option.test"_qs };
        const QStringList environment { variable + u"=http://environment.test"_qs };
        const QByteArray file = "[sources]\n" + key.toLatin1() + "=http://file.test\n";
        const QByteArray name = key.toLatin1();
        QTest::addRow("%s from its option", name.data()) << given << environment << file << i << given.at(1);
        QTest::addRow("%s from the environment", name.data())
            << QStringList() << environment << file << i << u"http://environment.test"_qs;
        QTest::addRow("%s from the settings file", name.data())
            << QStringList() << QStringList() << file << i << u"http://file.test"_qs;
        QTest::addRow("%s built in", name.data()) << QStringList() << QStringList() << QByteArray() << i << builtIn;
    }
    // How each level says "nothing here".
    QTest::newRow("an option given empty says none")
        << QStringList { u"--notam-base"_qs, QString() } << QStringList()
        << QByteArray("[sources]\nnotam=http://file.test\n") << 1 << QString();
    QTest::newRow("the demonstration beats an option")
        << QStringList { u"--demo"_qs, u"--notam-base"_qs, u"http://option.test"_qs } << QStringList() << QByteArray()
        << 1 << u"qrc:/demo"_qs;
}

void TestSources::precedence()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(QByteArray, settingsFile);
    QFETCH(int, address);
    QFETCH(QString, expected);

    QFile::remove(IniSettingsStore::defaultFilePath());
    if (!settingsFile.isEmpty())
        putFile(IniSettingsStore::defaultFilePath(), settingsFile);
    const CommandLine line = CommandLine::parse(arguments, environment);
    QVERIFY2(line.error.isEmpty(), qPrintable(line.error));
    // The report mode's services, which read the user's settings file as the window's do.
    const RealServices real(RealServices::Kind::OneShot, line.sources);
    const Sources sources = real.services().sources;
    QCOMPARE((QStringList { sources.weatherBase, sources.notamBase, sources.site }).at(address), expected);
}

void TestSources::savesKeepTheSourcesGroup()
{
    // Spacing, quotes, comments, escapes and CR LF: QSettings would write each its own way.
    const QByteArray handWritten = "; written by hand\n[sources]\r\n; my mirror\n"
                                   "weather = \"https://mirror.test/metar\"   ; nearer\n"
                                   "site=http://www.ventorix.fr/%7Eme\nnotam=https://notam.test/\\x41\n\n";
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/kept.ini"_qs;
    putFile(path, handWritten + "[Fav]\n0=EGLL\n");
    for (int run = 1; run <= 3; ++run) {
        WindowFixture fixture;
        fixture.serveMetar(u"LFPG"_qs, readFixture(u"metar/LFPG.TXT"_qs));
        IniSettingsStore settings(path);
        Services services = fixture.services();
        services.settings = &settings;
        MainWindow window(services);
        window.start();
        window.unload();

        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QVERIFY2(bytes.startsWith(handWritten) && bytes.count("[sources]") == 1, bytes.constData());
        QCOMPARE(IniSettingsStore(path).read(u"Fav"_qs, u"1"_qs, {}), u"LFPG"_qs); // the save itself happened
    }
}

void TestSources::failureCauses_data()
{
    QTest::addColumn<QString>("base"); // of the server asked, with a closed port and a plain server's port
    QTest::addColumn<int>("type"); // 0 METAR, 1 TAF, 2 NOTAM
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("why"); // the report area's second line

    const QString local = u"local"_qs; // the fixture's server on 127.0.0.1
    QTest::newRow("report unknown to the server")
        << local << 0 << u"LFXX"_qs << u"not-found"_qs
        << u"METAR de LFXX : le serveur ne connaît pas ce bulletin (erreur HTTP 404)."_qs;
    QTest::newRow("server error") << local << 1 << u"LFPG"_qs << u"http-500"_qs
                                  << u"TAF de LFPG : le serveur a répondu par une erreur (HTTP 500)."_qs;
    QTest::newRow("answer too large")
        << local << 0 << u"EGLL"_qs << u"too-large"_qs
        << u"METAR de EGLL : la réponse du serveur est trop volumineuse pour être un bulletin."_qs;
    QTest::newRow("no answer in time") << local << 0 << u"LFPO"_qs << u"timeout"_qs
                                       << u"METAR de LFPO : le serveur 127.0.0.1 n'a pas répondu à temps."_qs;
    QTest::newRow("local source without the report") << u"qrc:/demo"_qs << 1 << u"LFBO"_qs << u"not-found"_qs
                                                     << u"TAF de LFBO : la source ne contient pas ce bulletin."_qs;
    QTest::newRow("host name not found")
        << u"http://ventorix-test.invalid"_qs << 0 << u"LFPG"_qs << u"host-not-found"_qs
        << u"METAR de LFPG : le nom du serveur ventorix-test.invalid est introuvable."_qs;
    QTest::newRow("connection refused") << u"http://127.0.0.1:{closed}"_qs << 1 << u"LFPG"_qs << u"refused"_qs
                                        << u"TAF de LFPG : le serveur 127.0.0.1 a refusé la connexion."_qs;
    QTest::newRow("secure connection failed")
        << u"https://127.0.0.1:{plain}"_qs << 0 << u"LFPG"_qs << u"tls"_qs
        << u"METAR de LFPG : la connexion sécurisée (TLS) avec 127.0.0.1 a échoué."_qs;
    // These two ask no server at all.
    QTest::newRow("not a station code")
        << local << 0 << u"../LFPG"_qs << u"invalid-code"_qs
        << u"METAR de « ../LFPG » : ce n'est pas un code de station (1 à 8 lettres ou chiffres)."_qs;
    QTest::newRow("no NOTAM source") << QString() << 2 << u"LFPG"_qs << u"no-source"_qs
                                     << u"Indiquez-en une dans le fichier de réglages, section [sources], clé notam "
                                        "(par exemple notam=https://notam.example.org), ou avec l'option "
                                        "--notam-base URL."_qs;
}

void TestSources::failureCauses()
{
    QFETCH(QString, base);
    QFETCH(int, type);
    QFETCH(QString, code);
    QFETCH(QString, error);
    QFETCH(QString, why);

    WindowFixture fixture;
    fixture.server.setReply(u"/data/forecasts/taf/stations/LFPG.TXT"_qs, { 500, "oops", {}, false, 0 });
    fixture.server.setReply(u"/data/observations/metar/decoded/LFPO.TXT"_qs, { 200, {}, {}, true, 0 });
    fixture.serveMetar(u"EGLL"_qs, QByteArray(64 * 1024, 'x'));
    // Answers at once in plain text, so a TLS handshake meets no TLS at all.
    QTcpServer plain;
    plain.listen(QHostAddress::LocalHost, 0);
    connect(&plain, &QTcpServer::newConnection, &plain, [&plain] {
        QTcpSocket* socket = plain.nextPendingConnection();
        socket->write("HTTP/1.1 400 Bad Request\r\n\r\n");
        socket->disconnectFromHost();
    });
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 closedPort = closed.serverPort();
    closed.close();

    NetworkDownloader downloader(std::chrono::milliseconds(1500), 16 * 1024);
    Services services = fixture.services();
    services.downloader = &downloader;
    if (base != u"local") {
        (type == 2 ? services.sources.notamBase : services.sources.weatherBase)
            = QString(base)
                  .replace(u"{closed}"_qs, QString::number(closedPort))
                  .replace(u"{plain}"_qs, QString::number(plain.serverPort()));
    }
    MainWindow window(services);
    window.selectReportTypeQuietly(kReportTypes.at(static_cast<size_t>(type)));
    window.showReport(code);

    const QStringList lines = control<QTextEdit>(window, u"reportArea"_qs)->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0),
        error == u"no-source" ? u"Aucune source de NOTAM n'est configurée (NOTAM de LFPG)."_qs
                              : u"Connexion à internet ..."_qs);
    QCOMPARE(lines.at(1), why);
    const QJsonObject report
        = QJsonDocument::fromJson(ReportOutput::json(window.briefing().report, StationInfo { code, {}, {}, {} }))
              .object();
    QCOMPARE(report[u"error"_qs].toString(), error);
    // A failed NOTAM request shows its banner whatever the cause; a code or a source that is not there asks nothing.
    QCOMPARE(report[u"bannerVisible"_qs].toBool() && report[u"banner"_qs] == u"X"_qs, type == 2);
    if (error == u"invalid-code" || error == u"no-source")
        QVERIFY(fixture.server.requests().isEmpty());
}

QTEST_MAIN(TestSources)
#include "TestSources.moc"
