// The real window, driven by objectName: its controls at first display, and METAR requests end to end.
#include "favourites/FavouritesBar.h"
#include "help/HelpPanel.h"
#include "reports/RefreshTimer.h"
#include "reports/ReportArea.h"
#include "reports/ReportPanel.h"
#include "stations/StationBrowser.h"
#include "support/WindowFixture.h"
#include "ui/Artwork.h"

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

using namespace Qt::StringLiterals;

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
    void emptyReportHidesTheReport();
    void unsafeCodeNeverLeavesTheProgram_data();
    void unsafeCodeNeverLeavesTheProgram();
};

void TestMainWindow::everyControlExists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    const QList<std::pair<const char*, const char*>> controls { { "helpPanel", "HelpPanel" },
        { "reportPanel", "ReportPanel" }, { "stationBrowser", "StationBrowser" }, { "stationTip", "StationTip" },
        { "findBox", "QFrame" }, { "refreshTimer", "RefreshTimer" }, { "codesAToKButton", "QRadioButton" },
        { "codesLToZButton", "QRadioButton" }, { "metarButton", "QRadioButton" }, { "tafButton", "QRadioButton" },
        { "notamButton", "QRadioButton" }, { "codesAToKList", "QListView" }, { "codesLToZList", "QListView" },
        { "searchResultsList", "QListView" }, { "countryList", "QListWidget" }, { "cityList", "QListWidget" },
        { "cityCodeList", "QListWidget" }, { "searchButton", "QPushButton" }, { "quitButton", "QPushButton" },
        { "helpButton", "QPushButton" }, { "helpCloseButton", "QPushButton" }, { "refreshButton", "QPushButton" },
        { "foldButton", "QPushButton" }, { "findButton", "QPushButton" }, { "browserButton", "QPushButton" },
        { "codeSearchEdit", "QLineEdit" }, { "findEdit", "QLineEdit" }, { "reportArea", "QTextEdit" },
        { "staleBanner", "QLabel" }, { "stationCode", "QLabel" }, { "codeListCaption", "QLabel" },
        { "siteLink", "QLabel" }, { "contactLink", "QLabel" }, { "versionLabel", "QLabel" },
        { "browserCaption", "QLabel" }, { "stationTipText", "QLabel" }, { "reportTitle", "QLabel" },
        { "helpPicture", "QLabel" }, { "reportBackground", "QFrame" }, { "codeListBackground", "QFrame" },
        { "searchBoxBackground", "QFrame" }, { "stationTipBackground", "QFrame" } };
    for (const auto& [name, kind] : controls)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind);
    for (int i = 0; i < 6; ++i)
        QTest::newRow(qPrintable(u"help text %1"_s.arg(i))) << u"helpText%1"_s.arg(i) << u"QLabel"_s;
    for (int i = 0; i < 12; ++i)
        QTest::newRow(qPrintable(u"favouriteSlot%1"_s.arg(i))) << u"favouriteSlot%1"_s.arg(i) << u"QLabel"_s;
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
    auto* helpPanel = control<HelpPanel>(w, u"helpPanel"_s);
    auto* stationBrowser = control<StationBrowser>(w, u"stationBrowser"_s);
    auto* reportPanel = control<ReportPanel>(w, u"reportPanel"_s);
    auto* stationTip = control<QFrame>(w, u"stationTip"_s);
    auto* findBox = control<QFrame>(w, u"findBox"_s);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* reportTitle = control<QLabel>(w, u"reportTitle"_s);
    auto* staleBanner = control<QLabel>(w, u"staleBanner"_s);
    auto* stationCode = control<QLabel>(w, u"stationCode"_s);
    auto* codesAToKButton = control<QRadioButton>(w, u"codesAToKButton"_s);
    auto* codesAToKList = control<QListView>(w, u"codesAToKList"_s);
    auto* codesLToZList = control<QListView>(w, u"codesLToZList"_s);
    auto* cityCodeList = control<QListWidget>(w, u"cityCodeList"_s);
    auto* codeSearchEdit = control<QLineEdit>(w, u"codeSearchEdit"_s);
    auto* searchButton = control<QPushButton>(w, u"searchButton"_s);
    auto* foldButton = control<QPushButton>(w, u"foldButton"_s);
    auto* refreshButton = control<QPushButton>(w, u"refreshButton"_s);
    auto* helpPicture = control<QLabel>(w, u"helpPicture"_s);
    const QList<QRadioButton*> typeButtons { control<QRadioButton>(w, u"metarButton"_s),
        control<QRadioButton>(w, u"tafButton"_s), control<QRadioButton>(w, u"notamButton"_s) };
    QList<QLabel*> favouriteSlots;
    for (int i = 0; i < FavouritesBar::kSlots; ++i)
        favouriteSlots.append(control<QLabel>(w, u"favouriteSlot%1"_s.arg(i)));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QCOMPARE(w.windowTitle(), u"Météo."_s);
    QCOMPARE(w.windowIcon().availableSizes(), QList<QSize> { QSize(48, 48) }); // read from its PNG
    QCOMPARE(w.size(), QSize(728, 364));
    QCOMPARE(reportArea->toPlainText(), u"Connexion à internet ..."_s);
    QCOMPARE(reportTitle->text(), u"Metar"_s);
    QCOMPARE(stationCode->text(), u"LFPG"_s);
    for (QWidget* hidden : std::initializer_list<QWidget*> {
             staleBanner, helpPanel, stationBrowser, stationTip, findBox, codesLToZList, cityCodeList })
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    // The NOTAM text kept for the find is never on display: the report area is the only text box shown.
    QList<QWidget*> shownTextBoxes;
    for (QWidget* child : w.findChildren<QWidget*>()) {
        if ((qobject_cast<QTextEdit*>(child) || qobject_cast<QPlainTextEdit*>(child)) && child->isVisible())
            shownTextBoxes.append(child);
    }
    QCOMPARE(shownTextBoxes, QList<QWidget*> { reportArea });
    // The favourites' pointer picture is never drawn on the window: no label on display shows a picture.
    for (const QLabel* label : w.findChildren<QLabel*>()) {
        if (label->isVisible())
            QVERIFY2(label->pixmap().isNull(), qPrintable(label->objectName()));
    }
    // It is the pointer of every favourite slot, empty ones included.
    const QImage favouritePointer = Artwork::favouritePointerIcon().toImage();
    for (QLabel* slot : favouriteSlots) {
        QVERIFY(!slot->isVisible());
        QCOMPARE(slot->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(slot->cursor().pixmap().toImage(), favouritePointer);
        QCOMPARE(slot->cursor().hotSpot(), Artwork::kFavouritePointerHotSpot);
    }
    for (QWidget* shown :
        std::initializer_list<QWidget*> { reportPanel, reportArea, codesAToKList, codeSearchEdit, searchButton })
        QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
    QVERIFY(codesAToKButton->isChecked());
    for (QRadioButton* type : typeButtons)
        QVERIFY(!type->isChecked());
    QCOMPARE(codesAToKList->geometry(), codesLToZList->geometry());
    QCOMPARE(foldButton->text(), u"Réduire"_s);
    QCOMPARE(refreshButton->toolTip(), u"Rafraichir"_s);
    QCOMPARE(part<RefreshTimer>(w).interval(), 10000);
    // In the report panel: 321 pixels down, 57 x 18.
    QLabel* bottomSlot = favouriteSlots.constLast();
    QCOMPARE(QRect(bottomSlot->mapTo(reportPanel, QPoint()), bottomSlot->size()), QRect(0, 321, 57, 18));
    QCOMPARE(refreshButton->icon().availableSizes().value(0), QSize(27, 26));
    QCOMPARE(w.focusWidget(), codeSearchEdit);
    // The help picture and its links' pointer are drawn when the help first opens, not at start-up.
    QVERIFY(helpPicture->pixmap().isNull());
    control<QPushButton>(w, u"helpButton"_s)->click();
    QCOMPARE(helpPicture->pixmap().size(), QSize(383, 332));
    QCOMPARE(control<QLabel>(w, u"siteLink"_s)->cursor().shape(), Qt::BitmapCursor);
}

