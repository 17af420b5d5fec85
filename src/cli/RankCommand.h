#pragma once
// quorvex-cli rank: the run through a session, its progress and status texts on standard error, the
// report's path (or, with --json, the run's results) on standard output, Ctrl+C as "&Stop".

struct AppState;
class Prompter;

struct RankOptions {
    bool Verbose = false; // the status texts of the downloads too
    bool Open = false;    // the report in the browser
    bool Json = false;    // the run's results as JSON instead of the report's path
};

// Runs the checked entries; the exit code: done; refused, stopped, or a run History.db could not
// keep (the report is written all the same); or partly failed.
int RunRankCommand(AppState& state, Prompter& prompter, const RankOptions& options);
