#include "reports/ReportType.h"

using namespace Qt::StringLiterals;

QString reportTypeName(ReportType type)
{
    switch (type) {
    case ReportType::Taf:
        return u"TAF"_s;
    case ReportType::Notam:
        return u"NOTAM"_s;
    case ReportType::Metar:
        break;
    }
    return u"METAR"_s;
}

std::optional<ReportType> reportTypeFromKey(const QString& key)
{
    for (ReportType type : kReportTypes) {
        if (key == reportTypeName(type).toLower())
            return type;
    }
    return std::nullopt;
}
