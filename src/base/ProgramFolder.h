#pragma once
// The program folder, under which everything the program writes lives.

#include <QString>
#include <QStringList>

// QUORVEX_HOME when set; otherwise the executable's folder when it is writable; otherwise the
// per-user data folder. Never ends with a separator.
QString ProgramFolder();

// Where the shipped directory-export template is looked for, in this order: the program folder,
// beside the executable, the installed data folder.
QStringList TemplateSourceFolders(const QString& programFolder);
// The first of those folders that holds the template; empty text when none does.
QString TemplateSourcePath(const QString& programFolder);
