#pragma once

#include <QString>

#include <optional>

namespace Conditions {

/// The flight conditions a METAR describes, worst last; Unknown when what decides them was not read.
enum class Category { Vmc, Marginal, Imc, Unknown };

/// VMC from both VMC limits up, marginal from both marginal limits up, IMC below either.
struct Thresholds
{
    int vmcVisibilityM = 8000;
    int vmcCeilingFt = 3000;
    int marginalVisibilityM = 5000;
    int marginalCeilingFt = 1500;
};

struct FlightConditions
{
    Category category = Category::Unknown;
    std::optional<int> visibilityM; ///< prevailing visibility; 10,000 for "9999" and CAVOK
    bool visibilityOrMore = false; ///< the visibility is a floor: "9999", CAVOK, "P6SM"
    bool skyRead = false; ///< the sky was read, so a missing ceiling means there is none
    std::optional<int> ceilingFt; ///< the lowest broken or overcast layer, or the vertical visibility
};

/// Reads visibility and sky from the observation of @p rawMetar ("LFPG 081030Z 24012KT 9999 BKN030 ...";
/// metres, or statute miles such as "1 1/2SM" and "P6SM") and classes them by @p thresholds. A missing or
/// unreadable visibility or sky gives Unknown, unless what was read already makes the conditions IMC.
FlightConditions conditionsOf(const QString& rawMetar, const Thresholds& thresholds = {});

/// "VMC", "marginal", "IMC" or "inconnu".
QString categoryWord(Category category);

/// "Conditions de vol : VMC — visibilité 10 km ou plus, pas de plafond".
QString conditionsLine(const FlightConditions& conditions);

} // namespace Conditions
