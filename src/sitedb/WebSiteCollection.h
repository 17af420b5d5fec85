#pragma once
// The collection of a keyword's sites: result pages of 100, one at a time on the request driver,
// until a page brings no new site; then the sites in a random order into the keyword's table.

#include "sitedb/SiteDbRequests.h"
#include "sitedb/SiteDbRun.h"

class WebSiteCollection : public SiteDbRun {
    Q_OBJECT
public:
    // However many new sites the engine keeps sending, no more result pages than this are asked for.
    static constexpr int PageLimit = 100;

    WebSiteCollection(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock,
                      QObject* parent = nullptr);

    // GetWebSiteList, from the first page; nothing happens while a collection goes.
    void Start(const CollectionRequest& request);

private:
    void RequestPage();
    // A failed or empty page ends like a page without new sites.
    void Drained() override;
    void Write();

    CollectionRequest request;
    int pages = 0;
    int previousCount = 0;
};

// The three passes of swaps that put a collection's sites in a random order, drawn from the
// program's generator seeded with the time of day.
void ShuffleSites(QStringList& sites, double secondsSinceMidnight);
