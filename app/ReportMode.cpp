#include "app/ReportMode.h"

#include "platform/Clock.h"
#include "platform/LinkOpener.h"
#include "app/MainWindow.h"
#include "reports/ReportArea.h"
#include "platform/SettingsStore.h"
#include "platform/NetworkDownloader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstdio>

namespace {

QString hexColour(quint32 rgb)
{
    return u"#%1"_qs.arg(rgb & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
}

// Opens nothing: the report mode has no help panel to click.
class NoLinkOpener final : public LinkOpener
{
public:
    void open(const QString&) override { }
};

} // namespace

namespace ReportMode {

QString Json(const MainWindow& window, const QString& code, int type)
{
    static const std::array<QString, 3> kTypes{u"METAR"_qs, u"TAF"_qs, u"NOTAM"_qs};
    QJsonArray runs;
    for (const ReportArea::Run& run : ReportArea::Runs(window.LabMetar)) {
        runs.append(QJsonObject{{u"text"_qs, run.text}, {u"color"_qs, hexColour(run.rgb)}, {u"bold"_qs, run.bold},
            {u"size"_qs, run.pointSize}});
    }
    const QJsonObject object{
        {u"code"_qs, code},
        {u"type"_qs, kTypes.at(static_cast<size_t>(type))},
        {u"title"_qs, window.Label17->text()},
        {u"titleVisible"_qs, !window.Label17->isHidden()},
        {u"reportVisible"_qs, !window.LabMetar->isHidden()},
        {u"bannerVisible"_qs, !window.Label1->isHidden()},
        {u"banner"_qs, window.Label1->text()},
        {u"background"_qs, hexColour(window.LabMetar->palette().color(QPalette::Base).rgb())},
        {u"text"_qs, window.reportAreaText()},
        {u"runs"_qs, runs},
    };
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

QString Text(const MainWindow& window)
{
    return window.Label17->text() + u"\n\n"_qs + window.reportAreaText() + u'\n';
}

int Run(const CommandLine& line)
{
    const CommandLine::ReportRequest& request = *line.report;
    QTemporaryDir workDir;
    if (!workDir.isValid()) {
        std::fprintf(stderr, "Ventorix : impossible de créer un dossier de travail temporaire\n");
        return 1;
    }
    NetworkDownloader downloader;
    SystemClock systemClock;
    FixedClock fixedClock(request.now.value_or(QDateTime()));
    MemorySettingsStore settings;
    NoLinkOpener links;
    Services services{&downloader, request.now ? static_cast<const Clock*>(&fixedClock) : &systemClock, &settings,
        &links, WorkFolder(workDir.path()), Sources{line.weatherBase, line.notamBase, line.site}};

    MainWindow window(services);
    window.selectReportTypeQuietly(request.type);
    window.ShowReport(request.code);

    const QString output = request.format == CommandLine::Format::Json ? Json(window, request.code, request.type)
                                                                        : Text(window);
    const QByteArray bytes = output.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
    return window.lastDownloadSucceeded() ? 0 : 1;
}

} // namespace ReportMode
