// The dossier's downloads: four at a time at most, every report in its station's part, and cancel.
#include "network/Downloader.h"
#include "reports/DossierFetcher.h"
#include "services/Clock.h"
#include "stations/StationTable.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Holds every download it is asked for until the test lets the oldest end, with a 404; those held are under way.
class HeldDownloader final : public Downloader
{
public:
    DownloadResult download(const QString&, const QString&) override { return {}; }
    std::unique_ptr<PendingDownload> start(const QString& url, const QString&) override
    {
        auto pending = std::make_unique<PendingDownload>();
        held.append({ url, pending.get() });
        return pending;
    }
    void removeCachedCopy(const QString&) override { }

    /// Ends the oldest download still held; false when there is none.
    bool endOldest()
    {
        while (!held.isEmpty()) {
            const QPointer<PendingDownload> pending = held.takeFirst().second;
            if (pending) {
                DownloadResult notFound;
                notFound.outcome = DownloadResult::Outcome::HttpError;
                notFound.httpStatus = 404;
                Q_EMIT pending->finished(notFound);
                ++ended;
                return true;
            }
        }
        return false;
    }

    QList<std::pair<QString, QPointer<PendingDownload>>> held;
    int ended = 0;
};

} // namespace

class TestDossierFetcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fourAtATimeThenCancel();
};

void TestDossierFetcher::fourAtATimeThenCancel()
{
    HeldDownloader downloader;
    const FixedClock clock(QDateTime(QDate(2026, 12, 15), QTime(12, 0), Qt::UTC));
    QTemporaryDir work;
    const QString base = u"http://127.0.0.1:9"_s;
    const Services services { &downloader, &clock, nullptr, nullptr, WorkFolder(work.path()),
        Sources { base, base, {} }, {} };
    const Stations::StationTable stations;
    DossierFetcher fetcher(services, stations);
    QSignalSpy finished(&fetcher, &DossierFetcher::finished);
    QSignalSpy progressed(&fetcher, &DossierFetcher::progressed);
    const QStringList codes { u"LFPG"_s, u"LFRS"_s, u"LFRN"_s, u"LFRB"_s, u"LFPO"_s };
    const FlightDossier::Plan plan
        = FlightDossier::makePlan(codes.at(0), codes.at(1), codes.mid(2), clock.now(), clock.now().addSecs(3600));

    // Fifteen reports, never more than four downloads under way, each ending in its station's part.
    fetcher.start(plan);
    QCOMPARE(downloader.held.size(), DossierFetcher::kMostAtOnce);
    while (downloader.endOldest())
        QVERIFY(downloader.held.size() <= DossierFetcher::kMostAtOnce);
    QCOMPARE(downloader.ended, 15);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(progressed.last(), (QVariantList { 15, 15, 5, 5 }));
    const auto dossier = finished.first().first().value<FlightDossier::Dossier>();
    QStringList answered;
    for (const FlightDossier::Part& part : dossier.parts) {
        for (const DecodedReport& report : { part.metar, part.taf, *part.notam })
            answered.append(report.code + u' ' + reportTypeName(report.type) + u' ' + Failure::key(report.failure));
    }
    QCOMPARE(answered.size(), 15);
    QCOMPARE(answered.filter(u" not-found"_s).size(), 15);
    QCOMPARE(answered.first(), u"LFPG METAR not-found"_s);
    QCOMPARE(answered.last(), u"LFPO NOTAM not-found"_s);
    QVERIFY(!FlightDossier::isComplete(dossier));

    // Cancelled, the downloads under way stop and the rest never start; nothing more is said.
    downloader.held.clear();
    fetcher.start(plan);
    QVERIFY(downloader.endOldest());
    fetcher.cancel();
    QVERIFY(!fetcher.isRunning());
    QCOMPARE(downloader.held.size(), DossierFetcher::kMostAtOnce);
    for (const auto& [url, pending] : downloader.held)
        QVERIFY2(!pending, qPrintable(url));
    QCOMPARE(finished.size(), 1);
}

QTEST_GUILESS_MAIN(TestDossierFetcher)
#include "TestDossierFetcher.moc"
