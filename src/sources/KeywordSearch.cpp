// One keyword's pages through a search service: positions, the TOP 10, the sites, and when to stop.

#include "sources/KeywordSearch.h"

#include "sources/ServiceReplyCheck.h"
#include "web/NormaliseURL.h"

#include <QUrl>

using namespace Qt::StringLiterals;

QString HostWithoutWww(const QString& address)
{
    QString host = NormalisedHost(address.trimmed()).toLower();
    // A port or a user part is no part of the site's name.
    host = host.mid(host.lastIndexOf(u'@') + 1);
    if (const qsizetype colon = host.indexOf(u':'); colon >= 0)
        host.truncate(colon);
    if (host.startsWith(u"www."_s))
        host.remove(0, 4);
    return host;
}

bool IsTargetResult(const SearchTarget& target, const SearchResultItem& result)
{
    const QString host = HostWithoutWww(target.URL);
    if (!host.isEmpty() && HostWithoutWww(result.Url) == host)
        return true;
    const QString product = target.Product.trimmed();
    return !product.isEmpty() && result.Title.contains(product, Qt::CaseInsensitive);
}

KeywordSearch::KeywordSearch(const SearchService& service, QString keyword, Market market, int depth, Purpose purpose,
                             SearchTarget target)
    : service(service), keyword(std::move(keyword)), market(std::move(market)), depth(depth), purpose(purpose),
      target(std::move(target))
{}

KeywordSearch::Step KeywordSearch::TakeReply(const ServiceReply& reply, const QDateTime& now)
{
    const SearchPage results = service.ReadPage(reply, now);
    if (results.Failure) {
        if (const std::optional<int> delay = ::RetryDelayMs(*results.Failure, retried)) {
            retried = true;
            retryDelayMs = *delay;
            return Step::Retry;
        }
        failure = results.Failure;
        return Step::Failed;
    }
    return Read(results);
}

KeywordSearch::Step KeywordSearch::Read(const SearchPage& results)
{
    ++page;
    bool anythingNew = false;
    for (qsizetype index = 0; index < results.Organic.size(); ++index) {
        const int at = counted + int(index) + 1;
        if (at > depth)
            break;
        const SearchResultItem& result = results.Organic.at(index);
        if (!seenResults.contains(result.Url)) {
            seenResults.insert(result.Url);
            if (purpose == Purpose::Position)
                anythingNew = true;
        }
        if (top10.size() < 10)
            top10.append(result.Url);
        if (purpose == Purpose::Collection) {
            // Sites are told apart as the site list always has: by their normalised address.
            const QString site = NormaliseURL(result.Url);
            if (!seenSites.contains(site)) {
                seenSites.insert(site);
                sites.append(result.Url);
                anythingNew = true;
            }
        } else if (position == 0 && IsTargetResult(target, result)) {
            position = at;
        }
    }
    counted += int(results.Organic.size());
    if (position > 0 || !anythingNew || counted >= depth || page >= service.MaxPages(depth))
        return Step::Done;
    return Step::NextPage;
}
