#pragma once

#include "reports/Failure.h"
#include "services/Services.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

class ReportView;

/// The request driver: every choice of a station ends in showReport(), which fetches the report of the
/// selected type, decodes it into the view and then makes the code the current one.
class ReportRequester final : public QObject
{
    Q_OBJECT

public:
    ReportRequester(Services services, ReportView& view, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(ReportRequester)

    void showReport(const QString& code);
    /// Asks for @p code's report again, past any stored copy.
    void refresh(const QString& code);

    /// Downloads @p url into @p file; false, with the failure text in the view, when it failed.
    bool downloadPage(const QString& url, const QString& file);
    /// Whether the last download of the last request succeeded.
    bool lastDownloadSucceeded() const { return m_lastDownloadOk; }
    /// Why the last request failed; Failure::Cause::None when it did not.
    Failure::Reason lastFailure() const { return m_lastFailure; }

    /// Where the shown report came from and when, in UTC by the services' clock.
    struct Source
    {
        QString address;
        QDateTime fetchedAtUtc;
    };
    /// The last download that succeeded in the last request; empty when that request's download failed.
    const Source& lastSource() const { return m_lastSource; }

Q_SIGNALS:
    /// A request or a download began; until requestEnded() the report on screen may be half made.
    void requestStarted();
    void requestEnded();
    /// A download has ended (the request it belongs to goes on).
    void transferEnded();
    /// @p code's request has ended and the code is now the current one.
    void reportShown(const QString& code);

private:
    void beginRequest();
    void endRequest();
    void runNextWaitingRequest();
    bool showMetar(const QString& code);
    void showTaf(const QString& code);
    void showNotams(const QString& code);
    bool downloadStationPage(const QString& code, const QString& url, const QString& file);
    bool checkDownloaded(const QString& file, Failure::Reason reason, const QString& url = {});

    Services m_services;
    ReportView& m_view;
    bool m_lastDownloadOk = true;
    int m_requestDepth = 0;
    QStringList m_waitingCodes; // asked for while a request was running, in order
    Failure::Reason m_lastFailure;
    QString m_requestedCode; // named in the failure text
    Source m_lastSource;
};
