#include "MainWindow.h"

#include "BuildConfig.h"
#include "dossier/DossierDialog.h"
#include "dossier/DossierPreview.h"
#include "favourites/FavouritesBar.h"
#include "favourites/StationTip.h"
#include "help/HelpPanel.h"
#include "reports/BriefingCommands.h"
#include "reports/RefreshTimer.h"
#include "reports/ReportPanel.h"
#include "reports/ReportRequester.h"
#include "services/Logging.h"
#include "stations/CodeSearchPanel.h"
#include "stations/StationBrowser.h"
#include "storage/UserSettings.h"
#include "ui/Artwork.h"
#include "ui/Controls.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr QSize kClientSize(728, 364);
// Folding slides the window's edge over the search region 3⅓ pixels a step, counted in thirds of a pixel so
// that the steps add up exactly; folded, the report panel keeps a margin of 5⅓ pixels on its left.
constexpr int kFoldStepThirds = 10;
constexpr int kFoldedMarginThirds = 16;
constexpr int kFoldedPanelLeft = 5;
// Unfolding slides up to this outer width.
constexpr int kUnfoldedWidth = 727;
// The tick folds only a window wider than this.
constexpr int kFoldWiderThan = 666;
// Widths asked of the window manager and kept until it answers them.
constexpr qsizetype kMostUnansweredWidths = 200;
// How long the first report may keep the window from showing: about what the first paint takes.
constexpr int kFirstPaintBudgetMs = 150;

// The pixel nearest @p thirds thirds of a pixel, halves up.
int nearestPixel(int thirds)
{
    return (thirds + 1) / 3;
}

} // namespace

MainWindow::MainWindow(Services services, QWidget* parent)
    : QWidget(parent)
    , m_services(std::move(services))
{
    setObjectName(u"MainWindow"_s);
    // Sample reports must never pass for real weather.
    setWindowTitle(SourceAddress::isDemo(m_services.sources) ? u"Météo. — démonstration"_s : u"Météo."_s);
    setWindowIcon(Artwork::windowIcon());
    setFont(Controls::sansFont(8));
    setFixedHeight(kClientSize.height());
    resize(kClientSize);
    setMouseTracking(true);
    Stations::fillFromEmbeddedDataOnFirstUse(m_stationTable);

    // Stacked from top to bottom in the order they are made: panels over the search region.
    m_helpPanel = new HelpPanel(this, *m_services.links, m_services.sources.site);
    m_stationBrowser = new StationBrowser(this, m_stationTable);
    m_reportPanel = new ReportPanel(this, m_stationTable);
    m_codeSearchPanel = new CodeSearchPanel(this, m_stationTable);
    createTopButtons();
    Controls::stack({ m_helpPanel, m_stationBrowser, m_reportPanel, m_codeSearchPanel, m_browserButton, m_helpButton });
    // Tab follows the window from left to right and from top to bottom.
    QWidget* lastTop = Controls::chainTabOrder(m_helpButton, { m_browserButton });
    m_reportPanel->chainTabOrderAfter(
        m_codeSearchPanel->chainTabOrderAfter(m_stationBrowser->chainTabOrderAfter(lastTop)));
    Controls::openContextMenusWithShiftF10(this);

    m_requester = new ReportRequester(m_services, *m_reportPanel, this);
    m_refreshTimer = new RefreshTimer(*m_services.clock, this);
    // One step of the fold each time the event loop comes round, so that every step is painted and input
    // waits between steps rather than inside one.
    m_foldTimer = new QTimer(this);
    m_foldTimer->setInterval(0);
    connect(m_foldTimer, &QTimer::timeout, this, &MainWindow::stepFold);
    connectRegions();
    createBriefingCommands();
    createDossierCommand();
    // Outside a dialog a push button takes Space only; the search moves the focus to "Rechercher" and the
    // user then presses Enter.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(true);
    m_codeSearchPanel->focusSearch();
}

MainWindow::~MainWindow() = default;

void MainWindow::createTopButtons()
{
    m_browserButton = Controls::place<QPushButton>(this, u"browserButton"_s, QRect(109, 2, 100, 34));
    m_browserButton->setText(u"Ville / Pays"_s);
    m_helpButton = Controls::place<QPushButton>(this, u"helpButton"_s, QRect(9, 2, 100, 34));
    m_helpButton->setText(u"Aide et à Propos"_s);
}

