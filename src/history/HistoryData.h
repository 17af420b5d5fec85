#pragma once
// What the history of rank runs holds, as read from History.db: the runs, and for each run the
// values of its pages and of its keyword records.

#include "model/RankRunState.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

struct HistoryRun {
    qint64 Id = 0;
    QDateTime Time;  // the time the report carries
    QString Sources; // the sources asked, in words ("historical" for the historical ones)
    // The run's report, relative to the Report folder: its own copy, "Runs/Report20261210-093000.htm",
    // or for a run kept before the copies (or whose copy failed) the day's report, "Report20261210.htm".
    QString ReportFile;
};

struct PageHistoryValue {
    qint64 RunId = 0;
    QString URL;
    QString PageRank; // as the report shows it
    ValueStatus PageRankStatus = ValueStatus::NotRanked;
    QString TrafficRank; // as the report shows it
    ValueStatus TrafficStatus = ValueStatus::NotRanked;
    QString Title;
    QString Description;
    QString Keywords;
};

// A keyword record is told apart by its address, product, keyword and market.
struct PositionHistoryValue {
    qint64 RunId = 0;
    QString URL;
    QString Product;
    QString Keyword;
    Market SearchMarket; // where it was searched; empty ("unspecified") for the runs kept before markets
    int Position = 0;    // 1 to Depth when Status is Found
    ValueStatus Status = ValueStatus::NotRanked;
    int Depth = 100;
    QStringList Top10;
};

// Plain texts and numbers: a year of values is moved, not copied, when its list grows.
Q_DECLARE_TYPEINFO(HistoryRun, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(PageHistoryValue, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(PositionHistoryValue, Q_RELOCATABLE_TYPE);

// Runs oldest first; values in the order of their runs, then as the run listed them.
struct HistoryData {
    QList<HistoryRun> Runs;
    QList<PageHistoryValue> Pages;
    QList<PositionHistoryValue> Positions;
};
