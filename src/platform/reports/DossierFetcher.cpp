#include "reports/DossierFetcher.h"

#include "briefing/BriefingDocument.h"
#include "services/Clock.h"
#include "stations/StationTable.h"

using namespace Qt::StringLiterals;

DossierFetcher::DossierFetcher(Services services, const Stations::StationTable& stations, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_fetcher(m_services)
    , m_stations(stations)
{
}

DossierFetcher::~DossierFetcher() = default;

void DossierFetcher::start(const FlightDossier::Plan& plan)
{
    cancel();
    m_dossier = FlightDossier::Dossier { plan, {}, {} };
    m_jobs.clear();
    m_next = 0;
    m_done = 0;
    m_stationsDone = 0;
    m_waitingPerPart.assign(static_cast<size_t>(plan.stops.size()), 0);
    // No NOTAM source: the dossier has no NOTAM part rather than one failure per station.
    const bool withNotams = !m_services.sources.notamBase.trimmed().isEmpty();
    for (const FlightDossier::Stop& stop : plan.stops) {
        FlightDossier::Part part { stop, ReportOutput::stationInfo(m_stations, stop.code),
            BriefingDocument::stationDescription(m_stations, stop.code), {}, {}, std::nullopt };
        m_dossier.parts.append(part);
        const qsizetype index = m_dossier.parts.size() - 1;
        m_jobs.push_back(Job { index, ReportType::Metar });
        m_jobs.push_back(Job { index, ReportType::Taf });
        if (withNotams)
            m_jobs.push_back(Job { index, ReportType::Notam });
        m_waitingPerPart.at(static_cast<size_t>(index)) = withNotams ? 3 : 2;
    }
    while (m_running.size() < kMostAtOnce && m_next < m_jobs.size())
        startNext();
}

void DossierFetcher::cancel()
{
    // Deleting a pending report stops its download; none of them emits any more.
    m_running.clear();
    m_next = m_jobs.size();
}

void DossierFetcher::startNext()
{
    const Job job = m_jobs.at(m_next++);
    const QString& code = m_dossier.parts.at(job.part).stop.code;
    std::unique_ptr<PendingReport> pending = m_fetcher.start(code, job.type, u"dossier-"_s);
    PendingReport* const handle = pending.get();
    connect(handle, &PendingReport::finished, this,
        [this, handle, job](const DecodedReport& report) { store(handle, job, report); });
    m_running.push_back(std::move(pending));
}

void DossierFetcher::store(PendingReport* pending, const Job& job, const DecodedReport& report)
{
    // The report is still emitting: it goes once its signal has returned.
    const auto running = std::find_if(m_running.begin(), m_running.end(),
        [pending](const std::unique_ptr<PendingReport>& candidate) { return candidate.get() == pending; });
    if (running == m_running.end())
        return;
    running->release()->deleteLater();
    m_running.erase(running);

    FlightDossier::Part& part = m_dossier.parts[job.part];
    switch (job.type) {
    case ReportType::Metar:
        part.metar = report;
        break;
    case ReportType::Taf:
        part.taf = report;
        break;
    case ReportType::Notam:
        part.notam = report;
        break;
    }
    ++m_done;
    if (--m_waitingPerPart.at(static_cast<size_t>(job.part)) == 0)
        ++m_stationsDone;
    if (m_next < m_jobs.size())
        startNext();
    Q_EMIT progressed(m_done, total(), m_stationsDone, static_cast<int>(m_dossier.parts.size()));
    if (m_done == total()) {
        m_dossier.obtainedUtc = m_services.clock->now().toUTC();
        Q_EMIT finished(m_dossier);
    }
}

// Compiled here rather than in the library's one file of generated code: a program that uses this
// class alone (the small report program) must not pull in, with that file, the classes that paint.
#include "moc_DossierFetcher.cpp"
