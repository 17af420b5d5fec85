#pragma once
// The end of a rank run that wrote its report: a copy of the run's report is kept in Report/Runs,
// the run goes into History.db and Report/History.htm is written again from the whole history. A
// stopped or refused run stores nothing. A history that cannot be written is told, and the report
// stays as it is.

#include "history/HistoryData.h"

#include <QObject>

struct AppState;
class Prompter;
class RankRun;

class HistoryRecorder : public QObject {
    Q_OBJECT
public:
    HistoryRecorder(AppState& state, RankRun& run, Prompter& prompter, QObject* parent = nullptr);

Q_SIGNALS:
    // A run with a report has ended: its values as the history keeps them, its status text
    // ("Quorvex completed: N requests, K failed"), which, once the history holds the run, goes on
    // with how its keyword records moved ("; 3 rose, 1 fell, 6 stayed"), and whether History.db
    // holds the run (when not, the reason has been shown).
    void Recorded(const HistoryData& run, const QString& statusText, bool stored);

private:
    void RunFinished(bool reportWritten);

    AppState& state;
    RankRun& run;
    Prompter& prompter;
};

// Writes Report/History.htm from the whole history, replacing the old page only when the new one is
// complete. False with the reason in error.
bool WriteHistoryPage(const QString& programFolder, QString& error);
