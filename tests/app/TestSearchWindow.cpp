// The search region of the real window, driven by clicks and key presses after the
// window's own start-up: the code lists, the code search and the country and city browser.
#include "reports/RefreshTimer.h"
#include "stations/StationTable.h"
#include "support/WindowFixture.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QString metarPath(const QString& code)
{
    return u"/data/observations/metar/decoded/"_s + code + u".TXT"_s;
}

// A window after its start-up: the station table filled, EGLL the current code (so a request for LFPG shows
// in the station code), the refresh timer stopped so no tick touches its count or the station tip during a
// test.
struct LoadedWindow : WindowFixture
{
    LoadedWindow()
    {
        serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
        serveMetar(u"EGLL"_s, readFixture(u"metar/EGLL.TXT"_s));
        settings.write(u"data"_s, u"last"_s, u"EGLL"_s);
        window().start();
        part<RefreshTimer>(window()).stop();
        m_seen = server.requests().size();
    }

    /// The requests the server got since the last call (or since start-up).
    QStringList newRequests()
    {
        const QStringList fresh = server.requests().mid(m_seen);
        m_seen = server.requests().size();
        return fresh;
    }

private:
    qsizetype m_seen = 0;
};

QStringList itemsOf(const QAbstractItemView* list)
{
    QStringList items;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        items.append(list->model()->index(i, 0).data().toString());
    return items;
}

// The @p occurrence-th item whose text is exactly @p text (case and trailing spaces included).
QModelIndex itemOf(const QAbstractItemView* list, const QString& text, int occurrence = 0)
{
    const QStringList items = itemsOf(list);
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i) == text && occurrence-- == 0)
            return list->model()->index(i, 0);
    }
    return {};
}

// Clicks the item as the user does: scrolled into view, pressed and released on it.
bool clickItem(QAbstractItemView* list, const QString& text, int occurrence = 0)
{
    const QModelIndex item = itemOf(list, text, occurrence);
    if (!item.isValid() || !list->isVisible())
        return false;
    list->scrollTo(item);
    const QRect rect = list->visualRect(item);
    if (!list->viewport()->rect().contains(rect.center()))
        return false;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    return list->currentIndex() == item;
}

// Whether @p widget is what the user sees at its own centre (nothing of its siblings lies over it there).
bool inFront(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    const QWidget* hit = parent->childAt(widget->geometry().center());
    return hit && (hit == widget || widget->isAncestorOf(hit));
}

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void search_data();
    void search();
    void searchResultClick();
    void codeListClick_data();
    void codeListClick();
    void focusMovesOnTheFourthCharacter();
    void codeListChoice();

    void browserOpensAndCloses();
    void browserTogglesWhileTheWindowIsHidden();
    void countryAndCityWithSeveralCodes_data();
    void countryAndCityWithSeveralCodes();
    void cityWithOneCodeRequestsIt();
    void anotherCountryHidesTheCodes();
    void codeChoiceRequestsAndHides();
};

// ---- Purpose: Rechercher cleans the query, lists matches A-K first, and requests a single match at once ----

void TestSearchWindow::search_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("query"); // the code box afterwards
    QTest::addColumn<int>("count");
    QTest::newRow("lf") << u"lf"_s << u"LF"_s << 124;
    QTest::newRow("lf with spaces around") << u"  lf "_s << u"LF"_s << 124;
    QTest::newRow("one match: lfpg") << u"lfpg"_s << u"LFPG"_s << 1;
    QTest::newRow("empty") << QString() << QString() << 6994;
    QTest::newRow("only spaces") << u"   "_s << QString() << 6994;
    QTest::newRow("inner space") << u"LF PG"_s << u"LF PG"_s << 0;
    QTest::newRow("longer than four") << u"LFPGX"_s << u"LFPGX"_s << 0;
    QTest::newRow("digits") << u"k0r"_s << u"K0R"_s << 3;
    QTest::newRow("one match with digits") << u"k0r3"_s << u"K0R3"_s << 1;
}

