#include "cli/RankCommand.h"

#include "base/TerminalText.h"
#include "cli/CliStart.h"
#include "cli/InterruptWatcher.h"
#include "cli/ProcessLauncher.h"
#include "cli/ProgressLine.h"
#include "history/HistoryExport.h"
#include "history/HistoryRecorder.h"
#include "run/RankRun.h"
#include "session/Session.h"
#include "web/ocxParseWeb.h"

#include <QCoreApplication>
#include <QTimer>

int RunRankCommand(AppState& state, Prompter& prompter, const RankOptions& options)
{
    Session session(state, prompter);
    RankRun& run = session.Rank();
    ProgressLine progress;
    ProcessLauncher launcher;
    InterruptWatcher interrupt;

    QObject::connect(&run, &RankRun::ProgressMaximumChanged, [&](int maximum) { progress.SetMaximum(maximum); });
    QObject::connect(&run, &RankRun::ProgressValueChanged, [&](int value) { progress.SetValue(value); });
    // The summary line is told once the run has ended, with the moves of its keyword records when
    // the history has taken the run.
    QString summary;
    HistoryData results;
    bool historyStored = false;
    if (options.Verbose) {
        QObject::connect(&session.Downloads(), &ocxParseWeb::StatusText, [&](const QString& text) {
            progress.Finish();
            Err() << TerminalSafe(text) << Qt::endl;
        });
    }
    QObject::connect(&run, &RankRun::ReportWritten, [&](const QString& indexPath) {
        progress.Finish();
        if (!options.Json)
            Out() << TerminalSafe(indexPath) << Qt::endl;
        if (options.Open)
            launcher.OpenInBrowser(indexPath);
    });
    QObject::connect(&run, &RankRun::StatusText, [&](const QString& text) { summary = text; });
    QObject::connect(&session.History(), &HistoryRecorder::Recorded,
                     [&](const HistoryData& values, const QString& text, bool stored) {
                         results = values;
                         summary = text;
                         historyStored = stored;
                     });
    QObject::connect(&run, &RankRun::Finished, [&](bool written) {
        progress.Finish();
        if (!summary.isEmpty())
            Err() << TerminalSafe(summary) << Qt::endl;
        for (const QString& note : run.MarketNotes())
            Err() << TerminalSafe(note) << Qt::endl;
        for (const QString& reason : run.FailureReasons())
            Err() << TerminalSafe(reason) << Qt::endl;
        if (options.Json && written)
            PrintRunJson(results, Out());
        // A run the history could not keep is a failure: a scheduled run must not lose it unseen.
        QCoreApplication::exit(!written || !historyStored ? Refused : run.Tally().Failed() > 0 ? PartlyFailed : Done);
    });
    // Ctrl+C does what "&Stop" does.
    QObject::connect(&interrupt, &InterruptWatcher::Interrupted, [&] {
        if (run.IsRunning())
            session.StartOrStopRank();
    });
    QTimer::singleShot(0, &run, [&] { session.StartOrStopRank(); });
    return QCoreApplication::exec();
}
