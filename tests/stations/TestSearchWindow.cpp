// The search region of the real window, driven by clicks and key presses after the
// window's own start-up: the code lists, the code search and the country and city browser.
#include "support/WindowFixture.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

QString metarPath(const QString& code)
{
    return u"/data/observations/metar/decoded/"_qs + code + u".TXT"_qs;
}

// A window after Form_Load: the station table filled, EGLL the current code (so a request for LFPG shows in
// Label2), the timer stopped so no tick touches Compteur or Frame4 during a test.
struct LoadedWindow : WindowFixture
{
    LoadedWindow()
    {
        serveMetar(u"LFPG"_qs, readFixture(u"metar/LFPG.TXT"_qs));
        serveMetar(u"EGLL"_qs, readFixture(u"metar/EGLL.TXT"_qs));
        settings.write(u"data"_qs, u"last"_qs, u"EGLL"_qs);
        window().Form_Load();
        window().Timer1->stop();
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

QStringList itemsOf(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

// The @p occurrence-th item whose text is exactly @p text (case and trailing spaces included).
QListWidgetItem* itemOf(const QListWidget* list, const QString& text, int occurrence = 0)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == text && occurrence-- == 0)
            return list->item(i);
    }
    return nullptr;
}

// Clicks the item as the user does: scrolled into view, pressed and released on it.
bool clickItem(QListWidget* list, const QString& text, int occurrence = 0)
{
    QListWidgetItem* item = itemOf(list, text, occurrence);
    if (!item || !list->isVisible())
        return false;
    list->scrollToItem(item);
    const QRect rect = list->visualItemRect(item);
    if (!list->viewport()->rect().contains(rect.center()))
        return false;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    return list->currentItem() == item;
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
    QTest::addColumn<QString>("query"); // Text1 afterwards
    QTest::addColumn<int>("count");
    QTest::newRow("lf") << u"lf"_qs << u"LF"_qs << 124;
    QTest::newRow("lf with spaces around") << u"  lf "_qs << u"LF"_qs << 124;
    QTest::newRow("one match: lfpg") << u"lfpg"_qs << u"LFPG"_qs << 1;
    QTest::newRow("empty") << QString() << QString() << 6994;
    QTest::newRow("only spaces") << u"   "_qs << QString() << 6994;
    QTest::newRow("inner space") << u"LF PG"_qs << u"LF PG"_qs << 0;
    QTest::newRow("longer than four") << u"LFPGX"_qs << u"LFPGX"_qs << 0;
    QTest::newRow("digits") << u"k0r"_qs << u"K0R"_qs << 3;
    QTest::newRow("one match with digits") << u"k0r3"_qs << u"K0R3"_qs << 1;
}

void TestSearchWindow::search()
{
    QFETCH(QString, typed);
    QFETCH(QString, query);
    QFETCH(int, count);
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    const Stations::StationData data = Stations::LoadEmbeddedStationData();

    w.Text1->setText(typed);
    w.Compteur = 0;
    QTest::mouseClick(w.Command1, Qt::LeftButton);

    QCOMPARE(w.Compteur, qint16(15));
    QCOMPARE(w.Text1->text(), query);
    const QStringList found = itemsOf(w.List2);
    QCOMPARE(found.size(), count);
    QCOMPARE(found, Stations::SearchCodes(data.codesAToK, data.codesLToZ, query));
    if (query == u"LF"_qs) {
        QCOMPARE(found.first(), u"EGLF"_qs); // A-K codes first, then L-Z, each in list order
        QCOMPARE(found.at(8), u"KOLF"_qs);
        QCOMPARE(found.at(9), u"LFAC"_qs);
    }
    QVERIFY(!w.Frame4->isVisible());
    QVERIFY(w.Label9->text().isEmpty());
    if (count == 1) {
        // Requested at once, without a click: the item is not selected and Label9 is not touched.
        QCOMPARE(fixture.newRequests(), QStringList{metarPath(found.first())});
        QVERIFY(!w.List2->currentItem());
        if (query == u"LFPG"_qs)
            QCOMPARE(w.Label2->text(), u"LFPG"_qs);
    } else {
        QVERIFY(fixture.newRequests().isEmpty());
        QCOMPARE(w.Label2->text(), u"EGLL"_qs);
    }

    // The next search replaces the results.
    w.Text1->setText(u"EGLL"_qs);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(itemsOf(w.List2), QStringList{u"EGLL"_qs});
}

