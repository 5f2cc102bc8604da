#include "dossier/DossierDialog.h"

#include "reports/DossierFetcher.h"
#include "services/Clock.h"
#include "stations/NameSearch.h"
#include "stations/StationTable.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringListModel>
#include <QTimeZone>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The popup of a code box lists this many stations at most: enough to pick from, short enough to read.
constexpr qsizetype kMostSuggestions = 12;
constexpr int kSuggestionsWidth = 420;
constexpr int kCodeBoxWidth = 260;

QDateTime nowToTheMinute(const Clock& clock)
{
    const QDateTime now = clock.now().toUTC();
    return QDateTime(now.date(), QTime(now.time().hour(), now.time().minute()), QTimeZone::utc());
}

// "EGLL — London Heathrow Airport, Uk" as the suggestions write it, or the code as typed.
QString codeIn(const QString& text)
{
    return text.section(u" — "_s, 0, 0).trimmed();
}

} // namespace

DossierDialog::DossierDialog(Services services, const Stations::StationTable& stations, QWidget* parent)
    : QDialog(parent)
    , m_services(std::move(services))
    , m_stations(stations)
{
    setObjectName(u"dossierDialog"_s);
    setWindowTitle(u"Dossier de vol"_s);
    m_fetcher = new DossierFetcher(m_services, m_stations, this);

    auto* form = new QFormLayout;
    form->addRow(u"Départ :"_s, addCodeBox(u"departureEdit"_s, u"LFPG ou Roissy"_s));
    form->addRow(u"Destination :"_s, addCodeBox(u"destinationEdit"_s, u"code ou nom"_s));
    for (int i = 1; i <= FlightDossier::kMostAlternates; ++i)
        form->addRow(u"Dégagement %1 :"_s.arg(i), addCodeBox(u"alternateEdit%1"_s.arg(i), u"facultatif"_s));
    const auto timeEdit = [this](const QString& name) {
        auto* edit = new QDateTimeEdit(this);
        edit->setObjectName(name);
        edit->setTimeSpec(Qt::UTC);
        edit->setDisplayFormat(u"dd/MM/yyyy HH:mm 'UTC'"_s);
        edit->setCalendarPopup(true);
        return edit;
    };
    m_departEdit = timeEdit(u"departEdit"_s);
    m_arriveEdit = timeEdit(u"arriveEdit"_s);
    form->addRow(u"Heure de départ :"_s, m_departEdit);
    form->addRow(u"Heure d'arrivée :"_s, m_arriveEdit);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(u"progressBar"_s);
    m_progressBar->setTextVisible(true);
    m_progressBar->hide();
    m_messageLabel = new QLabel(this);
    m_messageLabel->setObjectName(u"messageLabel"_s);
    m_messageLabel->setWordWrap(true);
    m_messageLabel->setStyleSheet(u"color: #C00000;"_s);

    m_prepareButton = new QPushButton(u"Préparer le dossier"_s, this);
    m_prepareButton->setObjectName(u"prepareButton"_s);
    m_prepareButton->setDefault(true);
    m_cancelButton = new QPushButton(u"Annuler"_s, this);
    m_cancelButton->setObjectName(u"cancelButton"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_prepareButton);
    buttons->addWidget(m_cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_progressBar);
    layout->addWidget(m_messageLabel);
    layout->addLayout(buttons);

    connect(m_prepareButton, &QPushButton::clicked, this, &DossierDialog::prepare);
    connect(m_cancelButton, &QPushButton::clicked, this, &DossierDialog::reject);
    connect(m_fetcher, &DossierFetcher::progressed, this, &DossierDialog::showProgress);
    connect(m_fetcher, &DossierFetcher::finished, this, [this](const FlightDossier::Dossier& dossier) {
        setRunning(false);
        m_messageLabel->clear();
        hide();
        Q_EMIT dossierReady(dossier);
    });
}

DossierDialog::~DossierDialog() = default;

