#include "reports/Sources.h"

#include "BuildConfig.h"

namespace SourceAddress {
namespace {

constexpr const char16_t* kDefaultWeatherBase = u"https://tgftp.nws.noaa.gov";

// A base given with a trailing slash must not produce "//data/...".
QString trimmedBase(const QString& base)
{
    QString b = base.trimmed();
    while (b.endsWith(u'/'))
        b.chop(1);
    return b;
}

} // namespace

bool IsSafeStationCode(const QString& code)
{
    if (code.isEmpty() || code.size() > 8)
        return false;
    for (const QChar c : code) {
        const bool ok = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
        if (!ok)
            return false;
    }
    return true;
}

QString Metar(const QString& weatherBase, const QString& code)
{
    return trimmedBase(weatherBase) + u"/data/observations/metar/decoded/"_qs + code + u".TXT"_qs;
}

QString Taf(const QString& weatherBase, const QString& code)
{
    return trimmedBase(weatherBase) + u"/data/forecasts/taf/stations/"_qs + code + u".TXT"_qs;
}

QString NotamPage(const QString& notamBase)
{
    return trimmedBase(notamBase) + u"/regusers/publictools/corp_comp/metar_taf_notam.html"_qs;
}

QString Notam(const QString& notamBase, const QString& code)
{
    return NotamPage(notamBase) + u"?icao="_qs + code;
}

Sources InForce(const GivenSources& given, const Sources& settingsFile)
{
    const auto choose = [](const std::optional<QString>& option, const QString& inFile, const QString& builtIn) {
        if (option)
            return *option;
        return inFile.trimmed().isEmpty() ? builtIn : inFile.trimmed();
    };
    Sources sources {
        choose(given.weatherBase, settingsFile.weatherBase, QString::fromUtf16(kDefaultWeatherBase)),
        choose(given.notamBase, settingsFile.notamBase, QString::fromUtf8(VENTORIX_DEFAULT_NOTAM_BASE)),
        choose(given.site, settingsFile.site, QString::fromUtf8(VENTORIX_DEFAULT_SITE)),
    };
    if (given.demo) {
        sources.weatherBase = DemoBase();
        sources.notamBase = DemoBase();
    }
    return sources;
}

QString DemoBase()
{
    return u"qrc:/demo"_qs;
}

bool IsDemo(const Sources& sources)
{
    return trimmedBase(sources.weatherBase) == DemoBase() || trimmedBase(sources.notamBase) == DemoBase();
}

QDateTime DemoMoment()
{
    return QDateTime(QDate(2026, 6, 15), QTime(11, 45));
}

QString Contact(const QString& site, const QString& versionCaption)
{
    return trimmedBase(site) + u"/contacter.php?sub=Ventorix"_qs + versionCaption;
}

} // namespace SourceAddress
