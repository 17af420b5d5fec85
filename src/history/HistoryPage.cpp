#include "history/HistoryPage.h"

#include "app/Names.h"
#include "history/HistoryChart.h"
#include "run/HtmlText.h"

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
.x path{stroke:#999;stroke-width:1.5}
</style>)";

// Sorts a table by the column of the header clicked: by data-v where every cell has one, by text
// otherwise; a second click reverses.
const char* const SortScript = R"(<script>
document.querySelectorAll("table.s th").forEach(function(th,col){th.onclick=function(){
var body=th.closest("table").tBodies[0],up=th.dataset.up!=="1",rows=Array.from(body.rows);th.dataset.up=up?"1":"0";
rows.sort(function(a,b){var p=a.cells[col],q=b.cells[col],d=p.dataset.v!==undefined&&q.dataset.v!==undefined?
p.dataset.v-q.dataset.v:p.textContent.localeCompare(q.textContent);return up?d:-d;});
rows.forEach(function(r){body.appendChild(r);});};});
</script>)";

struct KeywordRecord {
    const PositionHistoryValue* First = nullptr;
    QList<ChartPoint> Points; // in run order, as the history lists them
};

struct PageRecord {
    QString URL;
    QList<std::pair<int, const PageHistoryValue*>> Values; // run index, value
};

QString Cell(const QString& markup, const QString& attributes = {})
{
    return QStringLiteral("<td") + attributes + QLatin1Char('>') + markup + QStringLiteral("</td>");
}

QString SortKey(int key)
{
    return QStringLiteral(" data-v=\"") + QString::number(key) + QLatin1Char('"');
}

