// How close a rank run comes to its pacing floor (0.2 s before each paced request) against
// quorvex-sandbox answering at once, and how long the event loop is kept from its turn meanwhile.
//   quorvex-bench-rank [--benchmark_format=json]
// Counters: pacing_ratio = wall time / (0.2 s x paced requests), target at most 1.10;
// max_loop_gap_ms = longest time between two firings of a 10 ms timer, target under 50 ms.

#include "base/Clock.h"
#include "base/SilentPrompter.h"
#include "model/AppState.h"
#include "run/RankRun.h"
#include "session/DownloadParts.h"
#include "web/RequestDriver.h"
#include "web/ocxParseWeb.h"

#include "LoopGapProbe.h"
#include "SandboxProcess.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

void BM_RankRunPacing(benchmark::State& benchState)
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
        for (int i = 0; i < 20; ++i)
            state.Lists.PRURLList.append({QStringLiteral("http://www.site%1.com").arg(i), 1});
        for (int i = 0; i < 10; ++i)
            state.Lists.QuorvexList.append(
                {QStringLiteral("http://www.site%1.com").arg(i), QString(), QStringLiteral("keyword %1").arg(i), 1});
        state.Lists.CheckExtractKeyword = true;
        SilentPrompter prompter;
        const Clock clock;
        ocxParseWeb control(TablesOf(state), CountersOf(state), prompter);
        RequestDriver driver(CountersOf(state), control);
        RankRun run(state, control, driver, prompter, clock);

        LoopGapProbe probe;
        QObject::connect(&run, &RankRun::Finished, [] { QCoreApplication::exit(0); });

        QElapsedTimer wall;
        wall.start();
        probe.Start();
        run.StartOrStopRank();
        QCoreApplication::exec();
        const double seconds = double(wall.nsecsElapsed()) / 1e9;

        const RankRunState& result = state.Run;
        // Every PageRank query, traffic-rank page and search of the three passes is paced, a
        // skipped search too.
        const int paced = result.PRQueryCount + result.AlexaCount + 3 * result.SearchCount;
        benchState.SetIterationTime(seconds);
        benchState.counters["paced_requests"] = paced;
        benchState.counters["pacing_ratio"] = seconds / (0.2 * paced);
        benchState.counters["max_loop_gap_ms"] = probe.LongestGapMs();
    }
    sandbox.kill();
    sandbox.waitForFinished();
}

} // namespace

BENCHMARK(BM_RankRunPacing)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
