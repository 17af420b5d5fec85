#pragma once
// The keyword records of the history as a table of one row per record and one column per run, the
// form a spreadsheet user wants: the record's address, product, keyword and market, then for each
// run its position, "not ranked" or "failed", or nothing where the run did not ask the record.

#include "history/HistoryStore.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>

#include <vector>

class WideHistory : public HistoryReader {
public:
    void Run(const HistoryRun& run) override;
    void Page(const StoredPage&) override {}
    void Position(const StoredPosition& value) override;

    // What was read as CSV (RFC 4180, CRLF line ends): a header line, "url", "product", "keyword",
    // "market" and the time of each run, then the records in the order they first came. Texts are
    // cells as CsvField makes them, their control characters escaped as TerminalSafe does.
    QByteArray Csv() const;

private:
    struct Record {
        QStringList Texts; // url, product, keyword and the market as MarketText names it
        // A cell per run: the position, or NotAsked, NotRanked or Failed.
        std::vector<int> Cells;
    };
    static constexpr int NotAsked = 0;
    static constexpr int NotRanked = -1;
    static constexpr int Failed = -2;

    QStringList times;
    QHash<QByteArray, qsizetype> recordOf;
    QList<Record> records;
};
