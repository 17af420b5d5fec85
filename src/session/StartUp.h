#pragma once
// The program's start: one copy per program folder, the working folder on the very first start,
// then the lists from the settings store.

#include <QString>

struct AppState;
class Prompter;

enum class StartUpResult { Ready, AlreadyRunning, Failed };

// The one-copy lock: a lock on the file "quorvex.lock" in the program folder that the system drops
// when its holder ends, however it ends. What the file holds does not matter, so an empty or
// leftover file never keeps a copy from starting.
class InstanceLock {
public:
    explicit InstanceLock(QString programFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Result { Taken, HeldElsewhere, Failed };
    Result Take();

private:
    QString path;
#ifdef _WIN32
    void* handle = nullptr;
#else
    int fd = -1;
#endif
};

class StartUp {
public:
    // The instance lock is held for as long as this object lives.
    explicit StartUp(const QString& programFolder);

    // Failed has shown "Severe error has occured !" through the prompter, with the reason on a
    // second line; AlreadyRunning shows nothing.
    StartUpResult Run(AppState& state, Prompter& prompter);
    // Why the last Run failed.
    const QString& FailureReason() const { return failureReason; }

private:
    StartUpResult Fail(Prompter& prompter, const QString& reason);

    InstanceLock lock;
    QString failureReason;
};

// For commands that only show the lists: reads them into the state without the instance lock, so
// it works while another copy runs, and writes nothing at all (no folder, no settings file, no
// first-start values; a program folder never used reads as two empty lists). The store is left
// open for reading only and refuses every write. Ready, or Failed after "Severe error has
// occured !" and the reason through the prompter.
StartUpResult ReadStoredLists(AppState& state, Prompter& prompter);
