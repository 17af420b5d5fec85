#pragma once
// Report/History.htm: for each keyword record (address, product, keyword and market) an inline SVG
// chart of its position over the runs (1 at the top, misses and failures drawn apart), its latest
// position, the change since the run before, its best position and that run's date; for each page
// its authority and traffic rank over the runs; links to the daily reports. It needs no script to
// read.

#include "history/HistoryData.h"

#include <QByteArray>
#include <QString>

QByteArray HistoryPageHtml(const HistoryData& history);
// The same from the whole history of store, read through once; false when it could not be read.
class HistoryStore;
bool HistoryPageHtml(HistoryStore& store, QByteArray& html);

// The path of Report/History.htm in the program folder.
QString HistoryPagePath(const QString& programFolder);
