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
    return url.startsWith(SourceAddress::DemoBase() + u'/');
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
    DownloadResult result = transfer(url, file);
    if (!result.ok()) {
        result.error = withoutUserInfo(result.error, QUrl(url));
        qCInfo(lcNetwork) << "download failed:" << SourceAddress::ForDisplay(url) << result.httpStatus << result.error;
    }
    return result;
}

DownloadResult NetworkDownloader::transfer(const QString& url, const QString& file)
{
    DownloadResult result;
    const QUrl address(url, QUrl::StrictMode);
    const bool sample = m_servesSamples && isSampleAddress(url);
    if (!address.isValid() || (!sample && !SourceAddress::IsValidAddress(url))) {
        result.outcome = DownloadResult::Outcome::InvalidAddress;
        result.error = u"adresse invalide"_qs;
        return result;
    }
    if (isOtherThanPlainFile(address)) {
        result.outcome = DownloadResult::Outcome::NotFound;
        result.error = u"ce n'est pas un fichier ordinaire"_qs;
        return result;
    }

    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    // Qt's own check stops a compressed answer that inflates too much with a bare "decompression failed",
    // which would tell the user the server was unreachable; the size cap below, counted on what the body
    // inflates to, stops it first and says it was too large.
    request.setDecompressedSafetyCheckThreshold(-1);
    if (!m_userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    if (m_bypassCache.remove(url)) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }

    QByteArray body;
    bool tooLarge = false;
    bool timedOut = false;
    bool handshakeStalled = false;
    QUrl leg = address; // where the request stands after the redirects so far
    QNetworkReply* reply = m_manager.get(request);
    // Without a bound Qt reads the socket as fast as the server writes and queues every piece for this
    // thread, which may be busy: an endless body then grows in memory long before the size check below
    // sees it. Bounded, Qt stops reading until what it holds has been taken.
    reply->setReadBufferSize(kReadBufferBytes);
    // Signals queued for the handlers below die with this object, so none can reach them once we return.
    QObject context;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    // The transfer timeout above only notices silence; this one also ends a server that trickles forever.
    QObject::connect(&deadline, &QTimer::timeout, &context, [&] {
        timedOut = true;
        reply->abort();
    });
    // Qt 6.4 drops the transfer timeout on a redirect: an https server that never answers the handshake
    // would hold the program until the deadline.
    QTimer handshake;
    handshake.setSingleShot(true);
    QObject::connect(&handshake, &QTimer::timeout, &context, [&] {
        handshakeStalled = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::redirected, &context, [&](const QUrl& to) { leg = leg.resolved(to); });
    QObject::connect(reply, &QNetworkReply::socketStartedConnecting, &context, [&] {
        if (leg.scheme() == u"https")
            handshake.start(m_handshakeTimeout);
    });
    QObject::connect(reply, &QNetworkReply::encrypted, &handshake, &QTimer::stop);
    const auto stopAtLimit = [&](qint64 received) {
        if (received > m_maxBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    };
    // Counted as Qt reports it receives, not only as it is read here.
    QObject::connect(
        reply, &QNetworkReply::downloadProgress, &context, [&](qint64 received) { stopAtLimit(received); });
    QObject::connect(reply, &QNetworkReply::readyRead, &context, [&] {
        body += reply->readAll();
        stopAtLimit(body.size());
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(m_timeout);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();
    handshake.stop();
    // The loop also ends when the program is told to quit: a transfer cut short is no report.
    if (!reply->isFinished()) {
        reply->disconnect();
        reply->abort();
        reply->deleteLater();
        result.outcome = DownloadResult::Outcome::NetworkError;
        result.error = u"transfert interrompu"_qs;
        return result;
    }
    if (!tooLarge && !timedOut && !handshakeStalled) {
        body += reply->readAll();
        tooLarge = body.size() > m_maxBytes;
    }

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.httpStatus = status.isValid() ? status.toInt() : 0;
    const QNetworkReply::NetworkError error = reply->error();
    result.error = reply->errorString();
    const bool chunked = reply->rawHeader("Transfer-Encoding").toLower().contains("chunked");
    reply->disconnect();
    reply->deleteLater();

    if (tooLarge) {
        result.outcome = DownloadResult::Outcome::TooLarge;
        return result;
    }
    if (handshakeStalled) {
        result.outcome = DownloadResult::Outcome::SecureConnectionFailed;
        result.error = u"le serveur https ne répond pas à la négociation TLS"_qs;
        return result;
    }
    if (timedOut || error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
        result.outcome = DownloadResult::Outcome::Timeout;
        return result;
    }
    // The status of a redirect that led to a failed connection (no TLS, refused) says nothing of the failure.
    if (error != QNetworkReply::NoError && error < QNetworkReply::ProxyConnectionRefusedError) {
        result.outcome = networkOutcome(error);
        return result;
    }
    if (result.httpStatus != 0 && (result.httpStatus < 200 || result.httpStatus > 299)) {
        result.outcome = DownloadResult::Outcome::HttpError;
        return result;
    }
    if (error != QNetworkReply::NoError) {
        result.outcome = networkOutcome(error);
        return result;
    }
    // Qt reads a chunk size that is no number (or too big, or negative) as the closing chunk and reports a
    // success with what came before. Nothing tells that apart from a real closing chunk; an empty body, which
    // is what a server that starts with such a size gives, is at least no report.
    if (chunked && body.isEmpty()) {
        result.outcome = DownloadResult::Outcome::NetworkError;
        result.error = u"réponse en morceaux vide ou mal formée"_qs;
        return result;
    }

    // Written beside the target and renamed into place, so a broken write never leaves half a report.
    // Qt 6.4's commit() does not check the flush of what write() buffered (bodies under 16 KiB): flushed
    // here first, a full disk fails the download instead of leaving an empty report.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(body) != body.size() || !out.flush()
        || out.error() != QFileDevice::NoError || !out.commit()) {
        result.outcome = DownloadResult::Outcome::WriteError;
        result.error = out.errorString();
        return result;
    }
    result.outcome = DownloadResult::Outcome::Ok;
    result.error.clear();
    return result;
}
