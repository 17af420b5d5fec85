#pragma once
// Each run's own report, kept in Report/Runs: the day's report is written again by every run of
// the day, so the history links each run to a copy of the report it wrote, named by its time.

#include <QDateTime>
#include <QString>

inline const QString RunReportsFolderName = QStringLiteral("Runs");

// The copy of the report of the run of time, relative to the Report folder:
// "Runs/Report20261210-093000.htm".
QString RunReportFile(const QDateTime& time);

// Copies the day's report, as the run whose report carries time has just written it, to the run's
// own file. False with the reason in error; then no copy is there.
bool KeepRunReport(const QString& programFolder, const QDateTime& time, QString& error);

// Deletes the copies of the runs before the day; other files of the folder stay. False with the
// file and the reason in error.
bool RemoveRunReportsBefore(const QString& programFolder, const QDate& day, QString& error);