void TestSearchWindow::searchResultClick()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    w.Text1->setText(u"lf"_qs);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    w.Label9->setText(u"stale"_qs);
    w.Compteur = 0;

    QVERIFY(clickItem(w.List2, u"LFPG"_qs));
    QCOMPARE(w.Compteur, qint16(15));
    QCOMPARE(w.Label9->text(), u"Paris (France)"_qs);
    // LFPG went into the favourites bar, and adding a favourite hides the tip (AddFavourite).
    QCOMPARE(w.Fav[1]->text(), u"LFPG"_qs);
    QVERIFY(!w.Frame4->isVisible());
    QCOMPARE(fixture.newRequests(), QStringList{metarPath(u"LFPG"_qs)});
    QCOMPARE(w.Label2->text(), u"LFPG"_qs);
    QCOMPARE(w.List2->count(), 124); // the results stay

    QVERIFY(clickItem(w.List2, u"LFPB"_qs)); // no report served: no favourite added, the tip stays
    QVERIFY(w.Frame4->isVisible());
    QCOMPARE(w.Label9->text(), u"Paris (France)"_qs);
    QCOMPARE(fixture.newRequests(), QStringList{metarPath(u"LFPB"_qs)});

    QVERIFY(clickItem(w.List2, u"KMLF"_qs)); // listed, no entry
    QVERIFY(w.Frame4->isVisible());
    QCOMPARE(w.Label9->text(), QString());
    QCOMPARE(fixture.newRequests(), QStringList{metarPath(u"KMLF"_qs)});
}

// ---- Purpose: a click in a code list shows the description (or nothing) in Frame4 and requests the code ----

void TestSearchWindow::codeListClick_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("description");
    QTest::newRow("ATAR: listed, no entry") << 0 << u"ATAR"_qs << QString();
    QTest::newRow("AZUH: listed, no entry") << 0 << u"AZUH"_qs << QString();
    QTest::newRow("KJFK") << 0 << u"KJFK"_qs << u"New York (USA)"_qs;
    QTest::newRow("LFPG") << 1 << u"LFPG"_qs << u"Paris (France)"_qs;
    QTest::newRow("SAEZ: trailing-space country") << 1 << u"SAEZ"_qs << u"Buenos Aires (Argentina )"_qs;
}

void TestSearchWindow::codeListClick()
{
    QFETCH(int, list);
    QFETCH(QString, code);
    QFETCH(QString, description);
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    if (list == 1)
        QTest::mouseClick(w.Option1[1], Qt::LeftButton);
    w.Label9->setText(u"stale"_qs);
    w.Compteur = 0;

    QVERIFY(clickItem(w.List1[list], code));
    QCOMPARE(w.Compteur, qint16(15));
    QCOMPARE(w.Label9->text(), description);
    QCOMPARE(fixture.newRequests(), QStringList{metarPath(code)});
    // A code whose report arrives goes into the favourites, which hides the tip; a code already
    // there, or one whose download fails, leaves the tip shown.
    const bool added = w.Fav[1]->text() == code;
    QCOMPARE(w.Frame4->isVisible(), !added);
    if (added) {
        QVERIFY(clickItem(w.List1[list], code)); // the same code again: already a favourite
        QVERIFY(w.Frame4->isVisible());
        QCOMPARE(w.Label9->text(), description);
        QCOMPARE(fixture.newRequests(), QStringList{metarPath(code)});
    }
}

// ---- Purpose: Text1_Change moves the focus to Rechercher on the fourth character, not before ----

void TestSearchWindow::focusMovesOnTheFourthCharacter()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    w.activateWindow();
    w.Text1->setFocus();
    QCOMPARE(w.focusWidget(), w.Text1);
    for (const QString& typed : {u"L"_qs, u"F"_qs, u"P"_qs}) {
        w.Compteur = 0;
        QTest::keyClicks(w.Text1, typed);
        QCOMPARE(w.Compteur, qint16(15));
        QCOMPARE(w.focusWidget(), w.Text1);
    }
    QCOMPARE(w.Text1->text(), u"LFP"_qs);
    QTest::keyClicks(w.Text1, u"G"_qs);
    QCOMPARE(w.Text1->text(), u"LFPG"_qs);
    QCOMPARE(w.focusWidget(), w.Command1);
    QVERIFY(fixture.newRequests().isEmpty()); // typing alone requests nothing

    // A text that arrives whole (pasted) moves it too; a shorter one does not.
    w.Text1->setFocus();
    w.Text1->setText(u"abc"_qs);
    QCOMPARE(w.focusWidget(), w.Text1);
    w.Text1->setText(u"abcde"_qs);
    QCOMPARE(w.focusWidget(), w.Command1);
}

// ---- Purpose: "L --> Z" then "A --> K" leaves both lists shown, A-K in front, each keeping its selection ----

