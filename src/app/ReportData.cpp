// The report mode's part that needs no graphical library, shared by the program and the small report
// program (ReportProgram.cpp), which must not pull the briefing's painting in.
#include "ReportMode.h"

#include "reports/ReportFetcher.h"
#include "reports/ReportOutput.h"
#include "services/Services.h"

#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ReportMode {

bool needsGui(CommandLine::Format format)
{
    return format == CommandLine::Format::Html || format == CommandLine::Format::Pdf;
}

bool writesDataOnly(const CommandLine::ReportRequest& request)
{
    return !needsGui(request.format) && request.output.isEmpty();
}

std::optional<FetchedReport> fetchTellingWhy(const CommandLine& line)
{
    const CommandLine::ReportRequest& request = *line.report;
    const RealServices services(RealServices::Kind::OneShot, line.sources, request.now);
    if (!services.isReady()) {
        std::fprintf(stderr, "Ventorix : impossible de créer un dossier de travail temporaire\n");
        return std::nullopt;
    }
    FetchedReport fetched { ReportFetcher(services.services()).fetch(request.code, request.type), {} };
    Stations::fillWithEmbeddedStation(fetched.stations, request.code);
    if (!fetched.report.fetched()) {
        // Scripts read the cause on stderr whatever the format.
        QStringList why = fetched.report.text.split(u"\r\n"_s);
        if (why.size() > 1 && why.first() == Failure::connectionLine())
            why.removeFirst();
        std::fprintf(stderr, "Ventorix : %s\n", why.join(u' ').toLocal8Bit().constData());
    }
    return fetched;
}

QByteArray dataOf(const FetchedReport& fetched, const CommandLine::ReportRequest& request)
{
    if (request.format == CommandLine::Format::Json)
        return ReportOutput::json(fetched.report, ReportOutput::stationInfo(fetched.stations, request.code));
    return ReportOutput::text(fetched.report).toUtf8();
}

bool writeToStandardOutput(const std::function<bool(QIODevice&)>& write)
{
    QFile out;
    return out.open(stdout, QIODevice::WriteOnly) && write(out) && out.flush();
}

int runDataOnly(const CommandLine& line)
{
    const std::optional<FetchedReport> fetched = fetchTellingWhy(line);
    if (!fetched)
        return 1;
    const QByteArray bytes = dataOf(*fetched, *line.report);
    if (!writeToStandardOutput([&](QIODevice& device) { return device.write(bytes) == bytes.size(); }))
        return 1;
    return fetched->report.fetched() ? 0 : 1;
}

} // namespace ReportMode
