#pragma once

#include <QString>
#include <QStringView>

// Positional text helpers shared by the report engines. Several engines cut reports by counting
// characters from 1, with 0 for "not found", so that a failed search followed by a cut still yields
// text rather than an error. Those positions stay inside the engines' .cpp files: every position an
// engine returns (a span's start, say) counts from 0.
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
