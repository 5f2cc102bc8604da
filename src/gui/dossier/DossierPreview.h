#pragma once

#include "briefing/BriefingDocument.h"
#include "briefing/BriefingFile.h"
#include "reports/FlightDossier.h"

#include <QWidget>

class QTextBrowser;
class SettingsStore;

/// A window of its own showing a flight dossier as it will be saved or printed, with "Enregistrer…" (text, web
/// page or PDF), "Imprimer…" and "Exporter en PDF…". Closed, it is gone.
class DossierPreview final : public QWidget
{
    Q_OBJECT

public:
    /// @p settings keeps the folder the last briefing or dossier was saved in.
    DossierPreview(const FlightDossier::Dossier& dossier, SettingsStore& settings, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(DossierPreview)

private:
    void save();
    void print();
    void exportPdf();
    void saveAs(const QString& path, BriefingFile::Format format);
    QString suggestedPath(BriefingFile::Format format) const;

    FlightDossier::Dossier m_dossier;
    BriefingDocument::Document m_document;
    SettingsStore& m_settings;
    QTextBrowser* m_view = nullptr;
};
