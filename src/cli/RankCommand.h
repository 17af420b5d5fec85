#pragma once
// quorvex-cli rank: the run through a session, its progress and status texts on standard error, the
// report's path on standard output, Ctrl+C as "&Stop".

struct AppState;
class Prompter;

// Runs the checked entries; the exit code: done, refused or stopped, or partly failed.
int RunRankCommand(AppState& state, Prompter& prompter, bool verbose, bool open);
