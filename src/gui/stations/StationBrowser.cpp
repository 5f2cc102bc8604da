#include "stations/StationBrowser.h"

#include "stations/StationTable.h"
#include "ui/Controls.h"
#include "ui/ListKeys.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>

using namespace Qt::StringLiterals;

using namespace Controls;

namespace {

QString chosenText(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item ? item->text() : QString();
}

} // namespace

StationBrowser::StationBrowser(QWidget* parent, const Stations::StationTable& stations)
    : QFrame(parent)
    , m_stations(stations)
{
    makePanel(this, u"stationBrowser"_s, QRect(2, 38, 204, 319));
    hide();

    m_countryList = place<QListWidget>(this, u"countryList"_s, QRect(5, 17, 186, 171));
    setBaseColour(m_countryList, 0xFFE0C0);
    m_cityCodeList = place<QListWidget>(this, u"cityCodeList"_s, QRect(125, 203, 39, 93));
    setBaseColour(m_cityCodeList, 0xC0FFC0);
    m_cityCodeList->hide();
    m_cityList = place<QListWidget>(this, u"cityList"_s, QRect(5, 189, 186, 119));
    setBaseColour(m_cityList, 0xFFC080);
    m_caption = label(this, u"browserCaption"_s, QRect(5, 1, 94, 13), u"Pays / Ville"_s);
    stack({ m_countryList, m_cityCodeList, m_cityList, m_caption });

    connect(m_countryList, &QListWidget::itemClicked, this, &StationBrowser::showCitiesOfChosenCountry);
    connect(m_cityList, &QListWidget::itemClicked, this, &StationBrowser::showCodesOfChosenCity);
    connect(m_cityCodeList, &QListWidget::itemClicked, this, &StationBrowser::chooseCityCode);
    // From the keyboard, Enter chooses as a click does. Moving through the countries fills the cities;
    // moving through the cities only lists their codes, so that no report is asked for at every key.
    auto* countryKeys = new ListKeys(m_countryList);
    connect(countryKeys, &ListKeys::entered, this, &StationBrowser::showCitiesOfChosenCountry);
    connect(countryKeys, &ListKeys::movedByKeys, this, &StationBrowser::showCitiesOfChosenCountry);
    auto* cityKeys = new ListKeys(m_cityList);
    connect(cityKeys, &ListKeys::entered, this, &StationBrowser::showCodesOfChosenCity);
    connect(cityKeys, &ListKeys::movedByKeys, this, &StationBrowser::listCodesOfChosenCity);
    connect(new ListKeys(m_cityCodeList), &ListKeys::entered, this, &StationBrowser::chooseCityCode);
    // As the help: Escape closes the panel that lies over the window. Hidden, the browser's key is dead.
    connect(Controls::shortcut(this, u"browserCloseShortcut"_s, QKeySequence(Qt::Key_Escape)), &QAction::triggered,
        this, &StationBrowser::toggle);
}

void StationBrowser::toggle()
{
    Q_EMIT userActivity();
    // The browser's own visibility, not the effective one: with the window hidden isVisible() is always
    // false and the browser could never be closed.
    const bool opening = isHidden();
    setVisible(opening);
    if (opening) {
        raise();
        m_countryList->clear();
        m_countryList->addItems(Stations::countries(m_stations));
        scrollSidewaysOnlyForWideItems(m_countryList);
    }
    Q_EMIT opened(opening);
}

QWidget* StationBrowser::chainTabOrderAfter(QWidget* previous)
{
    // The codes of a city with several airports come after the cities, where they are chosen from.
    return chainTabOrder(previous, { m_countryList, m_cityList, m_cityCodeList });
}

void StationBrowser::showCitiesOfChosenCountry()
{
    Q_EMIT userActivity();
    m_cityCodeList->hide();
    m_cityList->clear();
    m_cityList->addItems(Stations::citiesOf(m_stations, chosenText(m_countryList)));
    scrollSidewaysOnlyForWideItems(m_cityList);
}

void StationBrowser::showCodesOfChosenCity()
{
    Q_EMIT userActivity();
    m_cityCodeList->clear();
    m_cityCodeList->hide();
    const QStringList codes = Stations::codesOf(m_stations, chosenText(m_countryList), chosenText(m_cityList));
    m_cityCodeList->addItems(codes);
    if (codes.size() == 1)
        Q_EMIT stationChosen(codes.first());
    else
        m_cityCodeList->show();
}

void StationBrowser::listCodesOfChosenCity()
{
    Q_EMIT userActivity();
    m_cityCodeList->clear();
    m_cityCodeList->addItems(Stations::codesOf(m_stations, chosenText(m_countryList), chosenText(m_cityList)));
    m_cityCodeList->show();
}

void StationBrowser::chooseCityCode()
{
    Q_EMIT stationChosen(chosenText(m_cityCodeList));
    m_cityCodeList->hide();
}
