#pragma once

#include "reports/ReportType.h"
#include "reports/Sources.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

/// What the command line asks for. The three addresses come from the options, else from the
/// environment (VENTORIX_WEATHER_BASE, VENTORIX_NOTAM_BASE, VENTORIX_SITE); the services then look in the
/// settings file for those that neither gives (SourceAddress::inForce).
struct CommandLine
{
    enum class Format { Json, Text, Html, Pdf };

    struct ReportRequest
    {
        ReportType type = ReportType::Metar;
        QString code;
        Format format = Format::Json;
        std::optional<QDateTime> now;
        QString output; ///< empty: standard output
    };

    /// A time given as "HH:MM" (on the day of the departure, or today for the departure itself) or in full
    /// ("2026-12-07T14:30", UTC, seconds and a final Z allowed).
    struct GivenTime
    {
        std::optional<QTime> timeOfDay;
        QDateTime moment;

        /// The time in UTC, on @p dayUtc when only the time of day was given.
        QDateTime onDay(const QDate& dayUtc) const;
        /// Nothing for a text that is neither form.
        static std::optional<GivenTime> parse(const QString& text);
    };

    struct DossierRequest
    {
        QStringList codes; ///< departure, destination, then the alternates, as given
        std::optional<GivenTime> depart; ///< none: now
        std::optional<GivenTime> arrive; ///< none: an hour after the departure
        Format format = Format::Text;
        std::optional<QDateTime> now;
        QString output; ///< empty: standard output
    };

    /// --near CODE or --search TEXT: stations listed without a window.
    struct StationQuery
    {
        enum class Kind { Near, Search };
        Kind kind = Kind::Near;
        QString text; ///< the code, in capitals, or the text searched for
        Format format = Format::Json; ///< Json or Text
    };

    GivenSources sources;
    bool help = false;
    bool version = false;
    std::optional<ReportRequest> report;
    std::optional<DossierRequest> dossier;
    std::optional<StationQuery> stationQuery;
    QString error; ///< non-empty: a usage error, in French

    /// @p arguments without the program name.
    static CommandLine parse(const QStringList& arguments, const QStringList& environment);

    static QString usage(const QString& program);
};
