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

using namespace Qt::StringLiterals;

using Shell::bar;
using Shell::captions;
using Shell::startOnBar;

namespace {

const QStringList kFullBar { u"LFPG"_s, u"EGLL"_s, u"KJFK"_s, u"LFPO"_s, u"EDDF"_s, u"LIRF"_s, u"EHAM"_s, u"EBBR"_s,
    u"LSZH"_s, u"LOWW"_s, u"EKCH"_s, u"ENGM"_s };

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
    return control<QLabel>(w, u"favouriteSlot%1"_s.arg(index));
}

void hover(MainWindow& w, int index)
{
    QLabel* slot = favouriteSlot(w, index);
    QVERIFY(w.childAt(slot->mapTo(&w, slot->rect().center())) == slot);
    QTest::mouseMove(slot, slot->rect().center()); // the pointer now rests on the slot
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
            f.serveMetar(code, readFixture(u"metar/LFPG.TXT"_s));
            w.showReport(code);
        } else if (step.startsWith(u'!')) {
            w.showReport(code);
        } else if (step.startsWith(u"hover"_s)) {
            hover(w, slot);
        } else {
            const Qt::MouseButton button = step.startsWith(u"left"_s) ? Qt::LeftButton
                : step.startsWith(u"right"_s)                         ? Qt::RightButton
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
    QTest::newRow("first code in slot 0") << bar({}) << QStringList { u"+LFPG"_s } << bar({ u"LFPG"_s });
    QTest::newRow("same station twice, one slot")
        << bar({}) << QStringList { u"+LFPG"_s, u"+LFPG"_s } << bar({ u"LFPG"_s });
    QTest::newRow("codes in order of request")
        << bar({}) << QStringList { u"+LFPG"_s, u"+EGLL"_s, u"+KJFK"_s } << bar({ u"LFPG"_s, u"EGLL"_s, u"KJFK"_s });
    QTest::newRow("comparison keeps case")
        << bar({}) << QStringList { u"+LFPG"_s, u"+lfpg"_s } << bar({ u"LFPG"_s, u"lfpg"_s });
    QTest::newRow("restored code counts as present")
        << bar({ QString(), u"EGLL"_s }) << QStringList { u"+EGLL"_s } << bar({ QString(), u"EGLL"_s });
    QTest::newRow("restored gap filled first")
        << bar({ QString(), u"EGLL"_s }) << QStringList { u"+LFPG"_s } << bar({ u"LFPG"_s, u"EGLL"_s });
    QTest::newRow("freed slot 3 of a full bar takes the next code")
        << kFullBar << QStringList { u"right 3"_s, u"+LEMD"_s } << withSlot(kFullBar, 3, u"LEMD"_s);
    QTest::newRow("freed twelfth slot of a full bar takes the next code")
        << kFullBar << QStringList { u"right 11"_s, u"+LEMD"_s } << withSlot(kFullBar, 11, u"LEMD"_s);
    QTest::newRow("lowest free slot wins, not the last freed")
        << bar({ u"LFPG"_s, u"EGLL"_s, u"KJFK"_s }) << QStringList { u"right 2"_s, u"right 0"_s, u"+LEMD"_s }
        << bar({ u"LEMD"_s, u"EGLL"_s });

    // Refusing: what leaves the bar as it was.
    QTest::newRow("full bar refuses a thirteenth code") << kFullBar << QStringList { u"+LEMD"_s } << kFullBar;
    QTest::newRow("failed download adds nothing")
        << bar({ u"LFPG"_s }) << QStringList { u"!ESSA"_s } << bar({ u"LFPG"_s });
    QTest::newRow("right click frees its slot only, nothing moves")
        << bar({ u"LFPG"_s, u"EGLL"_s, u"KJFK"_s }) << QStringList { u"right 1"_s }
        << bar({ u"LFPG"_s, QString(), u"KJFK"_s });
    QTest::newRow("middle click removes nothing")
        << bar({ u"LFPG"_s, u"EGLL"_s }) << QStringList { u"middle 1"_s } << bar({ u"LFPG"_s, u"EGLL"_s });
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

    QTest::newRow("METAR") << 0 << u"/data/observations/metar/decoded/EGLL.TXT"_s;
    QTest::newRow("TAF") << 1 << u"/data/forecasts/taf/stations/EGLL.TXT"_s;
    QTest::newRow("NOTAM") << 2 << u"/regusers/publictools/corp_comp/metar_taf_notam.html?icao=EGLL"_s;
}

void TestFavourites::leftClickShowsSelectedType()
{
    QFETCH(int, type);
    QFETCH(QString, request);

    WindowFixture f;
    MainWindow& w = startOnBar(f, bar({ u"LFPG"_s, u"EGLL"_s }));
    f.serveMetar(u"EGLL"_s, readFixture(u"metar/EGLL.TXT"_s));
    w.selectReportTypeQuietly(kReportTypes.at(static_cast<size_t>(type)));
    run(f, { u"hover 1"_s, u"left 1"_s });
    QCOMPARE(f.server.requests().value(f.server.requests().size() - 1), request);
    QCOMPARE(control<QLabel>(w, u"stationCode"_s)->text(), u"EGLL"_s);
    QVERIFY(control<QFrame>(w, u"stationTip"_s)->isHidden());
    QCOMPARE(captions(w), bar({ u"LFPG"_s, u"EGLL"_s }));
}

