#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace WorkFile {

/// Splits file contents into items: a line end (LF, CR, or CR LF counted once) or a comma ends an item,
/// blanks at the start of an item are dropped, and an empty line gives an empty item.
/// Bytes are read as single-byte (Latin-1) characters so that no input can fail to decode.
QStringList readItems(const QByteArray& contents);

/// The report text of a downloaded work file: every item but the first, each followed by one blank.
QString reportText(const QByteArray& contents);

/// reportText() of the file at @p path; empty when it cannot be read.
QString readReportText(const QString& path);

/// A downloaded page as text, line ends untouched: UTF-8 when its bytes are valid UTF-8 or the page declares
/// that charset (a bad byte then reads as U+FFFD), single-byte (Latin-1) characters otherwise. Pure ASCII
/// reads the same either way.
QString decodePage(const QByteArray& page);

/// decodePage() of the file at @p path; empty when it cannot be read.
QString readPage(const QString& path);

} // namespace WorkFile
