#pragma once
// The scan of the keyword site database, without a window: the master table regrouped by category,
// today's due keywords sorted into the scan's lists, the unwanted sites of the pending ones removed.
// The search window's "&Scan" and the command line's scan both call RunScan.

#include "sitedb/ScanLists.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

struct MasterRow;
struct SiteRow;

// The window's message for a scan that failed; the reason goes with it on the command line.
inline const QString ScanErrorText = QStringLiteral("Error in Scan");

// Scans the database file at databasePath as of today, in this order: the master table rebuilt with
// the keywords of one category next to each other, every keyword classified by the due rule (the
// export flag of a keyword that is not due reset to "N" in the same transaction), then every pending
// keyword's extracted rows cleaned and its progress corrected (all pending keywords in a second
// transaction: one durable commit instead of one a keyword).
// A master row with a NULL column (a keyword whose first collection never finished) is grouped like
// the others but keeps its values, is never due and is in none of the lists.
// True with the three lists filled; false with the reason in error: the master table is then whole,
// either as it was or rebuilt, and no search table is cleaned.
bool RunScan(const QString& databasePath, const QDate& today, ScanLists& lists, QString& error);

// The building blocks of RunScan, for tests and the benchmark.

// Categories in the order of their first appearance, each category's keywords in their previous
// order; fewer than three rows, or all categories different, keep the order.
void GroupByCategory(QList<MasterRow>& rows);

// Collected today, or 15 or more days before today (dates "yyyy-MM-dd").
bool IsDue(const QString& searchDate, const QDate& today);

// A site not worth publishing: title or description "Null", PageRank and traffic rank both "0", or
// "redirecting" in title or description. A NULL column matches none of the tests.
bool IsUnwanted(const SiteRow& site);

// The numeric value of SearchNum's first piece: the position of the next row to extract.
std::optional<int> SearchNumTop(const QString& searchNum);
