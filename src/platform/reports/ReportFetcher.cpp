#include "reports/ReportFetcher.h"

#include "network/Downloader.h"
#include "reports/Sources.h"
#include "services/Clock.h"
#include "services/Logging.h"

#include <QFile>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

PendingReport::PendingReport(QObject* parent)
    : QObject(parent)
{
}

PendingReport::~PendingReport() = default;

ReportFetcher::ReportFetcher(Services services)
    : m_services(std::move(services))
{
}

DecodedReport ReportFetcher::fetch(const QString& code, ReportType type)
{
    const QString sharedFile = type == ReportType::Notam ? code + u".txt"_s : u"V.txt"_s;
    auto prepared = prepare(code, type, sharedFile);
    if (DecodedReport* ready = std::get_if<DecodedReport>(&prepared))
        return *ready;
    const Transfer& transfer = std::get<Transfer>(prepared);
    return conclude(code, type, transfer, m_services.downloader->download(transfer.url, transfer.file));
}

std::unique_ptr<PendingReport> ReportFetcher::start(const QString& code, ReportType type, const QString& filePrefix)
{
    auto pending = std::make_unique<PendingReport>();
    auto prepared = prepare(code, type, filePrefix + code + u'-' + reportTypeName(type).toLower() + u".txt"_s);
    if (DecodedReport* ready = std::get_if<DecodedReport>(&prepared)) {
        QTimer::singleShot(
            0, pending.get(), [report = *ready, target = pending.get()] { Q_EMIT target->finished(report); });
        return pending;
    }
    const Transfer transfer = std::get<Transfer>(prepared);
    pending->m_download = m_services.downloader->start(transfer.url, transfer.file);
    // The fetcher may be gone when the download ends: what concluding needs travels with the request.
    QObject::connect(pending->m_download.get(), &PendingDownload::finished, pending.get(),
        [fetcher = *this, code, type, transfer, target = pending.get()](const DownloadResult& result) mutable {
            Q_EMIT target->finished(fetcher.conclude(code, type, transfer, result));
        });
    return pending;
}

std::variant<ReportFetcher::Transfer, DecodedReport> ReportFetcher::prepare(
    const QString& code, ReportType type, const QString& fileName)
{
    const Sources& sources = m_services.sources;
    // Nowhere to ask: no transfer, and the report says how to name a source.
    const QString& base = type == ReportType::Notam ? sources.notamBase : sources.weatherBase;
    if (base.trimmed().isEmpty())
        return withDemoMark(Reports::failedReport(code, type, { Failure::Cause::NoSource, 0 }, {}));
    // A code that could name another folder or rewrite the address reaches neither the network nor the
    // file system.
    if (!SourceAddress::isSafeStationCode(code))
        return withDemoMark(Reports::failedReport(code, type, { Failure::Cause::InvalidCode, 0 }, {}));
    QString url;
    switch (type) {
    case ReportType::Metar:
        url = SourceAddress::metar(sources.weatherBase, code);
        break;
    case ReportType::Taf:
        url = SourceAddress::taf(sources.weatherBase, code);
        break;
    case ReportType::Notam:
        // The provider's one page answers for every station: a stored copy would be another station's.
        m_services.downloader->removeCachedCopy(SourceAddress::notamPage(sources.notamBase));
        url = SourceAddress::notam(sources.notamBase, code);
        break;
    }
    const QString file = m_services.workFolder.filePath(fileName);
    // A file left over from an earlier request must never pass for this one's answer.
    if (QFile::exists(file) && !QFile::remove(file)) {
        qCWarning(lcFiles) << "cannot remove the earlier work file" << file;
        return withDemoMark(Reports::failedReport(code, type, { Failure::Cause::WorkFile, 0 }, {}));
    }
    return Transfer { url, file };
}

void ReportFetcher::forgetStoredCopy(const QString& code)
{
    m_services.downloader->removeCachedCopy(SourceAddress::metar(m_services.sources.weatherBase, code));
}

DecodedReport ReportFetcher::withDemoMark(DecodedReport report) const
{
    report.demo = SourceAddress::isDemo(m_services.sources);
    return report;
}

DecodedReport ReportFetcher::conclude(
    const QString& code, ReportType type, const Transfer& transfer, const DownloadResult& result)
{
    return withDemoMark(decodeDownload(code, type, transfer, result));
}

DecodedReport ReportFetcher::decodeDownload(
    const QString& code, ReportType type, const Transfer& transfer, const DownloadResult& result)
{
    const QString& url = transfer.url;
    if (!result.ok()) {
        qCInfo(lcNetwork) << "download failed:" << SourceAddress::forDisplay(url) << result.httpStatus << result.error;
        return Reports::failedReport(code, type, result.failure(), QUrl(url).host());
    }
    QFile downloaded(transfer.file);
    if (!downloaded.open(QIODevice::ReadOnly)) {
        qCWarning(lcFiles) << "cannot read the work file" << transfer.file << downloaded.errorString();
        return Reports::failedReport(code, type, { Failure::Cause::WorkFile, 0 }, {});
    }
    const QByteArray contents = downloaded.readAll();
    // The transfer's own end is not enough: a chunked reply cut short can look whole to it.
    if (const Failure::Cause cause = Reports::checkReply(type, contents); cause != Failure::Cause::None) {
        qCInfo(lcNetwork) << "no whole report in the answer:" << SourceAddress::forDisplay(url)
                          << Failure::key({ cause, 0 });
        return Reports::failedReport(code, type, { cause, result.httpStatus }, QUrl(url).host());
    }
    const QDateTime fetchedUtc = m_services.clock->now().toUTC();
    DecodedReport report;
    switch (type) {
    case ReportType::Metar:
        report = Reports::decodeMetar(code, contents, m_services.clock->today(), fetchedUtc, m_services.limits);
        break;
    case ReportType::Taf:
        report = Reports::decodeTaf(code, contents, m_services.clock->today(), fetchedUtc);
        break;
    case ReportType::Notam:
        report = Reports::decodeNotams(code, contents, fetchedUtc);
        break;
    }
    report.source = url;
    return report;
}

// Compiled here rather than in the library's one file of generated code: a program that uses this
// class alone (the small report program) must not pull in, with that file, the classes that paint.
#include "moc_ReportFetcher.cpp"
