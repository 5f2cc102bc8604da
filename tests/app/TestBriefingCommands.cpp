// The commands that take the briefing out of the real window: the report area's context menu and the keys that
// work anywhere in the window.
#include "support/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

namespace {

const QString kMetarPath = u"/data/observations/metar/decoded/LFPG.TXT"_qs;

void press(QKeyCombination keys)
{
    QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
}

} // namespace

class TestBriefingCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void menuOffersTheCommandsWithTheirKeys();
    // Last: quitting tells the application to leave its event loops, which no later test could then run.
    void keysWorkAnywhereInTheWindow();

private:
    std::unique_ptr<WindowFixture> m_fixture;
    QTextEdit* m_area = nullptr;
};

void TestBriefingCommands::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->serveMetar(u"LFPG"_qs, readFixture(u"metar/LFPG.TXT"_qs));
    m_fixture->server.setBody(
        u"/regusers/publictools/corp_comp/metar_taf_notam.html"_qs, readFixture(u"notam/LFPG.html"_qs));
    MainWindow& w = m_fixture->window();
    w.start();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    m_area = control<QTextEdit>(w, u"reportArea"_qs);
    QTRY_VERIFY(m_area->toPlainText().contains(u"METAR complet"_qs));
    control<QPushButton>(w, u"refreshButton"_qs)->setFocus(); // not a text field, which keeps its own Ctrl+C
}

void TestBriefingCommands::menuOffersTheCommandsWithTheirKeys()
{
    MainWindow& w = m_fixture->window();
    const QPoint at(40, 40);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, m_area->viewport()->mapToGlobal(at));
    QApplication::sendEvent(m_area->viewport(), &click);
    auto* menu = control<QMenu>(w, u"reportMenu"_qs);
    QTRY_VERIFY(menu->isVisible());
    QStringList entries;
    for (QAction* entry : menu->actions()) {
        entries.append(entry->text() + u" | "_qs + entry->shortcut().toString());
        // Each command is the window's, so its key works wherever the focus is, and the menu shows the key.
        QVERIFY(entry->isSeparator() || (w.actions().contains(entry) && entry->isShortcutVisibleInContextMenu()));
    }
    QCOMPARE(entries,
        (QStringList { u"Copier | Ctrl+C"_qs, u"Tout sélectionner | Ctrl+A"_qs, u" | "_qs,
            u"Enregistrer le bulletin… | Ctrl+S"_qs, u"Imprimer… | Ctrl+P"_qs,
            u"Exporter en PDF… | Ctrl+Shift+S"_qs }));
    menu->hide();
}

void TestBriefingCommands::keysWorkAnywhereInTheWindow()
{
    MainWindow& w = m_fixture->window();
    QClipboard* clipboard = QGuiApplication::clipboard();

    // Nothing selected: the whole report. Then the selection alone.
    press(Qt::CTRL | Qt::Key_C);
    QCOMPARE(clipboard->text(), m_area->toPlainText());
    press(Qt::CTRL | Qt::Key_A);
    QCOMPARE(m_area->textCursor().selectedText().size(), m_area->toPlainText().size());
    QTextCursor part(m_area->document());
    part.setPosition(0);
    part.setPosition(6, QTextCursor::KeepAnchor);
    m_area->setTextCursor(part);
    press(Qt::CTRL | Qt::Key_C);
    QCOMPARE(clipboard->text(), m_area->toPlainText().left(6));

    press(Qt::Key_F5);
    QTRY_COMPARE(m_fixture->server.requests().count(kMetarPath), 2);

    // Ctrl+F reaches the find box only while NOTAMs are the selected type.
    auto* findEdit = control<QLineEdit>(w, u"findEdit"_qs);
    press(Qt::CTRL | Qt::Key_F);
    QVERIFY(!findEdit->hasFocus());
    control<QRadioButton>(w, u"notamButton"_qs)->click();
    QTRY_VERIFY(m_area->toPlainText().startsWith(u"LFPG A2871/26"_qs));
    press(Qt::CTRL | Qt::Key_F);
    QVERIFY(findEdit->hasFocus());

    control<QPushButton>(w, u"helpButton"_qs)->click();
    auto* help = control<QWidget>(w, u"helpPanel"_qs);
    QVERIFY(help->isVisible());
    press(Qt::Key_Escape);
    QVERIFY(!help->isVisible());

    // As "Quitter": the work files go and the window closes.
    QVERIFY(!QDir(m_fixture->workDir.path()).entryList({ u"*.txt"_qs }, QDir::Files).isEmpty());
    press(Qt::CTRL | Qt::Key_Q);
    QVERIFY(!w.isVisible());
    QVERIFY(QDir(m_fixture->workDir.path()).entryList({ u"*.txt"_qs }, QDir::Files).isEmpty());
}

QTEST_MAIN(TestBriefingCommands)
#include "TestBriefingCommands.moc"
