// The collection and the extraction on today's sources against the fake web's replicas: the pages
// asked through a search service and the sites written, the batched authority requests, the
// traffic rank from an imported list, and what a refused key or a rate limit leaves.

#include "PageGenerator.h"
#include "sitedb/SiteExtraction.h"
#include "sitedb/WebSiteCollection.h"
#include "sources/RankListStore.h"
#include "sources/SourceSettings.h"
#include "support/SiteRunRig.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

const QString Keyword = u"garden tools"_s;
const QString Table = u"garden_tools"_s;

QString Query(const RecordedRequest& request, const QString& key)
{
    return QUrlQuery(QUrl(request.Url)).queryItemValue(key, QUrl::FullyDecoded);
}

QStringList Sorted(QStringList list)
{
    list.sort();
    return list;
}

// A serpapi reply of ten results on sites e0 to e9, each page with its own paths, so that a second
// page holds no new site.
CannedReply SameTenSites(int start)
{
    QJsonArray organic;
    for (int n = 0; n < 10; ++n)
        organic.append(QJsonObject{{u"position"_s, n + 1},
                                   {u"title"_s, u"E%1"_s.arg(n)},
                                   {u"link"_s, u"http://www.e%1.example/p%2"_s.arg(n).arg(start)}});
    CannedReply reply;
    reply.ContentType = "application/json";
    reply.Body = QJsonDocument(QJsonObject{{u"organic_results"_s, organic}}).toJson(QJsonDocument::Compact);
    return reply;
}

} // namespace

class TestSiteSources : public QObject {
    Q_OBJECT

    struct Rig : SiteRunRig {
        WebSiteCollection collection{state, driver, prompter, clock};
        SiteExtraction extraction{state, driver, prompter, clock};
        QList<bool> finished;
        Rig()
        {
            QObject::connect(&collection, &SiteDbRun::Finished, [this](bool done) { finished << done; });
            QObject::connect(&extraction, &SiteDbRun::Finished, [this](bool done) { finished << done; });
        }
        void Choose(const SourceSettings& sources, SourceColumn column)
        {
            QVERIFY(state.Settings.Load());
            QVERIFY(SaveSourceSettings(sources, state.Settings, column));
        }
        void Collect()
        {
            const std::optional<CollectionRequest> request =
                PrepareCollection(folder.Database(), Keyword, u"tools"_s, prompter);
            QVERIFY(request);
            collection.Start(*request);
            QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
        }
        void Extract(const QStringList& urls, const ExtractChoice& choice)
        {
            folder.Collect(Keyword, u"tools"_s, urls);
            prompter.Answers = {true};
            const std::optional<ExtractionBatch> batch =
                PrepareExtraction(folder.Database(), Keyword, u"1"_s, QString::number(urls.size()),
                                  QString::number(urls.size()), prompter);
            QVERIFY(batch);
            extraction.Start(*batch, choice);
            QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
        }
        QStringList StoredURLs() const
        {
            QStringList urls;
            for (const SiteRow& row : Rows(Keyword))
                urls << row.URL.value_or(QString());
            return urls;
        }
        qint64 GapMs(int request) const
        {
            return web.Requests().at(request).AtMs - web.Requests().at(request - 1).AtMs;
        }
    };

