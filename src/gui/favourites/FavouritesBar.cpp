#include "favourites/FavouritesBar.h"

#include "stations/StationTable.h"
#include "ui/Artwork.h"
#include "ui/Controls.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

using namespace Controls;

namespace {

constexpr QRgb kNavy = 0x000080;
constexpr QRgb kHoverBlue = 0x0000FF;
constexpr int kTop = 73; // the bar's place in the report panel; the slots are placed relative to it
constexpr std::array<int, FavouritesBar::kSlots> kSlotTops { 73, 96, 118, 141, 163, 186, 208, 231, 253, 276, 298, 321 };
constexpr QSize kSlotSize(57, 18);

void setSlotBackground(QLabel* slot, QRgb rgb)
{
    QPalette palette = slot->palette();
    palette.setColor(QPalette::Window, QColor(rgb));
    slot->setPalette(palette);
}

} // namespace

FavouritesBar::FavouritesBar(QWidget* parent, const Stations::StationTable& stations)
    : QWidget(parent)
    , m_stations(stations)
{
    setObjectName(u"favouritesBar"_s);
    setGeometry(0, kTop, kSlotSize.width(), kSlotTops.back() + kSlotSize.height() - kTop);
    setMouseTracking(true);
    // Taking the focus from the start, so the window can give the bar its place in the tab order; an empty
    // bar gives it up (setSlot).
    setFocusPolicy(Qt::TabFocus);

    const QCursor pointer(
        Artwork::favouritePointerIcon(), Artwork::kFavouritePointerHotSpot.x(), Artwork::kFavouritePointerHotSpot.y());
    for (int i = 0; i < kSlots; ++i) {
        QLabel* slot = label(this, u"favouriteSlot%1"_s.arg(i), QRect(QPoint(0, kSlotTops[i] - kTop), kSlotSize), {});
        slot->setFont(sansFont(9.75, true));
        // Centred both ways, so the frame that marks the keyboard's slot never pushes the code out of it.
        slot->setAlignment(Qt::AlignCenter);
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
    // Not by a click: a click on a favourite asks for its report and leaves the focus where it was.
    const bool empty
        = std::all_of(m_codes.cbegin(), m_codes.cend(), [](const QString& code) { return code.isEmpty(); });
    setFocusPolicy(empty ? Qt::NoFocus : Qt::TabFocus);
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
        y() + m_slots[index]->y(), Stations::describe(m_stations, m_codes[index]).value_or(QString()));
}

void FavouritesBar::onSlotPressed(int index, Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        Q_EMIT favouriteChosen(m_codes[index]);
    } else if (button == Qt::RightButton && !m_codes[index].isEmpty()) {
        removeFavourite(index);
    }
}

void FavouritesBar::removeFavourite(int index)
{
    // Removing a favourite frees its slot for the next new code; the others keep their places.
    setSlot(index, QString());
    // Nothing is left under the pointer to be highlighted or described.
    clearHighlight();
    Q_EMIT pointerLeftFavourites();
    if (m_keyboardSlot < 0)
        return;
    int next = favouriteAfter(index, 1);
    if (next < 0)
        next = favouriteAfter(index, -1);
    if (next < 0)
        focusNextChild();
    else
        moveKeyboardTo(next);
}

int FavouritesBar::favouriteAfter(int index, int step) const
{
    for (int i = index + step; i >= 0 && i < kSlots; i += step) {
        if (!m_codes[i].isEmpty())
            return i;
    }
    return -1;
}

void FavouritesBar::moveKeyboardTo(int index)
{
    m_keyboardSlot = index;
    for (int i = 0; i < kSlots; ++i)
        m_slots[i]->setFrameShape(i == index ? QFrame::Box : QFrame::NoFrame);
    if (index >= 0)
        highlight(index);
}

bool FavouritesBar::holdsHighlight() const
{
    return m_keyboardSlot >= 0 || std::any_of(m_slots.cbegin(), m_slots.cend(), [](const QLabel* slot) {
        return slot->isVisible() && slot->underMouse();
    });
}

void FavouritesBar::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // Back from the removal menu the keys stay on their favourite; otherwise they start on the first.
    if (m_keyboardSlot < 0 || m_codes[m_keyboardSlot].isEmpty())
        moveKeyboardTo(favouriteAfter(-1, 1));
    else
        moveKeyboardTo(m_keyboardSlot);
}

void FavouritesBar::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    // The removal menu or another window takes the focus for a while: the keys come back to their favourite.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    moveKeyboardTo(-1);
    clearHighlight();
    Q_EMIT pointerLeftFavourites();
}

void FavouritesBar::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (m_keyboardSlot < 0) {
        QWidget::keyPressEvent(event);
    } else if (key == Qt::Key_Up || key == Qt::Key_Left || key == Qt::Key_Down || key == Qt::Key_Right) {
        const int next = favouriteAfter(m_keyboardSlot, key == Qt::Key_Up || key == Qt::Key_Left ? -1 : 1);
        if (next >= 0)
            moveKeyboardTo(next);
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        Q_EMIT favouriteChosen(m_codes[m_keyboardSlot]);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void FavouritesBar::contextMenuEvent(QContextMenuEvent* event)
{
    // The right button removes at once (as it always has); the keyboard's menu names what it would remove.
    if (event->reason() != QContextMenuEvent::Keyboard || m_keyboardSlot < 0) {
        event->ignore();
        return;
    }
    if (!m_removalMenu) {
        m_removalMenu = new QMenu(this);
        m_removalMenu->setObjectName(u"favouriteMenu"_s);
        QAction* remove = m_removalMenu->addAction(QString());
        remove->setObjectName(u"removeFavouriteAction"_s);
        connect(remove, &QAction::triggered, this, [this] {
            if (m_keyboardSlot >= 0)
                removeFavourite(m_keyboardSlot);
        });
    }
    m_removalMenu->actions().constFirst()->setText(u"Retirer %1 des favoris"_s.arg(m_codes[m_keyboardSlot]));
    const QLabel* slot = m_slots[m_keyboardSlot];
    m_removalMenu->popup(slot->mapToGlobal(QPoint(slot->width() / 2, slot->height())));
    // Its one command ready for Enter.
    m_removalMenu->setActiveAction(m_removalMenu->actions().constFirst());
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
