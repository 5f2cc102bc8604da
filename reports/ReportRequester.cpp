#include "reports/ReportRequester.h"

#include "platform/Clock.h"
#include "platform/Downloader.h"
#include "platform/Logging.h"
#include "platform/SettingsStore.h"
#include "reports/Expiry.h"
#include "reports/MetarStyle.h"
#include "reports/MetarTranslation.h"
#include "reports/NotamCut.h"
#include "reports/ReportView.h"
#include "reports/Sources.h"
#include "reports/TafDecoder.h"
#include "reports/WorkFile.h"

#include <QApplication>
#include <QFile>

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

// Lets the window repaint what a request has changed so far.
void letEventsRun()
{
    QCoreApplication::processEvents();
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
    setBusyPointer(true);
    const int type = m_view.reportType();
    if (type == kTafType) {
        showTaf(code);
    } else if (type == kNotamType) {
        showNotams(code);
    } else if (!showMetar(code)) {
        // A METAR that could not be fetched leaves the current code as it was.
        setBusyPointer(false);
        return;
    }
    setBusyPointer(false);
    m_services.settings->write(u"data"_qs, u"last"_qs, code);
    Q_EMIT reportShown(code);
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
    m_services.downloader->removeCachedCopy(SourceAddress::NotamPage(sources.notamBase));
    const QString workFile = m_services.workFolder.filePath(code + u".txt"_qs);
    if (!downloadStationPage(code, SourceAddress::Notam(sources.notamBase, code), workFile)) {
        m_view.setBannerVisible(true);
        m_view.setBannerText(u"X"_qs);
        m_view.setBackground(kStalePink);
        return;
    }
    m_view.setBannerVisible(false);
    m_view.setBackground(kWhite);
    m_view.showNotams(Notam::CutNotams(WorkFile::ReadWhole(workFile), code));
    m_view.setReportVisible(true);
    m_view.setTitleVisible(true);
}

bool ReportRequester::downloadPage(const QString& url, const QString& file)
{
    // A file left over from an earlier request must never pass for this one's answer.
    if (QFile::exists(file) && !QFile::remove(file))
        qCWarning(lcFiles) << "cannot remove the earlier work file" << file;

    Q_EMIT transferStarted();
    const DownloadResult result = m_services.downloader->download(url, file);
    Q_EMIT transferEnded();
    if (!result.ok())
        qCInfo(lcNetwork) << "download failed:" << url << result.httpStatus << result.error;
    if (!checkDownloaded(file))
        return false;
    m_lastSource = Source { url, m_services.clock->now().toUTC() };
    return true;
}

bool ReportRequester::downloadStationPage(const QString& code, const QString& url, const QString& file)
{
    // A code that could name another folder or rewrite the address reaches neither the network nor the
    // file system; the request fails as a failed download does.
    if (!SourceAddress::IsSafeStationCode(code))
        return checkDownloaded(QString());
    return downloadPage(url, file);
}

bool ReportRequester::checkDownloaded(const QString& file)
{
    m_lastDownloadOk = !file.isEmpty() && QFile::exists(file);
    if (!m_lastDownloadOk) {
        m_lastSource = Source {};
        m_view.setReportText(u"Connexion à internet ..."_qs);
    }
    return m_lastDownloadOk;
}
