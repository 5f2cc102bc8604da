#include "reports/ReportPanel.h"

#include "favourites/FavouritesBar.h"
#include "favourites/StationTip.h"
#include "reports/ReportArea.h"
#include "stations/NearbyStationsList.h"
#include "ui/Artwork.h"
#include "ui/Controls.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextEdit>

using namespace Qt::StringLiterals;

using namespace Controls;

namespace {

constexpr QRgb kFindRed = 0xFF0000;
constexpr qreal kPilotPoints = 7.5;

// The usual colours of flight conditions on a chart, and an age that warms up as it grows.
QRgb conditionsColour(Conditions::Category category)
{
    switch (category) {
    case Conditions::Category::Vmc:
        return 0x008000;
    case Conditions::Category::Marginal:
        return 0x0000FF;
    case Conditions::Category::Imc:
        return 0xFF0000;
    case Conditions::Category::Unknown:
        break;
    }
    return 0x808080;
}

QRgb ageColour(ReportTimes::AgeClass age)
{
    switch (age) {
    case ReportTimes::AgeClass::Orange:
        return 0xE07000;
    case ReportTimes::AgeClass::Red:
        return 0xFF0000;
    case ReportTimes::AgeClass::Normal:
        break;
    }
    return 0x000000;
}

QString colouredHtml(const QString& text, QRgb rgb)
{
    return u"<span style=\"color:#%1\">%2</span>"_s.arg(rgb, 6, 16, QLatin1Char('0')).arg(text.toHtmlEscaped());
}

} // namespace

