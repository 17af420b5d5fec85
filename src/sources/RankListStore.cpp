// The import into RankLists.db. The file is kept in WAL mode so that a run reading the old list is
// never blocked by an import: it sees the old rows until the import commits, then the new ones.

#include "sources/RankListStore.h"

#include "base/Sqlite.h"
#include "sources/RankListRows.h"
#include "sources/RankListZip.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QUrl>

namespace {

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
        return Refused(QStringLiteral("%1 cannot be read: there is no such file.").arg(shownName));
    if (IsZipFile(request.Path)) {
        if (!zipped.OpenArchive(request.Path, shownName))
            return Refused(zipped.ErrorText());
        device = &zipped;
        size = zipped.EntrySize();
        innerName = zipped.EntryName();
    } else {
        if (!plain.open(QIODevice::ReadOnly))
            return Refused(QStringLiteral("%1 cannot be read: %2").arg(shownName, plain.errorString()));
        size = plain.size();
    }

    SqliteConnection db(path, SqliteConnection::Mode::Create);
    if (!db.IsOpen() || !PrepareFile(db))
        return Refused(QStringLiteral("%1 cannot be opened: %2").arg(path, db.LastError()));
    const QString table = QuoteIdentifier(TableName(request.Kind));
    const QString index = QuoteIdentifier(TableName(request.Kind) + QStringLiteral("_domain"));

    SqliteTransaction transaction(db);
    if (!transaction.IsActive())
        return Refused(QStringLiteral("%1 cannot be written: %2").arg(path, db.LastError()));
    // The rows go in without an index; building it once at the end is much faster than keeping it
    // up to date row by row.
    if (!db.Execute(QStringLiteral("DROP TABLE IF EXISTS %1; CREATE TABLE %1 (domain TEXT NOT NULL, rank INTEGER NOT "
                                   "NULL)")
                        .arg(table)))
        return Refused(QStringLiteral("%1 cannot be written: %2").arg(path, db.LastError()));

    SqliteStatement insert(db, QStringLiteral("INSERT INTO %1 (domain, rank) VALUES (?1, ?2)").arg(table));
    if (!insert.IsValid())
        return Refused(QStringLiteral("%1 cannot be written: %2").arg(path, db.LastError()));
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
        return Refused(read.Message.isEmpty() ? QStringLiteral("%1 cannot be written: %2").arg(path, writeError)
                                              : read.Message);

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
        return Refused(QStringLiteral("%1 cannot be written: %2").arg(path, db.LastError()));
    // The write-ahead log holds a copy of every new page until it is folded back; do that now rather
    // than leave a log as large as the list beside the file.
    db.Execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));

    QString message =
        QStringLiteral("Imported the %1 list %2: %3 domains.").arg(RankListName(info.Kind), info.Id, Number(info.Rows));
    if (read.Skipped > 0)
        message += QStringLiteral(" %1 lines that are not rows were skipped.").arg(Number(read.Skipped));
    return {true, message, info};
}

QList<RankListInfo> RankListStore::ListInfo(bool* ok) const
{
    if (ok)
        *ok = true;
    QList<RankListInfo> infos;
    if (!QFileInfo::exists(path))
        return infos;
    SqliteConnection db(path, SqliteConnection::Mode::ReadOnly);
    SqliteStatement select(db, QStringLiteral("SELECT name, list_id, row_count, imported_on, source FROM lists"));
    while (select.Next()) {
        const std::optional<RankListKind> kind = RankListKindNamed(select.Text(0));
        if (kind)
            infos.append({*kind, select.Text(1), select.Integer(2), select.Text(3), select.Text(4)});
    }
    if (ok && (!select.IsValid() || select.Failed()))
        *ok = false;
    std::sort(infos.begin(), infos.end(), [](const RankListInfo& a, const RankListInfo& b) { return a.Kind < b.Kind; });
    return infos;
}

std::optional<RankListInfo> RankListStore::Info(RankListKind kind) const
{
    for (const RankListInfo& info : ListInfo()) {
        if (info.Kind == kind)
            return info;
    }
    return std::nullopt;
}
