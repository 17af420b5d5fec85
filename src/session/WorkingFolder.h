#pragma once
// The working folder "Database" beside the settings: its site database with the master table and
// its copy of the directory-export template.

#include <QString>

// Makes the working folder when it is absent: whole, under a temporary name that is renamed into
// place, so a kill while it is made leaves no working folder and the next start makes it again.
// A working folder that holds the database file is mended where a kill during an earlier start
// left it short: a database of 0 bytes or without any table gets its master table, a missing
// template copy is copied when the template is found. A folder without the database file is left
// as it is. False, with the reason, when a step failed; without the template the folder is still
// put in place with its database.
bool PrepareWorkingFolder(const QString& programFolder, QString& reason);
