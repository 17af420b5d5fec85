// The search window's scan, scan report, compaction and recovery: what each button changes, the
// messages, the button states afterwards and the refreshed display.
#include "SearchWindowRig.h"
#include "sitedb/DatabaseMaintenance.h"
#include "sitedb/DatabaseScan.h"
#include "sitedb/ScanReport.h"
#include "sitedb/SearchTableModel.h"
#include "sitedb/SiteDbTexts.h"
#include "support/ScanTestSupport.h"
#include "support/TestHome.h"

#include <QApplication>

using namespace Qt::StringLiterals;

namespace {

class Rig : public SearchWindowRig {
public:
    // seo (misc) collected today with a "Null" first row, web design (tools) 20 days back and
    // exported, zed (misc) 3 days back: the scan stores seo, zed, web design.
    void Seed(const QString& seoFlag)
    {
        const QString today = clock.now.date().toString(Qt::ISODate);
        AddRows(folder.Database(), {u"seo"_s, u"misc"_s, u"3/2"_s, today, seoFlag},
                {Site(u"http://null.com"_s, "Null"), Site(u"http://s.com"_s)});
        AddRows(folder.Database(),
                {u"web design"_s, u"tools"_s, u"1/1"_s, clock.now.date().addDays(-20).toString(Qt::ISODate), u"Y"_s},
                Sites(1));
        AddRows(folder.Database(),
                {u"zed"_s, u"misc"_s, u"1/0"_s, clock.now.date().addDays(-3).toString(Qt::ISODate), u"Y"_s}, {});
    }
    // The keyword box, Top, Bottom, the category and the number of rows shown.
    QStringList Display() const
    {
        return {Keyword()->currentText(), Text(u"txtRHead"_s), Text(u"txtREnd"_s), Text(u"txtType"_s),
                QString::number(window->Rows().rowCount())};
    }
    QStringList KeywordItems() const
    {
        QStringList items;
        for (int i = 0; i < Keyword()->count(); ++i)
            items.append(Keyword()->itemText(i));
        return items;
    }
    // "Reco&ver Database" as an export leaves it.
    void EnableRecovery() const { Find<QPushButton>(u"cmdRecoverDatabase"_s)->setEnabled(true); }
    QStringList MessageTexts() const
    {
        QStringList texts;
        for (const ScriptedPrompter::Shown& shown : prompter.Messages)
            texts.append(shown.Text);
        return texts;
    }
};

} // namespace

