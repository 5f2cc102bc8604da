// The NOTAM path of the request driver: the provider's page for the code, cut to its NOTAM block.
#include "app/MainWindow.h"
#include "platform/Downloader.h"
#include "reports/NotamCut.h"
#include "reports/Sources.h"
#include "reports/WorkFile.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextEdit>

void MainWindow::ShowNotams(const QString& code)
{
    letEventsRun();
    setReportText(QString());
    Label17->setText(u"Notams"_qs);
    letEventsRun();

    const Sources& sources = m_services.sources;
    m_services.downloader->removeCachedCopy(SourceAddress::NotamPage(sources.notamBase));
    const QString workFile = m_services.workFolder.filePath(code + u".txt"_qs);
    if (!DownloadStationPage(code, SourceAddress::Notam(sources.notamBase, code), workFile)) {
        Label1->show();
        Label1->setText(u"X"_qs);
        setReportBackground(0xFFC0C0);
        return;
    }
    Label1->hide();
    setReportBackground(0xFFFFFF);

    const QString text = Notam::CutNotams(WorkFile::ReadWhole(workFile), code);
    setReportText(text);
    Text3->setPlainText(text);
    LabMetar->show();
    Label17->show();
}
