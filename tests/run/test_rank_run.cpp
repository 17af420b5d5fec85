#include "base/Clock.h"
#include "model/AppState.h"
#include "run/RankRun.h"
#include "session/DownloadParts.h"
#include "support/RankRunRig.h"
#include "support/RunProgress.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"
#include "web/RequestDriver.h"
#include "web/ocxParseWeb.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QUrlQuery>

namespace {

// A results page of the historical layout: each result's address in a cite, closed by a
// "Similar pages" link; the product name, when given, in the snippet of result productAt.
QByteArray ResultsPage(const QStringList& sites, const QString& product = {}, int productAt = -1)
{
    QByteArray page = "<html><head><title>results</title><style>.g{margin:0}</style></head><body><ol>";
    for (int i = 0; i < sites.size(); ++i) {
        const QByteArray site = sites.at(i).toUtf8();
        const QByteArray snippet =
            i == productAt ? "Buy the " + product.toUtf8() + " here" : "Snippet " + QByteArray::number(i);
        page += "<li class=g><h3 class=r><a href=\"http://" + site + "\" class=l>Result " + QByteArray::number(i) +
                "</a></h3><div class=s>" + snippet + "<br><cite>" + site +
                " - 12k - </cite><span class=gl> - <a href=\"/search?q=related:" + site +
                "\">Similar pages</a></span></div></li>";
    }
    return page + "</ol></body></html>";
}

QStringList Filler(int count, const char* stem)
{
    QStringList sites;
    for (int i = 0; i < count; ++i)
        sites << QStringLiteral("www.%1%2.net/page").arg(QLatin1String(stem)).arg(i);
    return sites;
}

QStringList With(QStringList sites, int at, const QString& site)
{
    sites[at] = site;
    return sites;
}

// The search answers of the scenario, by keyword and start offset.
CannedReply SearchAnswer(const QUrlQuery& query)
{
    const QString keyword = query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded);
    const int start = query.queryItemValue(QStringLiteral("start")).toInt();
    CannedReply reply;
    if (keyword == QLatin1String("a") && start == 0) // 23rd result of 100
        reply.Body = ResultsPage(With(Filler(30, "a"), 22, QStringLiteral("www.example.com/shop")));
    else if (keyword == QLatin1String("a") && start == 20) // third of the page of ten
        reply.Body = ResultsPage(With(Filler(10, "a2"), 2, QStringLiteral("example.com/shop")));
    else if (keyword.isEmpty() && start == 0 && query.queryItemValue(QStringLiteral("num")) == QLatin1String("100"))
        reply.Body = ResultsPage(With(Filler(30, "e"), 7, QStringLiteral("www.example.com")));
    else if (keyword == QLatin1String("c")) // the product stands in result 5, the address far below
        reply.Body =
            ResultsPage(With(Filler(start == 0 ? 30 : 10, "c"), start == 0 ? 25 : 9, QStringLiteral("www.other.org")),
                        QStringLiteral("Gizmo"), 5);
    else
        reply.Body = ResultsPage(Filler(10, "x"));
    return reply;
}

CannedReply ScenarioAnswer(const QUrl& url)
{
    const QUrlQuery query(url);
    CannedReply reply;
    if (url.path() == QLatin1String("/tbr")) {
        const QString target = query.queryItemValue(QStringLiteral("q"));
        reply.Body = target.contains(QLatin1String("alpha")) ? "Rank_1:1:5\n" : "Rank_1:1:3\n";
        reply.ContentType = "text/plain";
    } else if (url.path().startsWith(QLatin1String("/siteinfo/"))) {
        reply.Body = "<html><body><div class=\"data up\">1234</a></div></body></html>";
    } else if (url.path() == QLatin1String("/search")) {
        return SearchAnswer(query);
    } else {
        reply.Body = "<html><head><title>Home of " + url.host().toUtf8() +
                     "</title><meta name=\"description\" content=\"About it\"><meta name=\"keywords\" "
                     "content=\"one, two\"></head><body><a href=\"/x\">x</a></body></html>";
    }
    return reply;
}

} // namespace

class TestRankRun : public QObject {
    Q_OBJECT

