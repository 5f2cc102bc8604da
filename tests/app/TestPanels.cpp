// The window's own commands: the help panel and its links, folding the search region away and back, and
// the report-type buttons with the find panel.
#include "app/ShellTestSupport.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

namespace {

constexpr int kPanelWidth = 524; // Frame2, 7860 twips

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

class TestPanels : public QObject
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

void TestPanels::helpPanelCoversEverything()
{
    WindowFixture f;
    MainWindow& w = Shell::start(f);
    QTest::mouseClick(w.Command6, Qt::LeftButton); // folding brings the report panel to the front
    QTest::mouseClick(w.Command3, Qt::LeftButton);
    QVERIFY(w.Frame1->isVisible());
    // Wherever the pointer is, it is over the panel: the search region, the report and the buttons are beneath.
    for (const QPoint point : {QPoint(1, 1), QPoint(w.width() - 2, 1), QPoint(1, w.height() - 2),
             QPoint(w.width() - 2, w.height() - 2), w.Command2->mapTo(&w, QPoint(5, 5)),
             w.List1[0]->mapTo(&w, QPoint(5, 5)), w.LabMetar->mapTo(&w, QPoint(5, 5))}) {
        const QWidget* under = w.childAt(point);
        QVERIFY2(under == w.Frame1 || w.Frame1->isAncestorOf(under), qPrintable(u"%1,%2"_qs.arg(point.x()).arg(point.y())));
    }
}

void TestPanels::helpPanelClicks_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<QString>("opened");

    // OK, the panel's background, its picture and every help text close it.
    QTest::newRow("OK") << u"Command4"_qs << false << QString();
    QTest::newRow("background") << u"Frame1"_qs << false << QString();
    QTest::newRow("picture") << u"Image1"_qs << false << QString();
    for (int i = 0; i < 6; ++i)
        QTest::newRow(qPrintable(u"help text %1"_qs.arg(i))) << u"Label4(%1)"_qs.arg(i) << false << QString();

    // The links open their address and leave the panel; the version does nothing.
    QTest::newRow("site") << u"Label5"_qs << true << u"http://site.test"_qs;
    QTest::newRow("contact") << u"Label6"_qs << true << u"http://site.test/contacter.php?sub=VentorixVersion:3.0.0"_qs;
    QTest::newRow("version") << u"Label7"_qs << true << QString();
}

void TestPanels::helpPanelClicks()
{
    QFETCH(QString, control);
    QFETCH(bool, staysOpen);
    QFETCH(QString, opened);

    WindowFixture f;
    MainWindow& w = Shell::start(f);
    QTest::mouseClick(w.Command3, Qt::LeftButton);
    QWidget* target = w.findChild<QWidget*>(control);
    QVERIFY(target);
    const QPoint at = target == w.Frame1 ? background(w.Frame1) : target->rect().center();
    QVERIFY(at.x() >= 0);
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QCOMPARE(w.Frame1->isVisible(), staysOpen);
    QCOMPARE(f.links.opened, opened.isEmpty() ? QStringList() : QStringList{opened});
}

void TestPanels::fold_data()
{
    QTest::addColumn<int>("outer");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("outerAfter");
    QTest::addColumn<int>("panelLeftAfter"); // -1: against the right edge
    QTest::addColumn<qint16>("counterAfter");

    // Folding narrows the window in 50-twip steps down to the panel's width plus 80 twips, the panel kept
    // against the right edge; unfolding widens it up to the last step not past 10905 twips and sets the
    // counter to 15. Outer widths from 10920 twips: down to 7870 (+ 80), then from 7950 up to 10900.
    QTest::newRow("fold") << Twips::toPixels(10920) << u"Réduire"_qs << Twips::toPixels(7870 + 80) << -1 << qint16(3);
    QTest::newRow("unfold") << Twips::toPixels(7950) << u"Rechercher"_qs << Twips::toPixels(10900) << -1
                            << qint16(15);

    // Outside the range of the steps only the caption changes (and a fold still moves the panel to 80).
    QTest::newRow("fold a window narrower than the panel") << 500 << u"Réduire"_qs << 500 << Twips::toPixels(80)
                                                           << qint16(3);
    QTest::newRow("unfold a window wider than 10905") << 740 << u"Rechercher"_qs << 740 << Twips::toPixels(3120)
                                                      << qint16(15);
}

void TestPanels::fold()
{
    QFETCH(int, outer);
    QFETCH(QString, caption);
    QFETCH(int, outerAfter);
    QFETCH(int, panelLeftAfter);
    QFETCH(qint16, counterAfter);

    WindowFixture f;
    MainWindow& w = Shell::start(f);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(outer - (w.frameGeometry().width() - w.width()), w.height());
    QCOMPARE(w.frameGeometry().width(), outer);
    w.Command6->setText(caption);
    w.Compteur = 3;
    QTest::mouseClick(w.Command6, Qt::LeftButton);

    QCOMPARE(w.Command6->text(), caption == u"Réduire"_qs ? u"Rechercher"_qs : u"Réduire"_qs);
    QCOMPARE(w.frameGeometry().width(), outerAfter);
    QCOMPARE(w.Frame2->x(), panelLeftAfter < 0 ? w.width() - kPanelWidth : panelLeftAfter);
    QCOMPARE(w.Compteur, counterAfter);
    // The report panel lies over the search region.
    const QPoint overlap = w.Frame2->mapTo(&w, QPoint(2, w.Frame2->height() / 2));
    QVERIFY(w.Frame2->isAncestorOf(w.childAt(overlap)) || w.childAt(overlap) == w.Frame2);
}

void TestPanels::reportTypeButtons_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QList<bool>>("findPanelDuring");
    QTest::addColumn<bool>("findPanelAfter");

    const QString metar = u"/data/observations/metar/decoded/EGLL.TXT"_qs;
    const QString taf = u"/data/forecasts/taf/stations/EGLL.TXT"_qs;
    const QString notam = u"/regusers/publictools/corp_comp/metar_taf_notam.html?icao=EGLL"_qs;
    // Each button requests the current code with its type; the find panel comes with NOTAM, once the
    // NOTAM report is on screen, and goes with the other types.
    QTest::newRow("TAF then NOTAM") << QList<int>{1, 2} << QStringList{taf, notam} << QList<bool>{false, false} << true;
    QTest::newRow("NOTAM then METAR") << QList<int>{2, 0} << QStringList{notam, metar} << QList<bool>{false, true}
                                      << false;
    QTest::newRow("NOTAM then TAF") << QList<int>{2, 1} << QStringList{notam, taf} << QList<bool>{false, true} << false;
}

void TestPanels::reportTypeButtons()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, requests);
    QFETCH(QList<bool>, findPanelDuring);
    QFETCH(bool, findPanelAfter);

    WindowFixture f;
    f.serveMetar(u"EGLL"_qs, readFixture(u"metar/EGLL.TXT"_qs));
    DownloadSpy spy(f.downloader);
    Services services = f.services();
    services.downloader = &spy;
    MainWindow w(services);
    w.show();
    QList<bool> during;
    spy.onDownload = [&](const QString&) { during.append(w.Frame5->isVisible()); };
    w.Label2->setText(u"EGLL"_qs);
    for (const int type : clicks)
        QTest::mouseClick(w.Option2[type], Qt::LeftButton);
    QCOMPARE(f.server.requests(), requests);
    QCOMPARE(during, findPanelDuring);
    QCOMPARE(w.Frame5->isVisible(), findPanelAfter);
}

QTEST_MAIN(TestPanels)
#include "TestPanels.moc"
