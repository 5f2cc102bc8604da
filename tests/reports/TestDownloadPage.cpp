// Downloads against a server started on 127.0.0.1: what counts as a report, and what fails.
#include "reports/RefreshTimer.h"
#include "reports/ReportRequester.h"
#include "support/WindowFixture.h"

#include <QFile>
#include <QTcpServer>
#include <QTest>
#include <QTextEdit>

class TestDownloadPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void outcomes_data();
    void outcomes();
    void redirectIsFollowed();
    void refusedConnection();
    void stalledServerTimesOut();
    void oversizedBodyFails();
    void fileBaseServesAFolder();
    void removedCachedCopyIsRefetched();
    void windowDeletesAnOlderFileFirst();
    void windowReportsFailureInTheReportArea();
    void transferHoldsHandlersBack();
};

using Outcome = DownloadResult::Outcome;
Q_DECLARE_METATYPE(Outcome)

void TestDownloadPage::outcomes_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<bool>("written");

    // Only a success status makes a work file, whatever the body holds.
    QTest::newRow("success") << 200 << QByteArray("NAME, X\nline\n") << Outcome::Ok << true;
    QTest::newRow("empty success") << 200 << QByteArray() << Outcome::Ok << true;
    QTest::newRow("not found page is no report") << 404 << QByteArray("<html>Not Found</html>") << Outcome::HttpError
                                                 << false;
    QTest::newRow("server error page is no report") << 500 << QByteArray("oops") << Outcome::HttpError << false;
}

void TestDownloadPage::outcomes()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(Outcome, outcome);
    QFETCH(bool, written);

    TestHttpServer server;
    server.setReply(u"/r.TXT"_qs, TestHttpServer::Reply{status, body, {}, false, 0});
    QTemporaryDir dir;
    const QString file = dir.filePath(u"V.txt"_qs);
    NetworkDownloader downloader;
    const DownloadResult result = downloader.download(server.base() + u"/r.TXT"_qs, file);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.httpStatus, status);
    QCOMPARE(QFile::exists(file), written);
    if (written) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), body);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), written ? 1 : 0); // no temporary left
}

void TestDownloadPage::redirectIsFollowed()
{
    TestHttpServer server;
    server.setReply(u"/moved.TXT"_qs, TestHttpServer::Reply{302, {}, "/r.TXT", false, 0});
    server.setBody(u"/r.TXT"_qs, "NAME, X\nline\n");
    QTemporaryDir dir;
    NetworkDownloader downloader;
    QVERIFY(downloader.download(server.base() + u"/moved.TXT"_qs, dir.filePath(u"V.txt"_qs)).ok());
    QCOMPARE(server.requests(), (QStringList{u"/moved.TXT"_qs, u"/r.TXT"_qs}));
    QFile file(dir.filePath(u"V.txt"_qs));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("NAME, X\nline\n"));
}

void TestDownloadPage::refusedConnection()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    QTemporaryDir dir;
    NetworkDownloader downloader;
    const DownloadResult result
        = downloader.download(u"http://127.0.0.1:%1/x.TXT"_qs.arg(port), dir.filePath(u"V.txt"_qs));
    QCOMPARE(result.outcome, Outcome::Refused);
    QVERIFY(!QFile::exists(dir.filePath(u"V.txt"_qs)));
}

void TestDownloadPage::stalledServerTimesOut()
{
    TestHttpServer server;
    server.setReply(u"/slow.TXT"_qs, TestHttpServer::Reply{200, {}, {}, true, 0});
    QTemporaryDir dir;
    NetworkDownloader downloader(std::chrono::milliseconds(300));
    QElapsedTimer timer;
    timer.start();
    const DownloadResult result = downloader.download(server.base() + u"/slow.TXT"_qs, dir.filePath(u"V.txt"_qs));
    QCOMPARE(result.outcome, Outcome::Timeout);
    QVERIFY2(timer.elapsed() < 5000, "the timeout must end the transfer");
    QVERIFY(!QFile::exists(dir.filePath(u"V.txt"_qs)));
}

void TestDownloadPage::oversizedBodyFails()
{
    TestHttpServer server;
    server.setBody(u"/big.TXT"_qs, QByteArray(4096, 'x'));
    server.setBody(u"/fits.TXT"_qs, QByteArray(1024, 'x'));
    QTemporaryDir dir;
    NetworkDownloader downloader(std::chrono::milliseconds(3000), 2048);
    QCOMPARE(downloader.download(server.base() + u"/big.TXT"_qs, dir.filePath(u"a.txt"_qs)).outcome, Outcome::TooLarge);
    QVERIFY(!QFile::exists(dir.filePath(u"a.txt"_qs)));
    QCOMPARE(downloader.download(server.base() + u"/fits.TXT"_qs, dir.filePath(u"b.txt"_qs)).outcome, Outcome::Ok);
}

