#include "history/HistoryStore.h"

#include "app/Sqlite.h"
#include "history/RunHistory.h"

#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QString FileName = QStringLiteral("History.db");

// Times are stored as "yyyy-MM-dd HH:mm:ss", so a day compares as text against them.
const QString Schema = QStringLiteral(R"(
CREATE TABLE IF NOT EXISTS runs (
    id INTEGER PRIMARY KEY,
    time TEXT NOT NULL,
    sources TEXT NOT NULL,
    report_file TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS runs_time ON runs (time);
CREATE TABLE IF NOT EXISTS page_values (
    run INTEGER NOT NULL REFERENCES runs (id),
    seq INTEGER NOT NULL,
    url TEXT NOT NULL,
    pagerank TEXT NOT NULL,
    pagerank_status TEXT NOT NULL CHECK (pagerank_status IN ('found', 'not ranked', 'failed')),
    traffic TEXT NOT NULL,
    traffic_status TEXT NOT NULL CHECK (traffic_status IN ('found', 'not ranked', 'failed')),
    title TEXT NOT NULL,
    description TEXT NOT NULL,
    keywords TEXT NOT NULL,
    PRIMARY KEY (run, seq)) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS page_values_url ON page_values (url COLLATE NOCASE);
CREATE TABLE IF NOT EXISTS position_values (
    run INTEGER NOT NULL REFERENCES runs (id),
    seq INTEGER NOT NULL,
    url TEXT NOT NULL,
    product TEXT NOT NULL,
    keyword TEXT NOT NULL,
    position INTEGER,
    status TEXT NOT NULL CHECK (status IN ('found', 'not ranked', 'failed')),
    depth INTEGER NOT NULL,
    top10 TEXT NOT NULL,
    PRIMARY KEY (run, seq)) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS position_values_url ON position_values (url COLLATE NOCASE);
CREATE INDEX IF NOT EXISTS position_values_keyword ON position_values (trim(keyword) COLLATE NOCASE);
CREATE INDEX IF NOT EXISTS position_values_record ON position_values (url, product, keyword, run);
PRAGMA user_version = 1;
)");

// The ten sites as a JSON array of texts: any text survives the trip.
QString Top10Text(const QStringList& sites)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(sites)).toJson(QJsonDocument::Compact));
}

// A year of history repeats the same addresses, keywords, titles and lists run after run; each
// distinct text is decoded once and its copies share it.
class TextCache {
public:
    QString Text(QByteArrayView bytes)
    {
        const QByteArray key = QByteArray::fromRawData(bytes.data(), bytes.size());
        if (const auto found = texts.constFind(key); found != texts.cend())
            return found.value();
        const QString text = QString::fromUtf8(bytes);
        texts.insert(bytes.toByteArray(), text);
        return text;
    }
    QStringList Sites(QByteArrayView bytes)
    {
        const QByteArray key = QByteArray::fromRawData(bytes.data(), bytes.size());
        if (const auto found = lists.constFind(key); found != lists.cend())
            return found.value();
        QStringList sites;
        for (const QJsonValue& site : QJsonDocument::fromJson(key).array())
            sites.append(Text(site.toString().toUtf8()));
        lists.insert(bytes.toByteArray(), sites);
        return sites;
    }

private:
    QHash<QByteArray, QString> texts;
    QHash<QByteArray, QStringList> lists;
};

ValueStatus StatusOf(const SqliteStatement& row, int column)
{
    return StatusFromWord(QString::fromUtf8(row.Utf8(column))).value_or(ValueStatus::Failed);
}

QString DayText(const QDate& day)
{
    return day.toString(Qt::ISODate);
}

bool CountBefore(SqliteConnection& db, const QDate& day, int& count)
{
    SqliteStatement runs(db, QStringLiteral("SELECT count(*) FROM runs WHERE time < ?1"));
    runs.Bind(1, DayText(day));
    if (!runs.Next())
        return false;
    count = int(runs.Integer(0));
    return true;
}

} // namespace

HistoryStore::HistoryStore(const QString& programFolder) : path(programFolder + QLatin1Char('/') + FileName) {}

bool HistoryStore::Fail(const QString& reason)
{
    lastError = reason;
    return false;
}