void TestSearchWindow::search()
{
    QFETCH(QString, typed);
    QFETCH(QString, query);
    QFETCH(int, count);
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    auto* codeSearchEdit = control<QLineEdit>(w, u"codeSearchEdit"_s);
    auto* searchButton = control<QPushButton>(w, u"searchButton"_s);
    auto* searchResults = control<QListView>(w, u"searchResultsList"_s);
    auto* stationTip = control<QFrame>(w, u"stationTip"_s);
    auto* stationTipText = control<QLabel>(w, u"stationTipText"_s);
    auto* stationCode = control<QLabel>(w, u"stationCode"_s);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    const Stations::StationData data = Stations::loadEmbeddedData();

    codeSearchEdit->setText(typed);
    refreshTimer.setTicksSinceRefresh(0);
    QTest::mouseClick(searchButton, Qt::LeftButton);

    QCOMPARE(refreshTimer.ticksSinceRefresh(), 15);
    QCOMPARE(codeSearchEdit->text(), query);
    const QStringList found = itemsOf(searchResults);
    QCOMPARE(found.size(), count);
    QCOMPARE(found, Stations::searchCodes(data.codesAToK, data.codesLToZ, query));
    if (query == u"LF"_s) {
        QCOMPARE(found.first(), u"EGLF"_s); // A-K codes first, then L-Z, each in list order
        QCOMPARE(found.at(8), u"KOLF"_s);
        QCOMPARE(found.at(9), u"LFAC"_s);
    }
    QVERIFY(!stationTip->isVisible());
    QVERIFY(stationTipText->text().isEmpty());
    if (count == 1) {
        // Requested at once, without a click: the item is not selected and the tip's text is not touched.
        QCOMPARE(fixture.newRequests(), QStringList { metarPath(found.first()) });
        QVERIFY(!searchResults->currentIndex().isValid());
        if (query == u"LFPG"_s)
            QCOMPARE(stationCode->text(), u"LFPG"_s);
    } else {
        QVERIFY(fixture.newRequests().isEmpty());
        QCOMPARE(stationCode->text(), u"EGLL"_s);
    }

    // The next search replaces the results.
    codeSearchEdit->setText(u"EGLL"_s);
    QTest::mouseClick(searchButton, Qt::LeftButton);
    QCOMPARE(itemsOf(searchResults), QStringList { u"EGLL"_s });
}

void TestSearchWindow::searchResultClick()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    auto* codeSearchEdit = control<QLineEdit>(w, u"codeSearchEdit"_s);
    auto* searchButton = control<QPushButton>(w, u"searchButton"_s);
    auto* searchResults = control<QListView>(w, u"searchResultsList"_s);
    auto* stationTip = control<QFrame>(w, u"stationTip"_s);
    auto* stationTipText = control<QLabel>(w, u"stationTipText"_s);
    auto* stationCode = control<QLabel>(w, u"stationCode"_s);
    auto* secondFavourite = control<QLabel>(w, u"favouriteSlot1"_s);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    codeSearchEdit->setText(u"lf"_s);
    QTest::mouseClick(searchButton, Qt::LeftButton);
    stationTipText->setText(u"stale"_s);
    refreshTimer.setTicksSinceRefresh(0);

    QVERIFY(clickItem(searchResults, u"LFPG"_s));
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 15);
    QCOMPARE(stationTipText->text(), u"Paris (France)"_s);
    // LFPG went into the favourites bar, and adding a favourite hides the tip.
    QCOMPARE(secondFavourite->text(), u"LFPG"_s);
    QVERIFY(!stationTip->isVisible());
    QCOMPARE(fixture.newRequests(), QStringList { metarPath(u"LFPG"_s) });
    QCOMPARE(stationCode->text(), u"LFPG"_s);
    QCOMPARE(searchResults->model()->rowCount(), 124); // the results stay

    QVERIFY(clickItem(searchResults, u"LFPB"_s)); // no report served: no favourite added, the tip stays
    QVERIFY(stationTip->isVisible());
    QCOMPARE(stationTipText->text(), u"Paris (France)"_s);
    QCOMPARE(fixture.newRequests(), QStringList { metarPath(u"LFPB"_s) });

    QVERIFY(clickItem(searchResults, u"KMLF"_s)); // listed, no entry
    QVERIFY(stationTip->isVisible());
    QCOMPARE(stationTipText->text(), QString());
    QCOMPARE(fixture.newRequests(), QStringList { metarPath(u"KMLF"_s) });
}

