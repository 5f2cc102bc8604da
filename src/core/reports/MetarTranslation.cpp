#include "reports/MetarTranslation.h"

#include "reports/TextOps.h"

#include <QRegularExpression>

#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace Metar {
namespace {

struct Replacement
{
    QStringView find;
    QStringView replaceWith;
};

// Applied top to bottom over the whole text; a row's place matters wherever its find text
// contains another row's, or its output feeds a later row.
const std::array<Replacement, 42> kMetarReplacements { {
    { u"\r", u"\r\n" }, { u"\n", u"\r\n" }, { u"Wind: from the", u"Vent: du" }, // before the bare "Wind" row
    { u"degrees", u"degrés" }, { u") at", u") de" }, { u"Visibility", u"Visibilité" },
    { u"Sky conditions", u"Etat du ciel" }, { u"Weather", u"Météo" },
    { u"greater than ", u"supérieure à " }, // the top-visibility row at the end builds on this
    { u"in the vicinity", u"dans les environs" }, { u"mostly clear", u"généralement dégagé" }, // before "clear"
    { u"mostly cloudy", u"généralement nuageux" }, { u"overcast", u"couvert" },
    { u"drizzle mist", u"bruine" }, // before "mist"
    { u"smoke", u"fumée" }, { u"less than", u"inférieure à" }, { u"clear", u"dégagé" }, { u"gusting to", u"rafales à" },
    { u"light", u"léger" }, // "léger pluie" is mended further down
    { u"snow", u"neige" }, { u"last hour", u"dernière heure" }, { u"Calm", u"calme" },
    { u"Wind", u"Vent" }, // calm or variable winds that the first wind row left
    { u"haze", u"brume" }, { u"mist", u"brouillard" }, { u"A trace", u" très peu " },
    { u"rain showers", u"Averses de pluie" }, // before "rain"
    { u"rain", u"pluie" }, { u"obscured", u"obscurci" }, { u"fog", u"brouillard" },
    { u"Cumulonimbus clouds observed", u"Cumulonimbus observés" },
    { u"Towering cumulus clouds observed", u"Cumulus congestus observés" },
    { u"towering cumulus clouds observed", u"Cumulus congestus observés" }, { u"):0", u")" },
    { u"partly cloudy", u"partiellement nuageux" }, { u"Dew Point", u"Point de rosée" },
    { u"Relative Humidity", u"Humidité relative" }, { u"Pressure (altimeter)", u"Pression QNH" },
    { u"ob:", u"\r\nMETAR complet:\r\n" }, // the only line breaks of the shown report
    { u" C)", u"°C)" }, { u"léger pluie", u"légère pluie" },
    { u"supérieure à 7 mile(s)", u"supérieure à 10 kilomètres." }, // needs the "):0" row to have run
} };

QString frenchDecimal(QStringView figure)
{
    return figure.toString().replace(u'.', u',');
}

QString grouped(qint64 value)
{
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u'\u00A0'); // a no-break space, as French groups thousands
    return digits;
}

// "3", "1/2" or "1 1/2" statute miles in metres to the nearest 100 below 5 km, else in kilometres.
QString milesAsMetric(QStringView miles)
{
    double value = 0;
    for (QStringView part : miles.split(u' ')) {
        const qsizetype slash = part.indexOf(u'/');
        const double denominator = slash < 0 ? 1 : part.mid(slash + 1).toDouble();
        if (denominator > 0)
            value += (slash < 0 ? part : part.left(slash)).toDouble() / denominator;
    }
    const double metres = value * 1609.344;
    if (metres >= 5000)
        return grouped(std::llround(metres / 1000)) + u" km"_s;
    return grouped(std::llround(metres / 100) * 100) + u" m"_s;
}

QString inchesAsMillimetres(QStringView inches)
{
    return frenchDecimal(QString::number(inches.toDouble() * 25.4, 'f', 1)) + u" mm"_s;
}

// A row written as a pattern, for English whose figures vary. In replaceWith, \1 to \9 bring a captured
// group back with a decimal comma, and \c brings the first group back through the row's unit conversion.
struct PatternRow
{
    QStringView find;
    QStringView replaceWith;
    QString (*convert)(QStringView) = nullptr;
};

