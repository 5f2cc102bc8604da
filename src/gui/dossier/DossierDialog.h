#pragma once

#include "reports/FlightDossier.h"
#include "services/Services.h"

#include <QDialog>
#include <QList>

class DossierFetcher;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace Stations {
class StationTable;
}

/// "Dossier de vol…": the departure, the destination, up to three alternates (each a code box that also finds
/// stations by name) and the UTC times; it fetches every report in the background with a progress bar, and
/// "Annuler" stops what remains. The window and its refresh go on meanwhile.
class DossierDialog final : public QDialog
{
    Q_OBJECT

public:
    /// @p stations must outlive the dialog.
    DossierDialog(Services services, const Stations::StationTable& stations, QWidget* parent = nullptr);
    ~DossierDialog() override;
    Q_DISABLE_COPY_MOVE(DossierDialog)

    /// Times back to now and an hour later, the codes kept; shows the dialog.
    void open() override;

Q_SIGNALS:
    /// Every report has come in.
    void dossierReady(const FlightDossier::Dossier& dossier);

protected:
    void reject() override;

private:
    QLineEdit* addCodeBox(const QString& name, const QString& placeholder);
    void prepare();
    void cancel();
    void showProgress(int reportsDone, int reportsTotal, int stationsDone, int stationsTotal);
    void setRunning(bool running);

    Services m_services;
    const Stations::StationTable& m_stations;
    DossierFetcher* m_fetcher = nullptr;
    QList<QLineEdit*> m_codeBoxes; ///< departure, destination, then the alternates
    QDateTimeEdit* m_departEdit = nullptr;
    QDateTimeEdit* m_arriveEdit = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_messageLabel = nullptr;
    QPushButton* m_prepareButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
