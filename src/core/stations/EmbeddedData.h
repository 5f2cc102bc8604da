#pragma once

#include <QByteArray>
#include <QString>

namespace Stations {

/// The bytes of the data file @p path embedded in the program (":/data/…"), empty when there is none. They
/// are read where they lie, not copied: the program looks up one line of files of hundreds of kilobytes.
QByteArray embeddedBytes(const QString& path);

} // namespace Stations