    // The services' own addresses over plain http, which the fake web serves as the proxy.
    static SourceSettings Search(const QString& key, int depth,
                                 const QString& endpoint = u"http://serpapi.com/search.json"_s)
    {
        SourceSettings sources;
        sources.Search = {SearchSourceKind::SerpApi, key, endpoint, depth};
        return sources;
    }

private Q_SLOTS:
    void collectionPagesToTheDepth_data()
    {
        QTest::addColumn<int>("depth");
        QTest::newRow("depth 20") << 20;
        QTest::newRow("depth 50") << 50;
    }
    void collectionPagesToTheDepth()
    {
        QFETCH(int, depth);
        Rig rig;
        rig.driver.SetLeastPauseMs(RequestDriver::UsualPauseMs);
        rig.Choose(Search(u"serp-key-0042"_s, depth), SourceColumn::Search);
        rig.Collect();

        QCOMPARE(rig.finished, QList<bool>{true});
        const QList<RecordedRequest>& requests = rig.web.Requests();
        QCOMPARE(requests.size(), depth / 10);
        for (int page = 0; page < requests.size(); ++page) {
            const RecordedRequest& request = requests.at(page);
            QCOMPARE(QUrl(request.Url).host(), u"serpapi.com"_s);
            QCOMPARE(Query(request, u"q"_s), u"garden+tools"_s); // form encoding: "+" is a blank
            QCOMPARE(Query(request, u"engine"_s), u"google"_s);
            QCOMPARE(Query(request, u"start"_s), QString::number(10 * page));
            QCOMPARE(Query(request, u"num"_s), u"10"_s);
            QCOMPARE(Query(request, u"api_key"_s), u"serp-key-0042"_s);
            QCOMPARE(rig.pendingHtmlAt.at(page), 1);
            if (page > 0)
                QVERIFY(rig.GapMs(page) >= 199);
        }

        QStringList expected;
        for (int n = 0; n < depth; ++n)
            expected << u"http://"_s + GeneratedResultHost(Keyword, n) + u'/';
        QStringList shuffled = expected;
        ShuffleSites(shuffled, 9 * 3600 + 30 * 60); // the test clock's time of day
        QCOMPARE(rig.StoredURLs(), shuffled);
        QCOMPARE(rig.Master(Keyword)->SearchNum, SqlText(u"1/%1"_s.arg(depth)));
        QCOMPARE(rig.LastMessage(), u"You have gotten all URLs in 'garden_tools' table !"_s);
        QVERIFY(!rig.collection.Failure());
    }

    // A second page without a new site ends the paging; a second page that fails ends it too, and
    // the sites of the first are written with a line that says why the list is short.
    void secondPageEndsThePaging_data()
    {
        QTest::addColumn<int>("secondStatus");
        QTest::addColumn<QString>("note");
        QTest::newRow("no new site") << 200 << QString();
        QTest::newRow("failed") << 500
                                << u"\r\nThe collection ended early with the 10 URLs read before: serpapi failed on "
                                   "result page 2: HTTP error 500"_s;
    }
    void secondPageEndsThePaging()
    {
        QFETCH(int, secondStatus);
        QFETCH(QString, note);
        Rig rig;
        rig.Choose(Search(u"serp-key-0042"_s, 50, u"http://serp.test/search.json"_s), SourceColumn::Search);
        rig.web.SetFallback([&](const QUrl& url) {
            const int start = QUrlQuery(url).queryItemValue(u"start"_s).toInt();
            CannedReply reply = SameTenSites(start);
            if (start > 0)
                reply.Status = secondStatus;
            return reply;
        });
        rig.Collect();

        QCOMPARE(rig.finished, QList<bool>{true});
        QCOMPARE(rig.web.Requests().size(), 2);
        QStringList firstPage;
        for (int n = 0; n < 10; ++n)
            firstPage << u"http://www.e%1.example/p0"_s.arg(n);
        QCOMPARE(Sorted(rig.StoredURLs()), Sorted(firstPage));
        QCOMPARE(rig.LastMessage(), u"You have gotten all URLs in 'garden_tools' table !"_s + note);
        QCOMPARE(bool(rig.collection.Failure()), secondStatus != 200);
    }

