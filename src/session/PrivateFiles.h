#pragma once
// The program's files are its user's alone: the settings hold the service keys, the databases the
// user's sites. What the program makes is made for the owner only, and the program folder and its
// databases are closed to other users when found open to them.

#include <QString>

// From here on this process makes its files 0600 and its folders 0700.
void MakeNewFilesPrivate();
// Takes every right of the group and of others from the program folder, the working folder and
// each database with its journal, where they have any.
void TightenProgramFiles(const QString& programFolder);
