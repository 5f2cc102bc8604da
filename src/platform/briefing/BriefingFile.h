#pragma once

#include "briefing/BriefingDocument.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;
class QPagedPaintDevice;

/// The briefing in files: plain UTF-8 text, HTML or PDF, each written whole or not at all.
namespace BriefingFile {

enum class Format { Text, Html, Pdf };

/// The format a file name's extension asks for (.txt, .html or .htm, .pdf; any case), if any.
std::optional<Format> formatOfName(const QString& fileName);
/// The extension that names @p format, without its dot.
QString extension(Format format);

/// The briefing document as UTF-8 plain text, one line per paragraph.
QByteArray text(const BriefingDocument::Briefing& briefing);
QByteArray text(const BriefingDocument::Document& document);
/// The briefing document as an HTML page with the report's colours and weights.
QByteArray html(const BriefingDocument::Briefing& briefing);
QByteArray html(const BriefingDocument::Document& document);
/// Writes the briefing document as an A4 PDF whose text can be selected and searched; a long report flows
/// over as many pages as it needs, and the largest the download cap lets in takes a second or so. False,
/// with nothing written, when the pages could not all be laid out, or when @p device took less than given.
bool writePdf(const BriefingDocument::Briefing& briefing, QIODevice& device);
bool writePdf(const BriefingDocument::Document& document, QIODevice& device);
/// Paints the briefing on @p device (a printer), 2 cm margins and numbered pages; returns the pages
/// painted, or 0 when the document is too long to be laid out at the device's resolution (300 dpi leaves
/// room for some 9,000 A4 pages).
int paint(const BriefingDocument::Briefing& briefing, QPagedPaintDevice& device);
int paint(const BriefingDocument::Document& document, QPagedPaintDevice& device);

/// A print job for the print system.
struct PrintJob
{
    QString printer; ///< the queue's name; empty: the default one
    int copies = 1;
    QString pages; ///< "3-7"; empty: every page
    bool twoSided = false;
};
/// Hands the briefing's PDF to the print system's "lp" command, for reports Qt would take minutes to paint.
/// Nothing when there is no such command (the caller then paints the briefing); otherwise an empty text on
/// success, or a French sentence saying what went wrong.
std::optional<QString> spool(const BriefingDocument::Briefing& briefing, const PrintJob& job);
std::optional<QString> spool(const BriefingDocument::Document& document, const PrintJob& job);

/// Writes @p path with what @p write puts in a buffer: a regular file (or one a chain of links leads to)
/// through a temporary file renamed over it once every byte is in, so a failure (no such folder, no right
/// to write, full disk) leaves any earlier file as it was; a terminal, a device or a pipe straight, without
/// replacing it. Refused: a link another user planted in a shared folder such as /tmp, a link to another
/// user's file, and anything else that is not a file. Returns an empty text on success, otherwise a French
/// sentence saying what went wrong, its cause named whatever the size written.
QString save(const QString& path, const std::function<bool(QIODevice&)>& write);
/// Saves the briefing in @p format.
QString save(const BriefingDocument::Briefing& briefing, const QString& path, Format format);
QString save(const BriefingDocument::Document& document, const QString& path, Format format);
/// Writes @p document in @p format into @p device; false when it could not be laid out or written whole.
bool write(const BriefingDocument::Document& document, Format format, QIODevice& device);

} // namespace BriefingFile
