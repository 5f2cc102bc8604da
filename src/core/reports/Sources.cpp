#include "reports/Sources.h"

#include "BuildConfig.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace SourceAddress {
namespace {

constexpr const char16_t* kDefaultWeatherBase = u"https://tgftp.nws.noaa.gov";

// A base given with a trailing slash must not produce "//data/...".
QString trimmedBase(const QString& base)
{
    QString trimmed = base.trimmed();
    while (trimmed.endsWith(u'/'))
        trimmed.chop(1);
    return trimmed;
}

// Scheme, host, port and path are all a base may hold; @p queryAllowed lets a full address carry its query.
bool hasOnlyBaseParts(const QString& text, bool queryAllowed)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.hasFragment() || (url.hasQuery() && !queryAllowed))
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http" || scheme == u"https")
        return !url.host().isEmpty() && url.port() != 0; // QUrl itself refuses a port past 65535
    if (scheme == u"file")
        return (url.host().isEmpty() || url.host() == u"localhost") && url.path().startsWith(u'/') && url.port() == -1
            && url.userInfo().isEmpty();
    return false;
}

} // namespace

bool isValidBase(const QString& base)
{
    return hasOnlyBaseParts(trimmedBase(base), false);
}

bool isValidAddress(const QString& url)
{
    return hasOnlyBaseParts(url, true);
}

QString forDisplay(const QString& url)
{
    // Cut by hand rather than through QUrl, which would re-encode the rest of what the user wrote.
    const qsizetype authority = url.indexOf(u"://");
    if (authority < 0)
        return url;
    const qsizetype start = authority + 3;
    qsizetype end = start;
    while (end < url.size() && url.at(end) != u'/' && url.at(end) != u'?' && url.at(end) != u'#')
        ++end;
    const qsizetype at = url.lastIndexOf(u'@', end - 1);
    if (at < start)
        return url;
    return url.left(start) + url.mid(at + 1);
}

bool isSafeStationCode(const QString& code)
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

namespace {

// The base with @p path after it, or nothing for a base that would send the path elsewhere.
QString under(const QString& base, const QString& path)
{
    const QString trimmed = trimmedBase(base);
    if (trimmed != demoBase() && !isValidBase(trimmed))
        return {};
    return trimmed + path;
}

} // namespace

QString metar(const QString& weatherBase, const QString& code)
{
    return under(weatherBase, u"/data/observations/metar/decoded/"_s + code + u".TXT"_s);
}

QString taf(const QString& weatherBase, const QString& code)
{
    return under(weatherBase, u"/data/forecasts/taf/stations/"_s + code + u".TXT"_s);
}

QString notamPage(const QString& notamBase)
{
    return under(notamBase, u"/regusers/publictools/corp_comp/metar_taf_notam.html"_s);
}

QString notam(const QString& notamBase, const QString& code)
{
    // A server reads the station from the query; the samples are files, so each station has its own page.
    if (trimmedBase(notamBase) == demoBase())
        return under(notamBase, u"/regusers/publictools/corp_comp/metar_taf_notam-"_s + code + u".html"_s);
    const QString page = notamPage(notamBase);
    return page.isEmpty() ? QString() : page + u"?icao="_s + code;
}

Sources inForce(const GivenSources& given, const Sources& settingsFile)
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
        sources.weatherBase = demoBase();
        sources.notamBase = demoBase();
        sources.demo = true;
    }
    return sources;
}

QString demoBase()
{
    return u"qrc:/demo"_s;
}

bool isDemo(const Sources& sources)
{
    // Not read from the bases: "qrc:/demo" given by hand is no demonstration, and is refused as an address.
    return sources.demo;
}

QDateTime demoMoment()
{
    return QDateTime(QDate(2026, 6, 15), QTime(11, 45));
}

QString contact(const QString& site, const QString& versionCaption)
{
    return trimmedBase(site) + u"/contacter.php?sub=Ventorix"_s + versionCaption;
}

} // namespace SourceAddress
