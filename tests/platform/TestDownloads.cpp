// Downloads against a server started on 127.0.0.1: what counts as a report, and what fails.
#include "network/NetworkDownloader.h"
#include "reports/ReportFetcher.h"
#include "services/Clock.h"
#include "support/FileSizeLimit.h"
#include "support/TestHttpServer.h"

#include <QFile>
#include <QTcpServer>
#include <QTest>
#include <QTimeZone>
#include <QUrl>

#include <optional>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

class TestDownloads : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void outcomes_data();
    void outcomes();
    void hostileReplies_data();
    void hostileReplies();
    void redirectIsFollowed();
    void redirectToHttpsWithoutTls_data();
    void redirectToHttpsWithoutTls();
    void refusedConnection();
    void stalledServerTimesOut();
    void oversizedBodyFails();
    void fileBaseServesAFolder();
    void removedCachedCopyIsRefetched();
    void fetcher_data();
    void fetcher();
};

using Outcome = DownloadResult::Outcome;
Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(ReportType)

namespace {

constexpr qint64 kNoLimit = -1;

QByteArray readTestData(const QString& relative)
{
    QFile file(QStringLiteral(VENTORIX_TEST_DATA "/") + relative);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The most memory the process has held so far, in KiB.
long peakMemoryKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

void TestDownloads::outcomes_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<bool>("written");
    QTest::addColumn<qint64>("diskRoom");

    // Only a success status makes a work file, whatever the body holds.
    QTest::newRow("success") << 200 << QByteArray("NAME, X\nline\n") << Outcome::Ok << true << kNoLimit;
    QTest::newRow("empty success") << 200 << QByteArray() << Outcome::Ok << true << kNoLimit;
    QTest::newRow("body of exactly the size limit")
        << 200 << QByteArray(NetworkDownloader::kDefaultMaxBytes, 'x') << Outcome::Ok << true << kNoLimit;
    QTest::newRow("not found page is no report")
        << 404 << QByteArray("<html>Not Found</html>") << Outcome::HttpError << false << kNoLimit;
    QTest::newRow("server error page is no report")
        << 500 << QByteArray("oops") << Outcome::HttpError << false << kNoLimit;

    // A full disk fails the download, whether the body sat in the file's buffer or went straight to disk.
    QTest::newRow("full disk, short report")
        << 200 << QByteArray("NAME, X\nline\n") << Outcome::WriteError << false << qint64(0);
    QTest::newRow("disk full halfway through a short report")
        << 200 << QByteArray(8000, 'x') << Outcome::WriteError << false << qint64(4000);
    QTest::newRow("disk full halfway through a long report")
        << 200 << QByteArray(40000, 'x') << Outcome::WriteError << false << qint64(20000);
}

void TestDownloads::outcomes()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(Outcome, outcome);
    QFETCH(bool, written);
    QFETCH(qint64, diskRoom);

    TestHttpServer server;
    server.setReply(u"/r.TXT"_s, TestHttpServer::Reply { status, body, {}, false, 0 });
    QTemporaryDir dir;
    const QString file = dir.filePath(u"V.txt"_s);
    NetworkDownloader downloader;
    const DownloadResult result = [&] {
        std::optional<FileSizeLimit> full;
        if (diskRoom != kNoLimit)
            full.emplace(static_cast<rlim_t>(diskRoom));
        return downloader.download(server.base() + u"/r.TXT"_s, file);
    }();
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

void TestDownloads::hostileReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("endless");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<bool>("memoryBounded");

    const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const QByteArray report = "NAME, X\nline\n";
    const QByteArray none;

    // Chunked bodies that end as they should are reports like any other.
    QTest::newRow("body in two chunks") << chunked + "8\r\nNAME, X\n\r\n5\r\nline\n\r\n0\r\n\r\n"
                                        << none << Outcome::Ok << report << true;
    QTest::newRow("chunk size in lower case with an extension") << chunked + "d;x=1\r\nNAME, X\nline\n\r\n0\r\n\r\n"
                                                                << none << Outcome::Ok << report << true;

