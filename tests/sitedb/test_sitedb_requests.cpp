// The checks before a collection or an extraction starts: keyword rules, batch arithmetic, the
// questions and refusals, and that a refusal writes nothing.
#include "sitedb/SiteDbRequests.h"
#include "sitedb/SiteDbRules.h"
#include "sitedb/SiteDbTexts.h"
#include "support/ScanTestSupport.h"
#include "support/ScriptedPrompter.h"
#include "support/SiteDbTestSupport.h"
#include "support/TestHome.h"

using namespace Qt::StringLiterals;

namespace {

QList<MasterRow> Master(const SiteFolder& folder)
{
    SiteDatabase database(folder.Database());
    QList<MasterRow> rows;
    database.ReadMaster(rows);
    return rows;
}

QStringList Tables(const SiteFolder& folder)
{
    SiteDatabase database(folder.Database());
    return database.TableNames();
}

QStringList Shown(const ScriptedPrompter& prompter)
{
    QStringList texts;
    for (const ScriptedPrompter::Shown& shown : prompter.Messages) {
        if (shown.Title != u"Quorvex")
            texts.append(u"wrong title: "_s + shown.Title);
        texts.append(shown.Text);
    }
    return texts;
}

} // namespace

class TestSiteDbRequests : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keywordAndCategoryRules_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("problem");
        QTest::newRow("fine") << u"web design"_s << u"tools"_s << QString();
        QTest::newRow("empty keyword") << QString() << u"tools"_s << SiteDbTexts::EmptyKeyword;
        QTest::newRow("empty category") << u"a"_s << QString() << SiteDbTexts::EmptyCategory;
        QTest::newRow("keyword of 255") << QString(255, u'k') << u"c"_s << QString();
        QTest::newRow("keyword of 256") << QString(256, u'k') << u"c"_s << SiteDbTexts::KeywordTooLong;
        QTest::newRow("category of 30") << u"k"_s << QString(30, u'c') << QString();
        QTest::newRow("category of 31") << u"k"_s << QString(31, u'c') << SiteDbTexts::CategoryTooLong;
        QTest::newRow("control character") << u"a\tb"_s << u"c"_s << SiteDbTexts::ControlCharacters;
        QTest::newRow("NUL in category") << u"a"_s << u"c\0d"_s << SiteDbTexts::ControlCharacters;
    }
    void keywordAndCategoryRules()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, category);
        QFETCH(QString, problem);
        QCOMPARE(KeywordProblem(keyword, category), problem);
    }

    void batchArithmetic_data()
    {
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("bottom");
        QTest::addColumn<QString>("span");
        QTest::addColumn<int>("next");
        QTest::addColumn<bool>("allDone");
        QTest::addColumn<QString>("problem");
        QTest::newRow("first of three") << u"1"_s << u"120"_s << u"50"_s << 51 << false << QString();
        QTest::newRow("second of three") << u"51"_s << u"120"_s << u"50"_s << 101 << false << QString();
        QTest::newRow("last, short") << u"101"_s << u"120"_s << u"50"_s << 121 << false << QString();
        QTest::newRow("exactly to the end") << u"51"_s << u"100"_s << u"50"_s << 101 << false << QString();
        QTest::newRow("fits inside") << u"50"_s << u"100"_s << u"50"_s << 100 << false << QString();
        QTest::newRow("all extracted") << u"121"_s << u"120"_s << u"50"_s << 0 << true << QString();
        QTest::newRow("empty collection") << u"1"_s << u"0"_s << u"50"_s << 0 << true << QString();
        QTest::newRow("blanks around") << u" 1 "_s << u"3"_s << u"1"_s << 2 << false << QString();
        QTest::newRow("span with text") << u"1"_s << u"100"_s << u"20 rows"_s << 21 << false << QString();
        QTest::newRow("span rounded") << u"1"_s << u"100"_s << u"2.6"_s << 4 << false << QString();
        QTest::newRow("top not a number") << u"abc"_s << u"120"_s << u"50"_s << 0 << false << SiteDbTexts::WholeNumbers;
        QTest::newRow("top a fraction") << u"1.5"_s << u"120"_s << u"50"_s << 0 << false << SiteDbTexts::WholeNumbers;
        QTest::newRow("bottom empty") << u"1"_s << QString() << u"50"_s << 0 << false << SiteDbTexts::WholeNumbers;
        QTest::newRow("top zero") << u"0"_s << u"120"_s << u"50"_s << 0 << false << SiteDbTexts::WholeNumbers;
        QTest::newRow("bottom past the counts")
            << u"1"_s << u"40000"_s << u"50"_s << 0 << false << SiteDbTexts::WholeNumbers;
        QTest::newRow("span zero") << u"1"_s << u"120"_s << u"0"_s << 0 << false << SiteDbTexts::SpanNumber;
        QTest::newRow("span negative") << u"1"_s << u"120"_s << u"-5"_s << 0 << false << SiteDbTexts::SpanNumber;
        QTest::newRow("span text") << u"1"_s << u"120"_s << u"many"_s << 0 << false << SiteDbTexts::SpanNumber;
    }
    void batchArithmetic()
    {
        QFETCH(QString, top);
        QFETCH(QString, bottom);
        QFETCH(QString, span);
        QFETCH(int, next);
        QFETCH(bool, allDone);
        QFETCH(QString, problem);
        const BatchPlan plan = PlanBatch(top, bottom, span);
        QCOMPARE(plan.Problem, problem);
        QCOMPARE(plan.AllDone, allDone);
        if (problem.isEmpty() && !allDone)
            QCOMPARE(plan.Next, next);
    }

    void searchNumSplitsAtTheSlash_data()
    {
        QTest::addColumn<SqlText>("searchNum");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("bottom");
        QTest::newRow("progress") << SqlText(u"51/120"_s) << u"51"_s << u"120"_s;
        QTest::newRow("NULL") << SqlText() << QString() << QString();
        QTest::newRow("no slash") << SqlText(u"7"_s) << u"7"_s << QString();
        QTest::newRow("two slashes") << SqlText(u"1/2/3"_s) << u"1"_s << u"2"_s;
    }
    void searchNumSplitsAtTheSlash()
    {
        QFETCH(SqlText, searchNum);
        QFETCH(QString, top);
        QFETCH(QString, bottom);
        const Progress progress = SplitSearchNum(searchNum);
        QCOMPARE(progress.Top, top);
        QCOMPARE(progress.Bottom, bottom);
    }

    void newKeywordIsStoredTrimmedInLowerCase()
    {
        SiteFolder folder;
        ScriptedPrompter prompter;
        const auto request = PrepareCollection(folder.Database(), u"  Web Design "_s, u" Tools "_s, prompter);
        QVERIFY(request);
        QCOMPARE(request->Keyword, u"web design"_s);
        QCOMPARE(request->Category, u"tools"_s);
        QCOMPARE(request->Table, u"web_design"_s);
        QVERIFY(!request->Renew);
        QVERIFY(prompter.Messages.isEmpty());
        QCOMPARE(Master(folder), (QList<MasterRow>{{u"web design"_s, u"tools"_s, {}, {}, {}}}));
        QCOMPARE(Tables(folder), (QStringList{u"Quorvex"_s, u"web_design"_s}));
    }

    void knownKeywordAsksBeforeRenewing()
    {
        SiteFolder folder;
        folder.Collect(u"kw"_s, u"cat"_s, {u"http://a.com"_s});
        const QList<MasterRow> before = Master(folder);
        ScriptedPrompter prompter;
        prompter.Answers = {false, true};
        QVERIFY(!PrepareCollection(folder.Database(), u"KW"_s, u"other"_s, prompter));
        const auto request = PrepareCollection(folder.Database(), u"KW"_s, u"other"_s, prompter);
        QVERIFY(request && request->Renew);
        QCOMPARE(prompter.Questions.size(), 2);
        QCOMPARE(prompter.Questions[0].Text, u"All URLs in 'kw' table have been gotten, renew it all ?"_s);
        QCOMPARE(prompter.Questions[0].Title, u"Quorvex"_s);
        // Asking writes nothing: the old rows and progress wait for the new collection.
        QCOMPARE(Master(folder), before);
    }

    void refusedKeywordsWriteNothing_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("message");
        QTest::newRow("blank and underscore") << u"a b"_s << u"a_b"_s << SiteDbTexts::TableTaken(u"a_b"_s);
        QTest::newRow("underscore and blank") << u"a_b"_s << u"A B"_s << SiteDbTexts::TableTaken(u"a_b"_s);
        QTest::newRow("master table") << QString() << u"Quorvex"_s << SiteDbTexts::TableTaken(u"quorvex"_s);
        QTest::newRow("master table upper case") << QString() << u"QUORVEX"_s << SiteDbTexts::TableTaken(u"quorvex"_s);
        QTest::newRow("engine name") << QString() << u"sqlite_schema"_s << SiteDbTexts::TableTaken(u"sqlite_schema"_s);
        QTest::newRow("blank keyword") << QString() << u"   "_s << SiteDbTexts::EmptyKeyword;
    }
    void refusedKeywordsWriteNothing()
    {
        QFETCH(QString, existing);
        QFETCH(QString, keyword);
        QFETCH(QString, message);
        SiteFolder folder;
        ScriptedPrompter prompter;
        if (!existing.isEmpty())
            QVERIFY(PrepareCollection(folder.Database(), existing, u"c"_s, prompter));
        const QList<MasterRow> master = Master(folder);
        const QStringList tables = Tables(folder);
        QVERIFY(!PrepareCollection(folder.Database(), keyword, u"c"_s, prompter));
        QCOMPARE(Shown(prompter), QStringList{message});
        QCOMPARE(Master(folder), master);
        QCOMPARE(Tables(folder), tables);
    }

    void missingDatabaseIsTold()
    {
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        QVERIFY(!PrepareCollection(dir.filePath(u"Quorvex.mdb"_s), u"a"_s, u"b"_s, prompter));
        QCOMPARE(prompter.Messages.size(), 1);
        QVERIFY(prompter.Messages[0].Text.contains(u"missing"_s));
        QVERIFY(!QFile::exists(dir.filePath(u"Quorvex.mdb"_s)));
    }

    // A damaged page that the add itself would not read: the new keyword is refused, not written in.
    void damagedDatabaseIsRefused()
    {
        SiteFolder folder;
        AddRows(folder.Database(), {u"big"_s, u"c"_s, u"1/300"_s, u"2024-05-01"_s, u"N"_s}, Sites(300));
        ZeroLastPage(folder.Database());
        const QByteArray before = FileBytes(folder.Database());
        ScriptedPrompter prompter;
        QVERIFY(!PrepareCollection(folder.Database(), u"new keyword"_s, u"c"_s, prompter));
        QCOMPARE(prompter.Messages.size(), 1);
        QVERIFY2(prompter.Messages[0].Text.contains(u"the file is damaged"_s), qPrintable(prompter.Messages[0].Text));
        QCOMPARE(FileBytes(folder.Database()), before);
    }

    void extractionRefusals_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown keyword") << u"nothing"_s << u"1"_s << SiteDbTexts::TableMissing(u"nothing"_s);
        QTest::newRow("exported") << u"exported"_s << u"1"_s << SiteDbTexts::Processed(u"exported"_s);
        QTest::newRow("never collected") << u"added"_s << u""_s << SiteDbTexts::NotCollected(u"added"_s);
        QTest::newRow("all extracted") << u"web design"_s << u"4"_s << SiteDbTexts::AllExtracted(u"web_design"_s);
        QTest::newRow("top not a number") << u"web design"_s << u"x"_s << SiteDbTexts::WholeNumbers;
        QTest::newRow("fewer rows than Bottom") << u"short"_s << u"1"_s << SiteDbTexts::TooFewRows(u"short"_s, 2);
    }
    void extractionRefusals()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, top);
        QFETCH(QString, message);
        SiteFolder folder;
        folder.Collect(u"web design"_s, u"c"_s, {u"http://a.com"_s, u"http://b.com"_s, u"http://c.com"_s});
        folder.Collect(u"exported"_s, u"c"_s, {u"http://a.com"_s});
        folder.Collect(u"short"_s, u"c"_s, {u"http://a.com"_s, u"http://b.com"_s});
        {
            SiteDatabase database(folder.Database());
            QVERIFY(database.MarkExported(u"exported"_s, 1, 1));
            QVERIFY(database.AddKeyword(u"added"_s, u"c"_s, u"added"_s));
        }
        const QList<MasterRow> before = Master(folder);
        ScriptedPrompter prompter;
        prompter.Answers = {true};
        QVERIFY(!PrepareExtraction(folder.Database(), keyword, top, u"3"_s, u"50"_s, prompter));
        QCOMPARE(Shown(prompter), QStringList{message});
        QCOMPARE(Master(folder), before);
    }

    void extractionBatchIsTheRowsFromTop()
    {
        SiteFolder folder;
        QStringList urls;
        for (int i = 1; i <= 120; ++i)
            urls.append(u"http://site%1.com"_s.arg(i));
        folder.Collect(u"web design"_s, u"c"_s, urls);
        ScriptedPrompter prompter;
        prompter.Answers = {false, true};
        QVERIFY(!PrepareExtraction(folder.Database(), u"Web Design"_s, u"51"_s, u"120"_s, u"50"_s, prompter));
        QVERIFY(prompter.Messages.isEmpty());
        QCOMPARE(prompter.Questions[0].Text, SiteDbTexts::ExtractQuestion);
        const auto batch =
            PrepareExtraction(folder.Database(), u"Web Design "_s, u"101"_s, u"120"_s, u"50"_s, prompter);
        QVERIFY(batch);
        QCOMPARE(batch->Table, u"web_design"_s);
        QCOMPARE(batch->Head, 101);
        QCOMPARE(batch->Next, 121);
        QCOMPARE(batch->End, 120);
        QCOMPARE(batch->URLs, urls.mid(100));
        // The progress moves only when the batch is written.
        QCOMPARE(Master(folder)[0].SearchNum, u"1/120"_s);
    }
};

QUORVEX_TEST_MAIN_CORE(TestSiteDbRequests)
#include "test_sitedb_requests.moc"
