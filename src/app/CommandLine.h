#pragma once

#include "reports/ReportType.h"
#include "reports/Sources.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

/// What the command line asks for. The three addresses come from the options, else from the
/// environment (VENTORIX_WEATHER_BASE, VENTORIX_NOTAM_BASE, VENTORIX_SITE); the services then look in the
/// settings file for those that neither gives (SourceAddress::InForce).
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
    std::optional<StationQuery> stationQuery;
    QString error; ///< non-empty: a usage error, in French

    /// @p arguments without the program name.
    static CommandLine parse(const QStringList& arguments, const QStringList& environment);

    static QString usage(const QString& program);
};