void TestDownloadPage::fileBaseServesAFolder()
{
    QTemporaryDir dir;
    NetworkDownloader downloader;
    const QString base = QUrl::fromLocalFile(QStringLiteral(VENTORIX_TEST_DATA)).toString();
    QCOMPARE(downloader.download(base + u"/metar/LFPG.TXT"_qs, dir.filePath(u"V.txt"_qs)).outcome, Outcome::Ok);
    QVERIFY(QFile::exists(dir.filePath(u"V.txt"_qs)));
    // A local file's reply queues its signals; none may reach the finished transfer's handlers.
    QTest::qWait(50);
    QVERIFY(!downloader.download(base + u"/metar/NONE.TXT"_qs, dir.filePath(u"W.txt"_qs)).ok());
    QVERIFY(!QFile::exists(dir.filePath(u"W.txt"_qs)));
}

void TestDownloadPage::removedCachedCopyIsRefetched()
{
    TestHttpServer server;
    server.setBody(u"/a.TXT"_qs, "one");
    QTemporaryDir dir;
    NetworkDownloader downloader;
    const QString url = server.base() + u"/a.TXT"_qs;
    QVERIFY(downloader.download(url, dir.filePath(u"1.txt"_qs)).ok());
    downloader.removeCachedCopy(url);
    QVERIFY(downloader.download(url, dir.filePath(u"2.txt"_qs)).ok());
    QCOMPARE(server.requests().size(), 2); // both went to the server
    QVERIFY(!server.headers().at(0).contains("no-cache"));
    QVERIFY(server.headers().at(1).contains("Cache-Control: no-cache"));
}

void TestDownloadPage::windowDeletesAnOlderFileFirst()
{
    WindowFixture fixture;
    const QString file = fixture.workDir.filePath(u"V.txt"_qs);
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older report");
    old.close();
    QVERIFY(!part<ReportRequester>(fixture.window()).downloadPage(fixture.server.base() + u"/missing.TXT"_qs, file));
    QVERIFY(!QFile::exists(file));
}

void TestDownloadPage::windowReportsFailureInTheReportArea()
{
    WindowFixture fixture;
    ReportRequester& requester = part<ReportRequester>(fixture.window());
    auto* reportArea = control<QTextEdit>(fixture.window(), u"reportArea"_qs);
    fixture.serveMetar(u"LFPG"_qs, "x\ny\n");
    reportArea->setPlainText(u"something else"_qs);
    QVERIFY(requester.downloadPage(fixture.server.base() + u"/data/observations/metar/decoded/LFPG.TXT"_qs,
        fixture.workDir.filePath(u"V.txt"_qs)));
    QCOMPARE(reportArea->toPlainText(), u"something else"_qs); // success writes nothing there
    QVERIFY(!requester.downloadPage(fixture.server.base() + u"/nothing"_qs, fixture.workDir.filePath(u"V.txt"_qs)));
    QCOMPARE(reportArea->toPlainText(),
        u"Connexion à internet ...\nLe serveur ne connaît pas ce bulletin (erreur HTTP 404)."_qs);
}

void TestDownloadPage::transferHoldsHandlersBack()
{
    // A timer tick that falls due while the report downloads waits until the transfer has ended.
    WindowFixture fixture;
    fixture.server.setReply(u"/data/observations/metar/decoded/LFPG.TXT"_qs,
        TestHttpServer::Reply{200, readFixture(u"metar/LFPG.TXT"_qs), {}, false, 300});
    MainWindow& w = fixture.window();
    RefreshTimer& timer = part<RefreshTimer>(w);
    int countDuringTransfer = -1;
    QTimer::singleShot(100, &w, [&] {
        timer.tick();
        countDuringTransfer = timer.ticksSinceRefresh();
    });
    QVERIFY(part<ReportRequester>(w).downloadPage(
        fixture.server.base() + u"/data/observations/metar/decoded/LFPG.TXT"_qs, fixture.workDir.filePath(u"V.txt"_qs)));
    QCOMPARE(countDuringTransfer, 0);
    QCOMPARE(timer.ticksSinceRefresh(), 0);
    QTRY_COMPARE(timer.ticksSinceRefresh(), 1);
}

QTEST_MAIN(TestDownloadPage)
#include "TestDownloadPage.moc"
