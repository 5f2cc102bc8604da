#include "stations/CodeSearchPanel.h"

#include "stations/StationTable.h"
#include "ui/Controls.h"
#include "ui/ListKeys.h"
#include "ui/Twips.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>

using namespace Controls;

namespace {

// The region's place in the window; its controls are placed relative to it.
constexpr int kLeft = 105;
constexpr int kTop = 690;

QRect placeInRegion(int left, int top, int width, int height)
{
    return Twips::rect(left - kLeft, top - kTop, width, height);
}

// A list of codes shown over a model of its own. Every code is one short line, so the view takes the first
// one's height for all rather than measuring thousands of them, and the codes go in and out in one piece.
QListView* codeList(QWidget* parent, const QString& name, QRect geometry)
{
    auto* list = place<QListView>(parent, name, geometry);
    list->setModel(new QStringListModel(list));
    list->setUniformItemSizes(true);
    // A code is there to be chosen: a double click or F2 must not open an editor on it.
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

QStringListModel& codesIn(const QListView* list)
{
    return *static_cast<QStringListModel*>(list->model());
}

} // namespace

CodeSearchPanel::CodeSearchPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(u"codeSearchPanel"_qs);
    setGeometry(Twips::rect(kLeft, kTop, 2865, 4665));

    const std::array<QString, 2> halves { u"A --> K"_qs, u"L --> Z"_qs };
    const std::array<QString, 2> halfNames { u"codesAToK"_qs, u"codesLToZ"_qs };
    const std::array<int, 2> buttonTops { 1245, 1545 };
    for (size_t i = 0; i < 2; ++i) {
        m_halfButtons[i]
            = place<QRadioButton>(this, halfNames[i] + u"Button"_qs, placeInRegion(255, buttonTops[i], 900, 225));
        m_halfButtons[i]->setText(halves[i]);
        setBaseColour(m_halfButtons[i], 0xFFFFFF);
    }
    m_halfButtons[0]->setChecked(true);
    // One half is always the chosen one, whatever is clicked or typed.
    auto* halfGroup = new QButtonGroup(this);
    halfGroup->setExclusive(true);
    for (QRadioButton* button : m_halfButtons)
        halfGroup->addButton(button);

    m_searchResults = codeList(this, u"searchResultsList"_qs, placeInRegion(1455, 2250, 1335, 2955));
    setBaseColour(m_searchResults, 0xFFFFC0);
    m_searchButton = place<QPushButton>(this, u"searchButton"_qs, placeInRegion(1425, 1695, 1335, 360));
    m_searchButton->setText(u"Rechercher"_qs);
    m_searchEdit = place<QLineEdit>(this, u"codeSearchEdit"_qs, placeInRegion(1515, 1335, 1155, 300));
    for (size_t i = 0; i < 2; ++i) {
        m_codeLists[i] = codeList(this, halfNames[i] + u"List"_qs, placeInRegion(300, 1875, 975, 3345));
        setBaseColour(m_codeLists[i], 0xFFFFFF);
    }
    // The second half waits until it is shown or searched.
    m_codeLists[1]->hide();
    codesOf(0);

    m_searchBackground
        = rectangle(this, u"searchBoxBackground"_qs, placeInRegion(1335, 1140, 1515, 1005), Twips::rgb(0xFFFFC0));
    m_caption = label(this, u"codeListCaption"_qs, placeInRegion(330, 780, 2190, 300), u"OACI"_qs);
    m_caption->setFont(sansFont(12, true));
    m_caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextColour(m_caption, 0x000080);
    m_background = rectangle(
        this, u"codeListBackground"_qs, QRect(QPoint(0, 0), size()), parent->palette().color(QPalette::Window));

    stack({ m_halfButtons[1], m_halfButtons[0], m_searchResults, m_searchButton, m_searchEdit, m_codeLists[0],
        m_codeLists[1], m_caption, m_searchBackground, m_background });

    connect(m_searchEdit, &QLineEdit::textChanged, this, &CodeSearchPanel::onSearchTextEdited);
    connect(m_searchEdit, &QLineEdit::returnPressed, this, &CodeSearchPanel::search);
    connect(m_searchButton, &QPushButton::clicked, this, &CodeSearchPanel::search);
    for (QListView* list : { m_searchResults, m_codeLists[0], m_codeLists[1] }) {
        connect(list, &QListView::clicked, this, [this, list] { pickFrom(list); });
        connect(new ListKeys(list), &ListKeys::entered, this, [this, list] { pickFrom(list); });
    }
    for (size_t i = 0; i < 2; ++i) {
        connect(m_halfButtons[i], &QRadioButton::clicked, this, [this, i] { showCodeHalf(static_cast<int>(i)); });
    }
}

void CodeSearchPanel::focusSearch()
{
    m_searchEdit->setFocus();
}

QWidget* CodeSearchPanel::chainTabOrderAfter(QWidget* previous)
{
    // The left column (halves, then the list shown), then the search column: box, button, results.
    return chainTabOrder(previous,
        { m_halfButtons[0], m_halfButtons[1], m_codeLists[1], m_codeLists[0], m_searchEdit, m_searchButton,
            m_searchResults });
}

void CodeSearchPanel::onSearchTextEdited()
{
    // A code is at least four characters: the button is the next step.
    if (m_searchEdit->text().size() > 3)
        m_searchButton->setFocus();
    Q_EMIT userActivity();
}

void CodeSearchPanel::search()
{
    Q_EMIT userActivity();
    const QString query = m_searchEdit->text().toUpper().trimmed();
    {
        // Writing the cleaned query back is not the user typing.
        const QSignalBlocker blocker(m_searchEdit);
        m_searchEdit->setText(query);
    }
    const QStringList found = Stations::SearchCodes(codesOf(0), codesOf(1), query);
    codesIn(m_searchResults).setStringList(found);
    if (found.size() == 1)
        Q_EMIT stationFound(found.first());
}

void CodeSearchPanel::showCodeHalf(int half)
{
    Q_EMIT userActivity();
    codesOf(half);
    m_codeLists[half]->show();
    m_codeLists[half]->raise();
}

QStringList CodeSearchPanel::codesOf(int half)
{
    QStringListModel& codes = codesIn(m_codeLists.at(static_cast<size_t>(half)));
    if (codes.rowCount() == 0)
        codes.setStringList(
            Stations::LoadEmbeddedCodes(half == 0 ? Stations::CodeHalf::AToK : Stations::CodeHalf::LToZ));
    return codes.stringList();
}

void CodeSearchPanel::pickFrom(const QListView* list)
{
    Q_EMIT userActivity();
    Q_EMIT stationPicked(list->currentIndex().data().toString());
}
