// The history of a year of daily rank runs, each of 1,000 keyword records and 100 pages: storing one
// more run (target at most 50 ms) and comparing it with the run before, writing Report/History.htm
// from the whole history (target at most 1 s), its CSV export (target at most 1 s) and its JSON
// export (target at most twice the time of sqlite3 -json on the same tables, in under 100 MB).
//   quorvex-bench-history [--benchmark_format=json]

#include "history/HistoryExport.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr int Days = 365;
constexpr int PageCount = 100;
constexpr int KeywordsPerPage = 10;

quint32 Mixed(quint32 a, quint32 b)
{
    quint32 x = a * 2654435761u ^ (b + 0x9E3779B9u) * 40503u;
    x ^= x >> 15;
    x *= 2246822519u;
    return x ^ (x >> 13);
}

// Day day of the year: each keyword record drifts around a place of its own, now and then not
// found or not asked, and its ten result sites come from a pool of a few thousand.
HistoryData DailyRun(int day)
{
    HistoryData run;
    run.Runs.append({0, QDateTime(QDate(2026, 1, 1).addDays(day), QTime(6, 0)), u"historical"_s,
                     u"Report%1.htm"_s.arg(QDate(2026, 1, 1).addDays(day).toString(u"yyyyMMdd"_s))});
    for (int page = 0; page < PageCount; ++page) {
        const QString url = u"http://www.shop%1.example.com/catalogue/item%2.html"_s.arg(page).arg(page * 7);
        const bool failed = Mixed(day, page) % 50 == 0;
        run.Pages.append({0, url, failed ? u"Failed"_s : u"%1/10"_s.arg(Mixed(page, 1) % 10),
                          failed ? ValueStatus::Failed : ValueStatus::Found,
                          u"%L1"_s.arg(1000 + Mixed(page, day) % 900000), ValueStatus::Found,
                          u"Shop %1: hand-made goods, delivered to your door"_s.arg(page),
                          u"Everything for the home and the garden from shop %1, made by hand in small workshops and "
                          "sent within two days."_s.arg(page),
                          u"home, garden, hand-made, shop %1, gifts, delivery"_s.arg(page)});
        for (int k = 0; k < KeywordsPerPage; ++k) {
            const int record = page * KeywordsPerPage + k;
            const quint32 roll = Mixed(record, day);
            PositionHistoryValue value;
            value.URL = url;
            value.Product = k % 3 == 0 ? u"Product %1"_s.arg(page) : QString();
            value.Keyword = u"keyword %1 of shop %2"_s.arg(k).arg(page);
            value.Status = roll % 40 == 0  ? ValueStatus::Failed
                           : roll % 9 == 0 ? ValueStatus::NotRanked
                                           : ValueStatus::Found;
            if (value.Status == ValueStatus::Found)
                value.Position = 1 + int((Mixed(record, 7) % 60 + roll % 21) % 100);
            for (int site = 0; site < 10; ++site)
                value.Top10.append(u"www.result%1.example.org"_s.arg(Mixed(record, site + (roll % 3)) % 3000));
            run.Positions.append(value);
        }
    }
    return run;
}

// A program folder with a year of history, made once for all the benchmarks; empty, with the
// benchmark skipped, when it could not be made.
QString YearFolder(benchmark::State& state)
{
    static QTemporaryDir dir;
    static const QString folder = [] {
        HistoryStore store(dir.path());
        for (int day = 0; day < Days; ++day) {
            if (store.Record(DailyRun(day)) == 0)
                return QString();
        }
        return dir.path();
    }();
    if (folder.isEmpty())
        state.SkipWithError("no history");
    return folder;
}

void BM_RecordRun(benchmark::State& state)
{
    const QString folder = YearFolder(state);
    if (folder.isEmpty())
        return;
    // Every run stored here makes the history one day longer: at most a few dozen days on a year.
    const HistoryData run = DailyRun(Days);
    HistoryStore store(folder);
    for (auto _ : state) {
        if (store.Record(run) == 0) {
            state.SkipWithError(store.LastError().toUtf8().constData());
            return;
        }
        benchmark::DoNotOptimize(store.Changes());
    }
}
BENCHMARK(BM_RecordRun)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_WriteHistoryPage(benchmark::State& state)
{
    const QString folder = YearFolder(state);
    if (folder.isEmpty())
        return;
    for (auto _ : state) {
        QString error;
        if (!WriteHistoryPage(folder, error)) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
    }
    state.counters["bytes"] = double(QFile(folder + u"/Report/History.htm"_s).size());
}
BENCHMARK(BM_WriteHistoryPage)->Unit(benchmark::kMillisecond)->MinTime(3);

// The year's history exported into a file of the folder, again and again.
void Export(benchmark::State& state, const QString& fileName,
            bool (*print)(HistoryStore& store, const HistoryFilter& filter, QTextStream& out))
{
    const QString folder = YearFolder(state);
    if (folder.isEmpty())
        return;
    HistoryStore store(folder);
    const QString path = folder + u'/' + fileName;
    for (auto _ : state) {
        QFile file(path);
        QTextStream out(&file);
        if (!file.open(QIODevice::WriteOnly) || !print(store, {}, out)) {
            state.SkipWithError("no history to export");
            return;
        }
    }
    state.counters["bytes"] = double(QFile(path).size());
}

void BM_HistoryCsv(benchmark::State& state)
{
    Export(state, u"history.csv"_s, [](HistoryStore& store, const HistoryFilter& filter, QTextStream& out) {
        return PrintHistoryRows(store, filter, true, out);
    });
}
BENCHMARK(BM_HistoryCsv)->Unit(benchmark::kMillisecond)->MinTime(3);

// A row per keyword record and a column per run: 1,000 records over 365 runs.
void BM_WideHistoryCsv(benchmark::State& state)
{
    Export(state, u"history-wide.csv"_s, PrintWideHistoryCsv);
}
BENCHMARK(BM_WideHistoryCsv)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_HistoryJson(benchmark::State& state)
{
    Export(state, u"history.json"_s, PrintHistoryJson);
}
BENCHMARK(BM_HistoryJson)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace
