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

using namespace Qt::StringLiterals;

namespace {

QString metarPath(const QString& code)
{
    return u"/data/observations/metar/decoded/"_s + code + u".TXT"_s;
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
        << QStringList { u"--near"_s, u"lfpg"_s } << 0 << 10
        << uR"(^\[\s+\{\s+"bearingDeg": 239,\s+"city": "Paris",\s+"code": "LFPB",\s+"country": "France",\s+)"
           uR"("distanceKm": 9.3,\s+"distanceNm": 5,\s+"name": "Paris-Le Bourget Airport"\s+\},\s+\{)"_s
        << QString();
    QTest::newRow("near in text, nearest first")
        << QStringList { u"--near"_s, u"LFPG"_s, u"--format"_s, u"text"_s } << 0 << 10
        << u"^LFPB  9,3 km \\(5,0 NM\\)  au 239°  Paris \\(France\\) — Paris-Le Bourget Airport\n"
           u"LFPO  34,5 km \\(18,6 NM\\)  au 201°  Paris \\(France\\) — Paris-Orly Airport\n"_s
        << QString();
    QTest::newRow("near, no aerodrome name")
        << QStringList { u"--near=LFPG"_s, u"--format=text"_s } << 0 << 10
        << u"\nLFAQ  107,1 km \\(57,8 NM\\)  au 006°  Albert \\(France\\)\n"_s << QString();
    QTest::newRow("near a station without position") << QStringList { u"--near"_s, u"OACC"_s } << 2 << -1 << u"^$"_s
                                                     << u"la position de la station OACC n'est pas connue"_s;
    QTest::newRow("near an unknown code") << QStringList { u"--near"_s, u"ZZZZ"_s, u"--format"_s, u"text"_s } << 2 << -1
                                          << u"^$"_s << u"station inconnue : ZZZZ"_s;
    QTest::newRow("near without code") << QStringList { u"--near"_s } << 2 << -1 << u"^$"_s << u"--help"_s;
    QTest::newRow("near as a PDF") << QStringList { u"--near"_s, u"LFPG"_s, u"--format"_s, u"pdf"_s } << 2 << -1
                                   << u"^$"_s << u"(json ou text)"_s;
    QTest::newRow("search by aerodrome name")
        << QStringList { u"--search"_s, u"ORLY"_s } << 0 << 1
        << uR"("city": "Paris",\s+"code": "LFPO",\s+"country": "France",\s+"name": "Paris-Orly Airport")"_s
        << QString();
    QTest::newRow("search with accents and punctuation")
        << QStringList { u"--search"_s, u"ST-ÉTIENNE"_s, u"--format"_s, u"text"_s } << 0 << 2
        << u"^LFMH  Saint-Etienne \\(France\\) — Saint-Étienne-Bouthéon Airport\nLFLS  "_s << QString();
    QTest::newRow("search ranks codes first") << QStringList { u"--search"_s, u"lfp"_s, u"--format"_s, u"text"_s } << 0
                                              << -1 << u"^(LFP\\w  [^\n]+\n)+[^L]"_s << QString();
    QTest::newRow("search finding nothing") << QStringList { u"--search"_s, u"qqzz"_s, u"--format"_s, u"text"_s } << 0
                                            << -1 << u"^Aucune station trouvée\n$"_s << QString();
    QTest::newRow("search finding nothing in JSON")
        << QStringList { u"--search"_s, u"qqzz"_s } << 0 << 0 << u"^\\[\\s*\\]\\s*$"_s << QString();
    QTest::newRow("search for nothing") << QStringList { u"--search"_s, u" "_s } << 2 << -1 << u"^$"_s
                                        << u"l'option --search attend un texte"_s;
    QTest::newRow("search with an output file") << QStringList { u"--search"_s, u"paris"_s, u"--output"_s, u"/tmp/x"_s }
                                                << 2 << -1 << u"^$"_s << u"vont avec --report"_s;
    QTest::newRow("near with a report") << QStringList { u"--near"_s, u"LFPG"_s, u"--report"_s, u"metar"_s, u"LFPG"_s }
                                        << 2 << -1 << u"^$"_s << u"ne vont pas ensemble"_s;
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
    for (const QString& code : { u"LFPG"_s, u"LFPB"_s, u"LFPO"_s })
        fixture.serveMetar(code, readFixture(u"metar/LFPG.TXT"_s));
    fixture.settings.write(u"data"_s, u"last"_s, u"LFPG"_s);
    MainWindow& w = fixture.window();
    w.start();
    part<RefreshTimer>(w).stop();

    // A click on a row shows that station's report, as a choice in any list does.
    QTest::mouseClick(control<QPushButton>(w, u"nearbyButton"_s), Qt::LeftButton);
    auto* nearby = control<QTreeWidget>(w, u"nearbyList"_s);
    QVERIFY(nearby->isVisible());
    QCOMPARE(nearby->topLevelItemCount(), 10);
    const QTreeWidgetItem* second = nearby->topLevelItem(1);
    QCOMPARE(second->text(0), u"LFPO"_s);
    QTest::mouseClick(nearby->viewport(), Qt::LeftButton, {}, nearby->visualItemRect(second).center());
    QVERIFY(!nearby->isVisible());
    QCOMPARE(fixture.server.requests().constLast(), metarPath(u"LFPO"_s));
    QCOMPARE(control<QLabel>(w, u"stationCode"_s)->text(), u"LFPO"_s);

    // From LFPO, Enter on the first row goes to its nearest station.
    QTest::mouseClick(control<QPushButton>(w, u"nearbyButton"_s), Qt::LeftButton);
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

    QTest::newRow("a city") << u"toulouse"_s
                            << QStringList { u"LFBF  Toulouse (France) — Toulouse-Francazal (BA 101) Air Base"_s,
                                   u"LFBO  Toulouse (France) — Toulouse-Blagnac Airport"_s }
                            << true << u"LFBF"_s;
    QTest::newRow("an aerodrome, without accents")
        << u"st etienne bouth"_s << QStringList { u"LFMH  Saint-Etienne (France) — Saint-Étienne-Bouthéon Airport"_s }
        << true << u"LFMH"_s;
    QTest::newRow("a code goes on to Rechercher")
        << u"lfpg"_s << QStringList { u"LFPG  Paris (France) — Charles de Gaulle International Airport"_s } << false
        << u"LFPG"_s;
    QTest::newRow("nothing") << u"qqz"_s << QStringList { u"Aucune station trouvée"_s } << true << QString();
}

void TestStationLists::typingOffersStationsByName()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    QFETCH(bool, keepsFocus);
    QFETCH(QString, requested);
    WindowFixture fixture;
    fixture.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    MainWindow& w = fixture.window();
    w.start();
    part<RefreshTimer>(w).stop();
    w.activateWindow();
    auto* box = control<QLineEdit>(w, u"codeSearchEdit"_s);
    auto* offer = control<QListView>(w, u"stationOfferList"_s);
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
