#pragma once

#include "reports/ReportView.h"
#include "reports/ShownReport.h"

#include <QFrame>

#include <array>
#include <optional>

class FavouritesBar;
class NearbyStationsList;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTextEdit;
class StationTip;

namespace Stations {
class StationTable;
}

/// The report panel: the station's code, the report's title, banner and text, the report-type buttons,
/// the refresh, fold and quit buttons, the find box of NOTAM reports, and the favourites bar beside the
/// report with its tip.
class ReportPanel final : public QFrame, public ReportView
{
    Q_OBJECT

public:
    ReportPanel(QWidget* parent, const Stations::StationTable& stations);
    Q_DISABLE_COPY_MOVE(ReportPanel)

    FavouritesBar& favouritesBar() { return *m_favouritesBar; }
    StationTip& stationTip() { return *m_stationTip; }

    /// The station whose report is asked for by the type buttons and the refresh.
    QString stationCode() const { return m_stationCode; }
    void setStationCode(const QString& code);

    /// Selects a report type as the user does, which asks for a report.
    void chooseReportType(ReportType type);
    /// Selects a report type without asking for a report.
    void selectReportTypeQuietly(ReportType type);
    /// The selected type, if any is.
    std::optional<ReportType> checkedReportType() const;
    /// The fold button offers to unfold while the panel is folded.
    void showFolded(bool folded);

    /// What the panel's controls show, read back from them: for tests that check what the user sees.
    ShownReport shownReport() const;

    /// Puts the panel's controls after @p previous in the tab order; returns the last of them.
    QWidget* chainTabOrderAfter(QWidget* previous);

    /// The report area's context menu: @p actions, in order.
    void setReportMenu(const QList<QAction*>& actions);
    /// Copies the selected part of the report; false when nothing is selected.
    bool copySelection();
    void selectWholeReport();

    // ReportView
    ReportType selectedReportType() const override;
    void showPending(ReportType type) override;
    void showReport(const DecodedReport& report) override;

Q_SIGNALS:
    void reportTypeChosen(ReportType type);
    void refreshRequested();
    void foldRequested();
    void quitRequested();
    /// The pointer moved over the panel's background or the report.
    void pointerOverBackground();
    /// A station chosen in the list of those near the current one.
    void nearbyStationChosen(const QString& code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createFindBox();
    void createReportArea();
    void findInNotams();
    void showNotams(const QString& text, const StyleSpans& spans);
    void showExpiredNotams();
    void setBackground(QRgb rgb);
    void setReportText(const QString& text);
    void showPilotLine(const DecodedReport& report);
    void createNearbyStations(const Stations::StationTable& stations);

    QString m_stationCode;
    QString m_notamText; // the NOTAMs as last shown, which every find starts again from
    StyleSpans m_notamSpans; // and their status lines' looks, which a find keeps
    QString m_allNotamText; // the NOTAMs with the expired ones, shown when asked
    StyleSpans m_allNotamSpans;
    QPushButton* m_expiredButton = nullptr;
    QString m_lastFind; // what the last find looked for: the same again goes on to the next match
    qsizetype m_findFrom = 0;
    QFrame* m_findBox = nullptr;
    QPushButton* m_findButton = nullptr;
    QLineEdit* m_findEdit = nullptr;
    std::array<QRadioButton*, 3> m_typeButtons {};
    StationTip* m_stationTip = nullptr;
    QPushButton* m_quitButton = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QTextEdit* m_reportArea = nullptr;
    QMenu* m_reportMenu = nullptr;
    QPushButton* m_foldButton = nullptr;
    QLabel* m_reportTitle = nullptr;
    QLabel* m_pilotLine = nullptr; // age, conditions and sun, in the band above the title
    QLabel* m_staleBanner = nullptr;
    QLabel* m_demoStrip = nullptr;
    QLabel* m_stationCodeLabel = nullptr;
    FavouritesBar* m_favouritesBar = nullptr;
    QFrame* m_reportBackground = nullptr;
    QPushButton* m_nearbyButton = nullptr;
    NearbyStationsList* m_nearbyList = nullptr;
};
