// The scan report's lines and its checked write.

#include "sitedb/ScanReport.h"

#include "base/CheckedFile.h"
#include "base/Names.h"
#include "base/TerminalText.h"
#include "sitedb/DatabaseScan.h"
#include "sitedb/SiteDbRules.h"

#include <QStringList>

using namespace Qt::StringLiterals;

QString ScanReportPath(const QString& programFolder)
{
    return programFolder + QLatin1Char('/') + WorkingFolderName + u"/ScanReport.txt"_s;
}

QByteArray ScanReportText(const ScanLists& lists)
{
    const QString none = u"无数据"_s;
    QStringList lines{u"今天未进行输出处理的搜索项目"_s};
    // The texts come from the database as stored, so they are escaped as the terminal shows them.
    for (const SearchRecord& entry : lists.PendingSearches) {
        // The scan could read every pending Top; the report counts the rows already extracted.
        const int extracted = SearchNumTop(entry.SearchNum).value_or(0) - 1;
        lines.append(QString::number(extracted) + QLatin1Char('/') +
                     TerminalSafe(SplitSearchNum(entry.SearchNum).Bottom) + QLatin1Char('/') +
                     TerminalSafe(entry.Search) + QLatin1Char('/') + TerminalSafe(entry.SearchType));
    }
    if (lists.PendingSearches.isEmpty())
        lines.append(none);
    lines.append(QString());
    lines.append(u"今天已进行输出处理的搜索项目"_s);
    for (const SearchRecord& entry : lists.DoneSearches)
        lines.append(TerminalSafe(entry.Search) + QLatin1Char('/') + TerminalSafe(entry.SearchType));
    if (lists.DoneSearches.isEmpty())
        lines.append(none);
    const QString crlf = u"\r\n"_s;
    return (lines.join(crlf) + crlf).toUtf8();
}

bool WriteScanReport(const QString& programFolder, const ScanLists& lists, QString& error)
{
    return WriteWholeFile(ScanReportPath(programFolder), ScanReportText(lists), error);
}