// ---- Purpose: a click in a code list shows the description (or nothing) in the station tip and requests the code ----

void TestSearchWindow::codeListClick_data()
{
    QTest::addColumn<bool>("lToZ"); // in the L to Z half of the codes
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("description");
    QTest::newRow("ATAR: listed, no entry") << false << u"ATAR"_s << QString();
    QTest::newRow("AZUH: listed, no entry") << false << u"AZUH"_s << QString();
    QTest::newRow("KJFK") << false << u"KJFK"_s << u"New York (USA)"_s;
    QTest::newRow("LFPG") << true << u"LFPG"_s << u"Paris (France)"_s;
    QTest::newRow("SAEZ: trailing-space country") << true << u"SAEZ"_s << u"Buenos Aires (Argentina )"_s;
}

void TestSearchWindow::codeListClick()
{
    QFETCH(bool, lToZ);
    QFETCH(QString, code);
    QFETCH(QString, description);
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    auto* codeList = control<QListView>(w, lToZ ? u"codesLToZList"_s : u"codesAToKList"_s);
    auto* stationTip = control<QFrame>(w, u"stationTip"_s);
    auto* stationTipText = control<QLabel>(w, u"stationTipText"_s);
    auto* secondFavourite = control<QLabel>(w, u"favouriteSlot1"_s);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    if (lToZ)
        QTest::mouseClick(control<QRadioButton>(w, u"codesLToZButton"_s), Qt::LeftButton);
    stationTipText->setText(u"stale"_s);
    refreshTimer.setTicksSinceRefresh(0);

    QVERIFY(clickItem(codeList, code));
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 15);
    QCOMPARE(stationTipText->text(), description);
    QCOMPARE(fixture.newRequests(), QStringList { metarPath(code) });
    // A code whose report arrives goes into the favourites, which hides the tip; a code already
    // there, or one whose download fails, leaves the tip shown.
    const bool added = secondFavourite->text() == code;
    QCOMPARE(stationTip->isVisible(), !added);
    if (added) {
        QVERIFY(clickItem(codeList, code)); // the same code again: already a favourite
        QVERIFY(stationTip->isVisible());
        QCOMPARE(stationTipText->text(), description);
        QCOMPARE(fixture.newRequests(), QStringList { metarPath(code) });
    }
}

// ---- Purpose: typing in the code box moves the focus to Rechercher on the fourth character, not before ----

void TestSearchWindow::focusMovesOnTheFourthCharacter()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    auto* codeSearchEdit = control<QLineEdit>(w, u"codeSearchEdit"_s);
    auto* searchButton = control<QPushButton>(w, u"searchButton"_s);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    w.activateWindow();
    codeSearchEdit->setFocus();
    QCOMPARE(w.focusWidget(), codeSearchEdit);
    for (const QString& typed : { u"L"_s, u"F"_s, u"P"_s }) {
        refreshTimer.setTicksSinceRefresh(0);
        QTest::keyClicks(codeSearchEdit, typed);
        QCOMPARE(refreshTimer.ticksSinceRefresh(), 15);
        QCOMPARE(w.focusWidget(), codeSearchEdit);
    }
    QCOMPARE(codeSearchEdit->text(), u"LFP"_s);
    QTest::keyClicks(codeSearchEdit, u"G"_s);
    QCOMPARE(codeSearchEdit->text(), u"LFPG"_s);
    QCOMPARE(w.focusWidget(), searchButton);
    QVERIFY(fixture.newRequests().isEmpty()); // typing alone requests nothing

    // A text that arrives whole (pasted) moves it too; a shorter one does not.
    codeSearchEdit->setFocus();
    codeSearchEdit->setText(u"abc"_s);
    QCOMPARE(w.focusWidget(), codeSearchEdit);
    codeSearchEdit->setText(u"abcde"_s);
    QCOMPARE(w.focusWidget(), searchButton);
}

