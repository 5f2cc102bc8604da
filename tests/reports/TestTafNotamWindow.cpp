// TAF and NOTAM requests through the real window, and the find command of NOTAM reports.
#include "reports/ReportArea.h"
#include "support/WindowFixture.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace {

const QString kTafPath = u"/data/forecasts/taf/stations/LFPG.TXT"_qs;
const QString kNotamPath = u"/regusers/publictools/corp_comp/metar_taf_notam.html"_qs;

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
    fixture.server.setBody(kTafPath, readFixture(u"taf/LFPG.TXT"_qs));
    MainWindow& w = fixture.window();
    w.selectReportTypeQuietly(1);
    w.ShowReport(u"LFPG"_qs);

    QCOMPARE(fixture.server.requests(), QStringList{kTafPath});
    QCOMPARE(w.Label17->text(), u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_qs);
    QVERIFY(!w.Label17->isHidden() && !w.LabMetar->isHidden() && w.Label1->isHidden());
    const QString text = w.reportAreaText();
    const QString decoded = u"LFPG   Vent du 240° 10 Kts. Visi sup à 10Km.  Nuages fragmentés 030 Temporairement  du 15 à "
                            u"12h00 au 15 à 16h00 4000 Faible Averse de Pluie Nuages fragmentés 015 Cumulonimbus. \r\n"
                            u"Probabilité 30% Temporairement  du 16 à 03h00 au 16 à 07h00 Nuages fragmentés 005 \r\n"
                            u"T° Maxi: 18° le 15 à 14h00 Z \r\nT° Mini: M02° le 16 à 06h00 Z "_qs;
    QCOMPARE(text.left(decoded.size()), decoded);
    QVERIFY(text.endsWith(u"\r\n\r\nTAF complet\r\nTAF LFPG 151100Z 1512/1618 24010KT 9999 BKN030 TEMPO 1512/1516 4000 "
                          u"-SHRA BKN015CB PROB30 TEMPO 1603/1607 BKN005 TX18/1514Z TNM02/1606Z "_qs));

    // The emphasis is on the document itself, after the line breaks too.
    const QList<ReportArea::Run> runs = ReportArea::Runs(w.LabMetar);
    const auto runOf = [&](const QString& piece) {
        for (const ReportArea::Run& run : runs) {
            if (run.text.contains(piece))
                return run;
        }
        return ReportArea::Run{};
    };
    QCOMPARE(runOf(u"T° Maxi: 18°"_qs).rgb, 0xC00000u);
    QVERIFY(runOf(u"T° Maxi: 18°"_qs).bold);
    QCOMPARE(runOf(u"T° Mini: M02°"_qs).rgb, 0x0000FFu);
    QCOMPARE(runOf(u" Cumulonimbus. "_qs).rgb, 0xFF0000u);
    QCOMPARE(runOf(u"TAF complet"_qs).rgb, 0xC0C0C0u);
    QVERIFY(!runOf(u"TAF complet"_qs).bold);

    QCOMPARE(w.Label2->text(), u"LFPG"_qs);
    QCOMPARE(w.Fav[0]->text(), u"LFPG"_qs);
}

void TestTafNotamWindow::staleTaf()
{
    WindowFixture fixture(QDateTime(QDate(2026, 12, 18), QTime(12, 0)));
    fixture.server.setBody(kTafPath, readFixture(u"taf/LFPG.TXT"_qs));
    MainWindow& w = fixture.window();
    w.selectReportTypeQuietly(1);
    w.ShowReport(u"LFPG"_qs);
    QVERIFY(!w.Label1->isHidden());
    QCOMPARE(w.Label1->text(), u"TAF Périmé"_qs);
    QCOMPARE(w.LabMetar->palette().color(QPalette::Base), QColor(0xFF, 0xC0, 0xC0));
}

void TestTafNotamWindow::failedTafStillRecordsTheCode()
{
    WindowFixture fixture;
    MainWindow& w = fixture.window();
    w.selectReportTypeQuietly(1);
    w.ShowReport(u"EGLL"_qs);
    QCOMPARE(w.LabMetar->toPlainText(), u"Connexion à internet ..."_qs);
    QCOMPARE(w.Label17->text(), QString());
    // Unlike a failed METAR, the common tail runs.
    QCOMPARE(w.Label2->text(), u"EGLL"_qs);
    QCOMPARE(fixture.settings.read(u"data"_qs, u"last"_qs, {}), u"EGLL"_qs);
    QCOMPARE(w.Fav[0]->text(), u"EGLL"_qs);
}

void TestTafNotamWindow::notamEndToEnd()
{
    WindowFixture fixture;
    fixture.server.setBody(kNotamPath, readFixture(u"notam/LFPG.html"_qs));
    MainWindow& w = fixture.window();
    w.Label1->show(); // a stale banner left by an earlier report is hidden by a successful request
    w.selectReportTypeQuietly(2);
    w.ShowReport(u"LFPG"_qs);

    QCOMPARE(fixture.server.requests(), QStringList{kNotamPath + u"?icao=LFPG"_qs});
    QCOMPARE(w.Label17->text(), u"Notams"_qs);
    QVERIFY(w.Label1->isHidden());
    QCOMPARE(w.LabMetar->palette().color(QPalette::Base), QColor(Qt::white));
    const QString separator(70, u'_');
    const QString shown = w.LabMetar->toPlainText();
    QVERIFY2(shown.startsWith(u"LFPG A2871/26 RWY 08L/26R CLSD"_qs), qPrintable(shown));
    QCOMPARE(shown.count(separator), 4); // before the three later NOTAMs, and the closing rule line
    QVERIFY(shown.contains(separator + u" (Fin)"_qs));
    QVERIFY(!shown.contains(u"METAR LFPG"_qs));
    QCOMPARE(w.Text3->toPlainText(), shown);
    QVERIFY(QFile::exists(fixture.workDir.filePath(u"LFPG.txt"_qs)));
    QCOMPARE(w.Label2->text(), u"LFPG"_qs);
}

