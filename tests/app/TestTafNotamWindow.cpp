// TAF and NOTAM requests through the real window, and the find command of NOTAM reports.
#include "reports/ReportArea.h"
#include "reports/ReportPanel.h"
#include "support/WindowFixture.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

const QString kTafPath = u"/data/forecasts/taf/stations/LFPG.TXT"_s;
const QString kNotamPath = u"/regusers/publictools/corp_comp/metar_taf_notam.html"_s;

// Characters of the report area that are bold and pure red: what the find command marks.
QList<int> highlighted(const QTextEdit* area)
{
    QList<int> positions;
    for (QTextBlock block = area->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.fontWeight() >= QFont::Bold && format.foreground().color() == QColor(0xFF, 0x00, 0x00)) {
                for (int i = 0; i < fragment.length(); ++i)
                    positions.append(fragment.position() + i);
            }
        }
    }
    return positions;
}

} // namespace

class TestTafNotamWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tafEndToEnd();
    void staleTaf();
    void failedTafStillRecordsTheCode();
    void notamEndToEnd();
    void sortedNotamsUnderStatusLines_data();
    void sortedNotamsUnderStatusLines();
    void failedNotamShowsX();
    void noNotamProviderFailsLikeADownload();
    void find_data();
    void find();
    void newSearchRemovesOldHighlights();
    void findPanelFollowsTheType();
};

void TestTafNotamWindow::tafEndToEnd()
{
    WindowFixture fixture(QDateTime(QDate(2026, 12, 15), QTime(12, 0)));
    fixture.server.setBody(kTafPath, readFixture(u"taf/LFPG.TXT"_s));
    MainWindow& w = fixture.window();
    auto* reportTitle = control<QLabel>(w, u"reportTitle"_s);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* staleBanner = control<QLabel>(w, u"staleBanner"_s);
    w.selectReportTypeQuietly(ReportType::Taf);
    w.showReport(u"LFPG"_s);

    QCOMPARE(fixture.server.requests(), QStringList { kTafPath });
    QCOMPARE(reportTitle->text(), u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s);
    QVERIFY(!reportTitle->isHidden() && !reportArea->isHidden() && staleBanner->isHidden());
    const QString text = w.shownReport().text;
    const QString decoded
        = u"LFPG   Vent du 240° 10 Kts. Visi sup à 10Km.  Nuages fragmentés 030 Temporairement  du 15 à "
          u"12h00 au 15 à 16h00 4000 Faible Averse de Pluie Nuages fragmentés 015 Cumulonimbus. \r\n"
          u"Probabilité 30% Temporairement  du 16 à 03h00 au 16 à 07h00 Nuages fragmentés 005 \r\n"
          u"T° Maxi: 18° le 15 à 14h00 Z \r\nT° Mini: -2° le 16 à 06h00 Z "_s;
    QCOMPARE(text.left(decoded.size()), decoded);
    QVERIFY(text.endsWith(u"\r\n\r\nTAF complet\r\nTAF LFPG 151100Z 1512/1618 24010KT 9999 BKN030 TEMPO 1512/1516 4000 "
                          u"-SHRA BKN015CB PROB30 TEMPO 1603/1607 BKN005 TX18/1514Z TNM02/1606Z "_s));

    // The emphasis is on the document itself, after the line breaks too.
    const QList<ReportArea::Run> runs = ReportArea::runs(reportArea);
    const auto runOf = [&](const QString& piece) {
        for (const ReportArea::Run& run : runs) {
            if (run.text.contains(piece))
                return run;
        }
        return ReportArea::Run {};
    };
    QCOMPARE(runOf(u"T° Maxi: 18°"_s).rgb, 0xC00000u);
    QVERIFY(runOf(u"T° Maxi: 18°"_s).bold);
    QCOMPARE(runOf(u"T° Mini: -2°"_s).rgb, 0x0000FFu);
    QCOMPARE(runOf(u" Cumulonimbus. "_s).rgb, 0xFF0000u);
    QCOMPARE(runOf(u"TAF complet"_s).rgb, 0xC0C0C0u);
    QVERIFY(!runOf(u"TAF complet"_s).bold);

    QCOMPARE(control<QLabel>(w, u"stationCode"_s)->text(), u"LFPG"_s);
    QCOMPARE(control<QLabel>(w, u"favouriteSlot0"_s)->text(), u"LFPG"_s);
}

