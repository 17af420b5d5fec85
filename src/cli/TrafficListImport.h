#pragma once
// quorvex-cli source traffic ... --list: the chosen list imported into the program folder's rank lists.

#include <QString>

struct TrafficSourceSettings;

// Imports the chosen traffic list (a file, a ZIP holding one CSV, or an http(s) address, downloaded
// up to downloadMaxMiB) into the program folder's rank lists; the earlier list of that kind stays
// until the new one is complete. force imports a list that looks too little like one. Shows the
// progress and prints what was imported, or why not; Ctrl+C ends a download.
int ImportTrafficList(const QString& programFolder, const TrafficSourceSettings& traffic, int downloadMaxMiB,
                      bool force);
