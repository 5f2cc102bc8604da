// The commands that take the briefing out of the real window: the report area's context menu and the keys that
// work anywhere in the window.
#include "support/WindowFixture.h"
#include "ui/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

const QString kMetarPath = u"/data/observations/metar/decoded/LFPG.TXT"_s;

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
    void savePrintAndExport_data();
    void savePrintAndExport();
    // Last: quitting tells the application to leave its event loops, which no later test could then run.
    void keysWorkAnywhereInTheWindow();

private:
    std::unique_ptr<WindowFixture> m_fixture;
    QTextEdit* m_area = nullptr;
};

void TestBriefingCommands::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->serveMetar(u"LFPG"_s, readFixture(u"metar/LFPG.TXT"_s));
    m_fixture->server.setBody(
        u"/regusers/publictools/corp_comp/metar_taf_notam.html"_s, readFixture(u"notam/LFPG.html"_s));
    MainWindow& w = m_fixture->window();
    w.start();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    m_area = control<QTextEdit>(w, u"reportArea"_s);
    QTRY_VERIFY(m_area->toPlainText().contains(u"METAR complet"_s));
    control<QPushButton>(w, u"refreshButton"_s)->setFocus(); // not a text field, which keeps its own Ctrl+C
}

void TestBriefingCommands::menuOffersTheCommandsWithTheirKeys()
{
    MainWindow& w = m_fixture->window();
    const QPoint at(40, 40);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, m_area->viewport()->mapToGlobal(at));
    QApplication::sendEvent(m_area->viewport(), &click);
    auto* menu = control<QMenu>(w, u"reportMenu"_s);
    QTRY_VERIFY(menu->isVisible());
    QStringList entries;
    for (QAction* entry : menu->actions()) {
        entries.append(entry->text() + u" | "_s + entry->shortcut().toString());
        // Each command is the window's, so its key works wherever the focus is, and the menu shows the key.
        QVERIFY(entry->isSeparator() || (w.actions().contains(entry) && entry->isShortcutVisibleInContextMenu()));
    }
    QCOMPARE(entries,
        (QStringList { u"Copier | Ctrl+C"_s, u"Copier le bulletin | "_s, u"Tout sélectionner | Ctrl+A"_s, u" | "_s,
            u"Enregistrer le bulletin… | Ctrl+S"_s, u"Imprimer… | Ctrl+P"_s, u"Exporter en PDF… | Ctrl+Shift+S"_s,
            u" | "_s, u"Dossier de vol… | Ctrl+D"_s }));
    menu->hide();
}

void TestBriefingCommands::savePrintAndExport_data()
{
    QTest::addColumn<QString>("command"); // the action's objectName
    QTest::addColumn<QString>("answer"); // the file name given, in a fresh folder ("" cancels)
    QTest::addColumn<QString>("filter"); // the filter left selected
    QTest::addColumn<QString>("written"); // the file that must hold the briefing ("" for none)
    QTest::addColumn<QString>("message"); // the message given, if any

    const QString pdf = u"Document PDF (*.pdf)"_s;
    QTest::newRow("text by its extension") << u"saveAction"_s << u"b.txt"_s << pdf << u"b.txt"_s << QString();
    QTest::newRow("HTML by its extension, whatever the filter")
        << u"saveAction"_s << u"b.HTM"_s << pdf << u"b.HTM"_s << QString();
    QTest::newRow("no extension takes the filter's")
        << u"saveAction"_s << u"b"_s << u"Page web (*.html *.htm)"_s << u"b.html"_s << QString();
    QTest::newRow("export adds .pdf") << u"exportPdfAction"_s << u"b.txt"_s << pdf << u"b.txt.pdf"_s << QString();
    QTest::newRow("print to a file") << u"printAction"_s << u"p.pdf"_s << QString() << u"p.pdf"_s << QString();
    QTest::newRow("cancelled") << u"saveAction"_s << QString() << QString() << QString() << QString();
    QTest::newRow("a folder that is not there")
        << u"saveAction"_s << u"missing/b.txt"_s << QString() << QString()
        << u"Enregistrement impossible: Le bulletin n'a pas été enregistré dans"_s;
    // A failure in the very folder of the answer: that folder is not offered next time either.
    QTest::newRow("a name too long for the folder")
        << u"saveAction"_s << QString(300, u'x') + u".txt"_s << QString() << QString()
        << u"Enregistrement impossible: Le bulletin n'a pas été enregistré dans"_s;
    QTest::newRow("nothing to save after a failed request")
        << u"saveAction"_s << u"b.txt"_s << QString() << QString()
        << u"Aucun bulletin: Le dernier bulletin demandé n'a pas pu être obtenu"_s;
}

