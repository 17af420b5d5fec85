#pragma once
// One rank run's surroundings: its own program folder and state, the fake web as proxy, the download
// control, the request driver (without its pause) and the run, the moment of the run, and what the run said at its end.

#include "model/AppState.h"
#include "run/RankRun.h"
#include "session/DownloadParts.h"
#include "support/ProxyWeb.h"
#include "support/ScriptedPrompter.h"
#include "support/TestClock.h"
#include "web/RequestDriver.h"
#include "web/ocxParseWeb.h"

#include <QTemporaryDir>

struct RankRunRig {
    QTemporaryDir home;
    AppState state{home.path()};
    ScriptedPrompter prompter;
    TestClock clock;
    ProxyWeb web;
    ocxParseWeb control{TablesOf(state), CountersOf(state), prompter};
    RequestDriver driver{CountersOf(state), control};
    RankRun run{state, control, driver, prompter, clock};
    QList<bool> finished; // the written flag of each end of a run
    QStringList texts;    // every status text

    // Without the pause between requests unless a test looks at the pacing.
    RankRunRig()
    {
        driver.SetLeastPauseMs(0);
        QObject::connect(&run, &RankRun::Finished, [this](bool written) { finished << written; });
        QObject::connect(&run, &RankRun::StatusText, [this](const QString& text) { texts << text; });
    }
};
