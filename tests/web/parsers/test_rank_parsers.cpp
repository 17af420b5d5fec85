// The PageRank reply and traffic-rank page parsers, for the rank run and for the site database.

#include "ParserTestSupport.h"
#include "support/TestHome.h"
#include "web/ThousandsText.h"

namespace {

void SizeRankRun(AppState& state, int jobs)
{
    for (int n = 0; n < jobs; ++n) {
        state.Run.PRJobPageRank.append(QStringLiteral("0/10"));
        state.Run.PRJobAlexa.append(QStringLiteral("Not Available"));
    }
}

void SizeSites(AppState& state, int sites)
{
    state.Sites.WebSiteCount = sites;
    state.Sites.SitePR = QList<int>(sites, -7);
    state.Sites.SiteAlexa = QList<qint32>(sites, -7);
}

} // namespace

class TestRankParsers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pageRankReplies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("plain") << "Rank_1:1:4\n" << true << "4/10" << 4;
        QTest::newRow("upper-case first field") << "RANK_1:1:6\n" << true << "6/10" << 6;
        QTest::newRow("carriage return stays in the text") << "Rank_1:2:10\r\n" << true << "10\r/10" << 10;
        QTest::newRow("more fields") << "rank_1:1:3:extra\n" << true << "3/10" << 3;
        QTest::newRow("third field without digits") << "Rank_1:1:n/a\n" << true << "n/a/10" << 0;
        QTest::newRow("empty reply") << "" << false << "0" << 0;
        QTest::newRow("not a rank reply") << "<html>Forbidden</html>" << false << "0" << 0;
        QTest::newRow("two fields") << "Rank_1:1" << false << "0" << 0;
    }

    void pageRankReplies()
    {
        QFETCH(QString, reply);
        QFETCH(bool, found);
        QFETCH(QString, text);
        QFETCH(int, number);
        ParserBench bench;
        SizeRankRun(bench.State, 4);
        SizeSites(bench.State, 40);
        QCOMPARE(ParseGooglePR(bench.Context, reply, QStringLiteral("G3")), found);
        QCOMPARE(ParseGooglePR1(bench.Context, reply, QStringLiteral("g2")), found);
        QCOMPARE(bench.State.Run.PRJobPageRank[3], text);
        QCOMPARE(bench.State.Run.PRJobPageRank[0], QStringLiteral("0/10"));
        QCOMPARE(bench.State.Sites.SitePR[2], number);
        QCOMPARE(bench.Statuses.first(), QStringLiteral("Quorvex is analysing Page Rank ..."));
        if (found) {
            QCOMPARE(bench.Statuses,
                     QStringList({QStringLiteral("Quorvex is analysing Page Rank ..."),
                                  QStringLiteral("Quorvex got Google Page Rank ..."),
                                  QStringLiteral("Quorvex got Google Page Rank ... 3/40 %1/10").arg(number)}));
        } else {
            QCOMPARE(bench.Statuses.size(), 1);
        }
    }

    void alexaPages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("fixture") << FixturePage(QStringLiteral("alexa-siteinfo.html")) << true << "1,234" << 1234;
        QTest::newRow("grouped from plain digits")
            << "<div class=\"data up\">1234567</a>" << true << "1,234,567" << 1234567;
        QTest::newRow("blanks around") << "<div class=\"data\">\n  98,765 \n</a>" << true << "98,765" << 98765;
        QTest::newRow("not a number stays text")
            << "<div class=\"data\"><img src=up.gif>12</a>" << true << "<img src=up.gif>12" << 0;
        QTest::newRow("no data division") << "<table class=\"data-table\"><a>5</a>" << false << "0" << 0;
        QTest::newRow("no link end") << "<div class=\"data\">77</div>" << false << "0" << 0;
        QTest::newRow("link end inside the tag") << "<div class=\"data</a>" << false << "0" << 0;
        QTest::newRow("empty page") << "" << false << "0" << 0;
    }

    void alexaPages()
    {
        QFETCH(QString, page);
        QFETCH(bool, found);
        QFETCH(QString, text);
        QFETCH(int, number);
        ParserBench bench;
        SizeRankRun(bench.State, 2);
        SizeSites(bench.State, 5);
        QCOMPARE(ParseAlexaPR(bench.Context, page, QStringLiteral("A1")), found);
        // A rank that is not a number fails only where a number must be stored.
        const bool numberFound = found && !text.startsWith(u'<');
        QCOMPARE(ParseAlexaPR1(bench.Context, page, QStringLiteral("a4")), numberFound);
        QCOMPARE(bench.State.Run.PRJobAlexa[1], text);
        QCOMPARE(bench.State.Run.PRJobAlexa[0], QStringLiteral("Not Available"));
        QCOMPARE(bench.State.Sites.SiteAlexa[4], number);
        QCOMPARE(bench.Statuses.first(), QStringLiteral("Quorvex is analysing Alexa Traffic Rank ..."));
        if (numberFound)
            QCOMPARE(bench.Statuses.last(), QStringLiteral("Quorvex got Alexa Traffic Rank ... 5/5 %1").arg(number));
    }

    void slotsOutsideTheTable_data()
    {
        QTest::addColumn<QString>("letterlessSlot");
        QTest::newRow("past the end") << "2";
        QTest::newRow("negative") << "-1";
        QTest::newRow("huge") << "4294967296";
    }

    void slotsOutsideTheTable()
    {
        QFETCH(QString, letterlessSlot);
        ParserBench bench;
        SizeRankRun(bench.State, 2);
        SizeSites(bench.State, 2);
        const QString reply = QStringLiteral("Rank_1:1:5\n");
        const QString page = QStringLiteral("<div class=\"data\">5</a>");
        QVERIFY(!ParseGooglePR(bench.Context, reply, QLatin1Char('G') + letterlessSlot));
        QVERIFY(!ParseGooglePR1(bench.Context, reply, QLatin1Char('g') + letterlessSlot));
        QVERIFY(!ParseAlexaPR(bench.Context, page, QLatin1Char('A') + letterlessSlot));
        QVERIFY(!ParseAlexaPR1(bench.Context, page, QLatin1Char('a') + letterlessSlot));
        QCOMPARE(bench.State.Run.PRJobPageRank, QStringList({QStringLiteral("0/10"), QStringLiteral("0/10")}));
        QCOMPARE(bench.State.Run.PRJobAlexa,
                 QStringList({QStringLiteral("Not Available"), QStringLiteral("Not Available")}));
        QCOMPARE(bench.State.Sites.SitePR, QList<int>({-7, -7}));
        QCOMPARE(bench.State.Sites.SiteAlexa, QList<qint32>({-7, -7}));
    }

    void keyWithoutNumberIsSlotZero()
    {
        ParserBench bench;
        SizeRankRun(bench.State, 1);
        QVERIFY(ParseGooglePR(bench.Context, QStringLiteral("Rank_1:1:2\n"), QStringLiteral("G")));
        QCOMPARE(bench.State.Run.PRJobPageRank[0], QStringLiteral("2/10"));
    }

    void thousands_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("formatted");
        QTest::newRow("zero") << "0"
                              << "0";
        QTest::newRow("three digits") << "999"
                                      << "999";
        QTest::newRow("four digits") << "1000"
                                     << "1,000";
        QTest::newRow("misplaced commas") << "12,34"
                                          << "1,234";
        QTest::newRow("fraction rounds") << "1234.5"
                                         << "1,235";
        QTest::newRow("negative") << "-45678"
                                  << "-45,678";
        QTest::newRow("words") << "n/a"
                               << "n/a";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("leading comma") << ",123"
                                       << ",123";
    }

    void thousands()
    {
        QFETCH(QString, text);
        QFETCH(QString, formatted);
        QCOMPARE(ThousandsText(text), formatted);
    }

    void thousandsBeyond32Bits()
    {
        QCOMPARE(ThousandsText(QStringLiteral("3000000000")), QStringLiteral("3,000,000,000"));
        QVERIFY(!ThousandsNumber(QStringLiteral("3,000,000,000")));
        QCOMPARE(ThousandsNumber(QStringLiteral("2,147,483,647")), std::optional<qint32>(2147483647));
    }
};

QUORVEX_TEST_MAIN_CORE(TestRankParsers)
#include "test_rank_parsers.moc"
