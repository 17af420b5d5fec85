#include "sitedb/SiteDatabase.h"

#include "base/Names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace {

const QString MasterColumns = u"Search,SearchType,SearchNum,SearchDate,Updated"_s;
const QString SiteColumns = u"URL,Title,Description,Keyword,PR,Alexa"_s;

SqlText Column(const SqliteStatement& statement, int column)
{
    if (statement.IsNull(column))
        return std::nullopt;
    return statement.Text(column);
}

void Bind(SqliteStatement& statement, int index, const SqlText& value)
{
    if (value)
        statement.Bind(index, *value);
    else
        statement.BindNull(index);
}

MasterRow ReadMasterRow(const SqliteStatement& statement)
{
    return {Column(statement, 0), Column(statement, 1), Column(statement, 2), Column(statement, 3),
            Column(statement, 4)};
}

QString Progress(int top, int bottom)
{
    return QString::number(top) + QLatin1Char('/') + QString::number(bottom);
}

QString TextOrNull(const QString& text)
{
    return text.isEmpty() ? u"Null"_s : text;
}

} // namespace

SiteDatabase::SiteDatabase(const QString& path, OpenMode mode)
    : path(path),
      connection(path, mode == OpenMode::Create ? SqliteConnection::Mode::Create : SqliteConnection::Mode::ReadWrite)
{
    if (mode != OpenMode::Create && !QFileInfo(path).isFile()) {
        Refuse(u"the file is missing"_s);
        return;
    }
    if (!connection.IsOpen()) {
        Refuse(connection.LastError());
        return;
    }
    // SQLite reads the file only at the first statement: a file that is not a database, or one
    // locked for longer than the wait, is told here, before any action starts.
    SqliteStatement probe(connection, u"SELECT count(*) FROM sqlite_schema"_s);
    if (!probe.Next()) {
        Refuse(connection.LastError());
        return;
    }
    if (mode == OpenMode::Checked) {
        const QString damage = Damage();
        if (!damage.isEmpty()) {
            Refuse(damage);
            return;
        }
    }
    usable = true;
}

// A damaged page that no statement of the action reads (a zeroed last page) would not stop it from
// writing into the file; quick_check reads every page, without the slower checks of the indexes.
QString SiteDatabase::Damage()
{
    if (!connection.CheckIntegrity()) {
        QString reason = connection.LastError();
        if (!connection.WasDamaged())
            return reason;
        return u"the file is damaged (%1)"_s.arg(
            reason.replace(u"*** in database main ***\n"_s, QString()).replace(u'\n', u' '));
    }
    SqliteStatement master(connection,
                           u"SELECT 1 FROM sqlite_schema WHERE type='table' AND name='Quorvex' COLLATE NOCASE"_s);
    if (!master.Next())
        return master.Failed() ? connection.LastError()
                               : u"the file is no keyword site database: it has no table Quorvex"_s;
    return {};
}

bool SiteDatabase::Refuse(const QString& reason)
{
    refusal = reason;
    return false;
}

QString SiteDatabase::LastError() const
{
    const QString reason = refusal.isEmpty() ? connection.LastError() : refusal;
    return u"The keyword site database %1 cannot be used: %2"_s.arg(QDir::toNativeSeparators(path), reason);
}

bool SiteDatabase::Run(const QString& sql, std::initializer_list<SqlText> values)
{
    if (!IsOpen())
        return false;
    refusal.clear();
    SqliteStatement statement(connection, sql);
    int index = 1;
    for (const SqlText& value : values)
        Bind(statement, index++, value);
    return statement.Run();
}

bool SiteDatabase::CreateMasterTable()
{
    return Run(u"CREATE TABLE Quorvex(Search VARCHAR(255) NULL,SearchType VARCHAR(30) NULL,"
               "SearchNum VARCHAR(10) NULL,SearchDate VARCHAR(10) NULL,Updated VARCHAR(1) NULL)"_s,
               {});
}

bool SiteDatabase::DropMasterTable()
{
    return Run(u"DROP TABLE Quorvex"_s, {});
}

bool SiteDatabase::ReadMaster(QList<MasterRow>& rows)
{
    rows.clear();
    if (!IsOpen())
        return false;
    SqliteStatement statement(connection, u"SELECT "_s + MasterColumns + u" FROM Quorvex ORDER BY rowid"_s);
    while (statement.Next())
        rows.append(ReadMasterRow(statement));
    return statement.IsValid() && !statement.Failed();
}

