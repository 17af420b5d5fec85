// The scan without a window: the grouping by category, the due rule and the three lists, the
// cleaning of the pending keywords' extracted rows, failures, and the scan report's bytes.
#include "sitedb/DatabaseScan.h"
#include "sitedb/ScanReport.h"
#include "support/ScanTestSupport.h"
#include "support/SiteDbTestSupport.h"
#include "support/TestHome.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace {

const QDate Today(2024, 5, 21);

QString DaysBack(int days)
{
    return Today.addDays(-days).toString(u"yyyy-MM-dd"_s);
}

MasterRow Keyword(const QString& search, const QString& category, const QString& searchNum = u"1/0"_s,
                  const QString& date = DaysBack(30), const QString& updated = u"Y"_s)
{
    return {search, category, searchNum, date, updated};
}

QList<MasterRow> Master(const SiteFolder& folder)
{
    SiteDatabase database(folder.Database());
    QList<MasterRow> rows;
    if (!database.ReadMaster(rows))
        qWarning("%s", qPrintable(database.LastError()));
    return rows;
}

QList<SiteRow> Rows(const SiteFolder& folder, const QString& table)
{
    SiteDatabase database(folder.Database());
    QList<SiteRow> rows;
    database.ReadSearchTable(table, rows);
    return rows;
}

QStringList Names(const QList<SearchRecord>& records)
{
    QStringList names;
    for (const SearchRecord& record : records)
        names.append(record.Search);
    return names;
}

// The grouping as the program always described it: for each entry in turn, the first later entry
// of its category is moved up beside it.
QStringList MoveRule(QStringList categories)
{
    for (qsizetype i = 0; i + 2 < categories.size(); ++i) {
        for (qsizetype j = i + 1; j < categories.size(); ++j) {
            if (categories[j] == categories[i]) {
                categories.move(j, i + 1);
                break;
            }
        }
    }
    return categories;
}

} // namespace

