#include "reports/Expiry.h"

#include "reports/TextOps.h"

#include <cstdlib>

namespace Expiry {

int dayOfGroup(const QString& group)
{
    return TextOps::leadingNumber(QStringView(group).left(2));
}

bool isOutOfDate(int reportDay, const QDate& today)
{
    const int todayDay = today.day();
    const int yesterdayDay = today.addDays(-1).day();
    return std::abs(todayDay - reportDay) > 1 && std::abs(yesterdayDay - reportDay) > 1;
}

bool isMoreThanTwoDaysOld(const QDateTime& reportUtc, const QDate& today)
{
    return reportUtc.isValid() && reportUtc.toUTC().date().daysTo(today) > 2;
}

std::optional<QString> metarObservationGroup(const QString& reportText)
{
    // The blank looked for is the one after "ob: CODE"; without the marker the search starts as if it
    // opened the text one character early.
    const qsizetype marker = reportText.indexOf(u"ob:");
    const qsizetype blank = reportText.indexOf(u' ', marker + 5);
    if (blank < 0)
        return std::nullopt;
    const qsizetype zulu = reportText.indexOf(u'Z', blank);
    if (zulu < 0)
        return std::nullopt;
    return reportText.mid(blank, zulu - blank).trimmed();
}

bool isMetarOutOfDate(const QString& reportText, const QDate& today)
{
    const std::optional<QString> group = metarObservationGroup(reportText);
    if (!group)
        return false;
    return isOutOfDate(dayOfGroup(*group), today);
}

} // namespace Expiry
