// The import into RankLists.db. The file is kept in WAL mode so that a run reading the old list is
// never blocked by an import: it sees the old rows until the import commits, then the new ones.

#include "sources/RankListStore.h"

#include "base/Names.h"
#include "base/Sqlite.h"
#include "sources/RankListRows.h"
#include "sources/RankListZip.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QUrl>

#include <sqlite3.h>

namespace {

// A list replaces the one in use only when it looks like a list as a whole: a file of which more
// than 1% of the lines (and more than ten) are no rows is some other file that happens to hold a
// few, and a list of fewer than 100 rows in place of one of more than 1,000 is a cut-off download
// or a sample. Either is refused unless the import is forced.
constexpr qint64 MostStrayLines = 10;
constexpr qint64 MostStrayPercent = 1;
constexpr qint64 FewestReplacingRows = 100;
constexpr qint64 RowsWorthKeeping = 1000;

bool PrepareFile(SqliteConnection& db)
{
    return db.Execute(QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                                     "CREATE TABLE IF NOT EXISTS lists (name TEXT PRIMARY KEY, list_id TEXT NOT NULL, "
                                     "row_count INTEGER NOT NULL, imported_on TEXT NOT NULL, source TEXT NOT NULL)"));
}

QString FileNameOf(const QString& pathOrAddress)
{
    const QUrl address(pathOrAddress);
    const QString scheme = address.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return address.fileName();
    return QFileInfo(pathOrAddress).fileName();
}

QString Number(qint64 value)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value);
}

RankListImportResult Refused(const QString& message)
{
    return {false, message, {}};
}

// The rows of the list of that kind in the file, 0 for none; nothing when the file cannot be read.
std::optional<qint64> KeptRows(SqliteConnection& db, RankListKind kind)
{
    SqliteStatement kept(db, QStringLiteral("SELECT row_count FROM lists WHERE name = ?1"));
    kept.Bind(1, RankListName(kind));
    const qint64 rows = kept.Next() ? kept.Integer(0) : 0;
    if (kept.Failed())
        return std::nullopt;
    return rows;
}

RankListImportResult RefusedUnlessForced(const QString& message)
{
    RankListImportResult result = Refused(message);
    result.Overridable = true;
    return result;
}

} // namespace

QString RankListStore::TableName(RankListKind kind)
{
    return QStringLiteral("ranks_") + RankListName(kind);
}

