#pragma once

#include "platform/Downloader.h"

#include <QNetworkAccessManager>
#include <QSet>

#include <chrono>

/// HTTP, HTTPS and file:// downloads through Qt's network stack. Keeps no cache of its own; an address
/// whose cached copy was removed is asked for with no-cache headers, so proxies on the way refetch it too.
class NetworkDownloader final : public Downloader
{
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{30000};
    static constexpr qint64 kDefaultMaxBytes = 8 * 1024 * 1024;

    /// @p userAgent empty: Qt's own.
    explicit NetworkDownloader(std::chrono::milliseconds timeout = kDefaultTimeout, qint64 maxBytes = kDefaultMaxBytes,
        QByteArray userAgent = {});
    Q_DISABLE_COPY_MOVE(NetworkDownloader)

    DownloadResult download(const QString& url, const QString& file) override;
    void removeCachedCopy(const QString& url) override;

private:
    QNetworkAccessManager m_manager;
    std::chrono::milliseconds m_timeout;
    qint64 m_maxBytes;
    QByteArray m_userAgent;
    QSet<QString> m_bypassCache;
};
