#pragma once

#include "platform/Services.h"

#include <QDateTime>
#include <QObject>

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

    /// Where the shown report came from and when, in UTC by the services' clock.
    struct Source
    {
        QString address;
        QDateTime fetchedAtUtc;
    };
    /// The last download that succeeded in the last request; empty when that request's download failed.
    const Source& lastSource() const { return m_lastSource; }

Q_SIGNALS:
    void transferStarted();
    void transferEnded();
    /// @p code's request has ended and the code is now the current one.
    void reportShown(const QString& code);

private:
    bool showMetar(const QString& code);
    void showTaf(const QString& code);
    void showNotams(const QString& code);
    bool downloadStationPage(const QString& code, const QString& url, const QString& file);
    bool checkDownloaded(const QString& file);

    Services m_services;
    ReportView& m_view;
    bool m_lastDownloadOk = true;
    Source m_lastSource;
};
