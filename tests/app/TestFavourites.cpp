// The favourites bar of the real window: which slot a requested station takes, what the mouse does to the
// slots, and the hover look with its tip.
#include "reports/RefreshTimer.h"
#include "support/ShellTestSupport.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

using Shell::bar;
using Shell::captions;
using Shell::startOnBar;

namespace {

const QStringList kFullBar { u"LFPG"_qs, u"EGLL"_qs, u"KJFK"_qs, u"LFPO"_qs, u"EDDF"_qs, u"LIRF"_qs, u"EHAM"_qs,
    u"EBBR"_qs, u"LSZH"_qs, u"LOWW"_qs, u"EKCH"_qs, u"ENGM"_qs };

QStringList withSlot(QStringList codes, int index, const QString& code)
{
    codes[index] = code;
    return codes;
}

// A pointer move delivered as the platform does: to the widget under the pointer, or the window itself.
void moveOver(MainWindow& w, QWidget* over, QPoint local)
{
    const QPoint inWindow = over->mapTo(&w, local);
    QWidget* receiver = w.childAt(inWindow);
    if (!receiver)
        receiver = &w;
    const QPoint at = receiver->mapFrom(&w, inWindow);
    QMouseEvent move(QEvent::MouseMove, at, receiver->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &move);
}

QLabel* favouriteSlot(const MainWindow& w, int index)
{
    return control<QLabel>(w, u"favouriteSlot%1"_qs.arg(index));
}

void hover(MainWindow& w, int index)
{
    QLabel* slot = favouriteSlot(w, index);
    QVERIFY(w.childAt(slot->mapTo(&w, slot->rect().center())) == slot);
    moveOver(w, slot, slot->rect().center());
}

// Steps: "+CODE" requests a served station, "!CODE" one whose download fails, "left N", "right N",
// "middle N" click slot N, "hover N" moves the pointer onto it.
void run(WindowFixture& f, const QStringList& steps)
{
    MainWindow& w = f.window();
    for (const QString& step : steps) {
        const QString code = step.mid(1);
        const int slot = step.section(u' ', 1).toInt();
        if (step.startsWith(u'+')) {
            f.serveMetar(code, readFixture(u"metar/LFPG.TXT"_qs));
            w.showReport(code);
        } else if (step.startsWith(u'!')) {
            w.showReport(code);
        } else if (step.startsWith(u"hover"_qs)) {
            hover(w, slot);
        } else {
            const Qt::MouseButton button = step.startsWith(u"left"_qs) ? Qt::LeftButton
                : step.startsWith(u"right"_qs)                         ? Qt::RightButton
                                                                       : Qt::MiddleButton;
            QTest::mouseClick(favouriteSlot(w, slot), button);
        }
    }
}

QColor background(const QLabel* slot)
{
    return slot->palette().color(QPalette::Window);
}

} // namespace

class TestFavourites : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void slots_data();
    void slots();
    void leftClickShowsSelectedType_data();
    void leftClickShowsSelectedType();
    void hoverLook_data();
    void hoverLook();
    void highlightCleared_data();
    void highlightCleared();
    void tipAfterRequest_data();
    void tipAfterRequest();
};

