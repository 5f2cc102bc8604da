#include "stations/EmbeddedData.h"

#include <QResource>

namespace Stations {

QByteArray embeddedBytes(const QString& path)
{
    const QResource resource(path);
    if (!resource.isValid())
        return {};
    // Uncompressed, the resource's bytes live as long as the program.
    if (resource.compressionAlgorithm() == QResource::NoCompression)
        return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size());
    return resource.uncompressedData();
}

} // namespace Stations
