#pragma once
// Every message of the keyword site database: its checks, its maintenance and its export, in one
// place for the window and the command line.

#include <QString>

namespace SiteDbTexts {

using namespace Qt::StringLiterals;

inline const QString EmptyKeyword = u"Please enter a keyword !"_s;
inline const QString EmptyCategory = u"Please enter a category for the keyword !"_s;
inline const QString KeywordTooLong = u"The keyword must not be longer than 255 characters !"_s;
inline const QString CategoryTooLong = u"The category must not be longer than 30 characters !"_s;
inline const QString ControlCharacters = u"The keyword and the category must not hold control characters !"_s;
inline const QString OneBoxChecked = u"You must have one box checked !"_s;
inline const QString ExtractQuestion = u"Extract Title,Description,Keyword,PR,Alexa now ?"_s;
inline const QString WholeNumbers = u"Top and Bottom must be whole numbers up to 32767, and Top at least 1 !"_s;
inline const QString SpanNumber = u"Span must be a whole number of at least 1 !"_s;
inline const QString RunGoing = u"Another download run is going, please wait for it to end or stop it !"_s;
inline const QString Compacted = u"You have compacted database !"_s;
inline const QString RecoverQuestion = u"Do you really want to recover old data ?"_s;
inline const QString NothingToRecover = u"No data can be recovered !"_s;
inline const QString ExportError = u"Error in ExportHTML"_s;
inline const QString TrunkError = u"Error in CreateTrunkFile"_s;

inline QString Quoted(const QString& table)
{
    return QLatin1Char('\'') + table + QLatin1Char('\'');
}
inline QString TableTaken(const QString& table)
{
    return u"The table name "_s + Quoted(table) + u" is already taken, please choose another keyword !"_s;
}
inline QString RenewQuestion(const QString& table)
{
    return u"All URLs in "_s + Quoted(table) + u" table have been gotten, renew it all ?"_s;
}
inline QString TableMissing(const QString& table)
{
    return Quoted(table) + u" table is not exists, please use Add/Refresh button to add table !"_s;
}
inline QString NotCollected(const QString& table)
{
    return Quoted(table) + u" table has not been collected yet, please use Add/Refresh button to collect it !"_s;
}
inline QString Processed(const QString& table)
{
    return Quoted(table) + u" table has been processed !"_s;
}
inline QString AllExtracted(const QString& table)
{
    return u"You have extracted all title information from "_s + Quoted(table) + u" table !"_s;
}
inline QString CompactionFailed(const QString& reason)
{
    return u"The database could not be compacted: "_s + reason;
}
inline QString RecoveryFailed(const QString& reason)
{
    return u"The database could not be recovered: "_s + reason;
}
inline QString TooFewRows(const QString& table, int rows)
{
    return Quoted(table) + u" table holds only %1 rows, fewer than the batch needs !"_s.arg(rows);
}

} // namespace SiteDbTexts
