// What a pilot reads first, through the real window: the line above the report's title, its colours taken
// from the user's limits, and where it sits among the panel's captions.
#include "support/WindowFixture.h"

#include <QLabel>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPilotWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pilotLine_data();
    void pilotLine();
};

void TestPilotWindow::pilotLine_data()
{
    QTest::addColumn<QStringList>("limits"); // key=value lines of the settings' group "briefing"
    QTest::addColumn<QString>("markColour"); // of the conditions' mark
    QTest::addColumn<QString>("ageColour"); // of the observation's age and times

    // The fixture's METAR, 14 h 30 min old, has a 2,000 ft ceiling under 10 km of visibility.
    QTest::newRow("default limits: marginal, and far too old") << QStringList() << u"0000ff"_s << u"ff0000"_s;
    QTest::newRow("a lower ceiling limit makes it VMC")
        << QStringList { u"vmcCeilingFt=1800"_s, u"marginalCeilingFt=900"_s } << u"008000"_s << u"ff0000"_s;
    QTest::newRow("a higher ceiling limit makes it IMC")
        << QStringList { u"marginalCeilingFt=2500"_s, u"vmcCeilingFt=4000"_s } << u"ff0000"_s << u"ff0000"_s;
    QTest::newRow("past the user's first age limit only")
        << QStringList { u"ageOrangeMinutes=600"_s, u"ageRedMinutes=1000"_s } << u"0000ff"_s << u"e07000"_s;
    QTest::newRow("within the user's age limits")
        << QStringList { u"ageOrangeMinutes=900"_s, u"ageRedMinutes=1000"_s } << u"0000ff"_s << u"000000"_s;
    QTest::newRow("limits that are no numbers keep the defaults")
        << QStringList { u"ageOrangeMinutes=soixante"_s, u"vmcCeilingFt=-5"_s } << u"0000ff"_s << u"ff0000"_s;
}

void TestPilotWindow::pilotLine()
{
    QFETCH(QStringList, limits);
    QFETCH(QString, markColour);
    QFETCH(QString, ageColour);

    WindowFixture fixture(QDateTime(QDate(2026, 12, 7), QTime(10, 0), QTimeZone::utc()));
    for (const QString& limit : limits)
        fixture.settings.write(u"briefing"_s, limit.section(u'=', 0, 0), limit.section(u'=', 1));
    fixture.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    MainWindow& w = fixture.window();
    auto* line = control<QLabel>(w, u"pilotLine"_s);
    w.selectReportTypeQuietly(ReportType::Metar);
    w.showReport(u"LFPG"_s);

    QVERIFY2(line->toolTip().startsWith(u"Observé il y a 14 h 30 min — 19:30 UTC"_s), qPrintable(line->toolTip()));
    QVERIFY(line->toolTip().contains(u" · Lever 07:29 — coucher 15:52 UTC"_s));
    const QString html = line->text();
    QVERIFY2(html.startsWith(u"<span style=\"color:#%1\">●</span> "_s.arg(markColour)), qPrintable(html));
    QVERIFY2(html.contains(u"<span style=\"color:#%1\">Observé il y a 14 h 30 min"_s.arg(ageColour)), qPrintable(html));
    QVERIFY(!line->isHidden());

    // The line takes the free band of the panel: it covers no caption and reaches past none of its edges.
    const QWidget* panel = line->parentWidget();
    for (const QString& name : { u"reportTitle"_s, u"reportArea"_s, u"tafButton"_s, u"quitButton"_s, u"refreshButton"_s,
             u"staleBanner"_s, u"stationCode"_s, u"findBox"_s })
        QVERIFY2(!line->geometry().intersects(control<QWidget>(*panel, name)->geometry()), qPrintable(name));
    QVERIFY(panel->rect().contains(line->geometry()));
    QVERIFY(line->fontMetrics().horizontalAdvance(line->toolTip()) + line->fontMetrics().horizontalAdvance(u"● "_s)
        <= line->width());

    // A request on its way leaves no line of the previous report behind.
    control<QRadioButton>(w, u"tafButton"_s)->click();
    QTRY_VERIFY(line->text().isEmpty());
}

QTEST_MAIN(TestPilotWindow)
#include "TestPilotWindow.moc"
