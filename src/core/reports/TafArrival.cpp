#include "reports/TafArrival.h"

#include "reports/ReportTimes.h"
#include "reports/TafDecoder.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace TafArrival {
namespace {

// A group read from the forecast, before it is compared with the window.
struct Piece
{
    QString kind;
    QDateTime fromUtc;
    QDateTime toUtc;
    QStringList tokens;
    bool base = false;
};

bool isBase(const Piece& piece)
{
    return piece.base;
}

QString french(const QStringList& tokens, const QString& code)
{
    const QString body = tokens.join(u' ');
    QString text = Taf::decode(body, tokens, code);
    // Temperature and probability phrases open lines of their own in the report; here a group is one line.
    text.replace(u"\r\n"_s, u" "_s);
    return text.simplified();
}

bool isHeaderToken(const QString& token, const QString& code)
{
    static const QRegularExpression kIssue(uR"(^\d{6}Z$)"_s);
    return token == u"TAF" || token == u"AMD" || token == u"COR" || token == u"RTD" || token == code
        || kIssue.match(token).hasMatch();
}

// TX18/1514Z and TNM02/1606Z: the day's extremes, not conditions a pilot lands in.
bool isTemperatureToken(const QString& token)
{
    static const QRegularExpression kTemperature(uR"(^T[XN]M?\d\d/\d{4}Z$)"_s);
    return kTemperature.match(token).hasMatch();
}

// The forecast's groups, in its order. The base pieces (the opening conditions and each FM group's) run to the
// next FM group or the end of the validity; a change group without a period lasts as long as the base piece it
// follows.
QList<Piece> readPieces(const DecodedReport& taf, bool& cancelled)
{
    static const QRegularExpression kPeriod(uR"(^\d{4}/\d{4}$)"_s);
    static const QRegularExpression kFrom(uR"(^FM(\d\d)(\d\d)(\d\d)$)"_s);
    static const QRegularExpression kProbability(uR"(^PROB\d\d$)"_s);

    QStringList tokens = taf.received.simplified().split(u' ', Qt::SkipEmptyParts);
    for (QString& token : tokens) {
        while (token.endsWith(u'='))
            token.chop(1);
    }
    tokens.removeAll(QString());
    qsizetype i = 0;
    while (i < tokens.size() && isHeaderToken(tokens.at(i), taf.code))
        ++i;
    // The validity group; the older "151218" form is the validity too when it comes here.
    if (i < tokens.size() && (kPeriod.match(tokens.at(i)).hasMatch() || tokens.at(i).size() == 6))
        ++i;

    QList<Piece> pieces { Piece { u"base"_s, taf.validFromUtc, taf.validToUtc, {}, true } };
    cancelled = false;
    for (; i < tokens.size(); ++i) {
        const QString& token = tokens.at(i);
        if (token == u"NIL" || token == u"CNL") {
            cancelled = true;
            continue;
        }
        if (isTemperatureToken(token))
            continue;
        if (const QRegularExpressionMatch from = kFrom.match(token); from.hasMatch()) {
            const std::optional<QDateTime> start = ReportTimes::dayTimeNear(from.capturedView(1).toInt(),
                from.capturedView(2).toInt(), from.capturedView(3).toInt(), taf.validFromUtc);
            pieces.append(Piece { u"base"_s, start.value_or(QDateTime()), taf.validToUtc, {}, true });
            continue;
        }
        QString kind;
        if (token == u"BECMG" || token == u"TEMPO") {
            kind = token;
        } else if (kProbability.match(token).hasMatch()) {
            kind = token;
            if (i + 1 < tokens.size() && tokens.at(i + 1) == u"TEMPO")
                kind += u' ' + tokens.at(++i);
        }
        if (kind.isEmpty()) {
            pieces.last().tokens.append(token);
            continue;
        }
        Piece change { kind, {}, {}, {}, false };
        if (i + 1 < tokens.size() && kPeriod.match(tokens.at(i + 1)).hasMatch()) {
            if (const auto period = ReportTimes::validityOf(tokens.at(++i), taf.validFromUtc)) {
                change.fromUtc = period->first;
                change.toUtc = period->second;
            }
        }
        pieces.append(change);
    }

    // Each base piece ends where the next begins; a change without a period of its own takes its base piece's.
    const Piece* lastBase = nullptr;
    for (qsizetype p = pieces.size() - 1; p >= 0; --p) {
        if (isBase(pieces.at(p)) && lastBase && lastBase->fromUtc.isValid())
            pieces[p].toUtc = lastBase->fromUtc;
        if (isBase(pieces.at(p)))
            lastBase = &pieces.at(p);
    }
    const Piece* base = &pieces.first();
    for (Piece& piece : pieces) {
        if (isBase(piece)) {
            base = &piece;
        } else if (!piece.fromUtc.isValid()) {
            piece.fromUtc = base->fromUtc;
            piece.toUtc = base->toUtc;
        }
    }
    return pieces;
}

// "15 à 06h00", as the decoded TAF writes it: a TAF speaks in days of the month; "15/06:00" read as the 15th of June.
QString dayTime(const QDateTime& utc)
{
    return utc.toUTC().toString(u"dd 'à' HH'h'mm"_s);
}

QString margin(int minutes)
{
    const int hours = minutes / 60;
    const int rest = minutes % 60;
    if (hours == 0)
        return u"%1 min"_s.arg(rest);
    return rest == 0 ? u"%1 h"_s.arg(hours) : u"%1 h %2 min"_s.arg(hours).arg(rest);
}

} // namespace

