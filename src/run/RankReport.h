#pragma once
// The HTML rank report: the day's report, the frameset Index.htm and the list Title.htm, all in
// the Report folder of the program folder.

#include <QDateTime>
#include <QString>

struct AppState;

// "Report" + yyyymmdd + ".htm"
QString ReportFileName(const QDate& day);
// The path of Report/Index.htm.
QString ReportIndexPath(const QString& programFolder);

// Writes the three files from the last run's results. Returns false when a file could not be
// written, with the file's name and the reason in failure: that file keeps its old content, and the
// files after it are not written.
bool GetReport(const AppState& state, const QDateTime& now, QString* failure = nullptr);
