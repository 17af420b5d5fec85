#pragma once
// quorvex-cli: the lists and options from a shell or a scheduler, through the same core calls as
// the windows. Exit codes: 0 done, 1 refused or failed, 2 bad usage.

#include <QStringList>

int RunCli(const QStringList& arguments);
