#pragma once

#include <QString>

#include <array>
#include <optional>

/// The three reports a station has, in the order of the window's type buttons and of the stored "Info" value.
enum class ReportType { Metar, Taf, Notam };

inline constexpr std::array<ReportType, 3> kReportTypes { ReportType::Metar, ReportType::Taf, ReportType::Notam };

/// "METAR", "TAF" or "NOTAM": the name the window, the briefings and the report mode show.
QString reportTypeName(ReportType type);

/// The type named @p key on the command line ("metar", "taf", "notam"), if any.
std::optional<ReportType> reportTypeFromKey(const QString& key);
