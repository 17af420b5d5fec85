#pragma once
// One rank run as the history keeps it: its time, sources and report, the values of its pages and
// of its keyword records, taken from the run's state when the run has ended.

#include "history/HistoryData.h"

// A run's values as one run of history; its Id is 0 until it is stored.
HistoryData RunHistory(const RankRunState& run, const QDateTime& time, const QString& reportFile);

// The sources in words: "search historical, authority historical, traffic historical".
QString SourcesText(const SourceSettings& sources);

// "found", "not ranked" or "failed", as History.db and the exports write a status.
QLatin1StringView StatusWord(ValueStatus status);

// The time of a run as History.db and the exports write it: "yyyy-MM-dd HH:mm:ss".
QString HistoryTimeText(const QDateTime& time);
QDateTime HistoryTimeFromText(const QString& text);
