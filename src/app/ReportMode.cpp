#include "ReportMode.h"

#include "MainWindow.h"
#include "briefing/BriefingFile.h"
#include "reports/Failure.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

QString hexColour(quint32 rgb)
{
    return u"#%1"_qs.arg(rgb & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
}

} // namespace

namespace ReportMode {

QString Json(const ShownReport& report, const QString& code, int type, const QString& error)
{
    static const std::array<QString, 3> kTypes { u"METAR"_qs, u"TAF"_qs, u"NOTAM"_qs };
    QJsonArray runs;
    for (const TextRun& run : report.runs) {
        runs.append(QJsonObject { { u"text"_qs, run.text }, { u"color"_qs, hexColour(run.rgb) },
            { u"bold"_qs, run.bold }, { u"size"_qs, run.pointSize } });
    }
    const QJsonObject object {
        { u"code"_qs, code },
        { u"type"_qs, kTypes.at(static_cast<size_t>(type)) },
        { u"title"_qs, report.title },
        { u"titleVisible"_qs, report.titleVisible },
        { u"reportVisible"_qs, report.reportVisible },
        { u"bannerVisible"_qs, report.bannerVisible },
        { u"banner"_qs, report.banner },
        { u"background"_qs, hexColour(report.background) },
        { u"text"_qs, report.text },
        { u"runs"_qs, runs },
        { u"error"_qs, error },
    };
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

QString Text(const ShownReport& report)
{
    return report.title + u"\n\n"_qs + report.text + u'\n';
}

int Run(const CommandLine& line)
{
    const CommandLine::ReportRequest& request = *line.report;
    const RealServices services(RealServices::Kind::OneShot, line.sources, request.now);
    if (!services.isReady()) {
        std::fprintf(stderr, "Ventorix : impossible de créer un dossier de travail temporaire\n");
        return 1;
    }

    MainWindow window(services.services());
    window.selectReportTypeQuietly(request.type);
    window.showReport(request.code);

    const ShownReport report = window.shownReport();
    const auto briefing = [&] {
        window.loadStations(); // only the briefing names the station
        return window.briefing(request.code);
    };
    const auto write = [&](QIODevice& device) {
        if (request.format == CommandLine::Format::Pdf)
            return BriefingFile::WritePdf(briefing(), device);
        const QByteArray bytes = request.format == CommandLine::Format::Json
            ? Json(report, request.code, request.type, Failure::Key(window.lastFailure())).toUtf8()
            : request.format == CommandLine::Format::Text ? Text(report).toUtf8()
                                                          : BriefingFile::Html(briefing());
        return device.write(bytes) == bytes.size();
    };
    if (request.output.isEmpty()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || !write(out) || !out.flush())
            return 1;
    } else if (const QString error = BriefingFile::Save(request.output, write); !error.isEmpty()) {
        std::fprintf(stderr, "Ventorix : %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return window.lastDownloadSucceeded() ? 0 : 1;
}

} // namespace ReportMode
