#include "reports/MetarGroups.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace Metar {
namespace {

constexpr double kHpaPerInchHg = 33.8639;

bool endsObservation(const QString& group)
{
    return group == u"RMK" || group == u"NOSIG" || group == u"BECMG" || group == u"TEMPO" || group.contains(u':');
}

} // namespace

QStringList observationGroups(const QString& rawMetar)
{
    static const QRegularExpression kBlanks(uR"(\s+)"_s);
    static const QRegularExpression kDayTime(uR"(^\d{6}Z$)"_s);
    const QStringList all = rawMetar.split(kBlanks, Qt::SkipEmptyParts);
    const qsizetype dayTime = all.indexOf(kDayTime);
    QStringList groups;
    for (qsizetype i = dayTime + 1; i < all.size() && !endsObservation(all.at(i)); ++i)
        groups.append(all.at(i));
    return groups;
}

std::optional<int> temperatureC(const QString& rawMetar)
{
    static const QRegularExpression kTemperature(uR"(^(M?)(\d\d)/(M?\d\d|//)?$)"_s);
    for (const QString& group : observationGroups(rawMetar)) {
        const QRegularExpressionMatch m = kTemperature.match(group);
        if (m.hasMatch())
            return (m.capturedView(1).isEmpty() ? 1 : -1) * m.capturedView(2).toInt();
    }
    return std::nullopt;
}

std::optional<double> qnhHpa(const QString& rawMetar)
{
    static const QRegularExpression kQnh(uR"(^([QA])(\d{4})$)"_s);
    for (const QString& group : observationGroups(rawMetar)) {
        const QRegularExpressionMatch m = kQnh.match(group);
        if (!m.hasMatch())
            continue;
        const int value = m.capturedView(2).toInt();
        return m.capturedView(1) == u"Q" ? value : value / 100.0 * kHpaPerInchHg;
    }
    return std::nullopt;
}

} // namespace Metar
