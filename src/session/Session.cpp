// The session: the shared control, driver and runs, and the rule of one run at a time.

#include "session/Session.h"

#include "base/Clock.h"
#include "base/Names.h"
#include "base/Prompter.h"
#include "history/HistoryRecorder.h"
#include "model/AppState.h"
#include "run/RankRun.h"
#include "session/DownloadParts.h"
#include "sitedb/SiteDbTexts.h"
#include "web/RequestDriver.h"
#include "web/ocxParseWeb.h"

Session::Session(AppState& state, Prompter& prompter, std::unique_ptr<Clock> clock, const SiteRunsFactory& makeSiteRuns,
                 QObject* parent)
    : SiteDatabaseActions(parent), state(state), prompter(prompter),
      clock(clock ? std::move(clock) : std::make_unique<Clock>()),
      control(std::make_unique<ocxParseWeb>(TablesOf(state), CountersOf(state), prompter)),
      driver(std::make_unique<RequestDriver>(CountersOf(state), *control)),
      rankRun(std::make_unique<RankRun>(state, *control, *driver, prompter, *this->clock)),
      // Made with the rank run, so that it hears a run's end before anyone else does.
      history(std::make_unique<HistoryRecorder>(state, *rankRun, prompter))
{
    control->setObjectName(QStringLiteral("ocxParseWeb"));
    if (makeSiteRuns)
        siteRuns = makeSiteRuns(state, *driver, prompter, *this->clock);
    if (siteRuns) {
        connect(siteRuns.get(), &SiteRuns::CollectionWritten, this, &Session::CollectionWritten);
        connect(siteRuns.get(), &SiteRuns::ExtractionWritten, this, &Session::ExtractionWritten);
        connect(siteRuns.get(), &SiteRuns::CollectionFinished, this, &Session::CollectionFinished);
        connect(siteRuns.get(), &SiteRuns::ExtractionFinished, this, &Session::ExtractionFinished);
    }
}

Session::~Session() = default;

void Session::StartOrStopRank()
{
    if (rankRun->IsRunning() || !RefusedWhileRunning(AppTitle))
        rankRun->StartOrStopRank();
}

void Session::StopEverything()
{
    state.StopRequested = true;
    driver->ScheduleTurn();
}

// A driver still busy counts as well: a run that has just ended may wait for its last downloads.
bool Session::IsRunning() const
{
    return rankRun->IsRunning() || driver->IsActive() || (siteRuns && siteRuns->IsRunning());
}

void Session::StartCollection(const CollectionRequest& request)
{
    if (siteRuns && !RefusedWhileRunning(SiteDbTitle))
        siteRuns->StartCollection(request);
}

void Session::StartExtraction(const ExtractionBatch& batch, const ExtractChoice& choice)
{
    if (siteRuns && !RefusedWhileRunning(SiteDbTitle))
        siteRuns->StartExtraction(batch, choice);
}

void Session::ChangeExtractChoice(const ExtractChoice& choice)
{
    if (siteRuns)
        siteRuns->ChangeExtractChoice(choice);
}

void Session::Stop()
{
    if (siteRuns)
        siteRuns->Stop();
}

bool Session::RefusedWhileRunning(const QString& title)
{
    if (!IsRunning())
        return false;
    prompter.ShowMessage(SiteDbTexts::RunGoing, MessageIcon::Exclamation, title);
    return true;
}
