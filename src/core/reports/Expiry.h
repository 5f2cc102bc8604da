#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace Expiry {

/// Day of the month named by a report's leading two-digit day group; 0 when they are not a number.
int dayOfGroup(const QString& group);

/// True when @p reportDay is more than one day away, by day-of-month number, from both today's and
/// yesterday's day of the month. Only day numbers are compared, so month ends wrap as the calendar does.
bool isOutOfDate(int reportDay, const QDate& today);

/// True when @p reportUtc, a report's full date, is more than two days before @p today. The day-of-month
/// rule cannot see a report from another month or year whose day matches; this one can. An invalid time
/// says nothing, so it counts as current.
bool isMoreThanTwoDaysOld(const QDateTime& reportUtc, const QDate& today);

/// The day-hour-minute group of a decoded METAR ("061930" for "ob: LFPG 061930Z"), or nothing when the
/// text has no blank after the code or no "Z" after that blank.
std::optional<QString> metarObservationGroup(const QString& reportText);

/// Whether a decoded METAR text is out of date on @p today. A text whose observation group cannot be
/// found counts as current: nothing shows it is old.
bool isMetarOutOfDate(const QString& reportText, const QDate& today);

} // namespace Expiry
