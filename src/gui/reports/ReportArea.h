#pragma once

#include "reports/StyleSpan.h"
#include "reports/TextRun.h"

#include <QList>
#include <QString>

class QTextEdit;

/// The report area as the report engines see it: plain text whose line breaks read back as CR LF, and
/// spans counted in that text. The document itself holds one character per line break, so offsets are
/// mapped between the two here and nowhere else.
namespace ReportArea {

/// The area's text with every line break as CR LF.
QString readBack(const QTextEdit* area);

/// Gives each span its look, in order (a later span overrides an earlier one where they overlap).
void apply(QTextEdit* area, const StyleSpans& spans);

/// Stretches or squeezes every NOTAM separator line (70 "_", perhaps " (Fin)" after them) to the width the
/// area shows, the vertical scroll bar's place left free, so that none wraps into a stray piece. Called
/// each time the text is replaced.
void fitRuleLines(QTextEdit* area);

using Run = TextRun;

/// The area's text as runs of one look each, whose texts concatenate to readBack().
QList<Run> runs(const QTextEdit* area);

} // namespace ReportArea