void TestFavourites::hoverLook_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("description");

    // The description is the station's city and country from the station table.
    QTest::newRow("top slot") << QStringList { u"hover 0"_s } << 0 << u"Paris (France)"_s;
    QTest::newRow("bottom slot") << QStringList { u"hover 11"_s } << 11 << u"Oslo (Norway)"_s;
    QTest::newRow("from one favourite straight onto another")
        << QStringList { u"hover 0"_s, u"hover 2"_s } << 2 << u"New York (USA)"_s;

    // Codes without a station entry have no description, whoever held the slot before.
    QTest::newRow("code without entry") << QStringList { u"right 5"_s, u"+ZZZZ"_s, u"hover 5"_s } << 5 << QString();
    QTest::newRow("earlier occupant's description not kept")
        << QStringList { u"hover 0"_s, u"right 0"_s, u"+ZZZZ"_s, u"hover 0"_s } << 0 << QString();
}

void TestFavourites::hoverLook()
{
    QFETCH(QStringList, steps);
    QFETCH(int, slot);
    QFETCH(QString, description);

    WindowFixture f;
    MainWindow& w = startOnBar(f, kFullBar);
    auto* stationTip = control<QFrame>(w, u"stationTip"_s);
    run(f, steps);
    for (int i = 0; i < 12; ++i)
        QCOMPARE(background(favouriteSlot(w, i)), QColor(i == slot ? 0x0000FF : 0x000080));
    QVERIFY(stationTip->isVisible());
    // Level with the slot: both measured in the window, as the tip and the slot lie in different regions.
    QCOMPARE(stationTip->mapTo(&w, QPoint()).y(), favouriteSlot(w, slot)->mapTo(&w, QPoint()).y());
    QCOMPARE(control<QLabel>(w, u"stationTipText"_s)->text(), description);
}

void TestFavourites::highlightCleared_data()
{
    QTest::addColumn<QString>("where"); // where the pointer goes, or "right" to remove the favourite
    QTest::addColumn<bool>("tick");
    QTest::addColumn<bool>("cleared");

    // Moves over the window's background, the report panel's background and the report area clear the look,
    // and so does removing the favourite.
    QTest::newRow("window background") << u"MainWindow"_s << false << true;
    QTest::newRow("report panel background") << u"reportPanel"_s << false << true;
    QTest::newRow("report area") << u"reportArea"_s << false << true;
    QTest::newRow("favourite removed") << u"right"_s << false << true;

    // A move straight onto another control leaves the look until the next tick; a pointer resting on the
    // favourite keeps it across ticks.
    QTest::newRow("refresh button") << u"refreshButton"_s << false << false;
    QTest::newRow("report-type button") << u"tafButton"_s << false << false;
    QTest::newRow("refresh button, then a tick") << u"refreshButton"_s << true << true;
    QTest::newRow("resting on the favourite through a tick") << QString() << true << false;
}

void TestFavourites::highlightCleared()
{
    QFETCH(QString, where);
    QFETCH(bool, tick);
    QFETCH(bool, cleared);

    WindowFixture f;
    MainWindow& w = startOnBar(f, kFullBar);
    auto* reportArea = control<QTextEdit>(w, u"reportArea"_s);
    w.resize(600, w.height()); // narrow: the tick must not fold the window meanwhile
    run(f, { u"hover 4"_s });
    if (where == u"right") {
        run(f, { u"right 4"_s });
    } else if (!where.isEmpty()) {
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
        QTest::mouseMove(target, point);
        moveOver(w, target, point);
    }
    if (tick)
        part<RefreshTimer>(w).tick();
    QCOMPARE(control<QFrame>(w, u"stationTip"_s)->isVisible(), !cleared);
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
    QTest::newRow("code already in the bar") << bar({ u"LFPG"_s, u"EGLL"_s }) << u"+EGLL"_s << true;
    QTest::newRow("code added") << bar({ u"LFPG"_s, u"EGLL"_s }) << u"+KJFK"_s << false;
    QTest::newRow("code refused by a full bar") << kFullBar << u"+LEMD"_s << true;
}

void TestFavourites::tipAfterRequest()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, request);
    QFETCH(bool, tipShown);

    WindowFixture f;
    MainWindow& w = startOnBar(f, stored);
    run(f, { u"hover 0"_s, request });
    QCOMPARE(control<QFrame>(w, u"stationTip"_s)->isVisible(), tipShown);
}

QTEST_MAIN(TestFavourites)
#include "TestFavourites.moc"
