#include "ReportMode.h"

#include "briefing/BriefingFile.h"

#include <cstdio>

namespace ReportMode {

int run(const CommandLine& line)
{
    const CommandLine::ReportRequest& request = *line.report;
    const std::optional<FetchedReport> fetched = fetchTellingWhy(line);
    if (!fetched)
        return 1;
    // A file named by --output keeps what it held when the report could not be fetched.
    if (!fetched->report.fetched() && !request.output.isEmpty())
        return 1;

    const auto briefing = [&] {
        return BriefingDocument::Briefing { fetched->report,
            BriefingDocument::stationDescription(fetched->stations, request.code) };
    };
    const auto write = [&](QIODevice& device) {
        if (request.format == CommandLine::Format::Pdf)
            return BriefingFile::writePdf(briefing(), device);
        const QByteArray bytes
            = request.format == CommandLine::Format::Html ? BriefingFile::html(briefing()) : dataOf(*fetched, request);
        return device.write(bytes) == bytes.size();
    };
    if (request.output.isEmpty()) {
        if (!writeToStandardOutput(write))
            return 1;
    } else if (const QString error = BriefingFile::save(request.output, write); !error.isEmpty()) {
        std::fprintf(stderr, "Ventorix : %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return fetched->report.fetched() ? 0 : 1;
}

} // namespace ReportMode