void TestMainWindow::helpPanelOverhangsAfterStartUp()
{
    WindowFixture fixture;
    fixture.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    MainWindow& w = fixture.window();
    auto* helpPanel = control<HelpPanel>(w, u"helpPanel"_s);
    auto* versionLabel = control<QLabel>(w, u"versionLabel"_s);
    auto* firstHelpText = control<QLabel>(w, u"helpText%1"_s.arg(0));
    w.start();
    QCOMPARE(versionLabel->text(), u"Version:3.0.0"_s);
    // The panel's texts at 19 pixels inside it lie 6 pixels from the window's left edge.
    QCOMPARE(firstHelpText->mapTo(&w, QPoint(0, 0)).x(), 6);
    QVERIFY(helpPanel->geometry().contains(w.rect()));
}

void TestMainWindow::metarEndToEnd()
{
    WindowFixture fixture;
    fixture.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    MainWindow& w = fixture.window();
    auto* reportTitle = control<QLabel>(w, u"reportTitle"_s);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* staleBanner = control<QLabel>(w, u"staleBanner"_s);
    auto* reportBackground = control<QFrame>(w, u"reportBackground"_s);
    auto* stationCode = control<QLabel>(w, u"stationCode"_s);
    auto* firstSlot = control<QLabel>(w, u"favouriteSlot0"_s);
    w.selectReportTypeQuietly(ReportType::Metar);
    w.showReport(u"LFPG"_s);

    QCOMPARE(fixture.server.requests(), QStringList { u"/data/observations/metar/decoded/LFPG.TXT"_s });
    QCOMPARE(reportTitle->text(), u"METAR de 1930 UTC"_s);
    QVERIFY(!reportTitle->isHidden());
    QVERIFY(!reportArea->isHidden());
    QVERIFY(staleBanner->isHidden());
    QCOMPARE(reportArea->palette().color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(reportBackground->palette().color(QPalette::Window), QColor(Qt::white));
    const QStringList lines = w.shownReport().text.split(u"\r\n"_s);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith(u"France (LFPG) 49-01N 002-32E 119M Observé le 06/12/2026 à 1930 UTC"_s));
    QCOMPARE(lines[1], u"METAR complet:"_s);
    QCOMPARE(stationCode->text(), u"LFPG"_s);
    QCOMPARE(fixture.settings.read(u"data"_s, u"last"_s, {}), u"LFPG"_s);
    QCOMPARE(firstSlot->text(), u"LFPG"_s);
    QVERIFY(!firstSlot->isHidden());
    QVERIFY(QFile::exists(fixture.workDir.filePath(u"V.txt"_s)));
}