void MainWindow::connectRegions()
{
    connect(m_helpButton, &QPushButton::clicked, m_helpPanel, &HelpPanel::open);
    connect(m_helpPanel, &HelpPanel::openChanged, this, &MainWindow::enableUncoveredRegions);
    connect(m_browserButton, &QPushButton::clicked, m_stationBrowser, &StationBrowser::toggle);
    connect(m_stationBrowser, &StationBrowser::opened, this, [this](bool open) {
        m_browserButton->setText(open ? u"OACI"_s : u"Ville / Pays"_s);
        enableUncoveredRegions();
    });
    connect(m_stationBrowser, &StationBrowser::stationChosen, this, &MainWindow::showReport);
    connect(m_stationBrowser, &StationBrowser::userActivity, m_refreshTimer, &RefreshTimer::holdOffForUser);

    connect(m_codeSearchPanel, &CodeSearchPanel::stationPicked, this, &MainWindow::showPickedStation);
    connect(m_codeSearchPanel, &CodeSearchPanel::stationFound, this, &MainWindow::showReport);
    connect(m_codeSearchPanel, &CodeSearchPanel::userActivity, m_refreshTimer, &RefreshTimer::holdOffForUser);

    connect(m_reportPanel, &ReportPanel::reportTypeChosen, this, [this] { showReport(m_reportPanel->stationCode()); });
    connect(m_reportPanel, &ReportPanel::refreshRequested, this,
        [this] { m_requester->refresh(m_reportPanel->stationCode()); });
    connect(m_reportPanel, &ReportPanel::foldRequested, this, &MainWindow::toggleFold);
    connect(m_reportPanel, &ReportPanel::quitRequested, this, &MainWindow::quit);
    // The window owns the keys of "Quitter" and "Rafraîchir": the panel is disabled under the help, which
    // lists them, and a disabled widget's shortcuts are dead.
    connect(Controls::shortcut(this, u"quitShortcut"_s, QKeySequence(Qt::CTRL | Qt::Key_Q)), &QAction::triggered, this,
        &MainWindow::quit);
    connect(
        Controls::shortcut(this, u"refreshShortcut"_s, QKeySequence(Qt::Key_F5)), &QAction::triggered, this, [this] {
            // The fresh report is what the key asks to see.
            m_helpPanel->dismiss();
            m_requester->refresh(m_reportPanel->stationCode());
        });
    connect(m_reportPanel, &ReportPanel::pointerOverBackground, this, &MainWindow::clearFavouriteHover);
    connect(m_reportPanel, &ReportPanel::nearbyStationChosen, this, &MainWindow::showPickedStation);

    FavouritesBar& favourites = m_reportPanel->favouritesBar();
    StationTip& tip = m_reportPanel->stationTip();
    connect(&favourites, &FavouritesBar::favouriteChosen, this, &MainWindow::showChosenFavourite);
    connect(&favourites, &FavouritesBar::favouriteHovered, &tip, &StationTip::showDescriptionAt);
    connect(&favourites, &FavouritesBar::pointerLeftFavourites, &tip, &QWidget::hide);

    connect(m_requester, &ReportRequester::requestStarted, m_refreshTimer, &RefreshTimer::holdTicks);
    connect(m_requester, &ReportRequester::requestEnded, m_refreshTimer, &RefreshTimer::releaseTicks);
    connect(m_requester, &ReportRequester::reportShown, this, &MainWindow::makeCurrent);

    connect(m_refreshTimer, &RefreshTimer::foldDue, this, &MainWindow::foldIfWide);
    connect(m_refreshTimer, &RefreshTimer::refreshDue, this,
        [this] { m_requester->refresh(m_reportPanel->stationCode()); });
    // A pointer resting on a favourite, or the keyboard in the bar, keeps its highlight and tip.
    connect(m_refreshTimer, &RefreshTimer::tickEnded, this, [this] {
        if (!m_reportPanel->favouritesBar().holdsHighlight())
            clearFavouriteHover();
    });
}

void MainWindow::createBriefingCommands()
{
    m_briefingCommands = new BriefingCommands(*this, *m_services.settings, [this] { return briefing(); });
    m_reportPanel->setReportMenu(m_briefingCommands->actions());
    connect(m_briefingCommands, &BriefingCommands::copyRequested, this, [this] {
        if (!m_reportPanel->copySelection())
            m_briefingCommands->copyBriefing();
    });
    connect(m_briefingCommands, &BriefingCommands::selectAllRequested, m_reportPanel, &ReportPanel::selectWholeReport);
}

