#pragma once

#include <QObject>
#include <QTimer>

class Clock;

/// The ten-second tick behind the automatic refresh. It counts the ticks since the last refresh and asks
/// for one in minutes 10 and 40 (after more than ten ticks) or after 180 ticks whatever the minute; on the
/// second tick after a refresh it offers to fold the search region away. Ticks never overlap and never
/// run during a request: one that falls due meanwhile runs once the request has ended, so it refreshes
/// the station that request made current.
class RefreshTimer final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 10000;
    /// What user activity sets the count to: far from the fold tick, and minutes from a refresh.
    static constexpr int kUserActivityTicks = 15;

    explicit RefreshTimer(const Clock& clock, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(RefreshTimer)

    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }
    bool isActive() const { return m_timer.isActive(); }
    int interval() const { return m_timer.interval(); }

    int ticksSinceRefresh() const { return m_ticksSinceRefresh; }
    void setTicksSinceRefresh(int ticks) { m_ticksSinceRefresh = ticks; }
    /// The user is searching or unfolding: no fold and no refresh for a while.
    void holdOffForUser() { m_ticksSinceRefresh = kUserActivityTicks; }

    void tick();
    void holdTicks();
    void releaseTicks();

Q_SIGNALS:
    void foldDue();
    void refreshDue();
    void tickEnded();

private:
    void runHeldBackTick();

    const Clock& m_clock;
    QTimer m_timer;
    int m_ticksSinceRefresh = 0;
    bool m_ticksHeld = false;
    bool m_tickRunning = false;
    bool m_tickHeldBack = false;
};
