// Faults found by driving the real window: what a report, a find or a late tick leaves behind, and what
// the keyboard and repeated folding do.
#include "reports/RefreshTimer.h"
#include "reports/ReportPanel.h"
#include "reports/ReportRequester.h"
#include "support/ShellTestSupport.h"
#include "support/WindowFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

const QString kNotamPath = u"/regusers/publictools/corp_comp/metar_taf_notam.html"_s;
const QString kTafPath = u"/data/forecasts/taf/stations/LFPG.TXT"_s;

// A provider's page of @p count NOTAMs for LFPG, three to six lines each, every third one about a runway.
QByteArray notamPage(int count)
{
    QByteArray page = "<html><body><pre>\r\n(NOTAMS)\r\n\r\n";
    for (int i = 0; i < count; ++i) {
        page += "LFPG A" + QByteArray::number(1000 + i) + "/26 " + (i % 3 == 0 ? "RWY 08L/26R CLSD" : "TWY W1 CLSD")
            + ".\r\n";
        for (int line = 0; line < 2 + i % 4; ++line)
            page += "LINE " + QByteArray::number(line) + " OF NOTAM " + QByteArray::number(i) + " WIP.\r\n";
        page += "\r\n";
    }
    return page + QByteArray(75, '-') + "\r\n</pre></body></html>";
}

// The window started on LFPG's METAR.
MainWindow& shownWindow(WindowFixture& f)
{
    f.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    MainWindow& w = f.window();
    w.start();
    return w;
}

// The report text's characters whose look differs from the report area's plain look.
int styledCharacters(const ShownReport& report)
{
    int count = 0;
    for (const TextRun& run : report.runs) {
        if (run.rgb != 0 || run.bold || !qFuzzyCompare(run.pointSize, 8.5))
            count += static_cast<int>(run.text.size());
    }
    return count;
}

} // namespace

class TestKeyboardFindAndLook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findLeavesEveryNotamReachable();
    void newReportStartsFromThePlainLook();
    void codeLabelNamesTheShownStation_data();
    void codeLabelNamesTheShownStation();
    void bannerBelongsToTheShownReport();
    void notamPageEncodings_data();
    void notamPageEncodings();
    void keyboard_data();
    void keyboard();
    void foldingKeepsTheLayout();
    void tabChain_data();
    void tabChain();
    void helpTextsReadableOverThePicture();
    void keyboardPaths_data();
    void keyboardPaths();
    void separatorsFitTheVisibleWidth_data();
    void separatorsFitTheVisibleWidth();
};

void TestKeyboardFindAndLook::findLeavesEveryNotamReachable()
{
    WindowFixture f;
    f.server.setBody(kNotamPath, notamPage(60));
    MainWindow& w = shownWindow(f);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    control<QRadioButton>(w, u"notamButton"_s)->click();
    control<QLineEdit>(w, u"findEdit"_s)->setText(u"rwy"_s);
    control<QPushButton>(w, u"findButton"_s)->click();
    QCoreApplication::processEvents();

    // Every line is laid out with a height, so it is drawn and the scroll range covers it.
    const QTextDocument* document = reportArea->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QVERIFY2(block.isVisible(), qPrintable(block.text()));
        QVERIFY2(document->documentLayout()->blockBoundingRect(block).height() > 0, qPrintable(block.text()));
    }
    QScrollBar* scroll = reportArea->verticalScrollBar();
    scroll->setValue(scroll->maximum());
    const QTextCursor end = document->find(u"(Fin)"_s);
    QVERIFY(!end.isNull());
    QVERIFY(reportArea->viewport()->rect().contains(reportArea->cursorRect(end).center()));
}

