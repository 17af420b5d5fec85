// serpapi's request and reply.

#include "sources/SerpApiSearch.h"

#include "web/ServiceAddresses.h"

#include <QUrl>

using namespace Qt::StringLiterals;

ServiceRequest SerpApiSearch::PageRequest(const QString& keyword, int page) const
{
    const QString query = u"engine=google&q="_s + SearchQueryValue(keyword) +
                          u"&start=%1&num=%2&api_key="_s.arg(page * PageSize()).arg(PageSize()) +
                          QString::fromLatin1(QUrl::toPercentEncoding(key));
    return {"GET", QNetworkRequest(Address(query)), {}};
}

SearchPage SerpApiSearch::ReadResults(const QJsonObject& reply) const
{
    // Both of these mean that the query has no results, not that the service failed.
    const QString error = reply.value(u"error"_s).toString();
    if (error == u"Google hasn't returned any results for this query."_s ||
        reply.value(u"search_information"_s).toObject().value(u"organic_results_state"_s).toString() ==
            u"Fully empty"_s)
        return {};
    if (!error.isEmpty())
        return {{},
                SourceFailure{FailureKind::Refused, u"the service said: "_s + error.simplified().left(200), 200, -1}};
    return ResultsOf(reply.value(u"organic_results"_s), u"link"_s);
}
