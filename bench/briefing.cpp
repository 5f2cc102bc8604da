// Time and memory to take a briefing out of the program, through the real window and the real file writer:
// a report is fetched from a file:// folder, then exported as PDF, HTML and text and printed (to a PDF
// printer), again and again. Three reports: a 50 KB NOTAM page, and the largest NOTAM page and TAF the
// download cap lets in, which must still export and print in under 2 s.
// Usage: QT_QPA_PLATFORM=offscreen build/bench/bench_briefing [repetitions]
#include "MainWindow.h"
#include "Median.h"
#include "briefing/BriefingFile.h"
#include "network/NetworkDownloader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// Just under the download cap, with room for the page around the report.
constexpr qsizetype kLargest = NetworkDownloader::kDefaultMaxBytes - 64 * 1024;

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

// One forecast whose change groups run on for about @p bytes.
QByteArray tafFile(qsizetype bytes)
{
    QByteArray taf = "2026/12/07 08:00\nTAF LFPG 070800Z 0709/0815 24010KT 9999 BKN030\n";
    for (int n = 0; taf.size() < bytes; ++n) {
        const QByteArray hour = QByteArray::number(10 + n % 12);
        taf += "      TEMPO 07" + hour + "/07" + hour + " 4000 -SHRA BKN015CB\n      BECMG 07" + hour + "/07" + hour
            + " 27015G25KT\n";
    }
    return taf;
}

// The most memory the process has held so far, in MiB.
long peakMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

qsizetype pagesIn(const QByteArray& pdf)
{
    return pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page ")
        + pdf.count("/Type /Page/");
}

struct Case
{
    const char* name;
    int type; // 1 TAF, 2 NOTAM
    QByteArray served;
    double targetMs;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;

    const std::vector<Case> cases { { "NOTAM page of 50 KB", 2, notamPage(50 * 1024), 150 },
        { "NOTAM page at the download cap", 2, notamPage(kLargest), 2000 },
        { "TAF at the download cap", 1, tafFile(kLargest), 2000 } };
    bool ok = true;
    for (const Case& c : cases) {
        QTemporaryDir served;
        const QString relative = c.type == 2 ? u"regusers/publictools/corp_comp/metar_taf_notam.html"_s
                                             : u"data/forecasts/taf/stations/LFPG.TXT"_s;
        QDir(served.path()).mkpath(QFileInfo(relative).path());
        QFile page(served.filePath(relative));
        if (!page.open(QIODevice::WriteOnly) || page.write(c.served) < 0)
            return 1;
        page.close();
        const QString base = QUrl::fromLocalFile(served.path()).toString();
        const RealServices services(RealServices::Kind::OneShot, GivenSources { base, base, u"http://site.test"_s },
            QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        MainWindow window(services.services());
        window.loadStations();
        window.selectReportTypeQuietly(kReportTypes.at(static_cast<size_t>(c.type)));
        window.showReport(u"LFPG"_s);
        const BriefingDocument::Briefing briefing = window.briefing();
        std::printf("%s: %lld bytes served, report of %lld characters\n", c.name,
            static_cast<long long>(c.served.size()), static_cast<long long>(briefing.report.text.size()));
        if (briefing.report.text.size() < 40 * 1024 || !briefing.report.fetched()) {
            std::printf("WRONG RESULT: the report was not fetched whole\n");
            return 1;
        }

        QTemporaryDir out;
        const auto line = [&](const QString& what, double ms, const QString& path) {
            QFile written(path);
            const QByteArray bytes = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
            const bool fast = ms < c.targetMs;
            std::printf("  %-22s median %9.1f ms  %9lld bytes  %5lld pages  peak %5ld MiB  target < %.0f ms: %s\n",
                qPrintable(what), ms, static_cast<long long>(bytes.size()), static_cast<long long>(pagesIn(bytes)),
                peakMiB(), c.targetMs, fast ? "ok" : "MISSED");
            ok = ok && fast && !bytes.isEmpty();
        };
        for (const BriefingFile::Format format :
            { BriefingFile::Format::Pdf, BriefingFile::Format::Html, BriefingFile::Format::Text }) {
            const QString path = out.filePath(u"briefing."_s + BriefingFile::extension(format));
            QString error;
            const double ms = medianMs(repetitions, [&] { error = BriefingFile::save(briefing, path, format); });
            if (!error.isEmpty())
                std::printf("  %s\n", qPrintable(error));
            line(u"export to "_s + BriefingFile::extension(format), ms, path);
        }
        // What the print command does with a printer that writes a PDF file, and with any other printer
        // (painted through Qt, here into a PDF writer at the printer's resolution).
        const QString printed = out.filePath(u"printed.pdf"_s);
        line(u"print to a file"_s,
            medianMs(repetitions,
                [&] {
                    QPrinter printer(QPrinter::HighResolution);
                    printer.setOutputFormat(QPrinter::PdfFormat);
                    printer.setOutputFileName(printed);
                    BriefingFile::save(briefing, printer.outputFileName(), BriefingFile::Format::Pdf);
                }),
            printed);
        // A long report goes to a printer through the print system's lp (here a stand-in that reads it all);
        // a short one is painted through Qt, which positions every glyph on its own: minutes for the largest.
        if (briefing.report.text.size() > 256 * 1024) {
            QTemporaryDir bin;
            QFile lp(bin.filePath(u"lp"_s));
            if (!lp.open(QIODevice::WriteOnly) || lp.write("#!/bin/sh\ncat > /dev/null\n") < 0)
                return 1;
            lp.close();
            lp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            const QByteArray path = qgetenv("PATH");
            qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
            const double ms = medianMs(repetitions, [&] { BriefingFile::spool(briefing, {}); });
            qputenv("PATH", path);
            const bool fast = ms < c.targetMs;
            std::printf("  %-22s median %9.1f ms  target < %.0f ms: %s\n", "print to a printer", ms, c.targetMs,
                fast ? "ok" : "MISSED");
            ok = ok && fast;
        } else {
            const QString painted = out.filePath(u"painted.pdf"_s);
            const double paintMs = medianMs(repetitions, [&] {
                QPdfWriter writer(painted);
                writer.setResolution(300);
                BriefingFile::paint(briefing, writer);
            });
            std::printf("  %-22s median %9.1f ms  (painted through Qt)\n", "print to a printer", paintMs);
        }
    }
    return ok ? 0 : 1;
}