void TestKeyboardFindAndLook::newReportStartsFromThePlainLook()
{
    WindowFixture f;
    f.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    f.server.setBody(kNotamPath, readFixture(u"notam/LFPG.html"_s));
    MainWindow& w = shownWindow(f);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    control<QRadioButton>(w, u"metarButton"_s)->click();
    // The user clicks into the large dark red temperature.
    const int temperature = reportArea->toPlainText().indexOf(u"°C"_s);
    QVERIFY(temperature > 0);
    QTextCursor cursor = reportArea->textCursor();
    cursor.setPosition(temperature);
    reportArea->setTextCursor(cursor);

    control<QRadioButton>(w, u"notamButton"_s)->click();
    QCOMPARE(styledCharacters(w.shownReport()), 0);
    f.server.close();
    control<QPushButton>(w, u"refreshButton"_s)->click();
    QCOMPARE(w.shownReport().text.section(u"\r\n"_s, 0, 0), u"Connexion à internet ..."_s);
    QCOMPARE(styledCharacters(w.shownReport()), 0);
}

void TestKeyboardFindAndLook::codeLabelNamesTheShownStation_data()
{
    QTest::addColumn<int>("meanwhile"); // 0: clicks at the transfer's end, 1: a tick, 2: a code asked for
    QTest::addColumn<QString>("shown"); // the code shown at the end, where one request decides it
    QTest::newRow("another station chosen while a slow one loads") << 0 << QString();
    QTest::newRow("a tick held back during a slow download") << 1 << u"EGLL"_s;
    QTest::newRow("a code asked for during a slow download, shown after it") << 2 << u"LFPG"_s;
}

void TestKeyboardFindAndLook::codeLabelNamesTheShownStation()
{
    QFETCH(int, meanwhile);
    QFETCH(QString, shown);
    WindowFixture f(QDateTime(QDate(2026, 12, 7), QTime(10, 10)));
    f.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    f.server.setReply(u"/data/observations/metar/decoded/EGLL.TXT"_s,
        TestHttpServer::Reply { 200, readFixture(u"metar/EGLL.TXT"_s), {}, false, 400 });
    MainWindow& w = shownWindow(f);
    RefreshTimer& timer = part<RefreshTimer>(w);
    part<ReportPanel>(w).selectReportTypeQuietly(ReportType::Metar);
    timer.setTicksSinceRefresh(50); // the next tick in minute 10 refreshes

    bool clicked = false;
    if (meanwhile == 1) {
        QTimer::singleShot(150, &timer, &RefreshTimer::tick);
    } else if (meanwhile == 2) {
        QTimer::singleShot(150, &w, [&w] { w.showReport(u"LFPG"_s); });
    } else {
        // Clicks on LFPG in a code list and then on refresh, made during the transfer: user input waits
        // for the transfer's end, and is delivered right after it.
        connect(&part<ReportRequester>(w), &ReportRequester::transferEnded, &w, [&] {
            if (std::exchange(clicked, true))
                return;
            QMetaObject::invokeMethod(
                &w, [&] { w.showReport(u"LFPG"_s); }, Qt::QueuedConnection);
            QMetaObject::invokeMethod(control<QPushButton>(w, u"refreshButton"_s), "click", Qt::QueuedConnection);
        });
    }
    w.showReport(u"EGLL"_s);
    QTest::qWait(300);

    const QString shownCode = part<ReportPanel>(w).stationCode();
    if (!shown.isEmpty())
        QCOMPARE(shownCode, shown);
    QCOMPARE(control<QLabel>(w, u"stationCode"_s)->text(), shownCode);
    QCOMPARE(f.settings.read(u"data"_s, u"last"_s, {}), shownCode);
    QVERIFY2(w.shownReport().title.contains(shownCode) || w.shownReport().text.contains(shownCode),
        qPrintable(shownCode + u" / "_s + w.shownReport().text.left(80)));
}

