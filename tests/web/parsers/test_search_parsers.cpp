// The search result parsers: the site list of the site database and the position of a monitored
// site among a keyword's results.

#include "ParserTestSupport.h"
#include "support/TestHome.h"
#include "web/ServiceAddresses.h"

namespace {

// A result page of the historical shape: each result's address in a cite element and a "Similar
// pages" link closing it. titles[i] is shown as the result's linked title.
QString ResultsPage(const QStringList& addresses, const QStringList& titles = {})
{
    QString page = QStringLiteral("<html><body><div id=res><ol>\n");
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const QString title = i < titles.size() ? titles[i] : QStringLiteral("Result %1").arg(i + 1);
        page += QStringLiteral("<li class=g><h3 class=r><a href=\"http://%1\" class=l>%2</a></h3>"
                               "<div class=\"s\">About widgets<br><cite>%1 - %3k - </cite><span class=gl>"
                               "<a href=\"/search?q=cache:%3\">Cached</a> - "
                               "<a href=\"/search?hl=en&amp;q=related:%1\">Similar pages</a></span></div>\n")
                    .arg(addresses[i], title)
                    .arg(i + 1);
    }
    return page + QStringLiteral("</ol></div></body></html>\n");
}

QStringList Addresses(int count, int siteIndex, const QString& site)
{
    QStringList addresses;
    for (int i = 0; i < count; ++i)
        addresses.append(i == siteIndex ? site : QStringLiteral("www.other%1.example/page").arg(i));
    return addresses;
}

PositionJob Job(const QString& url, const QString& product = {}, const QString& keyword = QStringLiteral("widgets"))
{
    PositionJob job;
    job.URL = url;
    job.Product = product;
    job.Keyword = keyword;
    return job;
}

} // namespace

