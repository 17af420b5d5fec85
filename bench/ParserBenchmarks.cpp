// Throughput of the page parsers on pages of about 1 MB and 10 MB, and of the checksum and URL
// normalisation. The 10 MB time over the 1 MB time shows whether a parser grows linearly.

#include "ParserPages.h"

#include "base/SilentPrompter.h"
#include "model/AppState.h"
#include "web/NormaliseURL.h"
#include "web/PageRankCheckSum.h"
#include "web/Parsers.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int Megabyte = 1 << 20;

// Tables sized as the callers size them before a download.
void PrepareTables(AppState& state)
{
    RankRunState& run = state.Run;
    run.PRJobPageRank = run.PRJobAlexa = run.PRJobTitle = run.PRJobDescription = run.PRJobKeywords =
        QStringList(1, QString());
    run.PositionJobs = QList<PositionJob>(1);
    run.PositionJobs[0].URL = QStringLiteral("http://www.target.example/");
    run.PositionJobs[0].Keyword = QStringLiteral("widget tools");
    SiteTables& sites = state.Sites;
    sites.WebSiteList.clear();
    sites.WebSiteCount = 0;
    sites.SitePR = QList<int>(1, 0);
    sites.SiteAlexa = QList<qint32>(1, 0);
    sites.SiteTitle = sites.SiteDescription = sites.SiteKeyword = QStringList(1, QString());
    sites.TitlesDone = 0;
}

// The page for a size argument in megabytes.
using PageMaker = QString (*)(int megabytes);

QString ResultsOf(int megabytes)
{
    // 100 results a megabyte: the first pass's page of 100, and ten times as many.
    return SearchResultsPage(100 * megabytes, 10 * 1024, 95 * megabytes);
}
QString ReplyOf(int megabytes)
{
    return PageRankReply(megabytes * Megabyte);
}
QString AlexaOf(int megabytes)
{
    return AlexaPage(megabytes * Megabyte);
}
QString SiteOf(int megabytes)
{
    return SitePage(megabytes * Megabyte);
}

void RunParser(benchmark::State& benchState, bool (*parser)(ParseContext&, const QString&, const QString&),
               PageMaker makePage, const QString& propertyName, int runPhase)
{
    const QString page = makePage(int(benchState.range(0)));
    QTemporaryDir folder;
    AppState state(folder.path());
    SilentPrompter prompter;
    ParseContext context{state.Run, state.Sites, state.StopRequested, [](const QString&) {}, prompter};
    state.Run.RunPhase = runPhase;
    for (auto _ : benchState) {
        PrepareTables(state);
        benchmark::DoNotOptimize(parser(context, page, propertyName));
    }
    benchState.SetBytesProcessed(int64_t(benchState.iterations()) * page.size());
    benchState.counters["page_MB"] = double(page.size()) / Megabyte;
}

void ParseGoogleWebSiteListBench(benchmark::State& s)
{
    RunParser(s, ParseGoogleWebSiteList, ResultsOf, "W0", 0);
}
void ParseGoogleQUORVEXFirstPass(benchmark::State& s)
{
    RunParser(s, ParseGoogleQUORVEX, ResultsOf, "T0$0", 0);
}
void ParseGoogleQUORVEXFollowUp(benchmark::State& s)
{
    RunParser(s, ParseGoogleQUORVEX, ResultsOf, "T0$3", 1);
}
void ParseGooglePRBench(benchmark::State& s)
{
    RunParser(s, ParseGooglePR, ReplyOf, "G0", 0);
}
void ParseGooglePR1Bench(benchmark::State& s)
{
    RunParser(s, ParseGooglePR1, ReplyOf, "g0", 0);
}
void ParseAlexaPRBench(benchmark::State& s)
{
    RunParser(s, ParseAlexaPR, AlexaOf, "A0", 0);
}
void ParseAlexaPR1Bench(benchmark::State& s)
{
    RunParser(s, ParseAlexaPR1, AlexaOf, "a0", 0);
}
void ExtractTitleBench(benchmark::State& s)
{
    RunParser(s, ExtractTitle, SiteOf, "K0", 0);
}
void ExtractTitle1Bench(benchmark::State& s)
{
    RunParser(s, ExtractTitle1, SiteOf, "k0", 0);
}

void GetPageRankCheckSumBench(benchmark::State& s)
{
    const QString url = QStringLiteral("http://www.example.com/some/longer/path/index.html");
    for (auto _ : s)
        benchmark::DoNotOptimize(GetPageRankCheckSum(url));
}

void NormaliseURLBench(benchmark::State& s)
{
    const QString url = QStringLiteral("HTTP://www.Example.com/some/longer/path/index.html?q=1");
    for (auto _ : s)
        benchmark::DoNotOptimize(NormaliseURL(url));
}

} // namespace

BENCHMARK(ParseGoogleWebSiteListBench)->Name("ParseGoogleWebSiteList")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseGoogleQUORVEXFirstPass)
    ->Name("ParseGoogleQUORVEX/first_pass")
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ParseGoogleQUORVEXFollowUp)
    ->Name("ParseGoogleQUORVEX/follow_up")
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ParseGooglePRBench)->Name("ParseGooglePR")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseGooglePR1Bench)->Name("ParseGooglePR1")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseAlexaPRBench)->Name("ParseAlexaPR")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseAlexaPR1Bench)->Name("ParseAlexaPR1")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(ExtractTitleBench)->Name("ExtractTitle")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(ExtractTitle1Bench)->Name("ExtractTitle1")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(GetPageRankCheckSumBench)->Name("GetPageRankCheckSum");
BENCHMARK(NormaliseURLBench)->Name("NormaliseURL");
BENCHMARK_MAIN();
