// quorvex-cli sitedb against the fake web: the collection and the extraction fill the table, the
// reading commands show it, and the scan, export, compaction and recovery work on it.

#include "CliRunner.h"

#include "PageGenerator.h"
#include "sitedb/SiteDatabase.h"
#include "support/ProxyWeb.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

constexpr int SiteCount = 8;

// The generated pages, with a first result page of a few sites that every later page repeats, so a
// collection ends after two pages and an extraction of all its sites stays short.
CannedReply FewSites(const QUrl& url)
{
    if (url.path() != u"/search")
        return GeneratedReply(url);
    QUrl first = url;
    QUrlQuery query(url);
    query.removeAllQueryItems(u"start"_s);
    query.removeAllQueryItems(u"num"_s);
    query.addQueryItem(u"num"_s, QString::number(SiteCount));
    first.setQuery(query);
    return GeneratedReply(first);
}

} // namespace

class TestCliSiteDb : public QObject {
    Q_OBJECT

    ProxyWeb web;
    QTemporaryDir home;

    CliResult Cli(const QStringList& args) { return Cli(home.path(), args); }
    // Without the fake web as proxy the command is offline: the proxy refuses every connection.
    CliResult Cli(const QString& programFolder, const QStringList& args, bool online = true)
    {
        // The fake web answers in this process, so the command runs while the event loop serves it.
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QUORVEX_HOME"_s, programFolder);
        env.insert(u"http_proxy"_s, online ? web.ProxyUrl() : u"http://127.0.0.1:9"_s);
        process.setProcessEnvironment(env);
        process.start(BinFolder() + u"/quorvex-cli"_s, args);
        process.closeWriteChannel();
        [&] { QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 60000); }();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    QList<SiteRow> Rows(const QString& programFolder = {})
    {
        SiteDatabase database(DatabasePath(programFolder.isEmpty() ? home.path() : programFolder));
        QList<SiteRow> rows;
        if (!database.ReadSearchTable(u"web_design"_s, rows))
            qWarning() << database.LastError();
        return rows;
    }

private Q_SLOTS:
    // One program folder for the whole run: collected and extracted once, then read and maintained.
    void initTestCase()
    {
        web.SetFallback(&FewSites);
        const CliResult collect = Cli({u"sitedb"_s, u"collect"_s, u"Web Design"_s, u"--category"_s, u"business"_s});
        QVERIFY2(collect.ExitCode == 0, qPrintable(collect.Err));
        QVERIFY(collect.Err.contains(u"progress "_s));
    }

    void collectThenExtractAllFillTheTable()
    {
        QCOMPARE(Rows().size(), SiteCount);
        const CliResult refused = Cli({u"sitedb"_s, u"extract"_s, u"web design"_s});
        QCOMPARE(refused.ExitCode, 1);
        QVERIFY(refused.Err.contains(u"Extract Title,Description,Keyword,PR,Alexa now ?"_s));

        const CliResult all =
            Cli({u"sitedb"_s, u"extract"_s, u"web design"_s, u"--span"_s, u"3"_s, u"--all"_s, u"--yes"_s});
        QVERIFY2(all.ExitCode == 0, qPrintable(all.Err));
        QCOMPARE(all.Err.count(u"Time consuming"_s), 3);
        QVERIFY(!all.Err.contains(u"\\x0d"_s));
        for (const SiteRow& row : Rows()) {
            QVERIFY(row.PR && row.Alexa && row.Title && !row.Title->isEmpty());
        }
        SiteDatabase database(DatabasePath(home.path()));
        std::optional<MasterRow> master;
        QVERIFY(database.FindMaster(u"web design"_s, master) && master);
        QCOMPARE(master->SearchNum, SqlText(u"%1/%2"_s.arg(SiteCount + 1).arg(SiteCount)));
        QVERIFY(QDate::fromString(master->SearchDate.value_or(QString()), u"yyyy-MM-dd"_s).isValid());

        const CliResult nothingLeft = Cli({u"sitedb"_s, u"extract"_s, u"web design"_s, u"--yes"_s});
        QCOMPARE(nothingLeft.ExitCode, 1);
        QVERIFY(nothingLeft.Err.contains(u"You have extracted all title information from 'web_design' table !"_s));
    }

