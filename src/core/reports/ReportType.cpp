#include "reports/ReportType.h"

QString reportTypeName(ReportType type)
{
    switch (type) {
    case ReportType::Taf:
        return u"TAF"_qs;
    case ReportType::Notam:
        return u"NOTAM"_qs;
    case ReportType::Metar:
        break;
    }
    return u"METAR"_qs;
}

std::optional<ReportType> reportTypeFromKey(const QString& key)
{
    for (ReportType type : kReportTypes) {
        if (key == reportTypeName(type).toLower())
            return type;
    }
    return std::nullopt;
}
