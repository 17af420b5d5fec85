#pragma once
// The keyword site database: one connection per action, one typed function per statement form.
// Nothing outside this folder writes SQL.

#include <QString>
#include <QStringList>

struct sqlite3;

class SiteDatabase {
public:
    enum class OpenMode { Existing, Create };

    // Opens the database file; Create makes a new, empty file first. IsOpen() tells the result.
    explicit SiteDatabase(const QString& path, OpenMode mode = OpenMode::Existing);
    ~SiteDatabase();
    SiteDatabase(const SiteDatabase&) = delete;
    SiteDatabase& operator=(const SiteDatabase&) = delete;

    bool IsOpen() const { return db != nullptr; }
    QString LastError() const { return lastError; }

    // The master table "Quorvex", one row per keyword, columns in their fixed order.
    bool CreateMasterTable();
    // Names of the tables the file holds, in creation order.
    QStringList TableNames();
    // Column names of one table, in order.
    QStringList ColumnNames(const QString& table);

private:
    bool Execute(const QString& sql);
    bool Fail();

    sqlite3* db = nullptr;
    QString lastError;
};

// program folder + "/Database/Quorvex.mdb"
QString DatabasePath(const QString& programFolder);
// The table name of a stored keyword: every blank replaced by "_".
QString SearchTableName(const QString& keyword);