void TestKeyboardFindAndLook::bannerBelongsToTheShownReport()
{
    WindowFixture f(QDateTime(QDate(2027, 3, 1), QTime(10, 0))); // the METAR is months old
    f.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    MainWindow& w = shownWindow(f);
    control<QRadioButton>(w, u"metarButton"_s)->click();
    QVERIFY(w.shownReport().bannerVisible);
    control<QRadioButton>(w, u"tafButton"_s)->click(); // no TAF is served
    QCOMPARE(w.shownReport().text.section(u"\r\n"_s, 0, 0), u"Connexion à internet ..."_s);
    QVERIFY(!w.shownReport().bannerVisible);
    QCOMPARE(w.shownReport().background, 0xFFFFFFu);
}

void TestKeyboardFindAndLook::notamPageEncodings_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::newRow("UTF-8") << QByteArray("<pre>(NOTAMS)\r\nLFPG A1/26 CAF\xC3\x89 CLSD.\r\n</pre>");
    QTest::newRow("Latin-1") << QByteArray("<pre>(NOTAMS)\r\nLFPG A1/26 CAF\xC9 CLSD.\r\n</pre>");
    QTest::newRow("UTF-8 declared, one stray byte")
        << QByteArray("<meta charset=\"utf-8\"><pre>(NOTAMS)\r\nLFPG A1/26 CAF\xC3\x89 CLSD \xFF.\r\n</pre>");
}

void TestKeyboardFindAndLook::notamPageEncodings()
{
    QFETCH(QByteArray, page);
    WindowFixture f;
    f.server.setBody(kNotamPath, page);
    MainWindow& w = shownWindow(f);
    control<QRadioButton>(w, u"notamButton"_s)->click();
    QVERIFY2(w.shownReport().text.contains(u"CAFÉ CLSD"_s), qPrintable(w.shownReport().text));
    control<QLineEdit>(w, u"findEdit"_s)->setText(u"café"_s);
    control<QPushButton>(w, u"findButton"_s)->click();
    QVERIFY(styledCharacters(w.shownReport()) == 4);
}

void TestKeyboardFindAndLook::keyboard_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("requested"); // the report asked for, if any
    QTest::addColumn<QString>("filledList"); // a list that must now have items, if any

    QTest::newRow("Enter in the code box searches")
        << u"codeSearchEdit"_s << u"lfpg"_s << int(Qt::Key_Return) << u"LFPG"_s << u"searchResultsList"_s;
    QTest::newRow("Enter on a code of the list")
        << u"codesAToKList"_s << QString() << int(Qt::Key_Return) << u"AGGH"_s << QString();
    QTest::newRow("keypad Enter on a code of the list")
        << u"codesAToKList"_s << QString() << int(Qt::Key_Enter) << u"AGGH"_s << QString();
    QTest::newRow("Enter on a list with no current item")
        << u"searchResultsList"_s << QString() << int(Qt::Key_Return) << QString() << QString();
    QTest::newRow("Enter in the find box") << u"findEdit"_s << u"rwy"_s << int(Qt::Key_Enter) << QString() << QString();
    QTest::newRow("arrow down on the report types")
        << u"metarButton"_s << QString() << int(Qt::Key_Down) << u"taf/stations/LFPG"_s << QString();
    QTest::newRow("arrow down in the countries")
        << u"countryList"_s << QString() << int(Qt::Key_Down) << QString() << u"cityList"_s;
    // Onto Guzara, Afghanistan's second city and its only code: listed, not asked for.
    QTest::newRow("arrow down in the cities")
        << u"cityList"_s << QString() << int(Qt::Key_Down) << QString() << u"cityCodeList"_s;
}

