// History.db: a run reads back as it was recorded, whatever its texts hold; the moves of the keyword
// records against the value before, each market a record of its own; the filters; pruning; files
// of the earlier layouts, read as they are and taken over by the next run; and a store that cannot
// be written.

#include "base/Sqlite.h"
#include "history/HistoryStore.h"
#include "history/RunHistory.h"
#include "support/FileDamage.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using enum ValueStatus;

namespace {

struct Look {
    QString Keyword;
    ValueStatus Status;
    int Position = 0;
};

// One run on the given day with one page and a keyword record per look, all of one address.
HistoryData Run(int day, const QList<Look>& looks, const QString& url = u"http://www.alpha.com"_s)
{
    HistoryData run;
    run.Runs.append({0, QDateTime(QDate(2026, 3, day), QTime(9, 30)), u"historical"_s,
                     u"Report202603%1.htm"_s.arg(day, 2, 10, QLatin1Char('0'))});
    run.Pages.append({0, url, u"4/10"_s, Found, u"98,765"_s, Found, u"Alpha"_s, {}, {}});
    for (const Look& look : looks)
        run.Positions.append({0, url, u"Widget"_s, look.Keyword, {}, look.Position, look.Status, 100, {}});
    return run;
}

const Market France{u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s};
const Market Germany{u"de"_s, u"de"_s, {}, {}};

// A file as the version before markets wrote it: two runs, and the latest values of its two
// keyword records.
void WritePreviousLayout(const QString& path)
{
    SqliteConnection db(path, SqliteConnection::Mode::Create);
    QVERIFY(db.Execute(uR"(
CREATE TABLE runs (id INTEGER PRIMARY KEY, time TEXT NOT NULL, sources TEXT NOT NULL, report_file TEXT NOT NULL);
CREATE INDEX runs_time ON runs (time);
CREATE TABLE page_values (run INTEGER NOT NULL REFERENCES runs (id), seq INTEGER NOT NULL, url TEXT NOT NULL,
    pagerank TEXT NOT NULL,
    pagerank_status TEXT NOT NULL CHECK (pagerank_status IN ('found', 'not ranked', 'failed')),
    traffic TEXT NOT NULL, traffic_status TEXT NOT NULL CHECK (traffic_status IN ('found', 'not ranked', 'failed')),
    title TEXT NOT NULL, description TEXT NOT NULL, keywords TEXT NOT NULL, PRIMARY KEY (run, seq)) WITHOUT ROWID;
CREATE TABLE position_values (run INTEGER NOT NULL REFERENCES runs (id), seq INTEGER NOT NULL, url TEXT NOT NULL,
    product TEXT NOT NULL, keyword TEXT NOT NULL, position INTEGER,
    status TEXT NOT NULL CHECK (status IN ('found', 'not ranked', 'failed')), depth INTEGER NOT NULL,
    top10 TEXT NOT NULL, PRIMARY KEY (run, seq)) WITHOUT ROWID;
CREATE TABLE latest_positions (url TEXT NOT NULL, product TEXT NOT NULL, keyword TEXT NOT NULL, run INTEGER NOT NULL,
    status TEXT NOT NULL CHECK (status IN ('found', 'not ranked')), position INTEGER,
    PRIMARY KEY (url, product, keyword)) WITHOUT ROWID;
INSERT INTO runs VALUES (1, '2026-03-01 09:30:00', 'historical', 'Report20260301.htm'),
                        (2, '2026-03-02 09:30:00', 'historical', 'Report20260302.htm');
INSERT INTO page_values VALUES
    (1, 0, 'http://www.alpha.com', '4/10', 'found', '98,765', 'found', 'Alpha', '', '');
INSERT INTO position_values VALUES
    (1, 0, 'http://www.alpha.com', 'Widget', 'seo', 5, 'found', 100, '["a.com/"]'),
    (1, 1, 'http://www.alpha.com', 'Widget', 'lost', 3, 'found', 100, '[]'),
    (2, 0, 'http://www.alpha.com', 'Widget', 'seo', 4, 'found', 100, '[]'),
    (2, 1, 'http://www.alpha.com', 'Widget', 'lost', NULL, 'failed', 100, '[]');
INSERT INTO latest_positions VALUES ('http://www.alpha.com', 'Widget', 'seo', 2, 'found', 4),
                                    ('http://www.alpha.com', 'Widget', 'lost', 1, 'found', 3);
PRAGMA user_version = 2;)"_s));
}

} // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

