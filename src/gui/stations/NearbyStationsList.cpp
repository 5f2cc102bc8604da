#include "stations/NearbyStationsList.h"

#include "stations/StationListing.h"
#include "ui/Controls.h"
#include "ui/ListKeys.h"

#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCodeRole = Qt::UserRole;
constexpr int kMargin = 6;

} // namespace

NearbyStationsList::NearbyStationsList(QWidget* parent, const Stations::StationTable& stations)
    : QFrame(parent, Qt::Popup)
    , m_stations(stations)
{
    setObjectName(u"nearbyStations"_s);
    setFrameShape(QFrame::Box);
    setFont(Controls::sansFont(8));
    m_caption = new QLabel(this);
    m_caption->setObjectName(u"nearbyCaption"_s);
    m_caption->setFont(Controls::sansFont(8, true));
    Controls::setTextColour(m_caption, 0x000080);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"nearbyList"_s);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({ u"Code"_s, u"Distance"_s, u"Relèvement vrai"_s, u"Station"_s });
    m_list->header()->setStretchLastSection(false);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(m_caption);
    layout->addWidget(m_list);

    connect(m_list, &QTreeWidget::itemClicked, this, &NearbyStationsList::choose);
    connect(new ListKeys(m_list), &ListKeys::entered, this, [this] { choose(m_list->currentItem()); });
}

void NearbyStationsList::openFor(const QString& code, QPoint globalTopRight)
{
    const QList<Stations::NearbyStation> nearby = Stations::nearbyStations(m_stations, code);
    m_caption->setText(nearby.isEmpty() ? u"Position de %1 inconnue : pas de stations proches"_s.arg(code)
                                        : u"Les %1 stations les plus proches de %2"_s.arg(nearby.size()).arg(code));
    m_list->clear();
    for (const Stations::NearbyStation& station : nearby) {
        auto* item = new QTreeWidgetItem(m_list,
            { station.where.code, Stations::distanceWords(station.where), Stations::bearingWords(station.where),
                Stations::placeWords(station.city, station.country, station.name) });
        item->setData(0, kCodeRole, station.where.code);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_list->setVisible(!nearby.isEmpty());
    if (!nearby.isEmpty())
        m_list->setCurrentItem(m_list->topLevelItem(0));

    // Sized to its rows, every column whole: nothing is cut, so nothing needs a scroll bar.
    const QHeaderView& header = *m_list->header();
    for (int column = 0; column < m_list->columnCount(); ++column)
        m_list->resizeColumnToContents(column);
    const int rowsWidth = header.length();
    const int frame = 2 * m_list->frameWidth();
    const int rowHeight = nearby.isEmpty() ? 0 : m_list->sizeHintForRow(0);
    const int listHeight = header.sizeHint().height() + rowHeight * static_cast<int>(nearby.size()) + frame;
    m_list->setFixedSize(rowsWidth + frame, listHeight);
    adjustSize();
    QPoint topLeft = globalTopRight - QPoint(width(), 0);
    // Kept on the screen, as a menu is.
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : nullptr) {
        const QRect room = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), room.left(), std::max(room.left(), room.right() - width())));
        topLeft.setY(std::clamp(topLeft.y(), room.top(), std::max(room.top(), room.bottom() - height())));
    }
    move(topLeft);
    show();
    m_list->setFocus(Qt::PopupFocusReason);
}

void NearbyStationsList::choose(const QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString code = item->data(0, kCodeRole).toString();
    hide();
    Q_EMIT stationChosen(code);
}