void TestKeyboardFindAndLook::keyboard()
{
    QFETCH(QString, focus);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, requested);
    QFETCH(QString, filledList);
    WindowFixture f;
    f.serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    f.serveMetar(u"AGGH"_s, readFixture(u"metar/LFPG.TXT"_s));
    f.server.setBody(kNotamPath, readFixture(u"notam/LFPG.html"_s));
    MainWindow& w = shownWindow(f);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (focus == u"findEdit")
        control<QRadioButton>(w, u"notamButton"_s)->click();
    if (focus == u"countryList" || focus == u"cityList")
        control<QPushButton>(w, u"browserButton"_s)->click();
    if (focus == u"cityList") {
        control<QListWidget>(w, u"countryList"_s)->setCurrentRow(0);
        QTest::keyClick(control<QListWidget>(w, u"countryList"_s), Qt::Key_Return);
    }
    auto* target = control<QWidget>(w, focus);
    if (auto* list = qobject_cast<QAbstractItemView*>(target))
        list->setCurrentIndex(list->model()->index(0, 0));
    target->setFocus();
    const qsizetype requestsBefore = f.server.requests().size();
    const QString shownBefore = w.shownReport().text;
    QTest::keyClicks(target, typed);
    QTest::keyClick(target, Qt::Key(key));

    if (!requested.isEmpty()) {
        QCOMPARE(f.server.requests().size(), requestsBefore + 1);
        QVERIFY(f.server.requests().constLast().contains(requested));
    } else {
        QCOMPARE(f.server.requests().size(), requestsBefore);
        QCOMPARE(w.shownReport().text, shownBefore);
    }
    if (!filledList.isEmpty())
        QVERIFY(control<QAbstractItemView>(w, filledList)->model()->rowCount() > 0);
    if (focus == u"findEdit")
        QVERIFY(styledCharacters(w.shownReport()) > 0);
}

void TestKeyboardFindAndLook::foldingKeepsTheLayout()
{
    WindowFixture f;
    MainWindow& w = shownWindow(f);
    auto* reportPanel = control<QWidget>(w, u"reportPanel"_s);
    auto* foldButton = control<QPushButton>(w, u"foldButton"_s);
    const QSize size = w.size();
    const QRect panel = reportPanel->geometry();
    for (int cycle = 0; cycle < 3; ++cycle) {
        foldButton->click();
        QVERIFY(foldEnded(w));
        QCOMPARE(foldButton->text(), u"Rechercher"_s);
        foldButton->click();
        QVERIFY(foldEnded(w));
    }
    QCOMPARE(w.size(), size);
    QCOMPARE(reportPanel->geometry(), panel);

    control<QPushButton>(w, u"browserButton"_s)->click();
    // Every country's name fits the list: no scroll bar hides a row.
    auto* countries = control<QListWidget>(w, u"countryList"_s);
    QCoreApplication::processEvents();
    QVERIFY(!countries->horizontalScrollBar()->isVisible());
}

// The controls Tab goes through from the focused one until it comes back to it.
QStringList tabOrder()
{
    QStringList chain { QApplication::focusWidget()->objectName() };
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QString now = QApplication::focusWidget()->objectName();
        if (now == chain.constFirst())
            break;
        chain.append(now);
    }
    return chain;
}

void TestKeyboardFindAndLook::tabChain_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QStringList>("reached");
    QTest::addColumn<QStringList>("unreached"); // under the open panel

    const QStringList search { u"codeSearchEdit"_s, u"searchButton"_s, u"codesAToKList"_s };
    const QStringList top { u"helpButton"_s, u"browserButton"_s };
    const QStringList report { u"metarButton"_s, u"refreshButton"_s, u"reportArea"_s, u"quitButton"_s };
    QTest::newRow("nothing open") << QString() << search + top + report << QStringList();
    QTest::newRow("help panel") << u"helpButton"_s << QStringList { u"helpCloseButton"_s } << search + top + report;
    QTest::newRow("browser") << u"browserButton"_s << QStringList { u"countryList"_s } + report << search;
    QTest::newRow("folded") << u"foldButton"_s << report << search + top + QStringList { u"countryList"_s };
}

