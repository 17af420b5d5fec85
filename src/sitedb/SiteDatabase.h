#pragma once
// The keyword site database: one connection per action, one typed function per statement form.
// Nothing outside this folder writes SQL.

#include "base/Sqlite.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A column that may hold SQL NULL: NULL, the empty text and the text "Null" are three values.
using SqlText = std::optional<QString>;

// One row of the master table "Quorvex", columns in their stored order.
struct MasterRow {
    SqlText Search;
    SqlText SearchType;
    SqlText SearchNum;
    SqlText SearchDate;
    SqlText Updated;
    bool operator==(const MasterRow&) const = default;
};

// One row of a keyword's search table, columns in their stored order.
struct SiteRow {
    SqlText URL;
    SqlText Title;
    SqlText Description;
    SqlText Keyword;
    SqlText PR;
    SqlText Alexa;
    bool operator==(const SiteRow&) const = default;
};

// What one extraction batch learned of one site, and which of it is written.
struct SiteDetails {
    QString URL;
    QString Title;
    QString Description;
    QString Keyword;
    int PR = 0;
    qint32 Alexa = 0;
};
// What an export published of one keyword: the sites to delete and the keyword's new progress.
struct PublishedSites {
    QString Keyword;
    QString Table;
    QStringList URLs;
    int Top = 0;
    int Bottom = 0;
};
struct ExtractChoice {
    bool Title = true;
    bool PR = true;
    bool Alexa = true;
    bool operator==(const ExtractChoice&) const = default;
};

// Rows to take out of a keyword's search table, by rowid, and the keyword's progress afterwards.
struct SiteRemoval {
    QString Keyword;
    QString Table;
    QList<qint64> RowIds;
    int Top = 0;
    int Bottom = 0;
};

class SiteDatabase {
public:
    // Checked: an existing file that SQLite's quick_check finds whole and that holds the master
    // table, as an action that writes, copies or compacts opens it.
    enum class OpenMode { Existing, Checked, Create };

    // Opens the database file; Create makes a new, empty file first. IsOpen() tells the result and
    // LastError() why not: a missing file, a file that is not a database, a lock held too long, and
    // when Checked, a damaged file or one without the master table.
    explicit SiteDatabase(const QString& path, OpenMode mode = OpenMode::Existing);

    bool IsOpen() const { return connection.IsOpen() && usable; }
    QString LastError() const;

    // The master table.
    bool CreateMasterTable();
    bool DropMasterTable();
    bool ReadMaster(QList<MasterRow>& rows);
    // The first row of the keyword, or none.
    bool FindMaster(const QString& keyword, std::optional<MasterRow>& row);
    bool InsertMaster(const QString& keyword, const QString& category);
    bool InsertMasterRow(const MasterRow& row);
    // SearchNum "1/" + count, SearchDate, Updated "N": a collection has ended.
    bool MarkCollected(const QString& keyword, int count, const QString& date);
    bool UpdateProgress(const QString& keyword, int top, int bottom);
    // SearchNum and Updated "Y": the keyword's sites were exported.
    bool MarkExported(const QString& keyword, int top, int bottom);
    bool ResetUpdated(const QString& keyword);

    // A keyword's search table.
    bool CreateSearchTable(const QString& table);
    bool EmptySearchTable(const QString& table);
    bool InsertSites(const QString& table, const QStringList& urls);
    bool ReadSearchTable(const QString& table, QList<SiteRow>& rows);
    // The same with each row's rowid, which names a row even where two hold the same URL.
    bool ReadSearchTable(const QString& table, QList<SiteRow>& rows, QList<qint64>& rowIds);
    bool CountSites(const QString& table, int& count);
    // The URLs of `count` rows from the 0-based position `first`, in stored order.
    bool ReadSearchURLs(const QString& table, int first, int count, QStringList& urls);
    bool UpdateTitle(const QString& table, const QString& url, const QString& title, const QString& description,
                     const QString& keywords);
    bool UpdatePR(const QString& table, const QString& url, int pr);
    bool UpdateAlexa(const QString& table, const QString& url, qint32 alexa);
    bool DeleteSite(const QString& table, const QString& url);
    bool DeleteSiteRows(const QString& table, const QList<qint64>& rowIds);

    // Whether a table of that name exists or could not be made: names are compared as SQLite
    // compares them (letter case aside), and the engine's own "sqlite_" names count as taken.
    bool TableTaken(const QString& table, bool& taken);

    // A new keyword: its master row and its empty search table, both or neither.
    bool AddKeyword(const QString& keyword, const QString& category, const QString& table);
    // The end of a collection: the table emptied, the sites inserted and the master row marked
    // collected, all or nothing, so a renewed keyword keeps its old rows until this succeeds.
    bool ReplaceSearchRows(const QString& keyword, const QString& table, const QStringList& urls, const QString& date);
    // The end of an extraction batch: the chosen details of the sites read ("Null" for an empty
    // text), the rows of the sites not read moved as they are behind every other row, in their order,
    // and the new progress, all or nothing.
    bool WriteExtractionBatch(const QString& keyword, const QString& table, const QList<SiteDetails>& read,
                              const QStringList& notRead, const ExtractChoice& choice, int top, int bottom);
    // Unwanted sites removed from the keywords' tables and their progress corrected, all or nothing.
    bool RemoveSites(const QList<SiteRemoval>& removals);
    // The end of an export: the published sites of every keyword deleted and each keyword marked
    // exported with its new progress, all or nothing.
    bool RemoveExportedSites(const QList<PublishedSites>& published);
    // The master table rebuilt from the rows given, all or nothing.
    bool RebuildMaster(const QList<MasterRow>& rows);

    // A copy of the whole database into a new file: VACUUM INTO a temporary name beside the target,
    // then a rename, so the target is never seen half written. An existing target is replaced.
    bool CopyTo(const QString& target);

    // Names of the tables the file holds, in creation order.
    QStringList TableNames();
    // Column names of one table, in order.
    QStringList ColumnNames(const QString& table);

private:
    bool Run(const QString& sql, std::initializer_list<SqlText> values);
    bool InsertEach(const QString& table, const QStringList& urls);
    // name is the quoted table name.
    bool MoveBehind(const QString& name, const QStringList& urls);
    bool Refuse(const QString& reason);
    // The refusal of a file that a Checked open does not take, or an empty text.
    QString Damage();

    QString path;
    SqliteConnection connection;
    bool usable = false;
    QString refusal;
};

// program folder + "/Database/Quorvex.mdb"
QString DatabasePath(const QString& programFolder);
// The table name of a stored keyword: every blank replaced by "_".
QString SearchTableName(const QString& keyword);
// Puts the file from in place of the file to in one step, so a reader finds the old file or the new
// one, never neither. False, with the reason in error, leaves both as they were.
bool RenameOver(const QString& from, const QString& to, QString& error);
