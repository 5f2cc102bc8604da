// The window's own commands: the help panel and its links, folding the search region away and back, and
// the report-type buttons with the find panel.
#include "help/HelpPanel.h"
#include "reports/RefreshTimer.h"
#include "reports/ReportPanel.h"
#include "support/ShellTestSupport.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPanelWidth = 524; // the report panel

// A point of @p widget that none of its children covers.
QPoint background(const QWidget* widget)
{
    for (int y = 2; y < widget->height(); y += 4) {
        for (int x = 2; x < widget->width(); x += 4) {
            if (!widget->childAt(x, y))
                return QPoint(x, y);
        }
    }
    return QPoint(-1, -1);
}

} // namespace

class TestHelpFoldAndReportTypes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpPanelCoversEverything();
    void helpPanelClicks_data();
    void helpPanelClicks();
    void fold_data();
    void fold();
    void reportTypeButtons_data();
    void reportTypeButtons();
};

void TestHelpFoldAndReportTypes::helpPanelCoversEverything()
{
    WindowFixture f;
    MainWindow& w = Shell::start(f);
    auto* helpPanel = control<HelpPanel>(w, u"helpPanel"_s);
    auto* foldButton = control<QPushButton>(w, u"foldButton"_s);
    auto* helpButton = control<QPushButton>(w, u"helpButton"_s);
    auto* quitButton = control<QPushButton>(w, u"quitButton"_s);
    auto* codesAToKList = control<QListView>(w, u"codesAToKList"_s);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    // Folding brings the report panel to the front, and it stays there once unfolded.
    QTest::mouseClick(foldButton, Qt::LeftButton);
    QVERIFY(foldEnded(w));
    QTest::mouseClick(foldButton, Qt::LeftButton);
    QVERIFY(foldEnded(w));
    QTest::mouseClick(helpButton, Qt::LeftButton);
    QVERIFY(helpPanel->isVisible());
    // The tick that folds the window leaves an open help over everything.
    part<RefreshTimer>(w).setTicksSinceRefresh(1);
    part<RefreshTimer>(w).tick();
    QVERIFY(foldEnded(w));
    // Wherever the pointer is, it is over the panel: the search region, the report and the buttons are beneath.
    for (const QPoint point : { QPoint(1, 1), QPoint(w.width() - 2, 1), QPoint(1, w.height() - 2),
             QPoint(w.width() - 2, w.height() - 2), quitButton->mapTo(&w, QPoint(5, 5)),
             codesAToKList->mapTo(&w, QPoint(5, 5)), reportArea->mapTo(&w, QPoint(5, 5)) }) {
        const QWidget* under = w.childAt(point);
        QVERIFY2(
            under == helpPanel || helpPanel->isAncestorOf(under), qPrintable(u"%1,%2"_s.arg(point.x()).arg(point.y())));
    }
    // Closed, it leaves every region within reach.
    helpPanel->dismiss();
    for (QWidget* region : { foldButton, quitButton, helpButton })
        QVERIFY2(region->isEnabled(), qPrintable(region->objectName()));
}

void TestHelpFoldAndReportTypes::helpPanelClicks_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<QString>("opened");

    // OK, the panel's background, its picture and every help text close it.
    QTest::newRow("OK") << u"helpCloseButton"_s << false << QString();
    QTest::newRow("background") << u"helpPanel"_s << false << QString();
    QTest::newRow("picture") << u"helpPicture"_s << false << QString();
    for (int i = 0; i < 6; ++i)
        QTest::newRow(qPrintable(u"help text %1"_s.arg(i))) << u"helpText%1"_s.arg(i) << false << QString();

    // The links open their address and leave the panel; the version does nothing.
    QTest::newRow("site") << u"siteLink"_s << true << u"http://site.test"_s;
    QTest::newRow("contact") << u"contactLink"_s << true
                             << u"http://site.test/contacter.php?sub=VentorixVersion:3.0.0"_s;
    QTest::newRow("version") << u"versionLabel"_s << true << QString();
}

void TestHelpFoldAndReportTypes::helpPanelClicks()
{
    QFETCH(QString, clicked);
    QFETCH(bool, staysOpen);
    QFETCH(QString, opened);

    WindowFixture f;
    MainWindow& w = Shell::start(f);
    auto* helpPanel = control<HelpPanel>(w, u"helpPanel"_s);
    auto* helpButton = control<QPushButton>(w, u"helpButton"_s);
    QTest::mouseClick(helpButton, Qt::LeftButton);
    QWidget* target = w.findChild<QWidget*>(clicked);
    QVERIFY(target);
    const QPoint at = target == helpPanel ? background(helpPanel) : target->rect().center();
    QVERIFY(at.x() >= 0);
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QCOMPARE(helpPanel->isVisible(), staysOpen);
    QCOMPARE(f.links.opened, opened.isEmpty() ? QStringList() : QStringList { opened });
}

