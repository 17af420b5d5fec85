// The replicas of today's data services; every result comes from the generated search results.

#include "ServiceReplicas.h"

#include "FakeWeb.h"
#include "PageGenerator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

namespace {

using namespace Qt::StringLiterals;

// Every value of a query parameter, decoded as a form would be ("+" is a blank).
QStringList QueryValues(const QUrl& url, const QString& key)
{
    QStringList values;
    const QStringList pairs = url.query(QUrl::FullyEncoded).split(u'&', Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        const qsizetype equals = pair.indexOf(u'=');
        const auto decoded = [](QString text) {
            text.replace(u'+', u' ');
            return QUrl::fromPercentEncoding(text.toUtf8());
        };
        if (decoded(pair.left(equals)) == key)
            values.append(equals < 0 ? QString() : decoded(pair.mid(equals + 1)));
    }
    return values;
}

QString QueryValue(const QUrl& url, const QString& key)
{
    return QueryValues(url, key).value(0);
}

CannedReply Json(int status, const QJsonObject& body)
{
    CannedReply reply;
    reply.Status = status;
    reply.ContentType = "application/json; charset=utf-8";
    reply.Body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    return reply;
}

CannedReply Text(int status, const QByteArray& body)
{
    CannedReply reply;
    reply.Status = status;
    reply.ContentType = "text/html; charset=utf-8";
    reply.Body = body;
    return reply;
}

CannedReply RateLimited(const QByteArray& seconds)
{
    CannedReply reply = Json(429, QJsonObject{{u"error"_s, u"Too many requests."_s}});
    reply.Headers.append({"Retry-After", seconds});
    return reply;
}

// One result of a keyword, as every search replica shows it.
struct Result {
    QString Link;
    QString Title;
    QString Snippet;
};

QList<Result> Results(const QString& keyword, int first, int count)
{
    QList<Result> results;
    const int end = qMin(first + count, GeneratedResultCount(keyword));
    for (int index = first; index < end; ++index) {
        const QString host = GeneratedResultHost(keyword, index);
        results.append({u"http://"_s + host + u'/', host.mid(4) + u" - "_s + keyword,
                        u"All about "_s + keyword + u" at "_s + host + u'.'});
    }
    return results;
}

// The errors that every search replica gives alike; nothing for an ordinary request.
std::optional<CannedReply> CommonError(QSet<QString>& rateLimited, const QString& service, const QString& keyword)
{
    if (keyword == u"malformed"_s)
        return Text(200, "{\"organic\": [ this is not json");
    if (keyword == u"rate-limit-long"_s)
        return RateLimited("120");
    if (keyword == u"rate-limit"_s && !rateLimited.contains(service)) {
        rateLimited.insert(service);
        return RateLimited("1");
    }
    return std::nullopt;
}

bool BadKey(const QByteArray& key)
{
    return key.isEmpty() || key == "bad-key";
}

// Pages hold ten results, page counts from 0.
CannedReply SerpApi(QSet<QString>& rateLimited, const RecordedRequest& request)
{
    const QUrl url(request.Url);
    if (BadKey(QueryValue(url, u"api_key"_s).toUtf8()))
        return Json(
            401, {{u"error"_s, u"Invalid API key. Your API key should be here: https://serpapi.com/manage-api-key"_s}});
    const QString keyword = QueryValue(url, u"q"_s).simplified();
    if (std::optional<CannedReply> error = CommonError(rateLimited, u"serpapi"_s, keyword))
        return *error;
    if (keyword == u"no-results"_s)
        return Json(200, {{u"error"_s, u"Google hasn't returned any results for this query."_s}});
    const int start = QueryValue(url, u"start"_s).toInt();
    const int num = qBound(1, QueryValue(url, u"num"_s).toInt(), 100);
    const QList<Result> results = keyword == u"fully-empty"_s ? QList<Result>() : Results(keyword, start, num);
    if (results.isEmpty())
        return Json(200, {{u"search_information"_s, QJsonObject{{u"organic_results_state"_s, u"Fully empty"_s}}}});
    QJsonArray organic;
    for (qsizetype n = 0; n < results.size(); ++n) {
        QJsonObject item{{u"position"_s, int(n + 1)},
                         {u"title"_s, results.at(n).Title},
                         {u"snippet"_s, results.at(n).Snippet},
                         {u"displayed_link"_s, results.at(n).Link}};
        if (!(keyword == u"no-address"_s && n == 0))
            item.insert(u"link"_s, results.at(n).Link);
        organic.append(item);
    }
    // An answer box and an advert, which count as no position.
    return Json(200,
                {{u"search_information"_s, QJsonObject{{u"organic_results_state"_s, u"Results for exact spelling"_s}}},
                 {u"answer_box"_s, QJsonObject{{u"link"_s, u"http://answers.example/"_s}}},
                 {u"ads"_s, QJsonArray{QJsonObject{{u"link"_s, u"http://advert.example/"_s}}}},
                 {u"organic_results"_s, organic}});
}

CannedReply Serper(QSet<QString>& rateLimited, const RecordedRequest& request)
{
    if (BadKey(request.Header("X-API-KEY")))
        return Json(403, {{u"message"_s, u"Unauthorized."_s}, {u"statusCode"_s, 403}});
    if (request.Method != "POST")
        return Json(405, {{u"message"_s, u"Method not allowed."_s}});
    const QJsonObject asked = QJsonDocument::fromJson(request.Body).object();
    const QString keyword = asked.value(u"q"_s).toString().simplified();
    if (std::optional<CannedReply> error = CommonError(rateLimited, u"serper"_s, keyword))
        return *error;
    const int page = qMax(1, asked.value(u"page"_s).toInt(1));
    const int num = qBound(1, asked.value(u"num"_s).toInt(10), 100);
    QJsonArray organic;
    if (keyword != u"fully-empty"_s) {
        const QList<Result> results = Results(keyword, (page - 1) * num, num);
        for (qsizetype n = 0; n < results.size(); ++n) {
            QJsonObject item{
                {u"title"_s, results.at(n).Title}, {u"snippet"_s, results.at(n).Snippet}, {u"position"_s, int(n + 1)}};
            if (!(keyword == u"no-address"_s && n == 0))
                item.insert(u"link"_s, results.at(n).Link);
            organic.append(item);
        }
    }
    return Json(200, {{u"searchParameters"_s, asked}, {u"organic"_s, organic}});
}

// Twenty results a page; the offset is the page's index, 0 to 9.
CannedReply Brave(QSet<QString>& rateLimited, const RecordedRequest& request)
{
    const QUrl url(request.Url);
    if (BadKey(request.Header("X-Subscription-Token")))
        return Json(401, {{u"type"_s, u"ErrorResponse"_s},
                          {u"error"_s, QJsonObject{{u"code"_s, u"SUBSCRIPTION_TOKEN_INVALID"_s}}}});
    const QString keyword = QueryValue(url, u"q"_s).simplified();
    if (std::optional<CannedReply> error = CommonError(rateLimited, u"brave"_s, keyword))
        return *error;
    const int count = QueryValue(url, u"count"_s).toInt();
    const int offset = QueryValue(url, u"offset"_s).toInt();
    if (count < 1 || count > 20 || offset < 0 || offset > 9)
        return Json(422, {{u"type"_s, u"ErrorResponse"_s}, {u"error"_s, QJsonObject{{u"code"_s, u"VALIDATION"_s}}}});
    QJsonObject reply{{u"type"_s, u"search"_s}, {u"query"_s, QJsonObject{{u"original"_s, keyword}}}};
    const QList<Result> results =
        keyword == u"fully-empty"_s ? QList<Result>() : Results(keyword, offset * count, count);
    if (!results.isEmpty()) {
        QJsonArray items;
        for (qsizetype n = 0; n < results.size(); ++n) {
            QJsonObject item{{u"title"_s, results.at(n).Title}, {u"description"_s, results.at(n).Snippet}};
            if (!(keyword == u"no-address"_s && n == 0))
                item.insert(u"url"_s, results.at(n).Link);
            items.append(item);
        }
        reply.insert(u"web"_s, QJsonObject{{u"type"_s, u"search"_s}, {u"results"_s, items}});
    }
    return Json(200, reply);
}

// Fifteen merged results a page; the page counts from 1.
CannedReply Searxng(QSet<QString>& rateLimited, const RecordedRequest& request)
{
    const QUrl url(request.Url);
    const QString keyword = QueryValue(url, u"q"_s).simplified();
    if (keyword == u"json-disabled"_s)
        return Text(403, "<html><body><h1>403 Forbidden</h1></body></html>");
    if (std::optional<CannedReply> error = CommonError(rateLimited, u"searxng:"_s + url.host(), keyword))
        return *error;
    constexpr int perPage = 15;
    const int page = qMax(1, QueryValue(url, u"pageno"_s).toInt());
    QJsonArray items;
    QJsonArray unresponsive;
    if (keyword == u"captcha"_s) {
        unresponsive.append(QJsonArray{u"google"_s, u"CAPTCHA"_s});
    } else if (keyword != u"fully-empty"_s) {
        const QList<Result> results = Results(keyword, (page - 1) * perPage, perPage);
        for (qsizetype n = 0; n < results.size(); ++n) {
            QJsonObject item{{u"title"_s, results.at(n).Title},
                             {u"content"_s, results.at(n).Snippet},
                             {u"engine"_s, u"duckduckgo"_s},
                             {u"positions"_s, QJsonArray{int(n + 1)}}};
            if (!(keyword == u"no-address"_s && n == 0))
                item.insert(u"url"_s, results.at(n).Link);
            items.append(item);
        }
    }
    return Json(200, {{u"query"_s, keyword},
                      {u"number_of_results"_s, 0},
                      {u"results"_s, items},
                      {u"unresponsive_engines"_s, unresponsive}});
}

CannedReply OpenPageRank(QSet<QString>& rateLimited, const RecordedRequest& request)
{
    if (BadKey(request.Header("API-OPR")))
        return Json(401, {{u"status_code"_s, 401}, {u"error"_s, u"Unauthorized"_s}});
    const QStringList domains = QueryValues(QUrl(request.Url), u"domains[]"_s);
    if (domains.contains(u"rate-limit.example"_s) && !rateLimited.contains(u"openpagerank"_s)) {
        rateLimited.insert(u"openpagerank"_s);
        return RateLimited("1");
    }
    if (domains.isEmpty() || domains.size() > 100)
        return Json(200, {{u"status_code"_s, 400}, {u"error"_s, u"Give between 1 and 100 domains."_s}});
    QJsonArray response;
    for (const QString& domain : domains) {
        if (domain.endsWith(u".unknown"_s)) {
            response.append(QJsonObject{{u"status_code"_s, 404},
                                        {u"error"_s, u"Domain not found"_s},
                                        {u"page_rank_integer"_s, 0},
                                        {u"page_rank_decimal"_s, 0},
                                        {u"rank"_s, QJsonValue::Null},
                                        {u"domain"_s, domain}});
            continue;
        }
        const quint32 print = GeneratedFingerprint(domain);
        const int rank = int(print % 11);
        response.append(QJsonObject{{u"status_code"_s, 200},
                                    {u"error"_s, u""_s},
                                    {u"page_rank_integer"_s, rank},
                                    {u"page_rank_decimal"_s, rank - 0.37 * (rank > 0)},
                                    {u"rank"_s, QString::number(1 + print % 5000000)},
                                    {u"domain"_s, domain}});
    }
    return Json(200, {{u"status_code"_s, 200}, {u"response"_s, response}, {u"last_updated"_s, u"1st Jan 2026"_s}});
}

} // namespace

