#pragma once
// The program folder, under which everything the program writes lives.

#include <QString>

// QUORVEX_HOME when set; otherwise the executable's folder when it is writable; otherwise the
// per-user data folder. Never ends with a separator.
QString ProgramFolder();

// Where the shipped directory-export template is found: the program folder, beside the
// executable, or the installed data folder. Empty text when none holds it.
QString TemplateSourcePath(const QString& programFolder);