void MainWindow::createDossierCommand()
{
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    auto* dossier = new QAction(u"Dossier de vol…"_s, this);
    dossier->setObjectName(u"dossierAction"_s);
    dossier->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    dossier->setShortcutContext(Qt::WindowShortcut);
    dossier->setShortcutVisibleInContextMenu(true);
    addAction(dossier);
    m_reportPanel->setReportMenu(m_briefingCommands->actions() + QList<QAction*> { separator, dossier });
    connect(dossier, &QAction::triggered, this, [this] {
        if (!m_dossierDialog) {
            loadStations();
            m_dossierDialog = new DossierDialog(m_services, m_stationTable, this);
            // Each dossier gets a window of its own, which outlives the dialog's next use.
            connect(m_dossierDialog, &DossierDialog::dossierReady, this, [this](const FlightDossier::Dossier& ready) {
                auto* preview = new DossierPreview(ready, *m_services.settings, this);
                preview->show();
            });
        }
        m_dossierDialog->open();
    });
}

void MainWindow::loadStations()
{
    if (m_stationTable.count() == 0)
        Stations::fillFromEmbeddedData(m_stationTable);
}

void MainWindow::start()
{
    const UserSettings settings(*m_services.settings);
    m_reportPanel->favouritesBar().setFavourites(settings.favourites());

    m_helpPanel->showVersion(QStringLiteral(VENTORIX_VERSION));
    m_reportPanel->setStationCode(settings.lastCode());
    m_refreshTimer->start();
    // The first report usually comes back before the window could have painted: shown only then, the window
    // paints once, with its report. A slow one must not keep the window away, so the download's event loop
    // shows it when the budget is spent, and the report follows as it always did.
    QTimer::singleShot(kFirstPaintBudgetMs, this, [this] {
        if (!m_unloaded && !isVisible())
            show();
    });
    // None of the buttons is selected yet, so this choice asks for the first report.
    m_reportPanel->chooseReportType(settings.reportType());
    // Closed while the first report was on its way: nothing is left to show.
    if (!m_unloaded)
        show();
}

void MainWindow::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_refreshTimer->stop();
    saveSettings();
}

void MainWindow::saveSettings()
{
    UserSettings settings(*m_services.settings);
    settings.setFavourites(m_reportPanel->favouritesBar().favourites());
    if (const std::optional<ReportType> type = m_reportPanel->checkedReportType())
        settings.setReportType(*type);
    if (!settings.save())
        qCWarning(lcSettings) << "the settings could not be saved; they stay pending for the next save";
}

void MainWindow::quit()
{
    // Only the program's own work folder is emptied: no file of the user's lives there.
    m_services.workFolder.removeWorkFiles();
    unload();
    hide();
    QCoreApplication::exit(0);
}

void MainWindow::showReport(const QString& code)
{
    m_requester->showReport(code);
}

void MainWindow::selectReportTypeQuietly(ReportType type)
{
    m_reportPanel->selectReportTypeQuietly(type);
}

bool MainWindow::lastDownloadSucceeded() const
{
    return m_requester->currentReport().fetched();
}

Failure::Reason MainWindow::lastFailure() const
{
    return m_requester->currentReport().failure;
}

ShownReport MainWindow::shownReport() const
{
    return m_reportPanel->shownReport();
}

BriefingDocument::Briefing MainWindow::briefing() const
{
    const DecodedReport& report = m_requester->currentReport();
    return BriefingDocument::Briefing { report, BriefingDocument::stationDescription(m_stationTable, report.code) };
}

void MainWindow::makeCurrent(const QString& code)
{
    m_reportPanel->setStationCode(code);
    FavouritesBar& favourites = m_reportPanel->favouritesBar();
    if (favourites.addFavourite(code)) {
        m_reportPanel->stationTip().hide();
    } else if (!favourites.favourites().contains(code) && !m_toldFavouritesFull) {
        // Said once: the user learns why stations stop being added, and is not nagged at every request.
        m_reportPanel->stationTip().showDescription(u"Favoris pleins : clic droit pour en retirer"_s);
        m_toldFavouritesFull = true;
    }
}

void MainWindow::showPickedStation(const QString& code)
{
    m_reportPanel->stationTip().showDescription(Stations::describe(m_stationTable, code).value_or(QString()));
    showReport(code);
}

void MainWindow::showChosenFavourite(const QString& code)
{
    showReport(code);
    m_reportPanel->stationTip().hide();
}

void MainWindow::clearFavouriteHover()
{
    m_reportPanel->favouritesBar().clearHighlight();
    m_reportPanel->stationTip().hide();
}

int MainWindow::outerWidth() const
{
    return frameGeometry().width();
}

void MainWindow::setOuterWidth(int outer)
{
    const int frame = frameGeometry().width() - width();
    resizeHeldAgainstDragging(std::max(1, outer - frame));
}

