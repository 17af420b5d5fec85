#pragma once
// The collection of a keyword's sites: result pages one at a time on the request driver, then the
// sites in a random order into the keyword's table. The historical source reads pages of 100 until
// a page brings no new site; a search service of today pages to the configured depth. On either, a
// page that does not come ends the paging: without a site read nothing is written.

#include "sitedb/SiteDbRequests.h"
#include "sitedb/SiteDbRun.h"
#include "sources/SourceFailure.h"

#include <memory>
#include <optional>

class KeywordSearch;
class SearchService;
struct ServiceReply;

class WebSiteCollection : public SiteDbRun {
    Q_OBJECT
public:
    // However many new sites the engine keeps sending, no more result pages than this are asked for.
    static constexpr int PageLimit = 100;

    WebSiteCollection(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock,
                      QObject* parent = nullptr);
    ~WebSiteCollection() override;

    // GetWebSiteList, from the first page; nothing happens while a collection goes.
    void Start(const CollectionRequest& request);
    // Why the last collection ended on a page that did not come; nothing when none failed. The
    // sites read before it, if any, were written.
    const std::optional<SourceFailure>& Failure() const { return failure; }

private:
    void RequestPage();
    void SendServicePage();
    void TakeServicePage(const ServiceReply& reply);
    // An empty page ends the paging, as does, through a service, the last page; a failed page
    // ends it on either source.
    void Drained() override;
    void Finish(QStringList found, int lastPage);
    void Write(QStringList urls, const QString& note);

    CollectionRequest request;
    int pages = 0;
    int pageMaximum = 0;
    int previousCount = 0;
    std::unique_ptr<SearchService> service;
    std::unique_ptr<KeywordSearch> search;
    std::optional<SourceFailure> failure;
};

// The three passes of swaps that put a collection's sites in a random order, drawn from the
// program's generator seeded with the time of day.
void ShuffleSites(QStringList& sites, double secondsSinceMidnight);
