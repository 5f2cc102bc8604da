#pragma once

#include "reports/DecodedReport.h"
#include "reports/ReportFetcher.h"
#include "services/Services.h"

#include <QObject>
#include <QStringList>

class ReportView;

/// The window's request driver: every choice of a station ends in showReport(), which fetches the report
/// of the selected type, has the view show it and then makes the code the current one. Requests never
/// interleave: one asked for while another runs waits for it.
class ReportRequester final : public QObject
{
    Q_OBJECT

public:
    ReportRequester(Services services, ReportView& view, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(ReportRequester)

    void showReport(const QString& code);
    /// Asks for @p code's report again, past any stored copy.
    void refresh(const QString& code);

    /// The report of the last request that has ended, as shown.
    const DecodedReport& currentReport() const { return m_current; }

Q_SIGNALS:
    /// A request began; until requestEnded() the report on screen may be half made.
    void requestStarted();
    void requestEnded();
    /// The request's download has ended (the request goes on).
    void transferEnded();
    /// @p code's request has ended and the code is now the current one.
    void reportShown(const QString& code);

private:
    void runNextWaitingRequest();

    Services m_services;
    ReportView& m_view;
    ReportFetcher m_fetcher;
    bool m_requestRunning = false;
    QStringList m_waitingCodes; // asked for while a request was running, in order
    DecodedReport m_current;
};