class TestSearchParsers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void siteListCollectsDistinctSites()
    {
        ParserBench bench;
        QVERIFY(ParseGoogleWebSiteList(bench.Context, FixturePage(QStringLiteral("serp-sites.html")),
                                       QStringLiteral("W0")));
        // Excluded sites, a cite without a blank, the same site again and the cite inside the
        // script are all left out; tags and "&nbsp;" inside a cite do not split its address.
        const QStringList expected{
            QStringLiteral("http://www.alpha-tools.example/widgets/"), QStringLiteral("http://beta.example/shop"),
            QStringLiteral("http://www.gamma.example/page-"), QStringLiteral("http://www.epsilon.example/")};
        QCOMPARE(bench.State.Sites.WebSiteList, expected);
        QCOMPARE(bench.State.Sites.WebSiteCount, 4);
        QCOMPARE(bench.Statuses, QStringList({QStringLiteral("Quorvex is working ..."),
                                              QStringLiteral("Quorvex completed analysis ...")}));
    }

    void siteListExtendsAcrossPages()
    {
        ParserBench bench;
        SiteTables& sites = bench.State.Sites;
        sites.WebSiteList = {QStringLiteral("http://www.epsilon.example/old"),
                             QStringLiteral("stale beyond the count")};
        sites.WebSiteCount = 1;
        QVERIFY(ParseGoogleWebSiteList(
            bench.Context,
            ResultsPage({QStringLiteral("www.epsilon.example/new"), QStringLiteral("WWW.Epsilon.example/"),
                         QStringLiteral("www.zeta.example/")}),
            QStringLiteral("W0")));
        // The comparison of site addresses is exact: a host in other letters is another site.
        QCOMPARE(sites.WebSiteList, QStringList({QStringLiteral("http://www.epsilon.example/old"),
                                                 QStringLiteral("http://WWW.Epsilon.example/"),
                                                 QStringLiteral("http://www.zeta.example/")}));
        QCOMPARE(sites.WebSiteCount, 3);
    }

    void siteListPageWithoutTags()
    {
        ParserBench bench;
        bench.State.Sites.WebSiteList = {QStringLiteral("http://kept.example")};
        bench.State.Sites.WebSiteCount = 1;
        QVERIFY(ParseGoogleWebSiteList(bench.Context, QStringLiteral("no tags at all, cite> www.a.example - 1k"),
                                       QStringLiteral("W0")));
        QCOMPARE(bench.State.Sites.WebSiteList, QStringList{QStringLiteral("http://kept.example")});
    }

    void unclosedStyleEndsTheWalk()
    {
        ParserBench bench;
        QVERIFY(ParseGoogleWebSiteList(bench.Context, FixturePage(QStringLiteral("serp-unclosed-style.html")),
                                       QStringLiteral("W0")));
        QCOMPARE(bench.State.Sites.WebSiteList, QStringList{QStringLiteral("http://www.first.example/")});
    }

    void citeWithoutEndKeepsWhatWasStored()
    {
        ParserBench bench;
        QVERIFY(!ParseGoogleWebSiteList(bench.Context, FixturePage(QStringLiteral("serp-cite-unclosed.html")),
                                        QStringLiteral("W0")));
        QCOMPARE(bench.State.Sites.WebSiteList, QStringList{QStringLiteral("http://www.first.example/")});
        QCOMPARE(bench.Statuses, QStringList{QStringLiteral("Quorvex is working ...")});

        ParserBench rank;
        rank.State.Run.PositionJobs = {Job(QStringLiteral("www.second.example"))};
        QVERIFY(!ParseGoogleQUORVEX(rank.Context, FixturePage(QStringLiteral("serp-cite-unclosed.html")),
                                    QStringLiteral("T0$0")));
        QCOMPARE(rank.State.Run.PositionJobs[0].Top10[0], QStringLiteral("www.first.example/"));
        QCOMPARE(rank.State.Run.PositionJobs[0].Page1, -1);
    }

    void topTenKeepsExcludedSitesAndFindsHostWithoutScheme()
    {
        ParserBench bench;
        bench.State.Run.PositionJobs = {Job(QStringLiteral("HTTP://www.Epsilon.example/index.html"))};
        QVERIFY(
            ParseGoogleQUORVEX(bench.Context, FixturePage(QStringLiteral("serp-sites.html")), QStringLiteral("T0$0")));
        const PositionJob& job = bench.State.Run.PositionJobs[0];
        // Raw first words, only neighbours of the same site merged; the cite without a blank is left out.
        const QStringList topTen(job.Top10.begin(), job.Top10.end());
        QCOMPARE(topTen,
                 QStringList({QStringLiteral("www.alpha-tools.example/widgets/"),
                              QStringLiteral("en.wikipedia.org/wiki/Widget"),
                              QStringLiteral("www.alpha-tools.example/about.html"),
                              QStringLiteral("http://beta.example/shop"), QStringLiteral("www.gamma.example/page-"),
                              QStringLiteral("www.youtube.com/watch?v=w"), QStringLiteral("www.epsilon.example/"),
                              QString(), QString(), QString()}));
        // The page shows the address as "www.epsilon.example/ - 2k -": the eighth result.
        QCOMPARE(job.Page1, 0);
        QCOMPARE(job.Page2, 1);
        QCOMPARE(job.Page3, 0);
        QCOMPARE(job.Rank, 0);
        QCOMPARE(bench.Statuses.last(), QStringLiteral("Quorvex completed analysis ..."));
    }

    void topTenStopsAtTen()
    {
        ParserBench bench;
        bench.State.Run.PositionJobs = {Job(QStringLiteral("nowhere.example"))};
        const QStringList addresses = Addresses(12, -1, {});
        QString page = ResultsPage(addresses);
        // A broken cite after the tenth result no longer matters.
        page.replace(QStringLiteral("www.other11.example/page - 12k - </cite>"), QStringLiteral("www.other11.example"));
        QVERIFY(ParseGoogleQUORVEX(bench.Context, page, QStringLiteral("T0$0")));
        QCOMPARE(bench.State.Run.PositionJobs[0].Top10[9], QStringLiteral("www.other9.example/page"));
        QCOMPARE(bench.State.Run.PositionJobs[0].Page1, -1);
    }

    void firstPassPages_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("page1");
        QTest::addColumn<int>("page2");
        QTest::addColumn<int>("page3");
        QTest::newRow("c = 22") << 22 << 2 << 1 << 3;
        QTest::newRow("c = 27") << 27 << 2 << 3 << 1;
        QTest::newRow("c = 4, first page") << 4 << 0 << 0 << 1;
        QTest::newRow("c = 5, first page") << 5 << 0 << 1 << 0;
        QTest::newRow("c = 99, last result") << 99 << 9 << 10 << 8;
    }

    void firstPassPages()
    {
        QFETCH(int, index);
        QFETCH(int, page1);
        QFETCH(int, page2);
        QFETCH(int, page3);
        ParserBench bench;
        bench.State.Run.PositionJobs = {Job(QStringLiteral("http://www.target.example/"))};
        QVERIFY(ParseGoogleQUORVEX(bench.Context,
                                   ResultsPage(Addresses(100, index, QStringLiteral("www.target.example/shop"))),
                                   QStringLiteral("T0$0")));
        const PositionJob& job = bench.State.Run.PositionJobs[0];
        QCOMPARE(job.Page1, page1);
        QCOMPARE(job.Page2, page2);
        QCOMPARE(job.Page3, page3);
        QCOMPARE(job.Rank, 0);
        QCOMPARE(job.ViewURL, QString());
    }

    void followUpPasses_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("rank");
        QTest::addColumn<int>("page2");
        QTest::newRow("pass 1, p = 3, c = 4") << 1 << "T0$3" << 4 << 35 << -1;
        QTest::newRow("pass 2, p = 0, c = 0") << 2 << "T0$0" << 0 << 1 << 7;
        QTest::newRow("pass 2, p = 9, c = 9") << 2 << "T0$9" << 9 << 100 << 7;
    }

    void followUpPasses()
    {
        QFETCH(int, phase);
        QFETCH(QString, tag);
        QFETCH(int, index);
        QFETCH(int, rank);
        QFETCH(int, page2);
        ParserBench bench;
        bench.State.Run.RunPhase = phase;
        PositionJob job = Job(QStringLiteral("www.target.example"), {}, QStringLiteral(" Blue Widgets "));
        job.Page1 = 5;
        job.Page2 = 7;
        job.Page3 = 4;
        job.Top10[0] = QStringLiteral("kept from the first pass");
        bench.State.Run.PositionJobs = {job};
        QVERIFY(ParseGoogleQUORVEX(bench.Context,
                                   ResultsPage(Addresses(10, index, QStringLiteral("www.target.example/"))), tag));
        const PositionJob& found = bench.State.Run.PositionJobs[0];
        const int p = tag.mid(3).toInt();
        QCOMPARE(found.Rank, rank);
        QCOMPARE(found.ViewURL, SearchResultsURL(QStringLiteral("blue widgets"), {}, 10, p * 10));
        QVERIFY(found.ViewURL.contains(QStringLiteral("blue+widgets")));
        QCOMPARE(found.Page1, 5);
        QCOMPARE(found.Page2, page2);
        QCOMPARE(found.Page3, -1);
        QCOMPARE(found.Top10[0], QStringLiteral("kept from the first pass"));
    }

    void productBeforeAddress()
    {
        ParserBench bench;
        bench.State.Run.RunPhase = 1;
        bench.State.Run.PositionJobs = {
            Job(QStringLiteral("http://www.target.example"), QStringLiteral(" WidgetPro "))};
        QStringList titles{QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Buy the widgetpro here")};
        QVERIFY(ParseGoogleQUORVEX(bench.Context,
                                   ResultsPage(Addresses(10, 5, QStringLiteral("www.target.example/")), titles),
                                   QStringLiteral("T0$2")));
        QCOMPARE(bench.State.Run.PositionJobs[0].Rank, 23);
    }

    void notOnThisPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("not shown") << ResultsPage(Addresses(10, -1, {}));
        QTest::newRow("after the last result")
            << ResultsPage(Addresses(3, -1, {})) + QStringLiteral("<p>www.target.example</p>");
        QTest::newRow("no tags") << QStringLiteral("www.target.example similar pages");
        QTest::newRow("behind a style element never closed")
            << ResultsPage(Addresses(10, 5, QStringLiteral("www.target.example/")))
                   .replace(QStringLiteral("Result 3"), QStringLiteral("<style>.r{}"));
    }

    void notOnThisPage()
    {
        QFETCH(QString, page);
        ParserBench bench;
        bench.State.Run.RunPhase = 2;
        bench.State.Run.PositionJobs = {Job(QStringLiteral("www.target.example"))};
        QVERIFY(ParseGoogleQUORVEX(bench.Context, page, QStringLiteral("T0$1")));
        QCOMPARE(bench.State.Run.PositionJobs[0].Rank, 0);
        QCOMPARE(bench.State.Run.PositionJobs[0].ViewURL, QString());
    }

    void emptyAddressMatchesNothing()
    {
        ParserBench bench;
        bench.State.Run.RunPhase = 1;
        bench.State.Run.PositionJobs = {Job(QString())};
        QVERIFY(ParseGoogleQUORVEX(bench.Context, ResultsPage(Addresses(10, -1, {})), QStringLiteral("T0$0")));
        QCOMPARE(bench.State.Run.PositionJobs[0].Rank, 0);
    }

    void badSearchTags_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::newRow("no dollar") << "T0";
        QTest::newRow("record past the table") << "T1$0";
        QTest::newRow("negative record") << "T-1$0";
        QTest::newRow("record too large") << "T99999999999$0";
    }

    void badSearchTags()
    {
        QFETCH(QString, tag);
        ParserBench bench;
        bench.State.Run.RunPhase = 1;
        bench.State.Run.PositionJobs = {Job(QStringLiteral("www.target.example"))};
        QVERIFY(!ParseGoogleQUORVEX(bench.Context, ResultsPage(Addresses(10, 0, QStringLiteral("www.target.example/"))),
                                    tag));
        QCOMPARE(bench.State.Run.PositionJobs[0].Rank, 0);
        QCOMPARE(bench.Statuses, QStringList{QStringLiteral("Quorvex is working ...")});
    }
};

QUORVEX_TEST_MAIN_CORE(TestSearchParsers)
#include "test_search_parsers.moc"
