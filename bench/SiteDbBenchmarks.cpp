// The keyword site database: writing a collection of 10,000 sites (target at most 50 ms),
// ShowSearchTable of 30,000 rows into the search window's list, painted (target at most 200 ms), and
// opening that database as a reading action does and as a writing action does, with its check.
//   quorvex-bench-sitedb [--benchmark_format=json]

#include "base/Clock.h"
#include "base/Launcher.h"
#include "base/Names.h"
#include "base/SilentPrompter.h"
#include "gui/frmSearch.h"
#include "model/AppState.h"
#include "sitedb/SiteDatabase.h"
#include "sitedb/SiteDatabaseActions.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

class NoActions : public SiteDatabaseActions {
public:
    bool IsRunning() const override { return false; }
    void StartCollection(const CollectionRequest&) override {}
    void StartExtraction(const ExtractionBatch&, const ExtractChoice&) override {}
    void ChangeExtractChoice(const ExtractChoice&) override {}
    void Stop() override {}
};

QStringList Sites(int count)
{
    QStringList urls;
    urls.reserve(count);
    for (int i = 0; i < count; ++i)
        urls.append(u"http://www.site%1.example.com/"_s.arg(i));
    return urls;
}

// A program folder whose database holds one collected keyword.
bool MakeFolder(const QTemporaryDir& dir, const QStringList& urls)
{
    QDir().mkpath(dir.filePath(WorkingFolderName));
    SiteDatabase database(DatabasePath(dir.path()), SiteDatabase::OpenMode::Create);
    return database.CreateMasterTable() && database.AddKeyword(u"web design"_s, u"tools"_s, u"web_design"_s) &&
           database.ReplaceSearchRows(u"web design"_s, u"web_design"_s, urls, u"2024-05-01"_s);
}

void BM_WriteCollection(benchmark::State& state)
{
    QTemporaryDir dir;
    const QStringList urls = Sites(10000);
    if (!MakeFolder(dir, {})) {
        state.SkipWithError("no database");
        return;
    }
    for (auto _ : state) {
        SiteDatabase database(DatabasePath(dir.path()));
        if (!database.ReplaceSearchRows(u"web design"_s, u"web_design"_s, urls, u"2024-05-01"_s))
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteCollection)->Unit(benchmark::kMillisecond);

// A program folder whose keyword holds 30,000 extracted sites.
bool MakeExtractedFolder(const QTemporaryDir& dir)
{
    const QStringList urls = Sites(30000);
    if (!MakeFolder(dir, urls))
        return false;
    SiteDatabase database(DatabasePath(dir.path()));
    QList<SiteDetails> details;
    for (const QString& url : urls)
        details.append({url, u"Title of "_s + url, u"A description of the site"_s, u"one,two,three"_s, 5, 1234567});
    return database.WriteExtractionBatch(u"web design"_s, u"web_design"_s, details, {}, {}, 30001, 30000);
}

void BM_ShowSearchTable(benchmark::State& state)
{
    QTemporaryDir dir;
    if (!MakeExtractedFolder(dir)) {
        state.SkipWithError("no database");
        return;
    }
    SilentPrompter prompter;
    Clock clock;
    NoActions actions;
    struct : Launcher {
        void OpenInBrowser(const QString&) override {}
        void OpenInEditor(const QString&) override {}
    } launcher;
    AppState appState(dir.path());
    frmSearch window(appState, prompter, clock, launcher, actions);
    window.show();
    auto* list = window.findChild<QTableView*>(u"lstTitle"_s);
    for (auto _ : state) {
        window.ShowSearchTable(u"web_design"_s);
        list->repaint();
    }
    state.counters["rows"] = double(list->model()->rowCount());
}
BENCHMARK(BM_ShowSearchTable)->Unit(benchmark::kMillisecond);

// Argument 0: the open of a reading action; 1: the Checked open of a writing one.
void BM_OpenDatabase(benchmark::State& state)
{
    QTemporaryDir dir;
    if (!MakeExtractedFolder(dir)) {
        state.SkipWithError("no database");
        return;
    }
    const auto mode = state.range(0) == 0 ? SiteDatabase::OpenMode::Existing : SiteDatabase::OpenMode::Checked;
    for (auto _ : state) {
        SiteDatabase database(DatabasePath(dir.path()), mode);
        if (!database.IsOpen())
            state.SkipWithError("not opened");
    }
    state.counters["bytes"] = double(QFileInfo(DatabasePath(dir.path())).size());
}
BENCHMARK(BM_OpenDatabase)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