void MainWindow::resizeHeldAgainstDragging(int width)
{
    // A dragged border would clip "Quitter" or leave a blank band: only the fold changes the width. Held by
    // the window manager alone, so the widget's own resizing (the fold's, a test's) is never held back; the
    // manager learns the new width before the window asks for it, or it would refuse it.
    if (QWindow* native = windowHandle()) {
        native->setMinimumWidth(width);
        native->setMaximumWidth(width);
    }
    if (width != this->width()) {
        resize(width, height());
        m_askedWidths.append(width);
        // A manager that never answers must not make the list grow for ever.
        if (m_askedWidths.size() > kMostUnansweredWidths)
            m_askedWidths.removeFirst();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->spontaneous()) {
        // The window manager answers the widths asked of it in turn, each late by a step or more of the fold:
        // held, an earlier one would stop the fold a step short.
        const qsizetype answered = m_askedWidths.indexOf(width());
        if (answered >= 0) {
            m_askedWidths.remove(0, answered + 1);
            if (!m_askedWidths.isEmpty())
                return;
        }
    }
    resizeHeldAgainstDragging(width());
}

void MainWindow::foldIfWide()
{
    // Whoever reads the help is not done with the window.
    if (!m_helpPanel->isHidden())
        return;
    // A sliding window has been asked to fold or unfold already.
    if (!isFolding() && outerWidth() > kFoldWiderThan)
        toggleFold();
}

bool MainWindow::isFolding() const
{
    return m_foldTimer->isActive();
}

void MainWindow::toggleFold()
{
    if (isFolding()) {
        // Meant for the window as the slide leaves it: it turns back once the slide is over.
        m_foldAgain = true;
        return;
    }
    m_reportPanel->raise();
    m_foldWidths.clear();
    if (!m_folded) {
        m_unfoldedWidth = width();
        m_unfoldedPanelPlace = m_reportPanel->pos();
        m_reportPanel->move(kFoldedPanelLeft, m_reportPanel->y());
        const int panelThirds = 3 * m_reportPanel->width();
        for (int thirds = 3 * outerWidth(); thirds >= panelThirds; thirds -= kFoldStepThirds)
            m_foldWidths.append(nearestPixel(thirds + kFoldedMarginThirds));
    } else {
        m_refreshTimer->holdOffForUser();
        for (int thirds = 3 * outerWidth(); thirds <= 3 * kUnfoldedWidth; thirds += kFoldStepThirds)
            m_foldWidths.append(nearestPixel(thirds));
    }
    m_foldTimer->start();
}

void MainWindow::stepFold()
{
    if (m_foldWidths.isEmpty()) {
        m_foldTimer->stop();
        endFold();
        return;
    }
    setOuterWidth(m_foldWidths.takeFirst());
    // The report panel stays against the window's right edge while the window narrows or widens.
    m_reportPanel->move(width() - m_reportPanel->width(), m_reportPanel->y());
}

void MainWindow::endFold()
{
    if (m_folded) {
        // The steps are in thirds of a pixel: the last step rarely lands on the width the window had, and the
        // differences would add up fold after fold.
        resizeHeldAgainstDragging(m_unfoldedWidth);
        m_reportPanel->move(m_unfoldedPanelPlace);
    }
    m_folded = !m_folded;
    m_reportPanel->showFolded(m_folded);
    // The fold raised the report panel; an open help must stay over it, or the disabled regions it covered
    // would show with nothing to close them by.
    if (!m_helpPanel->isHidden())
        m_helpPanel->raise();
    enableUncoveredRegions();
    Q_EMIT foldEnded();
    if (std::exchange(m_foldAgain, false))
        toggleFold();
}

void MainWindow::enableUncoveredRegions()
{
    // A region under an open panel is out of reach of the mouse; disabled, it is out of reach of Tab too.
    const bool helpOpen = !m_helpPanel->isHidden();
    const bool browserOpen = !m_stationBrowser->isHidden();
    m_reportPanel->setEnabled(!helpOpen);
    for (QWidget* region : std::initializer_list<QWidget*> { m_stationBrowser, m_browserButton, m_helpButton })
        region->setEnabled(!helpOpen && !m_folded);
    m_codeSearchPanel->setEnabled(!helpOpen && !m_folded && !browserOpen);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    unload();
    event->accept();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QWidget* child = childAt(event->position().toPoint());
    if (!child || Controls::isDecoration(child))
        clearFavouriteHover();
    QWidget::mouseMoveEvent(event);
}
