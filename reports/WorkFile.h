#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace WorkFile {

/// Splits file contents into items: a line end (LF, CR, or CR LF counted once) or a comma ends an item,
/// blanks at the start of an item are dropped, and an empty line gives an empty item.
/// Bytes are read as single-byte (Latin-1) characters so that no input can fail to decode.
QStringList ReadItems(const QByteArray& contents);

/// The report text of a downloaded work file: every item but the first, each followed by one blank.
QString ReportText(const QByteArray& contents);

/// ReportText() of the file at @p path; empty when it cannot be read.
QString ReadReportText(const QString& path);

/// The whole file as single-byte characters, line ends untouched; empty when it cannot be read.
QString ReadWhole(const QString& path);

} // namespace WorkFile
