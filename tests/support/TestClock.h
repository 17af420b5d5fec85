#pragma once
// The tests' clock: the moment a test sets, 2026-03-07 14:05:09 unless it sets another.

#include "base/Clock.h"

class TestClock : public Clock {
public:
    TestClock() = default;
    explicit TestClock(const QDateTime& now) : now(now) {}
    QDateTime Now() const override { return now; }

    QDateTime now{QDate(2026, 3, 7), QTime(14, 5, 9)};
};
