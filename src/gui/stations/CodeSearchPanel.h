#pragma once

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;

/// The window's left region: the station codes in two halves (A to K, L to Z), each shown by its button,
/// and the code search with its box, its button and its results.
class CodeSearchPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit CodeSearchPanel(QWidget* parent);
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

private:
    void onSearchTextEdited();
    void search();
    void showCodeHalf(int half);
    /// The codes of @p half, read the first time they are needed.
    QStringList codesOf(int half);
    void pickFrom(const QListView* list);

    std::array<QRadioButton*, 2> m_halfButtons {};
    std::array<QListView*, 2> m_codeLists {};
    QListView* m_searchResults = nullptr;
    QPushButton* m_searchButton = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    QFrame* m_searchBackground = nullptr;
    QLabel* m_caption = nullptr;
    QFrame* m_background = nullptr;
};
