#pragma once
// The program's start: one copy per program folder, the working folder on the very first start,
// then the lists from the settings store.

#include <QLockFile>
#include <QString>

struct AppState;
class Prompter;

enum class StartUpResult { Ready, AlreadyRunning, Failed };

class StartUp {
public:
    // The instance lock is held for as long as this object lives.
    explicit StartUp(const QString& programFolder);

    // Failed has shown "Severe error has occured !" through the prompter; AlreadyRunning shows nothing.
    StartUpResult Run(AppState& state, Prompter& prompter);

private:
    QLockFile lock;
};

// Creates the working folder with the database and the template copy when the folder is absent.
// False when a step failed; what was made before it stays.
bool PrepareWorkingFolder(const QString& programFolder);