ReportPanel::ReportPanel(QWidget* parent, const Stations::StationTable& stations)
    : QFrame(parent)
{
    makePanel(this, u"reportPanel"_s, QRect(208, 2, 524, 360));

    createFindBox();
    const std::array<QString, 3> types { u"METAR"_s, u"TAF"_s, u"NOTAM"_s };
    const std::array<QString, 3> typeNames { u"metarButton"_s, u"tafButton"_s, u"notamButton"_s };
    const std::array<int, 3> typeTops { 1, 16, 30 };
    for (size_t i = 0; i < types.size(); ++i) {
        m_typeButtons[i] = place<QRadioButton>(this, typeNames[i], QRect(387, typeTops[i], 62, 15));
        m_typeButtons[i]->setText(types[i]);
    }
    m_stationTip = new StationTip(this);

    m_quitButton = place<QPushButton>(this, u"quitButton"_s, QRect(454, 2, 63, 34));
    m_quitButton->setText(u"Quitter"_s);
    m_quitButton->setFont(sansFont(9.75, true));
    m_refreshButton = place<QPushButton>(this, u"refreshButton"_s, QRect(3, 34, 47, 34));
    m_refreshButton->setIcon(QIcon(Artwork::refreshPicture()));
    m_refreshButton->setIconSize(QSize(27, 26));
    m_refreshButton->setToolTip(u"Rafraichir"_s);

    createReportArea();
    // Under the report, where the expired NOTAMs would follow; a button so the keyboard reaches it too.
    m_expiredButton = place<QPushButton>(this, u"expiredButton"_s, QRect(66, 339, 240, 17));
    m_expiredButton->setFlat(true);
    m_expiredButton->setFont(sansFont(8.5));
    m_expiredButton->hide();

    m_foldButton = place<QPushButton>(this, u"foldButton"_s, QRect(2, 0, 86, 34));
    m_foldButton->setText(u"Réduire"_s);
    m_reportTitle = label(this, u"reportTitle"_s, QRect(77, 62, 400, 22), u"Metar"_s);
    m_reportTitle->setFont(sansFont(12, true));
    setTextColour(m_reportTitle, 0x0000C0);
    m_pilotLine = label(this, u"pilotLine"_s, QRect(77, 47, 435, 15), QString());
    m_pilotLine->setTextFormat(Qt::RichText);
    m_pilotLine->setFont(sansFont(kPilotPoints));
    m_staleBanner = label(this, u"staleBanner"_s, QRect(202, 0, 186, 35), u"METAR Périmé"_s);
    m_staleBanner->setFont(sansFont(18, true));
    setTextColour(m_staleBanner, 0xFF0000);
    m_staleBanner->hide();
    m_stationCodeLabel = label(this, u"stationCode"_s, QRect(102, 0, 89, 35), QString());
    m_stationCodeLabel->setFont(sansFont(18, true));
    setTextColour(m_stationCodeLabel, 0x0000C0);
    setStationCode(u"LFPG"_s);

    // Below the report, on its white ground: a sample must never pass for real weather.
    m_demoStrip = label(this, u"demoStrip"_s, QRect(66, 338, 446, 18),
        Reports::kDemoStrip + u" : bulletins d'exemple, pas de météo réelle"_s);
    m_demoStrip->setAlignment(Qt::AlignCenter);
    m_demoStrip->setFont(sansFont(8, true));
    setTextColour(m_demoStrip, 0xFF0000);
    m_demoStrip->hide();

    m_favouritesBar = new FavouritesBar(this, stations);
    createNearbyStations(stations);
    m_reportBackground = rectangle(this, u"reportBackground"_s, QRect(65, 46, 451, 311), QColor(0xFFFFFF));

    stack({ m_findBox, m_typeButtons[2], m_typeButtons[1], m_typeButtons[0], m_stationTip, m_quitButton,
        m_refreshButton, m_reportArea, m_expiredButton, m_foldButton, m_nearbyButton, m_reportTitle, m_pilotLine,
        m_staleBanner, m_stationCodeLabel, m_demoStrip, m_favouritesBar, m_reportBackground });

    connect(m_quitButton, &QPushButton::clicked, this, &ReportPanel::quitRequested);
    connect(m_refreshButton, &QPushButton::clicked, this, &ReportPanel::refreshRequested);
    connect(m_foldButton, &QPushButton::clicked, this, &ReportPanel::foldRequested);
    connect(m_findButton, &QPushButton::clicked, this, &ReportPanel::findInNotams);
    connect(m_expiredButton, &QPushButton::clicked, this, &ReportPanel::showExpiredNotams);
    connect(m_findEdit, &QLineEdit::returnPressed, this, &ReportPanel::findInNotams);
    for (size_t i = 0; i < m_typeButtons.size(); ++i) {
        connect(m_typeButtons[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (!checked)
                return;
            const ReportType type = kReportTypes.at(i);
            Q_EMIT reportTypeChosen(type);
            m_findBox->setVisible(type == ReportType::Notam);
        });
    }
    setMouseTracking(true);
    installEventFilter(this);
}

void ReportPanel::createFindBox()
{
    // From the station code to the type buttons: room for a NOTAM number or a runway in the box.
    m_findBox = panel(this, u"findBox"_s, QRect(192, -6, 194, 49));
    m_findBox->hide();
    m_findButton = place<QPushButton>(m_findBox, u"findButton"_s, QRect(8, 13, 57, 27));
    m_findButton->setText(u"Cherche"_s);
    m_findEdit = place<QLineEdit>(m_findBox, u"findEdit"_s, QRect(72, 16, 116, 21));
    // Lives while the box shows, that is while NOTAMs are the selected type.
    connect(
        shortcut(m_findBox, u"findShortcut"_s, QKeySequence(Qt::CTRL | Qt::Key_F)), &QAction::triggered, this, [this] {
            m_findEdit->setFocus(Qt::ShortcutFocusReason);
            m_findEdit->selectAll();
        });
}

