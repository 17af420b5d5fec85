// serper's request and reply.

#include "sources/SerperSearch.h"

#include <QJsonDocument>

using namespace Qt::StringLiterals;

ServiceRequest SerperSearch::PageRequest(const QString& keyword, int page) const
{
    QNetworkRequest request(Address({}));
    request.setRawHeader("X-API-KEY", key.toLatin1());
    request.setRawHeader("Content-Type", "application/json");
    // The service counts its pages from 1.
    const QJsonObject body{{u"q"_s, keyword}, {u"num"_s, PageSize()}, {u"page"_s, page + 1}};
    return {"POST", request, QJsonDocument(body).toJson(QJsonDocument::Compact)};
}

SearchPage SerperSearch::ReadResults(const QJsonObject& reply) const
{
    return ResultsOf(reply.value(u"organic"_s), u"link"_s);
}
