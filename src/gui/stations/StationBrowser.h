#pragma once

#include <QFrame>

class QLabel;
class QListWidget;

namespace Stations {
class StationTable;
}

/// The country and city browser: a list of countries, the cities of the chosen country, and the codes of
/// the chosen city when it has several. It lies over the code lists while open.
class StationBrowser final : public QFrame
{
    Q_OBJECT

public:
    StationBrowser(QWidget* parent, const Stations::StationTable& stations);
    Q_DISABLE_COPY_MOVE(StationBrowser)

    /// Opens the browser with the country list filled afresh, or closes it.
    void toggle();
    /// Puts the browser's lists after @p previous in the tab order; returns the last of them.
    QWidget* chainTabOrderAfter(QWidget* previous);

Q_SIGNALS:
    void opened(bool open);
    /// The user chose a station: a city with a single code, or a code of the city's list.
    void stationChosen(const QString& code);
    /// The user is looking for a station: the automatic refresh leaves the window as it is meanwhile.
    void userActivity();

private:
    void showCitiesOfChosenCountry();
    void showCodesOfChosenCity();
    void listCodesOfChosenCity();
    void chooseCityCode();

    const Stations::StationTable& m_stations;
    QListWidget* m_countryList = nullptr;
    QListWidget* m_cityList = nullptr;
    QListWidget* m_cityCodeList = nullptr;
    QLabel* m_caption = nullptr;
};
