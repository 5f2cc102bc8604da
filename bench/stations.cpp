// Median times of the station directory's work on the shipped data, through the real window where the
// window does the work: filling the table and the two code lists, a search, a country and a city choice.
// Usage: QT_QPA_PLATFORM=offscreen build/bench/bench_stations [repetitions]
#include "MainWindow.h"
#include "Median.h"
#include "reports/RefreshTimer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

/// Fails the run when the measured work did not give the expected result (a fast wrong answer proves nothing).
bool check(bool ok, const char* what)
{
    if (!ok)
        std::printf("WRONG RESULT: %s\n", what);
    return ok;
}

bool report(const char* what, double ms, double targetMs)
{
    const bool ok = ms < targetMs;
    std::printf("%-52s median %8.3f ms  (target < %g ms) %s\n", what, ms, targetMs, ok ? "ok" : "MISSED");
    std::fflush(stdout);
    return ok;
}

template <typename T>
T* control(const MainWindow& window, const char16_t* name)
{
    return window.findChild<T*>(QString::fromUtf16(name));
}

void clickItem(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    list->setCurrentItem(found.value(0));
    Q_EMIT list->itemClicked(found.value(0));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 101;

    // A window with services that never leave the machine: reports are read from an empty folder, so the
    // start-up request fails at once.
    QTemporaryDir served;
    const QString base = QUrl::fromLocalFile(served.path()).toString();
    const RealServices services(RealServices::Kind::OneShot, GivenSources { base, base, u"http://site.test"_s },
        QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    MainWindow window(services.services());
    window.start();
    window.findChild<RefreshTimer*>()->stop();

    auto* codesAToK = control<QListView>(window, u"codesAToKList");
    auto* codesLToZ = control<QListView>(window, u"codesLToZList");
    auto* aToKModel = qobject_cast<QStringListModel*>(codesAToK->model());
    auto* lToZModel = qobject_cast<QStringListModel*>(codesLToZ->model());
    auto* searchEdit = control<QLineEdit>(window, u"codeSearchEdit");
    auto* searchButton = control<QPushButton>(window, u"searchButton");
    auto* searchResults = control<QListView>(window, u"searchResultsList");
    auto* browserButton = control<QPushButton>(window, u"browserButton");
    auto* browser = control<QWidget>(window, u"stationBrowser");
    auto* countries = control<QListWidget>(window, u"countryList");
    auto* cities = control<QListWidget>(window, u"cityList");
    auto* cityCodes = control<QListWidget>(window, u"cityCodeList");
    bool allOk = true;

    Stations::StationTable table;
    const double tableFill = medianMs(repetitions, [&] { Stations::fillFromEmbeddedData(table); });
    const double lists = medianMs(
        repetitions,
        [&] {
            aToKModel->setStringList(Stations::loadEmbeddedCodes(Stations::CodeHalf::AToK));
            lToZModel->setStringList(Stations::loadEmbeddedCodes(Stations::CodeHalf::LToZ));
        },
        [&] {
            aToKModel->setStringList({});
            lToZModel->setStringList({});
        });
    std::printf("%-52s median %8.3f ms\n", "table fill (4,528 entries)", tableFill);
    std::printf("%-52s median %8.3f ms\n", "code lists (load + models, 6,994 codes)", lists);
    allOk &= report("table and code lists together", tableFill + lists, 20);
    allOk &= check(
        table.count() == 4528 && aToKModel->rowCount() == 4151 && lToZModel->rowCount() == 2843, "table and lists");

    const auto search = [&](const QString& query) {
        return medianMs(
            repetitions, [&] { searchButton->click(); }, [&] { searchEdit->setText(query); });
    };
    allOk &= report("search \"LF\" (124 results)", search(u"lf"_s), 5);
    allOk &= check(searchResults->model()->rowCount() == 124, "search LF");
    allOk &= report("search \"\" (all 6,994 codes)", search(QString()), 5);
    allOk &= check(searchResults->model()->rowCount() == 6994, "empty search");

    browserButton->click(); // open the browser: the country list is filled
    allOk &= report("browser open (229 countries)",
        medianMs(
            repetitions, [&] { browserButton->click(); },
            [&] {
                if (!browser->isHidden())
                    browserButton->click();
            }),
        5);
    if (browser->isHidden())
        browserButton->click();
    allOk &= report(
        "country choice USA (1,624 cities)", medianMs(repetitions, [&] { clickItem(countries, u"USA"_s); }), 5);
    allOk &= check(countries->count() == 229 && cities->count() == 1624, "country choice");
    allOk &= report(
        "city choice USA / Paris (3 codes)", medianMs(repetitions, [&] { clickItem(cities, u"Paris"_s); }), 5);
    allOk &= check(cityCodes->count() == 3 && !cityCodes->isHidden(), "city choice");
    allOk &= report("code description (Stations::describe, 100 codes)",
        medianMs(repetitions,
            [&] {
                for (int i = 0; i < 100; ++i)
                    (void)Stations::describe(table, lToZModel->stringList().at(i));
            }),
        5);

    window.unload();
    return allOk ? 0 : 1;
}
