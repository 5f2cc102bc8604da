// Median time to export a 50 KB NOTAM report to PDF, through the real window and the real file writer: the
// report is fetched from a file:// folder, then saved as PDF (document build, layout, pages, file) again and
// again. Plain text and HTML are timed too, for comparison.
// Usage: QT_QPA_PLATFORM=offscreen build/bench/bench_briefing [repetitions]
#include "MainWindow.h"
#include "Median.h"
#include "briefing/BriefingFile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A provider page whose NOTAM block holds about @p bytes of text.
QByteArray notamPage(qsizetype bytes)
{
    QByteArray block;
    for (int n = 1000; block.size() < bytes; ++n) {
        block += "LFPG A" + QByteArray::number(n) + "/26 TWY W" + QByteArray::number(n % 9)
            + " CLSD BTN RWY 08R/26L AND TWY W3 DUE TO WORKS. OBST CRANE ERECTED 1NM N OF ARP, HGT 310FT AMSL, LIT. "
              "2612150600 2612201800\n\n";
    }
    return "<html><body><pre>\n(NOTAMS)\n\n" + block + "</pre></body></html>\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 21;

    QTemporaryDir served;
    QDir(served.path()).mkpath(u"regusers/publictools/corp_comp"_qs);
    QFile page(served.filePath(u"regusers/publictools/corp_comp/metar_taf_notam.html"_qs));
    if (!page.open(QIODevice::WriteOnly) || page.write(notamPage(50 * 1024)) < 0)
        return 1;
    page.close();
    const QString base = QUrl::fromLocalFile(served.path()).toString();
    const RealServices services(RealServices::Kind::OneShot, GivenSources { base, base, u"http://site.test"_qs },
        QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    MainWindow window(services.services());
    window.loadStations();
    window.selectReportTypeQuietly(ReportType::Notam);
    window.showReport(u"LFPG"_qs);
    const BriefingDocument::Briefing briefing = window.briefing();
    std::printf("NOTAM report: %lld characters\n", static_cast<long long>(briefing.report.text.size()));
    if (briefing.report.text.size() < 50 * 1024 || !briefing.report.fetched()) {
        std::printf("WRONG RESULT: the NOTAM report was not fetched whole\n");
        return 1;
    }

    QTemporaryDir out;
    bool ok = true;
    for (const BriefingFile::Format format :
        { BriefingFile::Format::Pdf, BriefingFile::Format::Html, BriefingFile::Format::Text }) {
        const QString path = out.filePath(u"briefing."_qs + BriefingFile::Extension(format));
        QString error;
        const double ms = medianMs(repetitions, [&] { error = BriefingFile::Save(briefing, path, format); });
        const bool fast = format != BriefingFile::Format::Pdf || ms < 150;
        std::printf("%-40s median %8.3f ms  (%lld bytes)%s\n",
            qPrintable(u"export to "_qs + BriefingFile::Extension(format)), ms,
            static_cast<long long>(QFileInfo(path).size()),
            format == BriefingFile::Format::Pdf ? (fast ? "  target < 150 ms: ok" : "  target < 150 ms: MISSED") : "");
        ok = ok && fast && error.isEmpty();
    }
    return ok ? 0 : 1;
}
