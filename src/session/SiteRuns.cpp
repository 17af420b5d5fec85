// The one place where the session's collection and extraction are made.

#include "session/SiteRuns.h"

#include "sitedb/SiteExtraction.h"
#include "sitedb/WebSiteCollection.h"

std::unique_ptr<SiteRuns> MakeSiteRuns(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock)
{
    return std::make_unique<SiteRunsOf<WebSiteCollection, SiteExtraction>>(state, driver, prompter, clock);
}
