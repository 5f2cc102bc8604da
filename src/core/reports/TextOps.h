#pragma once

#include <QString>
#include <QStringView>

// Text helpers shared by the report engines.
namespace TextOps {

/// Value of the leading decimal digits of @p text; 0 when it does not start with a digit.
int leadingNumber(QStringView text);

/// Replaces every non-overlapping occurrence of @p find, left to right, without re-reading inserted text.
/// An empty @p find leaves the text alone.
void replaceAll(QString& text, QStringView find, QStringView replaceWith);

} // namespace TextOps