QLineEdit* DossierDialog::addCodeBox(const QString& name, const QString& placeholder)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    box->setPlaceholderText(placeholder);
    box->setMinimumWidth(kCodeBoxWidth);
    // A name typed here finds its station as in the search panel; choosing one leaves its code.
    auto* suggestions = new QStringListModel(box);
    auto* completer = new QCompleter(suggestions, box);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    box->setCompleter(completer);
    // Names are long ("Paris Charles de Gaulle Airport"): the list is as wide as they need, not as the box.
    completer->popup()->setMinimumWidth(kSuggestionsWidth);
    connect(box, &QLineEdit::textEdited, box, [this, suggestions](const QString& text) {
        QStringList lines;
        if (text.trimmed().size() >= 2) {
            for (const Stations::SearchHit& hit : Stations::searchByName(m_stations, text.trimmed())) {
                const QString name = hit.aerodrome.isEmpty() ? hit.city : hit.aerodrome;
                lines.append(u"%1 — %2, %3"_s.arg(hit.code, name, hit.country));
                if (lines.size() == kMostSuggestions)
                    break;
            }
        }
        suggestions->setStringList(lines);
    });
    // The completer writes the whole suggestion into the box; the box keeps its code.
    connect(box, &QLineEdit::editingFinished, box, [box] { box->setText(codeIn(box->text())); });
    connect(completer, qOverload<const QString&>(&QCompleter::activated), box,
        [box](const QString& suggestion) { box->setText(codeIn(suggestion)); });
    m_codeBoxes.append(box);
    return box;
}

void DossierDialog::open()
{
    const QDateTime now = nowToTheMinute(*m_services.clock);
    m_departEdit->setDateTime(now);
    m_arriveEdit->setDateTime(now.addSecs(3600));
    m_messageLabel->clear();
    setRunning(false);
    show();
    raise();
    activateWindow();
    m_codeBoxes.first()->setFocus();
}

void DossierDialog::prepare()
{
    QStringList alternates;
    for (qsizetype i = 2; i < m_codeBoxes.size(); ++i)
        alternates.append(codeIn(m_codeBoxes.at(i)->text()));
    const FlightDossier::Plan plan
        = FlightDossier::makePlan(codeIn(m_codeBoxes.at(0)->text()), codeIn(m_codeBoxes.at(1)->text()), alternates,
            m_departEdit->dateTime().toUTC(), m_arriveEdit->dateTime().toUTC());
    if (const QString error = FlightDossier::planError(plan); !error.isEmpty()) {
        // Said in the dialog, whose fields keep what was typed so that it can be mended.
        m_messageLabel->setText(error.left(1).toUpper() + error.mid(1) + u'.');
        return;
    }
    m_messageLabel->clear();
    setRunning(true);
    m_fetcher->start(plan);
    showProgress(0, m_fetcher->total(), 0, static_cast<int>(plan.stops.size()));
}

void DossierDialog::reject()
{
    if (!m_fetcher->isRunning()) {
        QDialog::reject();
        return;
    }
    m_fetcher->cancel();
    setRunning(false);
    m_messageLabel->setText(u"Téléchargements annulés : le dossier n'a pas été préparé."_s);
}

void DossierDialog::showProgress(int reportsDone, int reportsTotal, int stationsDone, int stationsTotal)
{
    m_progressBar->setRange(0, std::max(1, reportsTotal));
    m_progressBar->setValue(reportsDone);
    m_progressBar->setFormat(u"Stations : %1 sur %2 — bulletins : %3 sur %4"_s.arg(stationsDone)
                                 .arg(stationsTotal)
                                 .arg(reportsDone)
                                 .arg(reportsTotal));
}

void DossierDialog::setRunning(bool running)
{
    m_progressBar->setVisible(running);
    m_prepareButton->setEnabled(!running);
    for (QWidget* field : m_codeBoxes)
        field->setEnabled(!running);
    m_departEdit->setEnabled(!running);
    m_arriveEdit->setEnabled(!running);
}