    // Offline, a collection writes nothing and an extraction stores nothing it did not read: the
    // keyword keeps its sites and its progress, and --all ends once a batch reads nothing.
    void offlineRunsKeepTheTable()
    {
        QTemporaryDir own;
        QCOMPARE(Cli(own.path(), {u"sitedb"_s, u"collect"_s, u"web design"_s, u"--category"_s, u"business"_s}).ExitCode,
                 0);
        const QList<SiteRow> before = Rows(own.path());
        QCOMPARE(before.size(), SiteCount);
        const auto progress = [&] {
            SiteDatabase database(DatabasePath(own.path()));
            std::optional<MasterRow> master;
            return database.FindMaster(u"web design"_s, master) && master ? master->SearchNum : std::nullopt;
        };

        const CliResult collect =
            Cli(own.path(), {u"--yes"_s, u"sitedb"_s, u"collect"_s, u"web design"_s, u"--category"_s, u"business"_s},
                false);
        QCOMPARE(collect.ExitCode, 1);
        QVERIFY2(collect.Err.contains(u"No URL has been gotten for 'web_design' table, nothing was written !"_s),
                 qPrintable(collect.Err));
        QCOMPARE(Rows(own.path()), before);
        QCOMPARE(progress(), SqlText(u"1/%1"_s.arg(SiteCount)));

        for (const QStringList& extract :
             {QStringList{u"sitedb"_s, u"extract"_s, u"web design"_s, u"--yes"_s},
              QStringList{u"sitedb"_s, u"extract"_s, u"web design"_s, u"--yes"_s, u"--all"_s, u"--span"_s, u"3"_s}}) {
            const CliResult offline = Cli(own.path(), extract, false);
            QCOMPARE(offline.ExitCode, 3);
            QVERIFY2(offline.Err.contains(u"Failed values : "_s), qPrintable(offline.Err));
            QCOMPARE(offline.Err.count(u"Time consuming"_s), 1);
            QCOMPARE(Rows(own.path()), before);
            QCOMPARE(progress(), SqlText(u"1/%1"_s.arg(SiteCount)));
        }
    }

    // A source that refuses the key: nothing it failed to give is stored, the message counts the
    // values, the exit code says that values failed, and the progress still reaches its end.
    void failedValuesExitWithThree()
    {
        QTemporaryDir own;
        QCOMPARE(Cli(own.path(), {u"sitedb"_s, u"collect"_s, u"web design"_s, u"--category"_s, u"business"_s}).ExitCode,
                 0);
        QCOMPARE(Cli(own.path(), {u"source"_s, u"authority"_s, u"openpagerank"_s, u"--key"_s, u"bad-key"_s,
                                  u"--endpoint"_s, u"http://openpagerank.com/api/v1.0/getPageRank"_s})
                     .ExitCode,
                 0);
        const CliResult extract =
            Cli(own.path(), {u"sitedb"_s, u"extract"_s, u"web design"_s, u"--only"_s, u"pr"_s, u"--yes"_s});
        QCOMPARE(extract.ExitCode, 3);
        QVERIFY2(extract.Err.contains(u"Failed values : %1 (openpagerank: the service refused the key (HTTP 401): "
                                      "Unauthorized)"_s.arg(SiteCount)),
                 qPrintable(extract.Err));
        for (const SiteRow& row : Rows(own.path()))
            QVERIFY(!row.PR);
        QStringList lines = extract.Err.split(u'\n');
        lines.removeIf([](const QString& line) { return !line.startsWith(u"progress "_s); });
        QVERIFY(!lines.isEmpty());
        const QStringList last = lines.last().mid(9).split(u'/');
        QCOMPARE(last.first(), last.last());
    }

