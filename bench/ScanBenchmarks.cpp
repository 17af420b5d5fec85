// The database scan: 100 due keywords whose extracted rows are half unwanted, at 1,000 rows each
// (target at most 1 s) and at 10,000 rows each (at most 12 times the time of 1,000).
//   quorvex-bench-sitedb --benchmark_filter=Scan

#include "base/Names.h"
#include "sitedb/DatabaseScan.h"
#include "sitedb/SiteDatabase.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr int Keywords = 100;
const QDate Today(2024, 5, 21);

// Every other site is unwanted, in turn for each of the three reasons.
bool FillKeywords(const QString& path, int rowsEach)
{
    {
        SiteDatabase database(path, SiteDatabase::OpenMode::Create);
        if (!database.CreateMasterTable())
            return false;
        for (int k = 0; k < Keywords; ++k) {
            if (!database.CreateSearchTable(SearchTableName(u"keyword %1"_s.arg(k))))
                return false;
        }
    }
    SqliteConnection raw(path, SqliteConnection::Mode::ReadWrite);
    SqliteTransaction transaction(raw);
    for (int k = 0; k < Keywords; ++k) {
        const QString keyword = u"keyword %1"_s.arg(k);
        const QString table = SearchTableName(keyword);
        SqliteStatement master(raw, u"INSERT INTO Quorvex VALUES(?1,?2,?3,?4,'N')"_s);
        master.Bind(1, keyword);
        master.Bind(2, u"category %1"_s.arg(k % 7));
        master.Bind(3, QString::number(rowsEach + 1) + QLatin1Char('/') + QString::number(rowsEach));
        master.Bind(4, Today.toString(Qt::ISODate));
        if (!master.Run())
            return false;
        SqliteStatement site(raw, u"INSERT INTO "_s + QuoteIdentifier(table) + u" VALUES(?1,?2,?3,'k',?4,?5)"_s);
        for (int i = 0; i < rowsEach; ++i) {
            const int kind = i % 2 ? (i / 2) % 3 : -1;
            site.Bind(1, u"http://www.site%1.example.com/"_s.arg(i));
            site.Bind(2, kind == 0 ? u"Null"_s : u"Title of site %1"_s.arg(i));
            site.Bind(3, kind == 2 ? u"Now redirecting to the new page"_s : u"A description of the site"_s);
            site.Bind(4, kind == 1 ? u"0"_s : u"4"_s);
            site.Bind(5, kind == 1 ? u"0"_s : u"123456"_s);
            if (!site.Run())
                return false;
        }
    }
    return transaction.Commit();
}

void BM_Scan(benchmark::State& state)
{
    const int rowsEach = int(state.range(0));
    QTemporaryDir dir;
    const QString filled = dir.filePath(u"filled.mdb"_s);
    if (!FillKeywords(filled, rowsEach)) {
        state.SkipWithError("no database");
        return;
    }
    QDir().mkpath(dir.filePath(WorkingFolderName));
    const QString path = DatabasePath(dir.path());
    qsizetype pending = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        if (!QFile::copy(filled, path))
            state.SkipWithError("no copy");
        state.ResumeTiming();
        ScanLists lists;
        QString error;
        if (!RunScan(path, Today, lists, error))
            state.SkipWithError("scan failed");
        pending = lists.PendingSearches.size();
    }
    SiteDatabase database(path);
    int left = 0;
    database.CountSites(u"keyword_0"_s, left);
    state.counters["keywords"] = double(pending);
    state.counters["rows_left"] = double(left);
}
BENCHMARK(BM_Scan)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
