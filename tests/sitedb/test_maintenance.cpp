// Compaction and recovery of the database file: every table, row and row order kept, a stale
// compaction target, failures that leave the file as it was, and the pre-export copy put back.
#include "sitedb/DatabaseMaintenance.h"
#include "support/ScanTestSupport.h"
#include "support/SiteDbTestSupport.h"
#include "support/TestHome.h"

using namespace Qt::StringLiterals;

namespace {

// Every table of the file with all its rows, in stored order.
QStringList Contents(const QString& path)
{
    SiteDatabase database(path);
    QStringList lines;
    QList<MasterRow> master;
    if (!database.ReadMaster(master))
        return {database.LastError()};
    for (const QString& table : database.TableNames()) {
        lines.append(u"table "_s + table + u": "_s + database.ColumnNames(table).join(u','));
        if (table == u"Quorvex") {
            for (const MasterRow& row : master)
                lines.append(row.Search.value_or(u"NULL"_s) + u"|"_s + row.SearchNum.value_or(u"NULL"_s));
            continue;
        }
        QList<SiteRow> rows;
        database.ReadSearchTable(table, rows);
        for (const SiteRow& row : rows)
            lines.append(row.URL.value_or(u"NULL"_s) + u"|"_s + row.Title.value_or(u"NULL"_s));
    }
    return lines;
}

// Two keywords whose rows have gaps in their rowids: deletes in the middle, at the end, new rows after.
void FillWithGaps(const SiteFolder& folder)
{
    QList<SiteRow> many = Sites(60);
    AddRows(folder.Database(), {u"web design"_s, u"a"_s, u"1/60"_s, u"2024-05-01"_s, u"N"_s}, many);
    AddRows(folder.Database(), {u"added"_s, u"b"_s, {}, {}, {}}, {});
    SqliteConnection raw(folder.Database(), SqliteConnection::Mode::ReadWrite);
    QVERIFY(raw.Execute(u"DELETE FROM web_design WHERE rowid % 3 = 0 OR rowid > 55;"
                        "INSERT INTO web_design(URL,Title) VALUES('http://late.com','L'),('http://early.com',NULL);"
                        "DELETE FROM web_design WHERE rowid = 1;"_s));
}

} // namespace

class TestMaintenance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void compactionKeepsTablesRowsAndOrder_data()
    {
        QTest::addColumn<bool>("staleTarget");
        QTest::newRow("no target") << false;
        QTest::newRow("a stale target of an interrupted compaction") << true;
    }
    void compactionKeepsTablesRowsAndOrder()
    {
        QFETCH(bool, staleTarget);
        SiteFolder folder;
        FillWithGaps(folder);
        const QStringList before = Contents(folder.Database());
        QVERIFY(before.contains(u"http://late.com|L"_s));
        if (staleTarget)
            WriteFileBytes(CompactionTargetPath(folder.Path()), "half a file");
        QString error;
        QVERIFY2(CompactDatabase(folder.Path(), error), qPrintable(error));
        QCOMPARE(Contents(folder.Database()), before);
        QVERIFY(CompactionTargetPath(folder.Path()).endsWith(u"/Database/QuorvexBak.mdb"_s));
        QCOMPARE(QDir(folder.Path() + u"/Database"_s).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Quorvex.mdb"_s});
    }

    void failedCompactionLeavesTheFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a target that cannot be removed") << u"target"_s << u"QuorvexBak.mdb"_s;
        QTest::newRow("a file that is not a database") << u"garbage"_s << u"not a database"_s;
        QTest::newRow("an empty file") << u"empty"_s << u"no table Quorvex"_s;
        QTest::newRow("another program's database") << u"foreign"_s << u"no table Quorvex"_s;
        QTest::newRow("a zeroed last page") << u"zeroed"_s << u"the file is damaged"_s;
    }
    void failedCompactionLeavesTheFile()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        SiteFolder folder;
        FillWithGaps(folder);
        if (fault == u"garbage") {
            WriteFileBytes(folder.Database(), QByteArray(4096, 'x'));
        } else if (fault == u"empty") {
            WriteFileBytes(folder.Database(), {});
        } else if (fault == u"foreign") {
            QVERIFY(QFile::remove(folder.Database()));
            SqliteConnection other(folder.Database(), SqliteConnection::Mode::Create);
            QVERIFY(other.Execute(u"CREATE TABLE notes(text); INSERT INTO notes VALUES('mine')"_s));
        } else if (fault == u"zeroed") {
            ZeroLastPage(folder.Database());
        } else {
            QVERIFY(QDir().mkpath(CompactionTargetPath(folder.Path()) + u"/inside"_s));
        }
        const QByteArray before = FileBytes(folder.Database());
        QString error;
        QVERIFY(!CompactDatabase(folder.Path(), error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(FileBytes(folder.Database()), before);
        QCOMPARE(QDir(folder.Path() + u"/Database"_s).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Quorvex.mdb"_s});
    }

    void recovery()
    {
        SiteFolder folder;
        FillWithGaps(folder);
        QVERIFY(!HasPreExportCopy(folder.Path()));
        QVERIFY(PreExportCopyPath(folder.Path()).endsWith(u"/Database/QuorvexBack.mdb"_s));
        {
            SiteDatabase database(folder.Database());
            QVERIFY(database.CopyTo(PreExportCopyPath(folder.Path())));
        }
        const QStringList exported = Contents(folder.Database());
        folder.Collect(u"after the export"_s, u"c"_s, {u"http://new.com"_s});
        QVERIFY(HasPreExportCopy(folder.Path()));
        const QByteArray copy = FileBytes(PreExportCopyPath(folder.Path()));
        QString error;
        QVERIFY2(RecoverPreExportCopy(folder.Path(), error), qPrintable(error));
        QCOMPARE(Contents(folder.Database()), exported);
        QCOMPARE(FileBytes(PreExportCopyPath(folder.Path())), copy);

        // A pre-export copy that is no database replaces nothing.
        folder.Collect(u"after the export"_s, u"c"_s, {u"http://new.com"_s});
        const QByteArray current = FileBytes(folder.Database());
        WriteFileBytes(PreExportCopyPath(folder.Path()), "not a database at all");
        QVERIFY(!RecoverPreExportCopy(folder.Path(), error));
        QCOMPARE(FileBytes(folder.Database()), current);
    }
};

QUORVEX_TEST_MAIN_CORE(TestMaintenance)
#include "test_maintenance.moc"
