// serper's request and reply.

#include "sources/SerperSearch.h"

#include <QJsonDocument>

using namespace Qt::StringLiterals;

ServiceRequest SerperSearch::PageRequest(const QString& keyword, const Market& market, int page) const
{
    QNetworkRequest request(Address({}));
    request.setRawHeader("X-API-KEY", key.toLatin1());
    request.setRawHeader("Content-Type", "application/json");
    // The service counts its pages from 1.
    QJsonObject body{{u"q"_s, keyword}, {u"num"_s, PageSize()}, {u"page"_s, page + 1}};
    for (const auto& [name, value] :
         {std::pair{u"gl"_s, market.Country}, {u"hl"_s, market.Language}, {u"location"_s, market.Location}}) {
        if (!value.isEmpty())
            body.insert(name, value);
    }
    return {"POST", request, QJsonDocument(body).toJson(QJsonDocument::Compact)};
}

SearchPage SerperSearch::ReadResults(const QJsonObject& reply) const
{
    return ResultsOf(reply.value(u"organic"_s), u"link"_s);
}
