// The generated pages as the program reads them: the rank run's and the site database's request
// addresses, through the download control and the real parsers, against the stand-in web.

#include "PageGenerator.h"
#include "model/AppState.h"
#include "session/DownloadParts.h"
#include "sources/RankListLookup.h"
#include "sources/RankListStore.h"
#include "support/ProxyWeb.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"
#include "web/ServiceAddresses.h"
#include "web/ocxParseWeb.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestGeneratedPages : public QObject {
    Q_OBJECT

    ProxyWeb web;
    AppState state{qEnvironmentVariable("QUORVEX_HOME")};
    ScriptedPrompter prompter;
    ocxParseWeb control{TablesOf(state), CountersOf(state), prompter};

    // One download at a time, as the rank run sends them.
    void Fetch(const QString& url, const QString& name)
    {
        QSignalSpy html(&control, &ocxParseWeb::DownloadHtmlComplete);
        QSignalSpy title(&control, &ocxParseWeb::DownloadTitleComplete);
        control.BeginDownload(url, name);
        QTRY_COMPARE(html.count() + title.count(), 1);
    }
    static PositionJob Job(const QString& url, const QString& product)
    {
        PositionJob job;
        job.URL = url;
        job.Product = product;
        job.Keyword = QStringLiteral("seo tools");
        return job;
    }

