#pragma once

#include "briefing/BriefingDocument.h"

#include <QByteArray>
#include <QString>

#include <optional>

/// The briefing as a PDF written here rather than painted through Qt: Qt's PDF engine positions every glyph
/// on its own, which for the largest reports the download cap lets in costs minutes and hundreds of MiB. A4
/// pages, 2 cm margins, the page number under each page; the text stays selectable and searchable.
namespace BriefingPdf {

/// Whether the PDF's built-in faces (Western European characters) can show every character of
/// @p paragraphs; when not, the briefing must be painted through Qt.
bool canRender(const QList<BriefingDocument::Paragraph>& paragraphs);

struct Pdf
{
    QByteArray bytes;
    int pages = 0;
};

/// The PDF of @p paragraphs, with @p title and @p creator in its properties.
Pdf render(const QList<BriefingDocument::Paragraph>& paragraphs, const QString& title, const QString& creator);

} // namespace BriefingPdf
