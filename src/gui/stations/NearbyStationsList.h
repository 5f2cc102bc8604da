#pragma once

#include <QFrame>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace Stations {
class StationTable;
}

/// The stations nearest to the current one, in a list that opens over the report like a menu: code,
/// distance, true bearing and place. A click or Enter on one chooses it; Escape or a click elsewhere closes it.
class NearbyStationsList final : public QFrame
{
    Q_OBJECT

public:
    NearbyStationsList(QWidget* parent, const Stations::StationTable& stations);
    Q_DISABLE_COPY_MOVE(NearbyStationsList)

    /// Lists the ten stations nearest to @p code and opens with its top right corner at @p globalTopRight.
    void openFor(const QString& code, QPoint globalTopRight);

Q_SIGNALS:
    void stationChosen(const QString& code);

private:
    void choose(const QTreeWidgetItem* item);

    const Stations::StationTable& m_stations;
    QLabel* m_caption = nullptr;
    QTreeWidget* m_list = nullptr;
};
