#pragma once

#include "stations/NameSearch.h"

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;

namespace Stations {
class StationTable;
}

/// The window's left region: the station codes in two halves (A to K, L to Z), each shown by its button,
/// and the code search with its box, its button and its results. As the user types, the stations whose
/// code, city, country or aerodrome name answer the text are offered in a list over the results.
class CodeSearchPanel final : public QWidget
{
    Q_OBJECT

public:
    CodeSearchPanel(QWidget* parent, const Stations::StationTable& stations);
    Q_DISABLE_COPY_MOVE(CodeSearchPanel)

    /// Puts the keyboard focus in the code box.
    void focusSearch();
    /// Puts the region's controls after @p previous in the tab order; returns the last of them.
    QWidget* chainTabOrderAfter(QWidget* previous);

Q_SIGNALS:
    /// A code chosen in a list: the station's description goes with its report.
    void stationPicked(const QString& code);
    /// The search found exactly one code.
    void stationFound(const QString& code);
    /// The user is looking for a station: the automatic refresh leaves the window as it is meanwhile.
    void userActivity();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// The stations answering the text in the box, searched once per text.
    const QList<Stations::SearchHit>& hitsForBox();
    void onSearchTextChanged();
    void offerStations();
    void hideOffer();
    void onReturnInBox();
    /// The station of row @p row of the offered list, empty for none.
    QString offeredCode(int row) const;
    void chooseOffered(int row);
    void search();
    void showCodeHalf(int half);
    void pickFrom(const QListView* list);

    std::array<QRadioButton*, 2> m_halfButtons {};
    std::array<QListView*, 2> m_codeLists {};
    QListView* m_searchResults = nullptr;
    QPushButton* m_searchButton = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    QFrame* m_searchBackground = nullptr;
    QLabel* m_caption = nullptr;
    QFrame* m_background = nullptr;
    const Stations::StationTable& m_stations;
    QString m_hitsText; // the text m_hits answers
    QList<Stations::SearchHit> m_hits;
    QStringList m_offeredCodes; // row by row, as the offered list shows them
    QListView* m_offerList = nullptr; // over the results, wider than the region: a child of the window
};