bool SiteDatabase::FindMaster(const QString& keyword, std::optional<MasterRow>& row)
{
    row.reset();
    if (!IsOpen())
        return false;
    SqliteStatement statement(connection,
                              u"SELECT "_s + MasterColumns + u" FROM Quorvex WHERE Search=?1 ORDER BY rowid LIMIT 1"_s);
    statement.Bind(1, keyword);
    if (statement.Next())
        row = ReadMasterRow(statement);
    return statement.IsValid() && !statement.Failed();
}

bool SiteDatabase::InsertMaster(const QString& keyword, const QString& category)
{
    return Run(u"INSERT INTO Quorvex(Search,SearchType) VALUES(?1,?2)"_s, {keyword, category});
}

bool SiteDatabase::InsertMasterRow(const MasterRow& row)
{
    return Run(u"INSERT INTO Quorvex("_s + MasterColumns + u") VALUES(?1,?2,?3,?4,?5)"_s,
               {row.Search, row.SearchType, row.SearchNum, row.SearchDate, row.Updated});
}

bool SiteDatabase::MarkCollected(const QString& keyword, int count, const QString& date)
{
    return Run(u"UPDATE Quorvex SET SearchNum=?1,SearchDate=?2,Updated='N' WHERE Search=?3"_s,
               {Progress(1, count), date, keyword});
}

bool SiteDatabase::UpdateProgress(const QString& keyword, int top, int bottom)
{
    return Run(u"UPDATE Quorvex SET SearchNum=?1 WHERE Search=?2"_s, {Progress(top, bottom), keyword});
}

bool SiteDatabase::MarkExported(const QString& keyword, int top, int bottom)
{
    return Run(u"UPDATE Quorvex SET SearchNum=?1,Updated='Y' WHERE Search=?2"_s, {Progress(top, bottom), keyword});
}

bool SiteDatabase::ResetUpdated(const QString& keyword)
{
    return Run(u"UPDATE Quorvex SET Updated='N' WHERE Search=?1"_s, {keyword});
}

bool SiteDatabase::CreateSearchTable(const QString& table)
{
    return Run(u"CREATE TABLE "_s + QuoteIdentifier(table) +
                   u"(URL VARCHAR(255) NULL,Title VARCHAR(255) NULL,Description VARCHAR(255) NULL,"
                   "Keyword VARCHAR(255) NULL,PR VARCHAR(2) NULL,Alexa VARCHAR(20) NULL)"_s,
               {});
}

bool SiteDatabase::EmptySearchTable(const QString& table)
{
    return Run(u"DELETE FROM "_s + QuoteIdentifier(table), {});
}

bool SiteDatabase::InsertSites(const QString& table, const QStringList& urls)
{
    if (!IsOpen())
        return false;
    SqliteTransaction transaction(connection);
    return transaction.IsActive() && InsertEach(table, urls) && transaction.Commit();
}

bool SiteDatabase::InsertEach(const QString& table, const QStringList& urls)
{
    SqliteStatement insert(connection, u"INSERT INTO "_s + QuoteIdentifier(table) + u"(URL) VALUES(?1)"_s);
    for (const QString& url : urls) {
        insert.Bind(1, url);
        if (!insert.Run())
            return false;
    }
    return insert.IsValid();
}

bool SiteDatabase::ReadSearchTable(const QString& table, QList<SiteRow>& rows)
{
    QList<qint64> rowIds;
    return ReadSearchTable(table, rows, rowIds);
}

bool SiteDatabase::ReadSearchTable(const QString& table, QList<SiteRow>& rows, QList<qint64>& rowIds)
{
    rows.clear();
    rowIds.clear();
    if (!IsOpen())
        return false;
    SqliteStatement statement(connection, u"SELECT "_s + SiteColumns + u",rowid FROM "_s + QuoteIdentifier(table) +
                                              u" ORDER BY rowid"_s);
    while (statement.Next()) {
        rows.append({Column(statement, 0), Column(statement, 1), Column(statement, 2), Column(statement, 3),
                     Column(statement, 4), Column(statement, 5)});
        rowIds.append(statement.Integer(6));
    }
    return statement.IsValid() && !statement.Failed();
}

bool SiteDatabase::CountSites(const QString& table, int& count)
{
    count = 0;
    if (!IsOpen())
        return false;
    SqliteStatement statement(connection, u"SELECT count(*) FROM "_s + QuoteIdentifier(table));
    if (statement.Next())
        count = int(statement.Integer(0));
    return statement.IsValid() && !statement.Failed();
}

bool SiteDatabase::ReadSearchURLs(const QString& table, int first, int count, QStringList& urls)
{
    urls.clear();
    if (!IsOpen())
        return false;
    SqliteStatement statement(connection,
                              u"SELECT URL FROM "_s + QuoteIdentifier(table) + u" ORDER BY rowid LIMIT ?1 OFFSET ?2"_s);
    statement.Bind(1, qint64(count));
    statement.Bind(2, qint64(first));
    while (statement.Next())
        urls.append(statement.Text(0));
    return statement.IsValid() && !statement.Failed();
}

