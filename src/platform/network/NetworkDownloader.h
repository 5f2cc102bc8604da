#pragma once

#include "network/Downloader.h"

#include <QNetworkAccessManager>
#include <QSet>

#include <chrono>

/// HTTP, HTTPS and file:// downloads through Qt's network stack. Keeps no cache of its own; an address
/// whose cached copy was removed is asked for with no-cache headers, so proxies on the way refetch it too.
/// A transfer ends at @p timeout whatever the server does, fails once the body passes @p maxBytes (counted
/// as it arrives, with Qt holding little of it at a time), and an https server that does not finish its
/// TLS handshake within @p handshakeTimeout is given up. An address that is no valid one (see
/// SourceAddress::isValidAddress) is refused before anything is contacted, and a file:// address that names
/// anything but a plain file (a pipe would hold the transfer for ever) is never opened. The synchronous and the
/// background downloads are the same transfer, with the same limits and failure causes.
class NetworkTransfer;

class NetworkDownloader final : public Downloader
{
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout { 30000 };
    static constexpr qint64 kDefaultMaxBytes = 8 * 1024 * 1024;
    /// From the connection to an https server to the end of its TLS handshake.
    static constexpr std::chrono::milliseconds kDefaultHandshakeTimeout { 10000 };

    /// @p userAgent empty: Qt's own.
    explicit NetworkDownloader(std::chrono::milliseconds timeout = kDefaultTimeout, qint64 maxBytes = kDefaultMaxBytes,
        std::chrono::milliseconds handshakeTimeout = kDefaultHandshakeTimeout, QByteArray userAgent = {});
    Q_DISABLE_COPY_MOVE(NetworkDownloader)

    /// Lets the addresses of the built-in samples through; only a demonstration reads them.
    void serveSamples(bool serve) { m_servesSamples = serve; }

    DownloadResult download(const QString& url, const QString& file) override;
    std::unique_ptr<PendingDownload> start(const QString& url, const QString& file) override;
    void removeCachedCopy(const QString& url) override;

private:
    std::unique_ptr<NetworkTransfer> begin(const QString& url, const QString& file);

    QNetworkAccessManager m_manager;
    std::chrono::milliseconds m_timeout;
    qint64 m_maxBytes;
    std::chrono::milliseconds m_handshakeTimeout;
    QByteArray m_userAgent;
    QSet<QString> m_bypassCache;
    bool m_servesSamples = false;
};
