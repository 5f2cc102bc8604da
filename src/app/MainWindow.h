#pragma once

#include "briefing/BriefingDocument.h"
#include "reports/Failure.h"
#include "reports/ReportType.h"
#include "reports/ShownReport.h"
#include "services/Services.h"
#include "stations/StationTable.h"

#include <QWidget>

class BriefingCommands;
class CodeSearchPanel;
class DossierDialog;
class HelpPanel;
class QPushButton;
class QTimer;
class RefreshTimer;
class ReportPanel;
class ReportRequester;
class StationBrowser;

/// The program's one window. It builds its regions (code search, country and city browser, report panel
/// with the favourites, help panel), connects them, and runs start-up, folding and shut-down. The save
/// at shut-down runs however the program is asked to end normally, and only once.
class MainWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    /// Restores what the last run left, shows the window and asks for the first report.
    void start();
    /// Stops the refresh and saves, once.
    void unload();
    /// Writes the favourites and the report type, as unloading does, and goes on running.
    void saveSettings();
    /// Deletes the work files, saves and ends the program.
    void quit();

    void showReport(const QString& code);
    /// Selects report type @p type without asking for a report.
    void selectReportTypeQuietly(ReportType type);
    bool lastDownloadSucceeded() const;
    /// Why the last request failed; Failure::Cause::None when it did not.
    Failure::Reason lastFailure() const;
    /// What the report panel shows, read back from its controls (for tests).
    ShownReport shownReport() const;
    /// The report of the last request, as a briefing: what save, print and PDF export write.
    BriefingDocument::Briefing briefing() const;
    /// Fills the station directory now rather than when first read.
    void loadStations();
    /// The window's width with its frame.
    int outerWidth() const;
    /// True while the window slides to or from its folded width.
    bool isFolding() const;

Q_SIGNALS:
    /// The window has slid to its folded or unfolded width.
    void foldEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createTopButtons();
    void connectRegions();
    void createBriefingCommands();
    void createDossierCommand();
    void setOuterWidth(int outer);
    void resizeHeldAgainstDragging(int width);
    void toggleFold();
    void stepFold();
    void endFold();
    void foldIfWide();
    void enableUncoveredRegions();
    void clearFavouriteHover();
    void showPickedStation(const QString& code);
    void showChosenFavourite(const QString& code);
    void makeCurrent(const QString& code);

    Services m_services;
    Stations::StationTable m_stationTable;
    HelpPanel* m_helpPanel = nullptr;
    StationBrowser* m_stationBrowser = nullptr;
    ReportPanel* m_reportPanel = nullptr;
    CodeSearchPanel* m_codeSearchPanel = nullptr;
    QPushButton* m_browserButton = nullptr;
    QPushButton* m_helpButton = nullptr;
    ReportRequester* m_requester = nullptr;
    RefreshTimer* m_refreshTimer = nullptr;
    BriefingCommands* m_briefingCommands = nullptr;
    DossierDialog* m_dossierDialog = nullptr; ///< made when first asked for
    QTimer* m_foldTimer = nullptr;
    QList<int> m_askedWidths; ///< widths asked of the window manager that it has not answered yet
    QList<int> m_foldWidths; ///< the outer widths the running fold has still to pass through
    bool m_foldAgain = false; ///< asked for during the running fold
    bool m_folded = false;
    int m_unfoldedWidth = 0;
    QPoint m_unfoldedPanelPlace;
    bool m_unloaded = false;
    bool m_toldFavouritesFull = false;
};
