#include "network/Downloader.h"

#include <QPointer>
#include <QTimer>

Failure::Reason DownloadResult::failure() const
{
    using Failure::Cause;
    switch (outcome) {
    case Outcome::Ok:
        return { Cause::None, httpStatus };
    case Outcome::HttpError:
        return { httpStatus == 404 ? Cause::NotFound : Cause::HttpStatus, httpStatus };
    case Outcome::NotFound:
        return { Cause::NotFound, httpStatus };
    case Outcome::Timeout:
        return { Cause::Timeout, httpStatus };
    case Outcome::TooLarge:
        return { Cause::TooLarge, httpStatus };
    case Outcome::WriteError:
        return { Cause::WorkFile, httpStatus };
    case Outcome::HostNotFound:
        return { Cause::HostNotFound, httpStatus };
    case Outcome::Refused:
        return { Cause::Refused, httpStatus };
    case Outcome::SecureConnectionFailed:
        return { Cause::SecureConnection, httpStatus };
    case Outcome::InvalidAddress:
        return { Cause::InvalidAddress, httpStatus };
    case Outcome::RedirectLoop:
        return { Cause::RedirectLoop, httpStatus };
    case Outcome::NetworkError:
        break;
    }
    return { Cause::Network, httpStatus };
}

std::unique_ptr<PendingDownload> Downloader::start(const QString& url, const QString& file)
{
    auto pending = std::make_unique<PendingDownload>();
    QTimer::singleShot(0, pending.get(), [this, url, file, pending = QPointer(pending.get())] {
        const DownloadResult result = download(url, file);
        if (pending)
            Q_EMIT pending->finished(result);
    });
    return pending;
}

// Compiled here rather than in the library's one file of generated code: a program that uses this
// class alone (the small report program) must not pull in, with that file, the classes that paint.
#include "moc_Downloader.cpp"