void TestFavourites::slots_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected");

    // Filling: a requested station takes the first free slot, once.
    QTest::newRow("first code in slot 0") << bar({}) << QStringList { u"+LFPG"_qs } << bar({ u"LFPG"_qs });
    QTest::newRow("same station twice, one slot")
        << bar({}) << QStringList { u"+LFPG"_qs, u"+LFPG"_qs } << bar({ u"LFPG"_qs });
    QTest::newRow("codes in order of request") << bar({}) << QStringList { u"+LFPG"_qs, u"+EGLL"_qs, u"+KJFK"_qs }
                                               << bar({ u"LFPG"_qs, u"EGLL"_qs, u"KJFK"_qs });
    QTest::newRow("comparison keeps case")
        << bar({}) << QStringList { u"+LFPG"_qs, u"+lfpg"_qs } << bar({ u"LFPG"_qs, u"lfpg"_qs });
    QTest::newRow("restored code counts as present")
        << bar({ QString(), u"EGLL"_qs }) << QStringList { u"+EGLL"_qs } << bar({ QString(), u"EGLL"_qs });
    QTest::newRow("restored gap filled first")
        << bar({ QString(), u"EGLL"_qs }) << QStringList { u"+LFPG"_qs } << bar({ u"LFPG"_qs, u"EGLL"_qs });
    QTest::newRow("freed slot 3 of a full bar takes the next code")
        << kFullBar << QStringList { u"right 3"_qs, u"+LEMD"_qs } << withSlot(kFullBar, 3, u"LEMD"_qs);
    QTest::newRow("freed twelfth slot of a full bar takes the next code")
        << kFullBar << QStringList { u"right 11"_qs, u"+LEMD"_qs } << withSlot(kFullBar, 11, u"LEMD"_qs);
    QTest::newRow("lowest free slot wins, not the last freed")
        << bar({ u"LFPG"_qs, u"EGLL"_qs, u"KJFK"_qs }) << QStringList { u"right 2"_qs, u"right 0"_qs, u"+LEMD"_qs }
        << bar({ u"LEMD"_qs, u"EGLL"_qs });

    // Refusing: what leaves the bar as it was.
    QTest::newRow("full bar refuses a thirteenth code") << kFullBar << QStringList { u"+LEMD"_qs } << kFullBar;
    QTest::newRow("failed download adds nothing")
        << bar({ u"LFPG"_qs }) << QStringList { u"!ESSA"_qs } << bar({ u"LFPG"_qs });
    QTest::newRow("right click frees its slot only, nothing moves")
        << bar({ u"LFPG"_qs, u"EGLL"_qs, u"KJFK"_qs }) << QStringList { u"right 1"_qs }
        << bar({ u"LFPG"_qs, QString(), u"KJFK"_qs });
    QTest::newRow("middle click removes nothing")
        << bar({ u"LFPG"_qs, u"EGLL"_qs }) << QStringList { u"middle 1"_qs } << bar({ u"LFPG"_qs, u"EGLL"_qs });
}

void TestFavourites::slots()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);

    WindowFixture f;
    const MainWindow& w = startOnBar(f, stored);
    run(f, steps);
    QCOMPARE(captions(w), expected);
    for (int i = 0; i < FavouritesBar::kSlots; ++i) {
        const QLabel* slot = favouriteSlot(w, i);
        QVERIFY2(slot->isVisible() == !slot->text().isEmpty(), qPrintable(slot->objectName()));
    }
}

void TestFavourites::leftClickShowsSelectedType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("request");

    QTest::newRow("METAR") << 0 << u"/data/observations/metar/decoded/EGLL.TXT"_qs;
    QTest::newRow("TAF") << 1 << u"/data/forecasts/taf/stations/EGLL.TXT"_qs;
    QTest::newRow("NOTAM") << 2 << u"/regusers/publictools/corp_comp/metar_taf_notam.html?icao=EGLL"_qs;
}

void TestFavourites::leftClickShowsSelectedType()
{
    QFETCH(int, type);
    QFETCH(QString, request);

    WindowFixture f;
    MainWindow& w = startOnBar(f, bar({ u"LFPG"_qs, u"EGLL"_qs }));
    f.serveMetar(u"EGLL"_qs, readFixture(u"metar/EGLL.TXT"_qs));
    w.selectReportTypeQuietly(kReportTypes.at(static_cast<size_t>(type)));
    run(f, { u"hover 1"_qs, u"left 1"_qs });
    QCOMPARE(f.server.requests().value(f.server.requests().size() - 1), request);
    QCOMPARE(control<QLabel>(w, u"stationCode"_qs)->text(), u"EGLL"_qs);
    QVERIFY(control<QFrame>(w, u"stationTip"_qs)->isHidden());
    QCOMPARE(captions(w), bar({ u"LFPG"_qs, u"EGLL"_qs }));
}

void TestFavourites::hoverLook_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("description");

    // The description is the station's city and country from the station table.
    QTest::newRow("top slot") << QStringList { u"hover 0"_qs } << 0 << u"Paris (France)"_qs;
    QTest::newRow("bottom slot") << QStringList { u"hover 11"_qs } << 11 << u"Oslo (Norway)"_qs;
    QTest::newRow("from one favourite straight onto another")
        << QStringList { u"hover 0"_qs, u"hover 2"_qs } << 2 << u"New York (USA)"_qs;

    // Codes without a station entry have no description, whoever held the slot before.
    QTest::newRow("code without entry") << QStringList { u"right 5"_qs, u"+ZZZZ"_qs, u"hover 5"_qs } << 5 << QString();
    QTest::newRow("earlier occupant's description not kept")
        << QStringList { u"hover 0"_qs, u"right 0"_qs, u"+ZZZZ"_qs, u"hover 0"_qs } << 0 << QString();
}