    // Bodies that never end fail on their size, quickly and in bounded memory, however they are framed.
    const QByteArray chunk = "1000\r\n" + QByteArray(0x1000, 'x') + "\r\n";
    QTest::newRow("endless chunked body") << chunked << chunk.repeated(8) << Outcome::TooLarge << none << true;
    QTest::newRow("endless body ended by the connection")
        << QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n") << QByteArray(0x8000, 'x') << Outcome::TooLarge
        << none << true;
    QTest::newRow("endless body under a length of a terabyte")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1099511627776\r\n\r\n") << QByteArray(0x8000, 'x')
        << Outcome::TooLarge << none << true;
    // Qt 6.4 reads one chunk for as long as the socket has bytes, whatever the read buffer: against a
    // server on the same machine a single endless chunk may still cost hundreds of MiB before it fails.
    QTest::newRow("endless chunk announced as two gigabytes")
        << chunked + "7FFFFFFF\r\n"
        << QByteArray(0x8000, 'x') << Outcome::TooLarge << none << false;

    // Chunk sizes that Qt reads as the closing chunk, or as nothing: no report, never an empty one.
    QTest::newRow("chunk size of sixteen F") << chunked + "FFFFFFFFFFFFFFFF\r\nNAME, X\n"
                                             << none << Outcome::NetworkError << none << true;
    QTest::newRow("negative chunk size") << chunked + "-10\r\nabc" << none << Outcome::NetworkError << none << true;
    QTest::newRow("chunk size not a number") << chunked + "zz\r\nNAME, X\n\r\n0\r\n\r\n"
                                             << none << Outcome::NetworkError << none << true;
    QTest::newRow("empty chunked body is no report") << chunked + "0\r\n\r\n"
                                                     << none << Outcome::NetworkError << none << true;

    // A body cut short by the server. (A chunked body cut short is not here: Qt 6.4 may take it for a whole
    // one when the connection closes, and nothing in the reply tells the two apart.)
    QTest::newRow("body shorter than its length")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nNAME, X\n") << none << Outcome::NetworkError
        << none << true;
}

// AddressSanitizer pads every block, holds freed memory back and slows the transfer: the bounds that hold
// without it would fail for no fault of the code. An endless reply still breaks the looser ones at once.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kMemoryBoundMiB = 256;
constexpr qint64 kTimeBoundMs = 20000;
#else
constexpr long kMemoryBoundMiB = 64;
constexpr qint64 kTimeBoundMs = 5000;
#endif

void TestDownloads::hostileReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, endless);
    QFETCH(Outcome, outcome);
    QFETCH(QByteArray, saved);
    QFETCH(bool, memoryBounded);

    TestHttpServer server;
    server.setRawReply(u"/r.TXT"_s, reply, endless);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"V.txt"_s);
    NetworkDownloader downloader; // the program's own deadline and size limit
    const long peakBefore = peakMemoryKiB();
    QElapsedTimer timer;
    timer.start();
    const DownloadResult result = downloader.download(server.base() + u"/r.TXT"_s, file);
    QCOMPARE(result.outcome, outcome);
    QVERIFY2(timer.elapsed() < kTimeBoundMs, qPrintable(u"took %1 ms"_s.arg(timer.elapsed())));
    // The size limit is 8 MiB: the reply may cost a few times that, never what the server chose to send.
    const long grownMiB = (peakMemoryKiB() - peakBefore) / 1024;
    QVERIFY2(!memoryBounded || grownMiB < kMemoryBoundMiB, qPrintable(u"memory grew by %1 MiB"_s.arg(grownMiB)));
    QCOMPARE(QFile::exists(file), !saved.isNull());
    if (!saved.isNull()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), saved);
    }
}

