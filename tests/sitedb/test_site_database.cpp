// The access layer: every statement form through its function, exact texts, NULL apart from ""
// and "Null", stored order, all-or-nothing writes and unusable files.
#include "support/SiteDbTestSupport.h"
#include "support/TestHome.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

const SqlText Null = std::nullopt;

SiteRow UrlOnly(const QString& url)
{
    return {url, Null, Null, Null, Null, Null};
}

QList<SiteRow> Rows(SiteDatabase& database, const QString& table)
{
    QList<SiteRow> rows;
    if (!database.ReadSearchTable(table, rows))
        qWarning() << database.LastError();
    return rows;
}

} // namespace

class TestSiteDatabase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void masterRowThroughItsLife()
    {
        SiteFolder folder;
        SiteDatabase database(folder.Database());
        QVERIFY(database.IsOpen());
        QVERIFY(database.AddKeyword(u"web design"_s, u"tools"_s, u"web_design"_s));
        QVERIFY(database.InsertMaster(u"b"_s, u"c"_s));
        std::optional<MasterRow> row;
        QVERIFY(database.FindMaster(u"web design"_s, row));
        QCOMPARE(*row, (MasterRow{u"web design"_s, u"tools"_s, Null, Null, Null}));

        QVERIFY(database.MarkCollected(u"web design"_s, 120, u"2024-05-01"_s));
        QVERIFY(database.FindMaster(u"web design"_s, row));
        QCOMPARE(*row, (MasterRow{u"web design"_s, u"tools"_s, u"1/120"_s, u"2024-05-01"_s, u"N"_s}));
        QVERIFY(database.UpdateProgress(u"web design"_s, 51, 120));
        QVERIFY(database.FindMaster(u"web design"_s, row));
        QCOMPARE(row->SearchNum, u"51/120"_s);
        QVERIFY(database.MarkExported(u"web design"_s, 121, 120));
        QVERIFY(database.FindMaster(u"web design"_s, row));
        QCOMPARE(row->SearchNum, u"121/120"_s);
        QCOMPARE(row->Updated, u"Y"_s);
        QVERIFY(database.ResetUpdated(u"web design"_s));
        QVERIFY(database.FindMaster(u"web design"_s, row));
        QCOMPARE(row->Updated, u"N"_s);
        // Another keyword's row is untouched by all of it.
        QVERIFY(database.FindMaster(u"b"_s, row));
        QCOMPARE(*row, (MasterRow{u"b"_s, u"c"_s, Null, Null, Null}));
        QVERIFY(database.FindMaster(u"absent"_s, row));
        QVERIFY(!row);
    }

    void masterRebuildKeepsEveryValueAndOrder()
    {
        SiteFolder folder;
        SiteDatabase database(folder.Database());
        const QList<MasterRow> rows{{u"z"_s, u""_s, u"1/0"_s, u"2024-05-01"_s, u"N"_s},
                                    {u"a"_s, u"Null"_s, Null, Null, Null},
                                    {u"m"_s, u"x"_s, u"3/2"_s, u"2024-04-30"_s, u"Y"_s}};
        QVERIFY(database.InsertMaster(u"old"_s, u"gone"_s));
        QVERIFY(database.RebuildMaster(rows));
        QList<MasterRow> read;
        QVERIFY(database.ReadMaster(read));
        QCOMPARE(read, rows);
        QCOMPARE(database.ColumnNames(u"Quorvex"_s),
                 (QStringList{u"Search"_s, u"SearchType"_s, u"SearchNum"_s, u"SearchDate"_s, u"Updated"_s}));
    }

    void searchTableThroughItsLife()
    {
        SiteFolder folder;
        SiteDatabase database(folder.Database());
        const QString table = u"web_design"_s;
        QVERIFY(database.CreateSearchTable(table));
        QCOMPARE(database.ColumnNames(table),
                 (QStringList{u"URL"_s, u"Title"_s, u"Description"_s, u"Keyword"_s, u"PR"_s, u"Alexa"_s}));
        // Stored order is insertion order, not the order of the texts.
        const QStringList urls{u"http://www.z.com/"_s, u"http://a.org"_s, u"http://m.net/x"_s, u"http://b.com"_s};
        QVERIFY(database.InsertSites(table, urls));
        QCOMPARE(Rows(database, table),
                 (QList<SiteRow>{UrlOnly(urls[0]), UrlOnly(urls[1]), UrlOnly(urls[2]), UrlOnly(urls[3])}));
        QStringList middle;
        QVERIFY(database.ReadSearchURLs(table, 1, 2, middle));
        QCOMPARE(middle, urls.mid(1, 2));
        int count = 0;
        QVERIFY(database.CountSites(table, count));
        QCOMPARE(count, 4);

        QVERIFY(database.UpdateTitle(table, urls[1], u"T"_s, u""_s, u"Null"_s));
        QVERIFY(database.UpdatePR(table, urls[1], 10));
        QVERIFY(database.UpdateAlexa(table, urls[2], 1234567));
        QVERIFY(database.DeleteSite(table, urls[0]));
        QCOMPARE(Rows(database, table), (QList<SiteRow>{{urls[1], u"T"_s, u""_s, u"Null"_s, u"10"_s, Null},
                                                        {urls[2], Null, Null, Null, Null, u"1234567"_s},
                                                        UrlOnly(urls[3])}));
        QVERIFY(database.EmptySearchTable(table));
        QVERIFY(Rows(database, table).isEmpty());
    }

    void hostileTextsStoredExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("apostrophe") << u"o'reilly's"_s;
        QTest::newRow("quotes") << u"say \"hi\" ''"_s;
        QTest::newRow("percent and hash") << u"100% #1 _x_"_s;
        QTest::newRow("non-ASCII") << u"café ü 日本語 😀"_s;
        QTest::newRow("SQL") << u"x'); DROP TABLE Quorvex; --"_s;
        QTest::newRow("identifier SQL") << u"a\" (x); DROP TABLE \"Quorvex"_s;
        QTest::newRow("brackets and semicolon") << u"[a]; `b`"_s;
    }
    void hostileTextsStoredExactly()
    {
        QFETCH(QString, text);
        SiteFolder folder;
        SiteDatabase database(folder.Database());
        const QString table = SearchTableName(text);
        QVERIFY2(database.AddKeyword(text, text, table), qPrintable(database.LastError()));
        QVERIFY(database.InsertSites(table, {text, u"http://plain.com"_s}));
        QVERIFY(database.UpdateTitle(table, text, text, text, text));
        QVERIFY(database.MarkCollected(text, 2, u"2024-05-01"_s));

        std::optional<MasterRow> row;
        QVERIFY(database.FindMaster(text, row));
        QCOMPARE(*row, (MasterRow{text, text, u"1/2"_s, u"2024-05-01"_s, u"N"_s}));
        QCOMPARE(Rows(database, table),
                 (QList<SiteRow>{{text, text, text, text, Null, Null}, UrlOnly(u"http://plain.com"_s)}));
        QCOMPARE(database.TableNames(), (QStringList{u"Quorvex"_s, table}));
    }

    void tableNamesTakenAsSqliteComparesThem_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("taken");
        QTest::newRow("same name") << u"a_b"_s << u"a_b"_s << true;
        QTest::newRow("master table") << QString() << u"quorvex"_s << true;
        QTest::newRow("master table upper case") << QString() << u"QUORVEX"_s << true;
        QTest::newRow("letter case of a keyword table") << u"web_design"_s << u"WEB_Design"_s << true;
        QTest::newRow("engine name") << QString() << u"sqlite_master"_s << true;
        QTest::newRow("engine prefix any case") << QString() << u"SQLite_x"_s << true;
        QTest::newRow("free") << u"a_b"_s << u"a_c"_s << false;
        QTest::newRow("non-ASCII letters differ") << u"é"_s << u"É"_s << false;
    }
    void tableNamesTakenAsSqliteComparesThem()
    {
        QFETCH(QString, existing);
        QFETCH(QString, asked);
        QFETCH(bool, taken);
        SiteFolder folder;
        SiteDatabase database(folder.Database());
        if (!existing.isEmpty())
            QVERIFY(database.CreateSearchTable(existing));
        bool found = !taken;
        QVERIFY(database.TableTaken(asked, found));
        QCOMPARE(found, taken);
    }

    void replaceSearchRowsIsAllOrNothing()
    {
        SiteFolder folder;
        folder.Collect(u"kw"_s, u"cat"_s, {u"http://old1.com"_s, u"http://old2.com"_s}, u"2024-04-01"_s);
        const QString table = u"kw"_s;
        {
            // A site the engine refuses half way through the rows: the old rows and progress stay.
            SqliteConnection raw(folder.Database(), SqliteConnection::Mode::ReadWrite);
            QVERIFY(raw.Execute(u"CREATE TRIGGER refuse BEFORE INSERT ON kw WHEN NEW.URL = 'http://bad.com' "
                                "BEGIN SELECT RAISE(ABORT, 'refused'); END"_s));
        }
        SiteDatabase database(folder.Database());
        QVERIFY(
            !database.ReplaceSearchRows(u"kw"_s, table, {u"http://new1.com"_s, u"http://bad.com"_s}, u"2024-05-01"_s));
        QVERIFY(database.LastError().contains(u"refused"_s));
        QCOMPARE(Rows(database, table), (QList<SiteRow>{UrlOnly(u"http://old1.com"_s), UrlOnly(u"http://old2.com"_s)}));
        std::optional<MasterRow> row;
        QVERIFY(database.FindMaster(u"kw"_s, row));
        QCOMPARE(*row, (MasterRow{u"kw"_s, u"cat"_s, u"1/2"_s, u"2024-04-01"_s, u"N"_s}));

        QVERIFY(database.ReplaceSearchRows(u"kw"_s, table, {u"http://new1.com"_s}, u"2024-05-02"_s));
        QCOMPARE(Rows(database, table), QList<SiteRow>{UrlOnly(u"http://new1.com"_s)});
        QVERIFY(database.FindMaster(u"kw"_s, row));
        QCOMPARE(row->SearchNum, u"1/1"_s);
        QCOMPARE(row->SearchDate, u"2024-05-02"_s);
        // A collection that found nothing.
        QVERIFY(database.ReplaceSearchRows(u"kw"_s, table, {}, u"2024-05-03"_s));
        QVERIFY(database.FindMaster(u"kw"_s, row));
        QCOMPARE(row->SearchNum, u"1/0"_s);
        QVERIFY(Rows(database, table).isEmpty());
    }

    void extractionBatchWritesChosenDetailsAndProgressTogether_data()
    {
        QTest::addColumn<bool>("title");
        QTest::addColumn<bool>("pr");
        QTest::addColumn<bool>("alexa");
        QTest::newRow("all") << true << true << true;
        QTest::newRow("PR only") << false << true << false;
        QTest::newRow("title and Alexa") << true << false << true;
    }
    void extractionBatchWritesChosenDetailsAndProgressTogether()
    {
        QFETCH(bool, title);
        QFETCH(bool, pr);
        QFETCH(bool, alexa);
        SiteFolder folder;
        folder.Collect(u"kw"_s, u"cat"_s, {u"http://a.com"_s, u"http://b.com"_s, u"http://c.com"_s});
        SiteDatabase database(folder.Database());
        const QList<SiteDetails> batch{{u"http://a.com"_s, u"A's"_s, u""_s, u"k1,k2"_s, 4, 1234},
                                       {u"http://b.com"_s, u""_s, u""_s, u""_s, 0, 0}};
        QVERIFY(database.WriteExtractionBatch(u"kw"_s, u"kw"_s, batch, {}, {title, pr, alexa}, 3, 3));

        const auto pick = [](bool chosen, const QString& text) { return chosen ? SqlText(text) : Null; };
        QCOMPARE(Rows(database, u"kw"_s),
                 (QList<SiteRow>{{u"http://a.com"_s, pick(title, u"A's"_s), pick(title, u"Null"_s),
                                  pick(title, u"k1,k2"_s), pick(pr, u"4"_s), pick(alexa, u"1234"_s)},
                                 {u"http://b.com"_s, pick(title, u"Null"_s), pick(title, u"Null"_s),
                                  pick(title, u"Null"_s), pick(pr, u"0"_s), pick(alexa, u"0"_s)},
                                 UrlOnly(u"http://c.com"_s)}));
        std::optional<MasterRow> row;
        QVERIFY(database.FindMaster(u"kw"_s, row));
        QCOMPARE(row->SearchNum, u"3/3"_s);
    }

    // A site not read keeps its row as it was; the row goes behind every other row, in order.
    void sitesNotReadGoBehindTheTable()
    {
        SiteFolder folder;
        const QStringList urls{u"http://a.com"_s, u"http://b.com"_s, u"http://c.com"_s, u"http://d.com"_s,
                               u"http://e.com"_s};
        folder.Collect(u"kw"_s, u"cat"_s, urls);
        {
            SqliteConnection raw(folder.Database(), SqliteConnection::Mode::ReadWrite);
            QVERIFY(raw.Execute(u"UPDATE kw SET Title='before',PR='7' WHERE URL='http://b.com'"_s));
        }
        SiteDatabase database(folder.Database());
        const SiteRow b{u"http://b.com"_s, u"before"_s, Null, Null, u"7"_s, Null};
        const auto read = [](const QString& url) { return SiteDetails{url, u"T"_s, u"D"_s, u"K"_s, 1, 2}; };
        const SiteRow a{u"http://a.com"_s, u"T"_s, u"D"_s, u"K"_s, u"1"_s, u"2"_s};
        const SiteRow c{u"http://c.com"_s, u"T"_s, u"D"_s, u"K"_s, u"1"_s, u"2"_s};
        QVERIFY(database.WriteExtractionBatch(u"kw"_s, u"kw"_s, {read(urls.at(0)), read(urls.at(2))}, {urls.at(1)}, {},
                                              3, 5));
        QCOMPARE(Rows(database, u"kw"_s), (QList<SiteRow>{a, c, UrlOnly(urls.at(3)), UrlOnly(urls.at(4)), b}));

        // The next batch, rows 3 to 5: two not read keep their order behind the one read.
        QVERIFY(
            database.WriteExtractionBatch(u"kw"_s, u"kw"_s, {read(urls.at(4))}, {urls.at(3), urls.at(1)}, {}, 4, 5));
        const SiteRow e{u"http://e.com"_s, u"T"_s, u"D"_s, u"K"_s, u"1"_s, u"2"_s};
        QCOMPARE(Rows(database, u"kw"_s), (QList<SiteRow>{a, c, e, UrlOnly(urls.at(3)), b}));
        std::optional<MasterRow> row;
        QVERIFY(database.FindMaster(u"kw"_s, row));
        QCOMPARE(row->SearchNum, u"4/5"_s);
    }

    void failedExtractionBatchLeavesRowsAndProgress()
    {
        SiteFolder folder;
        folder.Collect(u"kw"_s, u"cat"_s, {u"http://a.com"_s, u"http://b.com"_s});
        {
            SqliteConnection raw(folder.Database(), SqliteConnection::Mode::ReadWrite);
            QVERIFY(raw.Execute(u"CREATE TRIGGER refuse BEFORE UPDATE ON kw WHEN NEW.URL = 'http://b.com' "
                                "BEGIN SELECT RAISE(ABORT, 'refused'); END"_s));
        }
        SiteDatabase database(folder.Database());
        const QList<SiteDetails> batch{{u"http://a.com"_s, u"A"_s, u"D"_s, u"K"_s, 4, 1234},
                                       {u"http://b.com"_s, u"B"_s, u"D"_s, u"K"_s, 5, 99}};
        QVERIFY(!database.WriteExtractionBatch(u"kw"_s, u"kw"_s, batch, {}, {}, 3, 2));
        QCOMPARE(Rows(database, u"kw"_s), (QList<SiteRow>{UrlOnly(u"http://a.com"_s), UrlOnly(u"http://b.com"_s)}));
        std::optional<MasterRow> row;
        QVERIFY(database.FindMaster(u"kw"_s, row));
        QCOMPARE(row->SearchNum, u"1/2"_s);
    }

    void unusableFilesAreToldApart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << u"missing"_s;
        QTest::newRow("not a database") << QByteArray(4096, 'x') << u"not a database"_s;
    }
    void unusableFilesAreToldApart()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Quorvex.mdb"_s);
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        SiteDatabase database(path);
        QVERIFY(!database.IsOpen());
        QVERIFY2(database.LastError().contains(reason), qPrintable(database.LastError()));
        QList<MasterRow> rows;
        QVERIFY(!database.ReadMaster(rows));
        QVERIFY(!database.InsertMaster(u"a"_s, u"b"_s));
        // Nothing was made where the file was missing, nothing changed where it was foreign.
        QCOMPARE(QFile(path).exists(), !content.isEmpty());
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), content);
        }
    }

    void copyIsWholeAndReplacesTarget()
    {
        SiteFolder folder;
        folder.Collect(u"kw"_s, u"cat"_s, {u"http://a.com"_s});
        const QString target = folder.Path() + u"/Database/Copy.mdb"_s;
        {
            QFile stale(target);
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write("stale");
        }
        SiteDatabase database(folder.Database());
        QVERIFY2(database.CopyTo(target), qPrintable(database.LastError()));
        SiteDatabase copy(target);
        QVERIFY(copy.IsOpen());
        QCOMPARE(Rows(copy, u"kw"_s), QList<SiteRow>{UrlOnly(u"http://a.com"_s)});
        // No temporary file is left beside it.
        QCOMPARE(QDir(folder.Path() + u"/Database"_s).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{u"Copy.mdb"_s, u"Quorvex.mdb"_s}));
    }
};

QUORVEX_TEST_MAIN_CORE(TestSiteDatabase)
#include "test_site_database.moc"
