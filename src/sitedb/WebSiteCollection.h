#pragma once
// The collection of a keyword's sites: result pages one at a time on the request driver, then the
// sites in a random order into the keyword's table. The historical source reads pages of 100 until
// a page brings no new site; a search service of today pages to the configured depth.

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
    // Why the last collection through a search service ended before its depth; nothing when it
    // did not. The sites read before it were written.
    const std::optional<SourceFailure>& Failure() const { return failure; }

private:
    void RequestPage();
    void SendServicePage();
    void TakeServicePage(const ServiceReply& reply);
    // A failed or empty page ends like a page without new sites; through a service, the last page
    // or a failure ends the paging.
    void Drained() override;
    void EndServiceSearch();
    void Write(QStringList urls, const QString& note);

    CollectionRequest request;
    int pages = 0;
    int previousCount = 0;
    std::unique_ptr<SearchService> service;
    std::unique_ptr<KeywordSearch> search;
    std::optional<SourceFailure> failure;
};

// The three passes of swaps that put a collection's sites in a random order, drawn from the
// program's generator seeded with the time of day.
void ShuffleSites(QStringList& sites, double secondsSinceMidnight);