void TestHelpFoldAndReportTypes::fold_data()
{
    QTest::addColumn<int>("outer");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("outerAfter"); // 0: the width the window had before it was folded
    QTest::addColumn<int>("panelLeftAfter"); // -1: against the right edge
    QTest::addColumn<int>("ticksAfter");

    // The caption is the fold button's before the click: "Réduire" on an unfolded window, "Rechercher" on a
    // folded one. Folding narrows the window in steps of 3⅓ pixels down to the panel's width plus 5⅓, the
    // panel kept against the right edge; unfolding widens it in steps up to 727 pixels, then gives the
    // window back the width and the panel the place they had before the fold, and sets the tick count to
    // 15. Outer widths from 728 pixels: down to 524⅔ (+ 5⅓).
    QTest::newRow("fold") << 728 << u"Réduire"_s << 530 << -1 << 3;
    QTest::newRow("unfold") << 530 << u"Rechercher"_s << 0 << 208 << 15;

    // Outside the range of the steps a fold still moves the panel to 5, and an unfold restores the window.
    QTest::newRow("fold a window narrower than the panel") << 500 << u"Réduire"_s << 500 << 5 << 3;
    QTest::newRow("unfold a window wider than 727") << 740 << u"Rechercher"_s << 0 << 208 << 15;
}

void TestHelpFoldAndReportTypes::fold()
{
    QFETCH(int, outer);
    QFETCH(QString, caption);
    QFETCH(int, outerAfter);
    QFETCH(int, panelLeftAfter);
    QFETCH(int, ticksAfter);

    WindowFixture f;
    MainWindow& w = Shell::start(f);
    auto* reportPanel = control<ReportPanel>(w, u"reportPanel"_s);
    auto* foldButton = control<QPushButton>(w, u"foldButton"_s);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (outerAfter == 0)
        outerAfter = w.frameGeometry().width();
    if (caption == u"Rechercher"_s) {
        // Only a folded window unfolds: fold it first, then put the panel back where start-up places it.
        const QPoint panelAtStartUp = reportPanel->pos();
        QTest::mouseClick(foldButton, Qt::LeftButton);
        QVERIFY(foldEnded(w));
        reportPanel->move(panelAtStartUp);
    }
    QCOMPARE(foldButton->text(), caption);
    w.resize(outer - (w.frameGeometry().width() - w.width()), w.height());
    QCOMPARE(w.frameGeometry().width(), outer);
    refreshTimer.setTicksSinceRefresh(3);
    QTest::mouseClick(foldButton, Qt::LeftButton);
    QVERIFY(foldEnded(w));

    QCOMPARE(foldButton->text(), caption == u"Réduire"_s ? u"Rechercher"_s : u"Réduire"_s);
    QCOMPARE(w.frameGeometry().width(), outerAfter);
    QCOMPARE(reportPanel->x(), panelLeftAfter < 0 ? w.width() - kPanelWidth : panelLeftAfter);
    QCOMPARE(refreshTimer.ticksSinceRefresh(), ticksAfter);
    // The report panel lies over the search region.
    const QPoint overlap = reportPanel->mapTo(&w, QPoint(2, reportPanel->height() / 2));
    QVERIFY(reportPanel->isAncestorOf(w.childAt(overlap)) || w.childAt(overlap) == reportPanel);
}

void TestHelpFoldAndReportTypes::reportTypeButtons_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QList<bool>>("findPanelDuring");
    QTest::addColumn<bool>("findPanelAfter");

    const QString metar = u"/data/observations/metar/decoded/EGLL.TXT"_s;
    const QString taf = u"/data/forecasts/taf/stations/EGLL.TXT"_s;
    const QString notam = u"/regusers/publictools/corp_comp/metar_taf_notam.html?icao=EGLL"_s;
    // Each button requests the current code with its type; the find panel comes with NOTAM, once the
    // NOTAM report is on screen, and goes with the other types.
    QTest::newRow("TAF then NOTAM") << QList<int> { 1, 2 } << QStringList { taf, notam } << QList<bool> { false, false }
                                    << true;
    QTest::newRow("NOTAM then METAR") << QList<int> { 2, 0 } << QStringList { notam, metar }
                                      << QList<bool> { false, true } << false;
    QTest::newRow("NOTAM then TAF") << QList<int> { 2, 1 } << QStringList { notam, taf } << QList<bool> { false, true }
                                    << false;
}

void TestHelpFoldAndReportTypes::reportTypeButtons()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, requests);
    QFETCH(QList<bool>, findPanelDuring);
    QFETCH(bool, findPanelAfter);

    WindowFixture f;
    f.serveMetar(u"EGLL"_s, readFixture(u"metar/EGLL.TXT"_s));
    DownloadSpy spy(f.downloader);
    Services services = f.services();
    services.downloader = &spy;
    MainWindow w(services);
    auto* findBox = control<QFrame>(w, u"findBox"_s);
    const QList<QRadioButton*> typeButtons { control<QRadioButton>(w, u"metarButton"_s),
        control<QRadioButton>(w, u"tafButton"_s), control<QRadioButton>(w, u"notamButton"_s) };
    w.show();
    QList<bool> during;
    spy.onDownload = [&](const QString&) { during.append(findBox->isVisible()); };
    part<ReportPanel>(w).setStationCode(u"EGLL"_s);
    for (const int type : clicks)
        QTest::mouseClick(typeButtons[type], Qt::LeftButton);
    QCOMPARE(f.server.requests(), requests);
    QCOMPARE(during, findPanelDuring);
    QCOMPARE(findBox->isVisible(), findPanelAfter);
}

QTEST_MAIN(TestHelpFoldAndReportTypes)
#include "TestHelpFoldAndReportTypes.moc"
