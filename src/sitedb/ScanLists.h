#pragma once
// What the last scan of the site database found: every keyword in the rebuilt order, the keywords
// due for today's export that are still to be exported, and those already exported. The export
// works through PendingSearches; the scan report prints the last two.

#include <QList>
#include <QString>

// The five columns of one master row as text, in column order (the scan never keeps a row with a
// NULL column in these lists).
struct SearchRecord {
    QString Search;
    QString SearchType;
    QString SearchNum;
    QString SearchDate;
    QString Updated;
    bool operator==(const SearchRecord&) const = default;
};

struct ScanLists {
    QList<SearchRecord> AllSearches;     // Search and SearchType
    QList<SearchRecord> PendingSearches; // all five
    QList<SearchRecord> DoneSearches;    // Search, SearchType and SearchNum
};
