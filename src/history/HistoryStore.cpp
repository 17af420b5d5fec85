#include "history/HistoryStore.h"

#include "base/Sqlite.h"
#include "history/RunHistory.h"
#include "lists/ListEdits.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QString FileName = QStringLiteral("History.db");

// Times are stored as "yyyy-MM-dd HH:mm:ss", so a day compares as text against them. The values
// of a run follow those of the run before, so storing a run only appends; latest_positions holds,
// for each keyword record, its latest value whose asking did not fail, the one the next run of the
// record is compared with. A record is its address, product, keyword and market; a market field
// that is not set is empty, and a value of a run kept before markets has them all empty. The
// market's columns come last, where an upgrade adds them to a file kept before markets, so that
// every file has one layout.
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
    country TEXT NOT NULL DEFAULT '',
    language TEXT NOT NULL DEFAULT '',
    device TEXT NOT NULL DEFAULT '',
    location TEXT NOT NULL DEFAULT '',
    PRIMARY KEY (run, seq)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS latest_positions (
    url TEXT NOT NULL,
    product TEXT NOT NULL,
    keyword TEXT NOT NULL,
    country TEXT NOT NULL,
    language TEXT NOT NULL,
    device TEXT NOT NULL,
    location TEXT NOT NULL,
    run INTEGER NOT NULL,
    status TEXT NOT NULL CHECK (status IN ('found', 'not ranked')),
    position INTEGER,
    PRIMARY KEY (url, product, keyword, country, language, device, location)) WITHOUT ROWID;
)");
constexpr int SchemaVersion = 3;
// The first version of the file whose values carry their market.
constexpr int MarketsVersion = 3;

// The first files kept indexes on every value, which made storing a run rewrite pages all over
// the file, and no latest values: those indexes go, and the latest values are taken from the runs,
// in the layout of the version after.
const QString UpgradeFromVersion1 = QStringLiteral(R"(
DROP INDEX IF EXISTS page_values_url;
DROP INDEX IF EXISTS position_values_url;
DROP INDEX IF EXISTS position_values_keyword;
DROP INDEX IF EXISTS position_values_record;
CREATE TABLE latest_positions (
    url TEXT NOT NULL,
    product TEXT NOT NULL,
    keyword TEXT NOT NULL,
    run INTEGER NOT NULL,
    status TEXT NOT NULL CHECK (status IN ('found', 'not ranked')),
    position INTEGER,
    PRIMARY KEY (url, product, keyword)) WITHOUT ROWID;
INSERT INTO latest_positions (url, product, keyword, run, status, position)
    SELECT url, product, keyword, run, status, position FROM (
        SELECT url, product, keyword, run, status, position,
               row_number() OVER (PARTITION BY url, product, keyword ORDER BY run DESC, seq) AS n
        FROM position_values WHERE status <> 'failed')
    WHERE n = 1;
)");

// Files before markets searched every keyword with the services' defaults: each value kept is
// taken over in the market "unspecified", with every field empty. Adding a column with its default
// changes only the table's description, so a year of values is not rewritten; the latest values,
// one a record, move to a table keyed with the market.
const QString UpgradeFromVersion2 = QStringLiteral(R"(
ALTER TABLE position_values ADD COLUMN country TEXT NOT NULL DEFAULT '';
ALTER TABLE position_values ADD COLUMN language TEXT NOT NULL DEFAULT '';
ALTER TABLE position_values ADD COLUMN device TEXT NOT NULL DEFAULT '';
ALTER TABLE position_values ADD COLUMN location TEXT NOT NULL DEFAULT '';
ALTER TABLE latest_positions RENAME TO latest_positions_before_markets;
)") + Schema + QStringLiteral(R"(
INSERT INTO latest_positions (url, product, keyword, country, language, device, location, run, status, position)
    SELECT url, product, keyword, '', '', '', '', run, status, position FROM latest_positions_before_markets;
DROP TABLE latest_positions_before_markets;
)");

