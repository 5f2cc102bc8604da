#include "stations/CodeSearchPanel.h"

#include "stations/CodeListModel.h"
#include "stations/StationListing.h"
#include "stations/StationTable.h"
#include "ui/Controls.h"
#include "ui/ListKeys.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>

#include <algorithm>

using namespace Qt::StringLiterals;

using namespace Controls;

namespace {

// The region's place in the window; its controls are placed relative to it.
constexpr QPoint kRegionOrigin(7, 46);

QRect placeInRegion(int left, int top, int width, int height)
{
    return QRect(QPoint(left, top) - kRegionOrigin, QSize(width, height));
}

// A list of codes shown over @p model, which the list owns. Every code is one short line, so the view takes the
// first one's height for all rather than measuring thousands of them.
QListView* codeList(QWidget* parent, const QString& name, QRect geometry, QAbstractItemModel* model)
{
    auto* list = place<QListView>(parent, name, geometry);
    model->setParent(list);
    list->setModel(model);
    list->setUniformItemSizes(true);
    // A code is there to be chosen: a double click or F2 must not open an editor on it.
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

// For lists that change with each search.
QListView* foundCodesList(QWidget* parent, const QString& name, QRect geometry)
{
    return codeList(parent, name, geometry, new QStringListModel);
}

QStringListModel& codesIn(const QListView* list)
{
    return *static_cast<QStringListModel*>(list->model());
}

CodeListModel& shippedCodesIn(const QListView* list)
{
    return *static_cast<CodeListModel*>(list->model());
}

Stations::CodeHalf codeHalf(int half)
{
    return half == 0 ? Stations::CodeHalf::AToK : Stations::CodeHalf::LToZ;
}

// Whether some station answers @p hits' text by its names, not only by its code: more may be typed then.
bool readsAsName(const QList<Stations::SearchHit>& hits)
{
    return std::any_of(hits.cbegin(), hits.cend(),
        [](const Stations::SearchHit& hit) { return hit.match != Stations::MatchKind::Code; });
}

} // namespace

CodeSearchPanel::CodeSearchPanel(QWidget* parent, const Stations::StationTable& stations)
    : QWidget(parent)
    , m_stations(stations)
{
    setObjectName(u"codeSearchPanel"_s);
    setGeometry(QRect(kRegionOrigin, QSize(191, 311)));

    const std::array<QString, 2> halves { u"A --> K"_s, u"L --> Z"_s };
    const std::array<QString, 2> halfNames { u"codesAToK"_s, u"codesLToZ"_s };
    const std::array<int, 2> buttonTops { 83, 103 };
    for (size_t i = 0; i < 2; ++i) {
        m_halfButtons[i]
            = place<QRadioButton>(this, halfNames[i] + u"Button"_s, placeInRegion(17, buttonTops[i], 60, 15));
        m_halfButtons[i]->setText(halves[i]);
        setBaseColour(m_halfButtons[i], 0xFFFFFF);
    }
    m_halfButtons[0]->setChecked(true);
    // One half is always the chosen one, whatever is clicked or typed.
    auto* halfGroup = new QButtonGroup(this);
    halfGroup->setExclusive(true);
    for (QRadioButton* button : m_halfButtons)
        halfGroup->addButton(button);

    m_searchResults = foundCodesList(this, u"searchResultsList"_s, placeInRegion(97, 150, 89, 197));
    setBaseColour(m_searchResults, 0xFFFFC0);
    m_searchButton = place<QPushButton>(this, u"searchButton"_s, placeInRegion(95, 113, 89, 24));
    m_searchButton->setText(u"Rechercher"_s);
    m_searchEdit = place<QLineEdit>(this, u"codeSearchEdit"_s, placeInRegion(101, 89, 77, 20));
    for (size_t i = 0; i < 2; ++i) {
        m_codeLists[i] = codeList(this, halfNames[i] + u"List"_s, placeInRegion(20, 125, 65, 223), new CodeListModel);
        setBaseColour(m_codeLists[i], 0xFFFFFF);
    }
    // The second half waits until it is shown; a search reads the codes without filling it.
    m_codeLists[1]->hide();
    shippedCodesIn(m_codeLists[0]).fillOnce(codeHalf(0));

    m_searchBackground = rectangle(this, u"searchBoxBackground"_s, placeInRegion(89, 76, 101, 67), QColor(0xFFFFC0));
    m_caption = label(this, u"codeListCaption"_s, placeInRegion(22, 52, 146, 20), u"OACI"_s);
    m_caption->setFont(sansFont(12, true));
    m_caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextColour(m_caption, 0x000080);
    m_background = rectangle(
        this, u"codeListBackground"_s, QRect(QPoint(0, 0), size()), parent->palette().color(QPalette::Window));

    stack({ m_halfButtons[1], m_halfButtons[0], m_searchResults, m_searchButton, m_searchEdit, m_codeLists[0],
        m_codeLists[1], m_caption, m_searchBackground, m_background });

    // Over the results and the report beside them, where a station's names have room; it never takes the
    // focus, so typing goes on in the box.
    m_offerList
        = foundCodesList(parent, u"stationOfferList"_s, QRect(kRegionOrigin + QPoint(90, 104), QSize(480, 197)));
    setBaseColour(m_offerList, 0xFFFFC0);
    m_offerList->setFocusPolicy(Qt::NoFocus);
    m_offerList->hide();
    connect(m_offerList, &QListView::clicked, this, [this](const QModelIndex& index) { chooseOffered(index.row()); });
    m_searchEdit->installEventFilter(this);

    connect(m_searchEdit, &QLineEdit::textChanged, this, &CodeSearchPanel::onSearchTextChanged);
    connect(m_searchEdit, &QLineEdit::textEdited, this, &CodeSearchPanel::offerStations);
    connect(m_searchEdit, &QLineEdit::returnPressed, this, &CodeSearchPanel::onReturnInBox);
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

const QList<Stations::SearchHit>& CodeSearchPanel::hitsForBox()
{
    // A keystroke is told as an edit and as a change, in an order of Qt's choosing: searched once for both.
    if (m_hitsText != m_searchEdit->text() || m_hitsText.isNull()) {
        m_hitsText = m_searchEdit->text();
        m_hits = Stations::searchByName(m_stations, m_hitsText);
    }
    return m_hits;
}

void CodeSearchPanel::onSearchTextChanged()
{
    hitsForBox();
    // A code is at least four characters: the button is the next step, unless the text is the start of a
    // station's name, which the user goes on typing.
    if (m_searchEdit->text().size() > 3 && !readsAsName(m_hits))
        m_searchButton->setFocus();
    Q_EMIT userActivity();
}

void CodeSearchPanel::offerStations()
{
    if (m_searchEdit->text().trimmed().isEmpty()) {
        hideOffer();
        return;
    }
    QStringList lines;
    m_offeredCodes.clear();
    for (const Stations::SearchHit& hit : hitsForBox()) {
        lines.append(hit.code + u"  "_s + Stations::placeWords(hit.city, hit.country, hit.aerodrome));
        m_offeredCodes.append(hit.code);
    }
    if (lines.isEmpty())
        lines.append(Stations::kNoStationFound.toString());
    codesIn(m_offerList).setStringList(lines);
    m_offerList->scrollToTop();
    if (m_offerList->isHidden()) {
        m_offerList->show();
        m_offerList->raise();
        // A press anywhere else closes the list, as it does a menu.
        qApp->installEventFilter(this);
    }
}

void CodeSearchPanel::hideOffer()
{
    if (m_offerList->isHidden())
        return;
    m_offerList->hide();
    qApp->removeEventFilter(this);
}

QString CodeSearchPanel::offeredCode(int row) const
{
    return row >= 0 && row < m_offeredCodes.size() ? m_offeredCodes.at(row) : QString();
}

void CodeSearchPanel::chooseOffered(int row)
{
    const QString code = offeredCode(row);
    if (code.isEmpty())
        return;
    hideOffer();
    Q_EMIT userActivity();
    Q_EMIT stationPicked(code);
}

void CodeSearchPanel::onReturnInBox()
{
    if (!m_offerList->isHidden()) {
        if (const QModelIndex current = m_offerList->currentIndex(); current.isValid()) {
            chooseOffered(current.row());
            return;
        }
        // A name goes to its best match, as a code to its one match.
        if (readsAsName(hitsForBox())) {
            chooseOffered(0);
            return;
        }
    }
    search();
}

bool CodeSearchPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_searchEdit && event->type() == QEvent::KeyPress && !m_offerList->isHidden()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            hideOffer();
            return true;
        }
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && !m_offeredCodes.isEmpty()) {
            const int current = m_offerList->currentIndex().isValid() ? m_offerList->currentIndex().row() : -1;
            const int row = std::clamp(current + (key == Qt::Key_Down ? 1 : -1), 0, int(m_offeredCodes.size()) - 1);
            m_offerList->setCurrentIndex(m_offerList->model()->index(row, 0));
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* pressed = qobject_cast<const QWidget*>(watched);
        if (pressed && pressed != m_searchEdit && pressed != m_offerList && !m_offerList->isAncestorOf(pressed))
            hideOffer();
    }
    return QWidget::eventFilter(watched, event);
}

void CodeSearchPanel::changeEvent(QEvent* event)
{
    // Covered by a panel or by the folded report: the list would float over it.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        hideOffer();
    QWidget::changeEvent(event);
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
    // Strings for every code only for the time of the search.
    const QStringList found = Stations::searchCodes(Stations::EmbeddedCodes(Stations::CodeHalf::AToK).toList(),
        Stations::EmbeddedCodes(Stations::CodeHalf::LToZ).toList(), query);
    codesIn(m_searchResults).setStringList(found);
    // Codes found take the place of the stations offered; none found leaves the offer to choose from.
    if (!found.isEmpty())
        hideOffer();
    if (found.size() == 1)
        Q_EMIT stationFound(found.first());
}

void CodeSearchPanel::showCodeHalf(int half)
{
    Q_EMIT userActivity();
    shippedCodesIn(m_codeLists[half]).fillOnce(codeHalf(half));
    m_codeLists[half]->show();
    m_codeLists[half]->raise();
}

void CodeSearchPanel::pickFrom(const QListView* list)
{
    Q_EMIT userActivity();
    Q_EMIT stationPicked(list->currentIndex().data().toString());
}
