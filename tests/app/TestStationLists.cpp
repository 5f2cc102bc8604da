// The stations near the current one and the search by name: --near and --search of the real executable,
// the list opened from the report panel and the stations offered as the user types in the code box.
#include "reports/RefreshTimer.h"
#include "support/WindowFixture.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

namespace {

QString metarPath(const QString& code)
{
    return u"/data/observations/metar/decoded/"_qs + code + u".TXT"_qs;
}

} // namespace

class TestStationLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLines_data();
    void commandLines();
    void nearbyListRequestsTheChosenStation();
    void typingOffersStationsByName_data();
    void typingOffersStationsByName();
};

void TestStationLists::commandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("stations"); // entries of the JSON array or lines of the text; -1: not a list
    QTest::addColumn<QString>("out"); // a pattern standard output must match
    QTest::addColumn<QString>("err"); // what standard error must contain; "" for nothing at all

    QTest::newRow("near in JSON, lower-case code")
        << QStringList { u"--near"_qs, u"lfpg"_qs } << 0 << 10
        << uR"(^\[\s+\{\s+"bearingDeg": 239,\s+"city": "Paris",\s+"code": "LFPB",\s+"country": "France",\s+)"
           uR"("distanceKm": 9.3,\s+"distanceNm": 5,\s+"name": "Paris-Le Bourget Airport"\s+\},\s+\{)"_qs
        << QString();
    QTest::newRow("near in text, nearest first")
        << QStringList { u"--near"_qs, u"LFPG"_qs, u"--format"_qs, u"text"_qs } << 0 << 10
        << u"^LFPB  9,3 km \\(5,0 NM\\)  au 239°  Paris \\(France\\) — Paris-Le Bourget Airport\n"
           u"LFPO  34,5 km \\(18,6 NM\\)  au 201°  Paris \\(France\\) — Paris-Orly Airport\n"_qs
        << QString();
    QTest::newRow("near, no aerodrome name")
        << QStringList { u"--near=LFPG"_qs, u"--format=text"_qs } << 0 << 10
        << u"\nLFAQ  107,1 km \\(57,8 NM\\)  au 006°  Albert \\(France\\)\n"_qs << QString();
    QTest::newRow("near a station without position") << QStringList { u"--near"_qs, u"OACC"_qs } << 2 << -1 << u"^$"_qs
                                                     << u"la position de la station OACC n'est pas connue"_qs;
    QTest::newRow("near an unknown code") << QStringList { u"--near"_qs, u"ZZZZ"_qs, u"--format"_qs, u"text"_qs } << 2
                                          << -1 << u"^$"_qs << u"station inconnue : ZZZZ"_qs;
    QTest::newRow("near without code") << QStringList { u"--near"_qs } << 2 << -1 << u"^$"_qs << u"--help"_qs;
    QTest::newRow("near as a PDF") << QStringList { u"--near"_qs, u"LFPG"_qs, u"--format"_qs, u"pdf"_qs } << 2 << -1
                                   << u"^$"_qs << u"(json ou text)"_qs;
    QTest::newRow("search by aerodrome name")
        << QStringList { u"--search"_qs, u"ORLY"_qs } << 0 << 1
        << uR"("city": "Paris",\s+"code": "LFPO",\s+"country": "France",\s+"name": "Paris-Orly Airport")"_qs
        << QString();
    QTest::newRow("search with accents and punctuation")
        << QStringList { u"--search"_qs, u"ST-ÉTIENNE"_qs, u"--format"_qs, u"text"_qs } << 0 << 2
        << u"^LFMH  Saint-Etienne \\(France\\) — Saint-Étienne-Bouthéon Airport\nLFLS  "_qs << QString();
    QTest::newRow("search ranks codes first") << QStringList { u"--search"_qs, u"lfp"_qs, u"--format"_qs, u"text"_qs }
                                              << 0 << -1 << u"^(LFP\\w  [^\n]+\n)+[^L]"_qs << QString();
    QTest::newRow("search finding nothing") << QStringList { u"--search"_qs, u"qqzz"_qs, u"--format"_qs, u"text"_qs }
                                            << 0 << -1 << u"^Aucune station trouvée\n$"_qs << QString();
    QTest::newRow("search finding nothing in JSON")
        << QStringList { u"--search"_qs, u"qqzz"_qs } << 0 << 0 << u"^\\[\\s*\\]\\s*$"_qs << QString();
    QTest::newRow("search for nothing") << QStringList { u"--search"_qs, u" "_qs } << 2 << -1 << u"^$"_qs
                                        << u"l'option --search attend un texte"_qs;
    QTest::newRow("search with an output file") << QStringList { u"--search"_qs, u"paris"_qs, u"--output"_qs,
        u"/tmp/x"_qs } << 2 << -1 << u"^$"_qs << u"vont avec --report"_qs;
    QTest::newRow("near with a report") << QStringList { u"--near"_qs, u"LFPG"_qs, u"--report"_qs, u"metar"_qs,
        u"LFPG"_qs } << 2 << -1 << u"^$"_qs
                                        << u"ne vont pas ensemble"_qs;
}

