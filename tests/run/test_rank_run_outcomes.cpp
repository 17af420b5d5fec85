// How a rank run ends when the web or the disk fails it: failed requests are counted by kind and
// told at the end while the run goes on, keywords reach the engine whole, and a report that
// cannot be written leaves the old one and says why.

#include "base/CheckedFile.h"
#include "base/Clock.h"
#include "base/HtmlText.h"
#include "model/AppState.h"
#include "run/RankReport.h"
#include "run/RankRun.h"
#include "session/DownloadParts.h"
#include "support/RankRunRig.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"
#include "web/RequestDriver.h"
#include "web/ServiceAddresses.h"
#include "web/ocxParseWeb.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QUrlQuery>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void Put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Runs work in a child process that may write files of at most limit bytes, as on a full disk;
// its answer comes back as the child's exit status.
int InChildWithFileSizeLimit(rlim_t limit, const std::function<int()>& work)
{
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write over the limit fails instead of ending the child
        const rlimit cap{limit, limit};
        setrlimit(RLIMIT_FSIZE, &cap);
        _exit(work());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A results page of the historical layout with site at 0-based position at.
QByteArray ResultsPage(int count, int at, const QString& site)
{
    QByteArray page = "<html><body><ol>";
    for (int i = 0; i < count; ++i) {
        const QByteArray address = i == at ? site.toUtf8() : "www.filler" + QByteArray::number(i) + ".net/";
        page += "<li class=g><div class=s>Snippet<br><cite>" + address +
                " - 3k - </cite><span class=gl><a href=\"/x\">Similar pages</a></span></div></li>";
    }
    return page + "</ol></body></html>";
}

} // namespace

class TestRankRunOutcomes : public QObject {
    Q_OBJECT