    HistoryStore Fresh()
    {
        QFile::remove(folder.filePath(u"History.db"_s));
        return HistoryStore(folder.path());
    }

private Q_SLOTS:
    void trends_data()
    {
        QTest::addColumn<ValueStatus>("before");
        QTest::addColumn<int>("positionBefore");
        QTest::addColumn<ValueStatus>("now");
        QTest::addColumn<int>("positionNow");
        QTest::addColumn<Trend>("trend");
        QTest::newRow("higher up") << Found << 5 << Found << 2 << Trend::Rose;
        QTest::newRow("lower down") << Found << 3 << Found << 8 << Trend::Fell;
        QTest::newRow("same place") << Found << 4 << Found << 4 << Trend::Stayed;
        QTest::newRow("lost") << Found << 7 << NotRanked << 0 << Trend::Fell;
        QTest::newRow("found again") << NotRanked << 0 << Found << 60 << Trend::Rose;
        QTest::newRow("never found") << NotRanked << 0 << NotRanked << 0 << Trend::Stayed;
        QTest::newRow("failed now") << Found << 2 << Failed << 0 << Trend::Unknown;
        QTest::newRow("failed before") << Failed << 0 << Found << 1 << Trend::Unknown;
    }
    void trends()
    {
        QFETCH(ValueStatus, before);
        QFETCH(int, positionBefore);
        QFETCH(ValueStatus, now);
        QFETCH(int, positionNow);
        QFETCH(Trend, trend);
        QCOMPARE(CompareValues(before, positionBefore, now, positionNow), trend);
    }

    // Texts that would break a hand-built statement, a separator or an encoding come back unchanged.
    void runReadsBackAsRecorded()
    {
        HistoryStore store = Fresh();
        HistoryData run = Run(7, {{u"seo"_s, Found, 3}, {u" a,b"_s, NotRanked}, {u"x"_s, Failed}});
        PageHistoryValue& page = run.Pages[0];
        page.Title = u"O'Brien \"quoted\"; DROP TABLE runs; --"_s;
        page.Description = u"line\nbreak\ttab \u00E9\U0001F600"_s;
        page.PageRank = u"Failed"_s;
        page.PageRankStatus = Failed;
        page.TrafficStatus = NotRanked;
        run.Positions[0].Top10 = {u"a.com/\"x\""_s, u"b.com/[1,2]"_s, {}, u"\\n"_s, u"c\nd"_s};
        run.Positions[1].Depth = 10;
        const qint64 id = store.Record(run);
        QVERIFY2(id > 0, qPrintable(store.LastError()));

        HistoryData read;
        QVERIFY(store.Read({}, read));
        QCOMPARE(read.Runs.size(), 1);
        QCOMPARE(read.Runs[0].Id, id);
        QCOMPARE(read.Runs[0].Time, run.Runs[0].Time);
        QCOMPARE(read.Runs[0].Sources, u"historical"_s);
        QCOMPARE(read.Runs[0].ReportFile, u"Report20260307.htm"_s);
        QCOMPARE(read.Pages.size(), 1);
        const PageHistoryValue& back = read.Pages[0];
        QCOMPARE(back.RunId, id);
        QCOMPARE(back.URL, page.URL);
        QCOMPARE(back.PageRank, page.PageRank);
        QCOMPARE(back.PageRankStatus, Failed);
        QCOMPARE(back.TrafficRank, page.TrafficRank);
        QCOMPARE(back.TrafficStatus, NotRanked);
        QCOMPARE(back.Title, page.Title);
        QCOMPARE(back.Description, page.Description);
        QCOMPARE(back.Keywords, QString());
        QCOMPARE(read.Positions.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const PositionHistoryValue& want = run.Positions[i];
            const PositionHistoryValue& got = read.Positions[i];
            QCOMPARE(got.RunId, id);
            QCOMPARE(got.Keyword, want.Keyword);
            QCOMPARE(got.Product, want.Product);
            QCOMPARE(got.Status, want.Status);
            QCOMPARE(got.Position, want.Position);
            QCOMPARE(got.Depth, want.Depth);
            QCOMPARE(got.Top10, want.Top10);
        }
    }

