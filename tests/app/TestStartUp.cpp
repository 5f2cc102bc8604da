// Start-up and shut-down of the real window: what is restored from the settings and in which order, the
// first report, and what the close box and "Quitter" save and delete.
#include "help/HelpPanel.h"
#include "reports/RefreshTimer.h"
#include "support/ShellTestSupport.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

using Shell::bar;
using Shell::captions;

namespace {

QStringList storedBar(const MemorySettingsStore& settings)
{
    QStringList out;
    for (int i = 0; i < 12; ++i)
        out.append(settings.read(u"Fav"_s, QString::number(i), u"<absent>"_s));
    return out;
}

QStringList withSlot(int index, const QString& code, QStringList codes = bar({}))
{
    codes[index] = code;
    return codes;
}

// "Quitter" ends the event loop; in a test, where none runs, it leaves the thread unable to run one (and
// so to download) until the application's loop has started and ended once.
void clickQuit(MainWindow& w)
{
    QTest::mouseClick(control<QPushButton>(w, u"quitButton"_s), Qt::LeftButton);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUp_data();
    void startUp();
    void restoredBar_data();
    void restoredBar();
    void lastCodeNotACode_data();
    void lastCodeNotACode();
    void save_data();
    void save();
    void saveRunsOnce();
    void slowFirstReportDoesNotKeepTheWindowAway();
};

void TestStartUp::startUp_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("request");

    const QString metar = u"/data/observations/metar/decoded/EGLL.TXT"_s;
    const QString notam = u"/regusers/publictools/corp_comp/metar_taf_notam.html?icao=EGLL"_s;
    const auto stored = [](const char* info) {
        return QStringList { u"Fav/0=LFPG"_s, u"data/last=EGLL"_s, u"data/Info="_s + QString::fromLatin1(info) };
    };
    // The stored type selects its button, whose click requests the stored last code.
    QTest::newRow("METAR") << stored("0") << 0 << metar;
    QTest::newRow("TAF") << stored("1") << 1 << u"/data/forecasts/taf/stations/EGLL.TXT"_s;
    QTest::newRow("NOTAM") << stored("2") << 2 << notam;
    QTest::newRow("one and a half, to even") << stored("1.5") << 2 << notam;
    QTest::newRow("first run") << QStringList() << 0 << u"/data/observations/metar/decoded/LFPG.TXT"_s;

    // A type that names no button starts on METAR.
    QTest::newRow("seven") << stored("7") << 0 << metar;
    QTest::newRow("letters") << stored("abc") << 0 << metar;
}

void TestStartUp::startUp()
{
    QFETCH(QStringList, stored);
    QFETCH(int, type);
    QFETCH(QString, request);

    WindowFixture f;
    DownloadSpy spy(f.downloader);
    Services services = f.services();
    services.downloader = &spy;
    MainWindow w(services);
    auto* versionLabel = control<QLabel>(w, u"versionLabel"_s);
    auto* stationCode = control<QLabel>(w, u"stationCode"_s);
    auto* helpPanel = control<HelpPanel>(w, u"helpPanel"_s);
    auto* findBox = control<QFrame>(w, u"findBox"_s);
    auto* firstSlot = control<QLabel>(w, u"favouriteSlot0"_s);
    auto* stationTipText = control<QLabel>(w, u"stationTipText"_s);
    const QList<QRadioButton*> typeButtons { control<QRadioButton>(w, u"metarButton"_s),
        control<QRadioButton>(w, u"tafButton"_s), control<QRadioButton>(w, u"notamButton"_s) };
    const QString code = stored.isEmpty() ? u"LFPG"_s : u"EGLL"_s;
    // Everything but the report is in place when the first download starts: version, current code, the bar
    // restored and described from the filled station table, the help panel moved, no find panel yet. The
    // window itself waits for the report, so that it paints once, with it.
    int downloads = 0;
    spy.onDownload = [&](const QString&) {
        if (downloads++)
            return;
        QVERIFY(!w.isVisible());
        QCOMPARE(versionLabel->text(), u"Version:3.0.0"_s);
        QCOMPARE(stationCode->text(), code);
        QCOMPARE(captions(w), stored.isEmpty() ? bar({}) : bar({ u"LFPG"_s }));
        QCOMPARE(helpPanel->x(), -13);
        QVERIFY(!findBox->isVisible());
        if (!stored.isEmpty()) {
            QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton, {});
            QApplication::sendEvent(firstSlot, &move);
            QCOMPARE(stationTipText->text(), u"Paris (France)"_s);
        }
    };
    f.serveMetar(code, readFixture(u"metar/"_s + code + u".TXT"_s));
    Shell::store(f.settings, stored);
    w.start();

    QVERIFY(w.isVisible());
    QCOMPARE(downloads, 1);
    QCOMPARE(f.server.requests(), QStringList { request });
    for (int i = 0; i < 3; ++i)
        QCOMPARE(typeButtons[i]->isChecked(), i == type);
    QCOMPARE(findBox->isVisible(), type == 2);
    QCOMPARE(captions(w), stored.isEmpty() ? bar({ code }) : bar({ u"LFPG"_s, code }));
    QVERIFY(part<RefreshTimer>(w).isActive());
}

