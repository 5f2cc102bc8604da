#include "reports/Sources.h"

namespace SourceAddress {
namespace {

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

QString Contact(const QString& site, const QString& versionCaption)
{
    return trimmedBase(site) + u"/contacter.php?sub=Ventorix"_qs + versionCaption;
}

} // namespace SourceAddress