// Save, export and print end to end through the dialogs' answers: the file written in the format asked for,
// the folder remembered and offered next time, and a failure told in French with the folder forgotten.
void TestBriefingCommands::savePrintAndExport()
{
    QFETCH(QString, command);
    QFETCH(QString, answer);
    QFETCH(QString, filter);
    QFETCH(QString, written);
    QFETCH(QString, message);

    MainWindow& w = m_fixture->window();
    QTemporaryDir folder;
    const QString path = answer.isEmpty() ? QString() : folder.filePath(answer);
    if (command == u"printAction")
        Dialogs::setNextPrinter(path);
    else
        Dialogs::setNextFileName(path, filter);
    // A failed request leaves nothing of the report before it, not even where that one was read.
    if (message.startsWith(u"Aucun bulletin"_s)) {
        w.showReport(u"EGLL"_s);
        QVERIFY(w.briefing().report.source.isEmpty());
    }
    w.findChild<QAction*>(command)->trigger();

    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList { written });
    const QStringList messages = Dialogs::takeMessages();
    QVERIFY2(message.isEmpty() ? messages.isEmpty() : messages.value(0).startsWith(message),
        qPrintable(messages.join(u'|')));
    if (!written.isEmpty()) {
        QString text;
        if (written.endsWith(u".pdf"_s)) {
            QProcess reader;
            reader.start(u"pdftotext"_s, { folder.filePath(written), u"-"_s });
            QVERIFY(reader.waitForFinished());
            text = QString::fromUtf8(reader.readAllStandardOutput());
        } else {
            QFile file(folder.filePath(written));
            QVERIFY(file.open(QIODevice::ReadOnly));
            text = QString::fromUtf8(file.readAll());
        }
        QVERIFY2(text.contains(u"LFPG — France, Paris"_s) && text.contains(u"METAR de 1930 UTC"_s), qPrintable(text));
        QCOMPARE(text.contains(u"<html"_s, Qt::CaseInsensitive), written.contains(u".htm"_s, Qt::CaseInsensitive));
    }
    // The next save proposes the folder of the last one that succeeded.
    Dialogs::setNextFileName(QString());
    w.findChild<QAction*>(u"saveAction"_s)->trigger();
    const bool remembered = !written.isEmpty() && command != u"printAction";
    QCOMPARE(QFileInfo(Dialogs::lastSuggestedPath()).absolutePath() == folder.path(), remembered);
}

void TestBriefingCommands::keysWorkAnywhereInTheWindow()
{
    MainWindow& w = m_fixture->window();
    QClipboard* clipboard = QGuiApplication::clipboard();

    // Nothing selected: the whole briefing, its heading and title with the report. Then the selection alone.
    press(Qt::CTRL | Qt::Key_C);
    QCOMPARE(clipboard->text().section(u'\n', 1, 1), u"METAR de 1930 UTC"_s);
    QVERIFY(clipboard->text().startsWith(u"LFPG"_s) && clipboard->text().contains(m_area->toPlainText()));
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
    auto* findEdit = control<QLineEdit>(w, u"findEdit"_s);
    press(Qt::CTRL | Qt::Key_F);
    QVERIFY(!findEdit->hasFocus());
    control<QRadioButton>(w, u"notamButton"_s)->click();
    QTRY_VERIFY(m_area->toPlainText().startsWith(u"LFPG A2871/26"_s));
    findEdit->setText(u"rwy"_s);
    press(Qt::CTRL | Qt::Key_F);
    QVERIFY(findEdit->hasFocus());
    // From inside the box too, the earlier search is selected, ready to be typed over.
    findEdit->deselect();
    press(Qt::CTRL | Qt::Key_F);
    QCOMPARE(findEdit->selectedText(), u"rwy"_s);

    // The help lists these keys, and they work while it is open: F5 closes it on the fresh report.
    auto* help = control<QWidget>(w, u"helpPanel"_s);
    control<QPushButton>(w, u"helpButton"_s)->click();
    const qsizetype asked = m_fixture->server.requests().size();
    press(Qt::Key_F5);
    QTRY_COMPARE(m_fixture->server.requests().size(), asked + 1);
    QVERIFY(!help->isVisible());
    control<QPushButton>(w, u"helpButton"_s)->click();

    // As "Quitter": the work files go and the window closes.
    QVERIFY(!QDir(m_fixture->workDir.path()).entryList({ u"*.txt"_s }, QDir::Files).isEmpty());
    press(Qt::CTRL | Qt::Key_Q);
    QVERIFY(!w.isVisible());
    QVERIFY(QDir(m_fixture->workDir.path()).entryList({ u"*.txt"_s }, QDir::Files).isEmpty());
}

QTEST_MAIN(TestBriefingCommands)
#include "TestBriefingCommands.moc"