void ReportPanel::createNearbyStations(const Stations::StationTable& stations)
{
    // At the end of the title's line, which no title fills.
    m_nearbyButton = place<QPushButton>(this, u"nearbyButton"_s, QRect(419, 63, 93, 20));
    m_nearbyButton->setText(u"Stations proches…"_s);
    m_nearbyButton->setFont(sansFont(8));
    m_nearbyButton->setToolTip(u"Les dix stations les plus proches, avec leur distance et leur relèvement vrai"_s);
    // Made at the first click: most runs never open it, and its table's code would otherwise be loaded and
    // kept in memory from the start.
    connect(m_nearbyButton, &QPushButton::clicked, this, [this, &stations] {
        if (!m_nearbyList) {
            m_nearbyList = new NearbyStationsList(this, stations);
            connect(m_nearbyList, &NearbyStationsList::stationChosen, this, &ReportPanel::nearbyStationChosen);
        }
        m_nearbyList->openFor(
            m_stationCode, m_nearbyButton->mapToGlobal(QPoint(m_nearbyButton->width(), m_nearbyButton->height())));
    });
}

void ReportPanel::createReportArea()
{
    // One pixel inside the white rectangle's border: at 1.5 times the border is a pixel and a half wide, and
    // the report would cover half of it.
    m_reportArea = place<QTextEdit>(this, u"reportArea"_s, QRect(67, 87, 445, 251));
    m_reportArea->setReadOnly(true);
    m_reportArea->setUndoRedoEnabled(false); // reports replace each other: nothing to undo, no old text kept
    m_reportArea->setAcceptRichText(false);
    m_reportArea->document()->setDefaultFont(sansFont(8.5));
    m_reportArea->setFont(sansFont(8.5));
    m_reportArea->setPlainText(u"Connexion à internet ..."_s);
    m_reportArea->viewport()->setMouseTracking(true);
    m_reportArea->viewport()->installEventFilter(this);
}

bool ReportPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        // Labels and rectangles draw on the panel and take no mouse of their own; a move that a control
        // (a button that tracks the pointer for its hover look, say) passes on is not over the background.
        const auto overBackground = [this](QPoint at) {
            const QWidget* child = childAt(at);
            return !child || isDecoration(child);
        };
        if (watched == m_reportArea->viewport()
            || (watched == this && overBackground(static_cast<QMouseEvent*>(event)->position().toPoint())))
            Q_EMIT pointerOverBackground();
    }
    return QFrame::eventFilter(watched, event);
}

QWidget* ReportPanel::chainTabOrderAfter(QWidget* previous)
{
    // The top row from left to right, then the refresh and the favourites on the left, the nearby stations
    // over the report, and the report.
    return chainTabOrder(previous,
        { m_foldButton, m_findButton, m_findEdit, m_typeButtons[0], m_typeButtons[1], m_typeButtons[2], m_quitButton,
            m_refreshButton, m_favouritesBar, m_nearbyButton, m_reportArea, m_expiredButton });
}

void ReportPanel::setStationCode(const QString& code)
{
    m_stationCode = code;
    m_stationCodeLabel->setText(code);
}

void ReportPanel::chooseReportType(ReportType type)
{
    m_typeButtons.at(static_cast<size_t>(type))->setChecked(true);
}

void ReportPanel::selectReportTypeQuietly(ReportType type)
{
    QRadioButton* button = m_typeButtons.at(static_cast<size_t>(type));
    const QSignalBlocker blocker(button);
    button->setChecked(true);
}

std::optional<ReportType> ReportPanel::checkedReportType() const
{
    for (size_t i = 0; i < m_typeButtons.size(); ++i) {
        if (m_typeButtons[i]->isChecked())
            return kReportTypes.at(i);
    }
    return std::nullopt;
}

void ReportPanel::showFolded(bool folded)
{
    m_foldButton->setText(folded ? u"Rechercher"_s : u"Réduire"_s);
}

ReportType ReportPanel::selectedReportType() const
{
    return checkedReportType().value_or(ReportType::Metar);
}

