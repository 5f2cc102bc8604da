#include "DossierMode.h"

#include "briefing/BriefingFile.h"
#include "briefing/DossierDocument.h"
#include "reports/DossierFetcher.h"
#include "services/Clock.h"
#include "stations/StationTable.h"

#include <QEventLoop>
#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace DossierMode {
namespace {

void tell(const QString& text)
{
    std::fprintf(stderr, "Ventorix : %s\n", text.toLocal8Bit().constData());
}

// What scripts read on standard error for a report that did not come: its reason, without the connection line.
void tellFailure(const DecodedReport& report)
{
    if (report.fetched())
        return;
    QStringList why = report.text.split(u"\r\n"_s);
    if (why.size() > 1 && why.first() == Failure::connectionLine())
        why.removeFirst();
    tell(why.join(u' '));
}

BriefingFile::Format fileFormat(CommandLine::Format format)
{
    switch (format) {
    case CommandLine::Format::Html:
        return BriefingFile::Format::Html;
    case CommandLine::Format::Pdf:
        return BriefingFile::Format::Pdf;
    case CommandLine::Format::Json:
    case CommandLine::Format::Text:
        break;
    }
    return BriefingFile::Format::Text;
}

} // namespace

int run(const CommandLine& line)
{
    const CommandLine::DossierRequest& request = *line.dossier;
    const RealServices services(RealServices::Kind::OneShot, line.sources, request.now);
    if (!services.isReady()) {
        tell(u"impossible de créer un dossier de travail temporaire"_s);
        return 1;
    }
    const QDateTime nowUtc = services.services().clock->now().toUTC();
    const QDateTime departUtc = request.depart
        ? request.depart->onDay(nowUtc.date())
        : QDateTime(nowUtc.date(), QTime(nowUtc.time().hour(), nowUtc.time().minute()), Qt::UTC);
    const QDateTime arriveUtc = request.arrive ? request.arrive->onDay(departUtc.date()) : departUtc.addSecs(3600);
    const FlightDossier::Plan plan = FlightDossier::makePlan(
        request.codes.value(0), request.codes.value(1), request.codes.mid(2), departUtc, arriveUtc);
    if (const QString error = FlightDossier::planError(plan); !error.isEmpty()) {
        tell(error);
        return 2;
    }

    Stations::StationTable stations;
    Stations::fillFromEmbeddedData(stations);
    DossierFetcher fetcher(services.services(), stations);
    FlightDossier::Dossier dossier;
    QEventLoop loop;
    QObject::connect(&fetcher, &DossierFetcher::finished, &loop, [&](const FlightDossier::Dossier& done) {
        dossier = done;
        loop.quit();
    });
    fetcher.start(plan);
    if (fetcher.isRunning())
        loop.exec();

    for (const FlightDossier::Part& part : dossier.parts) {
        tellFailure(part.metar);
        tellFailure(part.taf);
        if (part.notam)
            tellFailure(*part.notam);
    }
    const auto write = [&](QIODevice& device) {
        if (request.format == CommandLine::Format::Json) {
            const QByteArray json = FlightDossier::json(dossier);
            return device.write(json) == json.size();
        }
        return BriefingFile::write(DossierDocument::compose(dossier), fileFormat(request.format), device);
    };
    if (request.output.isEmpty()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || !write(out) || !out.flush())
            return 1;
    } else if (const QString error = BriefingFile::save(request.output, write); !error.isEmpty()) {
        tell(error);
        return 1;
    }
    return FlightDossier::isComplete(dossier) ? 0 : 1;
}

} // namespace DossierMode
