// Time of the NOTAM find command through the real window, on pages with 1,000, 4,000 and 100,000 matches:
// the report is fetched from a file:// folder, then "Cherche" is clicked. The find must take well under a
// second even at 100,000 matches, with every line still laid out afterwards.
// Usage: QT_QPA_PLATFORM=offscreen build/bench/bench_find
#include "MainWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QUrl>

#include <cstdio>

namespace {

// A provider page of @p matches NOTAMs for LFPG, each naming a runway once.
QByteArray notamPage(int matches)
{
    QByteArray page = "<html><body><pre>\n(NOTAMS)\n\n";
    for (int n = 0; n < matches; ++n)
        page += "LFPG A" + QByteArray::number(n) + "/26 RWY 08L CLSD.\n";
    return page + QByteArray(75, '-') + "\n</pre></body></html>\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    bool allOk = true;
    for (const int matches : { 1000, 4000, 100000 }) {
        QTemporaryDir served;
        QDir(served.path()).mkpath(u"regusers/publictools/corp_comp"_qs);
        QFile page(served.filePath(u"regusers/publictools/corp_comp/metar_taf_notam.html"_qs));
        if (!page.open(QIODevice::WriteOnly) || page.write(notamPage(matches)) < 0)
            return 1;
        page.close();
        const QString base = QUrl::fromLocalFile(served.path()).toString();
        const RealServices services(RealServices::Kind::OneShot, GivenSources { base, base, u"http://site.test"_qs });
        MainWindow window(services.services());
        window.show();
        window.selectReportTypeQuietly(ReportType::Notam);
        window.showReport(u"LFPG"_qs);
        auto* findEdit = window.findChild<QLineEdit*>(u"findEdit"_qs);
        auto* findButton = window.findChild<QPushButton*>(u"findButton"_qs);
        auto* reportArea = window.findChild<QTextEdit*>(u"reportArea"_qs);
        findEdit->setText(u"RWY"_qs);

        QElapsedTimer timer;
        timer.start();
        findButton->click();
        QCoreApplication::processEvents();
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;

        const QTextDocument* document = reportArea->document();
        bool laidOut = document->blockCount() > matches;
        for (QTextBlock block = document->begin(); laidOut && block.isValid(); block = block.next())
            laidOut = document->documentLayout()->blockBoundingRect(block).height() > 0;
        const bool ok = laidOut && ms < 1000;
        std::printf("find \"RWY\", %6d matches: %8.1f ms  (target < 1000 ms) %s\n", matches, ms,
            laidOut ? (ok ? "ok" : "MISSED") : "WRONG RESULT: lines not laid out");
        std::fflush(stdout);
        allOk &= ok;
    }
    return allOk ? 0 : 1;
}