void TestStationLists::commandLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(int, stations);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QProcess process;
    process.start(QStringLiteral(VENTORIX_EXECUTABLE), arguments);
    QVERIFY(process.waitForFinished(20000));
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY2(QRegularExpression(out).match(output).hasMatch(), qPrintable(output));
    QVERIFY2(err.isEmpty() ? errors.isEmpty() : errors.contains(err), qPrintable(errors));
    if (stations >= 0) {
        const bool json = output.startsWith(u'[');
        QCOMPARE(json ? QJsonDocument::fromJson(output.toUtf8()).array().size() : output.count(u'\n'), stations);
    }
}

void TestStationLists::nearbyListRequestsTheChosenStation()
{
    WindowFixture fixture;
    for (const QString& code : { u"LFPG"_qs, u"LFPB"_qs, u"LFPO"_qs })
        fixture.serveMetar(code, readFixture(u"metar/LFPG.TXT"_qs));
    fixture.settings.write(u"data"_qs, u"last"_qs, u"LFPG"_qs);
    MainWindow& w = fixture.window();
    w.start();
    part<RefreshTimer>(w).stop();
    auto* nearby = control<QTreeWidget>(w, u"nearbyList"_qs);

    // A click on a row shows that station's report, as a choice in any list does.
    QTest::mouseClick(control<QPushButton>(w, u"nearbyButton"_qs), Qt::LeftButton);
    QVERIFY(nearby->isVisible());
    QCOMPARE(nearby->topLevelItemCount(), 10);
    const QTreeWidgetItem* second = nearby->topLevelItem(1);
    QCOMPARE(second->text(0), u"LFPO"_qs);
    QTest::mouseClick(nearby->viewport(), Qt::LeftButton, {}, nearby->visualItemRect(second).center());
    QVERIFY(!nearby->isVisible());
    QCOMPARE(fixture.server.requests().constLast(), metarPath(u"LFPO"_qs));
    QCOMPARE(control<QLabel>(w, u"stationCode"_qs)->text(), u"LFPO"_qs);

    // From LFPO, Enter on the first row goes to its nearest station.
    QTest::mouseClick(control<QPushButton>(w, u"nearbyButton"_qs), Qt::LeftButton);
    QCOMPARE(nearby->currentItem()->text(0), nearby->topLevelItem(0)->text(0));
    const QString nearest = nearby->topLevelItem(0)->text(0);
    QTest::keyClick(nearby, Qt::Key_Return);
    QCOMPARE(fixture.server.requests().constLast(), metarPath(nearest));
}

void TestStationLists::typingOffersStationsByName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("offered"); // the first rows of the offered list
    QTest::addColumn<bool>("keepsFocus"); // the box keeps the focus, for more to be typed
    QTest::addColumn<QString>("requested"); // by a click on the first row; "" for none

    QTest::newRow("a city") << u"toulouse"_qs
                            << QStringList { u"LFBF  Toulouse (France) — Toulouse-Francazal (BA 101) Air Base"_qs,
                                   u"LFBO  Toulouse (France) — Toulouse-Blagnac Airport"_qs }
                            << true << u"LFBF"_qs;
    QTest::newRow("an aerodrome, without accents")
        << u"st etienne bouth"_qs << QStringList { u"LFMH  Saint-Etienne (France) — Saint-Étienne-Bouthéon Airport"_qs }
        << true << u"LFMH"_qs;
    QTest::newRow("a code goes on to Rechercher")
        << u"lfpg"_qs << QStringList { u"LFPG  Paris (France) — Charles de Gaulle International Airport"_qs } << false
        << u"LFPG"_qs;
    QTest::newRow("nothing") << u"qqz"_qs << QStringList { u"Aucune station trouvée"_qs } << true << QString();
}

void TestStationLists::typingOffersStationsByName()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    QFETCH(bool, keepsFocus);
    QFETCH(QString, requested);
    WindowFixture fixture;
    fixture.serveMetar(u"LFPG"_qs, readFixture(u"metar/LFPG.TXT"_qs));
    MainWindow& w = fixture.window();
    w.start();
    part<RefreshTimer>(w).stop();
    w.activateWindow();
    auto* box = control<QLineEdit>(w, u"codeSearchEdit"_qs);
    auto* offer = control<QListView>(w, u"stationOfferList"_qs);
    box->setFocus();
    QTest::keyClicks(box, typed);

    QVERIFY(offer->isVisible());
    QStringList rows;
    for (int row = 0; row < std::min<int>(offer->model()->rowCount(), offered.size() + 1); ++row)
        rows.append(offer->model()->index(row, 0).data().toString());
    QCOMPARE(rows, offered);
    QCOMPARE(w.focusWidget() == box, keepsFocus);
    const qsizetype asked = fixture.server.requests().size();
    QTest::mouseClick(offer->viewport(), Qt::LeftButton, {}, offer->visualRect(offer->model()->index(0, 0)).center());
    QCOMPARE(fixture.server.requests().size(), asked + (requested.isEmpty() ? 0 : 1));
    if (!requested.isEmpty())
        QCOMPARE(fixture.server.requests().constLast(), metarPath(requested));
    QCOMPARE(offer->isVisible(), requested.isEmpty());
}

QTEST_MAIN(TestStationLists)
#include "TestStationLists.moc"
