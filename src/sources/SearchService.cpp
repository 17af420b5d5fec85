// What the search services share: the reply's status and JSON checks, the endpoint, the factory.

#include "sources/SearchService.h"

#include "sources/BraveSearch.h"
#include "sources/SearxngSearch.h"
#include "sources/SerpApiSearch.h"
#include "sources/SerperSearch.h"
#include "sources/ServiceReplyCheck.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

SearchService::SearchService(SearchSourceKind kind, const SearchSourceSettings& settings)
    : kind(kind), key(settings.Key), endpoint(settings.Endpoint.isEmpty() ? DefaultEndpoint(kind) : settings.Endpoint)
{}

SearchPage SearchService::ReadPage(const ServiceReply& reply, const QDateTime& now) const
{
    SearchPage page;
    if (std::optional<SourceFailure> failure = StatusFailure(reply, ServiceMessage(reply.Body), now)) {
        page.Failure = failure;
        ExplainStatus(*page.Failure);
    } else {
        auto object = JsonObjectOf(reply.Body);
        if (const SourceFailure* failed = std::get_if<SourceFailure>(&object))
            page.Failure = *failed;
        else
            page = ReadResults(std::get<QJsonObject>(object));
    }
    if (page.Failure)
        page.Failure->Reason = WithoutKey(page.Failure->Reason, key);
    return page;
}

QUrl SearchService::Address(const QString& query) const
{
    return EndpointWithQuery(endpoint, query);
}

std::unique_ptr<SearchService> MakeSearchService(const SearchSourceSettings& settings)
{
    switch (settings.Kind) {
    case SearchSourceKind::Historical:
        return nullptr;
    case SearchSourceKind::SerpApi:
        return std::make_unique<SerpApiSearch>(settings);
    case SearchSourceKind::Serper:
        return std::make_unique<SerperSearch>(settings);
    case SearchSourceKind::Brave:
        return std::make_unique<BraveSearch>(settings);
    case SearchSourceKind::Searxng:
        return std::make_unique<SearxngSearch>(settings);
    }
    Q_UNREACHABLE();
}

QString MarketFieldName(MarketField field)
{
    switch (field) {
    case MarketField::Country:
        return u"country"_s;
    case MarketField::Device:
        return u"device"_s;
    case MarketField::Location:
        return u"location"_s;
    }
    Q_UNREACHABLE();
}

QList<MarketField> UnofferedMarketFields(SearchSourceKind kind, const Market& market)
{
    // Every source sends the language.
    bool sendsCountry = true;
    bool sendsDevice = false;
    bool sendsLocation = false;
    switch (kind) {
    case SearchSourceKind::SerpApi:
        sendsDevice = sendsLocation = true;
        break;
    case SearchSourceKind::Serper:
        sendsLocation = true;
        break;
    case SearchSourceKind::Searxng:
        // The instance takes the country only as the region of a language ("fr-FR").
        sendsCountry = !market.Language.isEmpty();
        break;
    case SearchSourceKind::Brave:
    case SearchSourceKind::Historical:
        break;
    }
    QList<MarketField> fields;
    if (!sendsCountry && !market.Country.isEmpty())
        fields.append(MarketField::Country);
    if (!sendsDevice && !market.Device.isEmpty())
        fields.append(MarketField::Device);
    if (!sendsLocation && !market.Location.isEmpty())
        fields.append(MarketField::Location);
    return fields;
}

SearchPage ResultsOf(const QJsonValue& items, const QString& urlField)
{
    SearchPage page;
    if (!items.isArray()) {
        page.Failure = WrongShapeFailure();
        return page;
    }
    for (const QJsonValue& item : items.toArray()) {
        const QString url = item.toObject().value(urlField).toString().trimmed();
        if (url.isEmpty()) {
            page.Organic.clear();
            page.Failure = SourceFailure{FailureKind::NoAddress, u"a result without an address"_s, 200, -1};
            return page;
        }
        page.Organic.append({url, item.toObject().value(u"title"_s).toString()});
    }
    return page;
}
