// The two monitored lists in the settings store: one check-box click, loading both lists at
// start-up, rewriting the keyword list as every keyword edit does, and taking the Page Rank edit
// dialog's whole text, with as many entries in each list as the first argument says; where a second
// argument is 1, every keyword entry has a market of its own.

#include "base/SettingsStore.h"
#include "lists/ListEdits.h"
#include "lists/ListStore.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

ListState ListsOf(int entries, bool markets)
{
    ListState state;
    state.PRURLList.reserve(entries);
    state.QuorvexList.reserve(entries);
    for (int n = 1; n <= entries; ++n) {
        state.PRURLList.append({QStringLiteral("http://www.page%1.example/some/path.html").arg(n), 1});
        state.QuorvexList.append({QStringLiteral("http://www.site%1.example/").arg(n),
                                  QStringLiteral("Product %1").arg(n),
                                  QStringLiteral("seo tools,page rank,keyword %1").arg(n), 1});
        if (markets)
            state.QuorvexList.last().OwnMarket = {QStringLiteral("fr"), QStringLiteral("fr"), QStringLiteral("mobile"),
                                                  QStringLiteral("Lyon, France")};
    }
    return state;
}

// A program folder of its own holding both lists.
struct StoredLists {
    explicit StoredLists(int entries, bool markets = false)
        : state(ListsOf(entries, markets)), store(dir.filePath(QStringLiteral("Settings.db")))
    {
        if (!store.Load() || !SavePRURLList(state, store) || !SaveQuorvexURLList(state, store))
            qFatal("the lists could not be stored in %s", qPrintable(dir.path()));
    }
    QTemporaryDir dir;
    ListState state;
    SettingsStore store;
};

void BM_SaveEntryChecked(benchmark::State& bench)
{
    StoredLists stored(int(bench.range(0)));
    const int n = stored.state.PRURLCount() / 2;
    for (auto _ : bench) {
        PRURLEntry& entry = stored.state.PRURLList[n - 1];
        entry.Checked = 1 - entry.Checked;
        if (!SaveEntryChecked(stored.state, stored.store, ListKind::PageRank, n))
            bench.SkipWithError("the flag was not saved");
    }
}

void BM_LoadLists(benchmark::State& bench)
{
    StoredLists stored(int(bench.range(0)), bench.range(1) != 0);
    for (auto _ : bench) {
        SettingsStore store(stored.store.FilePath());
        ListState state;
        if (!store.Load() || !LoadURLLists(state, store))
            bench.SkipWithError("the lists could not be loaded");
        benchmark::DoNotOptimize(state.QuorvexCount());
    }
}

void BM_SaveKeywordList(benchmark::State& bench)
{
    StoredLists stored(int(bench.range(0)), bench.range(1) != 0);
    for (auto _ : bench) {
        if (!SaveQuorvexURLList(stored.state, stored.store))
            bench.SkipWithError("the list was not saved");
    }
}

// OK in the Page Rank dialog in Edit mode, the list as it shows it: every line checked as an address,
// normalised, matched with its entry, and the list saved.
void BM_AcceptPageText(benchmark::State& bench)
{
    StoredLists stored(int(bench.range(0)));
    QStringList lines;
    for (const PRURLEntry& entry : std::as_const(stored.state.PRURLList))
        lines.append(entry.URL);
    const QString text = lines.join(QLatin1Char('\n'));
    for (auto _ : bench) {
        if (AcceptPRURLText(stored.state, stored.store, text, false) != EditResult::Saved)
            bench.SkipWithError("the text was not taken");
    }
}

} // namespace

BENCHMARK(BM_AcceptPageText)->Arg(10000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveEntryChecked)->Arg(10000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLists)->Args({10000, 0})->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveKeywordList)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond);
