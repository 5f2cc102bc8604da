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
    QTest::newRow("SIGTERM") << int(SIGTERM) << u"Ventorix"_qs << false << u"LFPG"_qs;
    QTest::newRow("SIGINT") << int(SIGINT) << u"Ventorix"_qs << false << u"LFPG"_qs;
    QTest::newRow("renamed program file") << int(SIGTERM) << u"MaMeteo"_qs << false << u"LFPG"_qs;
    QTest::newRow("extension not in the name") << int(SIGTERM) << u"Meteo.bin"_qs << false << u"LFPG"_qs;

    // A signal while the first report is still on its way ends the program too, before the report is in.
    QTest::newRow("during the first download") << int(SIGTERM) << u"Ventorix"_qs << true << QString();

    // Killed, the program saves nothing but the last code: the bar and the type are those of the start.
    QTest::newRow("SIGKILL") << int(SIGKILL) << u"Ventorix"_qs << false << u"<unsaved>"_qs;
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
    server.setReply(u"/data/observations/metar/decoded/LFPG.TXT"_qs, metar);

    QTemporaryDir home;
    QDir().mkpath(home.filePath(u"config"_qs));
    const QString executable = home.filePath(program);
    QVERIFY(QFile::copy(QStringLiteral(VENTORIX_EXECUTABLE), executable));
    // Whatever the program file is called (the installed one is "ventorix"), it keeps the user's settings.
    const QString ini = home.filePath(u"config/Ventorix.ini"_qs);
    {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Fav]\n0=EGLL\n[data]\nInfo=7\n");
    }

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    environment.insert(u"HOME"_qs, home.path());
    environment.insert(u"XDG_CONFIG_HOME"_qs, home.filePath(u"config"_qs));
    environment.insert(u"XDG_CACHE_HOME"_qs, home.filePath(u"cache"_qs));
    process.setProcessEnvironment(environment);
    process.start(executable, { u"--weather-base"_qs, server.base() });
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
    QCOMPARE(saved.value(u"Fav/0"_qs).toString(), u"EGLL"_qs);
    if (added == u"<unsaved>"_qs) {
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QCOMPARE(saved.allKeys(), (QStringList { u"Fav/0"_qs, u"data/Info"_qs, u"data/last"_qs }));
        QCOMPARE(saved.value(u"data/Info"_qs).toString(), u"7"_qs);
        return;
    }
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(saved.value(u"data/Info"_qs).toString(), u"0"_qs);
    QCOMPARE(saved.value(u"Fav/1"_qs).toString(), added);
    for (int i = 2; i < 12; ++i)
        QVERIFY2(saved.contains(u"Fav/%1"_qs.arg(i)) && saved.value(u"Fav/%1"_qs.arg(i)).toString().isEmpty(),
            qPrintable(QString::number(i)));
    const QStringList files = QDir(home.filePath(u"config"_qs)).entryList(QDir::Files);
    QCOMPARE(files, QStringList { u"Ventorix.ini"_qs });
}

QTEST_GUILESS_MAIN(TestTermination)
#include "TestTermination.moc"
