#pragma once

#include <QString>
#include <QStringView>

// Positional text helpers shared by the report engines. The report rules are
// written with 1-based positions where 0 means "not found"; keeping that
// convention here lets each engine read like the rule it implements.
namespace TextOps {

/// 1-based position of the first @p what at or after 1-based position @p from; 0 when absent.
/// A @p from below 1 searches from the start.
qsizetype Find(const QString& text, QStringView what, qsizetype from = 1);

/// Up to @p length characters starting at 1-based position @p start; empty when out of range.
QString Mid(const QString& text, qsizetype start, qsizetype length);

/// Value of the leading decimal digits of @p text; 0 when it does not start with a digit.
int LeadingNumber(QStringView text);

/// Replaces every non-overlapping occurrence of @p find, left to right, without re-reading inserted text.
/// An empty @p find leaves the text alone.
void ReplaceAll(QString& text, QStringView find, QStringView replaceWith);

} // namespace TextOps
