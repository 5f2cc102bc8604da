#pragma once

#include "reports/FlightDossier.h"
#include "reports/ReportFetcher.h"
#include "services/Services.h"

#include <QObject>

#include <memory>
#include <vector>

namespace Stations {
class StationTable;
}

/// Fetches a flight dossier in the background: the METAR, the TAF and, where a NOTAM source is set, the NOTAMs
/// of every station, a few downloads at a time through the same fetcher as the window's own requests, so that
/// neither the window nor its automatic refresh waits for them.
class DossierFetcher final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMostAtOnce = 4;

    /// @p stations describes each station in the dossier; it must outlive the fetcher.
    DossierFetcher(Services services, const Stations::StationTable& stations, QObject* parent = nullptr);
    ~DossierFetcher() override;
    Q_DISABLE_COPY_MOVE(DossierFetcher)

    /// Starts on @p plan, which FlightDossier::planError() must accept; a dossier under way is dropped.
    void start(const FlightDossier::Plan& plan);
    /// Stops the downloads under way and those not yet begun; nothing more is emitted.
    void cancel();
    bool isRunning() const { return !m_running.empty() || m_next < m_jobs.size(); }
    int total() const { return static_cast<int>(m_jobs.size()); }

Q_SIGNALS:
    /// @p reportsDone of @p reportsTotal reports have come in, making whole @p stationsDone of @p stationsTotal
    /// stations.
    void progressed(int reportsDone, int reportsTotal, int stationsDone, int stationsTotal);
    /// Every report has come in, fetched or with the reason it was not.
    void finished(const FlightDossier::Dossier& dossier);

private:
    struct Job
    {
        qsizetype part;
        ReportType type;
    };
    void startNext();
    void store(PendingReport* pending, const Job& job, const DecodedReport& report);

    Services m_services;
    ReportFetcher m_fetcher;
    const Stations::StationTable& m_stations;
    FlightDossier::Dossier m_dossier;
    std::vector<Job> m_jobs;
    size_t m_next = 0;
    int m_done = 0;
    int m_stationsDone = 0;
    std::vector<int> m_waitingPerPart; ///< reports not yet in, station by station
    std::vector<std::unique_ptr<PendingReport>> m_running;
};
