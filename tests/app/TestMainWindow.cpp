// The real window, driven by objectName: its controls at first display, and METAR requests end to end.
#include "reports/ReportArea.h"
#include "support/WindowFixture.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyControlExists_data();
    void everyControlExists();
    void firstDisplay();
    void helpPanelOverhangsAfterStartUp();
    void metarEndToEnd();
    void metarStyledOnTheDocument_data();
    void metarStyledOnTheDocument();
    void staleMetar();
    void failedMetarChangesNothingElse();
    void emptyMetarHidesTheReport();
    void unsafeCodeNeverLeavesTheProgram_data();
    void unsafeCodeNeverLeavesTheProgram();
};

void TestMainWindow::everyControlExists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    const QList<std::pair<const char*, const char*>> controls{{"Frame1", "QFrame"}, {"Frame2", "QFrame"},
        {"Frame3", "QFrame"}, {"Frame4", "QFrame"}, {"Frame5", "QFrame"}, {"Timer1", "QTimer"},
        {"Option1(0)", "QRadioButton"}, {"Option1(1)", "QRadioButton"}, {"Option2(0)", "QRadioButton"},
        {"Option2(1)", "QRadioButton"}, {"Option2(2)", "QRadioButton"}, {"List1(0)", "QListWidget"},
        {"List1(1)", "QListWidget"}, {"List2", "QListWidget"}, {"List3", "QListWidget"}, {"List4", "QListWidget"},
        {"List5", "QListWidget"}, {"Command1", "QPushButton"}, {"Command2", "QPushButton"},
        {"Command3", "QPushButton"}, {"Command4", "QPushButton"}, {"Command5", "QPushButton"},
        {"Command6", "QPushButton"}, {"Command7", "QPushButton"}, {"Command9", "QPushButton"},
        {"Text1", "QLineEdit"}, {"Text2", "QLineEdit"}, {"Text3", "QPlainTextEdit"}, {"LabMetar", "QTextEdit"},
        {"Label1", "QLabel"}, {"Label2", "QLabel"}, {"Label3", "QLabel"}, {"Label5", "QLabel"}, {"Label6", "QLabel"},
        {"Label7", "QLabel"}, {"Label8", "QLabel"}, {"Label9", "QLabel"}, {"Label17", "QLabel"},
        {"Image1", "QLabel"}, {"Image2", "QLabel"}, {"Shape1", "QFrame"}, {"Shape2", "QFrame"}, {"Shape3", "QFrame"},
        {"Shape4", "QFrame"}};
    for (const auto& [name, kind] : controls)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind);
    for (int i = 0; i < 6; ++i)
        QTest::newRow(qPrintable(u"Label4(%1)"_qs.arg(i))) << u"Label4(%1)"_qs.arg(i) << u"QLabel"_qs;
    for (int i = 0; i < 12; ++i)
        QTest::newRow(qPrintable(u"Fav(%1)"_qs.arg(i))) << u"Fav(%1)"_qs.arg(i) << u"QLabel"_qs;
}

void TestMainWindow::everyControlExists()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    WindowFixture fixture;
    const QList<QObject*> found = fixture.window().findChildren<QObject*>(name);
    QCOMPARE(found.size(), 1);
    QCOMPARE(QString::fromLatin1(found.first()->metaObject()->className()), kind);
}

void TestMainWindow::firstDisplay()
{
    WindowFixture fixture;
    MainWindow& w = fixture.window();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QCOMPARE(w.windowTitle(), u"Météo."_qs);
    QCOMPARE(w.size(), QSize(728, 364)); // 10920 x 5460 twips
    QCOMPARE(w.LabMetar->toPlainText(), u"Connexion à internet ..."_qs);
    QCOMPARE(w.Label17->text(), u"Metar"_qs);
    QCOMPARE(w.Label2->text(), u"LFPG"_qs);
    for (QWidget* hidden : std::initializer_list<QWidget*>{w.Label1, w.Frame1, w.Frame3, w.Frame4, w.Frame5,
             w.List1[1], w.List5, w.Text3, w.Image2})
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    for (QLabel* slot : w.Fav)
        QVERIFY(!slot->isVisible());
    for (QWidget* shown : std::initializer_list<QWidget*>{w.Frame2, w.LabMetar, w.List1[0], w.Text1, w.Command1})
        QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
    QVERIFY(w.Option1[0]->isChecked());
    for (QRadioButton* type : w.Option2)
        QVERIFY(!type->isChecked());
    QCOMPARE(w.List1[0]->geometry(), w.List1[1]->geometry());
    QCOMPARE(w.Command6->text(), u"Réduire"_qs);
    QCOMPARE(w.Command5->toolTip(), u"Rafraichir"_qs);
    QVERIFY(w.Timer1->interval() == 10000);
    QCOMPARE(w.Fav[11]->geometry(), QRect(0, 321, 57, 18)); // 4815 twips down, 855 x 270
    QCOMPARE(w.Image1->pixmap().size(), QSize(383, 332));
    QCOMPARE(w.Command5->icon().availableSizes().value(0), QSize(27, 26));
    QCOMPARE(w.focusWidget(), w.Text1);
}