QString Day(const QDate& day)
{
    return day.toString(Qt::ISODate);
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
QString ChangeCell(const QList<ChartPoint>& points)
{
    const ChartPoint& latest = points.last();
    const ChartPoint* previous = nullptr;
    for (qsizetype i = points.size() - 2; i >= 0 && !previous; --i) {
        if (points.at(i).Status != ValueStatus::Failed)
            previous = &points.at(i);
    }
    const auto cell = [](const QString& text, int key, const char* kind = nullptr) {
        const QString kindAttribute =
            kind ? QStringLiteral(" class=\"") + QLatin1String(kind) + QLatin1Char('"') : QString();
        return Cell(HtmlText(text), SortKey(key) + kindAttribute);
    };
    const QString none = QStringLiteral("\u2013");
    if (latest.Status == ValueStatus::Failed)
        return cell(none, -FailedKey, "muted");
    const bool foundNow = latest.Status == ValueStatus::Found;
    if (!previous)
        return foundNow ? cell(QStringLiteral("new"), NotRankedKey, "up") : cell(none, -FailedKey, "muted");
    const bool foundBefore = previous->Status == ValueStatus::Found;
    if (foundNow && !foundBefore)
        return cell(QStringLiteral("new"), NotRankedKey, "up");
    if (!foundNow)
        return foundBefore ? cell(QStringLiteral("lost"), -NotRankedKey, "down") : cell(QStringLiteral("="), 0);
    const int rise = previous->Position - latest.Position;
    if (rise > 0)
        return cell(QStringLiteral("\u25B2 ") + QString::number(rise), rise, "up");
    if (rise < 0)
        return cell(QStringLiteral("\u25BC ") + QString::number(-rise), rise, "down");
    return cell(QStringLiteral("="), 0);
}

// The best position and the first run that reached it.
QString BestCell(const QList<ChartPoint>& points)
{
    const ChartPoint* best = nullptr;
    for (const ChartPoint& point : points) {
        if (point.Status == ValueStatus::Found && (!best || point.Position < best->Position))
            best = &point;
    }
    if (!best)
        return Cell(HtmlText(QStringLiteral("\u2013")), SortKey(NotRankedKey) + QStringLiteral(" class=\"muted\""));
    return Cell(QString::number(best->Position) + QStringLiteral(" <span class=\"muted\">") + Day(best->Day) +
                    QStringLiteral("</span>"),
                SortKey(best->Position));
}

// A stored value as the report showed it; the status where the text is missing.
QString ValueText(const QString& text, ValueStatus status)
{
    if (!text.isEmpty())
        return text;
    return status == ValueStatus::Failed ? QStringLiteral("Failed") : QStringLiteral("not ranked");
}

// A relative link to a daily report of the Report folder; the name cannot leave the folder or
// name a scheme, since every character beyond letters, digits and "-._~" is percent-encoded.
QString ReportLink(const HistoryRun& run, const QString& caption)
{
    if (run.ReportFile.isEmpty())
        return HtmlText(caption);
    return QStringLiteral("<a href=\"") + QString::fromLatin1(QUrl::toPercentEncoding(run.ReportFile)) +
           QStringLiteral("\">") + HtmlText(caption) + QStringLiteral("</a>");
}

void AddKeywords(QString& html, const HistoryData& history, const QHash<qint64, int>& runIndex)
{
    QList<KeywordRecord> records;
    QHash<QString, qsizetype> recordOf;
    for (const PositionHistoryValue& value : history.Positions) {
        const auto run = runIndex.constFind(value.RunId);
        if (run == runIndex.cend())
            continue;
        const QString key = value.URL + QChar(0) + value.Product + QChar(0) + value.Keyword;
        auto found = recordOf.constFind(key);
        if (found == recordOf.cend()) {
            found = recordOf.insert(key, records.size());
            records.append(KeywordRecord{&value, {}});
        }
        records[*found].Points.append(
            {*run, history.Runs.at(*run).Time.date(), value.Position, value.Status, value.Depth});
    }
    html += QStringLiteral("<h2>Keywords</h2>\n");
    if (records.isEmpty()) {
        html += QStringLiteral("<p>These runs looked up no keyword.</p>\n");
        return;
    }
    html += QStringLiteral(
        "<p class=\"muted\">Position 1 at the top; a filled dot is a position found, a hollow dot on the band "
        "below a look that found none, a grey cross a look that failed. Click a heading to sort.</p>\n"
        "<table class=\"s\" id=\"keywords\"><thead><tr><th>URL</th><th>Product</th><th>Keyword</th>"
        "<th>Positions</th><th>Latest</th><th>Change</th><th>Best</th></tr></thead><tbody>\n");
    for (KeywordRecord& record : records) {
        const ChartPoint& latest = record.Points.last();
        html += QStringLiteral("<tr>") + Cell(HtmlText(record.First->URL)) + Cell(HtmlText(record.First->Product)) +
                Cell(HtmlText(record.First->Keyword)) + Cell(PositionChart(record.Points, history.Runs.size())) +
                Cell(HtmlText(PositionText(latest.Position, latest.Status, latest.Depth)), SortKey(LatestKey(latest))) +
                ChangeCell(record.Points) + BestCell(record.Points) + QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</tbody></table>\n");
}

void AddPages(QString& html, const HistoryData& history, const QHash<qint64, int>& runIndex)
{
    QList<PageRecord> pages;
    QHash<QString, qsizetype> pageOf;
    for (const PageHistoryValue& value : history.Pages) {
        const auto run = runIndex.constFind(value.RunId);
        if (run == runIndex.cend())
            continue;
        auto found = pageOf.constFind(value.URL);
        if (found == pageOf.cend()) {
            found = pageOf.insert(value.URL, pages.size());
            pages.append(PageRecord{value.URL, {}});
        }
        pages[*found].Values.append({*run, &value});
    }
    if (pages.isEmpty())
        return;
    html += QStringLiteral("<h2>Pages</h2>\n<table class=\"s\" id=\"pages\"><thead><tr><th>URL</th><th>Title</th>"
                           "<th>Authority</th><th>Traffic rank</th><th>Over the runs</th></tr></thead><tbody>\n");
    for (PageRecord& page : pages) {
        const PageHistoryValue& latest = *page.Values.last().second;
        QString runs = QStringLiteral("<details><summary>") + QString::number(page.Values.size()) +
                       (page.Values.size() == 1 ? QStringLiteral(" run") : QStringLiteral(" runs")) +
                       QStringLiteral("</summary><table><tr><th>Run</th><th>Authority</th><th>Traffic rank</th></tr>");
        for (const auto& [index, value] : page.Values) {
            const HistoryRun& run = history.Runs.at(index);
            runs += QStringLiteral("<tr>") + Cell(ReportLink(run, Day(run.Time.date()))) +
                    Cell(HtmlText(ValueText(value->PageRank, value->PageRankStatus))) +
                    Cell(HtmlText(ValueText(value->TrafficRank, value->TrafficStatus))) + QStringLiteral("</tr>");
        }
        runs += QStringLiteral("</table></details>");
        html += QStringLiteral("<tr>") + Cell(HtmlText(page.URL)) + Cell(HtmlText(latest.Title)) +
                Cell(HtmlText(ValueText(latest.PageRank, latest.PageRankStatus))) +
                Cell(HtmlText(ValueText(latest.TrafficRank, latest.TrafficStatus))) + Cell(runs) +
                QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</tbody></table>\n");
}

void AddRuns(QString& html, const HistoryData& history)
{
    html += QStringLiteral("<h2>Runs</h2>\n<table><tr><th>Time</th><th>Sources</th><th>Report</th></tr>\n");
    for (const HistoryRun& run : history.Runs) {
        html += QStringLiteral("<tr>") + Cell(HtmlText(run.Time.toString(QStringLiteral("yyyy-MM-dd HH:mm")))) +
                Cell(HtmlText(run.Sources)) + Cell(ReportLink(run, run.ReportFile)) + QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n");
}

} // namespace

QByteArray HistoryPageHtml(const HistoryData& history)
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>") +
                   HtmlText(AppTitle) + QStringLiteral(" - History</title>\n") + QLatin1String(Style) +
                   QStringLiteral("\n</head><body>\n<h1>") + HtmlText(AppTitle) +
                   QStringLiteral(": position history</h1>\n");
    if (history.Runs.isEmpty()) {
        html += QStringLiteral("<p>No rank run has been recorded yet: the history starts with the first rank run "
                               "that completes.</p>\n</body></html>\n");
        return html.toUtf8();
    }
    QHash<qint64, int> runIndex;
    for (int i = 0; i < history.Runs.size(); ++i)
        runIndex.insert(history.Runs.at(i).Id, i);
    const QString first = Day(history.Runs.first().Time.date());
    const QString last = Day(history.Runs.last().Time.date());
    html += QStringLiteral("<p>") + QString::number(history.Runs.size()) +
            (history.Runs.size() == 1 ? QStringLiteral(" run on ") + first
                                      : QStringLiteral(" runs from ") + first + QStringLiteral(" to ") + last) +
            QStringLiteral(".</p>\n");
    AddKeywords(html, history, runIndex);
    AddPages(html, history, runIndex);
    AddRuns(html, history);
    html += QLatin1String(SortScript) + QStringLiteral("\n</body></html>\n");
    return html.toUtf8();
}

QString HistoryPagePath(const QString& programFolder)
{
    return programFolder + QLatin1Char('/') + ReportFolderName + QStringLiteral("/History.htm");
}