class TestSearchWindowScan : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scanSetsTheButtonsAndRefreshes_data()
    {
        QTest::addColumn<QString>("seoFlag"); // empty: no keyword at all
        QTest::addColumn<QStringList>("display");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QStringList>("pending");
        const QStringList items{u"cmdAdd"_s, u"cmdExtract"_s, u"cmdScan"_s, u"cmdReport"_s};
        QTest::newRow("a pending keyword") << u"N"_s << QStringList{u"seo"_s, u"2"_s, u"1"_s, u"misc"_s, u"1"_s}
                                           << (items + QStringList{u"cmdExportHTML"_s}) << QStringList{u"seo"_s};
        QTest::newRow("nothing pending") << u"Y"_s << QStringList{u"seo"_s, u"3"_s, u"2"_s, u"misc"_s, u"2"_s} << items
                                         << QStringList();
        QTest::newRow("an empty database") << QString() << QStringList{QString(), u"0"_s, u"0"_s, QString(), u"0"_s}
                                           << QStringList{u"cmdScan"_s, u"cmdReport"_s} << QStringList();
    }
    void scanSetsTheButtonsAndRefreshes()
    {
        QFETCH(QString, seoFlag);
        QFETCH(QStringList, display);
        QFETCH(QStringList, enabled);
        QFETCH(QStringList, pending);
        Rig rig;
        if (!seoFlag.isEmpty())
            rig.Seed(seoFlag);
        rig.Open();
        rig.Click(u"cmdScan"_s);
        QCOMPARE(rig.MessageTexts(), QStringList());
        QCOMPARE(rig.Display(), display);
        QCOMPARE(rig.EnabledButtons(), enabled);
        QStringList names;
        for (const SearchRecord& record : rig.window->LastScan().PendingSearches)
            names.append(record.Search);
        QCOMPARE(names, pending);
        // The keyword list follows the rebuilt master table.
        const QStringList stored{u"seo"_s, u"zed"_s, u"web design"_s};
        QCOMPARE(rig.KeywordItems(), seoFlag.isEmpty() ? QStringList() : stored);
    }

    void failedOrRefusedScan()
    {
        Rig rig;
        rig.Seed(u"N"_s);
        rig.Open();
        rig.Click(u"cmdScan"_s);
        QCOMPARE(rig.EnabledButtons().size(), 5);
        {
            SqliteConnection raw(rig.folder.Database(), SqliteConnection::Mode::ReadWrite);
            QVERIFY(raw.Execute(u"DROP TABLE seo"_s));
        }
        rig.Click(u"cmdScan"_s);
        QCOMPARE(rig.prompter.Messages.size(), 1);
        QCOMPARE(rig.prompter.Messages[0].Text, u"Error in Scan"_s);
        QCOMPARE(rig.prompter.Messages[0].Title, u"Quorvex 2.2"_s);
        QCOMPARE(rig.EnabledButtons(), (QStringList{u"cmdAdd"_s, u"cmdExtract"_s, u"cmdScan"_s}));
        QVERIFY(rig.window->LastScan().AllSearches.isEmpty());

        // While a batch downloads, its write would undo what a scan removes: no scan then.
        SiteDatabase(rig.folder.Database()).UpdateProgress(u"zed"_s, 7, 7);
        rig.actions.running = true;
        rig.Click(u"cmdScan"_s);
        QCOMPARE(rig.MessageTexts().last(), SiteDbTexts::RunGoing);
        std::optional<MasterRow> zed;
        QVERIFY(SiteDatabase(rig.folder.Database()).FindMaster(u"zed"_s, zed));
        QCOMPARE(zed->SearchNum, SqlText(u"7/7"_s));
    }

    void report()
    {
        Rig rig;
        rig.Seed(u"N"_s);
        rig.Open();
        rig.Click(u"cmdScan"_s);
        rig.Click(u"cmdReport"_s);
        const QString path = ScanReportPath(rig.folder.Path());
        QCOMPARE(rig.launcher.EditorFiles, QStringList{path});
        QCOMPARE(FileBytes(path), ScanReportText(rig.window->LastScan()));
        QVERIFY(FileBytes(path).contains("\r\n1/1/seo/misc\r\n"));

        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path + u"/in the way"_s));
        rig.Click(u"cmdReport"_s);
        QCOMPARE(rig.launcher.EditorFiles.size(), 1);
        QCOMPARE(rig.prompter.Messages.size(), 1);
        QVERIFY(rig.prompter.Messages[0].Text.startsWith(ScanReportErrorText(QString())));
        QCOMPARE(rig.prompter.Messages[0].Title, u"Quorvex"_s);
    }

    void compaction()
    {
        Rig rig;
        rig.Seed(u"N"_s);
        rig.Open();
        rig.Click(u"cmdCompactDatabase"_s);
        QVERIFY(QDir().mkpath(CompactionTargetPath(rig.folder.Path()) + u"/in the way"_s));
        const QByteArray before = FileBytes(rig.folder.Database());
        rig.Click(u"cmdCompactDatabase"_s);
        QCOMPARE(rig.prompter.Messages.size(), 2);
        QCOMPARE(rig.prompter.Messages[0].Text, u"You have compacted database !"_s);
        QCOMPARE(rig.prompter.Messages[0].Title, u"Quorvex"_s);
        QVERIFY(rig.prompter.Messages[1].Text.startsWith(u"The database could not be compacted: "_s));
        QCOMPARE(FileBytes(rig.folder.Database()), before);
        QCOMPARE(rig.Display(), (QStringList{u"seo"_s, u"3"_s, u"2"_s, u"misc"_s, u"2"_s}));
    }

    void recovery_data()
    {
        QTest::addColumn<QString>("copyOf"); // the pre-export copy: "seeded", "empty" or none
        QTest::addColumn<QString>("shown");  // the keyword in the box when the button is clicked
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("recovered");
        QTest::addColumn<QStringList>("display");
        QTest::addColumn<QStringList>("enabled");
        const QStringList loaded{u"cmdAdd"_s, u"cmdExtract"_s, u"cmdScan"_s};
        QTest::newRow("no copy") << QString() << u"seo"_s << QList<bool>() << false
                                 << QStringList{u"seo"_s, u"3"_s, u"9"_s, u"misc"_s, u"2"_s} << loaded;
        QTest::newRow("answered No") << u"seeded"_s << u"seo"_s << QList<bool>{false} << false
                                     << QStringList{u"seo"_s, u"3"_s, u"9"_s, u"misc"_s, u"2"_s}
                                     << (loaded + QStringList{u"cmdRecoverDatabase"_s});
        QTest::newRow("Yes, the keyword is in the copy")
            << u"seeded"_s << u"seo"_s << QList<bool>{true} << true
            << QStringList{u"seo"_s, u"3"_s, u"2"_s, u"misc"_s, u"2"_s} << loaded;
        QTest::newRow("Yes, the keyword came after the export")
            << u"seeded"_s << u"later"_s << QList<bool>{true} << true
            << QStringList{u"seo"_s, u"3"_s, u"2"_s, u"misc"_s, u"2"_s} << loaded;
        QTest::newRow("Yes, an empty copy")
            << u"empty"_s << u"seo"_s << QList<bool>{true} << true
            << QStringList{QString(), u"0"_s, u"0"_s, QString(), u"0"_s} << QStringList{u"cmdScan"_s};
    }
    void recovery()
    {
        QFETCH(QString, copyOf);
        QFETCH(QString, shown);
        QFETCH(QList<bool>, answers);
        QFETCH(bool, recovered);
        QFETCH(QStringList, display);
        QFETCH(QStringList, enabled);
        Rig rig;
        const QString copy = PreExportCopyPath(rig.folder.Path());
        if (copyOf == u"empty")
            QVERIFY(SiteDatabase(rig.folder.Database()).CopyTo(copy));
        rig.Seed(u"N"_s);
        if (copyOf == u"seeded")
            QVERIFY(SiteDatabase(rig.folder.Database()).CopyTo(copy));
        // After the export: a new keyword and other progress.
        rig.folder.Collect(u"later"_s, u"new"_s, {u"http://l.com"_s});
        QVERIFY(SiteDatabase(rig.folder.Database()).UpdateProgress(u"seo"_s, 3, 9));
        const QByteArray database = FileBytes(rig.folder.Database());
        const QByteArray copyBytes = FileBytes(copy);
        rig.Open();
        rig.Keyword()->setEditText(shown);
        Q_EMIT rig.Keyword()->activated(0);
        rig.EnableRecovery();
        rig.prompter.Answers = answers;
        rig.Click(u"cmdRecoverDatabase"_s);

        QCOMPARE(rig.prompter.Questions.size(), answers.size());
        if (!answers.isEmpty()) {
            QCOMPARE(rig.prompter.Questions[0].Text, u"Do you really want to recover old data ?"_s);
            QCOMPARE(rig.prompter.Questions[0].Title, u"Quorvex"_s);
        }
        QCOMPARE(rig.MessageTexts(), copyOf.isEmpty() ? QStringList{u"No data can be recovered !"_s} : QStringList());
        QCOMPARE(FileBytes(copy), copyBytes);
        QCOMPARE(FileBytes(rig.folder.Database()) == database, !recovered);
        QCOMPARE(rig.Display(), display);
        QCOMPARE(rig.EnabledButtons(), enabled);
        if (recovered)
            QVERIFY(!rig.KeywordItems().contains(u"later"_s));
    }
};

QUORVEX_TEST_MAIN(TestSearchWindowScan)
#include "test_search_window_scan.moc"
