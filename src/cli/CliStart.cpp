#include "cli/CliStart.h"

#include "base/ProgramFolder.h"
#include "base/TerminalText.h"

QTextStream& Out()
{
    static QTextStream out(stdout);
    return out;
}

QTextStream& Err()
{
    static QTextStream err(stderr);
    return err;
}

int UsageProblem(const QString& problem, const QString& usage)
{
    Err() << "quorvex-cli: " << TerminalSafe(problem) << '\n' << usage << Qt::flush;
    return BadUsage;
}

int SettingsSaved(const SettingsStore& store)
{
    if (store.WriteFailed()) {
        Err() << "quorvex-cli: " << TerminalSafe(SettingsNotSavedText(store.LastError())) << Qt::endl;
        return Refused;
    }
    return Done;
}

CommandStart::CommandStart(bool readOnly, bool assumeYes) : State(ProgramFolder()), Prompter(assumeYes)
{
    if (readOnly) {
        ready = ReadStoredLists(State, Prompter) == StartUpResult::Ready;
        return;
    }
    switch (startUp.emplace(State.ProgramFolder).Run(State, Prompter)) {
    case StartUpResult::Ready:
        ready = true;
        break;
    case StartUpResult::AlreadyRunning:
        Err() << "quorvex-cli: Quorvex is already running on " << TerminalSafe(State.ProgramFolder) << Qt::endl;
        break;
    case StartUpResult::Failed:
        break;
    }
}
