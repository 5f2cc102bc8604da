#include "reports/MetarTranslation.h"

#include "reports/TextOps.h"

#include <array>

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

} // namespace

QString TranslateMetar(const QString& text)
{
    QString result = text;
    for (const Replacement& row : kMetarReplacements)
        TextOps::ReplaceAll(result, row.find, row.replaceWith);
    return result;
}

QString MetarTitle(const QString& translated, const QString& code)
{
    const qsizetype n = TextOps::Find(translated, u"UTC");
    if (n < 6)
        return u"METAR de "_qs + code;
    return u"METAR de "_qs + TextOps::Mid(translated, n - 5, 4) + u" UTC"_qs;
}

} // namespace Metar