// The ten sites as a JSON array of texts: any text survives the trip.
QString Top10Text(const QStringList& sites)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(sites)).toJson(QJsonDocument::Compact));
}

// The history as lists of values.
class HistoryBuilder : public HistoryReader {
public:
    explicit HistoryBuilder(HistoryData& data) : data(data) {}

    void Run(const HistoryRun& run) override { data.Runs.append(run); }
    void Page(const StoredPage& page) override
    {
        data.Pages.append({page.RunId, QString::fromUtf8(page.URL), QString::fromUtf8(page.PageRank),
                           page.PageRankStatus, QString::fromUtf8(page.TrafficRank), page.TrafficStatus,
                           QString::fromUtf8(page.Title), QString::fromUtf8(page.Description),
                           QString::fromUtf8(page.Keywords)});
    }
    void Position(const StoredPosition& value) override
    {
        data.Positions.append({value.RunId, QString::fromUtf8(value.URL), QString::fromUtf8(value.Product),
                               QString::fromUtf8(value.Keyword), StoredMarket(value), value.Position, value.Status,
                               value.Depth, Top10Sites(value.Top10)});
    }

private:
    HistoryData& data;
};

// A status word the file should not hold reads as a failure.
ValueStatus StatusOf(const SqliteStatement& row, int column)
{
    const QByteArrayView bytes = row.Utf8(column);
    for (const ValueStatus status : {ValueStatus::Found, ValueStatus::NotRanked, ValueStatus::Failed}) {
        if (const QLatin1StringView word = StatusWord(status); bytes == QByteArrayView(word.data(), word.size()))
            return status;
    }
    return ValueStatus::Failed;
}

QString DayText(const QDate& day)
{
    return day.toString(Qt::ISODate);
}

// The page list keeps "http://www." in front of an address, the keyword list "http://": an address
// is looked for in each of the forms it may have been stored in.
QStringList AddressForms(const QString& address)
{
    // The page list's form, without its scheme and "www.".
    const QString listed = NormalisePRURL(address);
    const QString host = listed.mid(listed.indexOf(QLatin1StringView("://www.")) + 7);
    return {QStringLiteral("http://") + host, QStringLiteral("https://") + host, QStringLiteral("http://www.") + host,
            QStringLiteral("https://www.") + host};
}

// The version of the file's layout; 0 for a new file.
bool ReadVersion(SqliteConnection& db, qint64& version)
{
    SqliteStatement read(db, QStringLiteral("PRAGMA user_version"));
    if (!read.Next())
        return false;
    version = read.Integer(0);
    return true;
}

