// The briefing document that save, print, PDF export and the report mode all write: heading and body as plain
// text, colours and weights in HTML, searchable PDF pages; and saves that fail, leaving the earlier file whole.
#include "briefing/BriefingFile.h"
#include "stations/StationTable.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

struct Styled
{
    QString text;
    QString colour; ///< as HTML writes it: "#c00000"
    bool bold = false;
};

// A report whose text is made of @p runs, each but the plain ones a span of its own.
DecodedReport shown(const QString& title, bool stale, const QString& banner, const QList<TextRun>& runs)
{
    DecodedReport report;
    report.title = title;
    report.stale = report.bannerShown = stale;
    report.banner = banner;
    for (const TextRun& run : runs) {
        if (run.rgb != 0 || run.bold || run.pointSize != Reports::kReportPoints)
            report.spans.append(StyleSpan { report.text.size(), run.text.size(), run.bold, run.rgb, run.pointSize });
        report.text += run.text;
    }
    return report;
}

QString tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestBriefingDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameBriefingInEveryFormat_data();
    void sameBriefingInEveryFormat();
    void failedSaveKeepsTheEarlierFile_data();
    void failedSaveKeepsTheEarlierFile();
};

void TestBriefingDocument::sameBriefingInEveryFormat_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<DecodedReport>("report");
    QTest::addColumn<QDateTime>("fetchedAt");
    QTest::addColumn<QString>("heading"); // the plain text before the report's own
    QTest::addColumn<QList<Styled>>("styled");
    QTest::addColumn<int>("pages");

    const QString metarAddress = u"http://meteo.test/data/observations/metar/decoded/LFPG.TXT"_qs;
    // The banner of a current report keeps its text while hidden: it must not reach the briefing.
    QTest::newRow("current METAR of a known station")
        << u"LFPG"_qs
        << shown(u"METAR de 1930 UTC"_qs, false, u"METAR Périmé"_qs,
               { { u"Vent:"_qs, 0x0000C0, true, 8.5 }, { u" du NW (310 degrés)\r\n"_qs, 0, false, 8.5 },
                   { u"10°C"_qs, 0xC00000, true, 14 } })
        << QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC)
        << u"LFPG — France, Paris\nMETAR de 1930 UTC\nObtenu le 07/12/2026 à 09:00 UTC\nSource : http://meteo.test/"_qs
        << QList<Styled> { { u"LFPG — France, Paris"_qs, u"#0000c0"_qs, true }, { u"Vent:"_qs, u"#0000c0"_qs, true },
               { u" du NW (310 degrés)"_qs, u"#000000"_qs, false }, { u"10°C"_qs, u"#c00000"_qs, true } }
        << 1;

    // A time read from a local clock is written in UTC.
    QTest::newRow("stale TAF fetched at a local time")
        << u"EGLL"_qs
        << shown(u"TAF de EGLL du 15 à 12h00 au 16 à 18h00"_qs, true, u"TAF Périmé"_qs,
               { { u"TAF EGLL 151100Z\r\n"_qs, 0, false, 8.5 }, { u"T° Maxi: 18°"_qs, 0xC00000, true, 8.5 } })
        << QDateTime(QDate(2026, 12, 7), QTime(10, 30), Qt::OffsetFromUTC, 3600)
        << u"EGLL — United Kingdom, London\nTAF Périmé\nTAF de EGLL du 15 à 12h00 au 16 à 18h00\n"
           u"Obtenu le 07/12/2026 à 09:30 UTC\nSource : http://meteo.test/"_qs
        << QList<Styled> { { u"TAF Périmé"_qs, u"#ff0000"_qs, true }, { u"T° Maxi: 18°"_qs, u"#c00000"_qs, true } }
        << 1;

    // Neither fetch time nor address is known after a failed request: those lines are left out.
    QString notams;
    for (int n = 1001; n <= 1400; ++n)
        notams += u"ZZZZ A%1/26 TWY W3 CLSD BTN RWY 08R/26L ET TWY W4, FERMÉ POUR TRAVAUX.\r\n\r\n"_qs.arg(n);
    QTest::newRow("400 NOTAMs of a station the directory does not know, not fetched")
        << u"ZZZZ"_qs << shown(u"Notams"_qs, false, QString(), { { notams, 0, false, 8.5 } }) << QDateTime()
        << u"ZZZZ\nNotams"_qs << QList<Styled> { { u"ZZZZ"_qs, u"#0000c0"_qs, true } } << 5;
    QFile icao(QStringLiteral(VENTORIX_TEST_DATA "/notam/LFPG-icao.html"));
    QVERIFY(icao.open(QIODevice::ReadOnly));
    const QDateTime icaoFetched(QDate(2026, 12, 16), QTime(8, 0), Qt::UTC);
    QTest::newRow("ICAO NOTAMs, two of them expired")
        << u"LFPG"_qs << Reports::decodeNotams(u"LFPG"_qs, icao.readAll(), icaoFetched) << icaoFetched
        << u"LFPG — France, Paris\nNotams\nObtenu le 16/12/2026 à 08:00 UTC\nSource : http://meteo.test/"_qs
        << QList<Styled> { { u"2 NOTAM expirés"_qs, u"#808080"_qs, true },
               { u"A0105/26 — expiré — du 05/12 06:00 au 05/12 20:00 UTC — ILS — hors service"_qs, u"#808080"_qs,
                   true } }
        << 1;
}