    struct Bench : RankRunRig {
        QString ReportPath() const { return home.filePath(QStringLiteral("Report/Report20260307.htm")); }
    };

private Q_SLOTS:
    void failuresAreCountedAndTheRunGoesOn()
    {
        Bench bench;
        bench.control.SetBodyCap(64 * 1024);
        bench.control.SetTotalTimeLimit(800);
        ListState& lists = bench.state.Lists;
        lists.PRURLList = {{QStringLiteral("http://www.endless.com"), 1}, {QStringLiteral("http://www.fine.com"), 1}};
        lists.QuorvexList = {{QStringLiteral("http://www.fine.com"), QString(), QStringLiteral("c#,a&b"), 1}};
        lists.CheckExtractKeyword = true;
        bench.web.SetFallback([](const QUrl& url) {
            CannedReply reply;
            const QString path = url.path();
            if (path == QLatin1String("/tbr") && url.query().contains(QLatin1String("endless")))
                reply.Kind = CannedReply::Behaviour::Endless; // over the cap
            else if (path == QLatin1String("/tbr"))
                reply.Body = "Rank_1:1:4\n";
            else if (path.startsWith(QLatin1String("/siteinfo/")))
                reply.Status = 500;
            else if (path == QLatin1String("/search"))
                reply.Body = ResultsPage(url.query().contains(QLatin1String("num=100")) ? 30 : 10, 2,
                                         QStringLiteral("www.fine.com/"));
            else if (url.host() == QLatin1String("www.endless.com"))
                reply.Kind = CannedReply::Behaviour::Drip; // past the total limit
            else
                reply.Body = "<title>Fine</title>";
            return reply;
        });

        bench.run.StartOrStopRank();
        QTRY_COMPARE_WITH_TIMEOUT(bench.finished.size(), 1, 30000);
        QCOMPARE(bench.finished.at(0), true);
        QVERIFY(bench.prompter.Messages.isEmpty());

        // 3 PageRank queries (the maker's page too), 2 traffic-rank pages, 2 summaries, and 2
        // searches in each of the first two passes (both keywords were found, so the third has none).
        const RequestTally& tally = bench.run.Tally();
        QCOMPARE(tally.Sent, 3 + 2 + 2 + 4);
        QCOMPARE(tally.Sent, int(bench.web.Requests().size()));
        QCOMPARE(tally.FailedOfKind(QLatin1Char('G')), 1);
        QCOMPARE(tally.FailedOfKind(QLatin1Char('A')), 2);
        QCOMPARE(tally.FailedOfKind(QLatin1Char('K')), 1);
        QCOMPARE(tally.FailedOfKind(QLatin1Char('T')), 0);
        QCOMPARE(bench.texts, QStringList{QStringLiteral("Quorvex completed: 11 requests, 4 failed")});
        // Each kind that failed says why its first request did.
        QStringList reasons = bench.run.FailureReasons();
        reasons.sort();
        QCOMPARE(reasons,
                 (QStringList{QStringLiteral("authority (historical): the reply went past its size or time bounds"),
                              QStringLiteral("page summary (the page itself): the reply went past its size or "
                                             "time bounds"),
                              QStringLiteral("traffic rank (historical): HTTP status 500")}));

        const RankRunState& run = bench.state.Run;
        QCOMPARE(run.PRJobPageRank, (QStringList{QStringLiteral("0/10"), QStringLiteral("4/10")}));
        QCOMPARE(run.PRJobAlexa, (QStringList{QStringLiteral("Not Available"), QStringLiteral("Not Available")}));
        QCOMPARE(run.PRJobTitle, (QStringList{QString(), QStringLiteral("Fine")}));

        // Each keyword reached the engine as one value, and the report links the page it was found on.
        QStringList keywords;
        for (const RecordedRequest& request : bench.web.Requests()) {
            const QUrl url(request.Url);
            if (url.path() == QLatin1String("/search"))
                keywords << QUrlQuery(url).queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded);
        }
        QCOMPARE(keywords.mid(0, 2), (QStringList{QStringLiteral("c#"), QStringLiteral("a&b")}));
        QCOMPARE(run.PositionJobs.at(0).Rank, 3);
        QCOMPARE(run.PositionJobs.at(0).ViewURL, SearchResultsURL(QStringLiteral("c#"), {}, 10, 0));
        QVERIFY(run.PositionJobs.at(0).ViewURL.contains(QLatin1String("q=c%23&btnG")));
        const QByteArray report = FileBytes(bench.ReportPath());
        QVERIFY(report.contains("HREF=" + HtmlUnquotedAttribute(run.PositionJobs.at(1).ViewURL).toUtf8() + ">"));
        QVERIFY(report.contains("q=a%26b&btnG"));
    }

    void runWithoutFailuresSaysNoneFailed()
    {
        Bench bench;
        bench.state.Lists.PRURLList = {{QStringLiteral("http://www.fine.com"), 1}};
        bench.web.SetFallback([](const QUrl&) {
            CannedReply reply;
            reply.Body = "Rank_1:1:4\n";
            return reply;
        });
        bench.run.StartOrStopRank();
        QTRY_COMPARE_WITH_TIMEOUT(bench.finished.size(), 1, 20000);
        QCOMPARE(bench.texts, QStringList{QStringLiteral("Quorvex completed: 3 requests, 0 failed")});
        QCOMPARE(bench.run.Tally().Failed(), 0);
    }

    void failedReportWriteIsToldAndKeepsTheOldReport()
    {
        // The day's report cannot replace what stands at its name: the run says so and ends
        // without a report.
        Bench bench;
        bench.state.Lists.PRURLList = {{QStringLiteral("http://www.fine.com"), 1}};
        bench.web.SetFallback([](const QUrl&) { return CannedReply(); });
        QVERIFY(QDir().mkpath(bench.ReportPath()));
        QSignalSpy written(&bench.run, &RankRun::ReportWritten);
        bench.run.StartOrStopRank();
        QTRY_COMPARE_WITH_TIMEOUT(bench.finished.size(), 1, 20000);
        QCOMPARE(bench.finished.at(0), false);
        QCOMPARE(written.size(), 0);
        QCOMPARE(bench.prompter.Messages.size(), 1);
        const QString text = bench.prompter.Messages.at(0).Text;
        QVERIFY2(text.startsWith(QStringLiteral("The report could not be written to ") +
                                 ReportIndexPath(bench.home.path()) + QStringLiteral(" (Report20260307.htm: ")),
                 qPrintable(text));
        QVERIFY(QFileInfo(bench.ReportPath()).isDir());
        QVERIFY(!QFileInfo::exists(ReportIndexPath(bench.home.path())));
    }

    void fullDiskKeepsOldFiles_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("fits");
        QTest::newRow("fits") << 1000 << true;
        QTest::newRow("over the limit") << 100000 << false;
        QTest::newRow("one byte over") << 4097 << false;
    }
    void fullDiskKeepsOldFiles()
    {
        QFETCH(int, bytes);
        QFETCH(bool, fits);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.htm"));
        Put(path, "the old page");
        const QByteArray page(bytes, 'n');
        // 0 written, 1 refused with a reason, 2 refused without one
        const int outcome = InChildWithFileSizeLimit(4096, [&] {
            QString error;
            return WriteWholeFile(path, page, error) ? 0 : error.isEmpty() ? 2 : 1;
        });
        QCOMPARE(outcome, fits ? 0 : 1);
        QCOMPARE(FileBytes(path), fits ? page : QByteArray("the old page"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("page.htm")});
    }

    void fullDiskKeepsTheOldReport()
    {
        QTemporaryDir home;
        AppState state(home.path());
        for (int n = 0; n < 200; ++n) {
            state.Run.PRJobURL << QStringLiteral("http://www.site%1.com").arg(n);
            state.Run.PRJobPageRank << QStringLiteral("0/10");
            state.Run.PRJobAlexa << QStringLiteral("Not Available");
        }
        state.Run.PRJobCount = 200;
        const QString folder = home.filePath(QStringLiteral("Report"));
        QVERIFY(QDir().mkpath(folder));
        Put(folder + QStringLiteral("/Report20260307.htm"), "yesterday's run, same day");
        Put(folder + QStringLiteral("/Index.htm"), "old index");
        const QDateTime now(QDate(2026, 3, 7), QTime(14, 5, 9));
        const int outcome = InChildWithFileSizeLimit(8192, [&] {
            QString failure;
            return GetReport(state, now, &failure)                              ? 0
                   : failure.startsWith(QStringLiteral("Report20260307.htm: ")) ? 1
                                                                                : 2;
        });
        QCOMPARE(outcome, 1);
        QCOMPARE(FileBytes(folder + QStringLiteral("/Report20260307.htm")), QByteArray("yesterday's run, same day"));
        QCOMPARE(FileBytes(folder + QStringLiteral("/Index.htm")), QByteArray("old index"));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    }
};

QUORVEX_TEST_MAIN_CORE(TestRankRunOutcomes)
#include "test_rank_run_outcomes.moc"
