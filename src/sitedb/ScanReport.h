#pragma once
// The scan report Database/ScanReport.txt: what the last scan found pending and already exported
// today, as text for the editor and the command line.

#include "sitedb/ScanLists.h"

#include <QByteArray>
#include <QString>

// program folder + "/Database/ScanReport.txt"
QString ScanReportPath(const QString& programFolder);

// The report's bytes, UTF-8 with every line ended by CR LF: the pending keywords as
// "(Top - 1)/Bottom/keyword/category", an empty line, then the exported ones as "keyword/category";
// "无数据" stands for an empty list.
QByteArray ScanReportText(const ScanLists& lists);

// Replaces the report file with the report of the lists. False, with the reason in error, leaves
// the old file as it was.
bool WriteScanReport(const QString& programFolder, const ScanLists& lists, QString& error);

inline QString ScanReportErrorText(const QString& reason)
{
    return QStringLiteral("The scan report could not be written: ") + reason;
}
