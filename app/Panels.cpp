// The window's own commands: help panel and its links, report-type buttons, folding the search region,
// and the find command of NOTAM reports.
#include "platform/LinkOpener.h"
#include "app/MainWindow.h"
#include "ui/Twips.h"
#include "reports/Sources.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

namespace {

constexpr int kFoldStep = 50;
constexpr int kFoldedMargin = 80;
constexpr int kUnfoldedWidth = 10905;
constexpr quint32 kFindRed = 0xFF0000;
const char* const kTag = "tag";

} // namespace

void MainWindow::Command3_Click()
{
    Frame1->show();
    Frame1->raise();
}

void MainWindow::Command4_Click()
{
    Frame1->hide();
}

void MainWindow::Label5_Click()
{
    m_services.links->open(m_services.sources.site);
}

void MainWindow::Label6_Click()
{
    m_services.links->open(SourceAddress::Contact(m_services.sources.site, Label7->text()));
}

void MainWindow::Option2_Click(int index)
{
    ShowReport(Label2->text());
    Frame5->setVisible(index == 2);
}

void MainWindow::Command6_Click()
{
    Frame2->raise();
    const int panelWidth = Twips::fromPixels(Frame2->width());
    // The report panel stays against the window's right edge while the window narrows or widens.
    const auto keepPanelRight = [&] { Frame2->move(width() - Frame2->width(), Frame2->y()); };
    if (Command6->text() == u"Réduire"_qs) {
        Frame2->move(Twips::toPixels(kFoldedMargin), Frame2->y());
        for (int w = outerWidthTwips(); w >= panelWidth; w -= kFoldStep) {
            setOuterWidthTwips(w + kFoldedMargin);
            keepPanelRight();
            letEventsRun();
        }
        Command6->setText(u"Rechercher"_qs);
    } else {
        Compteur = 15;
        for (int w = outerWidthTwips(); w <= kUnfoldedWidth; w += kFoldStep) {
            setOuterWidthTwips(w);
            keepPanelRight();
            letEventsRun();
        }
        Command6->setText(u"Réduire"_qs);
    }
}

void MainWindow::Command7_Click()
{
    setReportText(Text3->toPlainText());
    const QString needle = Text2->text();
    // An empty search text occurs nowhere: nothing is highlighted.
    if (!needle.isEmpty()) {
        const QString text = LabMetar->document()->toPlainText();
        QTextCursor cursor(LabMetar->document());
        QTextCharFormat highlight;
        highlight.setFontWeight(QFont::Bold);
        highlight.setForeground(Twips::rgb(kFindRed));
        for (;;) {
            const qsizetype start = Command7->property(kTag).toString().toLongLong();
            const qsizetype found = text.indexOf(needle, start, Qt::CaseInsensitive);
            if (found < start)
                break;
            cursor.setPosition(static_cast<int>(found));
            cursor.setPosition(static_cast<int>(found + needle.size()), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(highlight);
            Command7->setProperty(kTag, QString::number(found + 1));
        }
    }
    Command7->setProperty(kTag, QString());
}
