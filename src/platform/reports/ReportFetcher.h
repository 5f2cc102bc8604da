#pragma once

#include "reports/DecodedReport.h"
#include "services/Services.h"

/// Turns a station code and a report type into a report: downloads the station's file into the work
/// folder, reads it and has the engines decode it. Knows nothing of windows: the window's request driver
/// and the report mode both ask here.
class ReportFetcher final
{
public:
    explicit ReportFetcher(Services services);

    /// The report of @p type for @p code, or the reason it could not be had. Synchronous.
    DecodedReport fetch(const QString& code, ReportType type);

    /// Makes the next METAR of @p code come from the server, past any stored copy: what a refresh asks.
    void forgetStoredCopy(const QString& code);

private:
    DecodedReport fetchFromSource(const QString& code, ReportType type);
    DecodedReport download(const QString& code, ReportType type, const QString& url, const QString& fileName);

    Services m_services;
};