// Makes the tables of a new file and brings an older file up to date, one version after the other,
// inside the caller's transaction: a failure on the way leaves the file as it was.
bool PrepareSchema(SqliteConnection& db)
{
    qint64 found = 0;
    if (!ReadVersion(db, found))
        return false;
    if (found == SchemaVersion)
        return true;
    if (found > SchemaVersion) {
        db.SetError(QStringLiteral("History.db was written by a newer version of the program"));
        return false;
    }
    const bool upgraded = found == 0
                              ? db.Execute(Schema)
                              : (found != 1 || db.Execute(UpgradeFromVersion1)) && db.Execute(UpgradeFromVersion2);
    return upgraded && db.Execute(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
}

// Binds what tells a keyword record apart, its address, product, keyword and the four fields of its
// market, to seven parameters from first on.
void BindRecord(SqliteStatement& statement, const PositionHistoryValue& value, int first = 1)
{
    statement.Bind(first, value.URL);
    statement.Bind(first + 1, value.Product);
    statement.Bind(first + 2, value.Keyword);
    statement.Bind(first + 3, value.SearchMarket.Country);
    statement.Bind(first + 4, value.SearchMarket.Language);
    statement.Bind(first + 5, value.SearchMarket.Device);
    statement.Bind(first + 6, value.SearchMarket.Location);
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

Market StoredMarket(const StoredPosition& value)
{
    return {QString::fromUtf8(value.Country), QString::fromUtf8(value.Language), QString::fromUtf8(value.Device),
            QString::fromUtf8(value.Location)};
}

QStringList Top10Sites(QByteArrayView stored)
{
    QStringList sites;
    for (const QJsonValue& site : QJsonDocument::fromJson(stored.toByteArray()).array())
        sites.append(site.toString());
    return sites;
}

void ForEachTop10Site(QByteArrayView stored, const std::function<void(QByteArrayView site)>& take)
{
    if (stored == "[]")
        return;
    // Without a backslash no site holds a quote or anything escaped: the list is ["a","b"] and the
    // sites are what lies between the quotes.
    if (stored.contains('\\') || stored.size() < 4 || !stored.startsWith("[\"") || !stored.endsWith("\"]")) {
        for (const QString& site : Top10Sites(stored))
            take(site.toUtf8());
        return;
    }
    const QByteArrayView sites = stored.sliced(2, stored.size() - 4);
    qsizetype start = 0;
    for (qsizetype end; (end = sites.indexOf("\",\"", start)) >= 0; start = end + 3)
        take(sites.sliced(start, end - start));
    take(sites.sliced(start));
}

QByteArray Top10Line(QByteArrayView stored)
{
    QByteArray line;
    line.reserve(stored.size());
    int sites = 0;
    ForEachTop10Site(stored, [&](QByteArrayView site) {
        if (sites++ > 0)
            line += ' ';
        line += site;
    });
    return line;
}

void Replay(const HistoryData& history, HistoryReader& reader)
{
    qsizetype page = 0;
    qsizetype position = 0;
    for (const HistoryRun& run : history.Runs) {
        reader.Run(run);
        for (qint64 seq = 0; page < history.Pages.size() && history.Pages.at(page).RunId == run.Id; ++seq, ++page) {
            const PageHistoryValue& value = history.Pages.at(page);
            const QByteArray url = value.URL.toUtf8();
            const QByteArray pageRank = value.PageRank.toUtf8();
            const QByteArray traffic = value.TrafficRank.toUtf8();
            const QByteArray title = value.Title.toUtf8();
            const QByteArray description = value.Description.toUtf8();
            const QByteArray keywords = value.Keywords.toUtf8();
            reader.Page({run.Id, seq, url, pageRank, value.PageRankStatus, traffic, value.TrafficStatus, title,
                         description, keywords});
        }
        for (qint64 seq = 0; position < history.Positions.size() && history.Positions.at(position).RunId == run.Id;
             ++seq, ++position) {
            const PositionHistoryValue& value = history.Positions.at(position);
            const QByteArray url = value.URL.toUtf8();
            const QByteArray product = value.Product.toUtf8();
            const QByteArray keyword = value.Keyword.toUtf8();
            const QByteArray country = value.SearchMarket.Country.toUtf8();
            const QByteArray language = value.SearchMarket.Language.toUtf8();
            const QByteArray device = value.SearchMarket.Device.toUtf8();
            const QByteArray location = value.SearchMarket.Location.toUtf8();
            const QByteArray top10 = Top10Text(value.Top10).toUtf8();
            reader.Position({run.Id, seq, url, product, keyword, country, language, device, location, value.Position,
                             value.Status, value.Depth, top10});
        }
    }
}

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
    changes = {};
    SqliteConnection db(path, SqliteConnection::Mode::Create);
    SqliteTransaction transaction(db);
    if (!transaction.IsActive() || !PrepareSchema(db)) {
        Fail(db.LastError());
        return 0;
    }
    SqliteStatement addRun(db, QStringLiteral("INSERT INTO runs (time, sources, report_file) VALUES (?1, ?2, ?3)"));
    SqliteStatement lastId(db, QStringLiteral("SELECT last_insert_rowid()"));
    SqliteStatement addPage(db, QStringLiteral("INSERT INTO page_values (run, seq, url, pagerank, pagerank_status, "
                                               "traffic, traffic_status, title, description, keywords) VALUES "
                                               "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"));
    SqliteStatement addPosition(db, QStringLiteral("INSERT INTO position_values (run, seq, url, product, keyword, "
                                                   "country, language, device, location, position, status, depth, "
                                                   "top10) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, "
                                                   "?12, ?13)"));
    SqliteStatement latest(db, QStringLiteral("SELECT status, position FROM latest_positions WHERE url = ?1 AND "
                                              "product = ?2 AND keyword = ?3 AND country = ?4 AND language = ?5 "
                                              "AND device = ?6 AND location = ?7"));
    // A keyword listed twice in an entry gives two equal records of one run; the first one stands
    // for both.
    SqliteStatement setLatest(db, QStringLiteral("INSERT INTO latest_positions (url, product, keyword, country, "
                                                 "language, device, location, run, status, position) VALUES "
                                                 "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10) ON CONFLICT DO UPDATE "
                                                 "SET run = excluded.run, status = excluded.status, position = "
                                                 "excluded.position WHERE run < excluded.run"));
    if (!addRun.IsValid() || !lastId.IsValid() || !addPage.IsValid() || !addPosition.IsValid() || !latest.IsValid() ||
        !setLatest.IsValid()) {
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
    // Every record of the run against its value before the run; then the run's values become the
    // latest ones.
    RankChanges counted;
    for (const PositionHistoryValue& value : run.Positions) {
        BindRecord(latest, value);
        if (latest.Next())
            counted.Count(CompareValues(StatusOf(latest, 0), int(latest.Integer(1)), value.Status, value.Position));
        if (latest.Failed()) {
            Fail(db.LastError());
            return 0;
        }
        latest.Reset();
    }
    seq = 0;
    for (const PositionHistoryValue& value : run.Positions) {
        addPosition.Bind(1, id);
        addPosition.Bind(2, seq++);
        BindRecord(addPosition, value, 3);
        if (value.Status == ValueStatus::Found)
            addPosition.Bind(10, qint64(value.Position));
        else
            addPosition.BindNull(10);
        addPosition.Bind(11, StatusWord(value.Status));
        addPosition.Bind(12, qint64(value.Depth));
        addPosition.Bind(13, Top10Text(value.Top10));
        if (!addPosition.Run()) {
            Fail(db.LastError());
            return 0;
        }
        if (value.Status == ValueStatus::Failed)
            continue; // a failed look tells nothing of a record
        BindRecord(setLatest, value);
        setLatest.Bind(8, id);
        setLatest.Bind(9, StatusWord(value.Status));
        if (value.Status == ValueStatus::Found)
            setLatest.Bind(10, qint64(value.Position));
        else
            setLatest.BindNull(10);
        if (!setLatest.Run()) {
            Fail(db.LastError());
            return 0;
        }
    }
    if (!transaction.Commit()) {
        Fail(db.LastError());
        return 0;
    }
    changes = counted;
    return id;
}

bool HistoryStore::Scan(const HistoryFilter& filter, HistoryReader& reader)
{
    if (!QFileInfo::exists(path))
        return true;
    // The file is read page by page through SQLite's small cache, not mapped: a mapped year of
    // history would stay resident as it is read through.
    SqliteConnection db(path, SqliteConnection::Mode::ReadOnly);
    qint64 version = 0;
    if (!db.IsOpen() || !ReadVersion(db, version))
        return Fail(db.LastError());
    // A file kept before markets is read as it is, its values in the market "unspecified": only a
    // write upgrades it.
    const QString market = version < MarketsVersion ? QStringLiteral("'', '', '', ''")
                                                    : QStringLiteral("v.country, v.language, v.device, v.location");

    // The conditions are fixed pieces of SQL; the values the user gave are bound.
    const QString keyword = filter.Keyword.trimmed();
    const QString url = filter.URL.trimmed();
    const QStringList urlForms = url.isEmpty() ? QStringList() : AddressForms(url);
    // The runs of the day and later; a look through the runs for each value costs more than the
    // values themselves, so without a day there is none.
    const QString since = filter.Since.isValid() ? DayText(filter.Since) : QString();
    QString positionWhere = since.isEmpty() ? QStringLiteral(" WHERE ?1 = ''")
                                            : QStringLiteral(" WHERE v.run IN (SELECT id FROM runs WHERE time >= ?1)");
    QString pageWhere = positionWhere;
    if (!keyword.isEmpty())
        positionWhere += QStringLiteral(" AND trim(v.keyword) = ?2 COLLATE NOCASE");
    if (!url.isEmpty()) {
        const QString sameAddress = QStringLiteral(" AND v.url COLLATE NOCASE IN (?3, ?4, ?5, ?6)");
        positionWhere += sameAddress;
        pageWhere += sameAddress;
    }
    const bool pagesWanted = keyword.isEmpty();
    const auto bind = [&](SqliteStatement& statement) {
        statement.Bind(1, since);
        if (!keyword.isEmpty())
            statement.Bind(2, keyword);
        for (int form = 0; form < urlForms.size(); ++form)
            statement.Bind(3 + form, urlForms.at(form));
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
    QList<HistoryRun> selected;
    SqliteStatement runs(db, runSql + QStringLiteral(" ORDER BY id"));
    bind(runs);
    while (runs.Next())
        selected.append({runs.Integer(0), HistoryTimeFromText(runs.Text(1)), runs.Text(2), runs.Text(3)});
    if (runs.Failed() || !runs.IsValid())
        return Fail(db.LastError());

    // Both lists of values are in the order of the runs: each is read on as far as the run at hand.
    // Pages are not wanted with a keyword: the statement then selects nothing.
    SqliteStatement pages(db,
                          QStringLiteral("SELECT v.run, v.seq, v.url, v.pagerank, v.pagerank_status, v.traffic, "
                                         "v.traffic_status, v.title, v.description, v.keywords FROM page_values v") +
                              pageWhere + (pagesWanted ? QString() : QStringLiteral(" AND 0")) +
                              QStringLiteral(" ORDER BY v.run, v.seq"));
    SqliteStatement positions(db,
                              QStringLiteral("SELECT v.run, v.seq, v.url, v.product, v.keyword, ") + market +
                                  QStringLiteral(", v.position, v.status, v.depth, v.top10 FROM position_values v") +
                                  positionWhere + QStringLiteral(" ORDER BY v.run, v.seq"));
    if (!pages.IsValid() || !positions.IsValid())
        return Fail(db.LastError());
    bind(pages);
    bind(positions);
    bool pageReady = pages.Next();
    bool positionReady = positions.Next();
    for (const HistoryRun& run : std::as_const(selected)) {
        reader.Run(run);
        for (; pageReady && pages.Integer(0) == run.Id; pageReady = pages.Next()) {
            reader.Page({run.Id, pages.Integer(1), pages.Utf8(2), pages.Utf8(3), StatusOf(pages, 4), pages.Utf8(5),
                         StatusOf(pages, 6), pages.Utf8(7), pages.Utf8(8), pages.Utf8(9)});
        }
        for (; positionReady && positions.Integer(0) == run.Id; positionReady = positions.Next()) {
            reader.Position({run.Id, positions.Integer(1), positions.Utf8(2), positions.Utf8(3), positions.Utf8(4),
                             positions.Utf8(5), positions.Utf8(6), positions.Utf8(7), positions.Utf8(8),
                             int(positions.Integer(9)), StatusOf(positions, 10), int(positions.Integer(11)),
                             positions.Utf8(12)});
        }
    }
    if (pages.Failed() || positions.Failed())
        return Fail(db.LastError());
    return true;
}

bool HistoryStore::Read(const HistoryFilter& filter, HistoryData& data)
{
    data = {};
    HistoryBuilder builder(data);
    return Scan(filter, builder);
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
    // A record whose latest value that did not fail goes has no value left to be compared with.
    if (!PrepareSchema(db))
        return Fail(db.LastError());
    for (const QString& sql :
         {QStringLiteral("DELETE FROM latest_positions WHERE run IN (SELECT id FROM runs WHERE time < ?1)"),
          QStringLiteral("DELETE FROM page_values WHERE run IN (SELECT id FROM runs WHERE time < ?1)"),
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
