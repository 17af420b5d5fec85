#pragma once
// openpagerank: GET {endpoint}?domains[]=a&domains[]=b... (up to 100 domains a request) with the
// header API-OPR; the value is page_rank_integer (0 to 10), an item of status 404 is "not
// ranked", a reply whose own status_code is not 200, or an HTTP error, fails every domain asked.
// It sends nothing itself.

#include "sources/SourceFailure.h"
#include "sources/SourceSettings.h"
#include "web/ServiceExchange.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

#include <optional>

struct AuthorityValue {
    enum class Kind { Value, NotRanked, Failed };
    Kind Outcome = Kind::Failed;
    int PageRank = 0; // 0 to 10, for a Value
    std::optional<SourceFailure> Failure;
};

// The domain asked for an address: its host, lower-cased, without "www.".
QString AuthorityDomain(const QString& address);

class OpenPageRank {
public:
    static constexpr int MostDomains = 100;

    explicit OpenPageRank(const AuthoritySourceSettings& settings);

    // The distinct domains in order, in batches of at most MostDomains.
    static QList<QStringList> Batches(const QStringList& domains);
    ServiceRequest BatchRequest(const QStringList& domains) const;
    // One value per domain asked, in the same order.
    QList<AuthorityValue> ReadBatch(const QStringList& domains, const ServiceReply& reply,
                                    const QDateTime& now = QDateTime::currentDateTimeUtc()) const;

private:
    const QString key;
    const QString endpoint;
};
