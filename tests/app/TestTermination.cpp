// The real program ended by a signal: the favourites and the type are saved as by the close box, into
// the settings file named after the program file.
#include "support/TestHttpServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

class TestTermination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedOnSignal_data();
    void savedOnSignal();
};

void TestTermination::savedOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("stall");
    QTest::addColumn<QString>("added");

    // Once the first report is on screen (LFPG, added to the bar), the signal saves like the close box.
    QTest::newRow("SIGTERM") << int(SIGTERM) << u"Ventorix"_s << false << u"LFPG"_s;
    QTest::newRow("SIGINT") << int(SIGINT) << u"Ventorix"_s << false << u"LFPG"_s;
    QTest::newRow("renamed program file") << int(SIGTERM) << u"MaMeteo"_s << false << u"LFPG"_s;
    QTest::newRow("extension not in the name") << int(SIGTERM) << u"Meteo.bin"_s << false << u"LFPG"_s;

    // A signal while the first report is still on its way ends the program too, before the report is in.
    QTest::newRow("during the first download") << int(SIGTERM) << u"Ventorix"_s << true << QString();

    // Killed, the program saves nothing but the last code: the bar and the type are those of the start.
    QTest::newRow("SIGKILL") << int(SIGKILL) << u"Ventorix"_s << false << u"<unsaved>"_s;
}

void TestTermination::savedOnSignal()
{
    QFETCH(int, signal);
    QFETCH(QString, program);
    QFETCH(bool, stall);
    QFETCH(QString, added);

    TestHttpServer server;
    TestHttpServer::Reply metar;
    QFile fixture(QStringLiteral(VENTORIX_TEST_DATA "/metar/LFPG.TXT"));
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    metar.body = fixture.readAll();
    metar.stall = stall;
    server.setReply(u"/data/observations/metar/decoded/LFPG.TXT"_s, metar);

    QTemporaryDir home;
    QDir().mkpath(home.filePath(u"config"_s));
    const QString executable = home.filePath(program);
    QVERIFY(QFile::copy(QStringLiteral(VENTORIX_EXECUTABLE), executable));
    // Whatever the program file is called (the installed one is "ventorix"), it keeps the user's settings.
    const QString ini = home.filePath(u"config/Ventorix.ini"_s);
    {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Fav]\n0=EGLL\n[data]\nInfo=7\n");
    }

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"HOME"_s, home.path());
    environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    environment.insert(u"XDG_CACHE_HOME"_s, home.filePath(u"cache"_s));
    process.setProcessEnvironment(environment);
    process.start(executable, { u"--weather-base"_s, server.base() });
    QVERIFY(process.waitForStarted());

    // Ready when the first report's request came in or, once answered, its code was stored as the last one.
    const auto readIni = [&] {
        QFile file(ini);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    if (stall)
        QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), 1, 20000);
    else
        QTRY_VERIFY_WITH_TIMEOUT(readIni().contains("last=LFPG"), 20000);
    QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signal), 0);
    // Well before the 30 seconds after which the stalled download would give up.
    QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 10000);

    const QSettings saved(ini, QSettings::IniFormat);
    QCOMPARE(saved.value(u"Fav/0"_s).toString(), u"EGLL"_s);
    if (added == u"<unsaved>"_s) {
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QCOMPARE(saved.allKeys(), (QStringList { u"Fav/0"_s, u"data/Info"_s, u"data/last"_s }));
        QCOMPARE(saved.value(u"data/Info"_s).toString(), u"7"_s);
        return;
    }
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(saved.value(u"data/Info"_s).toString(), u"0"_s);
    QCOMPARE(saved.value(u"Fav/1"_s).toString(), added);
    for (int i = 2; i < 12; ++i)
        QVERIFY2(saved.contains(u"Fav/%1"_s.arg(i)) && saved.value(u"Fav/%1"_s.arg(i)).toString().isEmpty(),
            qPrintable(QString::number(i)));
    const QStringList files = QDir(home.filePath(u"config"_s)).entryList(QDir::Files);
    QCOMPARE(files, QStringList { u"Ventorix.ini"_s });
}

QTEST_GUILESS_MAIN(TestTermination)
#include "TestTermination.moc"
