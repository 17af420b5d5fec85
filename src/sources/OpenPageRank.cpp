// openpagerank's batched request and its reply, item by item.

#include "sources/OpenPageRank.h"

#include "sources/KeywordSearch.h"
#include "sources/ServiceReplyCheck.h"

#include <QHash>
#include <QJsonArray>
#include <QUrl>

using namespace Qt::StringLiterals;

QString AuthorityDomain(const QString& address)
{
    return HostWithoutWww(address);
}

OpenPageRank::OpenPageRank(const AuthoritySourceSettings& settings)
    : key(settings.Key),
      endpoint(settings.Endpoint.isEmpty() ? DefaultEndpoint(AuthoritySourceKind::OpenPageRank) : settings.Endpoint)
{}

QList<QStringList> OpenPageRank::Batches(const QStringList& domains)
{
    QList<QStringList> batches;
    QSet<QString> seen;
    for (const QString& domain : domains) {
        if (domain.isEmpty() || seen.contains(domain))
            continue;
        seen.insert(domain);
        if (batches.isEmpty() || batches.last().size() == MostDomains)
            batches.append(QStringList());
        batches.last().append(domain);
    }
    return batches;
}

ServiceRequest OpenPageRank::BatchRequest(const QStringList& domains) const
{
    QStringList items;
    for (const QString& domain : domains)
        items.append(u"domains[]="_s + QString::fromLatin1(QUrl::toPercentEncoding(domain)));
    QNetworkRequest request(EndpointWithQuery(endpoint, items.join(u'&')));
    request.setRawHeader("API-OPR", key.toLatin1());
    return {"GET", request, {}};
}

QList<AuthorityValue> OpenPageRank::ReadBatch(const QStringList& domains, const ServiceReply& reply,
                                              const QDateTime& now) const
{
    const auto allFailed = [&](SourceFailure failure) {
        failure.Reason = WithoutKey(failure.Reason, key);
        return QList<AuthorityValue>(domains.size(), AuthorityValue{AuthorityValue::Kind::Failed, 0, failure});
    };
    if (std::optional<SourceFailure> failure = StatusFailure(reply, ServiceMessage(reply.Body), now))
        return allFailed(*failure);
    auto parsed = JsonObjectOf(reply.Body);
    if (const SourceFailure* failed = std::get_if<SourceFailure>(&parsed))
        return allFailed(*failed);
    const QJsonObject object = std::get<QJsonObject>(parsed);
    const int status = object.value(u"status_code"_s).toInt();
    if (status != 200) {
        const QString message = object.value(u"error"_s).toString().simplified().left(200);
        return allFailed({status == 401 || status == 403 ? FailureKind::BadKey
                          : status == 429                ? FailureKind::RateLimited
                                                         : FailureKind::Refused,
                          u"the service answered with status %1%2"_s.arg(status).arg(
                              message.isEmpty() ? QString() : u": "_s + message),
                          reply.HttpStatus, -1});
    }
    if (!object.value(u"response"_s).isArray())
        return allFailed(WrongShapeFailure(reply.HttpStatus));

    QHash<QString, AuthorityValue> byDomain;
    for (const QJsonValue& value : object.value(u"response"_s).toArray()) {
        const QJsonObject item = value.toObject();
        const QString domain = item.value(u"domain"_s).toString().toLower();
        const int itemStatus = item.value(u"status_code"_s).toInt();
        const QJsonValue rank = item.value(u"page_rank_integer"_s);
        AuthorityValue result;
        if (itemStatus == 404) {
            result.Outcome = AuthorityValue::Kind::NotRanked;
        } else if (itemStatus == 200 && rank.isDouble() && rank.toDouble() >= 0 && rank.toDouble() <= 10 &&
                   rank.toDouble() == double(rank.toInt())) {
            result.Outcome = AuthorityValue::Kind::Value;
            result.PageRank = rank.toInt();
        } else {
            result.Failure =
                SourceFailure{itemStatus == 200 ? FailureKind::WrongShape : FailureKind::Refused,
                              itemStatus == 200 ? u"a rank that is not a whole number from 0 to 10"_s
                                                : u"the service answered this domain with status %1"_s.arg(itemStatus),
                              reply.HttpStatus, -1};
        }
        if (!domain.isEmpty() && !byDomain.contains(domain))
            byDomain.insert(domain, result);
    }
    QList<AuthorityValue> values;
    values.reserve(domains.size());
    for (const QString& domain : domains) {
        values.append(byDomain.value(
            domain.toLower(),
            AuthorityValue{AuthorityValue::Kind::Failed, 0,
                           SourceFailure{FailureKind::WrongShape, u"the reply has no item for this domain"_s,
                                         reply.HttpStatus, -1}}));
    }
    return values;
}