    // One run's surroundings: program folder, state, fake web as proxy, control and driver.
    struct Bench : RankRunRig {
        int maxPendingHtml = 0;
        int maxPendingTitle = 0;

        Bench()
        {
            web.SetFallback(ScenarioAnswer);
            QObject::connect(&web, &FakeWeb::RequestReceived, [this] {
                maxPendingHtml = std::max(maxPendingHtml, int(state.PendingHtmlCount));
                maxPendingTitle = std::max(maxPendingTitle, int(state.PendingTitleCount));
            });
        }
        QStringList Requests(bool summaries) const
        {
            QStringList urls;
            for (const RecordedRequest& request : web.Requests()) {
                const bool summary = !request.Url.contains(QLatin1String("google.com")) &&
                                     !request.Url.contains(QLatin1String("alexa.com")) &&
                                     !request.Url.contains(QLatin1String("quorvex.example"));
                if (summary == summaries)
                    urls << request.Url;
            }
            return urls;
        }
    };

    static QString Search(const char* keyword, int num, int start)
    {
        return QStringLiteral("http://www.google.com/search?hl=en&q=%1&btnG=Google+Search&num=%2&start=%3")
            .arg(QLatin1String(keyword))
            .arg(num)
            .arg(start);
    }

private Q_SLOTS:
    void fullRunInOrderPacedAndReported()
    {
        Bench bench;
        bench.driver.SetLeastPauseMs(RequestDriver::UsualPauseMs);
        ListState& lists = bench.state.Lists;
        lists.PRURLList = {{QStringLiteral("http://www.alpha.com"), 1},
                           {QStringLiteral("http://www.unchecked.com"), 0},
                           {QStringLiteral("http://www.beta.com"), 1}};
        lists.QuorvexList = {{QStringLiteral("http://example.com"), QString(), QStringLiteral("a, b,"), 1},
                             {QStringLiteral("http://other.org"), QStringLiteral("Gizmo"), QStringLiteral("c"), 1}};
        lists.CheckExtractKeyword = true;
        lists.TOP10List = true;
        QVERIFY(QDir().mkpath(bench.home.filePath(QStringLiteral("Report"))));
        QFile earlier(bench.home.filePath(QStringLiteral("Report/Report20251231.htm")));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.close();

        RunProgress progress(bench.run);
        QSignalSpy written(&bench.run, &RankRun::ReportWritten);
        bench.run.StartOrStopRank();
        QVERIFY(bench.run.IsRunning());
        QTRY_COMPARE_WITH_TIMEOUT(bench.finished.size(), 1, 30000);
        QCOMPARE(bench.finished.at(0), true);
        QVERIFY(!bench.run.IsRunning());
        QVERIFY(bench.prompter.Messages.isEmpty());

        const QStringList paced = bench.Requests(false);
        const QStringList expected = {
            QStringLiteral("http://toolbarqueries.google.com/"
                           "tbr?client=navclient-auto&ch=%1&features=Rank&q=info:http://www.alpha.com"),
            QStringLiteral("http://toolbarqueries.google.com/"
                           "tbr?client=navclient-auto&ch=%1&features=Rank&q=info:http://www.beta.com"),
            QStringLiteral("http://www.quorvex.example/"),
            QStringLiteral("http://www.alexa.com/siteinfo/http://www.alpha.com"),
            QStringLiteral("http://www.alexa.com/siteinfo/http://www.beta.com"), Search("a", 100, 0),
            Search("+b", 100, 0), Search("", 100, 0), Search("c", 100, 0),
            // pass 1: " b" has no page and is skipped
            Search("a", 10, 20), Search("", 10, 0), Search("c", 10, 0),
            // pass 2: only the empty keyword is still missing
            Search("", 10, 10)};
        QCOMPARE(paced.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            if (expected.at(i).contains(QLatin1String("%1"))) // the checksum is tested on its own
                QVERIFY2(paced.at(i).startsWith(expected.at(i).section(QLatin1String("%1"), 0, 0)) &&
                             paced.at(i).endsWith(expected.at(i).section(QLatin1String("%1"), 1)),
                         qPrintable(paced.at(i)));
            else
                QCOMPARE(paced.at(i), expected.at(i));
        }
        QCOMPARE(bench.Requests(true).size(), 2);

        // Paced requests are at least 0.2 s apart.
        qint64 last = -1;
        for (const RecordedRequest& request : bench.web.Requests()) {
            if (!paced.contains(request.Url))
                continue;
            if (last >= 0)
                QVERIFY2(request.AtMs - last >= 199, qPrintable(request.Url));
            last = request.AtMs;
        }
        QVERIFY(bench.maxPendingHtml <= 1);
        QVERIFY(bench.maxPendingTitle <= 10);

        // 3 steps per PageRank job, 4 per keyword, 1 for the maker's page; one step per request
        // sent or search skipped, and the keywords' fourth steps once the last pass is over: the
        // bar ends full.
        QCOMPARE(progress.Maximum, 3 * 2 + 4 * 4 + 1);
        QVERIFY2(progress.EndedFull(), qPrintable(QDebug::toString(progress.Values)));

        const RankRunState& run = bench.state.Run;
        QCOMPARE(run.PRJobPageRank, (QStringList{QStringLiteral("5/10"), QStringLiteral("3/10")}));
        QCOMPARE(run.PRJobAlexa, (QStringList{QStringLiteral("1,234"), QStringLiteral("1,234")}));
        QCOMPARE(run.PRJobTitle.at(1), QStringLiteral("Home of www.beta.com"));
        QCOMPARE(run.PositionJobs.at(0).Rank, 23);
        QCOMPARE(run.PositionJobs.at(0).ViewURL, Search("a", 10, 20));
        QCOMPARE(run.PositionJobs.at(1).Rank, 0);
        QCOMPARE(run.PositionJobs.at(2).Rank, 0);
        QCOMPARE(run.PositionJobs.at(3).Rank, 6);
        QCOMPARE(run.PositionJobs.at(0).Top10.at(0), QStringLiteral("www.a0.net/page"));

        QCOMPARE(written.size(), 1);
        QFile report(bench.home.filePath(QStringLiteral("Report/Report20260307.htm")));
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QByteArray html = report.readAll();
        QCOMPARE(html.count("Not Found"), 2);
        QVERIFY(html.contains("<B>23</B>"));
        QFile title(bench.home.filePath(QStringLiteral("Report/Title.htm")));
        QVERIFY(title.open(QIODevice::ReadOnly));
        const QByteArray titles = title.readAll();
        QVERIFY(titles.contains(">2025-12-31<"));
        QVERIFY(titles.contains(">2026-03-07<"));
    }

