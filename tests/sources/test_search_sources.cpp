// The search sources against the fake web's replicas: the form of each request, positions across
// pages and the early stop, not found against failed, the one wait for a rate limit, and keys kept
// out of every text.

#include "PageGenerator.h"
#include "ServiceRig.h"
#include "sources/KeywordSearch.h"
#include "sources/SearxngSearch.h"
#include "support/TestHome.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

const QString Key = u"k3y-Secret-7781"_s;

SearchSourceSettings Settings(const QString& name, const QString& key = Key)
{
    SearchSourceSettings settings;
    for (const auto kind :
         {SearchSourceKind::SerpApi, SearchSourceKind::Serper, SearchSourceKind::Brave, SearchSourceKind::Searxng}) {
        if (SourceName(kind) == name)
            settings.Kind = kind;
    }
    // The fake web is a plain http proxy; any host's /search?format=json is a metasearch instance.
    settings.Endpoint = settings.Kind == SearchSourceKind::Searxng
                            ? u"http://search.home.example/search"_s
                            : DefaultEndpoint(settings.Kind).replace(u"https:"_s, u"http:"_s);
    settings.Key = settings.Kind == SearchSourceKind::Searxng ? QString() : key;
    return settings;
}

struct Outcome {
    KeywordSearch::Step Last;
    int Requests = 0;
    int RetryDelayMs = -1;
};

// Pages the search to its end the way the run does, without waiting out a retry's delay.
Outcome RunSearch(ServiceRig& rig, KeywordSearch& search)
{
    Outcome outcome{KeywordSearch::Step::NextPage};
    while (outcome.Last == KeywordSearch::Step::NextPage || outcome.Last == KeywordSearch::Step::Retry) {
        outcome.Last = search.TakeReply(rig.Exchange(search.NextRequest()));
        ++outcome.Requests;
        if (outcome.Last == KeywordSearch::Step::Retry)
            outcome.RetryDelayMs = search.RetryDelayMs();
        if (outcome.Requests > 30)
            break;
    }
    return outcome;
}

void AddServiceRows(const char* suffix, const std::function<void(QTestData&)>& more)
{
    for (const char* name : {"serpapi", "serper", "brave", "searxng"})
        more(QTest::addRow("%s%s", name, suffix) << QString::fromLatin1(name));
}

} // namespace