QString RankListStore::ListIdIn(const QString& fileName)
{
    static const QRegularExpression id(QStringLiteral("^tranco[_-]([A-Za-z0-9]{3,12})(?=[-_.]|$)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = id.match(fileName);
    return match.hasMatch() ? match.captured(1) : QString();
}

RankListImportResult RankListStore::Import(const RankListImportRequest& request) const
{
    // A first import that fails leaves no file behind, as if it had never been tried.
    const bool existed = QFileInfo::exists(path);
    RankListImportResult result = ImportInto(request);
    if (!result.Ok && !existed) {
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path + suffix);
    }
    return result;
}

RankListImportResult RankListStore::ImportInto(const RankListImportRequest& request) const
{
    const QString shownName = request.DisplayName.isEmpty() ? QFileInfo(request.Path).fileName() : request.DisplayName;

    // The source: the file itself, or the one CSV inside it when it is a ZIP archive.
    QFile plain(request.Path);
    RankListZip zipped;
    QIODevice* device = &plain;
    qint64 size = -1;
    QString innerName;
    if (!QFileInfo(request.Path).isFile())
        return Refused(CannotReadText(shownName, QStringLiteral("there is no such file.")));
    if (IsZipFile(request.Path)) {
        if (!zipped.OpenArchive(request.Path, shownName))
            return Refused(zipped.ErrorText());
        device = &zipped;
        size = zipped.EntrySize();
        innerName = zipped.EntryName();
    } else {
        if (!plain.open(QIODevice::ReadOnly))
            return Refused(CannotReadText(shownName, plain.errorString()));
        size = plain.size();
    }

    SqliteConnection db(path, SqliteConnection::Mode::Create);
    if (!db.IsOpen() || !PrepareFile(db))
        return Refused(ReadFault(db, path));
    const QString table = QuoteIdentifier(TableName(request.Kind));
    const QString index = QuoteIdentifier(TableName(request.Kind) + QStringLiteral("_domain"));

    SqliteTransaction transaction(db);
    if (!transaction.IsActive())
        return Refused(CannotWriteText(path, db.LastError()));
    const std::optional<qint64> kept = KeptRows(db, request.Kind);
    if (!kept)
        return Refused(ReadFault(db, path));
    const qint64 keptRows = *kept;
    // The rows go in without an index; building it once at the end is much faster than keeping it
    // up to date row by row.
    if (!db.Execute(QStringLiteral("DROP TABLE IF EXISTS %1; CREATE TABLE %1 (domain TEXT NOT NULL, rank INTEGER NOT "
                                   "NULL)")
                        .arg(table)))
        return Refused(CannotWriteText(path, db.LastError()));

    SqliteStatement insert(db, QStringLiteral("INSERT INTO %1 (domain, rank) VALUES (?1, ?2)").arg(table));
    if (!insert.IsValid())
        return Refused(CannotWriteText(path, db.LastError()));
    QString writeError;
    auto progress = [&request, size](qint64 done) {
        if (request.Progress)
            request.Progress(RankListStage::Importing, done, size);
    };
    const RankListReadOutcome read = ReadRankListRows(
        *device, request.Kind, shownName, request.MostRows,
        [&insert, &db, &writeError](qint64 rank, const QString& domain) {
            insert.Bind(1, domain);
            insert.Bind(2, rank);
            if (insert.Run())
                return true;
            writeError = db.LastError();
            return false;
        },
        progress);
    if (!read.Ok)
        return Refused(read.Message.isEmpty() ? CannotWriteText(path, writeError) : read.Message);
    const qint64 lines = read.Rows + read.Skipped;
    if (!request.Force && read.Skipped > MostStrayLines && read.Skipped * 100 > lines * MostStrayPercent)
        return RefusedUnlessForced(
            QStringLiteral("%1 is refused: %2 of its %3 non-blank lines are not rows of a %4 list (more than %5%).")
                .arg(shownName, Number(read.Skipped), Number(lines), RankListName(request.Kind))
                .arg(MostStrayPercent));
    if (!request.Force && read.Rows < FewestReplacingRows && keptRows > RowsWorthKeeping)
        return RefusedUnlessForced(QStringLiteral("%1 is refused: it holds %2 domains, and the %3 list it would "
                                                  "replace holds %4 (a list of fewer than %5 domains does not "
                                                  "replace one of more than %6).")
                                       .arg(shownName, Number(read.Rows), RankListName(request.Kind), Number(keptRows),
                                            Number(FewestReplacingRows), Number(RowsWorthKeeping)));

    RankListInfo info;
    info.Kind = request.Kind;
    info.Rows = read.Rows;
    info.ImportedOn = request.Today.toString(Qt::ISODate);
    info.Source = shownName;
    info.Id = ListIdIn(FileNameOf(shownName));
    if (info.Id.isEmpty())
        info.Id = ListIdIn(QFileInfo(innerName).fileName());
    if (info.Id.isEmpty())
        info.Id = info.ImportedOn;

    SqliteStatement record(db, QStringLiteral("INSERT OR REPLACE INTO lists (name, list_id, row_count, imported_on, "
                                              "source) VALUES (?1, ?2, ?3, ?4, ?5)"));
    record.Bind(1, RankListName(info.Kind));
    record.Bind(2, info.Id);
    record.Bind(3, info.Rows);
    record.Bind(4, info.ImportedOn);
    record.Bind(5, info.Source);
    if (!db.Execute(QStringLiteral("CREATE INDEX %1 ON %2 (domain, rank)").arg(index, table)) || !record.Run() ||
        !transaction.Commit())
        return Refused(CannotWriteText(path, db.LastError()));
    // The write-ahead log holds a copy of every new page until it is folded back; do that now rather
    // than leave a log as large as the list beside the file.
    db.Execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));

    QString message =
        QStringLiteral("Imported the %1 list %2: %3 domains.").arg(RankListName(info.Kind), info.Id, Number(info.Rows));
    if (read.Skipped > 0)
        message += QStringLiteral(" %1 lines that are not rows were skipped.").arg(Number(read.Skipped));
    return {true, message, info};
}

QString RankListStore::ReadFault(const SqliteConnection& db, const QString& databasePath)
{
    const QString name = QFileInfo(databasePath).fileName();
    const int code = db.IsOpen() ? sqlite3_errcode(db.Handle()) & 0xff : SQLITE_CANTOPEN;
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB)
        return QStringLiteral("%1 is damaged: %2").arg(name, db.LastError());
    return CannotReadText(name, db.LastError());
}

QList<RankListInfo> RankListStore::ListInfo(QString* fault) const
{
    if (fault)
        fault->clear();
    QList<RankListInfo> infos;
    if (!QFileInfo::exists(path))
        return infos;
    SqliteConnection db(path, SqliteConnection::Mode::ReadOnly);
    auto failed = [&] {
        if (fault)
            *fault = ReadFault(db, path);
        return QList<RankListInfo>();
    };
    // A file without the table of the lists is one whose first import was ended before it got so
    // far: it holds no list, and is no damage.
    SqliteStatement table(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'lists'"));
    const bool made = table.Next();
    if (table.Failed())
        return failed();
    if (!made)
        return infos;
    SqliteStatement select(db, QStringLiteral("SELECT name, list_id, row_count, imported_on, source FROM lists"));
    while (select.Next()) {
        const std::optional<RankListKind> kind = RankListKindNamed(select.Text(0));
        if (kind)
            infos.append({*kind, select.Text(1), select.Integer(2), select.Text(3), select.Text(4)});
    }
    if (select.Failed())
        return failed();
    std::sort(infos.begin(), infos.end(), [](const RankListInfo& a, const RankListInfo& b) { return a.Kind < b.Kind; });
    return infos;
}

std::optional<RankListInfo> RankListStore::Info(RankListKind kind, QString* fault) const
{
    for (const RankListInfo& info : ListInfo(fault)) {
        if (info.Kind == kind)
            return info;
    }
    return std::nullopt;
}
