#include "sitedb/SiteDatabase.h"

#include "app/Names.h"

#include <sqlite3.h>

namespace {

// One prepared statement, finalised when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
            stmt = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool IsValid() const { return stmt != nullptr; }
    void Bind(int index, const QString& value)
    {
        const QByteArray text = value.toUtf8();
        sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    int Step() { return sqlite3_step(stmt); }
    QString Text(int column) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
    }

private:
    sqlite3_stmt* stmt = nullptr;
};

} // namespace

SiteDatabase::SiteDatabase(const QString& path, OpenMode mode)
{
    const int flags = SQLITE_OPEN_READWRITE | (mode == OpenMode::Create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        lastError = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        db = nullptr;
        return;
    }
    sqlite3_busy_timeout(db, 5000);
}

SiteDatabase::~SiteDatabase()
{
    sqlite3_close(db);
}

bool SiteDatabase::Fail()
{
    lastError = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("database not open");
    return false;
}

bool SiteDatabase::Execute(const QString& sql)
{
    if (!db)
        return Fail();
    Statement statement(db, sql);
    if (!statement.IsValid())
        return Fail();
    const int rc = statement.Step();
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? true : Fail();
}

bool SiteDatabase::CreateMasterTable()
{
    return Execute(QStringLiteral("CREATE TABLE Quorvex(Search VARCHAR(255) NULL,SearchType VARCHAR(30) NULL,"
                                  "SearchNum VARCHAR(10) NULL,SearchDate VARCHAR(10) NULL,Updated VARCHAR(1) NULL)"));
}

QStringList SiteDatabase::TableNames()
{
    QStringList names;
    if (!db)
        return names;
    Statement statement(db, QStringLiteral("SELECT name FROM sqlite_schema WHERE type='table' ORDER BY rowid"));
    while (statement.IsValid() && statement.Step() == SQLITE_ROW)
        names.append(statement.Text(0));
    return names;
}

QStringList SiteDatabase::ColumnNames(const QString& table)
{
    QStringList names;
    if (!db)
        return names;
    Statement statement(db, QStringLiteral("SELECT name FROM pragma_table_info(?1) ORDER BY cid"));
    if (statement.IsValid())
        statement.Bind(1, table);
    while (statement.IsValid() && statement.Step() == SQLITE_ROW)
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