class TestSearchSources : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void requestForm_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QByteArray>("verb");
        QTest::addColumn<QString>("address"); // without the query
        QTest::addColumn<QString>("query");   // the query of page 2, decoded
        QTest::addColumn<QByteArray>("keyHeader");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("serpapi") << u"serpapi"_s << QByteArray("GET") << u"http://serpapi.com/search.json"_s
                                 << u"engine=google&q=blue+shoes&start=20&num=10&api_key="_s + Key << QByteArray()
                                 << QByteArray();
        QTest::newRow("serper") << u"serper"_s << QByteArray("POST") << u"http://google.serper.dev/search"_s
                                << QString() << QByteArray("X-API-KEY")
                                << QByteArray("{\"num\":10,\"page\":3,\"q\":\"blue shoes\"}");
        QTest::newRow("brave") << u"brave"_s << QByteArray("GET") << u"http://api.search.brave.com/res/v1/web/search"_s
                               << u"q=blue+shoes&count=20&offset=2"_s << QByteArray("X-Subscription-Token")
                               << QByteArray();
        QTest::newRow("searxng") << u"searxng"_s << QByteArray("GET") << u"http://search.home.example/search"_s
                                 << u"q=blue+shoes&format=json&pageno=3"_s << QByteArray() << QByteArray();
    }
    void requestForm()
    {
        QFETCH(QString, service);
        QFETCH(QByteArray, verb);
        QFETCH(QString, address);
        QFETCH(QString, query);
        QFETCH(QByteArray, keyHeader);
        QFETCH(QByteArray, body);
        ServiceRig rig;
        const auto source = MakeSearchService(Settings(service));
        const ServiceReply reply = rig.Exchange(source->PageRequest(u"blue shoes"_s, {}, 2));
        QCOMPARE(reply.HttpStatus, 200);
        QCOMPARE(rig.web.Requests().size(), 1);
        const RecordedRequest& sent = rig.web.Requests().first();
        QCOMPARE(sent.Method, verb);
        QUrl url(sent.Url);
        QCOMPARE(url.query(QUrl::FullyDecoded), query);
        url.setQuery(QString());
        QCOMPARE(url.toString(), address);
        if (!keyHeader.isEmpty())
            QCOMPARE(sent.Header(keyHeader), Key.toLatin1());
        QCOMPARE(sent.Body, body);
        if (!body.isEmpty())
            QCOMPARE(sent.Header("Content-Type"), QByteArray("application/json"));
        if (service == u"brave"_s)
            QCOMPARE(sent.Header("Accept"), QByteArray("application/json"));
        // Nothing of the key in what the control shows, nor in the address the sandbox logs.
        QVERIFY(!rig.texts.join(u'\n').contains(Key));
        QVERIFY(!AddressForLog(sent.Url).contains(Key));
    }

    // Each source sends the fields of the market it takes, in its own names and percent-encoded by
    // Qt, and nothing of an empty field; what it cannot send is named, and nothing else.
    void marketFields_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QStringList>("market"); // country, language, device, location
        QTest::addColumn<QString>("sent");       // the query after the source's own, or serper's body
        QTest::addColumn<QStringList>("unoffered");
        const QStringList full{u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s};
        const QStringList none{QString(), QString(), QString(), QString()};
        QTest::newRow("serpapi, all") << u"serpapi"_s << full
                                      << u"&gl=fr&hl=fr&location=Lyon%2C%20France&device=mobile"
                                         "&google_domain=google.fr"_s
                                      << QStringList();
        QTest::newRow("serpapi, a country of no sure domain")
            << u"serpapi"_s << QStringList{u"pt"_s, u"pt"_s, u"desktop"_s, QString()}
            << u"&gl=pt&hl=pt&device=desktop"_s << QStringList();
        QTest::newRow("serpapi, a location to encode")
            << u"serpapi"_s << QStringList{QString(), QString(), QString(), u"Saint-\u00c9tienne & Lyon"_s}
            << u"&location=Saint-%C3%89tienne%20%26%20Lyon"_s << QStringList();
        QTest::newRow("serpapi, none") << u"serpapi"_s << none << QString() << QStringList();
        QTest::newRow("serper, all") << u"serper"_s << full
                                     << u"{\"gl\":\"fr\",\"hl\":\"fr\",\"location\":\"Lyon, France\",\"num\":10,"
                                        "\"page\":1,\"q\":\"blue shoes\"}"_s
                                     << QStringList{u"device"_s};
        QTest::newRow("serper, none") << u"serper"_s << none << u"{\"num\":10,\"page\":1,\"q\":\"blue shoes\"}"_s
                                      << QStringList();
        QTest::newRow("brave, all") << u"brave"_s << full << u"&country=FR&search_lang=fr"_s
                                    << QStringList{u"device"_s, u"location"_s};
        QTest::newRow("brave, none") << u"brave"_s << none << QString() << QStringList();
        QTest::newRow("searxng, all") << u"searxng"_s << full << u"&language=fr-FR"_s
                                      << QStringList{u"device"_s, u"location"_s};
        QTest::newRow("searxng, a language alone")
            << u"searxng"_s << QStringList{QString(), u"de"_s, QString(), QString()} << u"&language=de"_s
            << QStringList();
        QTest::newRow("searxng, a country alone")
            << u"searxng"_s << QStringList{u"ch"_s, QString(), QString(), QString()} << QString()
            << QStringList{u"country"_s};
        QTest::newRow("searxng, none") << u"searxng"_s << none << QString() << QStringList();
    }
    void marketFields()
    {
        QFETCH(QString, service);
        QFETCH(QStringList, market);
        QFETCH(QString, sent);
        QFETCH(QStringList, unoffered);
        const Market asked{market.at(0), market.at(1), market.at(2), market.at(3)};
        ServiceRig rig;
        const SearchSourceSettings settings = Settings(service);
        const auto source = MakeSearchService(settings);
        rig.Exchange(source->PageRequest(u"blue shoes"_s, asked, 0));
        QCOMPARE(rig.web.Requests().size(), 1);
        const RecordedRequest& request = rig.web.Requests().first();
        if (settings.Kind == SearchSourceKind::Serper) {
            QCOMPARE(QString::fromUtf8(request.Body), sent);
            QCOMPARE(QUrl(request.Url).query(), QString());
        } else {
            const QString own = source->PageRequest(u"blue shoes"_s, {}, 0).Request.url().query(QUrl::FullyEncoded);
            QCOMPARE(QUrl(request.Url).query(QUrl::FullyEncoded), own + sent);
        }
        QStringList names;
        for (const MarketField field : UnofferedMarketFields(settings.Kind, asked))
            names << MarketFieldName(field);
        QCOMPARE(names, unoffered);
    }

    // A site at a given 0-based index of the replica's results, written as the entry would be
    // (https, without "www.").
    void positionAcrossPages_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("pages");
        const QList<std::tuple<const char*, int, int>> rows = {
            {"serpapi", 4, 1}, {"serpapi", 37, 4}, {"serpapi", 99, 10}, {"serper", 37, 4},  {"brave", 4, 1},
            {"brave", 37, 2},  {"brave", 99, 5},   {"searxng", 16, 2},  {"searxng", 99, 7},
        };
        for (const auto& [name, index, pages] : rows)
            QTest::addRow("%s at %d", name, index) << QString::fromLatin1(name) << index << pages;
    }
    void positionAcrossPages()
    {
        QFETCH(QString, service);
        QFETCH(int, index);
        QFETCH(int, pages);
        ServiceRig rig;
        const QString keyword = u"garden tools"_s;
        const auto source = MakeSearchService(Settings(service));
        const SearchTarget target{u"https://"_s + GeneratedResultHost(keyword, index).mid(4) + u"/about.html"_s, {}};
        KeywordSearch search(*source, keyword, {}, 100, KeywordSearch::Purpose::Position, target);
        const Outcome outcome = RunSearch(rig, search);
        QCOMPARE(outcome.Last, KeywordSearch::Step::Done);
        QCOMPARE(search.Position(), index + 1);
        QCOMPARE(outcome.Requests, pages);
        QCOMPARE(search.Top10().size(), 10);
        for (int n = 0; n < 10; ++n)
            QCOMPARE(search.Top10().at(n), u"http://"_s + GeneratedResultHost(keyword, n) + u'/');
    }

    void productNameInTitle()
    {
        ServiceRig rig;
        const auto source = MakeSearchService(Settings(u"serpapi"_s));
        const QString keyword = u"garden tools"_s;
        // The replica's titles read "host - keyword": the product is found in the 13th title.
        const QString product = GeneratedResultHost(keyword, 12).mid(4).section(u'.', 0, 0).toUpper();
        KeywordSearch search(*source, keyword, {}, 100, KeywordSearch::Purpose::Position,
                             {u"http://elsewhere.example/"_s, product});
        RunSearch(rig, search);
        QCOMPARE(search.Position(), 13);
    }

    void notFoundIsNoFailure_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("requests");
        const QList<std::tuple<const char*, const char*, int, int>> rows = {
            {"serpapi", "garden tools", 20, 2}, {"serper", "garden tools", 50, 5},  {"brave", "garden tools", 10, 1},
            {"searxng", "garden tools", 20, 2}, {"serpapi", "fully-empty", 100, 1}, {"serpapi", "no-results", 100, 1},
            {"serper", "fully-empty", 100, 1},  {"brave", "fully-empty", 100, 1},   {"searxng", "fully-empty", 100, 1},
        };
        for (const auto& [name, keyword, depth, requests] : rows)
            QTest::addRow("%s %s depth %d", name, keyword, depth)
                << QString::fromLatin1(name) << QString::fromLatin1(keyword) << depth << requests;
    }
    void notFoundIsNoFailure()
    {
        QFETCH(QString, service);
        QFETCH(QString, keyword);
        QFETCH(int, depth);
        QFETCH(int, requests);
        ServiceRig rig;
        const auto source = MakeSearchService(Settings(service));
        KeywordSearch search(*source, keyword, {}, depth, KeywordSearch::Purpose::Position,
                             {u"http://www.not-listed.example/"_s, {}});
        const Outcome outcome = RunSearch(rig, search);
        QCOMPARE(outcome.Last, KeywordSearch::Step::Done);
        QCOMPARE(search.Position(), 0);
        QVERIFY(!search.Failure());
        QCOMPARE(outcome.Requests, requests);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason");
        AddServiceRows(" malformed", [](QTestData& row) {
            row << Key << u"malformed"_s << int(FailureKind::Malformed) << u"not JSON"_s;
        });
        AddServiceRows(" no address", [](QTestData& row) {
            row << Key << u"no-address"_s << int(FailureKind::NoAddress) << u"without an address"_s;
        });
        AddServiceRows(" long rate limit", [](QTestData& row) {
            row << Key << u"rate-limit-long"_s << int(FailureKind::RateLimited) << u"retry after 120 s"_s;
        });
        for (const char* name : {"serpapi", "serper", "brave"})
            QTest::addRow("%s bad key", name) << QString::fromLatin1(name) << u"bad-key"_s << u"garden tools"_s
                                              << int(FailureKind::BadKey) << u"refused the key"_s;
        QTest::newRow("searxng json off")
            << u"searxng"_s << QString() << u"json-disabled"_s << int(FailureKind::BadKey) << JsonFormatOffText;
        QTest::newRow("searxng captcha") << u"searxng"_s << QString() << u"captcha"_s << int(FailureKind::Refused)
                                         << u"google was refused (CAPTCHA)"_s;
    }
    void failures()
    {
        QFETCH(QString, service);
        QFETCH(QString, key);
        QFETCH(QString, keyword);
        QFETCH(int, kind);
        QFETCH(QString, reason);
        ServiceRig rig;
        const auto source = MakeSearchService(Settings(service, key));
        KeywordSearch search(*source, keyword, {}, 100, KeywordSearch::Purpose::Position, {u"http://a.example/"_s, {}});
        const Outcome outcome = RunSearch(rig, search);
        QCOMPARE(outcome.Last, KeywordSearch::Step::Failed);
        QCOMPARE(outcome.Requests, 1);
        QVERIFY(search.Failure());
        QCOMPARE(int(search.Failure()->Kind), kind);
        QVERIFY2(search.Failure()->Reason.contains(reason), qPrintable(search.Failure()->Reason));
        QCOMPARE(EndsSourceForRun(*search.Failure()), kind == int(FailureKind::BadKey));
    }

    void rateLimitWaitedOutOnce()
    {
        ServiceRig rig;
        const auto source = MakeSearchService(Settings(u"serpapi"_s));
        const QString keyword = u"rate-limit"_s;
        KeywordSearch search(*source, keyword, {}, 100, KeywordSearch::Purpose::Position,
                             {GeneratedResultHost(keyword, 2), {}});
        QCOMPARE(search.TakeReply(rig.Exchange(search.NextRequest())), KeywordSearch::Step::Retry);
        QCOMPARE(search.RetryDelayMs(), 1000);
        QCOMPARE(search.NextPageIndex(), 0);
        QCOMPARE(search.TakeReply(rig.Exchange(search.NextRequest())), KeywordSearch::Step::Done);
        QCOMPARE(search.Position(), 3);
    }

    void collectionPagesToTheDepth()
    {
        ServiceRig rig;
        const auto source = MakeSearchService(Settings(u"serper"_s));
        const QString keyword = u"garden tools"_s;
        KeywordSearch search(*source, keyword, {}, 50, KeywordSearch::Purpose::Collection);
        const Outcome outcome = RunSearch(rig, search);
        QCOMPARE(outcome.Last, KeywordSearch::Step::Done);
        QCOMPARE(outcome.Requests, 5);
        QCOMPARE(search.Sites().size(), 50);
        QCOMPARE(search.Sites().at(49), u"http://"_s + GeneratedResultHost(keyword, 49) + u'/');
    }

    // Pure reading of a page: only organic results count, and a page repeating the last one ends the paging.
    void repeatedPageEndsPaging()
    {
        const auto source = MakeSearchService(Settings(u"serpapi"_s));
        KeywordSearch search(*source, u"x"_s, {}, 100, KeywordSearch::Purpose::Position, {u"http://z.example/"_s, {}});
        const QByteArray page =
            "{\"ads\":[{\"link\":\"http://z.example/\"}],\"answer_box\":{\"link\":\"http://z.example/\"},\n            "
            "\"organic_results\":[{\"position\":7,\"link\":\"http://a.example/\"},{\"position\":9,\"link\":\"http://"
            "b.example/\"}]}";
        QCOMPARE(search.TakeReply({200, {}, page, {}}), KeywordSearch::Step::NextPage);
        QCOMPARE(search.TakeReply({200, {}, page, {}}), KeywordSearch::Step::Done);
        QCOMPARE(search.Position(), 0);
        QCOMPARE(search.Top10(), QStringList({u"http://a.example/"_s, u"http://b.example/"_s, u"http://a.example/"_s,
                                              u"http://b.example/"_s}));
    }

    void keyNeverInAFailure()
    {
        ServiceRig rig;
        // No reply at all: the control's reason names no address, and the source masks its key anyway.
        const auto source = MakeSearchService(Settings(u"serpapi"_s));
        SearchSourceSettings unreachable = Settings(u"serpapi"_s);
        unreachable.Endpoint = u"ftp://serpapi.com/search.json"_s;
        const auto broken = MakeSearchService(unreachable);
        const SearchPage page = broken->ReadPage(rig.Exchange(broken->PageRequest(u"a"_s, {}, 0)));
        QVERIFY(page.Failure);
        QCOMPARE(page.Failure->Kind, FailureKind::NoReply);
        const SearchPage echoed =
            source->ReadPage({401, {}, QByteArray("{\"error\":\"bad key ") + Key.toLatin1() + "\"}", {}});
        QVERIFY(echoed.Failure);
        QVERIFY(!echoed.Failure->Reason.contains(Key));
        QVERIFY(echoed.Failure->Reason.contains(u"****7781"_s));
    }

    void hostMatching_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("match");
        QTest::newRow("www and scheme") << u"www.Example.com"_s << u"https://example.com/a"_s << true;
        QTest::newRow("result with www") << u"http://example.com/x"_s << u"http://www.example.com"_s << true;
        QTest::newRow("port") << u"example.com"_s << u"http://example.com:8080/"_s << true;
        QTest::newRow("sub-domain") << u"example.com"_s << u"http://shop.example.com/"_s << false;
        QTest::newRow("longer name") << u"example.com"_s << u"http://example.com.evil.example/"_s << false;
    }
    void hostMatching()
    {
        QFETCH(QString, entry);
        QFETCH(QString, result);
        QFETCH(bool, match);
        QCOMPARE(IsTargetResult({entry, {}}, {result, {}}), match);
    }
};

QUORVEX_TEST_MAIN_CORE(TestSearchSources)
#include "test_search_sources.moc"