void TestDownloads::redirectIsFollowed()
{
    TestHttpServer server;
    server.setReply(u"/moved.TXT"_s, TestHttpServer::Reply { 302, {}, "/r.TXT", false, 0 });
    server.setBody(u"/r.TXT"_s, "NAME, X\nline\n");
    QTemporaryDir dir;
    NetworkDownloader downloader;
    QVERIFY(downloader.download(server.base() + u"/moved.TXT"_s, dir.filePath(u"V.txt"_s)).ok());
    QCOMPARE(server.requests(), (QStringList { u"/moved.TXT"_s, u"/r.TXT"_s }));
    QFile file(dir.filePath(u"V.txt"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("NAME, X\nline\n"));
}

void TestDownloads::redirectToHttpsWithoutTls_data()
{
    QTest::addColumn<bool>("answersInPlainText");

    // The address moved to https on a server that speaks no TLS: a failed secure connection long before the
    // deadline, whether the server answers the handshake with an HTTP error or waits for a request line forever.
    QTest::newRow("server answers the handshake in plain text") << true;
    QTest::newRow("server never answers the handshake") << false;
}

void TestDownloads::redirectToHttpsWithoutTls()
{
    QFETCH(bool, answersInPlainText);

    TestHttpServer server;
    QTcpServer silent; // accepts connections (the system does) and never reads them
    QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
    const quint16 port = answersInPlainText ? server.port() : silent.serverPort();
    server.setReply(u"/moved.TXT"_s,
        TestHttpServer::Reply { 301, {}, "https://127.0.0.1:" + QByteArray::number(port) + "/r.TXT", false, 0 });
    QTemporaryDir dir;
    NetworkDownloader downloader(
        NetworkDownloader::kDefaultTimeout, NetworkDownloader::kDefaultMaxBytes, std::chrono::milliseconds(500));
    QElapsedTimer timer;
    timer.start();
    const DownloadResult result = downloader.download(server.base() + u"/moved.TXT"_s, dir.filePath(u"V.txt"_s));
    QCOMPARE(result.outcome, Outcome::SecureConnectionFailed);
    QVERIFY2(timer.elapsed() < 5000, qPrintable(u"took %1 ms"_s.arg(timer.elapsed())));
    QVERIFY(!QFile::exists(dir.filePath(u"V.txt"_s)));
}

void TestDownloads::refusedConnection()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    QTemporaryDir dir;
    NetworkDownloader downloader;
    const DownloadResult result
        = downloader.download(u"http://127.0.0.1:%1/x.TXT"_s.arg(port), dir.filePath(u"V.txt"_s));
    QCOMPARE(result.outcome, Outcome::Refused);
    QVERIFY(!QFile::exists(dir.filePath(u"V.txt"_s)));
}

void TestDownloads::stalledServerTimesOut()
{
    TestHttpServer server;
    server.setReply(u"/slow.TXT"_s, TestHttpServer::Reply { 200, {}, {}, true, 0 });
    QTemporaryDir dir;
    NetworkDownloader downloader(std::chrono::milliseconds(300));
    QElapsedTimer timer;
    timer.start();
    const DownloadResult result = downloader.download(server.base() + u"/slow.TXT"_s, dir.filePath(u"V.txt"_s));
    QCOMPARE(result.outcome, Outcome::Timeout);
    QVERIFY2(timer.elapsed() < 5000, "the timeout must end the transfer");
    QVERIFY(!QFile::exists(dir.filePath(u"V.txt"_s)));
}

void TestDownloads::oversizedBodyFails()
{
    TestHttpServer server;
    server.setBody(u"/big.TXT"_s, QByteArray(4096, 'x'));
    server.setBody(u"/fits.TXT"_s, QByteArray(1024, 'x'));
    QTemporaryDir dir;
    NetworkDownloader downloader(std::chrono::milliseconds(3000), 2048);
    QCOMPARE(downloader.download(server.base() + u"/big.TXT"_s, dir.filePath(u"a.txt"_s)).outcome, Outcome::TooLarge);
    QVERIFY(!QFile::exists(dir.filePath(u"a.txt"_s)));
    QCOMPARE(downloader.download(server.base() + u"/fits.TXT"_s, dir.filePath(u"b.txt"_s)).outcome, Outcome::Ok);
}

void TestDownloads::fileBaseServesAFolder()
{
    QTemporaryDir dir;
    NetworkDownloader downloader;
    const QString base = QUrl::fromLocalFile(QStringLiteral(VENTORIX_TEST_DATA)).toString();
    QCOMPARE(downloader.download(base + u"/metar/LFPG.TXT"_s, dir.filePath(u"V.txt"_s)).outcome, Outcome::Ok);
    QVERIFY(QFile::exists(dir.filePath(u"V.txt"_s)));
    // A local file's reply queues its signals; none may reach the finished transfer's handlers.
    QTest::qWait(50);
    QVERIFY(!downloader.download(base + u"/metar/NONE.TXT"_s, dir.filePath(u"W.txt"_s)).ok());
    QVERIFY(!QFile::exists(dir.filePath(u"W.txt"_s)));
}

