#pragma once
// SQLite through its C API: a connection, a prepared statement and a transaction, each released
// when it goes out of scope. The settings store, the site database and every other SQLite file of
// the program go through these three.

#include <QByteArrayView>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

class SqliteConnection {
public:
    // ReadOnly writes nothing through the connection, but first completes the rollback that a writer
    // killed inside a transaction left in its journal, as any opening that may write does; a
    // reading command after a kill so reads what was last committed instead of failing.
    enum class Mode { ReadOnly, ReadWrite, Create };

    // Opens the file; Create makes it when it is absent. IsOpen() tells the result, LastError() why not.
    SqliteConnection(const QString& path, Mode mode);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    bool IsOpen() const { return db != nullptr; }
    const QString& LastError() const { return lastError; }

    // Runs SQL without parameters (one or more statements); false with LastError() on failure.
    bool Execute(const QString& sql);
    // SQLite's quick check of the whole file; false, with the first fault as LastError(), when a
    // page is damaged or the file cannot be read.
    bool CheckIntegrity();
    // True when the last failure was a lock that another program held past the wait.
    bool WasBusy() const;
    // The last failure found the file damaged (CheckIntegrity's verdict or a malformed page).
    bool WasDamaged() const;
    // Records SQLite's message for the last failed call and returns false.
    bool Fail();
    void SetError(const QString& text) { lastError = text; }
    sqlite3* Handle() const { return db; }

private:
    sqlite3* db = nullptr;
    QString lastError;
    int lastErrorCode = 0;
};

class SqliteStatement {
public:
    SqliteStatement(SqliteConnection& connection, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool IsValid() const { return stmt != nullptr; }

    // Parameters count from 1. Text is bound as given, the empty text included; NULL only by BindNull.
    void Bind(int index, const QString& value);
    void Bind(int index, qint64 value);
    void BindNull(int index);

    // Steps once: true while a row is ready. At the end, or on an error, false; Failed() tells which.
    bool Next();
    // Steps to the end: true when the statement ran without error. Then ready to be bound and run again.
    bool Run();
    // Ready to run again with new values.
    void Reset();
    bool Failed() const { return failed; }

    // Columns count from 0. NULL reads as empty text; IsNull tells the two apart.
    QString Text(int column) const;
    // The column's UTF-8 bytes, valid until the next step or reset; empty for NULL.
    QByteArrayView Utf8(int column) const;
    qint64 Integer(int column) const;
    bool IsNull(int column) const;

private:
    SqliteConnection& connection;
    sqlite3_stmt* stmt = nullptr;
    bool failed = false;
};

// BEGIN IMMEDIATE on creation; rolled back when it goes out of scope without Commit().
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteConnection& connection);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    bool IsActive() const { return active; }
    // False, with the connection's LastError(), when the commit failed; everything is rolled back then.
    bool Commit();

private:
    SqliteConnection& connection;
    bool active = false;
};

// A table or column name as SQL text: in double quotes, every double quote doubled.
QString QuoteIdentifier(const QString& name);
