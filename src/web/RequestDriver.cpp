// The shared request driver: two lanes, the pause, the gates, the stop and the give-up.

#include "web/RequestDriver.h"

#include "web/ocxParseWeb.h"

#include <algorithm>

RequestDriver::RequestDriver(DownloadCounters counters, ocxParseWeb& control, QObject* parent)
    : QObject(parent), counters(counters), control(control)
{
    pauseTimer.setSingleShot(true);
    pauseTimer.setTimerType(Qt::PreciseTimer);
    connect(&pauseTimer, &QTimer::timeout, this, &RequestDriver::PauseEnded);
    turnTimer.setSingleShot(true);
    turnTimer.setInterval(0);
    connect(&turnTimer, &QTimer::timeout, this, &RequestDriver::Turn);
    idleTimer.setSingleShot(true);
    idleTimer.setTimerType(Qt::PreciseTimer);
    connect(&idleTimer, &QTimer::timeout, this, &RequestDriver::ScheduleTurn);
    // A finished download may let the next request go.
    connect(&control, &ocxParseWeb::DownloadHtmlComplete, this, &RequestDriver::ScheduleTurn, Qt::QueuedConnection);
    connect(&control, &ocxParseWeb::DownloadTitleComplete, this, &RequestDriver::ScheduleTurn, Qt::QueuedConnection);
}

void RequestDriver::Start()
{
    active = true;
    lastSideStart.start();
    Turn();
}

void RequestDriver::ScheduleTurn()
{
    if (active && !turnTimer.isActive())
        turnTimer.start();
}

void RequestDriver::Turn()
{
    if (!active)
        return;
    if (counters.StopRequested) {
        FinishStop();
        return;
    }
    if (pausing)
        return;
    if (counters.PendingHtmlCount < 1 && WantedAtHead(paced)) {
        pausing = true;
        pauseNs = std::max(leastPauseNs, qint64(paced.front().PauseMs) * 1'000'000);
        pauseClock.start();
        pauseTimer.start(int(pauseNs / 1'000'000));
        return;
    }
    ContinueTurn(false);
}

void RequestDriver::PauseEnded()
{
    const qint64 left = pauseNs - pauseClock.nsecsElapsed();
    if (left > 0) {
        pauseTimer.start(int((left + 999'999) / 1'000'000));
        return;
    }
    pausing = false;
    if (counters.StopRequested) {
        FinishStop();
        return;
    }
    const bool sent = WantedAtHead(paced);
    if (sent)
        SendFirst(paced);
    ContinueTurn(sent);
}

void RequestDriver::ContinueTurn(bool sentRequest)
{
    const bool sideOpen = SideLaneOpen();
    if (sideOpen && WantedAtHead(side) && counters.PendingTitleCount < rules.SideLimit) {
        SendFirst(side);
        lastSideStart.start();
        if (rules.IdleGiveUpMs > 0)
            idleTimer.start(rules.IdleGiveUpMs);
        sentRequest = true;
    }
    if (counters.StopRequested) {
        FinishStop();
        return;
    }
    if (paced.empty() && side.empty() && counters.PendingHtmlCount == 0 && counters.PendingTitleCount == 0) {
        active = false;
        idleTimer.stop();
        Q_EMIT Drained();
        return;
    }
    if (sideOpen && rules.IdleGiveUpMs > 0 && counters.PendingTitleCount > 0) {
        const qint64 idleMs = lastSideStart.elapsed();
        if (idleMs >= rules.IdleGiveUpMs) {
            Q_EMIT GaveUp(counters.PendingTitleCount);
            control.CancelAllDownload();
            sentRequest = true;
        } else {
            // A timer may fire a little early: look again when the time is really up.
            idleTimer.start(int(rules.IdleGiveUpMs - idleMs));
        }
    }
    // Otherwise the next turn comes with the next finished download.
    if (sentRequest)
        ScheduleTurn();
}

bool RequestDriver::SideLaneOpen() const
{
    return !rules.SideAfterPaced || (paced.empty() && counters.PendingHtmlCount == 0);
}

bool RequestDriver::WantedAtHead(std::deque<Request>& lane)
{
    while (!lane.empty() && lane.front().Wanted && !lane.front().Wanted())
        lane.pop_front();
    return !lane.empty();
}

void RequestDriver::SendFirst(std::deque<Request>& lane)
{
    const Request request = std::move(lane.front());
    lane.pop_front();
    if (request.Send) {
        request.Send();
        return;
    }
    control.BeginDownload(request.Url, request.PropertyName);
}

void RequestDriver::FinishStop()
{
    pauseTimer.stop();
    turnTimer.stop();
    idleTimer.stop();
    pausing = false;
    active = false;
    paced.clear();
    side.clear();
    control.CancelAllDownload();
    Q_EMIT Stopped();
}