// ---- Purpose: "L --> Z" then "A --> K" leaves both lists shown, A-K in front, each keeping its selection ----

void TestSearchWindow::codeListChoice()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    QListView* const aToK = control<QListView>(w, u"codesAToKList"_s);
    QListView* const lToZ = control<QListView>(w, u"codesLToZList"_s);
    auto* aToKButton = control<QRadioButton>(w, u"codesAToKButton"_s);
    auto* lToZButton = control<QRadioButton>(w, u"codesLToZButton"_s);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    QVERIFY(aToK->isVisible());
    QVERIFY(!lToZ->isVisible());
    QVERIFY(inFront(aToK));
    QCOMPARE(aToK->model()->rowCount(), 4151);
    aToK->setCurrentIndex(aToK->model()->index(10, 0));

    refreshTimer.setTicksSinceRefresh(0);
    QTest::mouseClick(lToZButton, Qt::LeftButton);
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 15);
    QVERIFY(lToZButton->isChecked());
    QVERIFY(lToZ->isVisible());
    QVERIFY(aToK->isVisible());
    QVERIFY(inFront(lToZ));
    QCOMPARE(lToZ->model()->rowCount(), 2843); // filled when first shown
    lToZ->setCurrentIndex(lToZ->model()->index(20, 0));

    refreshTimer.setTicksSinceRefresh(0);
    QTest::mouseClick(aToKButton, Qt::LeftButton);
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 15);
    QVERIFY(aToKButton->isChecked());
    QVERIFY(aToK->isVisible());
    QVERIFY(lToZ->isVisible()); // behind, not hidden
    QVERIFY(inFront(aToK));
    const QObjectList& siblings = aToK->parentWidget()->children();
    QVERIFY(siblings.indexOf(aToK) > siblings.indexOf(lToZ)); // later child = drawn over
    QCOMPARE(aToK->geometry(), lToZ->geometry());
    QCOMPARE(aToK->currentIndex().row(), 10);
    QCOMPARE(lToZ->currentIndex().row(), 20);
    QVERIFY(fixture.newRequests().isEmpty());
}

// ---- Purpose: the browser button opens the browser with 229 countries, closes it, and reopens it rebuilt ----

void TestSearchWindow::browserOpensAndCloses()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    auto* browserButton = control<QPushButton>(w, u"browserButton"_s);
    auto* stationBrowser = control<QFrame>(w, u"stationBrowser"_s);
    auto* countryList = control<QListWidget>(w, u"countryList"_s);
    auto* cityList = control<QListWidget>(w, u"cityList"_s);
    auto* cityCodeList = control<QListWidget>(w, u"cityCodeList"_s);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    QCOMPARE(browserButton->text(), u"Ville / Pays"_s);
    QVERIFY(!stationBrowser->isVisible());

    refreshTimer.setTicksSinceRefresh(0);
    QTest::mouseClick(browserButton, Qt::LeftButton);
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 15);
    QVERIFY(stationBrowser->isVisible());
    QVERIFY(inFront(stationBrowser));
    QCOMPARE(browserButton->text(), u"OACI"_s);
    QCOMPARE(countryList->count(), 229);
    QCOMPARE(countryList->item(0)->text(), u"Afghanistan"_s);
    QCOMPARE(countryList->item(228)->text(), u"Zimbabwe"_s);
    QVERIFY(!cityCodeList->isVisible());
    QVERIFY(clickItem(countryList, u"Alaska"_s));
    QCOMPARE(cityList->count(), 98);

    refreshTimer.setTicksSinceRefresh(0);
    QTest::mouseClick(browserButton, Qt::LeftButton);
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 15);
    QVERIFY(!stationBrowser->isVisible());
    QCOMPARE(browserButton->text(), u"Ville / Pays"_s);

    QTest::mouseClick(browserButton, Qt::LeftButton);
    QVERIFY(stationBrowser->isVisible());
    QCOMPARE(browserButton->text(), u"OACI"_s);
    QCOMPARE(countryList->count(), 229); // rebuilt from scratch, not appended to
    QVERIFY(!countryList->currentItem()); // which drops its selection
    QCOMPARE(cityList->count(), 98); // the city list keeps its content
    QVERIFY(fixture.newRequests().isEmpty());
}