void TestKeyboardFindAndLook::tabChain()
{
    QFETCH(QString, opened);
    QFETCH(QStringList, reached);
    QFETCH(QStringList, unreached);
    WindowFixture f;
    MainWindow& w = shownWindow(f);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    if (!opened.isEmpty())
        control<QPushButton>(w, opened)->click();
    QVERIFY(foldEnded(w));
    if (opened != u"helpButton")
        control<QWidget>(w, u"refreshButton"_s)->setFocus();
    const QStringList chain = tabOrder();
    for (const QString& name : reached)
        QVERIFY2(chain.contains(name), qPrintable(name + u" not in "_s + chain.join(u' ')));
    for (const QString& name : unreached)
        QVERIFY2(!chain.contains(name), qPrintable(name + u" in "_s + chain.join(u' ')));
}

void TestKeyboardFindAndLook::helpTextsReadableOverThePicture()
{
    WindowFixture f;
    MainWindow& w = shownWindow(f);
    control<QPushButton>(w, u"helpButton"_s)->click();
    auto* picture = control<QLabel>(w, u"helpPicture"_s);
    const QImage image = picture->pixmap().toImage();
    QStringList texts { u"versionLabel"_s };
    for (int i = 0; i < 6; ++i)
        texts.append(u"helpText%1"_s.arg(i));
    for (const QString& name : texts) {
        // Where the dark text's lines lie over the picture, the picture must be light.
        auto* text = control<QLabel>(w, name);
        const QRect lines = text->fontMetrics().boundingRect(
            text->contentsRect(), int(text->alignment()) | Qt::TextWordWrap, text->text());
        const QRect over = QRect(picture->mapFrom(&w, text->mapTo(&w, lines.topLeft())), lines.size()) & image.rect();
        double lightness = 0;
        for (int y = over.top(); y <= over.bottom(); ++y) {
            for (int x = over.left(); x <= over.right(); ++x)
                lightness += QColor(image.pixel(x, y)).lightnessF();
        }
        if (!over.isEmpty())
            QVERIFY2(lightness / (over.width() * over.height()) > 0.8, qPrintable(name));
    }
}

// What the keys go to: an open menu, else the focused control.
QWidget* keyboardHolder()
{
    return QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::focusWidget();
}

void TestKeyboardFindAndLook::keyboardPaths_data()
{
    QTest::addColumn<QString>("start"); // the control focused before the keys
    QTest::addColumn<QString>("keys"); // key names, or text typed as it stands
    QTest::addColumn<QString>("holders"); // what has the keyboard after each key: a menu, else a control
    QTest::addColumn<QString>("requested"); // in the address of the last request, if any
    QTest::addColumn<QStringList>("favourites"); // the bar at the end

    const QStringList stored { u"LFPG"_s, u"EGLL"_s, u"KJFK"_s };
    // Left to right and top to bottom, round again; a group of radio buttons is one stop.
    QTest::newRow("round the window")
        << u"helpButton"_s << QStringList(16, u"Tab"_s).join(u' ')
        << u"browserButton codesAToKButton codesAToKList codeSearchEdit searchButton searchResultsList foldButton "
           u"metarButton quitButton refreshButton favouritesBar nearbyButton reportArea helpButton browserButton "
           u"codesAToKButton"_s
        << QString() << stored;
    QTest::newRow("browser down to a city's airports")
        << u"browserButton"_s << u"Space Tab France Tab Paris Tab"_s
        << u"browserButton countryList countryList cityList cityList cityCodeList"_s << QString() << stored;
    // Favourites: arrows between them, Enter shows one, Shift+F10 offers to remove it.
    QTest::newRow("favourites") << u"refreshButton"_s << u"Tab Down Down Up Return Shift+F10 Return Up"_s
                                << u"favouritesBar favouritesBar favouritesBar favouritesBar favouritesBar "
                                   u"favouriteMenu favouritesBar favouritesBar"_s
                                << u"EGLL"_s << QStringList { u"LFPG"_s, QString(), u"KJFK"_s };
    QTest::newRow("report menu") << u"reportArea"_s << u"Shift+F10 Escape"_s << u"reportMenu reportArea"_s << QString()
                                 << stored;
    QTest::newRow("help closed") << u"helpButton"_s << u"Space Escape"_s << u"helpCloseButton helpButton"_s << QString()
                                 << stored;
}