void TestTafNotamWindow::staleTaf()
{
    WindowFixture fixture(QDateTime(QDate(2026, 12, 18), QTime(12, 0)));
    fixture.server.setBody(kTafPath, readFixture(u"taf/LFPG.TXT"_s));
    MainWindow& w = fixture.window();
    auto* staleBanner = control<QLabel>(w, u"staleBanner"_s);
    w.selectReportTypeQuietly(ReportType::Taf);
    w.showReport(u"LFPG"_s);
    QVERIFY(!staleBanner->isHidden());
    QCOMPARE(staleBanner->text(), u"TAF Périmé"_s);
    QCOMPARE(control<QTextEdit>(w, u"reportArea"_s)->palette().color(QPalette::Base), QColor(0xFF, 0xC0, 0xC0));
}

void TestTafNotamWindow::failedTafStillRecordsTheCode()
{
    WindowFixture fixture;
    MainWindow& w = fixture.window();
    w.selectReportTypeQuietly(ReportType::Taf);
    w.showReport(u"EGLL"_s);
    // A failed download says so first; the line after says why.
    QCOMPARE(control<QTextEdit>(w, u"reportArea"_s)->toPlainText().section(u'\n', 0, 0), u"Connexion à internet ..."_s);
    QCOMPARE(control<QLabel>(w, u"reportTitle"_s)->text(), QString());
    // Unlike a failed METAR, the common tail runs.
    QCOMPARE(control<QLabel>(w, u"stationCode"_s)->text(), u"EGLL"_s);
    QCOMPARE(fixture.settings.read(u"data"_s, u"last"_s, {}), u"EGLL"_s);
    QCOMPARE(control<QLabel>(w, u"favouriteSlot0"_s)->text(), u"EGLL"_s);
}

void TestTafNotamWindow::notamEndToEnd()
{
    WindowFixture fixture;
    fixture.server.setBody(kNotamPath, readFixture(u"notam/LFPG.html"_s));
    MainWindow& w = fixture.window();
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* staleBanner = control<QLabel>(w, u"staleBanner"_s);
    staleBanner->show(); // a stale banner left by an earlier report is hidden by a successful request
    w.selectReportTypeQuietly(ReportType::Notam);
    w.showReport(u"LFPG"_s);

    QCOMPARE(fixture.server.requests(), QStringList { kNotamPath + u"?icao=LFPG"_s });
    QCOMPARE(control<QLabel>(w, u"reportTitle"_s)->text(), u"Notams"_s);
    QVERIFY(staleBanner->isHidden());
    QCOMPARE(reportArea->palette().color(QPalette::Base), QColor(Qt::white));
    const QString separator(70, u'_');
    const QString shown = reportArea->toPlainText();
    QVERIFY2(shown.startsWith(u"LFPG A2871/26 RWY 08L/26R CLSD"_s), qPrintable(shown));
    QCOMPARE(shown.count(separator), 4); // before the three later NOTAMs, and the closing rule line
    QVERIFY(shown.contains(separator + u" (Fin)"_s));
    QVERIFY(!shown.contains(u"METAR LFPG"_s));
    // The find command searches exactly the NOTAMs shown: a find with nothing to look for brings them back.
    reportArea->setPlainText(u"something else"_s);
    control<QLineEdit>(w, u"findEdit"_s)->clear();
    control<QPushButton>(w, u"findButton"_s)->click();
    QCOMPARE(reportArea->toPlainText(), shown);
    QVERIFY(QFile::exists(fixture.workDir.filePath(u"LFPG.txt"_s)));
    QCOMPARE(control<QLabel>(w, u"stationCode"_s)->text(), u"LFPG"_s);
}

