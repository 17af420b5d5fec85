#include "history/HistoryPage.h"

#include "base/HtmlBytes.h"
#include "base/Names.h"
#include "history/HistoryChart.h"
#include "history/HistoryStore.h"
#include "history/RunReports.h"

#include <QHash>
#include <QUrl>

namespace {

// Sort keys of the summary table for what is not a position: after every position, and misses
// before failures.
constexpr int NotRankedKey = 100000;
constexpr int FailedKey = 200000;

const char* const Style = R"(<style>
body{background:#111;color:#ddd;font:14px/1.4 sans-serif;margin:1.5em}
h1{font-size:1.4em}h2{font-size:1.15em;margin-top:1.6em}
table{border-collapse:collapse}th,td{border:1px solid #333;padding:3px 8px;text-align:left;vertical-align:middle}
th{background:#222}table.s th{cursor:pointer}a{color:#8cf}
.up{color:#6d6}.down{color:#f77}.muted{color:#888}
svg.c{width:260px;height:125px;display:block}
svg.c text{font:9px sans-serif;fill:#888}svg.c rect{fill:#1e1e1e}
svg.c polyline{fill:none;stroke:#6cf;stroke-width:1.5}
svg.c circle{r:3px}.f circle{fill:#6cf}.n circle{fill:none;stroke:#fc6;stroke-width:1.5}
.n path{stroke:#fc6;stroke-width:1.5}.x path{stroke:#999;stroke-width:1.5}
</style>)";

// Sorts a table by the column of the header clicked: by data-v where every cell has one, by text
// otherwise; a second click reverses.
const char* const SortScript = R"(<script>
document.querySelectorAll("table.s>thead th").forEach(function(th){th.onclick=function(){
var col=th.cellIndex,body=th.closest("table").tBodies[0],up=th.dataset.up!=="1",rows=Array.from(body.rows);
th.dataset.up=up?"1":"0";rows.sort(function(a,b){var p=a.cells[col],q=b.cells[col],
d=p.dataset.v!==undefined&&q.dataset.v!==undefined?p.dataset.v-q.dataset.v:p.textContent.localeCompare(q.textContent);
return up?d:-d;});rows.forEach(function(r){body.appendChild(r);});};});
</script>)";

struct KeywordRecord {
    QString URL;
    QString Product;
    QString Keyword;
    Market SearchMarket;
    QList<ChartPoint> Points; // in run order, as the history lists them
};

struct PageValue {
    int RunIndex = 0;
    QString PageRank;
    ValueStatus PageRankStatus = ValueStatus::NotRanked;
    QString TrafficRank;
    ValueStatus TrafficStatus = ValueStatus::NotRanked;
};

struct PageRecord {
    QString URL;
    QString Title;           // of its latest run
    QList<PageValue> Values; // in run order
};

// What the page shows, gathered as the history is read: for each keyword record and each page its
// values, without the texts that repeat in every run.
class PageModel : public HistoryReader {
public:
    QList<HistoryRun> Runs;
    QList<QByteArray> RunDays; // yyyy-MM-dd of each run
    QList<KeywordRecord> Records;
    QList<PageRecord> Pages;

    void Run(const HistoryRun& run) override
    {
        Runs.append(run);
        RunDays.append(run.Time.date().toString(Qt::ISODate).toLatin1());
    }
    void Page(const StoredPage& page) override
    {
        const QByteArray url = page.URL.toByteArray();
        auto found = pageOf.constFind(url);
        if (found == pageOf.cend()) {
            found = pageOf.insert(url, Pages.size());
            Pages.append({QString::fromUtf8(url), {}, {}});
        }
        PageRecord& record = Pages[*found];
        record.Title = QString::fromUtf8(page.Title);
        record.Values.append({int(Runs.size() - 1), QString::fromUtf8(page.PageRank), page.PageRankStatus,
                              QString::fromUtf8(page.TrafficRank), page.TrafficStatus});
    }
    // A keyword record is told apart by its address, product, keyword and market. A run mostly lists
    // the records of the run before in the same order, so a record is first looked for at its place
    // in that run.
    void Position(const StoredPosition& value) override
    {
        key.clear();
        for (const QByteArrayView part :
             {value.URL, value.Product, value.Keyword, value.Country, value.Language, value.Device, value.Location})
            key.append(part).append('\0');
        if (value.Seq >= qsizetype(places.size()))
            places.resize(value.Seq + 1);
        auto& [placeKey, index] = places[value.Seq];
        if (placeKey != key) {
            auto found = recordOf.constFind(key);
            if (found == recordOf.cend()) {
                found = recordOf.insert(key, Records.size());
                Records.append({QString::fromUtf8(value.URL),
                                QString::fromUtf8(value.Product),
                                QString::fromUtf8(value.Keyword),
                                StoredMarket(value),
                                {}});
            }
            placeKey = key;
            index = *found;
        }
        Records[index].Points.append({int(Runs.size() - 1), value.Position, value.Status, value.Depth});
    }

private:
    QHash<QByteArray, qsizetype> pageOf;
    QHash<QByteArray, qsizetype> recordOf;
    std::vector<std::pair<QByteArray, qsizetype>> places;
    QByteArray key;
};

// A table cell whose sort key is key.
void AddSortedCell(QByteArray& out, int key, const char* kind, const QByteArray& text)
{
    Add(out, "<td data-v=\"", key, kind ? "\" class=\"" : "", kind ? kind : "", "\">", text, "</td>");
}

int LatestKey(const ChartPoint& point)
{
    switch (point.Status) {
    case ValueStatus::Found:
        return point.Position;
    case ValueStatus::NotRanked:
        return NotRankedKey;
    case ValueStatus::Failed:
        break;
    }
    return FailedKey;
}

// The change of the latest value against the value before it; a failed look tells nothing, so a
// failure before the latest is passed over and a latest failure has no change.
void AddChangeCell(QByteArray& out, const QList<ChartPoint>& points)
{
    const ChartPoint& latest = points.last();
    const ChartPoint* previous = nullptr;
    for (qsizetype i = points.size() - 2; i >= 0 && !previous; --i) {
        if (points.at(i).Status != ValueStatus::Failed)
            previous = &points.at(i);
    }
    const bool foundNow = latest.Status == ValueStatus::Found;
    const bool foundBefore = previous && previous->Status == ValueStatus::Found;
    if (latest.Status == ValueStatus::Failed || (!previous && !foundNow))
        AddSortedCell(out, -FailedKey, "muted", "&#8211;");
    else if (foundNow && !foundBefore)
        AddSortedCell(out, NotRankedKey, "up", "new");
    else if (!foundNow)
        AddSortedCell(out, foundBefore ? -NotRankedKey : 0, foundBefore ? "down" : nullptr, foundBefore ? "lost" : "=");
    else if (const int rise = previous->Position - latest.Position; rise > 0)
        AddSortedCell(out, rise, "up", "&#9650; " + QByteArray::number(rise));
    else if (rise < 0)
        AddSortedCell(out, rise, "down", "&#9660; " + QByteArray::number(-rise));
    else
        AddSortedCell(out, 0, nullptr, "=");
}

// The best position and the first run that reached it.
void AddBestCell(QByteArray& out, const QList<ChartPoint>& points, const QList<QByteArray>& runDays)
{
    const ChartPoint* best = nullptr;
    for (const ChartPoint& point : points) {
        if (point.Status == ValueStatus::Found && (!best || point.Position < best->Position))
            best = &point;
    }
    if (!best)
        AddSortedCell(out, NotRankedKey, "muted", "&#8211;");
    else
        AddSortedCell(out, best->Position, nullptr,
                      QByteArray::number(best->Position) + " <span class=\"muted\">" + runDays.at(best->RunIndex) +
                          "</span>");
}

// A stored value as the report showed it; the status where the text is missing.
QString ValueText(const QString& text, ValueStatus status)
{
    if (!text.isEmpty())
        return text;
    return status == ValueStatus::Failed ? QStringLiteral("Failed") : QStringLiteral("not ranked");
}

// A relative link to a run's report in the Report folder or to its copy in the Runs folder; the
// name cannot leave the folder or name a scheme, since every character beyond letters, digits and
// "-._~" is percent-encoded, but for the one separator after the Runs folder.
void AddReportLink(QByteArray& out, const HistoryRun& run, const QString& caption)
{
    const QString runs = RunReportsFolderName + QLatin1Char('/');
    const bool copy = run.ReportFile.startsWith(runs);
    if (run.ReportFile.isEmpty())
        Add(out, caption);
    else
        Add(out, "<a href=\"", copy ? runs.toLatin1() : QByteArray(),
            QUrl::toPercentEncoding(copy ? run.ReportFile.sliced(runs.size()) : run.ReportFile), "\">", caption,
            "</a>");
}

void AddKeywords(QByteArray& out, const PageModel& model)
{
    Add(out, "<h2>Keywords</h2>\n");
    if (model.Records.isEmpty()) {
        Add(out, "<p>These runs looked up no keyword.</p>\n");
        return;
    }
    Add(out, "<p class=\"muted\">Position 1 at the top; a filled dot is a position found, a hollow dot on the band "
             "below a look that found none, a grey cross a look that failed. Click a heading to sort.</p>\n"
             "<table class=\"s\" id=\"keywords\"><thead><tr><th>URL</th><th>Product</th><th>Keyword</th>"
             "<th>Market</th><th>Positions</th><th>Latest</th><th>Change</th><th>Best</th></tr></thead><tbody>\n");
    for (const KeywordRecord& record : model.Records) {
        const ChartPoint& latest = record.Points.last();
        Add(out, "<tr><td>", record.URL, "</td><td>", record.Product, "</td><td>", record.Keyword, "</td><td>",
            MarketText(record.SearchMarket), "</td><td>");
        AddPositionChart(out, record.Points, model.RunDays);
        Add(out, "</td>");
        QByteArray latestText;
        AddPositionText(latestText, latest.Position, latest.Status, latest.Depth);
        AddSortedCell(out, LatestKey(latest), nullptr, latestText);
        AddChangeCell(out, record.Points);
        AddBestCell(out, record.Points, model.RunDays);
        Add(out, "</tr>\n");
    }
    Add(out, "</tbody></table>\n");
}

void AddPages(QByteArray& out, const PageModel& model)
{
    if (model.Pages.isEmpty())
        return;
    Add(out, "<h2>Pages</h2>\n<table class=\"s\" id=\"pages\"><thead><tr><th>URL</th><th>Title</th>"
             "<th>Authority</th><th>Traffic rank</th><th>Over the runs</th></tr></thead><tbody>\n");
    for (const PageRecord& page : model.Pages) {
        const PageValue& latest = page.Values.last();
        Add(out, "<tr><td>", page.URL, "</td><td>", page.Title, "</td><td>",
            ValueText(latest.PageRank, latest.PageRankStatus), "</td><td>",
            ValueText(latest.TrafficRank, latest.TrafficStatus), "</td><td><details><summary>", int(page.Values.size()),
            page.Values.size() == 1 ? " run" : " runs",
            "</summary><table><tr><th>Run</th><th>Authority</th><th>Traffic rank</th></tr>");
        for (const PageValue& value : page.Values) {
            Add(out, "<tr><td>");
            AddReportLink(out, model.Runs.at(value.RunIndex), QString::fromLatin1(model.RunDays.at(value.RunIndex)));
            Add(out, "</td><td>", ValueText(value.PageRank, value.PageRankStatus), "</td><td>",
                ValueText(value.TrafficRank, value.TrafficStatus), "</td></tr>");
        }
        Add(out, "</table></details></td></tr>\n");
    }
    Add(out, "</tbody></table>\n");
}

void AddRuns(QByteArray& out, const QList<HistoryRun>& runs)
{
    Add(out, "<h2>Runs</h2>\n<table><tr><th>Time</th><th>Sources</th><th>Report</th></tr>\n");
    for (const HistoryRun& run : runs) {
        Add(out, "<tr><td>", run.Time.toString(QStringLiteral("yyyy-MM-dd HH:mm")), "</td><td>", run.Sources,
            "</td><td>");
        AddReportLink(out, run, run.ReportFile);
        Add(out, "</td></tr>\n");
    }
    Add(out, "</table>\n");
}

QByteArray PageHtml(const PageModel& model)
{
    QByteArray out;
    // About what a value takes, so that the page is not copied as it grows.
    qsizetype points = 0;
    for (const KeywordRecord& record : model.Records)
        points += record.Points.size();
    qsizetype pageValues = 0;
    for (const PageRecord& page : model.Pages)
        pageValues += page.Values.size();
    out.reserve(4096 + points * 16 + pageValues * 96);
    Add(out, "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>", AppTitle,
        " - History</title>\n", Style, "\n</head><body>\n<h1>", AppTitle, ": position history</h1>\n");
    if (model.Runs.isEmpty()) {
        Add(out, "<p>No rank run has been recorded yet: the history starts with the first rank run that "
                 "completes.</p>\n</body></html>\n");
        return out;
    }
    if (model.RunDays.size() == 1)
        Add(out, "<p>1 run on ", model.RunDays.first(), ".</p>\n");
    else
        Add(out, "<p>", int(model.RunDays.size()), " runs from ", model.RunDays.first(), " to ", model.RunDays.last(),
            ".</p>\n");
    AddKeywords(out, model);
    AddPages(out, model);
    AddRuns(out, model.Runs);
    Add(out, SortScript, "\n</body></html>\n");
    return out;
}

} // namespace

QByteArray HistoryPageHtml(const HistoryData& history)
{
    PageModel model;
    Replay(history, model);
    return PageHtml(model);
}

bool HistoryPageHtml(HistoryStore& store, QByteArray& html)
{
    PageModel model;
    HistoryFilter everything;
    if (!store.Scan(everything, model))
        return false;
    html = PageHtml(model);
    return true;
}

QString HistoryPagePath(const QString& programFolder)
{
    return programFolder + QLatin1Char('/') + ReportFolderName + QStringLiteral("/History.htm");
}
