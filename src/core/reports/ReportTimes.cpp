#include "reports/ReportTimes.h"

#include <QRegularExpression>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace ReportTimes {
namespace {

constexpr qint64 kMinute = 60;
constexpr qint64 kHour = 60 * kMinute;
constexpr qint64 kDay = 24 * kHour;
constexpr qint64 kLongestValidity = 4 * kDay;

// The two largest units only: nobody reads "2 j 3 h 12 min" when deciding whether to trust a report.
QString duration(qint64 seconds)
{
    const qint64 days = seconds / kDay;
    const qint64 hours = seconds % kDay / kHour;
    const qint64 minutes = seconds % kHour / kMinute;
    const auto part = [](qint64 n, QStringView unit) { return QString::number(n) + u' ' + unit.toString(); };
    if (days > 0)
        return hours > 0 ? part(days, u"j") + u' ' + part(hours, u"h") : part(days, u"j");
    if (hours > 0)
        return minutes > 0 ? part(hours, u"h") + u' ' + part(minutes, u"min") : part(hours, u"h");
    return part(minutes, u"min");
}

QString dayAndClock(const QDateTime& time)
{
    return time.toString(u"dd/MM HH:mm");
}

// The local reading of @p utc, with its day where that day is not the UTC one's (or always, when asked).
QString localReading(const QDateTime& utc, const QTimeZone& zone, bool withDay)
{
    const QDateTime local = utc.toTimeZone(zone);
    return withDay || local.date() != utc.date() ? dayAndClock(local) : local.toString(u"HH:mm");
}

std::optional<QDateTime> onDay(int year, int month, int day, int hour, int minute)
{
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return QDateTime(date, QTime(0, 0), Qt::UTC).addSecs(hour * kHour + minute * kMinute);
}

} // namespace

QString ageText(const QDateTime& observedUtc, const QDateTime& nowUtc)
{
    if (!observedUtc.isValid() || !nowUtc.isValid())
        return u"âge inconnu"_s;
    const qint64 seconds = observedUtc.secsTo(nowUtc);
    if (std::abs(seconds) < kMinute)
        return u"il y a moins d'une minute"_s;
    if (seconds < 0)
        return duration(-seconds) + u" dans le futur (horloge de l'ordinateur à vérifier)"_s;
    return u"il y a "_s + duration(seconds);
}

AgeClass ageClass(const QDateTime& observedUtc, const QDateTime& nowUtc, int orangeAfterMin, int redAfterMin)
{
    if (!observedUtc.isValid() || !nowUtc.isValid())
        return AgeClass::Red;
    const qint64 seconds = observedUtc.secsTo(nowUtc);
    if (seconds > redAfterMin * kMinute)
        return AgeClass::Red;
    if (seconds > orangeAfterMin * kMinute)
        return AgeClass::Orange;
    return AgeClass::Normal;
}

QString metarTimeLine(const QDateTime& observedUtc, const QDateTime& nowUtc, const QTimeZone& localZone)
{
    if (!observedUtc.isValid())
        return u"Observé à une heure inconnue"_s;
    const QDateTime utc = observedUtc.toUTC();
    const bool withDay = !nowUtc.isValid() || std::abs(utc.secsTo(nowUtc)) >= kDay;
    const QString age = nowUtc.isValid() ? ageText(utc, nowUtc) : u"(âge inconnu)"_s;
    return u"Observé "_s + age + u" — "_s + (withDay ? dayAndClock(utc) : utc.toString(u"HH:mm")) + u" UTC ("_s
        + localReading(utc, localZone, withDay) + u" heure locale)"_s;
}

QString tafTimeLine(const QDateTime& issuedUtc, const QDateTime& validFromUtc, const QDateTime& validToUtc,
    const QDateTime& nowUtc, const QTimeZone& localZone)
{
    QString line
        = u"Émis "_s + (issuedUtc.isValid() && nowUtc.isValid() ? ageText(issuedUtc, nowUtc) : u"(âge inconnu)"_s);
    if (validFromUtc.isValid() && validToUtc.isValid()) {
        const QDateTime from = validFromUtc.toUTC();
        const QDateTime to = validToUtc.toUTC();
        line += u" — valide du "_s + dayAndClock(from) + u" au "_s + dayAndClock(to) + u" UTC ("_s
            + localReading(from, localZone, false) + u" au "_s + localReading(to, localZone, false)
            + u" heure locale)"_s;
    }
    return line;
}

std::optional<QDateTime> dayTimeNear(int day, int hour, int minute, const QDateTime& nowUtc)
{
    if (!nowUtc.isValid() || day < 1 || day > 31 || hour < 0 || hour > 24 || minute < 0 || minute > 59
        || (hour == 24 && minute > 0))
        return std::nullopt;
    const QDate today = nowUtc.toUTC().date();
    std::optional<QDateTime> best;
    for (const int shift : { -1, 0, 1 }) {
        const QDate month = today.addMonths(shift);
        const std::optional<QDateTime> candidate = onDay(month.year(), month.month(), day, hour, minute);
        if (candidate && (!best || std::abs(candidate->secsTo(nowUtc)) < std::abs(best->secsTo(nowUtc))))
            best = candidate;
    }
    return best;
}

std::optional<QDateTime> observedAtOf(const QString& decodedText)
{
    static const QRegularExpression kDateLine(uR"((\d{4})\.(\d\d)\.(\d\d) (\d\d)(\d\d) UTC)"_s);
    const QRegularExpressionMatch m = kDateLine.match(decodedText);
    if (!m.hasMatch() || m.capturedView(4).toInt() > 23 || m.capturedView(5).toInt() > 59)
        return std::nullopt;
    return onDay(m.capturedView(1).toInt(), m.capturedView(2).toInt(), m.capturedView(3).toInt(),
        m.capturedView(4).toInt(), m.capturedView(5).toInt());
}

std::optional<QDateTime> timeOfGroup(QStringView group, const QDateTime& nowUtc)
{
    static const QRegularExpression kGroup(uR"(^(\d\d)(\d\d)(\d\d)Z?$)"_s);
    const QRegularExpressionMatch m = kGroup.match(group);
    if (!m.hasMatch())
        return std::nullopt;
    return dayTimeNear(m.capturedView(1).toInt(), m.capturedView(2).toInt(), m.capturedView(3).toInt(), nowUtc);
}

std::optional<std::pair<QDateTime, QDateTime>> validityOf(QStringView group, const QDateTime& issuedUtc)
{
    static const QRegularExpression kGroup(uR"(^(\d\d)(\d\d)/(\d\d)(\d\d)$)"_s);
    const QRegularExpressionMatch m = kGroup.match(group);
    if (!m.hasMatch())
        return std::nullopt;
    const std::optional<QDateTime> from
        = dayTimeNear(m.capturedView(1).toInt(), m.capturedView(2).toInt(), 0, issuedUtc);
    if (!from)
        return std::nullopt;
    const int endDay = m.capturedView(3).toInt();
    const int endHour = m.capturedView(4).toInt();
    // A forecast runs for a day or two: the end is the first such day and hour after the start, if it comes
    // within kLongestValidity.
    for (int shift = 0; shift <= 1; ++shift) {
        const QDate month = from->date().addMonths(shift);
        const std::optional<QDateTime> to
            = endHour <= 24 ? onDay(month.year(), month.month(), endDay, endHour, 0) : std::nullopt;
        if (to && *to > *from)
            return *to <= from->addSecs(kLongestValidity) ? std::optional(std::pair { *from, *to }) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace ReportTimes
