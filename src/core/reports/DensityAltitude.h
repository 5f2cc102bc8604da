#pragma once

#include <QString>

#include <optional>

namespace Density {

struct DensityAltitude
{
    int pressureAltitudeFt = 0;
    int densityAltitudeFt = 0;
    bool worthShowing = false; ///< the density altitude stands at least the showing margin above the elevation
};

/// Pressure altitude by the standard atmosphere: elevation + 145,366.45 × (1 − (QNH / 1013.25)^0.190284) ft
/// (about 27 ft per hPa below 1013.25 near sea level); density altitude = pressure altitude + 120 ×
/// (temperature − standard temperature at that altitude, 15 − 2 per 1,000 ft) ft. Worth showing from
/// @p showFromFt above the elevation.
DensityAltitude densityAltitude(int elevationFt, double temperatureC, double qnhHpa, int showFromFt = 1000);

/// densityAltitude() with the temperature and QNH read from @p rawMetar; nothing when either is missing.
std::optional<DensityAltitude> densityAltitudeOf(const QString& rawMetar, int elevationFt, int showFromFt = 1000);

/// "Altitude-densité 9 150 ft (altitude-pression 5 440 ft, terrain 5 431 ft)", to the nearest 10 ft.
QString densityLine(const DensityAltitude& density, int elevationFt);

} // namespace Density
