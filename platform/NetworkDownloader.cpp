#include "platform/NetworkDownloader.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

namespace {

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
    default:
        return Outcome::NetworkError;
    }
}

} // namespace

NetworkDownloader::NetworkDownloader(std::chrono::milliseconds timeout, qint64 maxBytes, QByteArray userAgent)
    : m_timeout(timeout)
    , m_maxBytes(maxBytes)
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
    DownloadResult result;
    const QUrl address(url, QUrl::StrictMode);
    if (!address.isValid() || address.scheme().isEmpty()) {
        result.error = u"adresse invalide"_qs;
        return result;
    }

    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
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
    QNetworkReply* reply = m_manager.get(request);
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
    QObject::connect(reply, &QNetworkReply::readyRead, &context, [&] {
        body += reply->readAll();
        if (body.size() > m_maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(m_timeout);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();
    // The loop also ends when the program is told to quit: a transfer cut short is no report.
    if (!reply->isFinished()) {
        reply->disconnect();
        reply->abort();
        reply->deleteLater();
        result.outcome = DownloadResult::Outcome::NetworkError;
        result.error = u"transfert interrompu"_qs;
        return result;
    }
    if (!tooLarge && !timedOut) {
        body += reply->readAll();
        tooLarge = body.size() > m_maxBytes;
    }

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.httpStatus = status.isValid() ? status.toInt() : 0;
    const QNetworkReply::NetworkError error = reply->error();
    result.error = reply->errorString();
    reply->disconnect();
    reply->deleteLater();

    if (tooLarge) {
        result.outcome = DownloadResult::Outcome::TooLarge;
        return result;
    }
    if (timedOut || error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
        result.outcome = DownloadResult::Outcome::Timeout;
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

    // Written beside the target and renamed into place, so a broken write never leaves half a report.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(body) != body.size() || !out.commit()) {
        result.outcome = DownloadResult::Outcome::WriteError;
        result.error = out.errorString();
        return result;
    }
    result.outcome = DownloadResult::Outcome::Ok;
    result.error.clear();
    return result;
}
