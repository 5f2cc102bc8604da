#include "network/NetworkDownloader.h"

#include "reports/Sources.h"
#include "services/Logging.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// What Qt may hold of a reply that has not been read yet.
constexpr qint64 kReadBufferBytes = 64 * 1024;

// The errors that say why a transfer failed in words a user can act on; the others are NetworkError.
DownloadResult::Outcome networkOutcome(QNetworkReply::NetworkError error)
{
    using Outcome = DownloadResult::Outcome;
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return Outcome::HostNotFound;
    case QNetworkReply::ConnectionRefusedError:
        return Outcome::Refused;
    case QNetworkReply::SslHandshakeFailedError:
        return Outcome::SecureConnectionFailed;
    case QNetworkReply::ContentNotFoundError: // only a local file gets here: a server's 404 has a status
        return Outcome::NotFound;
    case QNetworkReply::TooManyRedirectsError:
        return Outcome::RedirectLoop;
    default:
        return Outcome::NetworkError;
    }
}

bool isSampleAddress(const QString& url)
{
    return url.startsWith(SourceAddress::demoBase() + u'/');
}

// Whatever is in the way of a local report that is not a plain file (a pipe would hold open() for ever, a
// device may never end): false for an absent file too, which the transfer then reports as not found.
bool isOtherThanPlainFile(const QUrl& address)
{
    if (!address.isLocalFile())
        return false;
    struct stat status = {};
    if (::stat(QFile::encodeName(address.toLocalFile()).constData(), &status) != 0)
        return false;
    return !S_ISREG(status.st_mode);
}

// Qt's error texts quote the address whole: a password in it must not reach a log or a screen.
QString withoutUserInfo(QString text, const QUrl& address)
{
    if (!address.userInfo().isEmpty()) {
        text.replace(address.userInfo(QUrl::FullyEncoded) + u'@', QString());
        text.replace(address.userInfo() + u'@', QString());
    }
    return text;
}

} // namespace

/// One transfer, from the request to the work file: what the synchronous download waits for and what a
/// background one hands back. Every limit and failure cause lives here, so the two never differ.
class NetworkTransfer final : public PendingDownload
{
public:
    struct Limits
    {
        std::chrono::milliseconds timeout;
        qint64 maxBytes;
        std::chrono::milliseconds handshakeTimeout;
    };

    NetworkTransfer(QString url, QString file, const Limits& limits)
        : m_url(std::move(url))
        , m_file(std::move(file))
        , m_limits(limits)
    {
    }
    ~NetworkTransfer() override { stopReply(); }
    Q_DISABLE_COPY_MOVE(NetworkTransfer)

    /// Ends at once, before anything is contacted.
    void refuse(DownloadResult::Outcome outcome, const QString& error)
    {
        m_result.outcome = outcome;
        m_result.error = error;
        finishSoon();
    }

    void run(QNetworkReply* reply);

    bool isDone() const { return m_done; }
    const DownloadResult& result() const { return m_result; }

    /// The event loop was told to end while the transfer ran: a transfer cut short is no report.
    void interrupt()
    {
        stopReply();
        m_result.outcome = DownloadResult::Outcome::NetworkError;
        m_result.error = u"transfert interrompu"_s;
        m_done = true;
    }

private:
    void stopLimit(qint64 received);
    void onReplyFinished();
    DownloadResult::Outcome outcomeOfReply();
    void finish();
    void finishSoon()
    {
        QTimer::singleShot(0, this, [this] { finish(); });
    }
    void stopReply()
    {
        if (!m_reply)
            return;
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }

    QString m_url;
    QString m_file;
    Limits m_limits;
    QNetworkReply* m_reply = nullptr;
    QByteArray m_body;
    bool m_tooLarge = false;
    bool m_timedOut = false;
    bool m_handshakeStalled = false;
    bool m_done = false;
    QUrl m_leg; // where the request stands after the redirects so far
    QTimer m_deadline;
    QTimer m_handshake;
    DownloadResult m_result;
};

void NetworkTransfer::run(QNetworkReply* reply)
{
    m_reply = reply;
    m_leg = reply->url();
    // Without a bound Qt reads the socket as fast as the server writes and queues every piece for this
    // thread, which may be busy: an endless body then grows in memory long before the size check below
    // sees it. Bounded, Qt stops reading until what it holds has been taken.
    reply->setReadBufferSize(kReadBufferBytes);
    m_deadline.setSingleShot(true);
    // The request's transfer timeout only notices silence; this one also ends a server that trickles forever.
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        m_timedOut = true;
        m_reply->abort();
    });
    // Qt 6.4 drops the transfer timeout on a redirect: an https server that never answers the handshake
    // would hold the program until the deadline.
    m_handshake.setSingleShot(true);
    connect(&m_handshake, &QTimer::timeout, this, [this] {
        m_handshakeStalled = true;
        m_reply->abort();
    });
    connect(reply, &QNetworkReply::redirected, this, [this](const QUrl& to) { m_leg = m_leg.resolved(to); });
    connect(reply, &QNetworkReply::socketStartedConnecting, this, [this] {
        if (m_leg.scheme() == u"https")
            m_handshake.start(m_limits.handshakeTimeout);
    });
    connect(reply, &QNetworkReply::encrypted, &m_handshake, &QTimer::stop);
    // Counted as Qt reports it receives, not only as it is read here.
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 received) { stopLimit(received); });
    connect(reply, &QNetworkReply::readyRead, this, [this] {
        m_body += m_reply->readAll();
        stopLimit(m_body.size());
    });
    connect(reply, &QNetworkReply::finished, this, &NetworkTransfer::onReplyFinished);
    m_deadline.start(m_limits.timeout);
    if (reply->isFinished())
        QTimer::singleShot(0, this, [this] {
            if (m_reply)
                onReplyFinished();
        });
}

