#pragma once

#include "reports/Failure.h"

#include <QObject>
#include <QString>

#include <memory>

/// What became of one transfer.
struct DownloadResult
{
    enum class Outcome {
        Ok,
        HttpError, ///< the server answered with a status that is not a success
        NetworkError, ///< unreachable, reset, unknown scheme, and whatever has no outcome of its own
        Timeout,
        TooLarge,
        WriteError, ///< the work file could not be written
        HostNotFound,
        Refused,
        SecureConnectionFailed, ///< the TLS handshake failed
        NotFound, ///< a local file (file://, qrc:) that is not there or no plain file; a server's 404 is an HttpError
        InvalidAddress, ///< no address a report can be fetched from: nothing was contacted
        RedirectLoop, ///< redirected again and again
    };
    Outcome outcome = Outcome::NetworkError;
    int httpStatus = 0; ///< 0 when no HTTP answer came (or for file:// addresses)
    QString error;

    bool ok() const { return outcome == Outcome::Ok; }
    /// Why the transfer failed, as the window and the report mode tell it; Failure::Cause::None when it did not.
    Failure::Reason failure() const;
};

/// A download under way. It emits finished() once, never before the event loop has turned after it was
/// started; deleting it earlier stops the transfer, and nothing is emitted nor written.
class PendingDownload : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

Q_SIGNALS:
    void finished(const DownloadResult& result);
};

/// Download of an address into a local file, either synchronous (download(): it returns once the transfer
/// has ended, and while it runs no user input reaches the window, which still repaints) or in the background
/// (start(): several at once, the window going on as usual).
class Downloader
{
public:
    virtual ~Downloader() = default;

    /// Writes the body into @p file only when the transfer succeeded; a failed one leaves @p file untouched.
    virtual DownloadResult download(const QString& url, const QString& file) = 0;

    /// As download(), but returns at once. A downloader without a way of its own runs download() once the
    /// event loop turns.
    virtual std::unique_ptr<PendingDownload> start(const QString& url, const QString& file);

    /// Makes the next download of exactly @p url go to the server rather than to any stored copy.
    virtual void removeCachedCopy(const QString& url) = 0;
};
