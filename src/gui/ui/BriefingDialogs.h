#pragma once

#include "briefing/BriefingFile.h"

#include <QString>

#include <optional>

class QWidget;

/// The file dialogs every briefing (a report's, a flight dossier) is saved and exported through.
namespace BriefingDialogs {

/// Where to save and in which format.
struct SaveTarget
{
    QString path;
    BriefingFile::Format format = BriefingFile::Format::Text;
};

/// Asks where to save, offering text, web page and PDF: the format is the one the chosen name's extension
/// names, else the chosen filter's, whose extension is then added. Nothing when the user cancelled.
std::optional<SaveTarget> askSaveTarget(QWidget* parent, const QString& caption, const QString& suggestedPath);

/// Asks where to export a PDF; ".pdf" is added to a name without it. Empty when the user cancelled.
QString askPdfPath(QWidget* parent, const QString& caption, const QString& suggestedPath);

} // namespace BriefingDialogs