qint64 HistoryStore::Record(const HistoryData& run)
{
    if (run.Runs.isEmpty()) {
        Fail(QStringLiteral("no run to store"));
        return 0;
    }
    SqliteConnection db(path, SqliteConnection::Mode::Create);
    SqliteTransaction transaction(db);
    if (!transaction.IsActive() || !db.Execute(Schema)) {
        Fail(db.LastError());
        return 0;
    }
    SqliteStatement addRun(db, QStringLiteral("INSERT INTO runs (time, sources, report_file) VALUES (?1, ?2, ?3)"));
    SqliteStatement lastId(db, QStringLiteral("SELECT last_insert_rowid()"));
    SqliteStatement addPage(db, QStringLiteral("INSERT INTO page_values (run, seq, url, pagerank, pagerank_status, "
                                               "traffic, traffic_status, title, description, keywords) VALUES "
                                               "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"));
    SqliteStatement addPosition(db, QStringLiteral("INSERT INTO position_values (run, seq, url, product, keyword, "
                                                   "position, status, depth, top10) VALUES "
                                                   "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"));
    if (!addRun.IsValid() || !lastId.IsValid() || !addPage.IsValid() || !addPosition.IsValid()) {
        Fail(db.LastError());
        return 0;
    }
    const HistoryRun& stored = run.Runs.first();
    addRun.Bind(1, HistoryTimeText(stored.Time));
    addRun.Bind(2, stored.Sources);
    addRun.Bind(3, stored.ReportFile);
    if (!addRun.Run() || !lastId.Next()) {
        Fail(db.LastError());
        return 0;
    }
    const qint64 id = lastId.Integer(0);
    qint64 seq = 0;
    for (const PageHistoryValue& page : run.Pages) {
        addPage.Bind(1, id);
        addPage.Bind(2, seq++);
        addPage.Bind(3, page.URL);
        addPage.Bind(4, page.PageRank);
        addPage.Bind(5, StatusWord(page.PageRankStatus));
        addPage.Bind(6, page.TrafficRank);
        addPage.Bind(7, StatusWord(page.TrafficStatus));
        addPage.Bind(8, page.Title);
        addPage.Bind(9, page.Description);
        addPage.Bind(10, page.Keywords);
        if (!addPage.Run()) {
            Fail(db.LastError());
            return 0;
        }
    }
    seq = 0;
    for (const PositionHistoryValue& value : run.Positions) {
        addPosition.Bind(1, id);
        addPosition.Bind(2, seq++);
        addPosition.Bind(3, value.URL);
        addPosition.Bind(4, value.Product);
        addPosition.Bind(5, value.Keyword);
        if (value.Status == ValueStatus::Found)
            addPosition.Bind(6, qint64(value.Position));
        else
            addPosition.BindNull(6);
        addPosition.Bind(7, StatusWord(value.Status));
        addPosition.Bind(8, qint64(value.Depth));
        addPosition.Bind(9, Top10Text(value.Top10));
        if (!addPosition.Run()) {
            Fail(db.LastError());
            return 0;
        }
    }
    if (!transaction.Commit()) {
        Fail(db.LastError());
        return 0;
    }
    return id;
}

bool HistoryStore::Read(const HistoryFilter& filter, HistoryData& data)
{
    data = {};
    if (!QFileInfo::exists(path))
        return true;
    SqliteConnection db(path, SqliteConnection::Mode::ReadOnly);
    if (!db.IsOpen())
        return Fail(db.LastError());

    // The conditions are fixed pieces of SQL; the values the user gave are bound.
    const QString keyword = filter.Keyword.trimmed();
    const QString url = filter.URL.trimmed();
    QString positionWhere = QStringLiteral(" WHERE r.time >= ?1");
    if (!keyword.isEmpty())
        positionWhere += QStringLiteral(" AND trim(v.keyword) = ?2 COLLATE NOCASE");
    if (!url.isEmpty())
        positionWhere += QStringLiteral(" AND v.url = ?3 COLLATE NOCASE");
    QString pageWhere = QStringLiteral(" WHERE r.time >= ?1");
    if (!url.isEmpty())
        pageWhere += QStringLiteral(" AND v.url = ?3 COLLATE NOCASE");
    const bool pagesWanted = keyword.isEmpty();
    const QString since = filter.Since.isValid() ? DayText(filter.Since) : QString();
    const auto bind = [&](SqliteStatement& statement) {
        statement.Bind(1, since);
        if (!keyword.isEmpty())
            statement.Bind(2, keyword);
        if (!url.isEmpty())
            statement.Bind(3, url);
    };

    QString runSql = QStringLiteral("SELECT id, time, sources, report_file FROM runs r WHERE r.time >= ?1");
    if (!keyword.isEmpty() || !url.isEmpty()) {
        runSql += QStringLiteral(" AND (EXISTS (SELECT 1 FROM position_values v") + positionWhere +
                  QStringLiteral(" AND v.run = r.id)");
        if (pagesWanted)
            runSql += QStringLiteral(" OR EXISTS (SELECT 1 FROM page_values v") + pageWhere +
                      QStringLiteral(" AND v.run = r.id)");
        runSql += QLatin1Char(')');
    }
    SqliteStatement runs(db, runSql + QStringLiteral(" ORDER BY id"));
    bind(runs);
    while (runs.Next())
        data.Runs.append({runs.Integer(0), HistoryTimeFromText(runs.Text(1)), runs.Text(2), runs.Text(3)});
    if (runs.Failed() || !runs.IsValid())
        return Fail(db.LastError());

    TextCache cache;
    if (pagesWanted) {
        SqliteStatement pages(db, QStringLiteral("SELECT v.run, v.url, v.pagerank, v.pagerank_status, v.traffic, "
                                                 "v.traffic_status, v.title, v.description, v.keywords "
                                                 "FROM page_values v JOIN runs r ON r.id = v.run") +
                                      pageWhere + QStringLiteral(" ORDER BY v.run, v.seq"));
        bind(pages);
        while (pages.Next()) {
            data.Pages.append({pages.Integer(0), cache.Text(pages.Utf8(1)), cache.Text(pages.Utf8(2)),
                               StatusOf(pages, 3), cache.Text(pages.Utf8(4)), StatusOf(pages, 5),
                               cache.Text(pages.Utf8(6)), cache.Text(pages.Utf8(7)), cache.Text(pages.Utf8(8))});
        }
        if (pages.Failed() || !pages.IsValid())
            return Fail(db.LastError());
    }

    SqliteStatement positions(db,
                              QStringLiteral("SELECT v.run, v.url, v.product, v.keyword, v.position, v.status, "
                                             "v.depth, v.top10 FROM position_values v JOIN runs r ON r.id = v.run") +
                                  positionWhere + QStringLiteral(" ORDER BY v.run, v.seq"));
    bind(positions);
    while (positions.Next()) {
        PositionHistoryValue value{positions.Integer(0),          cache.Text(positions.Utf8(1)),
                                   cache.Text(positions.Utf8(2)), cache.Text(positions.Utf8(3)),
                                   int(positions.Integer(4)),     StatusOf(positions, 5),
                                   int(positions.Integer(6)),     {}};
        if (filter.WithTop10)
            value.Top10 = cache.Sites(positions.Utf8(7));
        data.Positions.append(value);
    }
    if (positions.Failed() || !positions.IsValid())
        return Fail(db.LastError());
    return true;
}

