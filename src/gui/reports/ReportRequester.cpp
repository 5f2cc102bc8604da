#include "reports/ReportRequester.h"

#include "network/Downloader.h"
#include "reports/Expiry.h"
#include "reports/MetarStyle.h"
#include "reports/MetarTranslation.h"
#include "reports/NotamCut.h"
#include "reports/ReportView.h"
#include "reports/Sources.h"
#include "reports/TafDecoder.h"
#include "reports/WorkFile.h"
#include "services/Clock.h"
#include "services/Logging.h"
#include "storage/SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QUrl>

namespace {

constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kStalePink = 0xFFC0C0;
constexpr int kTafType = 1;
constexpr int kNotamType = 2;

// The busy pointer is one state, not a stack: nested requests must not leave it set.
void setBusyPointer(bool busy)
{
    if (busy) {
        if (!QApplication::overrideCursor())
            QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

// Lets the window repaint what a request has changed so far. User input waits for the request's end, so
// that a click never starts another request in the middle of this one.
void letEventsRun()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

ReportRequester::ReportRequester(Services services, ReportView& view, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_view(view)
{
    setObjectName(u"reportRequester"_qs);
}

void ReportRequester::showReport(const QString& code)
{
    // Requests never nest: the report on screen, the current code and the stored one always come from
    // the same request. One asked for meanwhile runs once this one has ended.
    if (m_requestDepth > 0) {
        m_waitingCodes.append(code);
        return;
    }
    beginRequest();
    m_requestedCode = code;
    setBusyPointer(true);
    // Nothing of the previous report may describe this one while it is made.
    m_view.setBannerVisible(false);
    m_view.setBackground(kWhite);
    const int type = m_view.reportType();
    bool madeCurrent = true;
    if (type == kTafType)
        showTaf(code);
    else if (type == kNotamType)
        showNotams(code);
    else
        madeCurrent = showMetar(code); // a METAR that could not be fetched leaves the current code as it was
    setBusyPointer(false);
    if (madeCurrent) {
        m_services.settings->write(u"data"_qs, u"last"_qs, code);
        Q_EMIT reportShown(code);
    }
    endRequest();
}

void ReportRequester::beginRequest()
{
    if (m_requestDepth++ == 0)
        Q_EMIT requestStarted();
}

void ReportRequester::endRequest()
{
    if (--m_requestDepth > 0)
        return;
    Q_EMIT requestEnded();
    if (!m_waitingCodes.isEmpty())
        QTimer::singleShot(0, this, &ReportRequester::runNextWaitingRequest);
}

void ReportRequester::runNextWaitingRequest()
{
    if (m_requestDepth == 0 && !m_waitingCodes.isEmpty())
        showReport(m_waitingCodes.takeFirst());
}

void ReportRequester::refresh(const QString& code)
{
    if (code.isEmpty())
        return;
    // Whatever type is shown, the METAR address is the one whose stored copy is dropped.
    m_services.downloader->removeCachedCopy(SourceAddress::Metar(m_services.sources.weatherBase, code));
    showReport(code);
}

bool ReportRequester::showMetar(const QString& code)
{
    m_view.setReportText(QString());
    m_view.setTitle(QString());
    letEventsRun();

    const QString workFile = m_services.workFolder.filePath(u"V.txt"_qs);
    if (!downloadStationPage(code, SourceAddress::Metar(m_services.sources.weatherBase, code), workFile))
        return false;
    QString text = WorkFile::ReadReportText(workFile);
    if (text.isEmpty()) {
        m_view.setReportVisible(false);
    } else {
        const bool stale = Expiry::IsMetarOutOfDate(text, m_services.clock->today());
        m_view.setBannerVisible(stale);
        if (stale)
            m_view.setBannerText(u"METAR Périmé"_qs);
        m_view.setBackground(stale ? kStalePink : kWhite);

        text = Metar::TranslateMetar(text);
        m_view.setTitle(Metar::MetarTitle(text, code));
        m_view.setReportText(text);
        m_view.applySpans(Metar::MetarStyleSpans(m_view.reportText()));
        letEventsRun();
        m_view.setReportVisible(true);
    }
    m_view.setTitleVisible(m_view.isReportVisible());
    return true;
}

void ReportRequester::showTaf(const QString& code)
{
    m_view.setReportText(QString());
    m_view.setTitle(QString());
    letEventsRun();

    const QString workFile = m_services.workFolder.filePath(u"V.txt"_qs);
    if (!downloadStationPage(code, SourceAddress::Taf(m_services.sources.weatherBase, code), workFile))
        return;

    const QString raw = WorkFile::ReadReportText(workFile);
    if (raw.isEmpty()) {
        m_view.setReportVisible(false);
    } else {
        const Taf::TafReport report = Taf::BuildTafReport(raw, code, m_services.clock->today());
        m_view.setBannerVisible(report.outOfDate);
        if (report.outOfDate)
            m_view.setBannerText(u"TAF Périmé"_qs);
        m_view.setBackground(report.outOfDate ? kStalePink : kWhite);
        m_view.setTitle(report.title);
        m_view.setReportText(report.reportText);
        letEventsRun();
        m_view.setReportVisible(true);
    }
    m_view.setTitleVisible(m_view.isReportVisible());
    m_view.applySpans(Taf::TafEmphasisSpans(m_view.reportText()));
}

void ReportRequester::showNotams(const QString& code)
{
    letEventsRun();
    m_view.setReportText(QString());
    m_view.setTitle(u"Notams"_qs);
    letEventsRun();

    const Sources& sources = m_services.sources;
    const QString workFile = m_services.workFolder.filePath(code + u".txt"_qs);
    bool fetched = false;
    if (sources.notamBase.trimmed().isEmpty()) {
        // Nowhere to ask: no transfer, and the report area says how to name a source.
        fetched = checkDownloaded(QString(), { Failure::Cause::NoSource, 0 });
    } else {
        m_services.downloader->removeCachedCopy(SourceAddress::NotamPage(sources.notamBase));
        fetched = downloadStationPage(code, SourceAddress::Notam(sources.notamBase, code), workFile);
    }
    if (!fetched) {
        m_view.setBannerVisible(true);
        m_view.setBannerText(u"X"_qs);
        m_view.setBackground(kStalePink);
        return;
    }
    m_view.setBannerVisible(false);
    m_view.setBackground(kWhite);
    m_view.showNotams(Notam::CutNotams(WorkFile::ReadPage(workFile), code));
    m_view.setReportVisible(true);
    m_view.setTitleVisible(true);
}

bool ReportRequester::downloadPage(const QString& url, const QString& file)
{
    // A file left over from an earlier request must never pass for this one's answer.
    if (QFile::exists(file) && !QFile::remove(file))
        qCWarning(lcFiles) << "cannot remove the earlier work file" << file;

    beginRequest();
    const DownloadResult result = m_services.downloader->download(url, file);
    Q_EMIT transferEnded();
    endRequest();
    if (!result.ok())
        qCInfo(lcNetwork) << "download failed:" << url << result.httpStatus << result.error;
    if (!checkDownloaded(file, result.failure(), url))
        return false;
    m_lastSource = Source { url, m_services.clock->now().toUTC() };
    return true;
}

bool ReportRequester::downloadStationPage(const QString& code, const QString& url, const QString& file)
{
    // A code that could name another folder or rewrite the address reaches neither the network nor the
    // file system; the request fails as a failed download does.
    if (!SourceAddress::IsSafeStationCode(code))
        return checkDownloaded(QString(), { Failure::Cause::InvalidCode, 0 });
    return downloadPage(url, file);
}

bool ReportRequester::checkDownloaded(const QString& file, Failure::Reason reason, const QString& url)
{
    m_lastDownloadOk = !file.isEmpty() && QFile::exists(file);
    if (m_lastDownloadOk) {
        m_lastFailure = {};
        return true;
    }
    m_lastSource = Source {};
    if (reason.cause == Failure::Cause::None)
        reason.cause = Failure::Cause::Network;
    m_lastFailure = reason;
    const int type = m_view.reportType();
    const QString typeName = type == kTafType ? u"TAF"_qs : type == kNotamType ? u"NOTAM"_qs : u"METAR"_qs;
    m_view.setReportText(Failure::ReportAreaText(reason, typeName, m_requestedCode, QUrl(url).host()));
    return false;
}