void TestSearchWindow::codeListChoice()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    QListWidget* const aToK = w.List1[0];
    QListWidget* const lToZ = w.List1[1];
    QVERIFY(aToK->isVisible());
    QVERIFY(!lToZ->isVisible());
    QVERIFY(inFront(aToK));
    QCOMPARE(aToK->count(), 4151);
    QCOMPARE(lToZ->count(), 2843);
    aToK->setCurrentRow(10);

    w.Compteur = 0;
    QTest::mouseClick(w.Option1[1], Qt::LeftButton);
    QCOMPARE(w.Compteur, qint16(15));
    QVERIFY(w.Option1[1]->isChecked());
    QVERIFY(lToZ->isVisible());
    QVERIFY(aToK->isVisible());
    QVERIFY(inFront(lToZ));
    lToZ->setCurrentRow(20);

    w.Compteur = 0;
    QTest::mouseClick(w.Option1[0], Qt::LeftButton);
    QCOMPARE(w.Compteur, qint16(15));
    QVERIFY(w.Option1[0]->isChecked());
    QVERIFY(aToK->isVisible());
    QVERIFY(lToZ->isVisible()); // behind, not hidden
    QVERIFY(inFront(aToK));
    const QObjectList& siblings = w.children();
    QVERIFY(siblings.indexOf(aToK) > siblings.indexOf(lToZ)); // later child = drawn over
    QCOMPARE(aToK->geometry(), lToZ->geometry());
    QCOMPARE(aToK->currentRow(), 10);
    QCOMPARE(lToZ->currentRow(), 20);
    QVERIFY(fixture.newRequests().isEmpty());
}

// ---- Purpose: Command9 opens the browser with 229 countries, closes it, and reopens it rebuilt ----

void TestSearchWindow::browserOpensAndCloses()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    QCOMPARE(w.Command9->text(), u"Ville / Pays"_qs);
    QVERIFY(!w.Frame3->isVisible());

    w.Compteur = 0;
    QTest::mouseClick(w.Command9, Qt::LeftButton);
    QCOMPARE(w.Compteur, qint16(15));
    QVERIFY(w.Frame3->isVisible());
    QVERIFY(inFront(w.Frame3));
    QCOMPARE(w.Command9->text(), u"OACI"_qs);
    QCOMPARE(w.List3->count(), 229);
    QCOMPARE(w.List3->item(0)->text(), u"Afghanistan"_qs);
    QCOMPARE(w.List3->item(228)->text(), u"Zimbabwe"_qs);
    QVERIFY(!w.List5->isVisible());
    QVERIFY(clickItem(w.List3, u"Alaska"_qs));
    QCOMPARE(w.List4->count(), 103);

    w.Compteur = 0;
    QTest::mouseClick(w.Command9, Qt::LeftButton);
    QCOMPARE(w.Compteur, qint16(15));
    QVERIFY(!w.Frame3->isVisible());
    QCOMPARE(w.Command9->text(), u"Pays / Villes"_qs);

    QTest::mouseClick(w.Command9, Qt::LeftButton);
    QVERIFY(w.Frame3->isVisible());
    QCOMPARE(w.Command9->text(), u"OACI"_qs);
    QCOMPARE(w.List3->count(), 229); // rebuilt from scratch, not appended to
    QVERIFY(!w.List3->currentItem()); // which drops its selection
    QCOMPARE(w.List4->count(), 103); // the city list keeps its content
    QVERIFY(fixture.newRequests().isEmpty());
}

void TestSearchWindow::browserTogglesWhileTheWindowIsHidden()
{
    // The toggle follows Frame3's own visibility, not whether the window happens to be on screen.
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    w.hide();
    w.Command9->click();
    QVERIFY(!w.Frame3->isHidden());
    QCOMPARE(w.Command9->text(), u"OACI"_qs);
    QCOMPARE(w.List3->count(), 229);
    w.Command9->click();
    QVERIFY(w.Frame3->isHidden());
    QCOMPARE(w.Command9->text(), u"Pays / Villes"_qs);
}

// ---- Purpose: a country lists one city per entry; a city with several codes shows them in List5 ----

void TestSearchWindow::countryAndCityWithSeveralCodes_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<int>("cities");
    QTest::addColumn<QString>("city");
    QTest::addColumn<int>("occurrence"); // which of the city's lines is clicked
    QTest::addColumn<QStringList>("codes");
    const QStringList anchorage{u"PAED"_qs, u"PAMR"_qs, u"PANC"_qs};
    QTest::newRow("Alaska, first Anchorage") << u"Alaska"_qs << 103 << u"Anchorage"_qs << 0 << anchorage;
    QTest::newRow("Alaska, second Anchorage") << u"Alaska"_qs << 103 << u"Anchorage"_qs << 1 << anchorage;
    QTest::newRow("Alaska, third Anchorage") << u"Alaska"_qs << 103 << u"Anchorage"_qs << 2 << anchorage;
    QTest::newRow("France, Paris") << u"France"_qs << 107 << u"Paris"_qs << 1
                                   << QStringList{u"LFPB"_qs, u"LFPG"_qs, u"LFPO"_qs};
    QTest::newRow("USA, Paris") << u"USA"_qs << 1624 << u"Paris"_qs << 0
                                << QStringList{u"KPHT"_qs, u"KPRG"_qs, u"KPRX"_qs};
    QTest::newRow("Argentina with its space, Buenos Aires") << u"Argentina "_qs << 27 << u"Buenos Aires"_qs << 0
                                                            << QStringList{u"SABE"_qs, u"SAEZ"_qs};
}

