// The refresh button and the ten-second tick: when the report is fetched again past any cached copy, and
// when the tick folds the search region.
#include "reports/RefreshTimer.h"
#include "reports/ReportPanel.h"
#include "support/WindowFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

const QString kMetar = u"/data/observations/metar/decoded/LFPG.TXT"_s;
const QString kNotam = u"/regusers/publictools/corp_comp/metar_taf_notam.html?icao=LFPG"_s;

QDateTime at(int hour, int minute)
{
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, 5));
}

// The window showing the METAR of LFPG, too narrow for the tick to fold it.
MainWindow& showing(WindowFixture& f, int type = 0)
{
    f.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    MainWindow& w = f.window();
    w.resize(600, w.height());
    w.selectReportTypeQuietly(kReportTypes.at(static_cast<size_t>(type)));
    part<ReportPanel>(w).setStationCode(u"LFPG"_s);
    return w;
}

// Requests that asked past every cache on the way.
int freshRequests(const TestHttpServer& server)
{
    int count = 0;
    for (const QByteArray& head : server.headers())
        count += head.contains("\r\nCache-Control: no-cache");
    return count;
}

} // namespace

class TestRefresh : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ticks_data();
    void ticks();
    void refreshButton_data();
    void refreshButton();
    void notamRefreshDropsMetarCopy();
    void foldByTick_data();
    void foldByTick();
    void foldAgainAfterAutomaticRefresh();
    void tickDuringATickRunsAfterIt();
    void tickDuringATransferWaitsForIt();
};

void TestRefresh::ticks_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("ticksBefore");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("refreshes");
    QTest::addColumn<int>("ticksAfter");

    // Minutes 10 and 40 refresh once, at their first tick finding more than 10 ticks since the last refresh.
    QTest::newRow("10:10 after a long wait") << at(10, 10) << 50 << 1 << 1 << 0;
    QTest::newRow("the rest of 10:10 does not refresh again") << at(10, 10) << 50 << 6 << 1 << 5;
    QTest::newRow("10:40 likewise") << at(10, 40) << 50 << 6 << 1 << 5;
    QTest::newRow("11 ticks since the last refresh") << at(10, 10) << 10 << 1 << 1 << 0;
    QTest::newRow("10 ticks are not enough") << at(10, 10) << 9 << 1 << 0 << 10;
    QTest::newRow("80 seconds after a refresh") << at(10, 10) << 8 << 1 << 0 << 9;

    // Other minutes wait for the forced refresh after 181 ticks.
    QTest::newRow("10:11") << at(10, 11) << 50 << 6 << 0 << 56;
    QTest::newRow("9:39") << at(9, 39) << 50 << 6 << 0 << 56;
    QTest::newRow("181 ticks force a refresh") << at(10, 25) << 0 << 181 << 1 << 0;
    QTest::newRow("180 ticks do not") << at(10, 25) << 0 << 180 << 0 << 180;
    QTest::newRow("forced in minute 10, once") << at(10, 10) << 180 << 1 << 1 << 0;
}

void TestRefresh::ticks()
{
    QFETCH(QDateTime, now);
    QFETCH(int, ticksBefore);
    QFETCH(int, ticks);
    QFETCH(int, refreshes);
    QFETCH(int, ticksAfter);

    WindowFixture f(now);
    MainWindow& w = showing(f);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    auto* foldButton = control<QPushButton>(w, u"foldButton"_s);
    refreshTimer.setTicksSinceRefresh(ticksBefore);
    for (int i = 0; i < ticks; ++i)
        refreshTimer.tick();
    QCOMPARE(f.server.requests().size(), refreshes);
    QCOMPARE(freshRequests(f.server), refreshes);
    QCOMPARE(refreshTimer.ticksSinceRefresh(), ticksAfter);
    QCOMPARE(foldButton->text(), u"Réduire"_s);
}

void TestRefresh::refreshButton_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<int>("fresh");

    // The button asks again for the code shown, with the type selected, and leaves the tick count alone. Only
    // the METAR address is asked for past the caches (the NOTAM path drops the page without its query).
    QTest::newRow("METAR") << u"LFPG"_s << 0 << QStringList { kMetar } << 1;
    QTest::newRow("NOTAM") << u"LFPG"_s << 2 << QStringList { kNotam } << 0;

    // With no code shown there is nothing to refresh.
    QTest::newRow("no code") << QString() << 0 << QStringList() << 0;
}

void TestRefresh::refreshButton()
{
    QFETCH(QString, code);
    QFETCH(int, type);
    QFETCH(QStringList, requests);
    QFETCH(int, fresh);

    WindowFixture f;
    MainWindow& w = showing(f, type);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    auto* refreshButton = control<QPushButton>(w, u"refreshButton"_s);
    part<ReportPanel>(w).setStationCode(code);
    reportArea->setPlainText(u"report on screen"_s);
    refreshTimer.setTicksSinceRefresh(37);
    QTest::mouseClick(refreshButton, Qt::LeftButton);
    QCOMPARE(f.server.requests(), requests);
    QCOMPARE(freshRequests(f.server), fresh);
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 37);
    if (requests.isEmpty())
        QCOMPARE(reportArea->toPlainText(), u"report on screen"_s);
}

