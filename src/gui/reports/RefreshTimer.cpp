#include "reports/RefreshTimer.h"

#include "services/Clock.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kFoldTick = 2;
constexpr int kClockRefreshAfter = 10;
constexpr int kForcedRefreshAfter = 180;
constexpr std::array<int, 2> kRefreshMinutes { 10, 40 };

} // namespace

RefreshTimer::RefreshTimer(const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
{
    setObjectName(u"refreshTimer"_s);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &RefreshTimer::tick);
}

void RefreshTimer::tick()
{
    if (m_ticksHeld || m_tickRunning) {
        m_tickHeldBack = true;
        return;
    }
    m_tickRunning = true;
    ++m_ticksSinceRefresh;
    if (m_ticksSinceRefresh == kFoldTick)
        Q_EMIT foldDue();
    for (const int refreshMinute : kRefreshMinutes) {
        if (m_clock.minute() == refreshMinute && m_ticksSinceRefresh > kClockRefreshAfter) {
            m_ticksSinceRefresh = 0;
            Q_EMIT refreshDue();
        }
    }
    if (m_ticksSinceRefresh > kForcedRefreshAfter) {
        m_ticksSinceRefresh = 0;
        Q_EMIT refreshDue();
    }
    Q_EMIT tickEnded();
    m_tickRunning = false;
    if (!m_ticksHeld)
        runHeldBackTick();
}

void RefreshTimer::holdTicks()
{
    m_ticksHeld = true;
}

void RefreshTimer::releaseTicks()
{
    m_ticksHeld = false;
    runHeldBackTick();
}

void RefreshTimer::runHeldBackTick()
{
    if (!m_tickHeldBack)
        return;
    m_tickHeldBack = false;
    QTimer::singleShot(0, this, &RefreshTimer::tick);
}
