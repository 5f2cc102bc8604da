#include "reports/Expiry.h"

#include "reports/TextOps.h"

#include <cstdlib>

namespace Expiry {

int DayOfGroup(const QString& group)
{
    return TextOps::LeadingNumber(QStringView(group).left(2));
}

bool IsOutOfDate(int reportDay, const QDate& today)
{
    const int d0 = today.day();
    const int d1 = today.addDays(-1).day();
    return std::abs(d0 - reportDay) > 1 && std::abs(d1 - reportDay) > 1;
}

bool IsMoreThanTwoDaysOld(const QDateTime& reportUtc, const QDate& today)
{
    return reportUtc.isValid() && reportUtc.toUTC().date().daysTo(today) > 2;
}

std::optional<QString> MetarObservationGroup(const QString& reportText)
{
    const qsizetype p = TextOps::Find(reportText, u"ob:");
    const qsizetype s = TextOps::Find(reportText, u" ", p + 5);
    if (s == 0)
        return std::nullopt;
    const qsizetype z = TextOps::Find(reportText, u"Z", s);
    if (z == 0)
        return std::nullopt;
    return TextOps::Mid(reportText, s, z - s).trimmed();
}

bool IsMetarOutOfDate(const QString& reportText, const QDate& today)
{
    const std::optional<QString> group = MetarObservationGroup(reportText);
    if (!group)
        return false;
    return IsOutOfDate(DayOfGroup(*group), today);
}

} // namespace Expiry
