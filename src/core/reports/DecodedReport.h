#pragma once

#include "reports/Failure.h"
#include "reports/NotamParser.h"
#include "reports/PilotFacts.h"
#include "reports/ReportType.h"
#include "reports/StyleSpan.h"
#include "reports/TextRun.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

/// Everything one request for a report produced, fetched or not: what the window shows, what the briefings
/// and the report mode write. Made by the functions below from the downloaded text; a widget only renders it.
struct DecodedReport
{
    QString code;
    ReportType type = ReportType::Metar;

    QString received; ///< as received: the METAR's observation line, the TAF as sent, the NOTAM block as cut
    QString title; ///< "METAR de 1930 UTC", "TAF de LFPG du 15 à 12h00 au 16 à 18h00", "Notams"
    QString text; ///< the decoded report, or the failure's wording; line breaks as CR LF
    StyleSpans spans; ///< the looks given to ranges of text, applied in order
    bool stale = false;
    QString banner; ///< the banner of the type: "METAR Périmé", "TAF Périmé", or "X" for NOTAMs
    bool bannerShown = false; ///< a stale report, or NOTAMs that could not be fetched
    quint32 background = 0xFFFFFF; ///< 0xRRGGBB behind the report

    QString source; ///< the address read; empty when nothing was
    QDateTime fetchedUtc; ///< when the download ended; invalid when it failed
    QDateTime observedUtc; ///< METAR: the observation's time
    QDateTime issuedUtc; ///< TAF: issue time
    QDateTime validFromUtc; ///< TAF: start of validity
    QDateTime validToUtc; ///< TAF: end of validity

    Failure::Reason failure; ///< Failure::Cause::None when the report was fetched

    /// NOTAM: every NOTAM of the block in the order of the text, the expired ones last; empty otherwise.
    QList<Notam::Entry> notams;
    /// NOTAM: where the expired NOTAMs begin in text (the blank line over their heading), which the window
    /// keeps hidden until asked; -1 when none expired.
    qsizetype expiredAt = -1;
    /// Read from the sample reports built into the program: whatever shows or writes it says so.
    bool demo = false;
    PilotFacts pilot; ///< age, conditions, sun and altitudes, at the station and the download's time

    /// A METAR or TAF file with no text in it: the window then shows neither title nor report.
    bool empty = false;

    bool fetched() const { return failure.cause == Failure::Cause::None; }
};

namespace Reports {

/// The report area's face size, in points, that runs without a size of their own take.
constexpr qreal kReportPoints = 8.5;
constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kStalePink = 0xFFC0C0;
/// What leads everything a demonstration shows or writes.
inline const QString kDemoStrip = QStringLiteral("DÉMONSTRATION");

/// The METAR of @p code from the weather service's decoded file (@p contents as downloaded), dated against
/// @p today's local date for the stale mark and resolved against @p fetchedUtc for its full time; its pilot
/// facts are those at the station's own place (Stations::placeOf), coloured by @p limits.
DecodedReport decodeMetar(const QString& code, const QByteArray& contents, const QDate& today,
    const QDateTime& fetchedUtc, const PilotLimits& limits = {});

/// The TAF of @p code from the service's raw file, cut, dated and decoded, with its pilot facts.
DecodedReport decodeTaf(
    const QString& code, const QByteArray& contents, const QDate& today, const QDateTime& fetchedUtc);

/// The NOTAM block of @p code cut out of the provider's page. When it holds ICAO NOTAMs, the text lists
/// them in force first, then upcoming, then permanent, each under its status line (dated at @p fetchedUtc
/// and marked "autour du terrain" when its area covers @p aerodrome), the expired ones last under their
/// heading; a block of other items is shown as cut.
DecodedReport decodeNotams(const QString& code, const QByteArray& page, const QDateTime& fetchedUtc,
    std::optional<Notam::GeoPoint> aerodrome = std::nullopt);

/// Why @p contents, downloaded whole as far as the transfer could tell, is no report of @p type:
/// Failure::Cause::None when it is one. A METAR file ends with its "cycle:" line, a TAF file with a line
/// break after its last group and the NOTAM page with the "</pre>" that closes its block; an answer without
/// that end was cut short. A web page where a text file is expected, or nothing at all, is no report either.
Failure::Cause checkReply(ReportType type, const QByteArray& contents);

/// A request that failed: the failure's French wording (naming @p host where it helps) in place of the report.
DecodedReport failedReport(const QString& code, ReportType type, const Failure::Reason& reason, const QString& host);

/// @p text as the report area holds it: every line break (LF, CR, CR LF, paragraph or line separator) as
/// CR LF, and no-break spaces as spaces. Spans count characters of this text.
QString areaText(const QString& text);

/// Document position of @p offset in areaText()'s text, where each CR LF is one character.
int documentPosition(const QString& areaText, qsizetype offset);

/// The report's text cut into runs of one look each, as the report area shows it with its spans applied
/// over the @p defaultPoints face: what the report mode lists and the briefings draw.
QList<TextRun> reportRuns(const DecodedReport& report, qreal defaultPoints = kReportPoints);

} // namespace Reports