    // Nothing read: nothing written, and a renewed keyword keeps its rows and progress.
    void failureBeforeAnySiteWritesNothing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("reason");
        QTest::newRow("401") << u"bad-key"_s << Keyword
                             << u"serpapi failed on result page 1: the service refused the key (HTTP 401): Invalid "
                                "API key. Your API key should be here: https://serpapi.com/manage-api-key"_s;
        QTest::newRow("429 beyond the wait") << u"serp-key-0042"_s << u"rate-limit-long"_s
                                             << u"serpapi failed on result page 1: rate limited (HTTP 429, retry "
                                                "after 120 s)"_s;
    }
    void failureBeforeAnySiteWritesNothing()
    {
        QFETCH(QString, key);
        QFETCH(QString, keyword);
        QFETCH(QString, reason);
        Rig rig;
        rig.Choose(Search(key, 100), SourceColumn::Search);
        const QStringList old{u"http://www.old.example"_s};
        rig.folder.Collect(keyword, u"tools"_s, old);
        const std::optional<MasterRow> before = rig.Master(keyword);
        rig.prompter.Answers = {true}; // renew it all
        const std::optional<CollectionRequest> request =
            PrepareCollection(rig.folder.Database(), keyword, u"tools"_s, rig.prompter);
        QVERIFY(request);
        rig.collection.Start(*request);
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished.size(), 1, 60000);

        QCOMPARE(rig.finished, QList<bool>{false});
        QCOMPARE(rig.web.Requests().size(), 1);
        QCOMPARE(rig.LastMessage(), u"No URL has been gotten for '"_s + SearchTableName(keyword) +
                                        u"' table, nothing was written !\r\n"_s + reason);
        QCOMPARE(rig.Master(keyword), before);
        QCOMPARE(rig.Rows(keyword).size(), 1);
    }

    void rateLimitIsWaitedOutOnce()
    {
        Rig rig;
        rig.Choose(Search(u"serp-key-0042"_s, 10), SourceColumn::Search);
        const std::optional<CollectionRequest> request =
            PrepareCollection(rig.folder.Database(), u"rate-limit"_s, u"tools"_s, rig.prompter);
        QVERIFY(request);
        rig.collection.Start(*request);
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished.size(), 1, 60000);

        QCOMPARE(rig.finished, QList<bool>{true});
        QCOMPARE(rig.web.Requests().size(), 2);
        QCOMPARE(Query(rig.web.Requests().at(1), u"start"_s), u"0"_s);
        QVERIFY(rig.GapMs(1) >= 1000); // Retry-After: 1
        QCOMPARE(rig.Rows(u"rate-limit"_s).size(), 10);
    }

    // 103 sites of their own, one more address of the first site's domain and a domain the service
    // does not know: 104 domains, asked in groups of 100 and 4.
    void authorityThroughOpenPageRank_data()
    {
        QStringList many;
        for (int n = 0; n < 103; ++n)
            many << u"http://www.s%1.example/page"_s.arg(n);
        many << u"http://s0.example/other"_s << u"http://gone.unknown/"_s;

        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QList<int>>("domainsAsked");
        QTest::addColumn<int>("failed");
        QTest::addColumn<int>("minGapMs");
        QTest::newRow("two groups") << many << u"opr-key-5678"_s << QList<int>{100, 4} << 0 << 199;
        QTest::newRow("bad key") << many << u"bad-key"_s << QList<int>{100} << 105 << 0;
        QTest::newRow("rate limited once") << QStringList{u"http://www.s1.example/"_s, u"http://rate-limit.example/"_s}
                                           << u"opr-key-5678"_s << QList<int>{2, 2} << 0 << 1000;
    }
    void authorityThroughOpenPageRank()
    {
        QFETCH(QStringList, urls);
        QFETCH(QString, key);
        QFETCH(QList<int>, domainsAsked);
        QFETCH(int, failed);
        QFETCH(int, minGapMs);
        Rig rig;
        rig.driver.SetLeastPauseMs(minGapMs > 0 ? RequestDriver::UsualPauseMs : 0);
        SourceSettings sources;
        sources.Authority = {AuthoritySourceKind::OpenPageRank, key, u"http://openpagerank.com/api/v1.0/getPageRank"_s};
        rig.Choose(sources, SourceColumn::Authority);
        rig.Extract(urls, {false, true, false});

        QCOMPARE(rig.finished, QList<bool>{true});
        const QList<RecordedRequest>& requests = rig.web.Requests();
        QList<int> asked;
        for (int n = 0; n < requests.size(); ++n) {
            const RecordedRequest& request = requests.at(n);
            QCOMPARE(QUrl(request.Url).path(), u"/api/v1.0/getPageRank"_s);
            QCOMPARE(request.Header("API-OPR"), key.toUtf8());
            QVERIFY(!request.Url.contains(key));
            asked << int(QUrlQuery(QUrl(request.Url)).allQueryItemValues(u"domains[]"_s).size());
            if (n > 0)
                QVERIFY(rig.GapMs(n) >= minGapMs);
        }
        QCOMPARE(asked, domainsAsked);

        const QList<SiteRow> rows = rig.Rows(Keyword);
        QCOMPARE(rows.size(), urls.size());
        for (int n = 0; n < rows.size(); ++n) {
            const QString domain = QUrl(urls.at(n)).host().remove(QRegularExpression(u"^www\\."_s));
            // A value the source failed to give is not stored; "not ranked" is stored as 0.
            const int rank = domain.endsWith(u".unknown"_s) ? 0 : int(GeneratedFingerprint(domain) % 11);
            QCOMPARE(rows.at(n).PR, failed > 0 ? SqlText() : SqlText(QString::number(rank)));
            QVERIFY(!rows.at(n).Title && !rows.at(n).Alexa);
        }
        const QString done =
            u"You have gotten Title,Description,Keyword,PR,Alexa in 'garden_tools' table !\r\nTime consuming : 0 minutes"_s;
        QCOMPARE(rig.LastMessage(),
                 failed == 0 ? done
                             : done + u"\r\nFailed values : %1 (openpagerank: the service refused the key (HTTP 401): "
                                      "Unauthorized)"_s.arg(failed));
        QCOMPARE(rig.extraction.FailedValueCount(), failed);
    }

    // The traffic rank from an imported list, by host without "www." or by registrable domain, with
    // no request at all; without a list every value fails and none is stored.
    void trafficFromTheList_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QStringList>("alexa");
        QTest::addColumn<QString>("failedLine");
        QTest::newRow("tranco") << int(TrafficSourceKind::Tranco) << QStringList{u"3"_s, u"2"_s, u"0"_s} << QString();
        QTest::newRow("majestic, none imported")
            << int(TrafficSourceKind::Majestic) << QStringList{QString(), QString(), QString()}
            << u"\r\nFailed values : 3 (majestic: No majestic list has been imported.)"_s;
    }
    void trafficFromTheList()
    {
        QFETCH(int, source);
        QFETCH(QStringList, alexa);
        QFETCH(QString, failedLine);
        Rig rig;
        const QString file = QDir(rig.folder.Path()).filePath(u"tranco_TEST1.csv"_s);
        QFile list(file);
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("1,google.com\r\n2,bbc.co.uk\r\n3,example.org\r\n");
        list.close();
        RankListImportRequest import;
        import.Path = file;
        import.DisplayName = u"tranco_TEST1.csv"_s;
        QVERIFY(RankListStore(RankListsPath(rig.folder.Path())).Import(import).Ok);

        SourceSettings sources;
        sources.Traffic = {TrafficSourceKind(source), file};
        rig.Choose(sources, SourceColumn::Traffic);
        rig.Extract({u"http://www.example.org/x"_s, u"http://news.bbc.co.uk/"_s, u"http://unlisted.example/"_s},
                    {false, false, true});

        QCOMPARE(rig.finished, QList<bool>{true});
        QVERIFY(rig.web.Requests().isEmpty());
        QStringList stored;
        for (const SiteRow& row : rig.Rows(Keyword))
            stored << row.Alexa.value_or(QString());
        QCOMPARE(stored, alexa);
        QVERIFY(rig.LastMessage().endsWith(u" minutes"_s + failedLine));
    }
};

QUORVEX_TEST_MAIN_CORE(TestSiteSources)
#include "test_site_sources.moc"
