#pragma once
// The small inline SVG of one keyword record's positions over the runs: position 1 at the top, the
// found positions joined, a miss as a hollow mark and a failure as a grey cross on a band below,
// each mark with its run's day and value as a tooltip. Over many runs the marks give way to the line
// alone and to ticks on the band, so that a year of daily runs stays a few kilobytes.

#include "model/RankRunState.h"

#include <QByteArray>
#include <QList>

// One value of a keyword record in one run.
struct ChartPoint {
    int RunIndex = 0; // the run's place among all runs, oldest first
    int Position = 0;
    ValueStatus Status = ValueStatus::NotRanked;
    int Depth = 100;
};

// Appends a position as the history page words it: the number, "Not Found in top N" or "Failed".
void AddPositionText(QByteArray& out, int position, ValueStatus status, int depth);

// Appends the chart of points (in run order) to out; runDays holds the date of every run, oldest
// first. The chart holds no text of the user.
void AddPositionChart(QByteArray& out, const QList<ChartPoint>& points, const QList<QByteArray>& runDays);
