#pragma once
// quorvex-cli sitedb: the keyword site database from a shell, through the same core calls as the
// search window's buttons.

#include <QStringList>

// The sub-command and its arguments, as they follow "sitedb"; assumeYes: --yes came before the
// command. Returns the program's exit code.
int RunSiteDb(const QStringList& arguments, bool assumeYes);
