// The search region: the two halves of the code list, the code search and the country and city browser.
// Every handler the user acts on sets Compteur to 15, so the timer leaves the region open meanwhile.
#include "app/MainWindow.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr qint16 kUserIsSearching = 15;

QStringList itemsOf(const QListWidget* list)
{
    QStringList items;
    items.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

QString selectedText(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item ? item->text() : QString();
}

} // namespace

void MainWindow::Text1_Change()
{
    if (Text1->text().size() > 3)
        Command1->setFocus();
    Compteur = kUserIsSearching;
}

void MainWindow::Command1_Click()
{
    Compteur = kUserIsSearching;
    const QString query = Text1->text().toUpper().trimmed();
    {
        // Writing the cleaned query back is not the user typing.
        const QSignalBlocker blocker(Text1);
        Text1->setText(query);
    }
    List2->clear();
    List2->addItems(Stations::SearchCodes(itemsOf(List1[0]), itemsOf(List1[1]), query));
    if (List2->count() == 1)
        ShowReport(List2->item(0)->text());
}

void MainWindow::showChosenCode(const QListWidget* list)
{
    Compteur = kUserIsSearching;
    Frame4->show();
    Label9->clear();
    const QString code = selectedText(list);
    if (const std::optional<QString> description = Stations::DescribeStation(m_stationTable, code))
        Label9->setText(*description);
    ShowReport(code);
}

void MainWindow::List1_Click(int index)
{
    showChosenCode(List1[index]);
}

void MainWindow::List2_Click()
{
    showChosenCode(List2);
}

void MainWindow::Option1_Click(int index)
{
    Compteur = kUserIsSearching;
    List1[index]->show();
    List1[index]->raise();
}

void MainWindow::Command9_Click()
{
    Compteur = kUserIsSearching;
    // Frame3's own visibility, not the effective one: with the window hidden isVisible() is always false and
    // the button could never close the browser.
    const bool opening = Frame3->isHidden();
    Frame3->setVisible(opening);
    if (opening) {
        Frame3->raise();
        Command9->setText(u"OACI"_qs);
        List3->clear();
        List3->addItems(Stations::Countries(m_stationTable));
    } else {
        Command9->setText(u"Pays / Villes"_qs);
    }
}

void MainWindow::List3_Click()
{
    Compteur = kUserIsSearching;
    List5->hide();
    List4->clear();
    List4->addItems(Stations::CitiesOf(m_stationTable, selectedText(List3)));
}

void MainWindow::List4_Click()
{
    Compteur = kUserIsSearching;
    List5->clear();
    List5->hide();
    const QStringList codes = Stations::CodesOf(m_stationTable, selectedText(List3), selectedText(List4));
    List5->addItems(codes);
    if (codes.size() == 1)
        ShowReport(codes.first());
    else
        List5->show();
}

void MainWindow::List5_Click()
{
    ShowReport(selectedText(List5));
    List5->hide();
}