    // Each record against its own latest value that did not fail: a failure in between is passed
    // over, a new record counts in none, and a keyword listed twice is compared twice.
    void changesOfARun()
    {
        HistoryStore store = Fresh();
        QVERIFY(store.Record(Run(1, {{u"rise"_s, Found, 5},
                                     {u"fall"_s, Found, 3},
                                     {u"lost"_s, Found, 7},
                                     {u"fails"_s, Found, 2},
                                     {u"never"_s, NotRanked},
                                     {u"same"_s, Found, 4},
                                     {u"twice"_s, Found, 9},
                                     {u"twice"_s, Found, 9}})));
        QVERIFY(store.Record(Run(2, {{u"rise"_s, Found, 2},
                                     {u"fall"_s, Found, 8},
                                     {u"lost"_s, NotRanked},
                                     {u"fails"_s, Failed},
                                     {u"never"_s, NotRanked},
                                     {u"same"_s, Found, 4},
                                     {u"twice"_s, Found, 6},
                                     {u"twice"_s, Found, 6},
                                     {u"new"_s, Found, 1}})));
        QCOMPARE(store.Changes().Rose, 3); // rise, and twice both times
        QCOMPARE(store.Changes().Fell, 2); // fall and lost
        QCOMPARE(store.Changes().Stayed, 2);
        QCOMPARE(ChangesText(store.Changes()), u"3 rose, 2 fell, 2 stayed"_s);
        QVERIFY(store.Record(Run(3, {{u"fails"_s, Found, 1}, {u"lost"_s, Failed}})));
        QCOMPARE(ChangesText(store.Changes()), u"1 rose, 0 fell, 0 stayed"_s); // 1 against the 2 of the first run
        // Another address's record of the same keyword is a record of its own.
        QVERIFY(store.Record(Run(4, {{u"rise"_s, Found, 50}}, u"http://www.beta.com"_s)));
        QCOMPARE(ChangesText(store.Changes()), u"0 rose, 0 fell, 0 stayed"_s);
    }

    // One keyword of an entry searched in three markets is three records: each value keeps the market
    // its job was searched in, and each is compared with its own value before.
    void eachMarketIsARecordOfItsOwn()
    {
        HistoryStore store = Fresh();
        const auto job = [](const Market& market, int rank) {
            PositionJob look;
            look.URL = u"http://www.alpha.com"_s;
            look.Product = u"Widget"_s;
            look.Keyword = u"seo"_s;
            look.Rank = rank;
            look.Status = Found;
            look.SearchMarket = market;
            return look;
        };
        RankRunState state;
        state.PositionJobs = {job(France, 5), job({}, 2), job(Germany, 4)};
        QVERIFY(store.Record(RunHistory(state, QDateTime(QDate(2026, 3, 1), QTime(9, 30)), u"R1.htm"_s)));
        state.PositionJobs = {job(France, 3), job({}, 8), job(Germany, 4)};
        QVERIFY(store.Record(RunHistory(state, QDateTime(QDate(2026, 3, 2), QTime(9, 30)), u"R2.htm"_s)));
        QCOMPARE(ChangesText(store.Changes()), u"1 rose, 1 fell, 1 stayed"_s);

        HistoryData read;
        QVERIFY(store.Read({u"seo"_s, {}, {}}, read));
        QList<Market> markets;
        QList<int> positions;
        for (const PositionHistoryValue& value : read.Positions) {
            markets << value.SearchMarket;
            positions << value.Position;
        }
        QCOMPARE(markets, (QList<Market>{France, {}, Germany, France, {}, Germany}));
        QCOMPARE(positions, (QList<int>{5, 2, 4, 3, 8, 4}));
    }

    // The stored list as one line: sites with commas or non-ASCII letters as they are, and those
    // that the file had to escape read back whole.
    void top10AsALine_data()
    {
        QTest::addColumn<QStringList>("sites");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("none") << QStringList{} << QByteArray();
        QTest::newRow("plain") << QStringList{u"a.com/"_s, u"b.org/x"_s} << QByteArray("a.com/ b.org/x");
        QTest::newRow("comma and accent")
            << QStringList{u"a,b.com"_s, u"caf\u00E9.fr"_s} << QByteArray("a,b.com caf\xC3\xA9.fr");
        QTest::newRow("quote and backslash") << QStringList{u"q\"\",\"x"_s, u"b\\s"_s} << QByteArray("q\"\",\"x b\\s");
    }
    void top10AsALine()
    {
        QFETCH(QStringList, sites);
        QFETCH(QByteArray, line);
        HistoryStore store = Fresh();
        HistoryData run = Run(1, {{u"seo"_s, Found, 1}});
        run.Positions[0].Top10 = sites;
        QVERIFY(store.Record(run));
        struct LineReader : HistoryReader {
            QByteArray Line;
            QStringList Sites;
            void Run(const HistoryRun&) override {}
            void Page(const StoredPage&) override {}
            void Position(const StoredPosition& value) override
            {
                Line = Top10Line(value.Top10);
                Sites = Top10Sites(value.Top10);
            }
        } reader;
        QVERIFY(store.Scan({}, reader));
        QCOMPARE(reader.Line, line);
        QCOMPARE(reader.Sites, sites);
    }

