// The flight dossier from the window: asked for with Ctrl+D, fetched beside the window's own requests,
// cancelled, then previewed, saved and printed.
#include "dossier/DossierDialog.h"
#include "reports/RefreshTimer.h"
#include "support/ShellTestSupport.h"
#include "ui/Dialogs.h"

#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>

using namespace Qt::StringLiterals;

class TestDossierWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dossierBesideTheWindow();
};

void TestDossierWindow::dossierBesideTheWindow()
{
    WindowFixture f;
    for (const QString& code : { u"LFRS"_s, u"LFRN"_s })
        f.serveMetar(code, readFixture(u"metar/LFPG.TXT"_s).replace("LFPG", code.toLatin1()));
    for (const QString& code : { u"LFPG"_s, u"LFRS"_s }) {
        f.server.setBody(u"/data/forecasts/taf/stations/%1.TXT"_s.arg(code),
            readFixture(u"taf/LFPG.TXT"_s).replace("LFPG", code.toLatin1()));
    }
    f.server.setBody(u"/regusers/publictools/corp_comp/metar_taf_notam.html"_s, readFixture(u"notam/LFPG.html"_s));
    // The alternate's TAF never comes: the dossier waits for it as long as it is not cancelled.
    f.server.setReply(u"/data/forecasts/taf/stations/LFRN.TXT"_s, TestHttpServer::Reply { 200, {}, {}, true, 0 });
    MainWindow& w = Shell::start(f, { u"data/last=LFPG"_s });
    QTRY_VERIFY(w.shownReport().text.contains(u"LFPG"_s));

    // Ctrl+D opens the dialog wherever the focus is, the code box included.
    auto* codeBox = control<QLineEdit>(w, u"codeSearchEdit"_s);
    codeBox->setFocus();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(codeBox, Qt::Key_D, Qt::ControlModifier);
    auto& dialog = part<DossierDialog>(w);
    QTRY_VERIFY(dialog.isVisible());
    control<QLineEdit>(dialog, u"departureEdit"_s)->setText(u"LFPG"_s);
    control<QLineEdit>(dialog, u"destinationEdit"_s)->setText(u"lfrs"_s);
    control<QLineEdit>(dialog, u"alternateEdit1"_s)->setText(u"LFRN"_s);
    const QDateTime departure(QDate(2026, 12, 15), QTime(13, 0), Qt::UTC);
    control<QDateTimeEdit>(dialog, u"departEdit"_s)->setDateTime(departure);
    control<QDateTimeEdit>(dialog, u"arriveEdit"_s)->setDateTime(departure.addSecs(5400));
    auto* prepare = control<QPushButton>(dialog, u"prepareButton"_s);
    QTest::mouseClick(prepare, Qt::LeftButton);
    auto* progress = control<QProgressBar>(dialog, u"progressBar"_s);
    QTRY_COMPARE(progress->value(), 8);
    QCOMPARE(progress->text(), u"Stations : 2 sur 3 — bulletins : 8 sur 9"_s);

    // Meanwhile the automatic refresh, due at minute 10, shows the new METAR, and the dossier keeps waiting.
    f.serveMetar(u"LFPG"_s, readFixture(u"metar/EGLL.TXT"_s).replace("EGLL", "LFPG"));
    f.clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 10)));
    RefreshTimer& refreshTimer = part<RefreshTimer>(w);
    refreshTimer.setTicksSinceRefresh(20);
    refreshTimer.tick();
    QVERIFY(w.shownReport().text.contains(u"United Kingdom"_s));
    QCOMPARE(progress->value(), 8);

    // "Annuler" stops the download left; what was typed stays to be mended.
    QTest::mouseClick(control<QPushButton>(dialog, u"cancelButton"_s), Qt::LeftButton);
    QCOMPARE(control<QLabel>(dialog, u"messageLabel"_s)->text(),
        u"Téléchargements annulés : le dossier n'a pas été préparé."_s);
    QVERIFY(dialog.isVisible() && prepare->isEnabled());
    QCOMPARE(control<QLineEdit>(dialog, u"departureEdit"_s)->text(), u"LFPG"_s);

    // Without the alternate the dossier comes in whole and opens in its own window.
    control<QLineEdit>(dialog, u"alternateEdit1"_s)->clear();
    QTest::mouseClick(prepare, Qt::LeftButton);
    QWidget* preview = nullptr;
    QTRY_VERIFY((preview = w.findChild<QWidget*>(u"dossierPreview"_s)) != nullptr);
    QVERIFY(!dialog.isVisible());
    QVERIFY(control<QTextBrowser>(*preview, u"dossierView"_s)
                ->toPlainText()
                .contains(u"À l'arrivée (14:30 UTC ± 1 h) :"_s));

    QTemporaryDir folder;
    Dialogs::setNextFileName(folder.filePath(u"dossier"_s), u"Page web (*.html *.htm)"_s);
    QTest::mouseClick(control<QPushButton>(*preview, u"saveButton"_s), Qt::LeftButton);
    QFile saved(folder.filePath(u"dossier.html"_s));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(saved.readAll()).contains(u"Destination — LFRS — France, Nantes"_s));
    Dialogs::setNextPrinter(folder.filePath(u"printed.pdf"_s));
    QTest::mouseClick(control<QPushButton>(*preview, u"printButton"_s), Qt::LeftButton);
    QFile printed(folder.filePath(u"printed.pdf"_s));
    QVERIFY(printed.open(QIODevice::ReadOnly) && printed.read(5) == "%PDF-");
    QVERIFY(Dialogs::takeMessages().isEmpty());
}

QTEST_MAIN(TestDossierWindow)
#include "TestDossierWindow.moc"
