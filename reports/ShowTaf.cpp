// The TAF path of the request driver: download, cut to the station's forecast, date, decode, show.
#include "platform/Clock.h"
#include "app/MainWindow.h"
#include "reports/Sources.h"
#include "reports/TafDecoder.h"
#include "reports/WorkFile.h"

#include <QFrame>
#include <QLabel>
#include <QTextEdit>

void MainWindow::ShowTaf(const QString& code)
{
    setReportText(QString());
    Label17->setText(QString());
    letEventsRun();

    const QString workFile = m_services.workFolder.filePath(u"V.txt"_qs);
    if (!DownloadStationPage(code, SourceAddress::Taf(m_services.sources.weatherBase, code), workFile))
        return;

    const QString raw = WorkFile::ReadReportText(workFile);
    if (raw.isEmpty()) {
        LabMetar->hide();
    } else {
        const Taf::TafReport report = Taf::BuildTafReport(raw, code, m_services.clock->today());
        Label1->setVisible(report.outOfDate);
        if (report.outOfDate)
            Label1->setText(u"TAF Périmé"_qs);
        setReportBackground(report.outOfDate ? 0xFFC0C0 : 0xFFFFFF);
        Label17->setText(report.title);
        setReportText(report.reportText);
        letEventsRun();
        LabMetar->show();
    }
    Label17->setVisible(LabMetar->isVisibleTo(Frame2));
    applySpans(Taf::TafEmphasisSpans(reportAreaText()));
}
