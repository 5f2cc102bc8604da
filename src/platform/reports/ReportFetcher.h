#pragma once

#include "reports/DecodedReport.h"
#include "services/Services.h"

#include <QObject>

#include <memory>
#include <variant>

class PendingDownload;
struct DownloadResult;

/// A report on its way in the background. It emits finished() once, never before the event loop has turned
/// after the request; deleting it earlier stops the download and nothing is emitted.
class PendingReport final : public QObject
{
    Q_OBJECT

public:
    explicit PendingReport(QObject* parent = nullptr);
    ~PendingReport() override;
    Q_DISABLE_COPY_MOVE(PendingReport)

Q_SIGNALS:
    void finished(const DecodedReport& report);

private:
    friend class ReportFetcher;
    std::unique_ptr<PendingDownload> m_download;
};

/// Turns a station code and a report type into a report: downloads the station's file into the work
/// folder, reads it and has the engines decode it. Knows nothing of windows: the window's request driver,
/// the report mode and the flight dossier all ask here.
class ReportFetcher final
{
public:
    explicit ReportFetcher(Services services);

    /// The report of @p type for @p code, or the reason it could not be had. Synchronous.
    DecodedReport fetch(const QString& code, ReportType type);

    /// The same report, fetched in the background through a work file of its own ("CODE-type.txt" after
    /// @p filePrefix), so that several run at once beside the window's own request.
    std::unique_ptr<PendingReport> start(const QString& code, ReportType type, const QString& filePrefix);

    /// Makes the next METAR of @p code come from the server, past any stored copy: what a refresh asks.
    void forgetStoredCopy(const QString& code);

private:
    struct Transfer
    {
        QString url;
        QString file;
    };
    /// Where the report comes from and goes to, or the report when no download is to be made.
    std::variant<Transfer, DecodedReport> prepare(const QString& code, ReportType type, const QString& fileName);
    DecodedReport conclude(
        const QString& code, ReportType type, const Transfer& transfer, const DownloadResult& result);
    DecodedReport decodeDownload(
        const QString& code, ReportType type, const Transfer& transfer, const DownloadResult& result);
    DecodedReport withDemoMark(DecodedReport report) const;

    Services m_services;
};