bool SiteDatabase::UpdateTitle(const QString& table, const QString& url, const QString& title,
                               const QString& description, const QString& keywords)
{
    return Run(u"UPDATE "_s + QuoteIdentifier(table) + u" SET Title=?1,Description=?2,Keyword=?3 WHERE URL=?4"_s,
               {title, description, keywords, url});
}

bool SiteDatabase::UpdatePR(const QString& table, const QString& url, int pr)
{
    return Run(u"UPDATE "_s + QuoteIdentifier(table) + u" SET PR=?1 WHERE URL=?2"_s, {QString::number(pr), url});
}

bool SiteDatabase::UpdateAlexa(const QString& table, const QString& url, qint32 alexa)
{
    return Run(u"UPDATE "_s + QuoteIdentifier(table) + u" SET Alexa=?1 WHERE URL=?2"_s, {QString::number(alexa), url});
}

bool SiteDatabase::DeleteSite(const QString& table, const QString& url)
{
    return Run(u"DELETE FROM "_s + QuoteIdentifier(table) + u" WHERE URL=?1"_s, {url});
}

bool SiteDatabase::DeleteSiteRows(const QString& table, const QList<qint64>& rowIds)
{
    if (!IsOpen())
        return false;
    SqliteStatement statement(connection, u"DELETE FROM "_s + QuoteIdentifier(table) + u" WHERE rowid=?1"_s);
    for (qint64 rowId : rowIds) {
        statement.Bind(1, rowId);
        if (!statement.Run())
            return false;
    }
    return statement.IsValid();
}

bool SiteDatabase::TableTaken(const QString& table, bool& taken)
{
    taken = true;
    if (!IsOpen())
        return false;
    if (table.startsWith(u"sqlite_"_s, Qt::CaseInsensitive))
        return true;
    // NOCASE folds ASCII letters only, exactly as SQLite matches table names.
    SqliteStatement statement(connection, u"SELECT 1 FROM sqlite_schema WHERE name=?1 COLLATE NOCASE"_s);
    statement.Bind(1, table);
    taken = statement.Next();
    return statement.IsValid() && !statement.Failed();
}

bool SiteDatabase::AddKeyword(const QString& keyword, const QString& category, const QString& table)
{
    if (!IsOpen())
        return false;
    SqliteTransaction transaction(connection);
    return transaction.IsActive() && InsertMaster(keyword, category) && CreateSearchTable(table) &&
           transaction.Commit();
}

bool SiteDatabase::ReplaceSearchRows(const QString& keyword, const QString& table, const QStringList& urls,
                                     const QString& date)
{
    if (!IsOpen())
        return false;
    SqliteTransaction transaction(connection);
    return transaction.IsActive() && EmptySearchTable(table) && InsertEach(table, urls) &&
           MarkCollected(keyword, int(urls.size()), date) && transaction.Commit();
}

bool SiteDatabase::WriteExtractionBatch(const QString& keyword, const QString& table, const QList<SiteDetails>& read,
                                        const QStringList& notRead, const ExtractChoice& choice, int top, int bottom)
{
    if (!IsOpen())
        return false;
    SqliteTransaction transaction(connection);
    if (!transaction.IsActive())
        return false;
    // The batch goes into a temporary table first and each chosen column is then updated in one
    // joined statement: one pass over the search table, where an update by URL per site would scan
    // the whole table once per site.
    if (!connection.Execute(u"CREATE TEMP TABLE batch(URL,Title,Description,Keyword,PR,Alexa)"_s))
        return false;
    SqliteStatement insert(connection, u"INSERT INTO temp.batch VALUES(?1,?2,?3,?4,?5,?6)"_s);
    for (const SiteDetails& site : read) {
        insert.Bind(1, site.URL);
        insert.Bind(2, TextOrNull(site.Title));
        insert.Bind(3, TextOrNull(site.Description));
        insert.Bind(4, TextOrNull(site.Keyword));
        insert.Bind(5, QString::number(site.PR));
        insert.Bind(6, QString::number(site.Alexa));
        if (!insert.Run())
            return false;
    }
    const QString name = QuoteIdentifier(table);
    const auto update = [&](const QString& assignments) {
        return connection.Execute(u"UPDATE "_s + name + u" SET "_s + assignments + u" FROM temp.batch WHERE "_s + name +
                                  u".URL=batch.URL"_s);
    };
    const bool written =
        (!choice.Title || update(u"Title=batch.Title,Description=batch.Description,Keyword=batch.Keyword"_s)) &&
        (!choice.PR || update(u"PR=batch.PR"_s)) && (!choice.Alexa || update(u"Alexa=batch.Alexa"_s)) &&
        connection.Execute(u"DROP TABLE temp.batch"_s);
    return written && MoveBehind(name, notRead) && UpdateProgress(keyword, top, bottom) && transaction.Commit();
}