class TestScan : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void grouping_data()
    {
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<QList<int>>("stored");
        QTest::newRow("a b a c b") << QStringList{u"a"_s, u"b"_s, u"a"_s, u"c"_s, u"b"_s} << QList<int>{0, 2, 1, 4, 3};
        QTest::newRow("two rows") << QStringList{u"b"_s, u"a"_s} << QList<int>{0, 1};
        QTest::newRow("two rows of one category") << QStringList{u"a"_s, u"a"_s} << QList<int>{0, 1};
        QTest::newRow("all different") << QStringList{u"c"_s, u"a"_s, u"b"_s, u"d"_s} << QList<int>{0, 1, 2, 3};
        QTest::newRow("keywords keep their order in a category")
            << QStringList{u"x"_s, u"y"_s, u"x"_s, u"y"_s, u"x"_s} << QList<int>{0, 2, 4, 1, 3};
        QTest::newRow("categories compared exactly")
            << QStringList{u"a"_s, u"A"_s, u"a "_s, u"a"_s} << QList<int>{0, 3, 1, 2};
    }
    void grouping()
    {
        QFETCH(QStringList, categories);
        QFETCH(QList<int>, stored);
        SiteFolder folder;
        for (int i = 0; i < categories.size(); ++i)
            AddRows(folder.Database(), Keyword(u"k%1"_s.arg(i), categories[i], u"1/0"_s, DaysBack(3)), {});
        ScanLists lists;
        QString error;
        QVERIFY2(RunScan(folder.Database(), Today, lists, error), qPrintable(error));
        QStringList expected;
        for (int i : stored)
            expected.append(u"k%1"_s.arg(i));
        QStringList names;
        for (const MasterRow& row : Master(folder))
            names.append(*row.Search);
        QCOMPARE(names, expected);
        QCOMPARE(Names(lists.AllSearches), expected);
        QCOMPARE(lists.AllSearches.first().SearchType, categories[stored.first()]);
    }

    void groupingMatchesTheMoveRule()
    {
        QRandomGenerator generator(20240521);
        auto* random = &generator;
        for (int round = 0; round < 300; ++round) {
            QList<MasterRow> rows;
            QStringList categories;
            const int count = int(random->bounded(12));
            for (int i = 0; i < count; ++i) {
                categories.append(QString(QLatin1Char(char('a' + random->bounded(4)))));
                rows.append(Keyword(u"k%1"_s.arg(i), categories.last()));
            }
            GroupByCategory(rows);
            QStringList grouped;
            for (const MasterRow& row : rows)
                grouped.append(*row.SearchType);
            QCOMPARE(grouped, MoveRule(categories));
        }
    }

    void dueRule_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("updated");
        QTest::addColumn<QString>("list"); // pending, done or none
        QTest::addColumn<QString>("storedFlag");
        QTest::newRow("today N") << DaysBack(0) << u"N"_s << u"pending"_s << u"N"_s;
        QTest::newRow("today Y") << DaysBack(0) << u"Y"_s << u"done"_s << u"Y"_s;
        QTest::newRow("3 days N") << DaysBack(3) << u"N"_s << u"none"_s << u"N"_s;
        QTest::newRow("3 days Y") << DaysBack(3) << u"Y"_s << u"none"_s << u"N"_s;
        QTest::newRow("14 days Y") << DaysBack(14) << u"Y"_s << u"none"_s << u"N"_s;
        QTest::newRow("15 days Y") << DaysBack(15) << u"Y"_s << u"done"_s << u"Y"_s;
        QTest::newRow("20 days N") << DaysBack(20) << u"N"_s << u"pending"_s << u"N"_s;
        QTest::newRow("20 days Y") << DaysBack(20) << u"Y"_s << u"done"_s << u"Y"_s;
        QTest::newRow("a year back, other flag") << DaysBack(365) << u"x"_s << u"done"_s << u"x"_s;
        QTest::newRow("tomorrow") << DaysBack(-1) << u"Y"_s << u"none"_s << u"N"_s;
        QTest::newRow("unreadable date") << u"05/01/2024"_s << u"Y"_s << u"none"_s << u"N"_s;
    }
    void dueRule()
    {
        QFETCH(QString, date);
        QFETCH(QString, updated);
        QFETCH(QString, list);
        QFETCH(QString, storedFlag);
        SiteFolder folder;
        const MasterRow row = Keyword(u"web design"_s, u"business"_s, u"3/2"_s, date, updated);
        AddRows(folder.Database(), row, Sites(2));
        ScanLists lists;
        QString error;
        QVERIFY2(RunScan(folder.Database(), Today, lists, error), qPrintable(error));
        const SearchRecord all{*row.Search, *row.SearchType, {}, {}, {}};
        const SearchRecord pending{*row.Search, *row.SearchType, *row.SearchNum, *row.SearchDate, *row.Updated};
        const SearchRecord done{*row.Search, *row.SearchType, *row.SearchNum, {}, {}};
        QCOMPARE(lists.AllSearches, QList<SearchRecord>{all});
        QCOMPARE(lists.PendingSearches, list == u"pending" ? QList<SearchRecord>{pending} : QList<SearchRecord>());
        QCOMPARE(lists.DoneSearches, list == u"done" ? QList<SearchRecord>{done} : QList<SearchRecord>());
        MasterRow after = row;
        after.Updated = storedFlag;
        QCOMPARE(Master(folder), QList<MasterRow>{after});
    }

    void unwantedSites_data()
    {
        QTest::addColumn<SiteRow>("site");
        QTest::addColumn<bool>("unwanted");
        const QString url = u"http://x.com"_s;
        QTest::newRow("complete") << Site(url) << false;
        QTest::newRow("title Null") << Site(url, "Null") << true;
        QTest::newRow("description Null") << Site(url, "T", "Null") << true;
        QTest::newRow("null in lower case") << Site(url, "null", "NULL") << false;
        QTest::newRow("no PR and no rank") << Site(url, "T", "D", "0", "0") << true;
        QTest::newRow("no PR, a rank") << Site(url, "T", "D", "0", "5") << false;
        QTest::newRow("a PR, no rank") << Site(url, "T", "D", "1", "0") << false;
        QTest::newRow("redirecting in the title") << Site(url, "You are redirecting now") << true;
        QTest::newRow("redirecting in the description") << Site(url, "T", "page redirecting...") << true;
        QTest::newRow("Redirecting with a capital") << Site(url, "Redirecting", "REDIRECTING") << false;
        QTest::newRow("NULL columns") << Site(url, nullptr, nullptr, nullptr, nullptr) << false;
        QTest::newRow("NULL PR, no rank") << Site(url, "T", "D", nullptr, "0") << false;
    }
    void unwantedSites()
    {
        QFETCH(SiteRow, site);
        QFETCH(bool, unwanted);
        QCOMPARE(IsUnwanted(site), unwanted);
    }

    void cleaning_data()
    {
        QTest::addColumn<QString>("searchNum");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QList<int>>("unwantedRows"); // 1-based positions holding an unwanted site
        QTest::addColumn<QString>("after");
        QTest::addColumn<QList<int>>("removed");
        QTest::newRow("5/40, rows 2, 3 and the unexamined 5")
            << u"5/40"_s << 40 << QList<int>{2, 3, 5} << u"3/38"_s << QList<int>{2, 3};
        QTest::newRow("everything extracted") << u"4/3"_s << 3 << QList<int>{1, 3} << u"2/1"_s << QList<int>{1, 3};
        QTest::newRow("Top past the last row") << u"9/3"_s << 3 << QList<int>{3} << u"8/2"_s << QList<int>{3};
        QTest::newRow("nothing extracted yet") << u"1/3"_s << 3 << QList<int>{1} << u"1/3"_s << QList<int>();
        QTest::newRow("nothing unwanted") << u"3/3"_s << 3 << QList<int>() << u"3/3"_s << QList<int>();
        QTest::newRow("an empty table") << u"1/0"_s << 0 << QList<int>() << u"1/0"_s << QList<int>();
    }
    void cleaning()
    {
        QFETCH(QString, searchNum);
        QFETCH(int, rowCount);
        QFETCH(QList<int>, unwantedRows);
        QFETCH(QString, after);
        QFETCH(QList<int>, removed);
        SiteFolder folder;
        QList<SiteRow> sites = Sites(rowCount);
        for (int position : unwantedRows) {
            // Each kind of unwanted site in turn.
            SiteRow& site = sites[position - 1];
            if (position % 3 == 2)
                site.Title = u"Null"_s;
            else if (position % 3 == 0)
                site.PR = site.Alexa = u"0"_s;
            else
                site.Description = u"redirecting"_s;
        }
        AddRows(folder.Database(), Keyword(u"web design"_s, u"business"_s, searchNum, DaysBack(0), u"N"_s), sites);
        // A keyword exported today and one not due keep their unwanted sites.
        AddRows(folder.Database(), Keyword(u"done"_s, u"business"_s, u"2/1"_s, DaysBack(0), u"Y"_s),
                {Site(u"http://d.com"_s, "Null")});
        AddRows(folder.Database(), Keyword(u"later"_s, u"business"_s, u"2/1"_s, DaysBack(3), u"N"_s),
                {Site(u"http://l.com"_s, "Null")});
        ScanLists lists;
        QString error;
        QVERIFY2(RunScan(folder.Database(), Today, lists, error), qPrintable(error));
        QCOMPARE(lists.PendingSearches.size(), 1);
        QCOMPARE(lists.PendingSearches[0].SearchNum, after);
        QCOMPARE(Master(folder).first().SearchNum, SqlText(after));
        QList<SiteRow> kept = sites;
        for (qsizetype i = removed.size() - 1; i >= 0; --i)
            kept.removeAt(removed[i] - 1);
        QCOMPARE(Rows(folder, u"web_design"_s), kept);
        QCOMPARE(Rows(folder, u"done"_s).size(), 1);
        QCOMPARE(Rows(folder, u"later"_s).size(), 1);
    }

    void unfinishedCollectionNeverDue()
    {
        SiteFolder folder;
        AddRows(folder.Database(), Keyword(u"first"_s, u"a"_s, u"2/2"_s, DaysBack(0), u"N"_s),
                {Site(u"http://1.com"_s, "Null"), Site(u"http://2.com"_s)});
        // Registered, but its first collection never finished.
        AddRows(folder.Database(), {u"added"_s, u"b"_s, {}, {}, {}}, {});
        AddRows(folder.Database(), {u"half"_s, u"a"_s, u"1/0"_s, {}, u"Y"_s}, {});
        AddRows(folder.Database(), Keyword(u"last"_s, u"a"_s, u"1/1"_s, DaysBack(20), u"N"_s), Sites(1));
        ScanLists lists;
        QString error;
        QVERIFY2(RunScan(folder.Database(), Today, lists, error), qPrintable(error));
        QCOMPARE(Names(lists.PendingSearches), (QStringList{u"first"_s, u"last"_s}));
        QCOMPARE(Names(lists.AllSearches), (QStringList{u"first"_s, u"last"_s}));
        QVERIFY(lists.DoneSearches.isEmpty());
        const QList<MasterRow> master = Master(folder);
        QCOMPARE(master.size(), 4);
        QCOMPARE(master[1], (MasterRow{u"half"_s, u"a"_s, u"1/0"_s, {}, u"Y"_s}));
        QCOMPARE(master[3], (MasterRow{u"added"_s, u"b"_s, {}, {}, {}}));
        QCOMPARE(master[0].SearchNum, SqlText(u"1/1"_s));
    }

    void quotesAndLettersInNames()
    {
        SiteFolder folder;
        const QString keyword = u"l'été \"chaud\" <b>&"_s;
        const QString category = u"it's"_s;
        AddRows(folder.Database(), Keyword(keyword, category, u"3/2"_s, DaysBack(0), u"N"_s),
                {Site(u"http://o'neil.com"_s, "Null"), Site(u"http://b.com"_s)});
        AddRows(folder.Database(), Keyword(u"other"_s, u"x"_s), {});
        AddRows(folder.Database(), Keyword(u"second"_s, category), {});
        ScanLists lists;
        QString error;
        QVERIFY2(RunScan(folder.Database(), Today, lists, error), qPrintable(error));
        QCOMPARE(Names(lists.AllSearches), (QStringList{keyword, u"second"_s, u"other"_s}));
        QCOMPARE(lists.PendingSearches.first().SearchNum, u"2/1"_s);
        QCOMPARE(URLs(Rows(folder, SearchTableName(keyword))), QStringList{u"http://b.com"_s});
    }

    void failureKeepsTheMasterTable()
    {
        SiteFolder folder;
        AddRows(folder.Database(), Keyword(u"a1"_s, u"a"_s, u"2/1"_s, DaysBack(0), u"N"_s),
                {Site(u"http://1.com"_s, "Null")});
        AddRows(folder.Database(), Keyword(u"b1"_s, u"b"_s, u"2/1"_s, DaysBack(0), u"N"_s), Sites(1));
        AddRows(folder.Database(), Keyword(u"a2"_s, u"a"_s, u"1/0"_s, DaysBack(3), u"Y"_s), {});
        {
            SqliteConnection raw(folder.Database(), SqliteConnection::Mode::ReadWrite);
            QVERIFY(raw.Execute(u"DROP TABLE b1"_s));
        }
        ScanLists lists;
        QString error;
        QVERIFY(!RunScan(folder.Database(), Today, lists, error));
        QVERIFY2(error.contains(u"b1"_s), qPrintable(error));
        // The rebuild is whole and no table is half cleaned: a1 keeps its site and its progress.
        const QList<MasterRow> master = Master(folder);
        QCOMPARE(master.size(), 3);
        QCOMPARE(master[1], Keyword(u"a2"_s, u"a"_s, u"1/0"_s, DaysBack(3), u"N"_s));
        QCOMPARE(master[0].SearchNum, SqlText(u"2/1"_s));
        QCOMPARE(master[2].SearchNum, SqlText(u"2/1"_s));
        QCOMPARE(Rows(folder, u"a1"_s).size(), 1);

        const QString missing = folder.Path() + u"/nothing/Quorvex.mdb"_s;
        QVERIFY(!RunScan(missing, Today, lists, error));
        QVERIFY2(error.contains(u"missing"_s), qPrintable(error));
    }

    // A damaged page that the scan would not read (a keyword not due): nothing is rewritten.
    void damagedDatabaseIsRefused()
    {
        SiteFolder folder;
        AddRows(folder.Database(), Keyword(u"due"_s, u"a"_s, u"1/0"_s, DaysBack(0), u"N"_s), {});
        AddRows(folder.Database(), Keyword(u"big"_s, u"b"_s, u"1/300"_s, DaysBack(3)), Sites(300));
        ZeroLastPage(folder.Database());
        const QByteArray before = FileBytes(folder.Database());
        ScanLists lists;
        QString error;
        QVERIFY(!RunScan(folder.Database(), Today, lists, error));
        QVERIFY2(error.contains(u"the file is damaged"_s), qPrintable(error));
        QCOMPARE(FileBytes(folder.Database()), before);
    }

    void report_data()
    {
        QTest::addColumn<QList<SearchRecord>>("pending");
        QTest::addColumn<QList<SearchRecord>>("done");
        QTest::addColumn<QByteArray>("bytes");
        const SearchRecord design{u"web design"_s, u"business"_s, u"5/38"_s, u"2024-05-21"_s, u"N"_s};
        const SearchRecord seo{u"seo"_s, u"misc"_s, u"1/12"_s, u"2024-05-01"_s, u"N"_s};
        QTest::newRow("two pending, none done")
            << QList<SearchRecord>{design, seo} << QList<SearchRecord>()
            << "\xE4\xBB\x8A\xE5\xA4\xA9\xE6\x9C\xAA\xE8\xBF\x9B\xE8\xA1\x8C\xE8\xBE\x93\xE5\x87\xBA\xE5\xA4\x84"
               "\xE7\x90\x86\xE7\x9A\x84\xE6\x90\x9C\xE7\xB4\xA2\xE9\xA1\xB9\xE7\x9B\xAE\r\n"
               "4/38/web design/business\r\n"
               "0/12/seo/misc\r\n"
               "\r\n"
               "\xE4\xBB\x8A\xE5\xA4\xA9\xE5\xB7\xB2\xE8\xBF\x9B\xE8\xA1\x8C\xE8\xBE\x93\xE5\x87\xBA\xE5\xA4\x84"
               "\xE7\x90\x86\xE7\x9A\x84\xE6\x90\x9C\xE7\xB4\xA2\xE9\xA1\xB9\xE7\x9B\xAE\r\n"
               "\xE6\x97\xA0\xE6\x95\xB0\xE6\x8D\xAE\r\n"_ba;
        QTest::newRow("none pending, one done")
            << QList<SearchRecord>() << QList<SearchRecord>{{u"seo"_s, u"misc"_s, u"3/12"_s, {}, {}}}
            << "\xE4\xBB\x8A\xE5\xA4\xA9\xE6\x9C\xAA\xE8\xBF\x9B\xE8\xA1\x8C\xE8\xBE\x93\xE5\x87\xBA\xE5\xA4\x84"
               "\xE7\x90\x86\xE7\x9A\x84\xE6\x90\x9C\xE7\xB4\xA2\xE9\xA1\xB9\xE7\x9B\xAE\r\n"
               "\xE6\x97\xA0\xE6\x95\xB0\xE6\x8D\xAE\r\n"
               "\r\n"
               "\xE4\xBB\x8A\xE5\xA4\xA9\xE5\xB7\xB2\xE8\xBF\x9B\xE8\xA1\x8C\xE8\xBE\x93\xE5\x87\xBA\xE5\xA4\x84"
               "\xE7\x90\x86\xE7\x9A\x84\xE6\x90\x9C\xE7\xB4\xA2\xE9\xA1\xB9\xE7\x9B\xAE\r\n"
               "seo/misc\r\n"_ba;
        // Stored text reaches the file as the terminal would show it: no escape sequence, no line
        // break of its own, no turn of direction.
        QTest::newRow("control characters")
            << QList<SearchRecord>{{u"bad\x1b[2Jname\r\nfake"_s, u"c\u202e"_s, u"1/3"_s, u"2024-05-21"_s, u"N"_s}}
            << QList<SearchRecord>{{u"x\ay"_s, u"m\u0085"_s, u"3/12"_s, {}, {}}}
            << "\xE4\xBB\x8A\xE5\xA4\xA9\xE6\x9C\xAA\xE8\xBF\x9B\xE8\xA1\x8C\xE8\xBE\x93\xE5\x87\xBA\xE5\xA4\x84"
               "\xE7\x90\x86\xE7\x9A\x84\xE6\x90\x9C\xE7\xB4\xA2\xE9\xA1\xB9\xE7\x9B\xAE\r\n"
               "0/3/bad\\x1b[2Jname\\x0d\\x0afake/c\\u202e\r\n"
               "\r\n"
               "\xE4\xBB\x8A\xE5\xA4\xA9\xE5\xB7\xB2\xE8\xBF\x9B\xE8\xA1\x8C\xE8\xBE\x93\xE5\x87\xBA\xE5\xA4\x84"
               "\xE7\x90\x86\xE7\x9A\x84\xE6\x90\x9C\xE7\xB4\xA2\xE9\xA1\xB9\xE7\x9B\xAE\r\n"
               "x\\x07y/m\\x85\r\n"_ba;
    }
    void report()
    {
        QFETCH(QList<SearchRecord>, pending);
        QFETCH(QList<SearchRecord>, done);
        QFETCH(QByteArray, bytes);
        SiteFolder folder;
        const ScanLists lists{{}, pending, done};
        QCOMPARE(ScanReportText(lists), bytes);
        QString error;
        QVERIFY2(WriteScanReport(folder.Path(), lists, error), qPrintable(error));
        QFile file(ScanReportPath(folder.Path()));
        QVERIFY(file.fileName().endsWith(u"/Database/ScanReport.txt"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }

    void reportThatCannotBeWritten()
    {
        SiteFolder folder;
        QVERIFY(QDir(folder.Path() + u"/Database/ScanReport.txt"_s).mkpath(u"."_s));
        QFile(folder.Path() + u"/Database/ScanReport.txt/keep"_s).open(QIODevice::WriteOnly);
        QString error;
        QVERIFY(!WriteScanReport(folder.Path(), {}, error));
        QVERIFY(!error.isEmpty());
    }
};

QUORVEX_TEST_MAIN_CORE(TestScan)
#include "test_scan.moc"
