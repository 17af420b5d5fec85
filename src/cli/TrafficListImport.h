#pragma once
// quorvex-cli source traffic ... --list: the chosen list imported into the program folder's rank lists.

#include <QString>

struct TrafficSourceSettings;

// Imports the chosen traffic list (a file, a ZIP holding one CSV, or an http(s) address) into the
// program folder's rank lists; the earlier list of that kind stays until the new one is complete.
// Prints what was imported, or why not.
int ImportTrafficList(const QString& programFolder, const TrafficSourceSettings& traffic);