void TestSearchWindow::browserTogglesWhileTheWindowIsHidden()
{
    // The toggle follows the browser's own visibility, not whether the window happens to be on screen.
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    auto* browserButton = control<QPushButton>(w, u"browserButton"_s);
    auto* stationBrowser = control<QFrame>(w, u"stationBrowser"_s);
    auto* countryList = control<QListWidget>(w, u"countryList"_s);
    w.hide();
    browserButton->click();
    QVERIFY(!stationBrowser->isHidden());
    QCOMPARE(browserButton->text(), u"OACI"_s);
    QCOMPARE(countryList->count(), 229);
    browserButton->click();
    QVERIFY(stationBrowser->isHidden());
    QCOMPARE(browserButton->text(), u"Ville / Pays"_s);
}

// ---- Purpose: a country lists one city per entry; a city with several codes shows them in the city code list ----

void TestSearchWindow::countryAndCityWithSeveralCodes_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<int>("cities");
    QTest::addColumn<QString>("city");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("Alaska, Anchorage") << u"Alaska"_s << 98 << u"Anchorage"_s
                                       << QStringList { u"PAED"_s, u"PAMR"_s, u"PANC"_s };
    QTest::newRow("France, Paris") << u"France"_s << 102 << u"Paris"_s
                                   << QStringList { u"LFPB"_s, u"LFPG"_s, u"LFPO"_s };
    QTest::newRow("USA, Paris") << u"USA"_s << 1290 << u"Paris"_s << QStringList { u"KPHT"_s, u"KPRG"_s, u"KPRX"_s };
    QTest::newRow("Argentina with its space, Buenos Aires")
        << u"Argentina "_s << 26 << u"Buenos Aires"_s << QStringList { u"SABE"_s, u"SAEZ"_s };
}

void TestSearchWindow::countryAndCityWithSeveralCodes()
{
    QFETCH(QString, country);
    QFETCH(int, cities);
    QFETCH(QString, city);
    QFETCH(QStringList, codes);
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    auto* countryList = control<QListWidget>(w, u"countryList"_s);
    auto* cityList = control<QListWidget>(w, u"cityList"_s);
    auto* cityCodeList = control<QListWidget>(w, u"cityCodeList"_s);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    Stations::StationTable stations;
    Stations::fillFromEmbeddedData(stations);
    QTest::mouseClick(control<QPushButton>(w, u"browserButton"_s), Qt::LeftButton);

    refreshTimer.setTicksSinceRefresh(0);
    QVERIFY(clickItem(countryList, country));
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 15);
    QCOMPARE(cityList->count(), cities);
    QCOMPARE(itemsOf(cityList), Stations::citiesOf(stations, country));
    QCOMPARE(cityList->findItems(city, Qt::MatchExactly).size(), 1); // once, whatever its codes
    QVERIFY(!cityCodeList->isVisible());

    refreshTimer.setTicksSinceRefresh(0);
    QVERIFY(clickItem(cityList, city));
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 15);
    QVERIFY(cityCodeList->isVisible());
    QCOMPARE(itemsOf(cityCodeList), codes);
    QVERIFY(fixture.newRequests().isEmpty());

    // The same city again rebuilds the city code list rather than adding to it.
    QVERIFY(clickItem(cityList, city, 0));
    QCOMPARE(itemsOf(cityCodeList), codes);
}