void TestFavourites::hoverLook()
{
    QFETCH(QStringList, steps);
    QFETCH(int, slot);
    QFETCH(QString, description);

    WindowFixture f;
    MainWindow& w = startOnBar(f, kFullBar);
    auto* stationTip = control<QFrame>(w, u"stationTip"_qs);
    run(f, steps);
    for (int i = 0; i < 12; ++i)
        QCOMPARE(background(favouriteSlot(w, i)), QColor(i == slot ? 0x0000FF : 0x000080));
    QVERIFY(stationTip->isVisible());
    // Level with the slot: both measured in the window, as the tip and the slot lie in different regions.
    QCOMPARE(stationTip->mapTo(&w, QPoint()).y(), favouriteSlot(w, slot)->mapTo(&w, QPoint()).y());
    QCOMPARE(control<QLabel>(w, u"stationTipText"_qs)->text(), description);
}

void TestFavourites::highlightCleared_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("cleared");

    // Moves over the window's background, the report panel's background and the report area clear the look,
    // and so does every tick.
    QTest::newRow("window background") << u"MainWindow"_qs << true;
    QTest::newRow("report panel background") << u"reportPanel"_qs << true;
    QTest::newRow("report area") << u"reportArea"_qs << true;
    QTest::newRow("timer tick") << QString() << true;

    // A move straight onto another control leaves the look until the next tick.
    QTest::newRow("refresh button") << u"refreshButton"_qs << false;
    QTest::newRow("report-type button") << u"tafButton"_qs << false;
}

void TestFavourites::highlightCleared()
{
    QFETCH(QString, where);
    QFETCH(bool, cleared);

    WindowFixture f;
    MainWindow& w = startOnBar(f, kFullBar);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_qs);
    w.resize(600, w.height()); // narrow: the tick must not fold the window meanwhile
    run(f, { u"hover 4"_qs });
    if (where.isEmpty()) {
        part<RefreshTimer>(w).tick();
    } else {
        QWidget* target = where == w.objectName() ? &w : w.findChild<QWidget*>(where);
        QVERIFY(target);
        if (target == reportArea)
            target = reportArea->viewport();
        // A point of the target that no child covers.
        QPoint point(-1, -1);
        for (int y = 1; y < target->height() && point.x() < 0; y += 3) {
            for (int x = 1; x < target->width() && point.x() < 0; x += 3) {
                if (w.childAt(target->mapTo(&w, QPoint(x, y))) == (target == &w ? nullptr : target))
                    point = QPoint(x, y);
            }
        }
        QVERIFY2(point.x() >= 0, qPrintable(where));
        moveOver(w, target, point);
    }
    QCOMPARE(control<QFrame>(w, u"stationTip"_qs)->isVisible(), !cleared);
    QCOMPARE(background(favouriteSlot(w, 4)), QColor(cleared ? 0x000080 : 0x0000FF));
    for (int i = 0; i < 12; ++i) {
        if (i != 4)
            QCOMPARE(background(favouriteSlot(w, i)), QColor(0x000080));
    }
}

void TestFavourites::tipAfterRequest_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("request");
    QTest::addColumn<bool>("tipShown");

    // A code already in the bar changes nothing, the tip included; an added one hides it; a full bar says
    // in it why the code was not added.
    QTest::newRow("code already in the bar") << bar({ u"LFPG"_qs, u"EGLL"_qs }) << u"+EGLL"_qs << true;
    QTest::newRow("code added") << bar({ u"LFPG"_qs, u"EGLL"_qs }) << u"+KJFK"_qs << false;
    QTest::newRow("code refused by a full bar") << kFullBar << u"+LEMD"_qs << true;
}

void TestFavourites::tipAfterRequest()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, request);
    QFETCH(bool, tipShown);

    WindowFixture f;
    MainWindow& w = startOnBar(f, stored);
    run(f, { u"hover 0"_qs, request });
    QCOMPARE(control<QFrame>(w, u"stationTip"_qs)->isVisible(), tipShown);
}

QTEST_MAIN(TestFavourites)
#include "TestFavourites.moc"