void TestKeyboardFindAndLook::keyboardPaths()
{
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, holders);
    QFETCH(QString, requested);
    QFETCH(QStringList, favourites);
    WindowFixture f;
    Shell::store(f.settings, { u"Fav/0=LFPG"_s, u"Fav/1=EGLL"_s, u"Fav/2=KJFK"_s });
    f.serveMetar(u"EGLL"_s, readFixture(u"metar/EGLL.TXT"_s));
    MainWindow& w = shownWindow(f);
    w.resize(600, w.height()); // narrow: no tick folds it meanwhile
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    control<QWidget>(w, start)->setFocus(Qt::OtherFocusReason);
    const qsizetype requestsBefore = f.server.requests().size();
    const QHash<QString, QKeyCombination> named { { u"Tab"_s, Qt::Key_Tab }, { u"Down"_s, Qt::Key_Down },
        { u"Up"_s, Qt::Key_Up }, { u"Return"_s, Qt::Key_Return }, { u"Space"_s, Qt::Key_Space },
        { u"Escape"_s, Qt::Key_Escape }, { u"Shift+F10"_s, Qt::SHIFT | Qt::Key_F10 } };
    const QStringList expected = holders.split(u' ');
    const QStringList pressed = keys.split(u' ');
    for (qsizetype i = 0; i < pressed.size(); ++i) {
        const QString& key = pressed[i];
        QWidget* receiver = keyboardHolder();
        QVERIFY(receiver);
        if (named.contains(key))
            QTest::keyClick(receiver, named[key].key(), named[key].keyboardModifiers());
        else
            QTest::keyClicks(receiver, key);
        QTRY_COMPARE(keyboardHolder() ? keyboardHolder()->objectName() : QString(), expected.at(i));
    }
    QCOMPARE(f.server.requests().size(), requestsBefore + (requested.isEmpty() ? 0 : 1));
    QVERIFY(requested.isEmpty() || f.server.requests().constLast().contains(requested));
    QCOMPARE(Shell::captions(w), Shell::bar(favourites));
}

void TestKeyboardFindAndLook::separatorsFitTheVisibleWidth_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("scrollBar");
    const QByteArray notam = "LFPG A1/26 TWY W1 CLSD.\r\n";
    QTest::newRow("no blank line between NOTAMs")
        << "<pre>(NOTAMS)\r\n" + notam + notam + notam + QByteArray(75, '-') + "\r\n</pre>" << false;
    QTest::newRow("long page, with the scroll bar") << notamPage(60) << true;
}

void TestKeyboardFindAndLook::separatorsFitTheVisibleWidth()
{
    QFETCH(QByteArray, page);
    QFETCH(bool, scrollBar);
    WindowFixture f;
    f.server.setBody(kNotamPath, page);
    MainWindow& w = shownWindow(f);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    control<QRadioButton>(w, u"notamButton"_s)->click();
    QCoreApplication::processEvents();
    QCOMPARE(reportArea->verticalScrollBar()->isVisible(), scrollBar);
    // Each separator is a line of its own, one line high and no wider than what the area shows.
    const QString separator(70, u'_');
    int separators = 0;
    for (QTextBlock block = reportArea->document()->begin(); block.isValid(); block = block.next()) {
        if (!block.text().startsWith(separator))
            continue;
        ++separators;
        reportArea->document()->documentLayout()->blockBoundingRect(block); // laid out by now
        QCOMPARE(block.layout()->lineCount(), 1);
        QVERIFY(block.layout()->lineAt(0).naturalTextWidth() <= reportArea->viewport()->width());
    }
    QVERIFY(separators >= 3);
}

QTEST_MAIN(TestKeyboardFindAndLook)
#include "TestKeyboardFindAndLook.moc"
