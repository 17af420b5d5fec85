#pragma once
// The pacing that the background routines share: requests of the paced lane go one at a time
// with a pause of at least 0.2 s before each, requests of the side lane (page summaries) go
// beside them up to a limit, and the caller hears when both lanes are drained, when a stop was
// seen, and when side requests were given up. Timers and the control's signals drive it, so the
// window stays live and no event loop is ever nested.
//
// Use:
//     driver.SetRules({.SideLimit = 6, .SideAfterPaced = true, .IdleGiveUpMs = 60000});
//     driver.AddPaced(RequestDriver::Download(url, "g3"));            // sent and counted by the driver
//     driver.AddSide(RequestDriver::Call([&] { /* BeginDownload, raise the counter */ }));
//     connect(&driver, &RequestDriver::Drained, ...);                  // every request has ended
//     driver.Start();
//
// A turn, run at once by Start and again with every finished download (each on a zero-time timer):
//  1. StopRequested set: cancel every download, empty both lanes, Stopped.
//  2. PendingHtmlCount below 1 and a paced request waiting: pause at least 0.2 s (the least pause),
//     or the request's longer PauseMs (QElapsedTimer), see the stop flag again, then send the
//     request at the head of the lane.
//  3. The side lane, when open (always, or with SideAfterPaced only once no paced request waits
//     or is in flight): with PendingTitleCount below SideLimit, send one side request.
//  4. StopRequested set: as in 1.
//  5. Both lanes empty and both pending counters 0: Drained, and the driver rests.
//  6. IdleGiveUpMs, the side lane open, side requests in flight and none started for that long:
//     GaveUp, then every download is cancelled (the counters fall to 0) and the turns go on.
// A request whose Wanted answers false when its turn comes is dropped, without a pause.

#include "web/DownloadCounters.h"
#include <QElapsedTimer>
#include <QObject>

#include <QString>
#include <QTimer>

#include <deque>
#include <functional>

class ocxParseWeb;

class RequestDriver : public QObject {
    Q_OBJECT
public:
    struct Request {
        // Sent through the control with this download key when Send is empty.
        QString Url;
        QString PropertyName;
        // Sends the request itself through the control; it may also send nothing
        // (a request that turns out not to be needed still took its pause).
        std::function<void()> Send;
        // Asked when the request's turn comes; false drops it. Empty: always wanted.
        std::function<bool()> Wanted;
        // A paced request's pause, when a service asked for longer than the usual 0.2 s.
        int PauseMs = 0;
    };
    static Request Download(const QString& url, const QString& propertyName) { return {url, propertyName, {}, {}}; }
    static Request Call(std::function<void()> send) { return {{}, {}, std::move(send), {}}; }

    struct Rules {
        int SideLimit = 10;          // side requests in flight (PendingTitleCount) at most
        bool SideAfterPaced = false; // the side lane opens only once the paced work is over
        int IdleGiveUpMs = 0;        // 0: side requests in flight are never given up
    };

    // The least pause before each paced request, unless changed.
    static constexpr int UsualPauseMs = 200;

    RequestDriver(DownloadCounters counters, ocxParseWeb& control, QObject* parent = nullptr);

    // The pacing every run keeps; tests that do not look at the pacing make it 0.
    void SetLeastPauseMs(int ms) { leastPauseNs = qint64(ms) * 1'000'000; }

    // For the next Start; the rank run's rules (ten beside the paced lane, never given up) until changed.
    void SetRules(const Rules& rules) { this->rules = rules; }
    void AddPaced(Request request) { paced.push_back(std::move(request)); }
    // Ahead of every paced request waiting, e.g. a request asked again after a rate limit.
    void AddPacedFirst(Request request) { paced.push_front(std::move(request)); }
    void AddSide(Request request) { side.push_back(std::move(request)); }

    // Runs the first turn at once. Requests may be added while the driver runs.
    void Start();
    // Between Start and Drained or Stopped.
    bool IsActive() const { return active; }
    // The control the requests go through, for a Send that picks its address when its turn comes.
    ocxParseWeb& Control() const { return control; }
    // Asks for a turn soon, e.g. after StopRequested was set, so that the stop is seen at once.
    void ScheduleTurn();

Q_SIGNALS:
    void Drained();
    // StopRequested was seen: every download is cancelled and both lanes are empty.
    void Stopped();
    // Just before the side requests in flight are given up: how many they are.
    void GaveUp(int sideRequestsInFlight);

private:
    void Turn();
    void PauseEnded();
    void ContinueTurn(bool sentRequest);
    bool SideLaneOpen() const;
    // Drops the unwanted requests at the head of a lane; false when the lane is then empty.
    static bool WantedAtHead(std::deque<Request>& lane);
    void SendFirst(std::deque<Request>& lane);
    void FinishStop();

    DownloadCounters counters;
    ocxParseWeb& control;
    Rules rules;
    std::deque<Request> paced;
    std::deque<Request> side;
    bool active = false;
    bool pausing = false;
    QTimer pauseTimer;
    QTimer turnTimer;
    QTimer idleTimer;
    QElapsedTimer pauseClock;
    qint64 pauseNs = 0;
    qint64 leastPauseNs = qint64(UsualPauseMs) * 1'000'000;
    QElapsedTimer lastSideStart;
};