void TestMainWindow::helpPanelOverhangsAfterStartUp()
{
    WindowFixture fixture;
    fixture.serveMetar(u"LFPG"_qs, readFixture(u"metar/LFPG.TXT"_qs));
    MainWindow& w = fixture.window();
    w.Form_Load();
    QCOMPARE(w.Label7->text(), u"Version:3.0.0"_qs);
    // The panel's texts at 285 twips inside it lie 90 twips from the window's left edge.
    QCOMPARE(w.Label4[0]->mapTo(&w, QPoint(0, 0)).x() * 15, 90);
    QVERIFY(w.Frame1->geometry().contains(w.rect()));
}

void TestMainWindow::metarEndToEnd()
{
    WindowFixture fixture;
    fixture.serveMetar(u"LFPG"_qs, readFixture(u"metar/LFPG.TXT"_qs));
    MainWindow& w = fixture.window();
    w.selectReportTypeQuietly(0);
    w.ShowReport(u"LFPG"_qs);

    QCOMPARE(fixture.server.requests(), QStringList{u"/data/observations/metar/decoded/LFPG.TXT"_qs});
    QCOMPARE(w.Label17->text(), u"METAR de 1930 UTC"_qs);
    QVERIFY(!w.Label17->isHidden());
    QVERIFY(!w.LabMetar->isHidden());
    QVERIFY(w.Label1->isHidden());
    QCOMPARE(w.LabMetar->palette().color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(w.Shape1->palette().color(QPalette::Window), QColor(Qt::white));
    const QStringList lines = w.reportAreaText().split(u"\r\n"_qs);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith(u"France (LFPG) 49-01N 002-32E 119M Dec 06 2026"_qs));
    QCOMPARE(lines[1], u"METAR complet:"_qs);
    QCOMPARE(w.Label2->text(), u"LFPG"_qs);
    QCOMPARE(fixture.settings.read(u"data"_qs, u"last"_qs, {}), u"LFPG"_qs);
    QCOMPARE(w.Fav[0]->text(), u"LFPG"_qs);
    QVERIFY(!w.Fav[0]->isHidden());
    QVERIFY(QFile::exists(fixture.workDir.filePath(u"V.txt"_qs)));
}

void TestMainWindow::metarStyledOnTheDocument_data()
{
    QTest::addColumn<QString>("covered");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<qreal>("size");

    QTest::newRow("date stays plain") << u"Dec 06 2026"_qs << QColor(Qt::black) << false << 8.5;
    QTest::newRow("wind heading") << u"Vent:"_qs << QColor(0x00, 0x00, 0xC0) << true << 8.5;
    QTest::newRow("wind speed in knots") << u"8 KT"_qs << QColor(0x00, 0x00, 0xC0) << true << 8.5;
    QTest::newRow("wind direction not styled") << u"310 degrés"_qs << QColor(Qt::black) << false << 8.5;
    QTest::newRow("visibility run") << u"Visibilité: supérieure à 10 kilomètres."_qs << QColor(0xFF, 0x80, 0x00) << true
                                    << 8.5;
    QTest::newRow("pressure inside the orange run") << u"Pression QNH"_qs << QColor(0xFF, 0x80, 0x00) << true << 8.5;
    QTest::newRow("temperature heading") << u"Temperature:"_qs << QColor(0xC0, 0x00, 0x00) << true << 8.5;
    QTest::newRow("temperature value, larger") << u"10°C"_qs << QColor(0xC0, 0x00, 0x00) << true << 14.0;
    // After the line breaks: document positions must follow the CR LF offsets.
    QTest::newRow("heading after a line break") << u"METAR complet:"_qs << QColor(0xC0, 0xC0, 0xC0) << false << 8.5;
    QTest::newRow("raw report after two line breaks") << u"LFPG 061930Z 31008KT"_qs << QColor(0xC0, 0xC0, 0xC0)
                                                      << false << 8.5;
}