void TestStartUp::restoredBar_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("expected");

    // Each key fills its own slot; the others stay empty and hidden.
    QTest::newRow("keys 3 and 7 only") << QStringList { u"Fav/3=LFPG"_s, u"Fav/7=EGLL"_s }
                                       << withSlot(7, u"EGLL"_s, withSlot(3, u"LFPG"_s));
    QTest::newRow("empty value stays hidden") << QStringList { u"Fav/0="_s, u"Fav/1=KJFK"_s } << withSlot(1, u"KJFK"_s);
    QTest::newRow("bottom slot") << QStringList { u"Fav/11=LFPO"_s } << withSlot(11, u"LFPO"_s);

    // Stored values are not checked: any text is a caption, and keys that name no slot are not read.
    QTest::newRow("any text is a caption")
        << QStringList { u"Fav/2=n'importe quoi"_s } << withSlot(2, u"n'importe quoi"_s);
    QTest::newRow("keys that name no slot")
        << QStringList { u"Fav/12=LFPG"_s, u"Fav/-1=EGLL"_s, u"Fav/03=KJFK"_s } << bar({});
}

void TestStartUp::restoredBar()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, expected);

    WindowFixture f;
    const MainWindow& w = Shell::start(f, stored + QStringList { u"data/last=-"_s });
    QCOMPARE(captions(w), expected);
    for (int i = 0; i < FavouritesBar::kSlots; ++i) {
        const auto* slot = control<QLabel>(w, u"favouriteSlot%1"_s.arg(i));
        QCOMPARE(slot->isVisible(), !slot->text().isEmpty());
        QCOMPARE(slot->cursor().shape(), Qt::BitmapCursor); // the favourites' pointer, empty slots included
    }
}

void TestStartUp::lastCodeNotACode_data()
{
    QTest::addColumn<QString>("last");

    // Any stored text is requested like a code and fails like a failed download, reaching no server.
    QTest::newRow("path") << u"../../etc/passwd"_s;
    QTest::newRow("blank inside") << u"LF PG"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("address") << u"LFPG.TXT?x=1"_s;
    QTest::newRow("long") << QString(300, u'A');
}

void TestStartUp::lastCodeNotACode()
{
    QFETCH(QString, last);

    WindowFixture f;
    MainWindow& w = Shell::start(f, { u"data/last="_s + last });
    QVERIFY(f.server.requests().isEmpty());
    // A failed download says so first; the line after says why.
    QCOMPARE(control<QTextEdit>(w, u"reportArea"_s)->toPlainText().section(u'\n', 0, 0), u"Connexion à internet ..."_s);
    QCOMPARE(control<QLabel>(w, u"stationCode"_s)->text(), last);
    QCOMPARE(captions(w), bar({}));
    QCOMPARE(f.settings.read(u"data"_s, u"last"_s, {}), last);

    // The window stays usable.
    w.showReport(u"LFPG"_s);
    QCOMPARE(captions(w), bar({ u"LFPG"_s }));
}