bool HistoryStore::Changes(qint64 runId, RankChanges& changes)
{
    changes = {};
    SqliteConnection db(path, SqliteConnection::Mode::ReadOnly);
    SqliteStatement now(db, QStringLiteral("SELECT url, product, keyword, status, position FROM position_values "
                                           "WHERE run = ?1 ORDER BY seq"));
    // A failed look tells nothing of a record, so the value before is the latest one that did not
    // fail. A keyword listed twice in an entry gives two equal records; the first one stands for both.
    SqliteStatement before(db, QStringLiteral("SELECT status, position FROM position_values WHERE url = ?1 AND "
                                              "product = ?2 AND keyword = ?3 AND run < ?4 AND status <> 'failed' "
                                              "ORDER BY run DESC, seq LIMIT 1"));
    if (!now.IsValid() || !before.IsValid())
        return Fail(db.LastError());
    now.Bind(1, runId);
    while (now.Next()) {
        before.Bind(1, now.Text(0));
        before.Bind(2, now.Text(1));
        before.Bind(3, now.Text(2));
        before.Bind(4, runId);
        if (before.Next())
            changes.Count(
                CompareValues(StatusOf(before, 0), int(before.Integer(1)), StatusOf(now, 3), int(now.Integer(4))));
        if (before.Failed())
            return Fail(db.LastError());
        before.Reset();
    }
    if (now.Failed())
        return Fail(db.LastError());
    return true;
}

bool HistoryStore::CountRunsBefore(const QDate& day, int& count)
{
    count = 0;
    if (!QFileInfo::exists(path))
        return true;
    SqliteConnection db(path, SqliteConnection::Mode::ReadOnly);
    return CountBefore(db, day, count) || Fail(db.LastError());
}

bool HistoryStore::Prune(const QDate& before, int& removed)
{
    removed = 0;
    if (!QFileInfo::exists(path))
        return true;
    SqliteConnection db(path, SqliteConnection::Mode::ReadWrite);
    SqliteTransaction transaction(db);
    if (!transaction.IsActive())
        return Fail(db.LastError());
    int runs = 0;
    if (!CountBefore(db, before, runs))
        return Fail(db.LastError());
    for (const QString& sql :
         {QStringLiteral("DELETE FROM page_values WHERE run IN (SELECT id FROM runs WHERE time < ?1)"),
          QStringLiteral("DELETE FROM position_values WHERE run IN (SELECT id FROM runs WHERE time < ?1)"),
          QStringLiteral("DELETE FROM runs WHERE time < ?1")}) {
        SqliteStatement remove(db, sql);
        remove.Bind(1, DayText(before));
        if (!remove.Run())
            return Fail(db.LastError());
    }
    if (!transaction.Commit())
        return Fail(db.LastError());
    removed = runs;
    return true;
}
