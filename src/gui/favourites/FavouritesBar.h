#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QMenu;

namespace Stations {
class StationTable;
}

/// The favourites bar: twelve fixed slots holding the codes last asked for. A slot's index is its identity
/// (and its key in the settings), so slots are never reordered or compacted.
class FavouritesBar final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSlots = 12;

    FavouritesBar(QWidget* parent, const Stations::StationTable& stations);
    Q_DISABLE_COPY_MOVE(FavouritesBar)

    /// One code per slot, empty for an empty slot.
    QStringList favourites() const;
    void setFavourites(const QStringList& codes);

    /// Puts @p code in the first empty slot. A full bar keeps its twelve codes: no older one is dropped.
    /// Returns whether it did: false when the bar already holds @p code or is full.
    bool addFavourite(const QString& code);

    /// Gives every slot its resting colour.
    void clearHighlight();
    /// Whether the pointer rests on a favourite or the keyboard is in the bar: its highlight and tip stay.
    bool holdsHighlight() const;

Q_SIGNALS:
    /// A favourite was clicked: its report is wanted.
    void favouriteChosen(const QString& code);
    /// The pointer is over a favourite: its description, level with it (in the parent's coordinates).
    void favouriteHovered(int top, const QString& description);
    /// The pointer moved over the bar between the slots.
    void pointerLeftFavourites();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setSlot(int index, const QString& code);
    void highlight(int index);
    void onSlotPressed(int index, Qt::MouseButton button);
    void removeFavourite(int index);
    /// The next favourite from @p index in @p step's direction, wrapping; -1 for an empty bar.
    int favouriteAfter(int index, int step) const;
    void moveKeyboardTo(int index);

    const Stations::StationTable& m_stations;
    std::array<QString, kSlots> m_codes; // empty for an empty slot
    std::array<QLabel*, kSlots> m_slots {};
    int m_keyboardSlot = -1; // the favourite the keys act on while the bar has the focus
    QMenu* m_removalMenu = nullptr;
};