void ReportPanel::showPending(ReportType type)
{
    m_staleBanner->hide();
    m_expiredButton->hide();
    setBackground(Reports::kWhite);
    setReportText(QString());
    m_reportTitle->setText(type == ReportType::Notam ? u"Notams"_s : QString());
    m_pilotLine->clear();
    m_pilotLine->setToolTip(QString());
}

void ReportPanel::showReport(const DecodedReport& report)
{
    m_reportTitle->setText(report.title);
    m_staleBanner->setText(report.banner);
    m_staleBanner->setVisible(report.bannerShown);
    m_demoStrip->setVisible(report.demo);
    setBackground(report.background);
    m_reportArea->setVisible(!report.empty);
    m_reportTitle->setVisible(!report.empty);
    showPilotLine(report);
    m_expiredButton->hide();
    if (report.type != ReportType::Notam) {
        setReportText(report.text);
        ReportArea::apply(m_reportArea, report.spans);
        return;
    }
    m_allNotamText = report.text;
    m_allNotamSpans = report.spans;
    if (report.expiredAt < 0) {
        showNotams(report.text, report.spans);
        return;
    }
    // The expired NOTAMs end the text: until asked for, the text stops where they start.
    StyleSpans shownSpans;
    for (const StyleSpan& span : report.spans)
        addSpan(shownSpans, report.expiredAt, span.start, span.length, span.bold, span.rgb, span.pointSize);
    showNotams(report.text.left(report.expiredAt), shownSpans);
    const auto expired = std::count_if(report.notams.cbegin(), report.notams.cend(),
        [](const Notam::Entry& entry) { return entry.status.state == Notam::State::Expired; });
    m_expiredButton->setText(Notam::expiredLine(expired));
    m_expiredButton->show();
}

void ReportPanel::showNotams(const QString& text, const StyleSpans& spans)
{
    setReportText(text);
    ReportArea::apply(m_reportArea, spans);
    // Kept as the report area holds it, so a find shows exactly the text that was there.
    m_notamText = m_reportArea->document()->toPlainText();
    m_notamSpans = spans;
    m_lastFind.clear();
}

void ReportPanel::showExpiredNotams()
{
    m_expiredButton->hide();
    showNotams(m_allNotamText, m_allNotamSpans);
    m_reportArea->setFocus(Qt::OtherFocusReason);
}

void ReportPanel::showPilotLine(const DecodedReport& report)
{
    const PilotFacts& pilot = report.pilot;
    m_pilotLine->setToolTip(pilot.line);
    if (pilot.line.isEmpty() || report.empty) {
        m_pilotLine->clear();
        return;
    }
    // The mark says the conditions at a glance, grey when the report tells none (a TAF, an unread sky).
    QString html = colouredHtml(u"●"_s, conditionsColour(pilot.conditions.category)) + u' ';
    QString rest = pilot.line;
    if (!pilot.timesLine.isEmpty() && rest.startsWith(pilot.timesLine)) {
        html += colouredHtml(pilot.timesLine, ageColour(pilot.ageClass));
        rest.remove(0, pilot.timesLine.size());
    }
    m_pilotLine->setText(html + rest.toHtmlEscaped());
    // One line in a fixed band: a longer line (days in the times, a density altitude) takes a smaller face.
    const QString shown = u"● "_s + pilot.line;
    for (qreal points = kPilotPoints; points >= kPilotPoints - 2; points -= 0.5) {
        m_pilotLine->setFont(sansFont(points));
        if (m_pilotLine->fontMetrics().horizontalAdvance(shown) <= m_pilotLine->width())
            break;
    }
}

void ReportPanel::setBackground(QRgb rgb)
{
    for (QWidget* widget : std::initializer_list<QWidget*> { m_reportArea->viewport(), m_reportBackground }) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Base, QColor(rgb));
        palette.setColor(QPalette::Window, QColor(rgb));
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
    QPalette palette = m_reportArea->palette();
    palette.setColor(QPalette::Base, QColor(rgb));
    m_reportArea->setPalette(palette);
}

