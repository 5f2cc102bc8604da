#include "reports/ReportFetcher.h"

#include "network/Downloader.h"
#include "reports/Sources.h"
#include "services/Clock.h"
#include "services/Logging.h"

#include <QFile>
#include <QUrl>

ReportFetcher::ReportFetcher(Services services)
    : m_services(std::move(services))
{
}

DecodedReport ReportFetcher::fetch(const QString& code, ReportType type)
{
    DecodedReport report = fetchFromSource(code, type);
    report.demo = SourceAddress::IsDemo(m_services.sources);
    return report;
}

DecodedReport ReportFetcher::fetchFromSource(const QString& code, ReportType type)
{
    const Sources& sources = m_services.sources;
    // Nowhere to ask: no transfer, and the report says how to name a source.
    const QString& base = type == ReportType::Notam ? sources.notamBase : sources.weatherBase;
    if (base.trimmed().isEmpty())
        return Reports::failedReport(code, type, { Failure::Cause::NoSource, 0 }, {});
    switch (type) {
    case ReportType::Metar:
        return download(code, type, SourceAddress::Metar(sources.weatherBase, code), u"V.txt"_qs);
    case ReportType::Taf:
        return download(code, type, SourceAddress::Taf(sources.weatherBase, code), u"V.txt"_qs);
    case ReportType::Notam:
        // The provider's one page answers for every station: a stored copy would be another station's.
        m_services.downloader->removeCachedCopy(SourceAddress::NotamPage(sources.notamBase));
        return download(code, type, SourceAddress::Notam(sources.notamBase, code), code + u".txt"_qs);
    }
    return {};
}

void ReportFetcher::forgetStoredCopy(const QString& code)
{
    m_services.downloader->removeCachedCopy(SourceAddress::Metar(m_services.sources.weatherBase, code));
}

DecodedReport ReportFetcher::download(const QString& code, ReportType type, const QString& url, const QString& fileName)
{
    // A code that could name another folder or rewrite the address reaches neither the network nor the
    // file system.
    if (!SourceAddress::IsSafeStationCode(code))
        return Reports::failedReport(code, type, { Failure::Cause::InvalidCode, 0 }, {});

    const QString file = m_services.workFolder.filePath(fileName);
    // A file left over from an earlier request must never pass for this one's answer.
    if (QFile::exists(file) && !QFile::remove(file)) {
        qCWarning(lcFiles) << "cannot remove the earlier work file" << file;
        return Reports::failedReport(code, type, { Failure::Cause::WorkFile, 0 }, {});
    }
    const DownloadResult result = m_services.downloader->download(url, file);
    if (!result.ok()) {
        qCInfo(lcNetwork) << "download failed:" << SourceAddress::ForDisplay(url) << result.httpStatus << result.error;
        return Reports::failedReport(code, type, result.failure(), QUrl(url).host());
    }
    QFile downloaded(file);
    if (!downloaded.open(QIODevice::ReadOnly)) {
        qCWarning(lcFiles) << "cannot read the work file" << file << downloaded.errorString();
        return Reports::failedReport(code, type, { Failure::Cause::WorkFile, 0 }, {});
    }
    const QByteArray contents = downloaded.readAll();
    // The transfer's own end is not enough: a chunked reply cut short can look whole to it.
    if (const Failure::Cause cause = Reports::checkReply(type, contents); cause != Failure::Cause::None) {
        qCInfo(lcNetwork) << "no whole report in the answer:" << SourceAddress::ForDisplay(url)
                          << Failure::Key({ cause, 0 });
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
