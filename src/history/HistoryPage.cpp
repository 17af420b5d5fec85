// A plain stand-in for the history page until the page with its charts is in place.

#include "history/HistoryPage.h"

#include "app/Names.h"

QByteArray HistoryPageHtml(const HistoryData& history)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>History</title></head><body><p>" +
           QByteArray::number(history.Runs.size()) + " runs</p></body></html>\n";
}

QString HistoryPagePath(const QString& programFolder)
{
    return programFolder + QLatin1Char('/') + ReportFolderName + QStringLiteral("/History.htm");
}