void TestBriefingDocument::sameBriefingInEveryFormat()
{
    QFETCH(QString, code);
    QFETCH(DecodedReport, report);
    QFETCH(QDateTime, fetchedAt);
    QFETCH(QString, heading);
    QFETCH(QList<Styled>, styled);
    QFETCH(int, pages);

    Stations::StationTable table;
    table.fill(u"LFPG\\France\\Paris\nEGLL\\United Kingdom\\London\n"_qs);
    report.code = code;
    report.fetchedUtc = fetchedAt;
    report.source = fetchedAt.isValid() ? u"http://meteo.test/"_qs : QString();
    const BriefingDocument::Briefing briefing { report, BriefingDocument::StationDescription(table, code) };
    const QString body = QString(report.text).replace(u"\r\n"_qs, u"\n"_qs);
    QCOMPARE(BriefingFile::Text(briefing), (heading + u"\n\n"_qs + body + u'\n').toUtf8());

    const QString html = QString::fromUtf8(BriefingFile::Html(briefing));
    const QString typeName = reportTypeName(report.type);
    QVERIFY(html.contains(u"<title>Bulletin %1 — %2</title>"_qs.arg(code, typeName)));
    for (const Styled& expected : styled) {
        const QRegularExpression span(
            u"<span style=\"([^\"]*)\">"_qs + QRegularExpression::escape(expected.text) + u"</span>"_qs);
        const QString style = span.match(html).captured(1);
        QVERIFY2(style.contains(u"color:"_qs + expected.colour), qPrintable(expected.text + u": "_qs + style));
        QCOMPARE(style.contains(u"font-weight:700"_qs), expected.bold);
    }

    // The PDF's text, as a reader searches it (line breaks fall where the page width puts them).
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"briefing.pdf"_qs);
    QCOMPARE(BriefingFile::Save(briefing, pdf, BriefingFile::Format::Pdf), QString());
    const QString text = tool(u"pdftotext"_qs, { pdf, u"-"_qs }).simplified();
    QVERIFY2(text.startsWith(heading.simplified()) && text.contains(body.simplified().left(200))
            && text.contains(body.simplified().right(60)),
        qPrintable(text.left(400)));
    const QString info = tool(u"pdfinfo"_qs, { pdf });
    const QRegularExpression titleAndCreator(
        u"^Title: +Bulletin %1 — %2\nCreator: +Ventorix 3.0.0$"_qs.arg(code, typeName),
        QRegularExpression::MultilineOption);
    QVERIFY2(info.contains(titleAndCreator), qPrintable(info));
    const int pageCount = QRegularExpression(u"Pages: +(\\d+)"_qs).match(info).captured(1).toInt();
    QVERIFY2(pages == 1 ? pageCount == 1 : pageCount >= pages, qPrintable(info));
}

void TestBriefingDocument::failedSaveKeepsTheEarlierFile_data()
{
    QTest::addColumn<QString>("target"); // in a folder holding "briefing.html"
    QTest::addColumn<int>("fileSizeLimit");
    QTest::addColumn<QString>("reason");

    // Tests run as root, whom permissions do not stop; a file size limit stops every user, like a full disk.
    QTest::newRow("disk full while writing over an earlier file")
        << u"briefing.html"_qs << 2048 << u"l'écriture a échoué"_qs;
    QTest::newRow("a folder that is a file")
        << u"briefing.html/briefing.html"_qs << 0 << u"le fichier ne peut pas être créé à cet endroit"_qs;
}

void TestBriefingDocument::failedSaveKeepsTheEarlierFile()
{
    QFETCH(QString, target);
    QFETCH(int, fileSizeLimit);
    QFETCH(QString, reason);

    QTemporaryDir folder;
    const QByteArray earlier = "<html>an earlier briefing, kept whole</html>\n";
    QFile earlierFile(folder.filePath(u"briefing.html"_qs));
    QVERIFY(earlierFile.open(QIODevice::WriteOnly) && earlierFile.write(earlier) == earlier.size());
    earlierFile.close();
    const QString text = u"Visibilité: supérieure à 10 kilomètres.\r\n"_qs.repeated(100);
    DecodedReport report = shown(u"METAR de 1930 UTC"_qs, false, QString(), { { text, 0, false, 8.5 } });
    report.code = u"LFPG"_qs;
    const BriefingDocument::Briefing briefing { report, u"France, Paris"_qs };

    rlimit before {};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing
    if (fileSizeLimit > 0) {
        const rlimit limit { static_cast<rlim_t>(fileSizeLimit), before.rlim_max };
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    const QString path = folder.filePath(target);
    const QString message = BriefingFile::Save(briefing, path, BriefingFile::Format::Html);
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, previousHandler);

    QVERIFY2(message.startsWith(u"Le bulletin n'a pas été enregistré dans « %1 » : %2"_qs.arg(path, reason)),
        qPrintable(message));
    QVERIFY(earlierFile.open(QIODevice::ReadOnly));
    QCOMPARE(earlierFile.readAll(), earlier);
    // No partial file and no temporary one left beside it.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList { u"briefing.html"_qs });
}

QTEST_MAIN(TestBriefingDocument)
#include "TestBriefingDocument.moc"
