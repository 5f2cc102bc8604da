#pragma once

#include "reports/DecodedReport.h"

/// Where the request driver shows reports: the report panel, or anything a test puts in its place.
class ReportView
{
public:
    virtual ~ReportView() = default;

    /// The type the user has chosen; METAR before any choice.
    virtual ReportType selectedReportType() const = 0;
    /// Clears what is shown while a report of @p type is on its way: nothing of the previous report may
    /// describe the next one.
    virtual void showPending(ReportType type) = 0;
    /// Shows @p report whole, fetched or not.
    virtual void showReport(const DecodedReport& report) = 0;
};
