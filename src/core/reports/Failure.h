#pragma once

#include <QString>

/// Why a report could not be shown, as the report mode names it and as the report area says it.
namespace Failure {

enum class Cause {
    None, ///< the report was fetched
    NotFound, ///< the server answered 404, or a local source has no such file
    HttpStatus, ///< the server answered with another status that is not a success
    Timeout,
    HostNotFound,
    Refused,
    SecureConnection, ///< the TLS handshake failed
    TooLarge,
    InvalidCode, ///< the code is no station code, so it reached no server
    NoSource, ///< no source is configured for the type, so no server was asked
    Network, ///< any other failure of the transfer
    WorkFile, ///< the answer came but could not be written into the work folder
    Empty, ///< the server answered with nothing
    Incomplete, ///< the answer lacks the end every whole report of its kind has: it was cut short
    Unexpected, ///< a web page came where a text file was expected (a portal asking to log in, say)
    InvalidAddress, ///< the source's address is none a report can be fetched from, so nothing was asked
    RedirectLoop, ///< the server sent the request from address to address without end
};

struct Reason
{
    Cause cause = Cause::None;
    int httpStatus = 0; ///< the server's status, 0 when no HTTP answer came
};

/// The first line of a failed download's wording, before the line that says why.
QString connectionLine();

/// A stable, machine-readable name: "" for None, "not-found", "http-STATUS" ("http-500"), "timeout",
/// "host-not-found", "refused", "tls", "too-large", "invalid-code", "no-source", "network", "work-file", "empty",
/// "incomplete", "unexpected", "invalid-address", "redirect-loop".
QString key(const Reason& reason);

/// What the report area shows, in French, lines separated by "\n". A failed download (and a code that is
/// no station code) gives "Connexion à internet ..." then one line naming the report asked for
/// (@p reportType "METAR" of @p code) and saying why, with the server @p host where it helps; NoSource
/// names the report too and says how to configure a source.
QString reportAreaText(const Reason& reason, const QString& reportType, const QString& code, const QString& host);

} // namespace Failure