private Q_SLOTS:
    void initTestCase() { web.SetFallback(&GeneratedReply); }

    void ranksOfAnAddress()
    {
        const QString address = QStringLiteral("http://www.example.com");
        RankRunState& run = state.Run;
        SiteTables& sites = state.Sites;
        run.PRJobPageRank = QStringList{QStringLiteral("0/10")};
        run.PRJobAlexa = QStringList{QStringLiteral("Not Available")};
        sites.SitePR = QList<int>{-1};
        sites.SiteAlexa = QList<qint32>{0};
        sites.WebSiteCount = 1;

        Fetch(PageRankQueryURL(address), QStringLiteral("G0"));
        Fetch(PageRankQueryURL(address), QStringLiteral("g0"));
        Fetch(AlexaSiteInfoURL(address), QStringLiteral("A0"));
        Fetch(AlexaSiteInfoURL(address), QStringLiteral("a0"));

        const QRegularExpressionMatch rank =
            QRegularExpression(QStringLiteral("^(\\d+)/10$")).match(run.PRJobPageRank.first());
        QVERIFY2(rank.hasMatch(), qPrintable(run.PRJobPageRank.first()));
        QCOMPARE(sites.SitePR.first(), rank.captured(1).toInt());
        QVERIFY(sites.SitePR.first() <= 10);
        QVERIFY(sites.SiteAlexa.first() > 0);
        QCOMPARE(run.PRJobAlexa.first(), QLocale(QLocale::English).toString(sites.SiteAlexa.first()));
    }

    void summaryOfASite()
    {
        RankRunState& run = state.Run;
        SiteTables& sites = state.Sites;
        run.PRJobTitle = run.PRJobDescription = run.PRJobKeywords = QStringList(1);
        sites.SiteTitle = sites.SiteDescription = sites.SiteKeyword = QStringList(1);
        sites.WebSiteCount = 1;

        Fetch(QStringLiteral("http://www.bluefern.example"), QStringLiteral("K0"));
        Fetch(QStringLiteral("http://www.bluefern.example"), QStringLiteral("k0"));
        QVERIFY2(run.PRJobTitle.first().startsWith(QLatin1String("Blue Fern - ")), qPrintable(run.PRJobTitle.first()));
        QVERIFY(!run.PRJobDescription.first().isEmpty());
        QVERIFY(!run.PRJobKeywords.first().isEmpty());
        QCOMPARE(sites.SiteTitle.first(), run.PRJobTitle.first().toLower());
        QVERIFY(!sites.SiteDescription.first().isEmpty());
        QVERIFY(!sites.SiteKeyword.first().contains(QLatin1String(", ")));
    }

    void siteListOfAKeyword()
    {
        SiteTables& sites = state.Sites;
        sites.WebSiteList.clear();
        sites.WebSiteCount = 0;
        Fetch(SearchResultsURL(QStringLiteral("seo tools"), {}, 100, 0), QStringLiteral("W0"));
        QCOMPARE(sites.WebSiteCount, 100);
        Fetch(SearchResultsURL(QStringLiteral("seo tools"), {}, 100, 100), QStringLiteral("W0"));
        QCOMPARE(sites.WebSiteCount, 200);
        Fetch(SearchResultsURL(QStringLiteral("seo tools"), {}, 100, 200), QStringLiteral("W0"));
        const int total = sites.WebSiteCount;
        QVERIFY(total > 200 && total < 240);
        // The collection ends with the page that brings no new site.
        Fetch(SearchResultsURL(QStringLiteral("seo tools"), {}, 100, 300), QStringLiteral("W0"));
        QCOMPARE(sites.WebSiteCount, total);
        QVERIFY(sites.WebSiteList.first().startsWith(QLatin1String("http://www.")));
    }

    void positionsOverThreePasses()
    {
        // The demo's entries: maplenest first for "seo tools", silverforge 14th (found through its
        // product name in the result's title), example.com nowhere.
        RankRunState& run = state.Run;
        run.PositionJobs = {Job(QStringLiteral("http://www.maplenest.example"), QString()),
                            Job(QStringLiteral("http://www.silverforge.example/shop"), QStringLiteral("Silver Forge")),
                            Job(QStringLiteral("http://www.example.com"), QString())};
        run.RunPhase = 0;
        for (int record = 0; record < 3; ++record)
            Fetch(SearchResultsURL(QStringLiteral("seo tools"), {}, 100, 0), QStringLiteral("T%1$0").arg(record));
        QCOMPARE(run.PositionJobs[0].Page1, 0);
        QCOMPARE(run.PositionJobs[1].Page1, 1);
        QCOMPARE(run.PositionJobs[1].Page2, 0);
        QCOMPARE(run.PositionJobs[1].Page3, 2);
        QCOMPARE(run.PositionJobs[2].Page1, -1);
        QCOMPARE(run.PositionJobs[0].Top10[0], QStringLiteral("www.maplenest.example/seo-tools.html"));
        QVERIFY(!run.PositionJobs[0].Top10[9].isEmpty());

        run.RunPhase = 1;
        Fetch(SearchResultsURL(QStringLiteral("seo tools"), {}, 10, 0), QStringLiteral("T0$0"));
        Fetch(SearchResultsURL(QStringLiteral("seo tools"), {}, 10, 10), QStringLiteral("T1$1"));
        QCOMPARE(run.PositionJobs[0].Rank, 1);
        QCOMPARE(run.PositionJobs[1].Rank, 14);
        QCOMPARE(run.PositionJobs[1].ViewURL, SearchResultsURL(QStringLiteral("seo tools"), {}, 10, 10));
    }

    // The sandbox's traffic-rank list, imported as the user imports a list: the demo's sites have
    // ranks, and among a keyword's results some sites are ranked and some are left out.
    void trancoListRanksTheGeneratedSites()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("tranco-demo.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(GeneratedTrancoList());
        file.close();
        RankListImportRequest request;
        request.Path = file.fileName();
        const RankListImportResult imported = RankListStore(RankListsPath(dir.path())).Import(request);
        QVERIFY2(imported.Ok, qPrintable(imported.Message));
        QCOMPARE(imported.Info.Id, QStringLiteral("demo"));

        RankListLookup lookup(RankListsPath(dir.path()), RankListKind::Tranco);
        for (const QString& page :
             {QStringLiteral("http://www.bluefern.example/"), QStringLiteral("http://www.maplenest.example/"),
              QStringLiteral("http://www.silverforge.example/shop")})
            QCOMPARE(lookup.Lookup(page).Result, RankLookupResult::Outcome::Ranked);
        QStringList results;
        for (int index = 0; index < 100; ++index)
            results << GeneratedResultHost(QStringLiteral("web design"), index);
        QSet<RankLookupResult::Outcome> outcomes;
        for (const RankLookupResult& result : lookup.Lookup(results))
            outcomes.insert(result.Result);
        QCOMPARE(outcomes, (QSet<RankLookupResult::Outcome>{RankLookupResult::Outcome::Ranked,
                                                            RankLookupResult::Outcome::NotRanked}));
    }

    // A later day moves every result of a keyword by the same places: the demo's records rise,
    // fall or stay, and a result moved above the first place is gone from the list.
    void laterDaysMoveTheResults()
    {
        const QString keyword = QStringLiteral("handmade soap");
        QStringList first;
        for (int index = 0; index < GeneratedResultCount(keyword); ++index)
            first << GeneratedResultHost(keyword, index);
        SetGeneratedDay(2);
        QStringList later;
        for (int index = 0; index < GeneratedResultCount(keyword); ++index)
            later << GeneratedResultHost(keyword, index);
        SetGeneratedDay(0);
        const qsizetype moved = first.indexOf(later.first());
        QVERIFY(moved > 0);
        for (qsizetype index = 0; index + moved < first.size(); ++index)
            QCOMPARE(later.at(index), first.at(index + moved));
        QVERIFY(!later.contains(first.first()));
        QCOMPARE(GeneratedResultHost(keyword, 0), first.first());
    }
};

QUORVEX_TEST_MAIN_CORE(TestGeneratedPages)
#include "test_generated_pages.moc"
