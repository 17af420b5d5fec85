#pragma once
// The site database's two runs, the collection and the extraction, as the session holds them: both
// on the session's request driver, behind the search window's interface, and each telling when it ends.

#include "sitedb/SiteDatabaseActions.h"

#include <functional>
#include <memory>

struct AppState;
class Clock;
class Prompter;
class RequestDriver;

class SiteRuns : public SiteDatabaseActions {
    Q_OBJECT
public:
    using SiteDatabaseActions::SiteDatabaseActions;

Q_SIGNALS:
    // The run has ended: written, or stopped or failed with nothing written.
    void CollectionFinished(bool written);
    void ExtractionFinished(bool written);
};

// A collection and an extraction of these two classes, each made on the shared driver.
template <typename Collection, typename Extraction> class SiteRunsOf final : public SiteRuns {
public:
    SiteRunsOf(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock)
        : collection(state, driver, prompter, clock), extraction(state, driver, prompter, clock)
    {
        connect(&collection, &Collection::Written, this, &SiteRuns::CollectionWritten);
        connect(&collection, &Collection::Finished, this, &SiteRuns::CollectionFinished);
        connect(&extraction, &Extraction::Written, this, &SiteRuns::ExtractionWritten);
        connect(&extraction, &Extraction::Finished, this, &SiteRuns::ExtractionFinished);
    }

    bool IsRunning() const override { return collection.IsRunning() || extraction.IsRunning(); }
    void StartCollection(const CollectionRequest& request) override { collection.Start(request); }
    void StartExtraction(const ExtractionBatch& batch, const ExtractChoice& choice) override
    {
        extraction.Start(batch, choice);
    }
    void ChangeExtractChoice(const ExtractChoice& choice) override { extraction.ChangeChoice(choice); }

    Collection& CollectionRun() { return collection; }
    Extraction& ExtractionRun() { return extraction; }
    void Stop() override
    {
        if (collection.IsRunning())
            collection.Stop();
        if (extraction.IsRunning())
            extraction.Stop();
    }

private:
    Collection collection;
    Extraction extraction;
};

using SiteRunsFactory = std::function<std::unique_ptr<SiteRuns>(AppState&, RequestDriver&, Prompter&, const Clock&)>;

// The program's own collection and extraction; empty while the program has none.
std::unique_ptr<SiteRuns> MakeSiteRuns(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock);