void TestDownloads::removedCachedCopyIsRefetched()
{
    TestHttpServer server;
    server.setBody(u"/a.TXT"_s, "one");
    QTemporaryDir dir;
    NetworkDownloader downloader;
    const QString url = server.base() + u"/a.TXT"_s;
    QVERIFY(downloader.download(url, dir.filePath(u"1.txt"_s)).ok());
    downloader.removeCachedCopy(url);
    QVERIFY(downloader.download(url, dir.filePath(u"2.txt"_s)).ok());
    QCOMPARE(server.requests().size(), 2); // both went to the server
    QVERIFY(!server.headers().at(0).contains("no-cache"));
    QVERIFY(server.headers().at(1).contains("Cache-Control: no-cache"));
}

void TestDownloads::fetcher_data()
{
    QTest::addColumn<ReportType>("type");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("textStart"); // line breaks as CR LF
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("received");

    QTest::newRow("METAR") << ReportType::Metar << u"LFPG"_s << u"METAR de 1930 UTC"_s
                           << u"France (LFPG) 49-01N 002-32E 119M Observé le 06/12/2026"_s << QString()
                           << u"LFPG 061930Z 31008KT 9999 -RA BKN020 10/06 Q1014 NOSIG"_s;
    QTest::newRow("TAF") << ReportType::Taf << u"LFPG"_s << u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s
                         << u"LFPG   Vent du 240° 10 Kts."_s << QString() << u"TAF LFPG 151100Z 1512/1618 24010KT"_s;
    QTest::newRow("NOTAMs") << ReportType::Notam << u"LFPG"_s << u"Notams"_s << u"LFPG A2871/26 RWY 08L/26R CLSD"_s
                            << QString() << u"LFPG A2871/26"_s;
    QTest::newRow("METAR the server does not know")
        << ReportType::Metar << u"LFXX"_s << QString()
        << u"Connexion à internet ...\r\nMETAR de LFXX : le serveur ne connaît pas ce bulletin (erreur HTTP 404)."_s
        << u"not-found"_s << QString();
    QTest::newRow("METAR the server refuses to give")
        << ReportType::Metar << u"FORB"_s << QString()
        << u"Connexion à internet ...\r\nMETAR de FORB : le serveur a répondu par une erreur (HTTP 403)."_s
        << u"http-403"_s << QString();
    QTest::newRow("TAF file holding only its date")
        << ReportType::Taf << u"DATE"_s << QString() << QString() << QString() << QString();

    // Answers that came whole as far as the transfer can tell, yet hold no report.
    const auto failed = [](const QString& why) { return u"Connexion à internet ...\r\n"_s + why; };
    QTest::newRow("empty answer") << ReportType::Metar << u"EMPT"_s << QString()
                                  << failed(u"METAR de EMPT : le serveur 127.0.0.1 a envoyé une réponse vide"_s)
                                  << u"empty"_s << QString();
    QTest::newRow("no content") << ReportType::Taf << u"NOCO"_s << QString() << failed(QString()) << u"empty"_s
                                << QString();
    QTest::newRow("METAR cut before its cycle line")
        << ReportType::Metar << u"HALF"_s << QString() << failed(u"METAR de HALF : bulletin incomplet"_s)
        << u"incomplete"_s << QString();
    QTest::newRow("TAF cut by a bad chunk size")
        << ReportType::Taf << u"CUTS"_s << QString() << failed(u"TAF de CUTS : bulletin incomplet"_s) << u"incomplete"_s
        << QString();
    QTest::newRow("a portal's page instead of a METAR")
        << ReportType::Metar << u"PORT"_s << QString() << failed(u"METAR de PORT : réponse inattendue du serveur"_s)
        << u"unexpected"_s << QString();
    // An earlier work file that cannot be removed (a folder in its place here) fails the request.
    QTest::newRow("earlier work file that stays")
        << ReportType::Metar << u"STAY"_s << QString()
        << failed(u"METAR de STAY : le bulletin n'a pas pu être enregistré"_s) << u"work-file"_s << QString();
}