    void keywordsAndSitesShowTheTable()
    {
        const CliResult keywords = Cli({u"sitedb"_s, u"keywords"_s});
        QCOMPARE(keywords.ExitCode, 0);
        QCOMPARE(
            keywords.Out.split(u'\n').at(1).split(u'\t').mid(0, 4),
            (QStringList{u"web design"_s, u"business"_s, QString::number(SiteCount + 1), QString::number(SiteCount)}));
        const QJsonArray master =
            QJsonDocument::fromJson(Cli({u"sitedb"_s, u"keywords"_s, u"--json"_s}).Out.toUtf8()).array();
        QCOMPARE(master.size(), 1);
        QCOMPARE(master.at(0)[u"category"_s].toString(), u"business"_s);
        QCOMPARE(master.at(0)[u"updated"_s].toString(), u"N"_s);

        const QList<SiteRow> rows = Rows();
        const CliResult sites = Cli({u"sitedb"_s, u"sites"_s, u"web design"_s});
        QCOMPARE(sites.ExitCode, 0);
        const QStringList lines = sites.Out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), SiteCount + 1);
        QCOMPARE(lines.first(), u"ID\tURL\tTitle\tDescription\tKeyword\tPR\tAlexa"_s);
        const QStringList first = lines.at(1).split(u'\t');
        QCOMPARE(first.at(0), u"1"_s);
        QCOMPARE(first.at(1), *rows.first().URL);
        // The traffic rank as the window shows it: grouped by thousands.
        QCOMPARE(first.at(6), QLocale(QLocale::English).toString(rows.first().Alexa->toLongLong()));

        const QJsonArray json =
            QJsonDocument::fromJson(Cli({u"sitedb"_s, u"sites"_s, u"web design"_s, u"--json"_s}).Out.toUtf8()).array();
        QCOMPARE(json.size(), SiteCount);
        QCOMPARE(json.at(0)[u"id"_s].toInt(), 1);
        QCOMPARE(json.at(0)[u"url"_s].toString(), *rows.first().URL);
        QCOMPARE(json.at(0)[u"alexa"_s].toString(), first.at(6));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no subcommand") << QStringList{u"sitedb"_s};
        QTest::newRow("unknown subcommand") << QStringList{u"sitedb"_s, u"drop"_s};
        QTest::newRow("collect without category") << QStringList{u"sitedb"_s, u"collect"_s, u"seo"_s};
        QTest::newRow("sites without keyword") << QStringList{u"sitedb"_s, u"sites"_s};
        QTest::newRow("span not a number") << QStringList{u"sitedb"_s, u"extract"_s, u"seo"_s, u"--span"_s, u"x"_s};
        QTest::newRow("span zero") << QStringList{u"sitedb"_s, u"extract"_s, u"seo"_s, u"--span"_s, u"0"_s};
        QTest::newRow("only unknown") << QStringList{u"sitedb"_s, u"extract"_s, u"seo"_s, u"--only"_s, u"title,size"_s};
        QTest::newRow("base not http") << QStringList{u"sitedb"_s, u"export"_s, u"--base"_s, u"ftp://a.example/"_s};
        QTest::newRow("option of another") << QStringList{u"sitedb"_s, u"scan"_s, u"--json"_s};
        QTest::newRow("extra argument") << QStringList{u"sitedb"_s, u"compact"_s, u"now"_s};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        const CliResult result = Cli(args);
        QCOMPARE(result.ExitCode, 2);
        QVERIFY(result.Out.isEmpty());
        QVERIFY2(result.Err.contains(u"Usage: quorvex-cli sitedb"_s), qPrintable(result.Err));
    }

    void unknownKeywordIsRefused()
    {
        const CliResult result = Cli({u"sitedb"_s, u"sites"_s, u"garden tools"_s});
        QCOMPARE(result.ExitCode, 1);
        QVERIFY(result.Err.contains(u"'garden_tools' table is not exists"_s));
    }

    void recoverWithoutCopyChangesNothing()
    {
        const CliResult result = Cli({u"sitedb"_s, u"recover"_s, u"--yes"_s});
        QCOMPARE(result.ExitCode, 1);
        QVERIFY(result.Err.contains(u"No data can be recovered !"_s));
        QCOMPARE(Rows().size(), SiteCount);
    }

    void scanReportPrintsTheHeadings()
    {
        const CliResult result = Cli({u"sitedb"_s, u"scan"_s, u"--report"_s});
        QVERIFY2(result.ExitCode == 0, qPrintable(result.Err));
        QFile report(home.filePath(u"Database/ScanReport.txt"_s));
        QVERIFY(report.open(QIODevice::ReadOnly));
        QString written = QString::fromUtf8(report.readAll());
        QCOMPARE(result.Out, written.replace(u"\r\n"_s, u"\n"_s));
        QVERIFY(result.Out.contains(u"/web design/business"_s));
    }

    void compactKeepsTheRows()
    {
        const QList<SiteRow> before = Rows();
        const CliResult result = Cli({u"sitedb"_s, u"compact"_s});
        QVERIFY2(result.ExitCode == 0, qPrintable(result.Err));
        QVERIFY(result.Err.contains(u"You have compacted database !"_s));
        QCOMPARE(Rows(), before);
    }

    // Last: the export publishes the keyword and takes its copy, which recovery then puts back.
    void exportWritesTheIndexAndRecoveryPutsTheTableBack()
    {
        const QList<SiteRow> before = Rows();
        const CliResult result = Cli({u"sitedb"_s, u"export"_s, u"--base"_s, u"http://dir.example/sites/"_s});
        QVERIFY2(result.ExitCode == 0, qPrintable(result.Err));
        const QString index = home.filePath(u"Database/WebSiteRankList.htm"_s);
        QCOMPARE(result.Out, index + u'\n');
        QFile page(index);
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.readAll().contains("http://dir.example/sites/"));
        QVERIFY(QFile::exists(home.filePath(u"Database/QuorvexBack.mdb"_s)));

        QCOMPARE(Cli({u"sitedb"_s, u"recover"_s}).ExitCode, 1); // nobody answers the question
        QCOMPARE(Cli({u"sitedb"_s, u"recover"_s, u"--yes"_s}).ExitCode, 0);
        QCOMPARE(Rows(), before);
    }
};

QUORVEX_TEST_MAIN_CORE(TestCliSiteDb)
#include "test_cli_sitedb.moc"