void NetworkTransfer::stopLimit(qint64 received)
{
    if (received > m_limits.maxBytes && !m_tooLarge) {
        m_tooLarge = true;
        m_reply->abort();
    }
}

void NetworkTransfer::onReplyFinished()
{
    m_deadline.stop();
    m_handshake.stop();
    if (!m_tooLarge && !m_timedOut && !m_handshakeStalled) {
        m_body += m_reply->readAll();
        m_tooLarge = m_body.size() > m_limits.maxBytes;
    }
    m_result.outcome = outcomeOfReply();
    m_reply->disconnect(this);
    m_reply->deleteLater();
    m_reply = nullptr;
    if (m_result.ok()) {
        // Written beside the target and renamed into place, so a broken write never leaves half a report.
        // Qt 6.4's commit() does not check the flush of what write() buffered (bodies under 16 KiB): flushed
        // here first, a full disk fails the download instead of leaving an empty report.
        QSaveFile out(m_file);
        if (!out.open(QIODevice::WriteOnly) || out.write(m_body) != m_body.size() || !out.flush()
            || out.error() != QFileDevice::NoError || !out.commit()) {
            m_result.outcome = DownloadResult::Outcome::WriteError;
            m_result.error = out.errorString();
        } else {
            m_result.error.clear();
        }
    }
    m_body.clear();
    finish();
}

DownloadResult::Outcome NetworkTransfer::outcomeOfReply()
{
    using Outcome = DownloadResult::Outcome;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    m_result.httpStatus = status.isValid() ? status.toInt() : 0;
    const QNetworkReply::NetworkError error = m_reply->error();
    m_result.error = m_reply->errorString();
    const bool chunked = m_reply->rawHeader("Transfer-Encoding").toLower().contains("chunked");

    if (m_tooLarge)
        return Outcome::TooLarge;
    if (m_handshakeStalled) {
        m_result.error = u"le serveur https ne répond pas à la négociation TLS"_s;
        return Outcome::SecureConnectionFailed;
    }
    if (m_timedOut || error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError)
        return Outcome::Timeout;
    // The status of a redirect that led to a failed connection (no TLS, refused) says nothing of the failure.
    if (error != QNetworkReply::NoError && error < QNetworkReply::ProxyConnectionRefusedError)
        return networkOutcome(error);
    if (m_result.httpStatus != 0 && (m_result.httpStatus < 200 || m_result.httpStatus > 299))
        return Outcome::HttpError;
    if (error != QNetworkReply::NoError)
        return networkOutcome(error);
    // Qt reads a chunk size that is no number (or too big, or negative) as the closing chunk and reports a
    // success with what came before. Nothing tells that apart from a real closing chunk; an empty body, which
    // is what a server that starts with such a size gives, is at least no report.
    if (chunked && m_body.isEmpty()) {
        m_result.error = u"réponse en morceaux vide ou mal formée"_s;
        return Outcome::NetworkError;
    }
    return Outcome::Ok;
}

void NetworkTransfer::finish()
{
    if (std::exchange(m_done, true))
        return;
    if (!m_result.ok()) {
        m_result.error = withoutUserInfo(m_result.error, QUrl(m_url));
        qCInfo(lcNetwork) << "download failed:" << SourceAddress::forDisplay(m_url) << m_result.httpStatus
                          << m_result.error;
    }
    Q_EMIT finished(m_result);
}

NetworkDownloader::NetworkDownloader(std::chrono::milliseconds timeout, qint64 maxBytes,
    std::chrono::milliseconds handshakeTimeout, QByteArray userAgent)
    : m_timeout(timeout)
    , m_maxBytes(maxBytes)
    , m_handshakeTimeout(handshakeTimeout)
    , m_userAgent(std::move(userAgent))
{
    m_manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

void NetworkDownloader::removeCachedCopy(const QString& url)
{
    m_bypassCache.insert(url);
}

DownloadResult NetworkDownloader::download(const QString& url, const QString& file)
{
    const std::unique_ptr<NetworkTransfer> transfer = begin(url, file);
    if (!transfer->isDone()) {
        QEventLoop loop;
        QObject::connect(transfer.get(), &PendingDownload::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        // The loop also ends when the program is told to quit.
        if (!transfer->isDone())
            transfer->interrupt();
    }
    return transfer->result();
}

std::unique_ptr<PendingDownload> NetworkDownloader::start(const QString& url, const QString& file)
{
    return begin(url, file);
}

std::unique_ptr<NetworkTransfer> NetworkDownloader::begin(const QString& url, const QString& file)
{
    auto transfer = std::make_unique<NetworkTransfer>(
        url, file, NetworkTransfer::Limits { m_timeout, m_maxBytes, m_handshakeTimeout });
    const QUrl address(url, QUrl::StrictMode);
    const bool sample = m_servesSamples && isSampleAddress(url);
    if (!address.isValid() || (!sample && !SourceAddress::isValidAddress(url))) {
        transfer->refuse(DownloadResult::Outcome::InvalidAddress, u"adresse invalide"_s);
        return transfer;
    }
    if (isOtherThanPlainFile(address)) {
        transfer->refuse(DownloadResult::Outcome::NotFound, u"ce n'est pas un fichier ordinaire"_s);
        return transfer;
    }

    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    // Qt's own check stops a compressed answer that inflates too much with a bare "decompression failed",
    // which would tell the user the server was unreachable; the size cap, counted on what the body
    // inflates to, stops it first and says it was too large.
    request.setDecompressedSafetyCheckThreshold(-1);
    if (!m_userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    if (m_bypassCache.remove(url)) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }
    transfer->run(m_manager.get(request));
    return transfer;
}
