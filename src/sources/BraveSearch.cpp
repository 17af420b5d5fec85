// brave's request and reply.

#include "sources/BraveSearch.h"

#include "web/ServiceAddresses.h"

using namespace Qt::StringLiterals;

ServiceRequest BraveSearch::PageRequest(const QString& keyword, const Market& market, int page) const
{
    QNetworkRequest request(
        // The service writes its country codes in capitals.
        Address(u"q="_s + SearchQueryValue(keyword) + u"&count=%1&offset=%2"_s.arg(PageSize()).arg(page) +
                QueryItemsText({{u"country"_s, market.Country.toUpper()}, {u"search_lang"_s, market.Language}})));
    request.setRawHeader("X-Subscription-Token", key.toLatin1());
    request.setRawHeader("Accept", "application/json");
    return {"GET", request, {}};
}

SearchPage BraveSearch::ReadResults(const QJsonObject& reply) const
{
    // A search without results comes without its web block.
    if (!reply.contains(u"web"_s) && reply.value(u"type"_s).toString() == u"search"_s)
        return {};
    return ResultsOf(reply.value(u"web"_s).toObject().value(u"results"_s), u"url"_s);
}