void TestRefresh::notamRefreshDropsMetarCopy()
{
    // A refresh of the NOTAMs also drops the stored METAR of the code: the next METAR comes from the server.
    for (const bool refreshFirst : { false, true }) {
        WindowFixture f;
        MainWindow& w = showing(f, 2);
        if (refreshFirst)
            QTest::mouseClick(control<QPushButton>(w, u"refreshButton"_s), Qt::LeftButton);
        QTest::mouseClick(control<QRadioButton>(w, u"metarButton"_s), Qt::LeftButton);
        QCOMPARE(f.server.requests().constLast(), kMetar);
        QCOMPARE(f.server.headers().constLast().contains("Cache-Control: no-cache"), refreshFirst);
    }
}

void TestRefresh::foldByTick_data()
{
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("folded");

    // A window wider than 666 pixels folds on the second tick.
    QTest::newRow("start-up width, second tick") << 728 << 2 << true;
    QTest::newRow("just wider than 666") << 667 << 2 << true;
    QTest::newRow("first tick") << 728 << 1 << false;

    // Narrower windows are never folded by the tick.
    QTest::newRow("just not wider than 666") << 666 << 2 << false;
    QTest::newRow("narrow, many ticks") << 600 << 30 << false;
}

void TestRefresh::foldByTick()
{
    QFETCH(int, outer);
    QFETCH(int, ticks);
    QFETCH(bool, folded);

    WindowFixture f(at(10, 25));
    MainWindow& w = f.window();
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    auto* foldButton = control<QPushButton>(w, u"foldButton"_s);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(outer - (w.frameGeometry().width() - w.width()), w.height());
    QCOMPARE(w.outerWidth(), outer);
    for (int i = 0; i < ticks; ++i)
        refreshTimer.tick();
    QVERIFY(foldEnded(w));
    QCOMPARE(foldButton->text(), folded ? u"Rechercher"_s : u"Réduire"_s);
    QCOMPARE(w.outerWidth() < 600, folded);
}

void TestRefresh::foldAgainAfterAutomaticRefresh()
{
    WindowFixture f(at(10, 25));
    MainWindow& w = f.window();
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    auto* foldButton = control<QPushButton>(w, u"foldButton"_s);
    f.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    part<ReportPanel>(w).setStationCode(u"LFPG"_s);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const auto tick = [&](int count) {
        for (int i = 0; i < count; ++i)
            refreshTimer.tick();
    };

    tick(2);
    QVERIFY(foldEnded(w));
    QCOMPARE(foldButton->text(), u"Rechercher"_s);
    // Unfolded by hand, the region stays while the count runs on from 15 ...
    QTest::mouseClick(foldButton, Qt::LeftButton);
    QVERIFY(foldEnded(w));
    tick(20);
    QCOMPARE(foldButton->text(), u"Réduire"_s);
    // ... until the next automatic refresh, two ticks after which it folds again.
    f.clock.set(at(10, 40));
    tick(1);
    QCOMPARE(f.server.requests().size(), 1);
    f.clock.set(at(10, 41));
    tick(1);
    QCOMPARE(foldButton->text(), u"Réduire"_s);
    tick(1);
    QVERIFY(foldEnded(w));
    QCOMPARE(foldButton->text(), u"Rechercher"_s);
}

void TestRefresh::tickDuringATickRunsAfterIt()
{
    // The tick's refresh is slow; the next tick falls due meanwhile and must run once the refresh is over.
    WindowFixture f(at(10, 10));
    MainWindow& w = showing(f);
    f.server.setReply(kMetar, TestHttpServer::Reply { 200, readFixture(u"metar/LFPG.TXT"_s), {}, false, 300 });
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    refreshTimer.setTicksSinceRefresh(50);
    QTimer::singleShot(100, &refreshTimer, &RefreshTimer::tick);
    refreshTimer.tick();
    QCOMPARE(f.server.requests().size(), 1);
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 0);
    QTRY_COMPARE(refreshTimer.ticksSinceRefresh(), 1);
}

void TestRefresh::tickDuringATransferWaitsForIt()
{
    WindowFixture f;
    MainWindow& w = showing(f);
    f.server.setReply(kMetar, TestHttpServer::Reply { 200, readFixture(u"metar/LFPG.TXT"_s), {}, false, 300 });
    RefreshTimer& timer = part<RefreshTimer>(w);
    timer.setTicksSinceRefresh(0);
    int countDuringTransfer = -1;
    QTimer::singleShot(100, &w, [&] {
        timer.tick();
        countDuringTransfer = timer.ticksSinceRefresh();
    });
    w.showReport(u"LFPG"_s);
    QCOMPARE(countDuringTransfer, 0);
    QTRY_COMPARE(timer.ticksSinceRefresh(), 1);
}

QTEST_MAIN(TestRefresh)
#include "TestRefresh.moc"
