// The directory export of 100 due keywords, each publishing 100 of its 200 sites on ten pages and
// removing them from its table (target at most 1 s).

#include "base/Names.h"
#include "sitedb/DirectoryExport.h"
#include "sitedb/SiteDatabase.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr int Keywords = 100;
constexpr int SitesPerKeyword = 200;
constexpr int Extracted = 150;
const QString Today = u"2024-05-01"_s;

// A database of the due keywords with their sites, and the scan's lists of them.
bool MakeDatabase(const QString& path, ScanLists& lists)
{
    SiteDatabase database(path, SiteDatabase::OpenMode::Create);
    if (!database.CreateMasterTable())
        return false;
    for (int k = 0; k < Keywords; ++k) {
        const QString keyword = u"keyword %1"_s.arg(k);
        const QString category = u"category %1"_s.arg(k / 7);
        const QString table = SearchTableName(keyword);
        QStringList urls;
        QList<SiteDetails> details;
        for (int n = 0; n < SitesPerKeyword; ++n) {
            urls.append(u"http://www.site%1-%2.example.com/"_s.arg(k).arg(n));
            if (n < Extracted)
                details.append({urls.last(), u"A site about "_s + keyword + u" and more"_s,
                                u"A description of the site, long enough to read like one"_s,
                                u"one,two,three,"_s + keyword, n % 11, 1234567 + n});
        }
        if (!database.AddKeyword(keyword, category, table) ||
            !database.ReplaceSearchRows(keyword, table, urls, Today) ||
            !database.WriteExtractionBatch(keyword, table, details, {}, {}, Extracted + 1, SitesPerKeyword))
            return false;
        lists.AllSearches.append({keyword, category, {}, {}, {}});
        lists.PendingSearches.append(
            {keyword, category, u"%1/%2"_s.arg(Extracted + 1).arg(SitesPerKeyword), Today, u"N"_s});
    }
    return true;
}

void BM_ExportDirectory(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString working = dir.filePath(WorkingFolderName);
    QDir().mkpath(working);
    const QString prepared = dir.filePath(u"Prepared.mdb"_s);
    ScanLists lists;
    QFile templateFile(working + u"/"_s + TemplateFileName);
    if (!MakeDatabase(prepared, lists) || !templateFile.open(QIODevice::WriteOnly) ||
        templateFile.write("<HTML><HEAD>$$$</HEAD><BODY><H1>$$$</H1>$$$</BODY>$$$</HTML>$$$") < 0) {
        state.SkipWithError("no database");
        return;
    }
    templateFile.close();
    int pages = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(DatabasePath(dir.path()));
        const bool copied = QFile::copy(prepared, DatabasePath(dir.path()));
        state.ResumeTiming();
        const ExportResult result = ExportHTML(dir.path(), lists, QDate(2024, 5, 1), u"http://d.example/"_s);
        if (!copied || !result.Completed() || result.KeywordsExported != Keywords)
            state.SkipWithError("export failed");
        pages = result.PagesWritten;
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ExportDirectory)->Unit(benchmark::kMillisecond);

} // namespace