    void filters_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QDate>("since");
        QTest::addColumn<QList<int>>("runDays");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QStringList>("keywords");
        QTest::newRow("everything") << QString() << QString() << QDate() << QList<int>{1, 2, 3} << 3
                                    << QStringList{u"seo"_s, u" Tools"_s, u"seo"_s, u"other"_s};
        QTest::newRow("keyword, blanks and case ignored")
            << u" tools "_s << QString() << QDate() << QList<int>{1} << 0 << QStringList{u" Tools"_s};
        QTest::newRow("address, case ignored")
            << QString() << u"HTTP://WWW.BETA.COM"_s << QDate() << QList<int>{3} << 1 << QStringList{u"other"_s};
        QTest::newRow("address as typed, without scheme and www.")
            << QString() << u"Beta.com"_s << QDate() << QList<int>{3} << 1 << QStringList{u"other"_s};
        QTest::newRow("since a day") << QString() << QString() << QDate(2026, 3, 2) << QList<int>{2, 3} << 2
                                     << QStringList{u"seo"_s, u"other"_s};
        QTest::newRow("all three") << u"seo"_s << u"http://www.alpha.com"_s << QDate(2026, 3, 2) << QList<int>{2} << 0
                                   << QStringList{u"seo"_s};
        QTest::newRow("nothing matches") << u"absent"_s << QString() << QDate() << QList<int>{} << 0 << QStringList{};
    }
    void filters()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, url);
        QFETCH(QDate, since);
        QFETCH(QList<int>, runDays);
        QFETCH(int, pages);
        QFETCH(QStringList, keywords);
        HistoryStore store = Fresh();
        QVERIFY(store.Record(Run(1, {{u"seo"_s, Found, 1}, {u" Tools"_s, Found, 2}})));
        QVERIFY(store.Record(Run(2, {{u"seo"_s, Found, 3}})));
        QVERIFY(store.Record(Run(3, {{u"other"_s, NotRanked}}, u"http://www.beta.com"_s)));

        HistoryFilter filter;
        filter.Keyword = keyword;
        filter.URL = url;
        filter.Since = since;
        HistoryData read;
        QVERIFY(store.Read(filter, read));
        QList<int> days;
        for (const HistoryRun& run : read.Runs)
            days << run.Time.date().day();
        QCOMPARE(days, runDays);
        QCOMPARE(read.Pages.size(), pages);
        QStringList found;
        for (const PositionHistoryValue& value : read.Positions)
            found << value.Keyword;
        QCOMPARE(found, keywords);
    }

    void pruneDeletesTheRunsBeforeADay()
    {
        HistoryStore store = Fresh();
        for (int day = 1; day <= 3; ++day)
            QVERIFY(store.Record(Run(day, {{u"seo"_s, Found, day}})));
        int count = -1;
        QVERIFY(store.CountRunsBefore(QDate(2026, 3, 3), count));
        QCOMPARE(count, 2);
        int removed = -1;
        QVERIFY(store.Prune(QDate(2026, 3, 3), removed));
        QCOMPARE(removed, 2);
        HistoryData read;
        QVERIFY(store.Read({}, read));
        QCOMPARE(read.Runs.size(), 1);
        QCOMPARE(read.Runs[0].Time.date(), QDate(2026, 3, 3));
        QCOMPARE(read.Pages.size(), 1);
        QCOMPARE(read.Positions.size(), 1);
        QCOMPARE(read.Positions[0].Position, 3);
        QVERIFY(store.Prune(QDate(2026, 3, 1), removed));
        QCOMPARE(removed, 0);

        // The value a record would be compared with goes with its run.
        QVERIFY(store.Record(Run(4, {{u"seo"_s, Failed}})));
        QVERIFY(store.Prune(QDate(2026, 3, 4), removed));
        QVERIFY(store.Record(Run(5, {{u"seo"_s, Found, 9}})));
        QCOMPARE(ChangesText(store.Changes()), u"0 rose, 0 fell, 0 stayed"_s);
    }

    // A file of the first layout, with an index on every value and no latest values, is brought up
    // to date by the next run, which is compared with the runs already kept.
    void aFileOfTheFirstLayoutIsTakenOver()
    {
        HistoryStore store = Fresh();
        {
            SqliteConnection db(store.FilePath(), SqliteConnection::Mode::Create);
            QVERIFY(db.Execute(uR"(
CREATE TABLE runs (id INTEGER PRIMARY KEY, time TEXT NOT NULL, sources TEXT NOT NULL, report_file TEXT NOT NULL);
CREATE TABLE page_values (run INTEGER NOT NULL, seq INTEGER NOT NULL, url TEXT NOT NULL, pagerank TEXT NOT NULL,
    pagerank_status TEXT NOT NULL, traffic TEXT NOT NULL, traffic_status TEXT NOT NULL, title TEXT NOT NULL,
    description TEXT NOT NULL, keywords TEXT NOT NULL, PRIMARY KEY (run, seq)) WITHOUT ROWID;
CREATE INDEX page_values_url ON page_values (url COLLATE NOCASE);
CREATE TABLE position_values (run INTEGER NOT NULL, seq INTEGER NOT NULL, url TEXT NOT NULL, product TEXT NOT NULL,
    keyword TEXT NOT NULL, position INTEGER, status TEXT NOT NULL, depth INTEGER NOT NULL, top10 TEXT NOT NULL,
    PRIMARY KEY (run, seq)) WITHOUT ROWID;
CREATE INDEX position_values_record ON position_values (url, product, keyword, run);
INSERT INTO runs VALUES (1, '2026-03-01 09:30:00', 'historical', 'Report20260301.htm'),
                        (2, '2026-03-02 09:30:00', 'historical', 'Report20260302.htm');
INSERT INTO position_values VALUES
    (1, 0, 'http://www.alpha.com', 'Widget', 'seo', 5, 'found', 100, '[]'),
    (1, 1, 'http://www.alpha.com', 'Widget', 'lost', 3, 'found', 100, '[]'),
    (2, 0, 'http://www.alpha.com', 'Widget', 'seo', 4, 'found', 100, '[]'),
    (2, 1, 'http://www.alpha.com', 'Widget', 'lost', NULL, 'failed', 100, '[]');
PRAGMA user_version = 1;)"_s));
        }
        QVERIFY(store.Record(Run(3, {{u"seo"_s, Found, 4}, {u"lost"_s, NotRanked}})));
        QCOMPARE(ChangesText(store.Changes()), u"0 rose, 1 fell, 1 stayed"_s);
        HistoryData read;
        QVERIFY(store.Read({}, read));
        QCOMPARE(read.Runs.size(), 3);
        QCOMPARE(read.Positions.size(), 6);
        for (const PositionHistoryValue& value : read.Positions)
            QCOMPARE(value.SearchMarket, Market());
        SqliteConnection db(store.FilePath(), SqliteConnection::Mode::ReadOnly);
        SqliteStatement indexes(db, u"SELECT count(*) FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL AND "
                                    "tbl_name <> 'runs'"_s);
        QVERIFY(indexes.Next());
        QCOMPARE(indexes.Integer(0), 0);
    }

    // A file of the layout before markets reads as it is and is not changed by reading; the next run
    // takes it over: every run kept, the records kept so far in the market "unspecified" and compared
    // as before, the same keyword in a market of its own a new record.
    void aFileOfThePreviousLayoutIsTakenOver()
    {
        HistoryStore store = Fresh();
        WritePreviousLayout(store.FilePath());
        const QByteArray before = FileBytes(store.FilePath());
        HistoryData read;
        QVERIFY2(store.Read({}, read), qPrintable(store.LastError()));
        QCOMPARE(read.Runs.size(), 2);
        QCOMPARE(read.Pages.size(), 1);
        QCOMPARE(read.Positions.size(), 4);
        QCOMPARE(read.Positions[0].Top10, QStringList{u"a.com/"_s});
        for (const PositionHistoryValue& value : read.Positions)
            QCOMPARE(value.SearchMarket, Market());
        QCOMPARE(FileBytes(store.FilePath()), before);

        HistoryData third = Run(3, {{u"seo"_s, Found, 2}, {u"lost"_s, NotRanked}, {u"seo"_s, Found, 9}});
        third.Positions[2].SearchMarket = France;
        QVERIFY2(store.Record(third), qPrintable(store.LastError()));
        QCOMPARE(ChangesText(store.Changes()), u"1 rose, 1 fell, 0 stayed"_s); // seo 4 to 2, lost 3 to none
        HistoryData fourth = Run(4, {{u"seo"_s, Found, 2}, {u"seo"_s, Found, 12}});
        fourth.Positions[1].SearchMarket = France;
        QVERIFY(store.Record(fourth));
        QCOMPARE(ChangesText(store.Changes()), u"0 rose, 1 fell, 1 stayed"_s);

        QVERIFY(store.Read({}, read));
        QCOMPARE(read.Runs.size(), 4);
        QCOMPARE(read.Positions.size(), 9);
        QCOMPARE(read.Positions[0].Position, 5);
        QCOMPARE(read.Positions[6].SearchMarket, France);
        QCOMPARE(read.Positions[8].SearchMarket, France);
    }

    // The upgrade of a file and the run it takes are one transaction: a damaged page met half way
    // through the upgrade, or after it while the run is stored, leaves the file as it was.
    void aFailedUpgradeLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("in the upgrade") << u"latest_positions"_s;
        QTest::newRow("in the run after it") << u"position_values"_s;
    }
    void aFailedUpgradeLeavesTheFileAsItWas()
    {
        QFETCH(QString, table);
        HistoryStore store = Fresh();
        WritePreviousLayout(store.FilePath());
        qint64 offset = 0;
        {
            SqliteConnection db(store.FilePath(), SqliteConnection::Mode::ReadOnly);
            SqliteStatement page(db, u"SELECT (rootpage - 1) * (SELECT page_size FROM pragma_page_size) "
                                     "FROM sqlite_master WHERE name = ?1"_s);
            page.Bind(1, table);
            QVERIFY(page.Next());
            offset = page.Integer(0);
        }
        OverwriteBytes(store.FilePath(), offset, "\xff");
        const QByteArray before = FileBytes(store.FilePath());
        QCOMPARE(store.Record(Run(3, {{u"seo"_s, Found, 2}})), 0);
        QVERIFY(!store.LastError().isEmpty());
        QCOMPARE(FileBytes(store.FilePath()), before);
    }

    // A file of a version after this one is not written: its layout is not known here.
    void aFileOfANewerVersionIsRefused()
    {
        HistoryStore store = Fresh();
        QVERIFY(store.Record(Run(1, {{u"seo"_s, Found, 1}})));
        QVERIFY(SqliteConnection(store.FilePath(), SqliteConnection::Mode::ReadWrite)
                    .Execute(u"PRAGMA user_version = 4"_s));
        const QByteArray before = FileBytes(store.FilePath());
        QCOMPARE(store.Record(Run(2, {{u"seo"_s, Found, 2}})), 0);
        QCOMPARE(store.LastError(), u"History.db was written by a newer version of the program"_s);
        QCOMPARE(FileBytes(store.FilePath()), before);
    }

    void noFileIsAnEmptyHistory()
    {
        HistoryStore store = Fresh();
        HistoryData read;
        QVERIFY(store.Read({}, read));
        QVERIFY(read.Runs.isEmpty());
        int removed = -1;
        QVERIFY(store.Prune(QDate(2026, 3, 1), removed));
        QCOMPARE(removed, 0);
        QVERIFY(!QFileInfo::exists(store.FilePath()));
    }

    // A file that is no database, or a folder in its place: the action fails with a reason and
    // changes nothing.
    void unusableFileIsTold()
    {
        HistoryStore store = Fresh();
        QFile file(store.FilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        HistoryData read;
        QVERIFY(!store.Read({}, read));
        QVERIFY(!store.LastError().isEmpty());
        QCOMPARE(store.Record(Run(1, {})), 0);
        QVERIFY(!store.LastError().isEmpty());
        QCOMPARE(QFileInfo(store.FilePath()).size(), 4096);

        QVERIFY(QFile::remove(store.FilePath()));
        QVERIFY(QDir().mkpath(store.FilePath()));
        QCOMPARE(store.Record(Run(1, {})), 0);
        QVERIFY(!store.LastError().isEmpty());
        QVERIFY(QDir().rmdir(store.FilePath()));
    }
};

QUORVEX_TEST_MAIN_CORE(TestHistoryStore)
#include "test_history_store.moc"