void TestMainWindow::metarStyledOnTheDocument_data()
{
    QTest::addColumn<QString>("covered");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<qreal>("size");

    QTest::newRow("date stays plain") << u"Observé le 06/12/2026"_s << QColor(Qt::black) << false << 8.5;
    QTest::newRow("wind heading") << u"Vent:"_s << QColor(0x00, 0x00, 0xC0) << true << 8.5;
    QTest::newRow("wind speed in knots") << u"8 KT"_s << QColor(0x00, 0x00, 0xC0) << true << 8.5;
    QTest::newRow("wind direction not styled") << u"310 degrés"_s << QColor(Qt::black) << false << 8.5;
    QTest::newRow("visibility run") << u"Visibilité: supérieure à 10 kilomètres."_s << QColor(0xFF, 0x80, 0x00) << true
                                    << 8.5;
    QTest::newRow("pressure inside the orange run") << u"Pression QNH"_s << QColor(0xFF, 0x80, 0x00) << true << 8.5;
    QTest::newRow("temperature heading") << u"Température:"_s << QColor(0xC0, 0x00, 0x00) << true << 8.5;
    QTest::newRow("temperature value, larger") << u"10°C"_s << QColor(0xC0, 0x00, 0x00) << true << 14.0;
    // After the line breaks: document positions must follow the CR LF offsets.
    QTest::newRow("heading after a line break") << u"METAR complet:"_s << QColor(0xC0, 0xC0, 0xC0) << false << 8.5;
    QTest::newRow("raw report after two line breaks")
        << u"LFPG 061930Z 31008KT"_s << QColor(0xC0, 0xC0, 0xC0) << false << 8.5;
}

void TestMainWindow::metarStyledOnTheDocument()
{
    QFETCH(QString, covered);
    QFETCH(QColor, colour);
    QFETCH(bool, bold);
    QFETCH(qreal, size);

    WindowFixture fixture;
    fixture.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    MainWindow& w = fixture.window();
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    w.showReport(u"LFPG"_s);

    QTextDocument* document = reportArea->document();
    const QTextCursor found = document->find(covered);
    QVERIFY2(!found.isNull(), qPrintable(covered));
    for (int position = found.selectionStart(); position < found.selectionEnd(); ++position) {
        QTextCursor at(document);
        at.setPosition(position);
        at.setPosition(position + 1, QTextCursor::KeepAnchor);
        const QTextCharFormat format = at.charFormat();
        const QColor actual
            = format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor(Qt::black);
        const QString where = u"%1 at %2 ('%3')"_s.arg(covered).arg(position).arg(document->characterAt(position));
        QVERIFY2(actual == colour, qPrintable(where + u": "_s + actual.name()));
        QVERIFY2((format.fontWeight() >= QFont::Bold) == bold, qPrintable(where));
        const qreal actualSize
            = format.fontPointSize() > 0 ? format.fontPointSize() : document->defaultFont().pointSizeF();
        QVERIFY2(qFuzzyCompare(actualSize, size), qPrintable(where));
    }

    // The runs that the report mode prints give back the text exactly.
    QString joined;
    for (const ReportArea::Run& run : ReportArea::runs(reportArea))
        joined += run.text;
    QCOMPARE(joined, w.shownReport().text);
}

