// The briefing document that save, print, PDF export and the report mode all write: its heading and body as
// plain text, and the colours and weights HTML keeps.
#include "reports/BriefingDocument.h"
#include "reports/BriefingFile.h"
#include "stations/StationTable.h"

#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

namespace {

struct Styled
{
    QString text;
    QString colour; ///< as HTML writes it: "#c00000"
    bool bold = false;
};

ShownReport shown(const QString& title, bool stale, const QString& banner, const QList<ReportArea::Run>& runs)
{
    QString text;
    for (const ReportArea::Run& run : runs)
        text += run.text;
    return ShownReport { title, true, true, stale, banner, stale ? 0xFFC0C0u : 0xFFFFFFu, text, runs };
}

} // namespace

class TestBriefingDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headingThenReport_data();
    void headingThenReport();
};

void TestBriefingDocument::headingThenReport_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<ShownReport>("report");
    QTest::addColumn<QDateTime>("fetchedAt");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("plainText");
    QTest::addColumn<QList<Styled>>("styled");

    const QString metarAddress = u"http://meteo.test/data/observations/metar/decoded/LFPG.TXT"_qs;
    // The banner of a current report keeps its text while hidden: it must not reach the briefing.
    QTest::newRow("current METAR of a known station")
        << u"LFPG"_qs
        << shown(u"METAR de 1930 UTC"_qs, false, u"METAR Périmé"_qs,
               { { u"Vent:"_qs, 0x0000C0, true, 8.5 }, { u" du NW (310 degrés)\r\n"_qs, 0, false, 8.5 },
                   { u"10°C"_qs, 0xC00000, true, 14 } })
        << QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC) << metarAddress
        << u"LFPG — France, Paris\nMETAR de 1930 UTC\nObtenu le 07/12/2026 à 09:00 UTC\nSource : "_qs + metarAddress
            + u"\n\nVent: du NW (310 degrés)\n10°C"_qs
        << QList<Styled> { { u"LFPG — France, Paris"_qs, u"#0000c0"_qs, true }, { u"Vent:"_qs, u"#0000c0"_qs, true },
               { u" du NW (310 degrés)"_qs, u"#000000"_qs, false }, { u"10°C"_qs, u"#c00000"_qs, true } };

    // A time read from a local clock is written in UTC.
    QTest::newRow("stale TAF fetched at a local time")
        << u"EGLL"_qs
        << shown(u"TAF de EGLL du 15 à 12h00 au 16 à 18h00"_qs, true, u"TAF Périmé"_qs,
               { { u"TAF EGLL 151100Z\r\n"_qs, 0, false, 8.5 }, { u"T° Maxi: 18°"_qs, 0xC00000, true, 8.5 } })
        << QDateTime(QDate(2026, 12, 7), QTime(10, 30), Qt::OffsetFromUTC, 3600) << u"http://meteo.test/taf"_qs
        << u"EGLL — United Kingdom, London\nTAF Périmé\nTAF de EGLL du 15 à 12h00 au 16 à 18h00\n"
           u"Obtenu le 07/12/2026 à 09:30 UTC\nSource : http://meteo.test/taf\n\nTAF EGLL 151100Z\nT° Maxi: 18°"_qs
        << QList<Styled> { { u"TAF Périmé"_qs, u"#ff0000"_qs, true }, { u"T° Maxi: 18°"_qs, u"#c00000"_qs, true } };

    // Neither fetch time nor address is known after a failed request: those lines are left out.
    QTest::newRow("NOTAMs of a station the directory does not know, not fetched")
        << u"ZZZZ"_qs
        << shown(u"Notams"_qs, false, QString(),
               { { u"ZZZZ A0001/26 RWY CLSD\r\n---\r\nZZZZ A0002/26 TWY CLSD"_qs, 0, false, 8.5 } })
        << QDateTime() << QString() << u"ZZZZ\nNotams\n\nZZZZ A0001/26 RWY CLSD\n---\nZZZZ A0002/26 TWY CLSD"_qs
        << QList<Styled> { { u"ZZZZ"_qs, u"#0000c0"_qs, true }, { u"Notams"_qs, u"#0000c0"_qs, true } };
}

void TestBriefingDocument::headingThenReport()
{
    QFETCH(QString, code);
    QFETCH(ShownReport, report);
    QFETCH(QDateTime, fetchedAt);
    QFETCH(QString, address);
    QFETCH(QString, plainText);
    QFETCH(QList<Styled>, styled);

    Stations::StationTable table;
    table.fill(u"LFPG\\France\\Paris\nEGLL\\United Kingdom\\London\n"_qs);
    const BriefingDocument::Briefing briefing { code, BriefingDocument::StationDescription(table, code), u"METAR"_qs,
        report, fetchedAt, address };

    QCOMPARE(BriefingDocument::Build(briefing)->toPlainText(), plainText);
    QCOMPARE(BriefingFile::Text(briefing), plainText.toUtf8() + '\n');

    const QString html = QString::fromUtf8(BriefingFile::Html(briefing));
    QVERIFY(html.contains(u"<title>Bulletin %1 — METAR</title>"_qs.arg(code)));
    for (const Styled& expected : styled) {
        const QRegularExpression span(
            u"<span style=\"([^\"]*)\">"_qs + QRegularExpression::escape(expected.text) + u"</span>"_qs);
        const QString style = span.match(html).captured(1);
        QVERIFY2(style.contains(u"color:"_qs + expected.colour), qPrintable(expected.text + u": "_qs + style));
        QCOMPARE(style.contains(u"font-weight:700"_qs), expected.bold);
    }
}

QTEST_MAIN(TestBriefingDocument)
#include "TestBriefingDocument.moc"
