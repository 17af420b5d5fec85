#pragma once
// The paging of one keyword through a search service, without any network: the caller sends
// NextRequest(), hands the reply to TakeReply() and does what the step says.
//
// Positions count organic results only: the number of results on the earlier pages plus the
// index on its page plus 1, whatever the reply says. A result is the entry's when its host
// without "www." is the entry's (scheme ignored), or, for an entry with a product name, when its
// title holds that name (case-insensitive). For a position the paging stops at the page that
// holds the entry, at the depth, or at the first page with no result not seen before; for the
// collection of a keyword's sites it goes to the depth, or to the first page without a new site.
// A 429 that asks for at most MaxRetryWaitSeconds is waited out once (the caller waits).

#include "sources/SearchService.h"

#include <QSet>
#include <QStringList>

struct SearchTarget {
    QString URL;
    QString Product;
};

// The host of an address, lower-cased, without scheme and without a leading "www.".
QString HostWithoutWww(const QString& address);
bool IsTargetResult(const SearchTarget& target, const SearchResultItem& result);

class KeywordSearch {
public:
    enum class Purpose { Position, Collection };
    enum class Step {
        NextPage, // send NextRequest()
        Retry,    // send NextRequest() again after RetryDelayMs()
        Done,     // the values are final
        Failed,   // Failure() says why; what was read before stays readable
    };

    KeywordSearch(const SearchService& service, QString keyword, Market market, int depth, Purpose purpose,
                  SearchTarget target = {});

    ServiceRequest NextRequest() const { return service.PageRequest(keyword, market, page); }
    int NextPageIndex() const { return page; }
    Step TakeReply(const ServiceReply& reply, const QDateTime& now = QDateTime::currentDateTimeUtc());
    int RetryDelayMs() const { return retryDelayMs; }

    // 1 to the depth; 0 when the entry is not among the first depth results.
    int Position() const { return position; }
    // The first ten results' addresses.
    const QStringList& Top10() const { return top10; }
    // Collection: every distinct site's first result address, in result order, up to the depth.
    const QStringList& Sites() const { return sites; }
    const std::optional<SourceFailure>& Failure() const { return failure; }
    int Depth() const { return depth; }
    int PagesRead() const { return page; }

private:
    Step Read(const SearchPage& results);

    const SearchService& service;
    const QString keyword;
    const Market market;
    const int depth;
    const Purpose purpose;
    const SearchTarget target;
    int page = 0;
    int counted = 0; // organic results on the pages read so far
    bool retried = false;
    int retryDelayMs = 0;
    int position = 0;
    QStringList top10;
    QStringList sites;
    QSet<QString> seenResults;
    QSet<QString> seenSites;
    std::optional<SourceFailure> failure;
};