// Applied in order after the literal table, which has left these English words and imperial-first figures.
const std::array<PatternRow, 15> kFrenchRows { {
    // The service's date line: its own local time is of no use here; the UTC time stays as "HHMM UTC", which
    // the title is taken from.
    { uR"([A-Z][a-z]{2} \d{1,2},? \d{4} - \d{1,2}:\d{2} [AP]M [A-Z]{2,5} / (\d{4})\.(\d{2})\.(\d{2}) (\d{4}) UTC)",
        u"Observé le \\3/\\2/\\1 à \\4 UTC" },
    { uR"(Variable at)", u"variable de" }, // what the literal table made of a variable wind
    { uR"(calme:0)", u"calme" },
    // The tendency comes before the precipitation row, which would take its inches.
    { uR"(Pressure tendency: (\d+(?:\.\d+)?) inches \((\d+(?:\.\d+)?) hPa\) lower than three hours ago)",
        u"Tendance de la pression: en baisse de \\2 hPa (\\1 inHg) en trois heures" },
    { uR"(Pressure tendency: (\d+(?:\.\d+)?) inches \((\d+(?:\.\d+)?) hPa\) higher than three hours ago)",
        u"Tendance de la pression: en hausse de \\2 hPa (\\1 inHg) en trois heures" },
    { uR"((\d+(?:\.\d+)?) inches)", u"\\c (\\1 in)", inchesAsMillimetres },
    { uR"(Precipitation dernière heure)", u"Précipitations de la dernière heure" },
    { uR"(Precipitation last (\d+) hours)", u"Précipitations des \\1 dernières heures" },
    // "less than 1 mile:0" still has its ":0"; "3 mile(s):0" lost it to the literal table.
    { uR"((\d+ \d+/\d+|\d+/\d+|\d+) mile(?:\(s\))?(?::0)?)", u"\\c (\\1 mi)", milesAsMetric },
    { uR"((-?\d+(?:\.\d+)?) F \((-?\d+(?:\.\d+)?)°C\))", u"\\2°C (\\1°F)" }, // after the literal "°C)" row
    { uR"(Pression QNH: (\d+(?:\.\d+)?) in\. Hg \((\d+) hPa\))", u"Pression QNH: \\2 hPa (\\1 inHg)" },
    { uR"(Temperature)", u"Température" },
    // "Windchill", which the literal table's "Wind" row cut into, and the heat index; both lines end in ":1".
    { uR"(Ventchill)", u"Température ressentie" },
    { uR"(Heat index)", u"Indice de chaleur" },
    { uR"(\):1)", u")" },
} };

// Pattern rows also replace one after the other, so the text a row writes is never read again by it.
void applyPatternRow(QString& text, const PatternRow& row, const QRegularExpression& pattern)
{
    static const QRegularExpression kReference(uR"(\\([1-9c]))"_s);
    QString result;
    qsizetype copied = 0;
    for (QRegularExpressionMatchIterator it = pattern.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(text).mid(copied, match.capturedStart() - copied);
        qsizetype at = 0;
        for (QRegularExpressionMatchIterator ref = kReference.globalMatch(row.replaceWith); ref.hasNext();) {
            const QRegularExpressionMatch r = ref.next();
            result += row.replaceWith.mid(at, r.capturedStart() - at);
            const QChar which = r.capturedView(1).at(0);
            result += which == u'c' ? row.convert(match.capturedView(1))
                                    : frenchDecimal(match.capturedView(which.digitValue()));
            at = r.capturedEnd();
        }
        result += row.replaceWith.mid(at);
        copied = match.capturedEnd();
    }
    if (copied == 0)
        return;
    result += QStringView(text).mid(copied);
    text = result;
}

} // namespace

QString translate(const QString& text)
{
    QString result = text;
    for (const Replacement& row : kMetarReplacements)
        TextOps::replaceAll(result, row.find, row.replaceWith);
    static const std::array<QRegularExpression, kFrenchRows.size()> patterns = [] {
        std::array<QRegularExpression, kFrenchRows.size()> compiled;
        for (size_t i = 0; i < kFrenchRows.size(); ++i)
            compiled[i] = QRegularExpression(kFrenchRows[i].find.toString());
        return compiled;
    }();
    for (size_t i = 0; i < kFrenchRows.size(); ++i)
        applyPatternRow(result, kFrenchRows[i], patterns[i]);
    return result;
}

QString title(const QString& translated, const QString& code)
{
    // The four digits of the time stand a blank before "UTC".
    const qsizetype utc = translated.indexOf(u"UTC");
    if (utc < 5)
        return u"METAR de "_s + code;
    return u"METAR de "_s + translated.mid(utc - 5, 4) + u" UTC"_s;
}

} // namespace Metar
