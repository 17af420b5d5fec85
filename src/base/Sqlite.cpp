#include "base/Sqlite.h"

#include <sqlite3.h>

SqliteConnection::SqliteConnection(const QString& path, Mode mode)
{
    // Opened for writing even to read: only then does SQLite roll back a journal left by a kill.
    const int flags = mode == Mode::Create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READWRITE;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        lastError = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        db = nullptr;
        return;
    }
    sqlite3_extended_result_codes(db, 1);
    // Another copy's short write (the command line beside the window) is waited for, not failed.
    sqlite3_busy_timeout(db, 5000);
    if (mode == Mode::ReadOnly && !Execute(QStringLiteral("PRAGMA query_only = ON"))) {
        sqlite3_close(db);
        db = nullptr;
    }
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close(db);
}

bool SqliteConnection::Fail()
{
    lastError = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("database not open");
    lastErrorCode = db ? sqlite3_extended_errcode(db) : SQLITE_MISUSE;
    return false;
}

bool SqliteConnection::WasBusy() const
{
    return (lastErrorCode & 0xff) == SQLITE_BUSY;
}

bool SqliteConnection::WasDamaged() const
{
    return (lastErrorCode & 0xff) == SQLITE_CORRUPT;
}

bool SqliteConnection::CheckIntegrity()
{
    SqliteStatement check(*this, QStringLiteral("PRAGMA quick_check(1)"));
    if (!check.Next())
        return false; // the statement has recorded why
    if (check.Text(0) == QLatin1String("ok"))
        return true;
    lastError = check.Text(0);
    lastErrorCode = SQLITE_CORRUPT;
    return false;
}

bool SqliteConnection::Execute(const QString& sql)
{
    if (!db)
        return Fail();
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    lastErrorCode = sqlite3_extended_errcode(db);
    lastError = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

SqliteStatement::SqliteStatement(SqliteConnection& connection, const QString& sql) : connection(connection)
{
    if (!connection.IsOpen()) {
        failed = true;
        return;
    }
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(connection.Handle(), text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) {
        connection.Fail();
        sqlite3_finalize(stmt);
        stmt = nullptr;
        failed = true;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(stmt);
}

void SqliteStatement::Bind(int index, const QString& value)
{
    const QByteArray text = value.toUtf8();
    // A null pointer would bind NULL; the empty text must stay text.
    sqlite3_bind_text(stmt, index, text.isNull() ? "" : text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::Bind(int index, qint64 value)
{
    sqlite3_bind_int64(stmt, index, value);
}

void SqliteStatement::BindNull(int index)
{
    sqlite3_bind_null(stmt, index);
}

bool SqliteStatement::Next()
{
    if (!stmt)
        return false;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        failed = true;
        connection.Fail();
    }
    return false;
}

bool SqliteStatement::Run()
{
    while (Next()) {
    }
    const bool ok = stmt && !failed;
    Reset();
    return ok;
}

void SqliteStatement::Reset()
{
    if (!stmt)
        return;
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    failed = false;
}

QString SqliteStatement::Text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)) : QString();
}

QByteArrayView SqliteStatement::Utf8(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? QByteArrayView(text, sqlite3_column_bytes(stmt, column)) : QByteArrayView();
}

qint64 SqliteStatement::Integer(int column) const
{
    return sqlite3_column_int64(stmt, column);
}

bool SqliteStatement::IsNull(int column) const
{
    return sqlite3_column_type(stmt, column) == SQLITE_NULL;
}

SqliteTransaction::SqliteTransaction(SqliteConnection& connection) : connection(connection)
{
    active = connection.Execute(QStringLiteral("BEGIN IMMEDIATE"));
}

SqliteTransaction::~SqliteTransaction()
{
    if (active)
        connection.Execute(QStringLiteral("ROLLBACK"));
}

bool SqliteTransaction::Commit()
{
    if (!active)
        return false;
    if (connection.Execute(QStringLiteral("COMMIT"))) {
        active = false;
        return true;
    }
    // A failed COMMIT may leave the transaction open; the destructor rolls it back. Keep the reason.
    const QString reason = connection.LastError();
    connection.Execute(QStringLiteral("ROLLBACK"));
    connection.SetError(reason);
    active = false;
    return false;
}

QString QuoteIdentifier(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}