    void withoutExtractKeywordNoSummaryIsAsked()
    {
        Bench bench;
        bench.state.Lists.PRURLList = {{QStringLiteral("http://www.alpha.com"), 1}};
        RunProgress progress(bench.run);
        bench.run.StartOrStopRank();
        QTRY_COMPARE_WITH_TIMEOUT(bench.finished.size(), 1, 20000);
        QVERIFY(bench.finished.at(0));
        QVERIFY(bench.Requests(true).isEmpty());
        QCOMPARE(bench.Requests(false).size(), 3);
        QVERIFY(bench.state.Run.PRJobTitle.at(0).isEmpty());
        // The summary that is not asked for still counts its step.
        QCOMPARE(progress.Maximum, 3 + 1);
        QVERIFY2(progress.EndedFull(), qPrintable(QDebug::toString(progress.Values)));
    }

    // The page summary and the report's links go to the page as it was typed (a host without the
    // list's "www."), the historical queries to the stored address; an entry of an earlier version
    // has only the stored one.
    void pageItselfIsReadWhereItWasTyped()
    {
        Bench bench;
        bench.state.Lists.PRURLList = {
            {QStringLiteral("http://www.blog.example.com"), 1, QStringLiteral("http://blog.example.com")},
            {QStringLiteral("http://www.old.example"), 1}};
        bench.state.Lists.CheckExtractKeyword = true;
        bench.run.StartOrStopRank();
        QTRY_COMPARE_WITH_TIMEOUT(bench.finished.size(), 1, 20000);
        QVERIFY(bench.finished.at(0));
        QStringList hosts;
        for (const QString& url : bench.Requests(true))
            hosts.append(QUrl(url).host());
        hosts.sort();
        QCOMPARE(hosts, (QStringList{QStringLiteral("blog.example.com"), QStringLiteral("www.old.example")}));
        QCOMPARE(bench.state.Run.PRJobTitle.at(0), QStringLiteral("Home of blog.example.com"));
        QVERIFY(bench.Requests(false).at(0).endsWith(QLatin1String("q=info:http://www.blog.example.com")));

        QFile report(bench.home.filePath(QStringLiteral("Report/Report20260307.htm")));
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QByteArray html = report.readAll();
        QCOMPARE(html.count("<A HREF=http://blog.example.com TARGET='_blank'>http://www.blog.example.com</A>"), 2);
        QCOMPARE(html.count("<A HREF=http://www.old.example TARGET='_blank'>http://www.old.example</A>"), 2);
        QVERIFY(!html.contains("HREF=http://www.blog.example.com"));
    }

