#include "reports/FlightDossier.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace FlightDossier {
namespace {

QJsonValue time(const QDateTime& utc)
{
    return utc.isValid() ? QJsonValue(utc.toUTC().toString(Qt::ISODate)) : QJsonValue(QJsonValue::Null);
}

QString shownTime(const QDateTime& utc)
{
    return utc.toUTC().toString(u"dd/MM/yyyy HH:mm"_s) + u" UTC"_s;
}

QJsonValue arrivalGroups(const std::optional<TafArrival::Forecast>& forecast)
{
    if (!forecast)
        return QJsonValue::Null;
    QJsonArray groups;
    for (const TafArrival::Group& group : forecast->groups) {
        groups.append(QJsonObject { { u"kind"_s, group.kind }, { u"from"_s, time(group.fromUtc) },
            { u"to"_s, time(group.toUtc) }, { u"text"_s, group.text }, { u"warning"_s, group.warning } });
    }
    return groups;
}

QJsonValue arrivalNote(const std::optional<TafArrival::Forecast>& forecast)
{
    const QString note = forecast ? TafArrival::note(*forecast) : QString();
    return note.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(note);
}

} // namespace

QString roleName(Role role)
{
    switch (role) {
    case Role::Destination:
        return u"Destination"_s;
    case Role::Alternate:
        return u"Dégagement"_s;
    case Role::Departure:
        break;
    }
    return u"Départ"_s;
}

QString roleKey(Role role)
{
    switch (role) {
    case Role::Destination:
        return u"destination"_s;
    case Role::Alternate:
        return u"alternate"_s;
    case Role::Departure:
        break;
    }
    return u"departure"_s;
}

Plan makePlan(const QString& departure, const QString& destination, const QStringList& alternates,
    const QDateTime& departUtc, const QDateTime& arriveUtc)
{
    Plan plan { { { Role::Departure, departure.trimmed().toUpper() },
                    { Role::Destination, destination.trimmed().toUpper() } },
        departUtc, arriveUtc };
    for (const QString& alternate : alternates) {
        if (!alternate.trimmed().isEmpty())
            plan.stops.append(Stop { Role::Alternate, alternate.trimmed().toUpper() });
    }
    return plan;
}

QString planError(const Plan& plan)
{
    static const QRegularExpression kIcaoCode(uR"(^[A-Z0-9]{4}$)"_s);
    QStringList seen;
    int alternates = 0;
    for (const Stop& stop : plan.stops) {
        if (stop.code.isEmpty())
            return u"code OACI manquant pour : %1"_s.arg(roleName(stop.role).toLower());
        if (!kIcaoCode.match(stop.code).hasMatch())
            return u"code OACI invalide : « %1 » (quatre lettres ou chiffres)"_s.arg(stop.code);
        if (seen.contains(stop.code))
            return u"la station %1 est donnée deux fois"_s.arg(stop.code);
        seen.append(stop.code);
        alternates += stop.role == Role::Alternate ? 1 : 0;
    }
    if (alternates > kMostAlternates)
        return u"trois dégagements au plus"_s;
    if (!plan.departUtc.isValid() || !plan.arriveUtc.isValid())
        return u"heure de départ ou d'arrivée invalide"_s;
    if (plan.arriveUtc <= plan.departUtc) {
        return u"l'arrivée (%1) doit suivre le départ (%2)"_s.arg(shownTime(plan.arriveUtc), shownTime(plan.departUtc));
    }
    return {};
}

QString routeText(const Plan& plan)
{
    QString route;
    QStringList alternates;
    for (const Stop& stop : plan.stops) {
        if (stop.role == Role::Alternate)
            alternates.append(stop.code);
        else
            route += route.isEmpty() ? stop.code : u" → "_s + stop.code;
    }
    if (!alternates.isEmpty()) {
        route += (alternates.size() == 1 ? u", dégagement "_s : u", dégagements "_s) + alternates.join(u", "_s);
    }
    return route;
}

std::optional<TafArrival::Forecast> arrivalForecast(const Part& part, const Plan& plan)
{
    if (part.stop.role == Role::Departure)
        return std::nullopt;
    return TafArrival::forecastAt(part.taf, plan.arriveUtc);
}

bool isComplete(const Dossier& dossier)
{
    return std::all_of(dossier.parts.cbegin(), dossier.parts.cend(), [](const Part& part) {
        return part.metar.fetched() && part.taf.fetched() && (!part.notam || part.notam->fetched());
    });
}

QByteArray json(const Dossier& dossier)
{
    QJsonArray stations;
    for (const Part& part : dossier.parts) {
        const std::optional<TafArrival::Forecast> forecast = arrivalForecast(part, dossier.plan);
        stations.append(QJsonObject {
            { u"role"_s, roleKey(part.stop.role) },
            { u"code"_s, part.stop.code },
            { u"metar"_s, ReportOutput::object(part.metar, part.station) },
            { u"taf"_s, ReportOutput::object(part.taf, part.station) },
            { u"notam"_s,
                part.notam ? QJsonValue(ReportOutput::object(*part.notam, part.station))
                           : QJsonValue(QJsonValue::Null) },
            { u"tafAtArrival"_s, arrivalGroups(forecast) },
            { u"tafAtArrivalNote"_s, arrivalNote(forecast) },
        });
    }
    const QJsonObject object {
        { u"route"_s, routeText(dossier.plan) },
        { u"depart"_s, time(dossier.plan.departUtc) },
        { u"arrive"_s, time(dossier.plan.arriveUtc) },
        { u"obtained"_s, time(dossier.obtainedUtc) },
        { u"complete"_s, isComplete(dossier) },
        { u"stations"_s, stations },
    };
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace FlightDossier
