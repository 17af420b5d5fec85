#pragma once
// Replicas of today's data services: three search result services, a metasearch instance and an
// authority service, answering from the same stable sites per keyword as the generated search
// pages, and with each error a test or the demo can ask for.
//
// Asked by host and path: serpapi.com/search.json, google.serper.dev/search (POST),
// api.search.brave.com/res/v1/web/search, openpagerank.com/api/v1.0/getPageRank, and any host's
// /search?format=json (the metasearch instance). The errors:
//   key "bad-key" (or none)     401 (403 from the serper replica and the instance)
//   keyword "rate-limit"        429 with "Retry-After: 1", once per service; then the results
//   keyword "rate-limit-long"   429 with "Retry-After: 120", every time
//   keyword "fully-empty"       no results, each service in its own way
//   keyword "no-results"        serpapi's error text for a query without results
//   keyword "malformed"         a body that is not JSON
//   keyword "no-address"        a first result without its address
//   keyword "captcha"           the instance's engines refused with a CAPTCHA
//   keyword "json-disabled"     the instance answers 403: its json format is off
//   domain "*.unknown"          an authority item with status 404 ("Domain not found")
//   domain "rate-limit.example" the authority reply 429 with "Retry-After: 1", once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>
#include <utility>

struct CannedReply;
struct RecordedRequest;

class ServiceReplicas {
public:
    // The reply of the replica the request is for; nothing when it is for none of them.
    std::optional<CannedReply> Answer(const RecordedRequest& request);

private:
    // The services that have given their one 429 to a "rate-limit" request.
    QSet<QString> rateLimited;
};

// The address as a log line shows it: the values of key parameters ("api_key", "key", "token")
// are hidden.
QString AddressForLog(const QString& url);
