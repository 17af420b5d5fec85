#include "cli/RankCommand.h"

#include "app/Session.h"
#include "cli/CliStart.h"
#include "cli/InterruptWatcher.h"
#include "cli/ProcessLauncher.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalText.h"
#include "run/RankRun.h"
#include "web/ocxParseWeb.h"

#include <QCoreApplication>
#include <QTimer>

int RunRankCommand(AppState& state, Prompter& prompter, bool verbose, bool open)
{
    Session session(state, prompter);
    RankRun& run = session.Rank();
    ProgressLine progress;
    ProcessLauncher launcher;
    InterruptWatcher interrupt;

    QObject::connect(&run, &RankRun::ProgressMaximumChanged, [&](int maximum) { progress.SetMaximum(maximum); });
    QObject::connect(&run, &RankRun::ProgressValueChanged, [&](int value) { progress.SetValue(value); });
    if (verbose) {
        QObject::connect(&session.Downloads(), &ocxParseWeb::StatusText, [&](const QString& text) {
            progress.Finish();
            Err() << TerminalSafe(text) << Qt::endl;
        });
    }
    QObject::connect(&run, &RankRun::ReportWritten, [&](const QString& indexPath) {
        progress.Finish();
        Out() << TerminalSafe(indexPath) << Qt::endl;
        if (open)
            launcher.OpenInBrowser(indexPath);
    });
    QObject::connect(&run, &RankRun::StatusText, [&](const QString& text) {
        progress.Finish();
        Err() << TerminalSafe(text) << Qt::endl;
        for (const QString& reason : run.FailureReasons())
            Err() << TerminalSafe(reason) << Qt::endl;
    });
    QObject::connect(&run, &RankRun::Finished, [&](bool written) {
        progress.Finish();
        QCoreApplication::exit(!written ? Refused : run.Tally().Failed() > 0 ? PartlyFailed : Done);
    });
    // Ctrl+C does what "&Stop" does.
    QObject::connect(&interrupt, &InterruptWatcher::Interrupted, [&] {
        if (run.IsRunning())
            session.cmdRank_Click();
    });
    QTimer::singleShot(0, &run, [&] { session.cmdRank_Click(); });
    return QCoreApplication::exec();
}
