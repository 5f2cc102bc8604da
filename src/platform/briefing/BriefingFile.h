#pragma once

#include "briefing/BriefingDocument.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;

/// The briefing in files: plain UTF-8 text, HTML or PDF, each written whole or not at all.
namespace BriefingFile {

enum class Format { Text, Html, Pdf };

/// The format a file name's extension asks for (.txt, .html or .htm, .pdf; any case), if any.
std::optional<Format> FormatOfName(const QString& fileName);
/// The extension that names @p format, without its dot.
QString Extension(Format format);

/// The briefing document as UTF-8 plain text, one line per paragraph.
QByteArray Text(const BriefingDocument::Briefing& briefing);
/// The briefing document as an HTML page with the report's colours and weights.
QByteArray Html(const BriefingDocument::Briefing& briefing);
/// Writes the briefing document as an A4 PDF whose text can be selected and searched; a long report flows
/// over as many pages as it needs. False when @p device is a file that reported a write error.
bool WritePdf(const BriefingDocument::Briefing& briefing, QIODevice& device);

/// Writes @p path through a temporary file renamed over it once @p write has put every byte in it, so a
/// failure (no such folder, no right to write, full disk) leaves any earlier file as it was. Returns an
/// empty text on success, otherwise a French sentence saying what went wrong.
QString Save(const QString& path, const std::function<bool(QIODevice&)>& write);
/// Saves the briefing in @p format.
QString Save(const BriefingDocument::Briefing& briefing, const QString& path, Format format);

} // namespace BriefingFile
