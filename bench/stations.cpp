// Median times of the station directory's work on the shipped data, through the real window where the
// window does the work: filling the table and the two code lists, a search, a country and a city choice.
// Usage: QT_QPA_PLATFORM=offscreen build/bench/bench_stations [repetitions]
#include "platform/Clock.h"
#include "platform/LinkOpener.h"
#include "app/MainWindow.h"
#include "platform/SettingsStore.h"
#include "platform/NetworkDownloader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

class NoLinkOpener final : public LinkOpener
{
public:
    void open(const QString&) override { }
};

/// Median wall time of @p work over @p repetitions runs, in milliseconds; @p prepare runs untimed before each.
double medianMs(int repetitions, const std::function<void()>& work, const std::function<void()>& prepare = {})
{
    std::vector<double> times;
    times.reserve(repetitions);
    for (int i = 0; i < repetitions; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

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
    QTemporaryDir work;
    QTemporaryDir served;
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    NetworkDownloader downloader(std::chrono::milliseconds(1000));
    MemorySettingsStore settings;
    NoLinkOpener links;
    const QString base = QUrl::fromLocalFile(served.path()).toString();
    MainWindow window(Services{&downloader, &clock, &settings, &links, WorkFolder(work.path()),
        Sources{base, base, u"http://site.test"_qs}});
    window.Form_Load();
    window.Timer1->stop();

    bool allOk = true;

    Stations::StationTable table;
    const double iniTerr = medianMs(repetitions, [&] { Stations::FillFromEmbeddedData(table); });
    const double lists = medianMs(repetitions, [&] {
        const Stations::StationData data = Stations::LoadEmbeddedStationData();
        window.List1[0]->addItems(data.codesAToK);
        window.List1[1]->addItems(data.codesLToZ);
    }, [&] {
        window.List1[0]->clear();
        window.List1[1]->clear();
    });
    std::printf("%-52s median %8.3f ms\n", "FillFromEmbeddedData (4,528 entries)", iniTerr);
    std::printf("%-52s median %8.3f ms\n", "code lists (load + addItems, 6,994 codes)", lists);
    allOk &= report("table and code lists together", iniTerr + lists, 20);
    allOk &= check(table.count() == 4528 && window.List1[0]->count() == 4151 && window.List1[1]->count() == 2843,
        "table and lists");

    const auto search = [&](const QString& query) {
        return medianMs(repetitions, [&] { window.Command1->click(); }, [&] { window.Text1->setText(query); });
    };
    allOk &= report("search \"LF\" (Command1: 124 results)", search(u"lf"_qs), 5);
    allOk &= check(window.List2->count() == 124, "search LF");
    allOk &= report("search \"\" (Command1: all 6,994 codes)", search(QString()), 5);
    allOk &= check(window.List2->count() == 6994, "empty search");

    window.Command9->click(); // open the browser: List3 holds the countries
    allOk &= report("browser open (Command9: 229 countries)", medianMs(repetitions, [&] {
        window.Command9->click();
    }, [&] {
        if (!window.Frame3->isHidden())
            window.Command9->click();
    }), 5);
    if (window.Frame3->isHidden())
        window.Command9->click();
    allOk &= report("country choice USA (List3: 1,624 cities)",
        medianMs(repetitions, [&] { clickItem(window.List3, u"USA"_qs); }), 5);
    allOk &= check(window.List3->count() == 229 && window.List4->count() == 1624, "country choice");
    allOk &= report("city choice USA / Paris (List4: 3 codes)",
        medianMs(repetitions, [&] { clickItem(window.List4, u"Paris"_qs); }), 5);
    allOk &= check(window.List5->count() == 3 && !window.List5->isHidden(), "city choice");
    allOk &= report("code description (DescribeStation, 100 codes)", medianMs(repetitions, [&] {
        for (int i = 0; i < 100; ++i)
            (void)Stations::DescribeStation(window.stationTable(), window.List1[1]->item(i)->text());
    }), 5);

    window.Form_Unload();
    return allOk ? 0 : 1;
}