Forecast forecastAt(const DecodedReport& taf, const QDateTime& arrivalUtc, int marginMinutes)
{
    Forecast forecast;
    forecast.arrivalUtc = arrivalUtc.toUTC();
    forecast.marginMinutes = marginMinutes;
    forecast.validFromUtc = taf.validFromUtc;
    forecast.validToUtc = taf.validToUtc;
    if (!taf.fetched() || taf.type != ReportType::Taf || !taf.validFromUtc.isValid() || !taf.validToUtc.isValid()
        || !arrivalUtc.isValid())
        return forecast;
    const QDateTime windowStart = forecast.arrivalUtc.addSecs(-60LL * marginMinutes);
    const QDateTime windowEnd = forecast.arrivalUtc.addSecs(60LL * marginMinutes);
    if (windowEnd <= taf.validFromUtc || windowStart >= taf.validToUtc) {
        forecast.status = Status::OutsideValidity;
        return forecast;
    }
    forecast.partlyOutside = windowStart < taf.validFromUtc || windowEnd > taf.validToUtc;

    bool cancelled = false;
    const QList<Piece> pieces = readPieces(taf, cancelled);
    const bool anyConditions
        = std::any_of(pieces.cbegin(), pieces.cend(), [](const Piece& piece) { return !piece.tokens.isEmpty(); });
    if (cancelled || !anyConditions) {
        forecast.status = Status::NoGroups;
        return forecast;
    }
    forecast.status = Status::InForce;

    const auto overlaps = [&](const Piece& piece) {
        return piece.fromUtc.isValid() && piece.fromUtc < windowEnd && piece.toUtc > windowStart;
    };
    const Piece* base = &pieces.first();
    for (const Piece& piece : pieces) {
        if (isBase(piece))
            base = &piece;
        bool inForce = false;
        if (isBase(piece) || piece.kind == u"BECMG") {
            // A change that has become the conditions stays in force until the next FM group replaces them.
            inForce = piece.fromUtc.isValid() && piece.fromUtc < windowEnd && base->toUtc > windowStart;
        } else {
            inForce = overlaps(piece);
        }
        if (!inForce || piece.tokens.isEmpty())
            continue;
        forecast.groups.append(Group { piece.kind, piece.fromUtc, piece.toUtc, french(piece.tokens, taf.code),
            piece.kind.startsWith(u"TEMPO") || piece.kind.startsWith(u"PROB") });
    }
    return forecast;
}

QString heading(const Forecast& forecast)
{
    return u"À l'arrivée (%1 UTC ± %2) :"_s.arg(
        forecast.arrivalUtc.toUTC().toString(u"HH:mm"_s), margin(forecast.marginMinutes));
}

QString note(const Forecast& forecast)
{
    const QString validity = u"du %1 au %2 UTC"_s.arg(dayTime(forecast.validFromUtc), dayTime(forecast.validToUtc));
    switch (forecast.status) {
    case Status::NoForecast:
        return u"pas de TAF pour cette heure : la prévision n'a pas été obtenue ou n'est pas datée"_s;
    case Status::OutsideValidity:
        return u"hors de la validité du TAF (%1)"_s.arg(validity);
    case Status::NoGroups:
        return u"le TAF ne contient aucune prévision"_s;
    case Status::InForce:
        break;
    }
    return forecast.partlyOutside ? u"en partie hors de la validité du TAF (%1)"_s.arg(validity) : QString();
}

QString groupLine(const Group& group)
{
    const QString name = group.kind == u"base" ? u"Conditions de base"_s : group.kind;
    return u"%1 du %2 au %3 UTC : %4"_s.arg(name, dayTime(group.fromUtc), dayTime(group.toUtc), group.text);
}

} // namespace TafArrival
