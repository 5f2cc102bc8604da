#include "ReportMode.h"

#include "briefing/BriefingFile.h"
#include "reports/ReportFetcher.h"
#include "reports/ReportOutput.h"
#include "stations/StationGeography.h"
#include "stations/StationTable.h"

#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ReportMode {

bool needsGui(CommandLine::Format format)
{
    return format == CommandLine::Format::Html || format == CommandLine::Format::Pdf;
}

int run(const CommandLine& line)
{
    const CommandLine::ReportRequest& request = *line.report;
    const RealServices services(RealServices::Kind::OneShot, line.sources, request.now);
    if (!services.isReady()) {
        std::fprintf(stderr, "Ventorix : impossible de créer un dossier de travail temporaire\n");
        return 1;
    }
    const DecodedReport report = ReportFetcher(services.services()).fetch(request.code, request.type);

    Stations::StationTable stations;
    Stations::fillFromEmbeddedData(stations);

    const auto briefing = [&] {
        return BriefingDocument::Briefing { report, BriefingDocument::stationDescription(stations, request.code) };
    };
    const auto write = [&](QIODevice& device) {
        if (request.format == CommandLine::Format::Pdf)
            return BriefingFile::writePdf(briefing(), device);
        const QByteArray bytes = request.format == CommandLine::Format::Json
            ? ReportOutput::json(report, ReportOutput::stationInfo(stations, request.code))
            : request.format == CommandLine::Format::Text ? ReportOutput::text(report).toUtf8()
                                                          : BriefingFile::html(briefing());
        return device.write(bytes) == bytes.size();
    };
    if (!report.fetched()) {
        // Scripts read the cause on stderr whatever the format; a file named by --output keeps what it held.
        QStringList why = report.text.split(u"\r\n"_s);
        if (why.size() > 1 && why.first() == Failure::connectionLine())
            why.removeFirst();
        std::fprintf(stderr, "Ventorix : %s\n", why.join(u' ').toLocal8Bit().constData());
        if (!request.output.isEmpty())
            return 1;
    }
    if (request.output.isEmpty()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || !write(out) || !out.flush())
            return 1;
    } else if (const QString error = BriefingFile::save(request.output, write); !error.isEmpty()) {
        std::fprintf(stderr, "Ventorix : %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return report.fetched() ? 0 : 1;
}

} // namespace ReportMode
