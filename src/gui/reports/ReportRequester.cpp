#include "reports/ReportRequester.h"

#include "reports/ReportView.h"
#include "storage/UserSettings.h"

#include <QApplication>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

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

} // namespace

ReportRequester::ReportRequester(Services services, ReportView& view, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_view(view)
    , m_fetcher(m_services)
{
    setObjectName(u"reportRequester"_s);
}

void ReportRequester::showReport(const QString& code)
{
    // The report on screen, the current code and the stored one always come from the same request.
    if (m_requestRunning) {
        m_waitingCodes.append(code);
        return;
    }
    m_requestRunning = true;
    Q_EMIT requestStarted();
    setBusyPointer(true);
    const ReportType type = m_view.selectedReportType();
    m_view.showPending(type);
    // The download lets the window repaint, never take input: a click waits for the request's end, so it
    // never starts another request in the middle of this one.
    m_current = m_fetcher.fetch(code, type);
    Q_EMIT transferEnded();
    m_view.showReport(m_current);
    setBusyPointer(false);
    // A METAR that could not be fetched leaves the current code as it was.
    if (m_current.fetched() || type != ReportType::Metar) {
        UserSettings(*m_services.settings).setLastCode(code);
        Q_EMIT reportShown(code);
    }
    m_requestRunning = false;
    Q_EMIT requestEnded();
    if (!m_waitingCodes.isEmpty())
        QTimer::singleShot(0, this, &ReportRequester::runNextWaitingRequest);
}

void ReportRequester::runNextWaitingRequest()
{
    if (!m_requestRunning && !m_waitingCodes.isEmpty())
        showReport(m_waitingCodes.takeFirst());
}

void ReportRequester::refresh(const QString& code)
{
    if (code.isEmpty())
        return;
    // Whatever type is shown, the METAR address is the one whose stored copy is dropped.
    m_fetcher.forgetStoredCopy(code);
    showReport(code);
}
