// The request driver: every choice of a station ends in ShowReport, which runs the path of the selected
// report type and then records the code as the current one.
#include "platform/Clock.h"
#include "app/MainWindow.h"
#include "reports/ReportArea.h"
#include "ui/Twips.h"
#include "platform/SettingsStore.h"
#include "reports/Expiry.h"
#include "reports/MetarStyle.h"
#include "reports/MetarTranslation.h"
#include "reports/Sources.h"
#include "reports/WorkFile.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QTextEdit>

namespace {

constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kStalePink = 0xFFC0C0;

// The busy pointer is one state, not a stack: nested requests must not leave it set.
void setBusyPointer(bool busy)
{
    if (busy) {
        if (!QApplication::overrideCursor())
            QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

} // namespace

void MainWindow::ShowReport(const QString& code)
{
    setBusyPointer(true);
    if (Option2[1]->isChecked()) {
        ShowTaf(code);
    } else if (Option2[2]->isChecked()) {
        ShowNotams(code);
    } else {
        setReportText(QString());
        Label17->setText(QString());
        letEventsRun();

        const QString workFile = m_services.workFolder.filePath(u"V.txt"_qs);
        if (!DownloadStationPage(code, SourceAddress::Metar(m_services.sources.weatherBase, code), workFile)) {
            setBusyPointer(false);
            return;
        }
        QString text = WorkFile::ReadReportText(workFile);
        if (text.isEmpty()) {
            LabMetar->hide();
        } else {
            const bool stale = Expiry::IsMetarOutOfDate(text, m_services.clock->today());
            Label1->setVisible(stale);
            if (stale)
                Label1->setText(u"METAR Périmé"_qs);
            setReportBackground(stale ? kStalePink : kWhite);

            text = Metar::TranslateMetar(text);
            Label17->setText(u"METAR de "_qs + code);
            Label17->setText(Metar::MetarTitle(text, code));
            setReportText(text);
            StyleMetar();
            letEventsRun();
            LabMetar->show();
        }
        Label17->setVisible(LabMetar->isVisibleTo(Frame2));
    }

    setBusyPointer(false);
    m_services.settings->write(u"data"_qs, u"last"_qs, code);
    Label2->setText(code);
    AddFavourite();
}

void MainWindow::StyleMetar()
{
    applySpans(Metar::MetarStyleSpans(reportAreaText()));
}

void MainWindow::applySpans(const StyleSpans& spans)
{
    ReportArea::Apply(LabMetar, spans);
}

void MainWindow::setReportText(const QString& text)
{
    LabMetar->setPlainText(text);
}

void MainWindow::setReportBackground(quint32 rgb)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{LabMetar->viewport(), Shape1}) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Base, Twips::rgb(rgb));
        palette.setColor(QPalette::Window, Twips::rgb(rgb));
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
    QPalette palette = LabMetar->palette();
    palette.setColor(QPalette::Base, Twips::rgb(rgb));
    LabMetar->setPalette(palette);
}

void MainWindow::letEventsRun()
{
    QCoreApplication::processEvents();
}
