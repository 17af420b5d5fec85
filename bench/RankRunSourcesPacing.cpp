// A rank run on today's sources against quorvex-sandbox answering at once: 20 pages and 10 keywords,
// authority from openpagerank, traffic ranks from the sandbox's tranco list, positions from serpapi
// at a depth of 100 (eight keywords found from the first to the eighth page, two found nowhere).
//   quorvex-bench-rank --benchmark_filter=Sources [--benchmark_format=json]
// Counters: requests = every request of the run, page summaries beside the paced ones included;
// paced_requests = the searches and authority batches the sandbox saw; pacing_ratio = wall time /
// (0.2 s x paced requests), target at most 1.05; max_loop_gap_ms as in BM_RankRunPacing.

#include "base/Clock.h"
#include "base/SilentPrompter.h"
#include "model/AppState.h"
#include "run/RankRun.h"
#include "session/DownloadParts.h"
#include "sources/RankListStore.h"
#include "sources/SourceSettings.h"
#include "web/RequestDriver.h"
#include "web/ocxParseWeb.h"

#include "LoopGapProbe.h"
#include "PageGenerator.h"
#include "SandboxProcess.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// The sandbox's list imported as a user imports it, and the three columns pointed at the replicas.
bool ChooseTodaysSources(AppState& state)
{
    const QString list = state.ProgramFolder + u"/tranco-demo.csv"_s;
    QFile file(list);
    if (!file.open(QIODevice::WriteOnly) || file.write(GeneratedTrancoList()) < 0)
        return false;
    file.close();
    RankListImportRequest import;
    import.Path = list;
    if (!RankListStore(RankListsPath(state.ProgramFolder)).Import(import).Ok)
        return false;
    SourceSettings sources;
    sources.Search = {SearchSourceKind::SerpApi, u"demo-key"_s, u"http://serpapi.com/search.json"_s, 100};
    sources.Authority = {AuthoritySourceKind::OpenPageRank, u"demo-key"_s,
                         u"http://openpagerank.com/api/v1.0/getPageRank"_s};
    sources.Traffic = {TrafficSourceKind::Tranco, list};
    for (SourceColumn column : {SourceColumn::Search, SourceColumn::Authority, SourceColumn::Traffic}) {
        if (!SaveSourceSettings(sources, state.Settings, column))
            return false;
    }
    return true;
}

void FillLists(ListState& lists)
{
    for (int i = 0; i < 20; ++i)
        lists.PRURLList.append({u"http://"_s + GeneratedResultHost(u"benchmark pages"_s, i) + u'/', 1});
    for (int i = 0; i < 10; ++i) {
        const QString keyword = u"keyword %1"_s.arg(i);
        const QString site =
            i < 8 ? GeneratedResultHost(keyword, 11 * i) : u"www.nowhere%1.example"_s.arg(i); // position 11i + 1
        lists.QuorvexList.append({u"http://"_s + site + u'/', QString(), keyword, 1});
    }
    lists.CheckExtractKeyword = true;
}

// The requests to today's services in the sandbox's log, one line a request.
int PacedRequestsIn(const QByteArray& log)
{
    int paced = 0;
    for (const QByteArray& line : log.split('\n')) {
        if (line.startsWith("GET http://serpapi.com/") || line.startsWith("GET http://openpagerank.com/"))
            ++paced;
    }
    return paced;
}

void BM_RankRunSourcesPacing(benchmark::State& benchState)
{
    QProcess sandbox;
    const QString proxy = StartSandbox(sandbox);
    if (proxy.isEmpty()) {
        benchState.SkipWithError("quorvex-sandbox did not start");
        return;
    }
    qputenv("http_proxy", proxy.toUtf8());

    for (auto _ : benchState) {
        QTemporaryDir home;
        AppState state(home.path());
        if (!state.Settings.Load() || !ChooseTodaysSources(state)) {
            benchState.SkipWithError("today's sources could not be chosen");
            break;
        }
        FillLists(state.Lists);
        SilentPrompter prompter;
        const Clock clock;
        ocxParseWeb control(TablesOf(state), CountersOf(state), prompter);
        RequestDriver driver(CountersOf(state), control);
        RankRun run(state, control, driver, prompter, clock);

        LoopGapProbe probe;
        QObject::connect(&run, &RankRun::Finished, [] { QCoreApplication::exit(0); });

        sandbox.readAllStandardError();
        QElapsedTimer wall;
        wall.start();
        probe.Start();
        run.StartOrStopRank();
        QCoreApplication::exec();
        const double seconds = double(wall.nsecsElapsed()) / 1e9;

        const int paced = PacedRequestsIn(sandbox.readAllStandardError());
        benchState.SetIterationTime(seconds);
        benchState.counters["requests"] = run.Tally().Sent;
        benchState.counters["failed"] = run.Tally().Failed();
        benchState.counters["paced_requests"] = paced;
        benchState.counters["pacing_ratio"] = seconds / (0.2 * paced);
        benchState.counters["max_loop_gap_ms"] = probe.LongestGapMs();
    }
    sandbox.kill();
    sandbox.waitForFinished();
}

} // namespace

BENCHMARK(BM_RankRunSourcesPacing)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
