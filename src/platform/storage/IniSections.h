#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

/// INI files as QSettings reads them, cut into their sections as bytes, so that a save can leave the
/// sections it does not write exactly as the user wrote them.
namespace IniSections {

/// The group of a QSettings key: "" for a key outside any section.
QString GroupOfKey(const QString& key);

/// The file as it is to be saved: every part of @p original (the lines before the first section, each
/// section) that holds none of @p writtenGroups stays exactly as it is; @p rewritten, QSettings' text of the
/// written groups, takes the place of the first part it replaces, or comes last.
QByteArray ComposeFile(const QByteArray& original, const QSet<QString>& writtenGroups, const QByteArray& rewritten);

} // namespace IniSections
