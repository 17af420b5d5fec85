// The local traffic-rank lists: importing a generated list of 1,000,000 lines (target at most 3 s)
// and 100,000 lookups in it on one connection (target at most 0.1 s).
//   quorvex-bench-ranklist [--benchmark_format=json]

#include "sources/RankListLookup.h"
#include "sources/RankListStore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr int ListRows = 1'000'000;
constexpr int LookupCount = 100'000;

// Domains of varied length and suffix, in an order unrelated to their names, as in a real list.
QByteArray DomainOf(int rank)
{
    static const std::array<const char*, 6> suffixes = {".com", ".org", ".net", ".co.uk", ".de", ".example"};
    const quint32 mixed = quint32(rank) * 2654435761u;
    return "site" + QByteArray::number(mixed % 100000000u, 36) + "-" + QByteArray::number(rank) +
           suffixes[mixed % suffixes.size()];
}

bool WriteList(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text;
    text.reserve(64 * 1024 * 1024);
    for (int rank = 1; rank <= ListRows; ++rank)
        text += QByteArray::number(rank) + ',' + DomainOf(rank) + "\r\n";
    return file.write(text) == text.size();
}

RankListImportRequest Request(const QString& path)
{
    RankListImportRequest request;
    request.Kind = RankListKind::Tranco;
    request.Path = path;
    return request;
}

// What a run asks: listed hosts with and without "www.", hosts under a listed domain, misses.
QStringList Hosts()
{
    QStringList hosts;
    hosts.reserve(LookupCount);
    for (int i = 0; i < LookupCount; ++i) {
        const int rank = 1 + int((quint32(i) * 40503u) % quint32(ListRows));
        const QString domain = QString::fromLatin1(DomainOf(rank));
        switch (i % 4) {
        case 0:
            hosts.append(domain);
            break;
        case 1:
            hosts.append(u"www."_s + domain);
            break;
        case 2:
            hosts.append(u"news."_s + domain);
            break;
        default:
            hosts.append(u"www.missing"_s + QString::number(i) + u".example"_s);
        }
    }
    return hosts;
}

void BM_ImportMillionLines(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString list = dir.filePath(u"tranco_BENCH1.csv"_s);
    if (!WriteList(list)) {
        state.SkipWithError("cannot write the list");
        return;
    }
    const RankListStore store(dir.filePath(RankListsFileName));
    for (auto _ : state) {
        const RankListImportResult result = store.Import(Request(list));
        if (!result.Ok || result.Info.Rows != ListRows)
            state.SkipWithError(result.Message.toUtf8().constData());
    }
    state.counters["rows"] = ListRows;
}
BENCHMARK(BM_ImportMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LookupHundredThousand(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString list = dir.filePath(u"tranco_BENCH1.csv"_s);
    const RankListStore store(dir.filePath(RankListsFileName));
    if (!WriteList(list) || !store.Import(Request(list)).Ok) {
        state.SkipWithError("cannot import the list");
        return;
    }
    const QStringList hosts = Hosts();
    RankListLookup lookup(dir.filePath(RankListsFileName), RankListKind::Tranco);
    qint64 ranked = 0;
    for (auto _ : state) {
        const QList<RankLookupResult> results = lookup.Lookup(hosts);
        ranked = std::count_if(results.begin(), results.end(), [](const RankLookupResult& result) {
            return result.Result == RankLookupResult::Outcome::Ranked;
        });
        benchmark::DoNotOptimize(ranked);
    }
    state.counters["lookups"] = LookupCount;
    state.counters["ranked"] = double(ranked);
}
BENCHMARK(BM_LookupHundredThousand)->Unit(benchmark::kMillisecond);

} // namespace
