// How close an extraction batch of 50 rows comes to its pacing floor (0.2 s before each PageRank
// query and traffic-rank page) against the stand-in web answering at once, and how long the event
// loop is kept from its turn meanwhile.
//   quorvex-bench-extract [--benchmark_format=json]
// Counters: pacing_ratio = wall time / (0.2 s x paced requests), target at most 1.05;
// max_loop_gap_ms = longest time between two firings of a 10 ms timer, target under 16 ms.

#include "base/Clock.h"
#include "base/Names.h"
#include "base/SilentPrompter.h"
#include "model/AppState.h"
#include "session/DownloadParts.h"
#include "sitedb/SiteExtraction.h"
#include "web/RequestDriver.h"
#include "web/ocxParseWeb.h"

#include "FakeWeb.h"
#include "PageGenerator.h"

#include "LoopGapProbe.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr int BatchRows = 50;

// A program folder whose database holds one collected keyword of BatchRows sites.
ExtractionBatch CollectedKeyword(const QString& programFolder)
{
    ExtractionBatch batch{u"garden tools"_s, SearchTableName(u"garden tools"_s), 1, BatchRows + 1, BatchRows, {}};
    for (int i = 0; i < BatchRows; ++i)
        batch.URLs.append(u"http://www.site%1.example/garden-tools.html"_s.arg(i));
    QDir().mkpath(programFolder + QLatin1Char('/') + WorkingFolderName);
    SiteDatabase database(DatabasePath(programFolder), SiteDatabase::OpenMode::Create);
    if (!database.CreateMasterTable() || !database.AddKeyword(batch.Keyword, u"tools"_s, batch.Table) ||
        !database.ReplaceSearchRows(batch.Keyword, batch.Table, batch.URLs, u"2024-05-01"_s))
        qFatal("no site database: %s", qPrintable(database.LastError()));
    return batch;
}

void BM_ExtractionPacing(benchmark::State& benchState)
{
    FakeWeb web;
    web.SetFallback(&GeneratedReply);
    if (!web.Listen()) {
        benchState.SkipWithError("the stand-in web did not start");
        return;
    }
    qputenv("http_proxy", web.ProxyUrl().toUtf8());

    for (auto _ : benchState) {
        QTemporaryDir home;
        const ExtractionBatch batch = CollectedKeyword(home.path());
        AppState state(home.path());
        SilentPrompter prompter;
        const Clock clock;
        ocxParseWeb control(TablesOf(state), CountersOf(state), prompter);
        RequestDriver driver(CountersOf(state), control);
        SiteExtraction extraction(state, driver, prompter, clock);

        LoopGapProbe probe;
        bool written = false;
        QObject::connect(&extraction, &SiteExtraction::Finished, [&](bool done) {
            written = done;
            QCoreApplication::exit(0);
        });

        QElapsedTimer wall;
        wall.start();
        probe.Start();
        extraction.Start(batch, ExtractChoice{});
        QCoreApplication::exec();
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        if (!written) {
            benchState.SkipWithError("the batch was not written");
            return;
        }

        const int paced = 2 * BatchRows;
        benchState.SetIterationTime(seconds);
        benchState.counters["paced_requests"] = paced;
        benchState.counters["pacing_ratio"] = seconds / (0.2 * paced);
        benchState.counters["max_loop_gap_ms"] = probe.LongestGapMs();
    }
}

} // namespace

BENCHMARK(BM_ExtractionPacing)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