void ReportPanel::setReportText(const QString& text)
{
    // The text typed next takes the look under the cursor, which a click may have put on a styled span:
    // every report starts from the area's plain look.
    m_reportArea->setCurrentCharFormat(QTextCharFormat());
    m_reportArea->setPlainText(QString());
    // The text and the separators' fit in one edit: a change of format after the text would leave the
    // lines past it without a place until a later layout pass.
    QTextCursor cursor(m_reportArea->document());
    cursor.beginEditBlock();
    cursor.insertText(text);
    ReportArea::fitRuleLines(m_reportArea);
    cursor.endEditBlock();
}

void ReportPanel::findInNotams()
{
    setReportText(m_notamText);
    ReportArea::apply(m_reportArea, m_notamSpans);
    const QString needle = m_findEdit->text();
    // An empty search text occurs nowhere: nothing is highlighted.
    if (needle.isEmpty())
        return;
    const QString text = m_reportArea->document()->toPlainText();
    QTextCursor cursor(m_reportArea->document());
    QTextCharFormat highlight;
    highlight.setFontWeight(QFont::Bold);
    highlight.setForeground(QColor(kFindRed));
    // One edit for every match: the document lays itself out once, not once per match.
    cursor.beginEditBlock();
    for (qsizetype found = text.indexOf(needle, 0, Qt::CaseInsensitive); found >= 0;
         found = text.indexOf(needle, found + 1, Qt::CaseInsensitive)) {
        cursor.setPosition(static_cast<int>(found));
        cursor.setPosition(static_cast<int>(found + needle.size()), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(highlight);
    }
    cursor.endEditBlock();

    // Enter again on the same text goes on to the next match, and from the last back to the first.
    if (needle.compare(m_lastFind, Qt::CaseInsensitive) != 0)
        m_findFrom = 0;
    m_lastFind = needle;
    qsizetype current = text.indexOf(needle, m_findFrom, Qt::CaseInsensitive);
    if (current < 0)
        current = text.indexOf(needle, 0, Qt::CaseInsensitive);
    if (current < 0) {
        m_stationTip->showDescription(u"Introuvable : « %1 »"_s.arg(needle));
        return;
    }
    m_stationTip->hide();
    QTextCursor match(m_reportArea->document());
    match.setPosition(static_cast<int>(current));
    match.setPosition(static_cast<int>(current + needle.size()), QTextCursor::KeepAnchor);
    m_reportArea->setTextCursor(match);
    m_reportArea->ensureCursorVisible();
    m_findFrom = current + 1;
}

void ReportPanel::setReportMenu(const QList<QAction*>& actions)
{
    if (!m_reportMenu) {
        m_reportMenu = new QMenu(this);
        m_reportMenu->setObjectName(u"reportMenu"_s);
        m_reportArea->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(m_reportArea, &QWidget::customContextMenuRequested, m_reportMenu,
            [this](QPoint at) { m_reportMenu->popup(m_reportArea->viewport()->mapToGlobal(at)); });
    }
    m_reportMenu->clear();
    m_reportMenu->addActions(actions);
}

bool ReportPanel::copySelection()
{
    if (!m_reportArea->textCursor().hasSelection())
        return false;
    m_reportArea->copy();
    return true;
}

void ReportPanel::selectWholeReport()
{
    m_reportArea->setFocus(Qt::OtherFocusReason);
    m_reportArea->selectAll();
}

ShownReport ReportPanel::shownReport() const
{
    return ShownReport { m_reportTitle->text(), !m_reportTitle->isHidden(), !m_reportArea->isHidden(),
        !m_staleBanner->isHidden(), m_staleBanner->text(),
        m_reportArea->palette().color(QPalette::Base).rgb() & 0xFFFFFFu, ReportArea::readBack(m_reportArea),
        ReportArea::runs(m_reportArea) };
}
