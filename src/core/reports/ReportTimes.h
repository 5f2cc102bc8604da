#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>
#include <utility>

namespace ReportTimes {

/// How long ago @p observedUtc was at @p nowUtc: "il y a 5 min", "il y a 1 h 12 min", "il y a 2 j 3 h";
/// "il y a moins d'une minute" within a minute either way; "12 min dans le futur (horloge de l'ordinateur à
/// vérifier)" further ahead; "âge inconnu" when either time is invalid.
QString ageText(const QDateTime& observedUtc, const QDateTime& nowUtc);

/// How a report's age is shown.
enum class AgeClass { Normal, Orange, Red };

/// Normal up to @p orangeAfterMin minutes old (and for a time ahead of now), orange past it, red past
/// @p redAfterMin; red when either time is invalid, since nothing shows the report is recent.
AgeClass ageClass(
    const QDateTime& observedUtc, const QDateTime& nowUtc, int orangeAfterMin = 60, int redAfterMin = 120);

/// "Observé il y a 1 h 12 min — 07:30 UTC (08:30 heure locale)", local time in @p localZone with its summer
/// time; the days ("06/12 07:30 UTC") are written when the observation is a day or more away.
QString metarTimeLine(
    const QDateTime& observedUtc, const QDateTime& nowUtc, const QTimeZone& localZone = QTimeZone::systemTimeZone());

/// "Émis il y a 40 min — valide du 08/12 12:00 au 09/12 18:00 UTC (13:00 au 19:00 heure locale)"; a local
/// time whose day differs from the UTC one carries its day ("10/12 00:30").
QString tafTimeLine(const QDateTime& issuedUtc, const QDateTime& validFromUtc, const QDateTime& validToUtc,
    const QDateTime& nowUtc, const QTimeZone& localZone = QTimeZone::systemTimeZone());

/// The UTC time of a report's day of the month, hour and minute: of this month, the one before or the one
/// after, whichever is nearest @p nowUtc. Hour 24 is midnight ending the day. Nothing for impossible values.
std::optional<QDateTime> dayTimeNear(int day, int hour, int minute, const QDateTime& nowUtc);

/// The observation time on the date line of the weather service's decoded file ("... / 2026.12.06 1930 UTC"),
/// which unlike the report's own group names the month and year; nothing when @p decodedText has no such line.
std::optional<QDateTime> observedAtOf(const QString& decodedText);

/// dayTimeNear() of a "DDHHMMZ" group such as "061930Z" (the Z may be left out).
std::optional<QDateTime> timeOfGroup(QStringView group, const QDateTime& nowUtc);

/// Start and end of a TAF validity group "DDHH/DDHH" such as "0812/0918", the start placed nearest
/// @p issuedUtc and the end at the first such day and hour after the start.
std::optional<std::pair<QDateTime, QDateTime>> validityOf(QStringView group, const QDateTime& issuedUtc);

} // namespace ReportTimes
