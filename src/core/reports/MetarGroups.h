#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace Metar {

/// The groups of a raw METAR that describe the observation: after the day-time group ("061930Z") when
/// there is one, up to the remarks, the trend (NOSIG, BECMG, TEMPO) or a heading such as "cycle:".
QStringList observationGroups(const QString& rawMetar);

/// The air temperature of the "TT/DD" group in whole °C ("M02/M05" gives -2); nothing when it is missing.
std::optional<int> temperatureC(const QString& rawMetar);

/// QNH in hPa from "Q1013", or from "A2992" (inches of mercury, converted); nothing when it is missing.
std::optional<double> qnhHpa(const QString& rawMetar);

} // namespace Metar