// ---- Purpose: a city with one code requests it at once and leaves the city code list hidden ----

void TestSearchWindow::cityWithOneCodeRequestsIt()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    auto* countryList = control<QListWidget>(w, u"countryList"_s);
    auto* cityList = control<QListWidget>(w, u"cityList"_s);
    auto* cityCodeList = control<QListWidget>(w, u"cityCodeList"_s);
    QTest::mouseClick(control<QPushButton>(w, u"browserButton"_s), Qt::LeftButton);
    QVERIFY(clickItem(countryList, u"France"_s));
    QCOMPARE(cityList->count(), 102);
    QVERIFY(clickItem(cityList, u"Abbeville"_s));
    QCOMPARE(fixture.newRequests(), QStringList { metarPath(u"LFOI"_s) });
    QVERIFY(!cityCodeList->isVisible());
    QCOMPARE(itemsOf(cityCodeList), QStringList { u"LFOI"_s });
}

// ---- Purpose: choosing another country while the codes are shown hides them ----

void TestSearchWindow::anotherCountryHidesTheCodes()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    auto* browserButton = control<QPushButton>(w, u"browserButton"_s);
    auto* countryList = control<QListWidget>(w, u"countryList"_s);
    auto* cityList = control<QListWidget>(w, u"cityList"_s);
    auto* cityCodeList = control<QListWidget>(w, u"cityCodeList"_s);
    Stations::StationTable stations;
    Stations::fillFromEmbeddedData(stations);
    QTest::mouseClick(browserButton, Qt::LeftButton);
    QVERIFY(clickItem(countryList, u"France"_s));
    QVERIFY(clickItem(cityList, u"Paris"_s));
    QVERIFY(cityCodeList->isVisible());

    QVERIFY(clickItem(countryList, u"Alaska"_s));
    QVERIFY(!cityCodeList->isVisible());
    QCOMPARE(cityList->count(), 98);
    QCOMPARE(cityList->item(0)->text(), Stations::citiesOf(stations, u"Alaska"_s).first());

    // Closing and reopening the browser keeps the city code list as it was until the next choice.
    QVERIFY(clickItem(cityList, u"Anchorage"_s));
    QTest::mouseClick(browserButton, Qt::LeftButton);
    QTest::mouseClick(browserButton, Qt::LeftButton);
    QVERIFY(cityCodeList->isVisible());
    QCOMPARE(cityCodeList->count(), 3);
}

// ---- Purpose: a code chosen in the city code list is requested, the list hides, the refresh count is left alone ----

void TestSearchWindow::codeChoiceRequestsAndHides()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    auto* countryList = control<QListWidget>(w, u"countryList"_s);
    auto* cityList = control<QListWidget>(w, u"cityList"_s);
    auto* cityCodeList = control<QListWidget>(w, u"cityCodeList"_s);
    auto* stationCode = control<QLabel>(w, u"stationCode"_s);
    auto* stationTip = control<QFrame>(w, u"stationTip"_s);
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    QTest::mouseClick(control<QPushButton>(w, u"browserButton"_s), Qt::LeftButton);
    QVERIFY(clickItem(countryList, u"France"_s));
    QVERIFY(clickItem(cityList, u"Paris"_s));
    QCOMPARE(stationCode->text(), u"EGLL"_s);

    refreshTimer.setTicksSinceRefresh(3);
    QVERIFY(clickItem(cityCodeList, u"LFPG"_s));
    QCOMPARE(fixture.newRequests(), QStringList { metarPath(u"LFPG"_s) });
    QCOMPARE(stationCode->text(), u"LFPG"_s);
    QVERIFY(!cityCodeList->isVisible());
    QCOMPARE(refreshTimer.ticksSinceRefresh(), 3);
    QVERIFY(!stationTip->isVisible()); // the browser shows no description
}

QTEST_MAIN(TestSearchWindow)
#include "TestSearchWindow.moc"
