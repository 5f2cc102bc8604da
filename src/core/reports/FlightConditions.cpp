#include "reports/FlightConditions.h"

#include "reports/MetarGroups.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace Conditions {
namespace {

constexpr double kMetresPerStatuteMile = 1609.344;
constexpr int kTopVisibilityM = 10000; // what "9999" and CAVOK stand for

struct Visibility
{
    std::optional<int> metres;
    bool orMore = false;
};

// Statute miles: "10SM", "1/2SM", "P6SM" (more than), "M1/4SM" (less than), and "1 1/2SM" over two groups.
std::optional<Visibility> milesAt(const QStringList& groups, qsizetype i)
{
    static const QRegularExpression kMiles(uR"(^([PM]?)(?:(\d+)|(\d+)/(\d+))SM$)"_s);
    const QRegularExpressionMatch m = kMiles.match(groups.at(i));
    if (!m.hasMatch())
        return std::nullopt;
    double miles = m.capturedView(2).toDouble();
    if (m.hasCaptured(3)) {
        const int denominator = m.capturedView(4).toInt();
        if (denominator == 0)
            return Visibility {};
        miles = m.capturedView(3).toDouble() / denominator;
        static const QRegularExpression kWhole(uR"(^\d$)"_s);
        if (i > 0 && kWhole.match(groups.at(i - 1)).hasMatch())
            miles += groups.at(i - 1).toInt();
    }
    return Visibility { static_cast<int>(std::lround(miles * kMetresPerStatuteMile)), m.capturedView(1) == u"P" };
}

Visibility visibilityOf(const QStringList& groups)
{
    static const QRegularExpression kMetres(uR"(^(\d{4})(NDV)?$)"_s);
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QString& g = groups.at(i);
        if (g == u"CAVOK")
            return Visibility { kTopVisibilityM, true };
        if (g == u"////")
            return {};
        if (const QRegularExpressionMatch m = kMetres.match(g); m.hasMatch()) {
            const int metres = m.capturedView(1).toInt();
            return metres == 9999 ? Visibility { kTopVisibilityM, true } : Visibility { metres, false };
        }
        if (const std::optional<Visibility> miles = milesAt(groups, i))
            return *miles;
    }
    return {};
}

struct Sky
{
    bool read = false;
    std::optional<int> ceilingFt;
};

Sky skyOf(const QStringList& groups)
{
    static const QRegularExpression kLayer(uR"(^(FEW|SCT|BKN|OVC|VV)(\d{3}|///)(CB|TCU|///)?$)"_s);
    Sky sky;
    bool unreadable = false;
    for (const QString& g : groups) {
        if (g == u"CAVOK" || g == u"NSC" || g == u"SKC" || g == u"CLR" || g == u"NCD") {
            sky.read = true;
            continue;
        }
        if (g.startsWith(u"//////")) { // the sky groups of an automatic station that saw nothing
            unreadable = true;
            continue;
        }
        const QRegularExpressionMatch m = kLayer.match(g);
        if (!m.hasMatch())
            continue;
        const QStringView amount = m.capturedView(1);
        const bool ceiling = amount == u"BKN" || amount == u"OVC" || amount == u"VV";
        if (m.capturedView(2) == u"///") {
            unreadable |= ceiling; // a few clouds at an unknown height make no ceiling
            continue;
        }
        sky.read = true;
        const int feet = m.capturedView(2).toInt() * 100;
        if (ceiling && (!sky.ceilingFt || feet < *sky.ceilingFt))
            sky.ceilingFt = feet;
    }
    if (unreadable)
        return {};
    return sky;
}

// 2 for VMC, 1 for marginal, 0 for IMC.
int rank(int value, int vmcFrom, int marginalFrom)
{
    return value >= vmcFrom ? 2 : value >= marginalFrom ? 1 : 0;
}

QString visibilityWords(const FlightConditions& c)
{
    if (!c.visibilityM)
        return u"visibilité inconnue"_s;
    const QLocale french(QLocale::French, QLocale::France);
    const int metres = *c.visibilityM;
    const QString amount = metres >= 5000
        ? french.toString(std::round(metres / 100.0) / 10.0, 'g', 3) + u" km"_s
        : french.toString(static_cast<int>(std::lround(metres / 50.0)) * 50) + u" m"_s; // miles give odd metres
    return u"visibilité "_s + amount + (c.visibilityOrMore ? u" ou plus"_s : QString());
}

} // namespace

FlightConditions conditionsOf(const QString& rawMetar, const Thresholds& thresholds)
{
    const QStringList groups = Metar::observationGroups(rawMetar);
    const Visibility visibility = visibilityOf(groups);
    const Sky sky = skyOf(groups);
    FlightConditions c { Category::Unknown, visibility.metres, visibility.orMore, sky.read, sky.ceilingFt };

    std::optional<int> visibilityRank;
    std::optional<int> ceilingRank;
    if (c.visibilityM)
        visibilityRank = rank(*c.visibilityM, thresholds.vmcVisibilityM, thresholds.marginalVisibilityM);
    if (c.skyRead)
        ceilingRank = c.ceilingFt ? rank(*c.ceilingFt, thresholds.vmcCeilingFt, thresholds.marginalCeilingFt) : 2;
    // One side known to be below the marginal limits decides on its own; anything better needs both.
    if (visibilityRank && ceilingRank)
        c.category
            = std::array { Category::Imc, Category::Marginal, Category::Vmc }[std::min(*visibilityRank, *ceilingRank)];
    else if (visibilityRank == 0 || ceilingRank == 0)
        c.category = Category::Imc;
    return c;
}

QString categoryWord(Category category)
{
    switch (category) {
    case Category::Vmc:
        return u"VMC"_s;
    case Category::Marginal:
        return u"marginal"_s;
    case Category::Imc:
        return u"IMC"_s;
    case Category::Unknown:
        break;
    }
    return u"inconnu"_s;
}

QString conditionsLine(const FlightConditions& conditions)
{
    QString sky;
    if (conditions.ceilingFt)
        sky = u"plafond "_s + QLocale(QLocale::French, QLocale::France).toString(*conditions.ceilingFt) + u" ft"_s;
    else
        sky = conditions.skyRead ? u"pas de plafond"_s : u"plafond inconnu"_s;
    return u"Conditions de vol : "_s + categoryWord(conditions.category) + u" — "_s + visibilityWords(conditions)
        + u", "_s + sky;
}

} // namespace Conditions
