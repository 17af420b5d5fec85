// searxng's request and reply.

#include "sources/SearxngSearch.h"

#include "web/ServiceAddresses.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

ServiceRequest SearxngSearch::PageRequest(const QString& keyword, const Market& market, int page) const
{
    const QString language = market.Language.isEmpty() || market.Country.isEmpty()
                                 ? market.Language
                                 : market.Language + u'-' + market.Country.toUpper();
    // The instance counts its pages from 1.
    return {"GET",
            QNetworkRequest(Address(u"q="_s + SearchQueryValue(keyword) + u"&format=json&pageno=%1"_s.arg(page + 1) +
                                    QueryItemsText({{u"language"_s, language}}))),
            {}};
}

SearchPage SearxngSearch::ReadResults(const QJsonObject& reply) const
{
    // An engine that was refused leaves a gap in the merged order: the positions would be wrong.
    for (const QJsonValue& engine : reply.value(u"unresponsive_engines"_s).toArray()) {
        const QJsonArray pair = engine.toArray();
        const QString why = pair.at(1).toString();
        if (why.contains(u"captcha"_s, Qt::CaseInsensitive) ||
            why.contains(u"too many requests"_s, Qt::CaseInsensitive))
            return {{},
                    SourceFailure{FailureKind::Refused,
                                  u"the instance's engine %1 was refused (%2)"_s.arg(pair.at(0).toString(), why), 200,
                                  -1}};
    }
    return ResultsOf(reply.value(u"results"_s), u"url"_s);
}

void SearxngSearch::ExplainStatus(SourceFailure& failure) const
{
    if (failure.HttpStatus == 403)
        failure.Reason = JsonFormatOffText;
}