// Stored order is rowid order, so new rowids past the largest move the rows behind every other row
// and keep their own order; one joined statement moves them all in one pass over the table.
bool SiteDatabase::MoveBehind(const QString& name, const QStringList& urls)
{
    if (urls.isEmpty())
        return true;
    if (!connection.Execute(u"CREATE TEMP TABLE behind(n INTEGER PRIMARY KEY,URL)"_s))
        return false;
    SqliteStatement insert(connection, u"INSERT INTO temp.behind(URL) VALUES(?1)"_s);
    for (const QString& url : urls) {
        insert.Bind(1, url);
        if (!insert.Run())
            return false;
    }
    return connection.Execute(u"UPDATE "_s + name + u" SET rowid=(SELECT max(rowid) FROM "_s + name +
                              u")+behind.n FROM temp.behind WHERE "_s + name + u".URL=behind.URL"_s) &&
           connection.Execute(u"DROP TABLE temp.behind"_s);
}

bool SiteDatabase::RemoveSites(const QList<SiteRemoval>& removals)
{
    if (!IsOpen())
        return false;
    SqliteTransaction transaction(connection);
    if (!transaction.IsActive())
        return false;
    for (const SiteRemoval& removal : removals) {
        if (!DeleteSiteRows(removal.Table, removal.RowIds) ||
            !UpdateProgress(removal.Keyword, removal.Top, removal.Bottom))
            return false;
    }
    return transaction.Commit();
}

bool SiteDatabase::RemoveExportedSites(const QList<PublishedSites>& published)
{
    if (!IsOpen())
        return false;
    SqliteTransaction transaction(connection);
    if (!transaction.IsActive())
        return false;
    for (const PublishedSites& keyword : published) {
        for (const QString& url : keyword.URLs) {
            if (!DeleteSite(keyword.Table, url))
                return false;
        }
        if (!MarkExported(keyword.Keyword, keyword.Top, keyword.Bottom))
            return false;
    }
    return transaction.Commit();
}

bool SiteDatabase::RebuildMaster(const QList<MasterRow>& rows)
{
    if (!IsOpen())
        return false;
    SqliteTransaction transaction(connection);
    if (!transaction.IsActive() || !DropMasterTable() || !CreateMasterTable())
        return false;
    for (const MasterRow& row : rows) {
        if (!InsertMasterRow(row))
            return false;
    }
    return transaction.Commit();
}

bool SiteDatabase::CopyTo(const QString& target)
{
    if (!IsOpen())
        return false;
    QTemporaryFile temporary(QFileInfo(target).absolutePath() + u"/.QuorvexCopy-XXXXXX"_s);
    if (!temporary.open())
        return Refuse(u"no temporary file beside %1: %2"_s.arg(target, temporary.errorString()));
    temporary.close();
    if (!Run(u"VACUUM INTO ?1"_s, {temporary.fileName()}))
        return false;
    QString error;
    return RenameOver(temporary.fileName(), target, error) || Refuse(error);
}

QStringList SiteDatabase::TableNames()
{
    QStringList names;
    if (!IsOpen())
        return names;
    SqliteStatement statement(connection, u"SELECT name FROM sqlite_schema WHERE type='table' ORDER BY rowid"_s);
    while (statement.Next())
        names.append(statement.Text(0));
    return names;
}

QStringList SiteDatabase::ColumnNames(const QString& table)
{
    QStringList names;
    if (!IsOpen())
        return names;
    SqliteStatement statement(connection, u"SELECT name FROM pragma_table_info(?1) ORDER BY cid"_s);
    statement.Bind(1, table);
    while (statement.Next())
        names.append(statement.Text(0));
    return names;
}

QString DatabasePath(const QString& programFolder)
{
    return programFolder + QLatin1Char('/') + WorkingFolderName + QLatin1Char('/') + DatabaseFileName;
}

QString SearchTableName(const QString& keyword)
{
    return QString(keyword).replace(QLatin1Char(' '), QLatin1Char('_'));
}

bool RenameOver(const QString& from, const QString& to, QString& error)
{
    std::error_code failure;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), failure);
    if (!failure)
        return true;
    error = u"%1 not written: %2"_s.arg(to, QString::fromStdString(failure.message()));
    return false;
}
