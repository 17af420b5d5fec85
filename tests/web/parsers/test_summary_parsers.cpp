// The page summary parsers: title, description and keywords for the rank run and, cleaned and
// shortened, for the site database.

#include "ParserTestSupport.h"
#include "support/TestHome.h"
#include "web/SiteTextCleaning.h"

namespace {

void SizeRankRun(AppState& state, int jobs)
{
    state.Run.PRJobTitle = QStringList(jobs, QString());
    state.Run.PRJobDescription = QStringList(jobs, QString());
    state.Run.PRJobKeywords = QStringList(jobs, QString());
}

void SizeSites(AppState& state, int sites)
{
    state.Sites.WebSiteCount = sites;
    state.Sites.SiteTitle = QStringList(sites, QString());
    state.Sites.SiteDescription = QStringList(sites, QString());
    state.Sites.SiteKeyword = QStringList(sites, QString());
}

QString HeadPage(const QString& head)
{
    return QStringLiteral("<html><head>") + head + QStringLiteral("</head><body><a href=x>x</a></body></html>");
}

} // namespace

class TestSummaryParsers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rankRunStoresValuesAsFound()
    {
        ParserBench bench;
        SizeRankRun(bench.State, 3);
        QVERIFY(ExtractTitle(bench.Context, FixturePage(QStringLiteral("summary-basic.html")), QStringLiteral("K2")));
        // Meta values come from the lower-cased tag; the title keeps its case and its entities. The
        // style element is passed over and nothing after the first link counts.
        QCOMPARE(bench.State.Run.PRJobTitle[2], QStringLiteral("Alpha Tools &amp; Widgets"));
        QCOMPARE(bench.State.Run.PRJobDescription[2], QStringLiteral("best tools"));
        QCOMPARE(bench.State.Run.PRJobKeywords[2], QStringLiteral("widgets , tools,  hardware"));
        QCOMPARE(bench.State.Run.PRJobTitle[0], QString());
        QCOMPARE(bench.Statuses, QStringList({QStringLiteral("Quorvex is working ..."),
                                              QStringLiteral("Quorvex completed analysis ...")}));
    }

    void siteDatabaseCleansValues()
    {
        ParserBench bench;
        SizeSites(bench.State, 13);
        bench.State.Sites.TitlesDone = 4;
        QVERIFY(ExtractTitle1(bench.Context, FixturePage(QStringLiteral("summary-basic.html")), QStringLiteral("k12")));
        QCOMPARE(bench.State.Sites.SiteTitle[12], QStringLiteral("alpha tools & widgets"));
        QCOMPARE(bench.State.Sites.SiteDescription[12], QStringLiteral("best tools"));
        QCOMPARE(bench.State.Sites.SiteKeyword[12], QStringLiteral("widgets,tools,hardware"));
        QCOMPARE(bench.State.Sites.TitlesDone, 5);
        QCOMPARE(bench.Statuses, QStringList{QStringLiteral("Quorvex completed web site's title... 5/13")});
        QVERIFY(bench.Prompt.Messages.isEmpty());
    }

    void linkFirst()
    {
        const QString page = FixturePage(QStringLiteral("summary-link-first.html"));
        ParserBench rank;
        SizeRankRun(rank.State, 1);
        QVERIFY(ExtractTitle(rank.Context, page, QStringLiteral("K0")));
        QCOMPARE(rank.State.Run.PRJobTitle[0], QString());
        QCOMPARE(rank.State.Run.PRJobDescription[0], QString());

        ParserBench sites;
        SizeSites(sites.State, 1);
        sites.State.Sites.CurrentSearch = QStringLiteral("  Garden Widgets ");
        QVERIFY(ExtractTitle1(sites.Context, page, QStringLiteral("k0")));
        QCOMPARE(sites.State.Sites.SiteTitle[0], QStringLiteral("garden widgets"));
        // The visible text, script passed over, "&nbsp;" dropped, line breaks and blank runs as one blank.
        QCOMPARE(sites.State.Sites.SiteDescription[0],
                 QStringLiteral("home handmade widgetssince 1990 shipped worldwide late title"));
        QCOMPARE(sites.State.Sites.SiteKeyword[0], QString());
    }

    void visibleTextWithMarkupIsNoDescription()
    {
        ParserBench bench;
        SizeSites(bench.State, 1);
        QVERIFY(ExtractTitle1(bench.Context, QStringLiteral("<p>if a > b then</p>"), QStringLiteral("k0")));
        QCOMPARE(bench.State.Sites.SiteDescription[0], QString());
    }

    void metaValues_data()
    {
        QTest::addColumn<QString>("head");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("keywords");
        QTest::newRow("unquoted content loses its first character") << "<meta name=description content=abc>"
                                                                    << "bc"
                                                                    << "";
        QTest::newRow("no description: the shown text") << "<title>t</title>"
                                                        << "tx"
                                                        << "";
        QTest::newRow("later attributes stay in the value") << "<meta content=\"Fast tools\" name=\"description\" />"
                                                            << "fast tools name=description"
                                                            << "";
        QTest::newRow("keywords inside a description's content make a keywords tag")
            << "<meta name=\"description\" content=\"keywords here\">"
            << "x"
            << "keywords here";
        QTest::newRow("no content attribute") << "<meta name=\"description\">"
                                              << "x"
                                              << "";
        QTest::newRow("single quotes removed") << "<meta name='description' content='It''s good'>"
                                               << "its good"
                                               << "";
        QTest::newRow("markup in a description: the shown text instead")
            << "<meta name=\"description\" content=\"x<y\">"
            << "x"
            << "";
        QTest::newRow("an escaped > is looked at only after the check")
            << "<meta name=\"description\" content=\"a &gt; b\">"
            << "a > b"
            << "";
        QTest::newRow("later tag overwrites")
            << "<meta name=description content='one'><meta name=description content='two'>"
            << "two"
            << "";
    }

    void metaValues()
    {
        QFETCH(QString, head);
        QFETCH(QString, description);
        QFETCH(QString, keywords);
        ParserBench bench;
        SizeSites(bench.State, 1);
        QVERIFY(ExtractTitle1(bench.Context, HeadPage(head), QStringLiteral("k0")));
        QCOMPARE(bench.State.Sites.SiteDescription[0], description);
        QCOMPARE(bench.State.Sites.SiteKeyword[0], keywords);
    }

    void cleaning_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("numeric reference between words") << "a &#167; b &amp; c"
                                                         << "a b & c";
        QTest::newRow("unterminated reference cut after its &") << "tools &#169 and more"
                                                                << "tools &";
        QTest::newRow("removal joins a new reference") << "x&&#59;#38;y"
                                                       << "xy";
        QTest::newRow("entities in order") << "a&amp;gt;b&#10;c&nbsp;d&#038;e&#38;f"
                                           << "a>b c d&e&f";
        QTest::newRow("non-ASCII, grave accent and controls")
            << QString::fromUtf8("caf\u00e9`s\ttab\u4e2d!") << "caf s tab !";
        QTest::newRow("blank runs") << "a    b  \n  c"
                                    << "a b c";
    }

    void cleaning()
    {
        QFETCH(QString, value);
        QFETCH(QString, cleaned);
        QCOMPARE(CleanSiteText(value), cleaned);
    }

    void shortening_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("stored");
        const QString words77 = QStringLiteral("word ").repeated(15) + QStringLiteral("ab");
        QTest::newRow("77 characters stored whole") << words77 << words77;
        QTest::newRow("78 characters cut at the last blank")
            << words77 + QStringLiteral("c") << QStringLiteral("word ").repeated(15).chopped(1) + QStringLiteral("...");
        QTest::newRow("no blank in the first 77")
            << QStringLiteral("x").repeated(90) << QStringLiteral("x").repeated(77) + QStringLiteral("...");
    }

    void shortening()
    {
        QFETCH(QString, title);
        QFETCH(QString, stored);
        ParserBench bench;
        SizeSites(bench.State, 1);
        QVERIFY(ExtractTitle1(bench.Context, HeadPage(QStringLiteral("<title>") + title + QStringLiteral("</title>")),
                              QStringLiteral("k0")));
        QCOMPARE(bench.State.Sites.SiteTitle[0], stored);
        QVERIFY(bench.Prompt.Messages.isEmpty());
    }

    void keywordsShortenedAtComma()
    {
        const QString keywords = QStringLiteral("abcdefghi,").repeated(30);
        QCOMPARE(ShortenKeywords(keywords), QStringLiteral("abcdefghi,").repeated(25).chopped(1));
        QCOMPARE(ShortenKeywords(QStringLiteral("x").repeated(300)), QStringLiteral("x").repeated(255));
        QCOMPARE(ShortenKeywords(QStringLiteral(",") + QStringLiteral("y").repeated(300)),
                 QStringLiteral(",") + QStringLiteral("y").repeated(254));
        const QString description = QStringLiteral("abc ").repeated(70);
        QCOMPARE(ShortenAtBlank(description, DescriptionLimit), QStringLiteral("abc ").repeated(63).chopped(1) + "...");
    }

    void stopRequested()
    {
        ParserBench bench;
        SizeSites(bench.State, 1);
        SizeRankRun(bench.State, 1);
        bench.State.StopRequested = true;
        const QString page = FixturePage(QStringLiteral("summary-basic.html"));
        QVERIFY(!ExtractTitle1(bench.Context, page, QStringLiteral("k0")));
        QVERIFY(!ExtractTitle(bench.Context, page, QStringLiteral("K0")));
        QCOMPARE(bench.State.Sites.TitlesDone, 0);
        QCOMPARE(bench.State.Sites.SiteTitle[0], QString());
        QCOMPARE(bench.State.Run.PRJobTitle[0], QString());
        QVERIFY(bench.Prompt.Messages.isEmpty());
        QCOMPARE(bench.Statuses, QStringList{QStringLiteral("Quorvex is working ...")});
    }

    void errorsEndTheParse()
    {
        ParserBench bench;
        SizeSites(bench.State, 1);
        SizeRankRun(bench.State, 1);
        const QString unended = QStringLiteral("<meta name=keywords content=one><title>Cut short");
        QVERIFY(!ExtractTitle1(bench.Context, unended, QStringLiteral("k0")));
        QCOMPARE(bench.State.Sites.SiteKeyword[0], QStringLiteral("ne"));
        QCOMPARE(bench.State.Sites.TitlesDone, 0);
        QCOMPARE(bench.Prompt.Messages.size(), 1);
        QCOMPARE(bench.Prompt.Messages[0].Text, QStringLiteral("Extract Title error !"));
        QCOMPARE(bench.Prompt.Messages[0].Title, QStringLiteral("Quorvex 2.2"));

        QVERIFY(!ExtractTitle1(bench.Context, unended, QStringLiteral("k1")));
        QCOMPARE(bench.Prompt.Messages.size(), 2);

        QVERIFY(!ExtractTitle(bench.Context, unended, QStringLiteral("K0")));
        QCOMPARE(bench.State.Run.PRJobKeywords[0], QStringLiteral("ne"));
        QVERIFY(!ExtractTitle(bench.Context, QStringLiteral("<title>t</title>"), QStringLiteral("K5")));
        // A page without tags stores nothing and needs no slot.
        QVERIFY(ExtractTitle(bench.Context, QStringLiteral("plain text"), QStringLiteral("K5")));
    }
};

QUORVEX_TEST_MAIN_CORE(TestSummaryParsers)
#include "test_summary_parsers.moc"