void TestTafNotamWindow::failedNotamShowsX()
{
    WindowFixture fixture;
    MainWindow& w = fixture.window();
    w.selectReportTypeQuietly(2);
    w.ShowReport(u"LFPG"_qs);
    QVERIFY(!w.Label1->isHidden());
    QCOMPARE(w.Label1->text(), u"X"_qs);
    QCOMPARE(w.LabMetar->toPlainText(), u"Connexion à internet ..."_qs);
    QCOMPARE(w.LabMetar->palette().color(QPalette::Base), QColor(0xFF, 0xC0, 0xC0));
    QCOMPARE(w.Shape1->palette().color(QPalette::Window), QColor(0xFF, 0xC0, 0xC0));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(w.Label2->text(), u"LFPG"_qs);
}

void TestTafNotamWindow::noNotamProviderFailsLikeADownload()
{
    WindowFixture fixture;
    Services services = fixture.services();
    services.sources.notamBase.clear();
    MainWindow w(services);
    w.selectReportTypeQuietly(2);
    w.ShowReport(u"LFPG"_qs);
    QCOMPARE(w.Label1->text(), u"X"_qs);
    QCOMPARE(w.LabMetar->toPlainText(), u"Connexion à internet ..."_qs);
    QVERIFY(fixture.server.requests().isEmpty());
}

void TestTafNotamWindow::find_data()
{
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QList<int>>("expected");

    const QList<int> rwy{0, 1, 2};
    QTest::newRow("overlapping matches") << u"xaaa"_qs << u"aa"_qs << QList<int>{1, 2, 3};
    QTest::newRow("case ignored") << u"Rwy RWY rwy"_qs << u"rwy"_qs << QList<int>{0, 1, 2, 4, 5, 6, 8, 9, 10};
    QTest::newRow("across lines") << u"A\r\nRWY\r\nRWY"_qs << u"RWY"_qs << QList<int>{2, 3, 4, 6, 7, 8};
    QTest::newRow("absent") << u"TWY CLSD"_qs << u"RWY"_qs << QList<int>{};
    QTest::newRow("empty search text") << u"RWY"_qs << QString() << QList<int>{};
}

void TestTafNotamWindow::find()
{
    QFETCH(QString, report);
    QFETCH(QString, needle);
    QFETCH(QList<int>, expected);

    WindowFixture fixture;
    MainWindow& w = fixture.window();
    w.Text3->setPlainText(report);
    w.LabMetar->setPlainText(u"something else"_qs);
    w.Text2->setText(needle);
    w.Command7->click();
    QCOMPARE(w.LabMetar->toPlainText(), w.Text3->toPlainText());
    QCOMPARE(highlighted(w.LabMetar), expected);
    QCOMPARE(w.Command7->property("tag").toString(), QString());
}

void TestTafNotamWindow::newSearchRemovesOldHighlights()
{
    WindowFixture fixture;
    fixture.server.setBody(kNotamPath, readFixture(u"notam/LFPG.html"_qs));
    MainWindow& w = fixture.window();
    w.selectReportTypeQuietly(2);
    w.ShowReport(u"LFPG"_qs);

    w.Text2->setText(u"RWY"_qs);
    w.Command7->click();
    QCOMPARE(highlighted(w.LabMetar).size(), 5 * 3);
    w.Text2->setText(u"crane"_qs);
    w.Command7->click();
    const QList<int> marks = highlighted(w.LabMetar);
    QCOMPARE(marks.size(), 5);
    QCOMPARE(w.LabMetar->toPlainText().mid(marks.first(), 5), u"CRANE"_qs);
}

void TestTafNotamWindow::findPanelFollowsTheType()
{
    WindowFixture fixture;
    fixture.server.setBody(kTafPath, readFixture(u"taf/LFPG.TXT"_qs));
    fixture.server.setBody(kNotamPath, readFixture(u"notam/LFPG.html"_qs));
    MainWindow& w = fixture.window();
    w.show();
    QVERIFY(w.Frame5->isHidden());
    w.Option2[1]->click();
    QVERIFY(w.Frame5->isHidden());
    QCOMPARE(w.Label17->text().left(11), u"TAF de LFPG"_qs);
    w.Option2[2]->click();
    QVERIFY(!w.Frame5->isHidden());
    QCOMPARE(w.Label17->text(), u"Notams"_qs);
    w.Option2[0]->click();
    QVERIFY(w.Frame5->isHidden());
    QCOMPARE(fixture.server.requests().size(), 3);
}

QTEST_MAIN(TestTafNotamWindow)
#include "TestTafNotamWindow.moc"
