#pragma once
// quorvex-cli history: the values of every run kept in History.db as a table, CSV or JSON; the
// history page; and pruning the runs before a day.

#include <QStringList>

// What follows "history"; assumeYes: --yes came before the command. Returns the exit code.
int RunHistory(const QStringList& arguments, bool assumeYes);
