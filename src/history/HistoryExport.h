#pragma once
// The history as quorvex-cli prints it and the window saves it: one row per value and run, as a
// tab-separated table or as CSV (RFC 4180), the wide CSV of a row per keyword record and a column
// per run, or the runs with their values as JSON. Every text goes through TerminalSafe.

#include "history/HistoryData.h"

#include <QTextStream>

class HistoryStore;
struct HistoryFilter;

// The values the filter selects, one row per value and run, as a tab-separated table or as CSV,
// each printed as it is read. Columns: time, url, product, keyword, market, value, result, status,
// depth. A page gives a row for its pagerank, traffic rank, title, description and keywords; a
// keyword record one for its position and one for its top10 (the sites separated by blanks), each
// with its market as MarketText names it. False when the history could not be read.
bool PrintHistoryRows(HistoryStore& store, const HistoryFilter& filter, bool csv, QTextStream& out);
// The keyword records the filter selects as WideHistory writes them, a row each and a column per
// run. False, with nothing printed, when the history could not be read.
bool PrintWideHistoryCsv(HistoryStore& store, const HistoryFilter& filter, QTextStream& out);
// The runs the filter selects as {"runs": [run, ...]}, each run as PrintRunJson shows it, printed
// run by run as it is read. False when the history could not be read; the output then stops where
// the reading did.
bool PrintHistoryJson(HistoryStore& store, const HistoryFilter& filter, QTextStream& out);
// The one run of run: {"keyword_records": [...], "pages": [...], "report", "sources", "time"}; a
// keyword record's market as {"country", "device", "language", "location"}, a field not set empty.
void PrintRunJson(const HistoryData& run, QTextStream& out);
