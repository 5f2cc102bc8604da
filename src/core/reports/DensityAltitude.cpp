#include "reports/DensityAltitude.h"

#include "reports/MetarGroups.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace Density {
namespace {

constexpr double kStandardHpa = 1013.25;
constexpr double kStandardSeaLevelC = 15.0;

QString feet(int value)
{
    // Tens of feet are already more than the rule of thumb can tell.
    const int rounded = static_cast<int>(std::lround(value / 10.0)) * 10;
    return QLocale(QLocale::French, QLocale::France).toString(rounded) + u" ft"_s;
}

} // namespace

DensityAltitude densityAltitude(int elevationFt, double temperatureC, double qnhHpa, int showFromFt)
{
    if (!(qnhHpa > 0))
        return DensityAltitude { elevationFt, elevationFt, false };
    const double pressureAltitude = elevationFt + 145366.45 * (1.0 - std::pow(qnhHpa / kStandardHpa, 0.190284));
    const double standardC = kStandardSeaLevelC - 2.0 * pressureAltitude / 1000.0;
    const double densityAltitude = pressureAltitude + 120.0 * (temperatureC - standardC);
    const int density = static_cast<int>(std::lround(densityAltitude));
    return DensityAltitude { static_cast<int>(std::lround(pressureAltitude)), density,
        density - elevationFt >= showFromFt };
}

std::optional<DensityAltitude> densityAltitudeOf(const QString& rawMetar, int elevationFt, int showFromFt)
{
    const std::optional<int> temperature = Metar::temperatureC(rawMetar);
    const std::optional<double> qnh = Metar::qnhHpa(rawMetar);
    if (!temperature || !qnh)
        return std::nullopt;
    return densityAltitude(elevationFt, *temperature, *qnh, showFromFt);
}

QString densityLine(const DensityAltitude& density, int elevationFt)
{
    return u"Altitude-densité "_s + feet(density.densityAltitudeFt) + u" (altitude-pression "_s
        + feet(density.pressureAltitudeFt) + u", terrain "_s
        + QLocale(QLocale::French, QLocale::France).toString(elevationFt) + u" ft)"_s;
}

} // namespace Density