void TestMainWindow::staleMetar()
{
    WindowFixture fixture(QDateTime(QDate(2026, 12, 9), QTime(8, 0))); // the report is of the 6th
    fixture.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    MainWindow& w = fixture.window();
    auto* staleBanner = control<QLabel>(w, u"staleBanner"_s);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* reportBackground = control<QFrame>(w, u"reportBackground"_s);
    w.showReport(u"LFPG"_s);
    QVERIFY(!staleBanner->isHidden());
    QCOMPARE(staleBanner->text(), u"METAR Périmé"_s);
    QCOMPARE(reportArea->palette().color(QPalette::Base), QColor(0xFF, 0xC0, 0xC0));
    QCOMPARE(reportBackground->palette().color(QPalette::Window), QColor(0xFF, 0xC0, 0xC0));

    // A current report afterwards puts the white back and hides the banner.
    fixture.clock.set(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
    w.showReport(u"LFPG"_s);
    QVERIFY(staleBanner->isHidden());
    QCOMPARE(reportBackground->palette().color(QPalette::Window), QColor(Qt::white));
}

void TestMainWindow::failedMetarChangesNothingElse()
{
    WindowFixture fixture;
    fixture.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    MainWindow& w = fixture.window();
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* reportTitle = control<QLabel>(w, u"reportTitle"_s);
    auto* stationCode = control<QLabel>(w, u"stationCode"_s);
    auto* secondSlot = control<QLabel>(w, u"favouriteSlot1"_s);
    w.showReport(u"LFPG"_s);
    w.showReport(u"EGLL"_s); // not served: 404

    // A failed download says so first; the line after says why.
    QCOMPARE(reportArea->toPlainText().section(u'\n', 0, 0), u"Connexion à internet ..."_s);
    QCOMPARE(reportTitle->text(), QString());
    QCOMPARE(stationCode->text(), u"LFPG"_s);
    QCOMPARE(fixture.settings.read(u"data"_s, u"last"_s, {}), u"LFPG"_s);
    QCOMPARE(secondSlot->text(), QString());
    QVERIFY(!w.lastDownloadSucceeded());
    QVERIFY(!QFile::exists(fixture.workDir.filePath(u"V.txt"_s))); // the older report is gone too
    QVERIFY(!QApplication::overrideCursor());
}

void TestMainWindow::emptyReportHidesTheReport()
{
    // A TAF file that holds only its date: nothing to show, yet fetched (an empty answer is a failure).
    WindowFixture fixture;
    fixture.server.setBody(u"/data/forecasts/taf/stations/EGLL.TXT"_s, "2026/12/07 06:00\n");
    MainWindow& w = fixture.window();
    w.selectReportTypeQuietly(ReportType::Taf);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* reportTitle = control<QLabel>(w, u"reportTitle"_s);
    auto* stationCode = control<QLabel>(w, u"stationCode"_s);
    auto* firstSlot = control<QLabel>(w, u"favouriteSlot0"_s);
    w.showReport(u"EGLL"_s);
    QVERIFY(reportArea->isHidden());
    QVERIFY(reportTitle->isHidden());
    QCOMPARE(stationCode->text(), u"EGLL"_s);
    QCOMPARE(firstSlot->text(), u"EGLL"_s);
}

void TestMainWindow::unsafeCodeNeverLeavesTheProgram_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("parent folder") << u"../../etc/passwd"_s;
    QTest::newRow("query injection") << u"LFPG?x=1"_s;
    QTest::newRow("space") << u"LF PG"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("too long") << u"ABCDEFGHI"_s;
    QTest::newRow("non-ASCII letter") << u"LFPÉ"_s;
}

void TestMainWindow::unsafeCodeNeverLeavesTheProgram()
{
    QFETCH(QString, code);
    WindowFixture fixture;
    MainWindow& w = fixture.window();
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    w.showReport(code);
    QVERIFY(fixture.server.requests().isEmpty());
    // A failed download says so first; the line after says why.
    QCOMPARE(reportArea->toPlainText().section(u'\n', 0, 0), u"Connexion à internet ..."_s);
    QVERIFY(!w.lastDownloadSucceeded());
    QCOMPARE(QDir(fixture.workDir.path()).entryList(QDir::Files).size(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
