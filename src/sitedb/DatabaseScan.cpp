// The scan of the keyword site database: grouping, the due rule, the three lists and the cleaning.

#include "sitedb/DatabaseScan.h"

#include "sitedb/SiteDatabase.h"
#include "sitedb/SiteDbRules.h"
#include "web/LeadingNumber.h"

#include <QHash>

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

bool IsComplete(const MasterRow& row)
{
    return row.Search && row.SearchType && row.SearchNum && row.SearchDate && row.Updated;
}

// Sorts one master row into the lists; a keyword that is not due gets its export flag reset here,
// before the table is rewritten, so the reset is part of the rebuild.
void Classify(MasterRow& row, const QDate& today, ScanLists& lists)
{
    if (!IsComplete(row))
        return;
    const SearchRecord record{*row.Search, *row.SearchType, *row.SearchNum, *row.SearchDate, *row.Updated};
    if (!IsDue(record.SearchDate, today))
        row.Updated = u"N"_s;
    else if (record.Updated == u"N")
        lists.PendingSearches.append(record);
    else
        lists.DoneSearches.append({record.Search, record.SearchType, record.SearchNum, {}, {}});
    lists.AllSearches.append({record.Search, record.SearchType, {}, {}, {}});
}

// Finds the unwanted ones among the keyword's extracted rows and its progress without them.
bool PlanCleaning(SiteDatabase& database, SearchRecord& entry, QList<SiteRemoval>& removals, QString& error)
{
    const QString table = SearchTableName(entry.Search);
    QList<SiteRow> sites;
    QList<qint64> rowIds;
    if (!database.ReadSearchTable(table, sites, rowIds)) {
        error = database.LastError();
        return false;
    }
    const std::optional<int> top = SearchNumTop(entry.SearchNum);
    if (!top) {
        error = u"The progress \"%1\" of the keyword \"%2\" cannot be read"_s.arg(entry.SearchNum, entry.Search);
        return false;
    }
    const int rowCount = int(sites.size());
    const int extracted = std::clamp(*top - 1, 0, rowCount);
    SiteRemoval removal{entry.Search, table, {}, 0, 0};
    for (int row = 0; row < extracted; ++row) {
        if (IsUnwanted(sites[row]))
            removal.RowIds.append(rowIds[row]);
    }
    if (removal.RowIds.isEmpty())
        return true;
    const int bad = int(removal.RowIds.size());
    removal.Top = *top - bad;
    removal.Bottom = rowCount - bad;
    entry.SearchNum = QString::number(removal.Top) + QLatin1Char('/') + QString::number(removal.Bottom);
    removals.append(std::move(removal));
    return true;
}

} // namespace

void GroupByCategory(QList<MasterRow>& rows)
{
    // Moving, for each keyword in turn, the next keyword of its category up beside it gives exactly
    // this stable sort by the position where each category first appears. A NULL category has no
    // partner and keeps its own position.
    QHash<QString, qsizetype> firstSeen;
    QList<qsizetype> rank(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        rank[i] = i;
        if (const SqlText& category = rows[i].SearchType) {
            if (!firstSeen.contains(*category))
                firstSeen.insert(*category, i);
            rank[i] = firstSeen.value(*category);
        }
    }
    QList<qsizetype> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&rank](qsizetype a, qsizetype b) { return rank[a] < rank[b]; });
    QList<MasterRow> grouped;
    grouped.reserve(rows.size());
    for (qsizetype i : order)
        grouped.append(std::move(rows[i]));
    rows = std::move(grouped);
}

bool IsDue(const QString& searchDate, const QDate& today)
{
    if (searchDate == today.toString(Qt::ISODate))
        return true;
    const QDate date = QDate::fromString(searchDate, Qt::ISODate);
    return date.isValid() && date.daysTo(today) >= 15;
}

bool IsUnwanted(const SiteRow& site)
{
    const QString null = u"Null"_s;
    if (site.Title == null || site.Description == null)
        return true;
    const QString zero = u"0"_s;
    if (site.PR == zero && site.Alexa == zero)
        return true;
    const auto redirecting = [](const SqlText& text) { return text && text->contains(u"redirecting"_s); };
    return redirecting(site.Title) || redirecting(site.Description);
}

std::optional<int> SearchNumTop(const QString& searchNum)
{
    return LeadingNumber(SplitSearchNum(searchNum).Top);
}

bool RunScan(const QString& databasePath, const QDate& today, ScanLists& lists, QString& error)
{
    lists = {};
    SiteDatabase database(databasePath, SiteDatabase::OpenMode::Checked);
    QList<MasterRow> master;
    if (!database.ReadMaster(master)) {
        error = database.LastError();
        return false;
    }
    GroupByCategory(master);
    for (MasterRow& row : master)
        Classify(row, today, lists);
    if (!database.RebuildMaster(master)) {
        error = database.LastError();
        return false;
    }
    QList<SiteRemoval> removals;
    for (SearchRecord& entry : lists.PendingSearches) {
        if (!PlanCleaning(database, entry, removals, error))
            return false;
    }
    if (!database.RemoveSites(removals)) {
        error = database.LastError();
        return false;
    }
    return true;
}
