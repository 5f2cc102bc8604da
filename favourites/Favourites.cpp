// The favourites bar: twelve fixed slots whose captions are the favourites themselves. A slot's index is
// its identity (and its settings key), so slots are never reordered or compacted.
#include "app/MainWindow.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QLabel>

namespace {

constexpr quint32 kNavy = 0x000080;
constexpr quint32 kHoverBlue = 0x0000FF;
const char* const kTag = "tag";

void setSlotBackground(QLabel* slot, quint32 rgb)
{
    QPalette palette = slot->palette();
    palette.setColor(QPalette::Window, Twips::rgb(rgb));
    slot->setPalette(palette);
}

} // namespace

void MainWindow::AddFavourite()
{
    const QString code = Label2->text();
    for (QLabel* slot : Fav) {
        if (slot->text() == code)
            return;
    }
    for (int i = 0; i < static_cast<int>(Fav.size()); ++i) {
        if (Fav[i]->text().isEmpty()) {
            Fav[i]->setText(code);
            Fav[i]->show();
            TagueFav(i);
            break;
        }
    }
    // A full bar keeps its twelve codes: no older one is dropped.
    Frame4->hide();
}

void MainWindow::TagueFav(int index)
{
    if (index < 0 || index >= static_cast<int>(Fav.size()))
        return;
    QLabel* slot = Fav[index];
    // A code without an entry keeps no stale description of the slot's earlier occupant.
    const std::optional<QString> description = Stations::DescribeStation(m_stationTable, slot->text());
    slot->setProperty(kTag, description.value_or(QString()));
}

void MainWindow::ResetFavHighlight()
{
    for (QLabel* slot : Fav)
        setSlotBackground(slot, kNavy);
    Frame4->hide();
}

void MainWindow::Fav_MouseDown(int index, Qt::MouseButton button)
{
    QLabel* slot = Fav[index];
    if (button == Qt::LeftButton) {
        ShowReport(slot->text());
        Frame4->hide();
    } else if (button == Qt::RightButton) {
        if (!slot->text().isEmpty()) {
            slot->setText(QString());
            slot->hide();
        }
    }
}

void MainWindow::Fav_MouseMove(int index)
{
    for (int j = 0; j < static_cast<int>(Fav.size()); ++j)
        setSlotBackground(Fav[j], j == index ? kHoverBlue : kNavy);
    Frame4->move(Frame4->x(), Fav[index]->y());
    Label9->setText(Fav[index]->property(kTag).toString());
    Frame4->show();
}