void TestStartUp::save_data()
{
    QTest::addColumn<bool>("quit");
    QTest::addColumn<QList<int>>("removed");
    QTest::addColumn<QStringList>("saved");

    // The close box and "Quitter" save all twelve slots, empty ones included, and the selected type.
    QTest::newRow("close box") << false << QList<int> { 1 } << bar({ u"LFPG"_s, QString(), u"KJFK"_s });
    QTest::newRow("Quitter") << true << QList<int> { 1 } << bar({ u"LFPG"_s, QString(), u"KJFK"_s });
    QTest::newRow("every favourite removed") << false << QList<int> { 0, 1, 2 } << bar({});
}

void TestStartUp::save()
{
    QFETCH(bool, quit);
    QFETCH(QList<int>, removed);
    QFETCH(QStringList, saved);

    WindowFixture f;
    MainWindow& w
        = Shell::start(f, { u"Fav/0=LFPG"_s, u"Fav/1=EGLL"_s, u"Fav/2=KJFK"_s, u"data/Info=1"_s, u"data/last=KJFK"_s });

    // Work files beside files that are not: other names, a sub-folder, and text files of the user's elsewhere.
    const QDir work(f.workDir.path());
    QTemporaryDir elsewhere;
    QTemporaryDir besideProgram(QCoreApplication::applicationDirPath() + u"/user-XXXXXX"_s);
    const QStringList workFiles { u"V.txt"_s, u"LFPG.txt"_s, u".txt"_s };
    const QStringList kept { u"notes.md"_s, u"archive.txt.bak"_s, u"sub/inner.txt"_s, u"folder.txt/a"_s,
        elsewhere.filePath(u"notes.txt"_s), besideProgram.filePath(u"notes.txt"_s) };
    for (const QString& name : workFiles + kept) {
        QVERIFY(work.mkpath(QFileInfo(work.filePath(name)).path()));
        QVERIFY(QFile(work.filePath(name)).open(QIODevice::WriteOnly));
    }

    QTest::mouseClick(control<QRadioButton>(w, u"notamButton"_s), Qt::LeftButton);
    for (const int slot : removed)
        QTest::mouseClick(control<QLabel>(w, u"favouriteSlot%1"_s.arg(slot)), Qt::RightButton);
    if (quit)
        clickQuit(w);
    else
        w.close();

    QVERIFY(!w.isVisible());
    QCOMPARE(storedBar(f.settings), saved);
    QCOMPARE(f.settings.read(u"data"_s, u"Info"_s, {}), u"2"_s);
    for (const QString& name : workFiles)
        QVERIFY2(QFile::exists(work.filePath(name)) != quit, qPrintable(name));
    for (const QString& name : kept)
        QVERIFY2(QFile::exists(work.filePath(name)), qPrintable(name));
}

void TestStartUp::saveRunsOnce()
{
    WindowFixture f;
    MainWindow& w = Shell::start(f, { u"Fav/0=LFPG"_s });
    QCOMPARE(control<QLabel>(w, u"reportTitle"_s)->text(), u"METAR de 1930 UTC"_s);
    w.close();
    QCOMPARE(f.settings.read(u"Fav"_s, u"0"_s, {}), u"LFPG"_s);

    // However the end is asked for again ("Quitter", the end of the event loop), the save does not run twice.
    f.settings.write(u"Fav"_s, u"0"_s, u"written meanwhile"_s);
    clickQuit(w);
    w.unload();
    QCOMPARE(f.settings.read(u"Fav"_s, u"0"_s, {}), u"written meanwhile"_s);
    QVERIFY(!QFile::exists(f.workDir.filePath(u"V.txt"_s))); // the quit still empties the work folder
}

void TestStartUp::slowFirstReportDoesNotKeepTheWindowAway()
{
    WindowFixture f;
    f.server.setReply(u"/data/observations/metar/decoded/LFPG.TXT"_s,
        TestHttpServer::Reply { 200, readFixture(u"metar/LFPG.TXT"_s), {}, false, 1500 });
    MainWindow& w = f.window();
    bool shownDuringDownload = false;
    QTimer::singleShot(1000, &w, [&] { shownDuringDownload = w.isVisible(); });
    w.start();
    QVERIFY(shownDuringDownload);
    QCOMPARE(control<QLabel>(w, u"reportTitle"_s)->text(), u"METAR de 1930 UTC"_s);
}

QTEST_MAIN(TestStartUp)
#include "TestStartUp.moc"
