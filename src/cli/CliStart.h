#pragma once
// What every command of quorvex-cli shares: the exit codes, the two output streams, and the
// program folder made ready for one command.

#include "cli/TerminalPrompter.h"
#include "model/AppState.h"
#include "session/StartUp.h"

#include <QTextStream>

#include <optional>

// PartlyFailed: a report was written, but some of its requests failed.
enum ExitCode { Done = 0, Refused = 1, BadUsage = 2, PartlyFailed = 3 };

QTextStream& Out();
QTextStream& Err();
// "quorvex-cli: " and the problem on standard error, then the usage text; BadUsage.
int UsageProblem(const QString& problem, const QString& usage);
// Done, or Refused after saying why the settings could not be saved.
int SettingsSaved(const SettingsStore& store);

// The program folder's state for one command. A reading command needs only the stored lists and
// takes no instance lock, so it works beside a running window; any other command starts up as the
// window does and holds the lock while this lives.
class CommandStart {
public:
    CommandStart(bool readOnly, bool assumeYes);
    // False after the message: the command is refused.
    bool Ready() const { return ready; }

    AppState State;
    TerminalPrompter Prompter;

private:
    std::optional<StartUp> startUp;
    bool ready = false;
};