void TestSearchWindow::countryAndCityWithSeveralCodes()
{
    QFETCH(QString, country);
    QFETCH(int, cities);
    QFETCH(QString, city);
    QFETCH(int, occurrence);
    QFETCH(QStringList, codes);
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    QTest::mouseClick(w.Command9, Qt::LeftButton);

    w.Compteur = 0;
    QVERIFY(clickItem(w.List3, country));
    QCOMPARE(w.Compteur, qint16(15));
    QCOMPARE(w.List4->count(), cities);
    QCOMPARE(itemsOf(w.List4), Stations::CitiesOf(w.stationTable(), country));
    const int first = w.List4->row(itemOf(w.List4, city));
    for (int i = 0; i < codes.size(); ++i)
        QCOMPARE(w.List4->item(first + i)->text(), city); // one line per code, in a row
    QVERIFY(!w.List5->isVisible());

    w.Compteur = 0;
    QVERIFY(clickItem(w.List4, city, occurrence));
    QCOMPARE(w.Compteur, qint16(15));
    QVERIFY(w.List5->isVisible());
    QCOMPARE(itemsOf(w.List5), codes);
    QVERIFY(fixture.newRequests().isEmpty());

    // The same city again rebuilds List5 rather than adding to it.
    QVERIFY(clickItem(w.List4, city, 0));
    QCOMPARE(itemsOf(w.List5), codes);
}

// ---- Purpose: a city with one code requests it at once and leaves List5 hidden ----

void TestSearchWindow::cityWithOneCodeRequestsIt()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    QTest::mouseClick(w.Command9, Qt::LeftButton);
    QVERIFY(clickItem(w.List3, u"France"_qs));
    QCOMPARE(w.List4->count(), 107);
    QVERIFY(clickItem(w.List4, u"Abbeville"_qs));
    QCOMPARE(fixture.newRequests(), QStringList{metarPath(u"LFOI"_qs)});
    QVERIFY(!w.List5->isVisible());
    QCOMPARE(itemsOf(w.List5), QStringList{u"LFOI"_qs});
}

// ---- Purpose: choosing another country while the codes are shown hides them ----

void TestSearchWindow::anotherCountryHidesTheCodes()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    QTest::mouseClick(w.Command9, Qt::LeftButton);
    QVERIFY(clickItem(w.List3, u"France"_qs));
    QVERIFY(clickItem(w.List4, u"Paris"_qs));
    QVERIFY(w.List5->isVisible());

    QVERIFY(clickItem(w.List3, u"Alaska"_qs));
    QVERIFY(!w.List5->isVisible());
    QCOMPARE(w.List4->count(), 103);
    QCOMPARE(w.List4->item(0)->text(), Stations::CitiesOf(w.stationTable(), u"Alaska"_qs).first());

    // Closing and reopening the browser keeps List5 as it was until the next choice.
    QVERIFY(clickItem(w.List4, u"Anchorage"_qs));
    QTest::mouseClick(w.Command9, Qt::LeftButton);
    QTest::mouseClick(w.Command9, Qt::LeftButton);
    QVERIFY(w.List5->isVisible());
    QCOMPARE(w.List5->count(), 3);
}

// ---- Purpose: a code chosen in List5 is requested, List5 hides, Compteur is left alone ----

void TestSearchWindow::codeChoiceRequestsAndHides()
{
    LoadedWindow fixture;
    MainWindow& w = fixture.window();
    QTest::mouseClick(w.Command9, Qt::LeftButton);
    QVERIFY(clickItem(w.List3, u"France"_qs));
    QVERIFY(clickItem(w.List4, u"Paris"_qs));
    QCOMPARE(w.Label2->text(), u"EGLL"_qs);

    w.Compteur = 3;
    QVERIFY(clickItem(w.List5, u"LFPG"_qs));
    QCOMPARE(fixture.newRequests(), QStringList{metarPath(u"LFPG"_qs)});
    QCOMPARE(w.Label2->text(), u"LFPG"_qs);
    QVERIFY(!w.List5->isVisible());
    QCOMPARE(w.Compteur, qint16(3));
    QVERIFY(!w.Frame4->isVisible()); // the browser shows no description
}

QTEST_MAIN(TestSearchWindow)
#include "TestSearchWindow.moc"
