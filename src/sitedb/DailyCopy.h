#pragma once
// The copy of the site database kept on the first opening of the search window each day.

#include <QDate>
#include <QString>

// program folder + "/Database/Quorvex_yyyy_MM_dd.mdb"
QString DailyCopyPath(const QString& programFolder, QDate day);

// Makes the day's copy unless it exists. False with the reason when the copy could not be made.
bool MakeDailyCopy(const QString& programFolder, QDate day, QString& error);