    void summariesRunTenAtATime()
    {
        Bench bench;
        for (int i = 0; i < 14; ++i)
            bench.state.Lists.PRURLList.append({QStringLiteral("http://www.site%1.com").arg(i), 1});
        bench.state.Lists.CheckExtractKeyword = true;
        bench.web.SetFallback([](const QUrl& url) {
            CannedReply reply = ScenarioAnswer(url);
            if (url.host().startsWith(QLatin1String("www.site")))
                reply.DelayMs = 1500; // summaries stay in flight while the queries go on
            return reply;
        });
        bench.run.StartOrStopRank();
        QTRY_COMPARE_WITH_TIMEOUT(bench.finished.size(), 1, 60000);
        QCOMPARE(bench.maxPendingTitle, 10);
        QCOMPARE(bench.Requests(true).size(), 14);
        QVERIFY(bench.maxPendingHtml <= 1);
    }

    void stopInFirstPassCancelsEverything()
    {
        Bench bench;
        bench.state.Lists.PRURLList = {{QStringLiteral("http://www.alpha.com"), 1}};
        bench.state.Lists.QuorvexList = {{QStringLiteral("http://example.com"), QString(), QStringLiteral("a"), 1}};
        bench.web.SetFallback([](const QUrl& url) {
            CannedReply reply = ScenarioAnswer(url);
            reply.DelayMs = 5000;
            return reply;
        });
        QSignalSpy captions(&bench.run, &RankRun::RankCaptionChanged);
        bench.run.StartOrStopRank();
        QTRY_COMPARE_WITH_TIMEOUT(bench.web.Requests().size(), 1, 5000);
        bench.run.StartOrStopRank();
        QTRY_COMPARE_WITH_TIMEOUT(bench.finished.size(), 1, 5000);
        QCOMPARE(bench.finished.at(0), false);
        QCOMPARE(bench.prompter.Messages.size(), 1);
        QCOMPARE(bench.prompter.Messages.at(0).Text, QStringLiteral("You press the stop button !"));
        QCOMPARE(captions.last().at(0).toString(), QStringLiteral("Ran&k"));
        QVERIFY(bench.control.PendingNames().isEmpty());
        QCOMPARE(bench.state.PendingHtmlCount, 0);
        QCOMPARE(bench.state.PendingTitleCount, 0);
        QTest::qWait(600);
        QCOMPARE(bench.web.Requests().size(), 1);
        QVERIFY(!QFileInfo::exists(bench.home.filePath(QStringLiteral("Report"))));
    }

    void nothingCheckedIsRefused()
    {
        Bench bench;
        bench.state.Lists.PRURLList = {{QStringLiteral("http://www.alpha.com"), 0}};
        bench.run.StartOrStopRank();
        QCOMPARE(bench.finished, QList<bool>{false});
        QCOMPARE(bench.prompter.Messages.size(), 1);
        QCOMPARE(bench.prompter.Messages.at(0).Text, QStringLiteral("You select nothing to report !"));
        QVERIFY(!bench.run.IsRunning());
        QTest::qWait(100);
        QVERIFY(bench.web.Requests().isEmpty());
    }
};

QUORVEX_TEST_MAIN_CORE(TestRankRun)
#include "test_rank_run.moc"
