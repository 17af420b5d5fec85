// serpapi's request and reply.

#include "sources/SerpApiSearch.h"

#include "web/ServiceAddresses.h"

#include <QHash>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// The engine's own domain of a country, from the service's list of the Google domains it supports;
// only countries whose domain is sure are here. Another country is searched on the default domain,
// still localised by its gl.
QString GoogleDomain(const QString& country)
{
    static const QHash<QString, QString> domains{
        {u"at"_s, u"google.at"_s},     {u"au"_s, u"google.com.au"_s}, {u"be"_s, u"google.be"_s},
        {u"br"_s, u"google.com.br"_s}, {u"ca"_s, u"google.ca"_s},     {u"ch"_s, u"google.ch"_s},
        {u"de"_s, u"google.de"_s},     {u"es"_s, u"google.es"_s},     {u"fr"_s, u"google.fr"_s},
        {u"gb"_s, u"google.co.uk"_s},  {u"in"_s, u"google.co.in"_s},  {u"it"_s, u"google.it"_s},
        {u"jp"_s, u"google.co.jp"_s},  {u"nl"_s, u"google.nl"_s},     {u"us"_s, u"google.com"_s},
    };
    return domains.value(country);
}

} // namespace

ServiceRequest SerpApiSearch::PageRequest(const QString& keyword, const Market& market, int page) const
{
    const QString query = u"engine=google&q="_s + SearchQueryValue(keyword) +
                          u"&start=%1&num=%2&api_key="_s.arg(page * PageSize()).arg(PageSize()) +
                          QString::fromLatin1(QUrl::toPercentEncoding(key)) +
                          QueryItemsText({{u"gl"_s, market.Country},
                                          {u"hl"_s, market.Language},
                                          {u"location"_s, market.Location},
                                          {u"device"_s, market.Device},
                                          {u"google_domain"_s, GoogleDomain(market.Country)}});
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