// Each type against the local server: the report's fields, and where and when it was read. A work file left
// by an earlier request is removed first, so a failure never passes it off as this one's answer.
void TestDownloads::fetcher()
{
    QFETCH(ReportType, type);
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(QString, textStart);
    QFETCH(QString, error);
    QFETCH(QString, received);

    TestHttpServer server;
    server.setBody(u"/data/observations/metar/decoded/LFPG.TXT"_s, readTestData(u"metar/LFPG.TXT"_s));
    server.setBody(u"/data/forecasts/taf/stations/LFPG.TXT"_s, readTestData(u"taf/LFPG.TXT"_s));
    server.setBody(
        u"/regusers/publictools/corp_comp/metar_taf_notam.html?icao=LFPG"_s, readTestData(u"notam/LFPG.html"_s));
    const QString metars = u"/data/observations/metar/decoded/"_s;
    const QString tafs = u"/data/forecasts/taf/stations/"_s;
    server.setBody(tafs + u"DATE.TXT"_s, "2026/12/15 11:00\n");
    server.setReply(metars + u"FORB.TXT"_s, TestHttpServer::Reply { 403, "Forbidden", {}, false, 0 });
    server.setBody(metars + u"EMPT.TXT"_s, {});
    server.setReply(tafs + u"NOCO.TXT"_s, TestHttpServer::Reply { 204, {}, {}, false, 0 });
    server.setBody(metars + u"HALF.TXT"_s, readTestData(u"metar/LFPG.TXT"_s).left(300));
    const QByteArray half = readTestData(u"taf/LFPG.TXT"_s).left(70);
    // The empty trailer ends the message at the bad size, so the server's hang-up cannot race it.
    server.setRawReply(tafs + u"CUTS.TXT"_s,
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + QByteArray::number(half.size(), 16) + "\r\n" + half
            + "\r\nzz\r\n\r\n");
    server.setBody(metars + u"PORT.TXT"_s, "<!DOCTYPE html>\n<html><body>Connectez-vous</body></html>\n");
    QTemporaryDir dir;
    for (const QString& name : { u"V.txt"_s, code + u".txt"_s }) {
        QFile old(dir.filePath(name));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("NAME, X\nan older report\ncycle: 1\n") > 0);
    }
    if (code == u"STAY") {
        QVERIFY(QFile::remove(dir.filePath(u"V.txt"_s)) && QDir(dir.path()).mkpath(u"V.txt/inside"_s));
        server.setBody(metars + u"STAY.TXT"_s, readTestData(u"metar/LFPG.TXT"_s));
    }
    NetworkDownloader downloader;
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0), QTimeZone::utc()));
    ReportFetcher fetcher(Services { &downloader, &clock, nullptr, nullptr, WorkFolder(dir.path()),
        Sources { server.base(), server.base(), {} }, {} });

    const DecodedReport report = fetcher.fetch(code, type);
    QCOMPARE(report.code, code);
    QCOMPARE(report.type, type);
    QCOMPARE(report.title, title);
    QVERIFY2(report.text.startsWith(textStart), qPrintable(report.text.left(200)));
    QCOMPARE(Failure::key(report.failure), error);
    QVERIFY(report.received.startsWith(received));
    QVERIFY2(!report.text.contains(u"older report"_s), qPrintable(report.text));
    QCOMPARE(report.empty, report.fetched() && received.isEmpty());
    QCOMPARE(report.fetchedUtc.isValid(), report.fetched());
    QCOMPARE(report.source.isEmpty(), !report.fetched());
    if (report.fetched())
        QVERIFY(server.requests().last().startsWith(QUrl(report.source).path()));
    QFile workFile(dir.filePath(type == ReportType::Notam ? code + u".txt"_s : u"V.txt"_s));
    QVERIFY(!workFile.open(QIODevice::ReadOnly) || !workFile.readAll().contains("an older report"));
}

QTEST_MAIN(TestDownloads)
#include "TestDownloads.moc"
