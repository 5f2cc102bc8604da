#include "reports/BriefingCommands.h"

#include "storage/UserSettings.h"
#include "ui/BriefingDialogs.h"
#include "ui/Dialogs.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QPrinter>
#include <QStandardPaths>
#include <QTextDocument>
#include <QWidget>

#include <array>

using namespace Qt::StringLiterals;

BriefingCommands::BriefingCommands(QWidget& window, SettingsStore& settings, BriefingSource currentBriefing)
    : QObject(&window)
    , m_window(window)
    , m_settings(settings)
    , m_currentBriefing(std::move(currentBriefing))
{
    setObjectName(u"briefingCommands"_s);
    connect(addCommand(u"copyAction"_s, u"Copier"_s, QKeySequence(Qt::CTRL | Qt::Key_C)), &QAction::triggered, this,
        &BriefingCommands::copyRequested);
    connect(addCommand(u"copyBriefingAction"_s, u"Copier le bulletin"_s, QKeySequence()), &QAction::triggered, this,
        &BriefingCommands::copyBriefing);
    connect(addCommand(u"selectAllAction"_s, u"Tout sélectionner"_s, QKeySequence(Qt::CTRL | Qt::Key_A)),
        &QAction::triggered, this, &BriefingCommands::selectAllRequested);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    m_actions.append(separator);
    connect(addCommand(u"saveAction"_s, u"Enregistrer le bulletin…"_s, QKeySequence(Qt::CTRL | Qt::Key_S)),
        &QAction::triggered, this, &BriefingCommands::save);
    connect(addCommand(u"printAction"_s, u"Imprimer…"_s, QKeySequence(Qt::CTRL | Qt::Key_P)), &QAction::triggered, this,
        &BriefingCommands::print);
    // Not Ctrl+E: on X11 a line edit takes it to go to the end of its line, and the code box mostly has focus.
    connect(addCommand(u"exportPdfAction"_s, u"Exporter en PDF…"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
        &QAction::triggered, this, &BriefingCommands::exportPdf);
}

QAction* BriefingCommands::addCommand(const QString& name, const QString& text, const QKeySequence& keys)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
    m_window.addAction(action);
    m_actions.append(action);
    return action;
}

void BriefingCommands::copyBriefing()
{
    // As the text file has it: the code, the banner and the title travel with the report, so a stale
    // report cannot be pasted as a current one.
    const BriefingDocument::Briefing briefing = m_currentBriefing();
    auto* whole = new QMimeData;
    whole->setText(QString::fromUtf8(BriefingFile::text(briefing)));
    whole->setHtml(QString::fromUtf8(BriefingFile::html(briefing)));
    QGuiApplication::clipboard()->setMimeData(whole);
}

std::optional<BriefingDocument::Briefing> BriefingCommands::fetchedBriefing()
{
    BriefingDocument::Briefing briefing = m_currentBriefing();
    if (!briefing.report.fetched()) {
        Dialogs::information(&m_window, u"Aucun bulletin"_s,
            u"Le dernier bulletin demandé n'a pas pu être obtenu : il n'y a rien à enregistrer ni à imprimer."_s);
        return std::nullopt;
    }
    return briefing;
}

QString BriefingCommands::suggestedPath(const BriefingDocument::Briefing& briefing, BriefingFile::Format format) const
{
    QString folder = UserSettings(m_settings).briefingFolder();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A folder since removed (or a documents folder never made) would open the dialog anywhere.
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString stamp = briefing.report.fetchedUtc.toUTC().toString(u"yyyyMMdd-HHmm"_s);
    return folder
        + u"/%1-%2-%3Z.%4"_s.arg(
            briefing.report.code, reportTypeName(briefing.report.type), stamp, BriefingFile::extension(format));
}

void BriefingCommands::save()
{
    const std::optional<BriefingDocument::Briefing> briefing = fetchedBriefing();
    if (!briefing)
        return;
    const std::optional<BriefingDialogs::SaveTarget> target = BriefingDialogs::askSaveTarget(
        &m_window, u"Enregistrer le bulletin"_s, suggestedPath(*briefing, BriefingFile::Format::Text));
    if (target)
        saveAs(*briefing, target->path, target->format);
}

void BriefingCommands::exportPdf()
{
    const std::optional<BriefingDocument::Briefing> briefing = fetchedBriefing();
    if (!briefing)
        return;
    const QString path = BriefingDialogs::askPdfPath(
        &m_window, u"Exporter en PDF"_s, suggestedPath(*briefing, BriefingFile::Format::Pdf));
    if (!path.isEmpty())
        saveAs(*briefing, path, BriefingFile::Format::Pdf);
}

void BriefingCommands::saveAs(
    const BriefingDocument::Briefing& briefing, const QString& path, BriefingFile::Format format)
{
    const QString error = BriefingFile::save(briefing, path, format);
    if (!error.isEmpty()) {
        Dialogs::warning(&m_window, u"Enregistrement impossible"_s, error);
        return;
    }
    UserSettings(m_settings).setBriefingFolder(QFileInfo(path).absolutePath());
}

void BriefingCommands::print()
{
    const std::optional<BriefingDocument::Briefing> briefing = fetchedBriefing();
    if (!briefing)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(BriefingDocument::title(*briefing));
    // Printing to a file proposes the folder the briefings are saved in, as saving does.
    printer.setOutputFileName(suggestedPath(*briefing, BriefingFile::Format::Pdf));
    if (!Dialogs::setUpPrinter(&m_window, printer, u"Imprimer le bulletin"_s))
        return;
    // Printed to a file: the briefing's own PDF, made in a fraction of the time Qt takes to paint one.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        const QString error = BriefingFile::save(*briefing, printer.outputFileName(), BriefingFile::Format::Pdf);
        if (!error.isEmpty())
            Dialogs::warning(&m_window, u"Impression impossible"_s, error);
        return;
    }
    // Qt paints a report glyph by glyph: minutes for the longest. The print system takes the briefing's own
    // PDF instead (A4, whatever paper was chosen), which only the long reports need.
    constexpr qsizetype kLongestPainted = 256 * 1024;
    if (briefing->report.text.size() > kLongestPainted) {
        const BriefingFile::PrintJob job { printer.printerName(), printer.copyCount(),
            printer.printRange() == QPrinter::PageRange ? u"%1-%2"_s.arg(printer.fromPage()).arg(printer.toPage())
                                                        : QString(),
            printer.duplex() != QPrinter::DuplexNone };
        if (const std::optional<QString> error = BriefingFile::spool(*briefing, job)) {
            if (!error->isEmpty())
                Dialogs::warning(&m_window, u"Impression impossible"_s, *error);
            return;
        }
    }
    // At the printer's own resolution (1200 dpi) Qt's layout cannot hold a long report.
    printer.setResolution(300);
    if (BriefingFile::paint(*briefing, printer) == 0)
        Dialogs::warning(&m_window, u"Impression impossible"_s, u"Le bulletin est trop long pour être imprimé."_s);
}
