#pragma once
// A 10 ms timer that measures how long the event loop is kept from its turn: the longest time
// between two of its firings since Start.

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

class LoopGapProbe {
public:
    LoopGapProbe()
    {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
    }
    void Start()
    {
        clock.start();
        last = 0;
        longest = 0;
        timer.start(10);
    }
    double LongestGapMs() const { return double(longest) / 1e6; }

private:
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
};
