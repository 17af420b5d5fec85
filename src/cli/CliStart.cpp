#include "cli/CliStart.h"

#include "app/ProgramFolder.h"
#include "app/TerminalText.h"

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