void TestTafNotamWindow::sortedNotamsUnderStatusLines_data()
{
    QTest::addColumn<QString>("id"); // fetched on 16/12/2026 at 08:00 UTC; the page lists A0101 to A0105
    QTest::addColumn<QString>("after"); // the NOTAM listed just before it; empty for the first
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("expired"); // hidden until asked for

    QTest::newRow("in force first") << u"A0103/26"_s << QString() << QColor(0x00, 0x64, 0x00) << false;
    QTest::newRow("upcoming next") << u"A0102/26"_s << u"A0103/26"_s << QColor(0xD0, 0x60, 0x00) << false;
    QTest::newRow("permanent last") << u"A0104/26"_s << u"A0102/26"_s << QColor(0x00, 0x00, 0x8B) << false;
    QTest::newRow("expired, in page order") << u"A0101/26"_s << QString() << QColor(0x80, 0x80, 0x80) << true;
    QTest::newRow("second expired") << u"A0105/26"_s << u"A0101/26"_s << QColor(0x80, 0x80, 0x80) << true;
}

void TestTafNotamWindow::sortedNotamsUnderStatusLines()
{
    QFETCH(QString, id);
    QFETCH(QString, after);
    QFETCH(QColor, colour);
    QFETCH(bool, expired);

    WindowFixture fixture(QDateTime(QDate(2026, 12, 16), QTime(8, 0), Qt::UTC));
    fixture.server.setBody(kNotamPath, readFixture(u"notam/LFPG-icao.html"_s));
    MainWindow& w = fixture.window();
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* expiredButton = control<QPushButton>(w, u"expiredButton"_s);
    w.show();
    w.selectReportTypeQuietly(ReportType::Notam);
    w.showReport(u"LFPG"_s);
    QCOMPARE(expiredButton->text(), u"2 NOTAM expirés — afficher"_s);
    QCOMPARE(reportArea->toPlainText().contains(id + u" — "_s), !expired);

    expiredButton->setFocus(Qt::TabFocusReason); // reached from the keyboard
    QTest::keyClick(expiredButton, Qt::Key_Space);
    const QString text = reportArea->toPlainText();
    for (int pass = 0; pass < 2; ++pass) {
        // The status line first, in its state's colour, the NOTAM as written under it; a find keeps it so.
        const QList<ReportArea::Run> runs = ReportArea::runs(reportArea);
        const auto line = std::find_if(
            runs.cbegin(), runs.cend(), [&](const ReportArea::Run& run) { return run.text.startsWith(id + u" — "_s); });
        QVERIFY(line != runs.cend() && line->bold);
        QCOMPARE(QColor::fromRgb(line->rgb), colour);
        const qsizetype at = text.indexOf(line->text + u"\nLFPG "_s + id + u" NOTAMN\n"_s);
        QCOMPARE(at > text.indexOf(u"\n2 NOTAM expirés\n"_s), expired);
        QVERIFY(after.isEmpty() || (text.contains(after) && text.indexOf(after + u" — "_s) < at));
        control<QLineEdit>(w, u"findEdit"_s)->setText(u"NOTAMN"_s);
        control<QPushButton>(w, u"findButton"_s)->click();
        QCOMPARE(highlighted(reportArea).size(), 5 * 6);
        QCOMPARE(reportArea->toPlainText(), text);
    }
}

void TestTafNotamWindow::failedNotamShowsX()
{
    WindowFixture fixture;
    MainWindow& w = fixture.window();
    auto* staleBanner = control<QLabel>(w, u"staleBanner"_s);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    w.selectReportTypeQuietly(ReportType::Notam);
    w.showReport(u"LFPG"_s);
    QVERIFY(!staleBanner->isHidden());
    QCOMPARE(staleBanner->text(), u"X"_s);
    // A failed download says so first; the line after says why.
    QCOMPARE(reportArea->toPlainText().section(u'\n', 0, 0), u"Connexion à internet ..."_s);
    QCOMPARE(reportArea->palette().color(QPalette::Base), QColor(0xFF, 0xC0, 0xC0));
    QCOMPARE(control<QFrame>(w, u"reportBackground"_s)->palette().color(QPalette::Window), QColor(0xFF, 0xC0, 0xC0));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(control<QLabel>(w, u"stationCode"_s)->text(), u"LFPG"_s);
}

void TestTafNotamWindow::noNotamProviderFailsLikeADownload()
{
    WindowFixture fixture;
    Services services = fixture.services();
    services.sources.notamBase.clear();
    MainWindow w(services);
    w.selectReportTypeQuietly(ReportType::Notam);
    w.showReport(u"LFPG"_s);
    QCOMPARE(control<QLabel>(w, u"staleBanner"_s)->text(), u"X"_s);
    QVERIFY(control<QTextEdit>(w, u"reportArea"_s)->toPlainText().startsWith(u"Aucune source de NOTAM"_s));
    QVERIFY(fixture.server.requests().isEmpty());
}

