#pragma once
// The small inline SVG of one keyword record's positions over the runs: position 1 at the top, the
// found positions joined, a miss as a hollow mark and a failure as a grey cross on a band below.

#include "run/RankRunState.h"

#include <QDate>
#include <QList>
#include <QString>

// One value of a keyword record in one run.
struct ChartPoint {
    int RunIndex = 0; // the run's place among all runs, oldest first
    QDate Day;
    int Position = 0;
    ValueStatus Status = ValueStatus::NotRanked;
    int Depth = 100;
};

// A position as the history page words it: the number, "Not Found in top N" or "Failed".
QString PositionText(int position, ValueStatus status, int depth);

// The chart of points (in run order) over runCount runs, as markup; it holds no text of the user.
QString PositionChart(const QList<ChartPoint>& points, int runCount);
