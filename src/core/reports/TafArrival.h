#pragma once

#include "reports/DecodedReport.h"

#include <QDateTime>
#include <QList>
#include <QString>

/// What a TAF says around an arrival time: the groups of the forecast in force in a window of some
/// minutes either side of it.
namespace TafArrival {

/// One group of the forecast with its period.
struct Group
{
    QString kind; ///< "base" (the opening conditions, or those from an FM group), "BECMG", "TEMPO", "PROB30",
                  ///< "PROB40 TEMPO"…
    QDateTime fromUtc;
    QDateTime toUtc;
    QString text; ///< the group's conditions in French, on one line
    bool warning = false; ///< TEMPO and PROB: conditions that may come and go, which a pilot must see

    friend bool operator==(const Group&, const Group&) = default;
};

enum class Status {
    InForce, ///< the window meets the validity: the groups are listed
    NoForecast, ///< no TAF was fetched, or it carries no validity
    OutsideValidity, ///< the window lies wholly before or after the validity
    NoGroups, ///< the TAF holds no conditions at all (NIL, cancelled, or nothing after its validity)
};

struct Forecast
{
    QDateTime arrivalUtc;
    int marginMinutes = 60;
    Status status = Status::NoForecast;
    bool partlyOutside = false; ///< the window runs past one end of the validity
    QDateTime validFromUtc;
    QDateTime validToUtc;
    /// In the forecast's order: base conditions, every BECMG that has begun by the end of the window and is not
    /// replaced by an FM group before its start, and every TEMPO and PROB group that overlaps the window.
    QList<Group> groups;
};

constexpr int kDefaultMarginMinutes = 60;

/// The groups of @p taf (a decoded TAF, fetched or not) in force from @p marginMinutes before @p arrivalUtc to
/// as many after it. Group periods are read against the validity, across a month's or a year's end.
Forecast forecastAt(const DecodedReport& taf, const QDateTime& arrivalUtc, int marginMinutes = kDefaultMarginMinutes);

/// "À l'arrivée (14:30 UTC ± 1 h) :".
QString heading(const Forecast& forecast);

/// Why no group is listed ("hors de la validité du TAF (du 15/12:00 au 16/18:00 UTC)"), or that the window runs
/// past the validity; empty when the groups say everything.
QString note(const Forecast& forecast);

/// "TEMPO du 15/14:00 au 15/18:00 UTC : …", "Conditions de base du …" for a base group.
QString groupLine(const Group& group);

} // namespace TafArrival