void TestTafNotamWindow::find_data()
{
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QList<int>>("expected");

    const QList<int> rwy { 0, 1, 2 };
    QTest::newRow("overlapping matches") << u"xaaa"_s << u"aa"_s << QList<int> { 1, 2, 3 };
    QTest::newRow("case ignored") << u"Rwy RWY rwy"_s << u"rwy"_s << QList<int> { 0, 1, 2, 4, 5, 6, 8, 9, 10 };
    QTest::newRow("across lines") << u"A\r\nRWY\r\nRWY"_s << u"RWY"_s << QList<int> { 2, 3, 4, 6, 7, 8 };
    QTest::newRow("absent") << u"TWY CLSD"_s << u"RWY"_s << QList<int> {};
    QTest::newRow("empty search text") << u"RWY"_s << QString() << QList<int> {};
}

void TestTafNotamWindow::find()
{
    QFETCH(QString, report);
    QFETCH(QString, needle);
    QFETCH(QList<int>, expected);

    WindowFixture fixture;
    MainWindow& w = fixture.window();
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* findEdit = control<QLineEdit>(w, u"findEdit"_s);
    auto* findButton = control<QPushButton>(w, u"findButton"_s);
    DecodedReport notamReport;
    notamReport.type = ReportType::Notam;
    notamReport.text = Reports::areaText(report);
    part<ReportPanel>(w).showReport(notamReport);
    const QString notams = reportArea->toPlainText();
    reportArea->setPlainText(u"something else"_s);
    findEdit->setText(needle);
    findButton->click();
    QCOMPARE(reportArea->toPlainText(), notams);
    QCOMPARE(highlighted(reportArea), expected);
    // The find keeps no position of its own: the next one starts again from the top and marks the same.
    findButton->click();
    QCOMPARE(reportArea->toPlainText(), notams);
    QCOMPARE(highlighted(reportArea), expected);
}

void TestTafNotamWindow::newSearchRemovesOldHighlights()
{
    WindowFixture fixture;
    fixture.server.setBody(kNotamPath, readFixture(u"notam/LFPG.html"_s));
    MainWindow& w = fixture.window();
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* findEdit = control<QLineEdit>(w, u"findEdit"_s);
    auto* findButton = control<QPushButton>(w, u"findButton"_s);
    w.selectReportTypeQuietly(ReportType::Notam);
    w.showReport(u"LFPG"_s);

    findEdit->setText(u"RWY"_s);
    findButton->click();
    QCOMPARE(highlighted(reportArea).size(), 5 * 3);
    findEdit->setText(u"crane"_s);
    findButton->click();
    const QList<int> marks = highlighted(reportArea);
    QCOMPARE(marks.size(), 5);
    QCOMPARE(reportArea->toPlainText().mid(marks.first(), 5), u"CRANE"_s);
}

void TestTafNotamWindow::findPanelFollowsTheType()
{
    WindowFixture fixture;
    fixture.server.setBody(kTafPath, readFixture(u"taf/LFPG.TXT"_s));
    fixture.server.setBody(kNotamPath, readFixture(u"notam/LFPG.html"_s));
    MainWindow& w = fixture.window();
    auto* findBox = control<QFrame>(w, u"findBox"_s);
    auto* reportTitle = control<QLabel>(w, u"reportTitle"_s);
    w.show();
    QVERIFY(findBox->isHidden());
    control<QRadioButton>(w, u"tafButton"_s)->click();
    QVERIFY(findBox->isHidden());
    QCOMPARE(reportTitle->text().left(11), u"TAF de LFPG"_s);
    control<QRadioButton>(w, u"notamButton"_s)->click();
    QVERIFY(!findBox->isHidden());
    QCOMPARE(reportTitle->text(), u"Notams"_s);
    control<QRadioButton>(w, u"metarButton"_s)->click();
    QVERIFY(findBox->isHidden());
    QCOMPARE(fixture.server.requests().size(), 3);
}

QTEST_MAIN(TestTafNotamWindow)
#include "TestTafNotamWindow.moc"