std::optional<CannedReply> ServiceReplicas::Answer(const RecordedRequest& request)
{
    const QUrl url(request.Url);
    const QString host = url.host().toLower();
    const QString path = url.path();
    if (host == u"serpapi.com"_s && path == u"/search.json"_s)
        return SerpApi(rateLimited, request);
    if (host == u"google.serper.dev"_s && path == u"/search"_s)
        return Serper(rateLimited, request);
    if (host == u"api.search.brave.com"_s && path == u"/res/v1/web/search"_s)
        return Brave(rateLimited, request);
    if (host == u"openpagerank.com"_s && path == u"/api/v1.0/getPageRank"_s)
        return OpenPageRank(rateLimited, request);
    if (path.endsWith(u"/search"_s) && QueryValue(url, u"format"_s) == u"json"_s)
        return Searxng(rateLimited, request);
    return std::nullopt;
}

QString AddressForLog(const QString& address)
{
    QUrl url(address);
    QUrlQuery query(url);
    QList<std::pair<QString, QString>> items = query.queryItems(QUrl::FullyEncoded);
    bool hidden = false;
    for (auto& [key, value] : items) {
        const QString name = key.toLower();
        if (name == u"api_key"_s || name == u"key"_s || name == u"token"_s || name == u"apikey"_s) {
            value = u"hidden"_s;
            hidden = true;
        }
    }
    if (!hidden)
        return address;
    query.setQueryItems(items);
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}