void TestMainWindow::metarStyledOnTheDocument()
{
    QFETCH(QString, covered);
    QFETCH(QColor, colour);
    QFETCH(bool, bold);
    QFETCH(qreal, size);

    WindowFixture fixture;
    fixture.serveMetar(u"LFPG"_qs, readFixture(u"metar/LFPG.TXT"_qs));
    MainWindow& w = fixture.window();
    w.ShowReport(u"LFPG"_qs);

    QTextDocument* document = w.LabMetar->document();
    const QTextCursor found = document->find(covered);
    QVERIFY2(!found.isNull(), qPrintable(covered));
    for (int position = found.selectionStart(); position < found.selectionEnd(); ++position) {
        QTextCursor at(document);
        at.setPosition(position);
        at.setPosition(position + 1, QTextCursor::KeepAnchor);
        const QTextCharFormat format = at.charFormat();
        const QColor actual = format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                                               : QColor(Qt::black);
        const QString where = u"%1 at %2 ('%3')"_qs.arg(covered).arg(position).arg(document->characterAt(position));
        QVERIFY2(actual == colour, qPrintable(where + u": "_qs + actual.name()));
        QVERIFY2((format.fontWeight() >= QFont::Bold) == bold, qPrintable(where));
        const qreal actualSize = format.fontPointSize() > 0 ? format.fontPointSize() : document->defaultFont().pointSizeF();
        QVERIFY2(qFuzzyCompare(actualSize, size), qPrintable(where));
    }

    // The runs that the report mode prints give back the text exactly.
    QString joined;
    for (const ReportArea::Run& run : ReportArea::Runs(w.LabMetar))
        joined += run.text;
    QCOMPARE(joined, w.reportAreaText());
}

void TestMainWindow::staleMetar()
{
    WindowFixture fixture(QDateTime(QDate(2026, 12, 9), QTime(8, 0))); // the report is of the 6th
    fixture.serveMetar(u"LFPG"_qs, readFixture(u"metar/LFPG.TXT"_qs));
    MainWindow& w = fixture.window();
    w.ShowReport(u"LFPG"_qs);
    QVERIFY(!w.Label1->isHidden());
    QCOMPARE(w.Label1->text(), u"METAR Périmé"_qs);
    QCOMPARE(w.LabMetar->palette().color(QPalette::Base), QColor(0xFF, 0xC0, 0xC0));
    QCOMPARE(w.Shape1->palette().color(QPalette::Window), QColor(0xFF, 0xC0, 0xC0));

    // A current report afterwards puts the white back and hides the banner.
    fixture.clock.set(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
    w.ShowReport(u"LFPG"_qs);
    QVERIFY(w.Label1->isHidden());
    QCOMPARE(w.Shape1->palette().color(QPalette::Window), QColor(Qt::white));
}

void TestMainWindow::failedMetarChangesNothingElse()
{
    WindowFixture fixture;
    fixture.serveMetar(u"LFPG"_qs, readFixture(u"metar/LFPG.TXT"_qs));
    MainWindow& w = fixture.window();
    w.ShowReport(u"LFPG"_qs);
    w.ShowReport(u"EGLL"_qs); // not served: 404

    QCOMPARE(w.LabMetar->toPlainText(), u"Connexion à internet ..."_qs);
    QCOMPARE(w.Label17->text(), QString());
    QCOMPARE(w.Label2->text(), u"LFPG"_qs);
    QCOMPARE(fixture.settings.read(u"data"_qs, u"last"_qs, {}), u"LFPG"_qs);
    QCOMPARE(w.Fav[1]->text(), QString());
    QVERIFY(!w.lastDownloadSucceeded());
    QVERIFY(!QFile::exists(fixture.workDir.filePath(u"V.txt"_qs))); // the older report is gone too
    QVERIFY(!QApplication::overrideCursor());
}

void TestMainWindow::emptyMetarHidesTheReport()
{
    WindowFixture fixture;
    fixture.serveMetar(u"EGLL"_qs, "LONDON HEATHROW United Kingdom (EGLL)\n");
    MainWindow& w = fixture.window();
    w.ShowReport(u"EGLL"_qs);
    QVERIFY(w.LabMetar->isHidden());
    QVERIFY(w.Label17->isHidden());
    QCOMPARE(w.Label2->text(), u"EGLL"_qs);
    QCOMPARE(w.Fav[0]->text(), u"EGLL"_qs);
}

void TestMainWindow::unsafeCodeNeverLeavesTheProgram_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("parent folder") << u"../../etc/passwd"_qs;
    QTest::newRow("query injection") << u"LFPG?x=1"_qs;
    QTest::newRow("space") << u"LF PG"_qs;
    QTest::newRow("empty") << QString();
    QTest::newRow("too long") << u"ABCDEFGHI"_qs;
    QTest::newRow("non-ASCII letter") << u"LFPÉ"_qs;
}

void TestMainWindow::unsafeCodeNeverLeavesTheProgram()
{
    QFETCH(QString, code);
    WindowFixture fixture;
    MainWindow& w = fixture.window();
    w.ShowReport(code);
    QVERIFY(fixture.server.requests().isEmpty());
    QCOMPARE(w.LabMetar->toPlainText(), u"Connexion à internet ..."_qs);
    QVERIFY(!w.lastDownloadSucceeded());
    QCOMPARE(QDir(fixture.workDir.path()).entryList(QDir::Files).size(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
