#pragma once
// What a rank run showed of its progress: the bar's maximum and every value, in order.

#include "run/RankRun.h"

#include <QList>
#include <QObject>

#include <algorithm>

struct RunProgress {
    int Maximum = 0;
    QList<int> Values;

    explicit RunProgress(RankRun& run)
    {
        QObject::connect(&run, &RankRun::ProgressMaximumChanged, [this](int maximum) { Maximum = maximum; });
        QObject::connect(&run, &RankRun::ProgressValueChanged, [this](int value) { Values.append(value); });
    }
    // The values of a completed run never went back or past the maximum, and the last one reached it.
    bool EndedFull() const
    {
        return Maximum > 0 && !Values.isEmpty() && std::is_sorted(Values.cbegin(), Values.cend()) &&
               Values.last() == Maximum;
    }
};
