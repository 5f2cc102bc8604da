#include "favourites/FavouritesBar.h"

#include "stations/StationTable.h"
#include "ui/Artwork.h"
#include "ui/Controls.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QMouseEvent>

using namespace Controls;

namespace {

constexpr quint32 kNavy = 0x000080;
constexpr quint32 kHoverBlue = 0x0000FF;
constexpr int kTop = 1095; // the bar's place in the report panel; the slots are placed relative to it
constexpr std::array<int, FavouritesBar::kSlots> kSlotTops { 1095, 1440, 1770, 2115, 2445, 2790, 3120, 3465, 3795, 4140,
    4470, 4815 };

void setSlotBackground(QLabel* slot, quint32 rgb)
{
    QPalette palette = slot->palette();
    palette.setColor(QPalette::Window, Twips::rgb(rgb));
    slot->setPalette(palette);
}

} // namespace

FavouritesBar::FavouritesBar(QWidget* parent, const Stations::StationTable& stations)
    : QWidget(parent)
    , m_stations(stations)
{
    setObjectName(u"favouritesBar"_qs);
    setGeometry(Twips::rect(0, kTop, 855, kSlotTops.back() + 270 - kTop));
    setMouseTracking(true);

    const QCursor pointer(
        Artwork::FavouritePointerIcon(), Artwork::kFavouritePointerHotSpot.x(), Artwork::kFavouritePointerHotSpot.y());
    for (int i = 0; i < kSlots; ++i) {
        QLabel* slot = label(this, u"favouriteSlot%1"_qs.arg(i), Twips::rect(0, kSlotTops[i] - kTop, 855, 270), {});
        slot->setFont(sansFont(9.75, true));
        slot->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setBaseColour(slot, kNavy);
        setTextColour(slot, 0xE0E0E0);
        slot->setMouseTracking(true);
        slot->setCursor(pointer);
        slot->hide();
        slot->installEventFilter(this);
        m_slots[i] = slot;
    }
}

QStringList FavouritesBar::favourites() const
{
    return QStringList(m_codes.cbegin(), m_codes.cend());
}

void FavouritesBar::setFavourites(const QStringList& codes)
{
    for (int i = 0; i < kSlots; ++i)
        setSlot(i, codes.value(i));
}

void FavouritesBar::setSlot(int index, const QString& code)
{
    m_codes[index] = code;
    QLabel* slot = m_slots[index];
    slot->setText(code);
    slot->setVisible(!code.isEmpty());
}

bool FavouritesBar::addFavourite(const QString& code)
{
    if (std::find(m_codes.cbegin(), m_codes.cend(), code) != m_codes.cend())
        return false;
    for (int i = 0; i < kSlots; ++i) {
        if (m_codes[i].isEmpty()) {
            setSlot(i, code);
            return true;
        }
    }
    return false;
}

void FavouritesBar::clearHighlight()
{
    for (QLabel* slot : m_slots)
        setSlotBackground(slot, kNavy);
}

void FavouritesBar::highlight(int index)
{
    for (int i = 0; i < kSlots; ++i)
        setSlotBackground(m_slots[i], i == index ? kHoverBlue : kNavy);
    // Looked up when shown, so the station table is read only once someone points at a favourite.
    Q_EMIT favouriteHovered(
        y() + m_slots[index]->y(), Stations::DescribeStation(m_stations, m_codes[index]).value_or(QString()));
}

void FavouritesBar::onSlotPressed(int index, Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        Q_EMIT favouriteChosen(m_codes[index]);
    } else if (button == Qt::RightButton && !m_codes[index].isEmpty()) {
        // Removing a favourite frees its slot for the next new code; the others keep their places.
        setSlot(index, QString());
    }
}

bool FavouritesBar::eventFilter(QObject* watched, QEvent* event)
{
    const auto slot = std::find(m_slots.begin(), m_slots.end(), watched);
    if (slot == m_slots.end())
        return QWidget::eventFilter(watched, event);
    const int index = static_cast<int>(slot - m_slots.begin());
    if (event->type() == QEvent::MouseButtonPress) {
        onSlotPressed(index, static_cast<QMouseEvent*>(event)->button());
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        highlight(index);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FavouritesBar::mouseMoveEvent(QMouseEvent* event)
{
    clearHighlight();
    Q_EMIT pointerLeftFavourites();
    QWidget::mouseMoveEvent(event);
}
