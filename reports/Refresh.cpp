// Refresh on request and from the ten-second timer.
#include "platform/Clock.h"
#include "app/MainWindow.h"
#include "platform/Downloader.h"
#include "reports/Sources.h"

#include <QLabel>
#include <QTimer>

namespace {

constexpr int kFoldTick = 2;
constexpr int kClockRefreshAfter = 10;
constexpr int kForcedRefreshAfter = 180;
constexpr int kFoldWiderThan = 10000;

} // namespace

void MainWindow::Command5_Click()
{
    const QString code = Label2->text();
    if (code.isEmpty())
        return;
    // Whatever type is shown, the METAR address is the one whose stored copy is dropped.
    m_services.downloader->removeCachedCopy(SourceAddress::Metar(m_services.sources.weatherBase, code));
    ShowReport(code);
}

void MainWindow::Timer1_Timer()
{
    // Ticks never overlap and never run during a transfer: one that falls due meanwhile runs afterwards.
    if (m_transferRunning || m_tickRunning) {
        m_tickDeferred = true;
        return;
    }
    m_tickRunning = true;
    ++Compteur;
    if (outerWidthTwips() > kFoldWiderThan && Compteur == kFoldTick)
        Command6_Click();
    for (const int refreshMinute : {10, 40}) {
        if (m_services.clock->minute() == refreshMinute && Compteur > kClockRefreshAfter) {
            Compteur = 0;
            Command5_Click();
        }
    }
    if (Compteur > kForcedRefreshAfter) {
        Compteur = 0;
        Command5_Click();
    }
    ResetFavHighlight();
    m_tickRunning = false;
    if (m_tickDeferred && !m_transferRunning) {
        m_tickDeferred = false;
        QTimer::singleShot(0, this, &MainWindow::Timer1_Timer);
    }
}
