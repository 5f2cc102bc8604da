#include "dossier/DossierPreview.h"

#include "briefing/DossierDocument.h"
#include "storage/UserSettings.h"
#include "ui/BriefingDialogs.h"
#include "ui/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <array>

using namespace Qt::StringLiterals;

DossierPreview::DossierPreview(const FlightDossier::Dossier& dossier, SettingsStore& settings, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_dossier(dossier)
    , m_document(DossierDocument::compose(dossier))
    , m_settings(settings)
{
    setObjectName(u"dossierPreview"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_document.title);

    m_view = new QTextBrowser(this);
    m_view->setObjectName(u"dossierView"_s);
    // The view takes the document: kept by it, freed with it.
    QTextDocument* shown = BriefingDocument::build(m_document).release();
    shown->setParent(m_view);
    m_view->setDocument(shown);

    const auto button = [this](const QString& name, const QString& text) {
        auto* made = new QPushButton(text, this);
        made->setObjectName(name);
        return made;
    };
    QPushButton* saveButton = button(u"saveButton"_s, u"Enregistrer…"_s);
    QPushButton* printButton = button(u"printButton"_s, u"Imprimer…"_s);
    QPushButton* exportButton = button(u"exportPdfButton"_s, u"Exporter en PDF…"_s);
    QPushButton* closeButton = button(u"closeButton"_s, u"Fermer"_s);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* each : { saveButton, printButton, exportButton })
        buttons->addWidget(each);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addLayout(buttons);
    resize(760, 640);

    connect(saveButton, &QPushButton::clicked, this, &DossierPreview::save);
    connect(printButton, &QPushButton::clicked, this, &DossierPreview::print);
    connect(exportButton, &QPushButton::clicked, this, &DossierPreview::exportPdf);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

QString DossierPreview::suggestedPath(BriefingFile::Format format) const
{
    QString folder = UserSettings(m_settings).briefingFolder();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QStringList codes;
    for (const FlightDossier::Stop& stop : m_dossier.plan.stops) {
        if (stop.role != FlightDossier::Role::Alternate)
            codes.append(stop.code);
    }
    return folder
        + u"/Dossier-%1-%2Z.%3"_s.arg(codes.join(u'-'), m_dossier.plan.departUtc.toUTC().toString(u"yyyyMMdd-HHmm"_s),
            BriefingFile::extension(format));
}

void DossierPreview::save()
{
    const std::optional<BriefingDialogs::SaveTarget> target = BriefingDialogs::askSaveTarget(
        this, u"Enregistrer le dossier de vol"_s, suggestedPath(BriefingFile::Format::Text));
    if (target)
        saveAs(target->path, target->format);
}

void DossierPreview::exportPdf()
{
    const QString path = BriefingDialogs::askPdfPath(
        this, u"Exporter le dossier de vol en PDF"_s, suggestedPath(BriefingFile::Format::Pdf));
    if (!path.isEmpty())
        saveAs(path, BriefingFile::Format::Pdf);
}

void DossierPreview::saveAs(const QString& path, BriefingFile::Format format)
{
    const QString error = BriefingFile::save(m_document, path, format);
    if (!error.isEmpty()) {
        Dialogs::warning(this, u"Enregistrement impossible"_s, error);
        return;
    }
    UserSettings(m_settings).setBriefingFolder(QFileInfo(path).absolutePath());
}

void DossierPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_document.title);
    printer.setOutputFileName(suggestedPath(BriefingFile::Format::Pdf));
    if (!Dialogs::setUpPrinter(this, printer, u"Imprimer le dossier de vol"_s))
        return;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        const QString error = BriefingFile::save(m_document, printer.outputFileName(), BriefingFile::Format::Pdf);
        if (!error.isEmpty())
            Dialogs::warning(this, u"Impression impossible"_s, error);
        return;
    }
    // At the printer's own resolution (1200 dpi) Qt's layout cannot hold a long document.
    printer.setResolution(300);
    if (BriefingFile::paint(m_document, printer) == 0)
        Dialogs::warning(this, u"Impression impossible"_s, u"Le dossier est trop long pour être imprimé."_s);
}
