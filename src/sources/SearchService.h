#pragma once
// A search source of today's web: it builds the request for one page of a keyword's results and
// reads the reply into the page's organic results, no results, or a failure. It sends nothing
// itself; the caller sends through the download control, paced by the request driver.

#include "model/Market.h"
#include "sources/SourceFailure.h"
#include "sources/SourceSettings.h"
#include "web/ServiceExchange.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

struct SearchResultItem {
    QString Url;
    QString Title;
};

// One page read: its organic results in the service's order (ads, answer boxes, news and video
// blocks left out), none at all, or the failure.
struct SearchPage {
    QList<SearchResultItem> Organic;
    std::optional<SourceFailure> Failure;
};

class SearchService {
public:
    virtual ~SearchService() = default;

    SearchSourceKind Kind() const { return kind; }
    // The results a page holds at most.
    virtual int PageSize() const = 0;
    // The pages asked at most to reach depth results.
    virtual int MaxPages(int depth) const { return (depth + PageSize() - 1) / PageSize(); }
    // The request of page (from 0) of the keyword's results in the market, with the fields of the
    // market the service takes (UnofferedMarketFields tells the others); a field left empty is not sent.
    virtual ServiceRequest PageRequest(const QString& keyword, const Market& market, int page) const = 0;
    // Reads a reply; a failure's reason never holds the key.
    SearchPage ReadPage(const ServiceReply& reply, const QDateTime& now = QDateTime::currentDateTimeUtc()) const;

protected:
    SearchService(SearchSourceKind kind, const SearchSourceSettings& settings);
    // The results of a reply of status 2xx whose body is a JSON object.
    virtual SearchPage ReadResults(const QJsonObject& reply) const = 0;
    // A service may say more about what an error status means for it.
    virtual void ExplainStatus(SourceFailure&) const {}
    // The endpoint with query appended (to any query of its own).
    QUrl Address(const QString& query) const;

    const SearchSourceKind kind;
    const QString key;
    const QString endpoint;
};

// The service of the settings; nullptr for the historical source, which reads result pages.
std::unique_ptr<SearchService> MakeSearchService(const SearchSourceSettings& settings);

// A field of a keyword's market that some source cannot send; every source sends the language.
enum class MarketField { Country, Device, Location };
// "country", "device", "location"
QString MarketFieldName(MarketField field);
// The fields the market asks for that the source of kind cannot send, in the market's order: the
// service then answers them with its own default.
QList<MarketField> UnofferedMarketFields(SearchSourceKind kind, const Market& market);

// The results of a JSON array whose items hold their address in urlField; a failure when it is not
// an array, or when an item has no address (the positions after it could not be counted).
SearchPage ResultsOf(const QJsonValue& items, const QString& urlField);
