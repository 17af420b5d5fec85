#include "CliRunner.h"

#include "FakeWeb.h"
#include "base/Sqlite.h"
#include "support/ProxyWeb.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QUrlQuery>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

CannedReply Answer(const QUrl& url)
{
    CannedReply reply;
    if (url.path() == QLatin1String("/tbr")) {
        reply.Body = "Rank_1:1:4\n";
    } else if (url.path().startsWith(QLatin1String("/siteinfo/"))) {
        reply.Body = "<div class=\"data down\">98765</a>";
    } else if (url.path() == QLatin1String("/search")) {
        reply.Body = "<html><body><cite>www.example.com/ - 3k - </cite><a href=/x>Similar pages</a></body></html>";
    } else {
        reply.Body = "<html><head><title>Example</title></head></html>";
    }
    return reply;
}

} // namespace

class TestCliRank : public QObject {
    Q_OBJECT

    ProxyWeb web;

    // Starts quorvex-cli with the fake web as its proxy; the test's event loop keeps serving meanwhile.
    std::unique_ptr<QProcess> StartCli(const QString& home, const QStringList& args, const QString& proxy = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUORVEX_HOME"), home);
        env.insert(QStringLiteral("http_proxy"), proxy.isEmpty() ? web.ProxyUrl() : proxy);
        process->setProcessEnvironment(env);
        process->start(BinFolder() + QStringLiteral("/quorvex-cli"), args);
        process->closeWriteChannel();
        return process;
    }

private Q_SLOTS:
    void initTestCase() { web.SetFallback(Answer); }

    void rankWritesTheReportAndPrintsItsPath()
    {
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"example.com"_s}).ExitCode, 0);
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-keyword"_s, u"example.com"_s, u"seo"_s}).ExitCode, 0);
        auto cli = StartCli(home.path(), {u"rank"_s, u"--verbose"_s});
        QTRY_COMPARE_WITH_TIMEOUT(cli->state(), QProcess::NotRunning, 30000);
        QCOMPARE(cli->exitCode(), 0);
        const QString index = home.filePath(QStringLiteral("Report/Index.htm"));
        QCOMPARE(QString::fromUtf8(cli->readAllStandardOutput()), index + QLatin1Char('\n'));
        const QString err = QString::fromUtf8(cli->readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("progress 1/")), qPrintable(err));
        // 3 steps for the page (its summary not asked for), 4 for the keyword, 1 for the maker's page.
        QCOMPARE(err.split(u'\n').filter(QRegularExpression(u"^progress "_s)).last(), u"progress 8/8"_s);
        QVERIFY(err.contains(QStringLiteral("Quorvex got Google Page Rank ...")));
        QVERIFY(QFile::exists(index));
        QDir reports(home.filePath(QStringLiteral("Report")));
        const QStringList days = reports.entryList({QStringLiteral("Report2*.htm")});
        QCOMPARE(days.size(), 1);
        QFile report(reports.filePath(days.first()));
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QByteArray html = report.readAll();
        QVERIFY(html.contains("<B>4/10</B>"));
        QVERIFY(html.contains("<B>98,765</B>"));
        QVERIFY(html.contains("<B>1</B>")); // the keyword's position
    }

    // A report was written, but the traffic-rank service refused: exit 3 and the count on standard error
    // (the PageRank query, the traffic-rank page and the product page are the three requests).
    void partlyFailedRunEndsWithThree()
    {
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"example.com"_s}).ExitCode, 0);
        web.SetFallback([](const QUrl& url) {
            CannedReply reply = Answer(url);
            if (url.path().startsWith(QLatin1String("/siteinfo/")))
                reply.Status = 503;
            return reply;
        });
        auto cli = StartCli(home.path(), {u"rank"_s});
        QTRY_COMPARE_WITH_TIMEOUT(cli->state(), QProcess::NotRunning, 30000);
        web.SetFallback(Answer);
        QCOMPARE(cli->exitCode(), 3);
        const QString err = QString::fromUtf8(cli->readAllStandardError());
        QVERIFY2(err.contains(u"Quorvex completed: 3 requests, 1 failed"_s), qPrintable(err));
        QVERIFY(QFile::exists(home.filePath(QStringLiteral("Report/Index.htm"))));
    }

    // A scheduled run must not lose its history without a word: the report is written, the reason
    // is told, and the exit code is 1.
    void aRunTheHistoryCouldNotKeepEndsWithOne_data()
    {
        QTest::addColumn<QByteArray>("file"); // History.db's bytes; empty: a folder in its place
        QTest::newRow("a folder in its place") << QByteArray();
        QTest::newRow("a damaged file") << QByteArray("SQLite format 3").append(4096, '\xa5');
        QByteArray newer;
        {
            QTemporaryDir dir;
            const QString path = dir.filePath(u"newer.db"_s);
            {
                SqliteConnection db(path, SqliteConnection::Mode::Create);
                QVERIFY(db.Execute(u"PRAGMA user_version = 99; CREATE TABLE runs (id INTEGER PRIMARY KEY)"_s));
            }
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            newer = file.readAll();
        }
        QTest::newRow("a newer layout") << newer;
    }
    void aRunTheHistoryCouldNotKeepEndsWithOne()
    {
        QFETCH(QByteArray, file);
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"example.com"_s}).ExitCode, 0);
        const QString history = home.filePath(u"History.db"_s);
        if (file.isEmpty()) {
            QVERIFY(QDir().mkpath(history));
        } else {
            QFile db(history);
            QVERIFY(db.open(QIODevice::WriteOnly) && db.write(file) == file.size());
        }
        auto cli = StartCli(home.path(), {u"rank"_s});
        QTRY_COMPARE_WITH_TIMEOUT(cli->state(), QProcess::NotRunning, 30000);
        const QString err = QString::fromUtf8(cli->readAllStandardError());
        QVERIFY2(err.contains(u"The history could not be written to "_s + history), qPrintable(err));
        QCOMPARE(cli->exitCode(), 1);
        QVERIFY(QFile::exists(home.filePath(u"Report/Index.htm"_s)));
    }

    // Every request fails: each kind says why its first one did, as today's sources do.
    void everyFailingKindSaysWhy_data()
    {
        QTest::addColumn<bool>("proxyRefuses");
        QTest::addColumn<QString>("reason");
        QTest::newRow("error status") << false << u"HTTP status 503"_s;
        QTest::newRow("proxy refuses") << true << u"the proxy %1 refused the connection"_s;
    }
    void everyFailingKindSaysWhy()
    {
        QFETCH(bool, proxyRefuses);
        QFETCH(QString, reason);
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"example.com"_s}).ExitCode, 0);
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-keyword"_s, u"example.com"_s, u"seo"_s}).ExitCode, 0);
        QCOMPARE(RunQuorvexCli(home.path(), {u"set"_s, u"extract-keyword"_s, u"on"_s}).ExitCode, 0);
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString closedProxy = u"http://127.0.0.1:%1"_s.arg(closed.serverPort());
        closed.close();
        if (proxyRefuses)
            reason = reason.arg(closedProxy.mid(7));
        web.SetFallback([](const QUrl&) {
            CannedReply reply;
            reply.Status = 503;
            return reply;
        });
        auto cli = StartCli(home.path(), {u"rank"_s}, proxyRefuses ? closedProxy : QString());
        QTRY_COMPARE_WITH_TIMEOUT(cli->state(), QProcess::NotRunning, 30000);
        web.SetFallback(Answer);
        QCOMPARE(cli->exitCode(), 3);
        const QString err = QString::fromUtf8(cli->readAllStandardError());
        QVERIFY2(err.contains(u"requests, "_s), qPrintable(err));
        for (const QString& kind : {u"authority (historical)"_s, u"traffic rank (historical)"_s,
                                    u"page summary (the page itself)"_s, u"positions (historical)"_s})
            QVERIFY2(err.contains(kind + u": "_s + reason + u'\n'), qPrintable(err));
    }

    void nothingCheckedEndsWithOne()
    {
        QTemporaryDir home;
        const CliResult result = RunQuorvexCli(home.path(), {u"rank"_s});
        QCOMPARE(result.ExitCode, 1);
        QVERIFY(result.Err.contains(QStringLiteral("You select nothing to report !")));
        QVERIFY(result.Out.isEmpty());
    }

    void interruptStopsLikeTheStopButton()
    {
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"slow.example.com"_s}).ExitCode, 0);
        web.SetFallback([](const QUrl& url) {
            CannedReply reply = Answer(url);
            reply.DelayMs = 10000;
            return reply;
        });
        const int before = int(web.Requests().size());
        auto cli = StartCli(home.path(), {u"rank"_s});
        QTRY_VERIFY_WITH_TIMEOUT(web.Requests().size() > before, 10000);
        ::kill(pid_t(cli->processId()), SIGINT);
        QTRY_COMPARE_WITH_TIMEOUT(cli->state(), QProcess::NotRunning, 10000);
        web.SetFallback(Answer);
        QCOMPARE(cli->exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli->exitCode(), 1);
        QVERIFY(QString::fromUtf8(cli->readAllStandardError()).contains(QStringLiteral("You press the stop button !")));
        QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("Report"))));
    }
};

QUORVEX_TEST_MAIN_CORE(TestCliRank)
#include "test_cli_rank.moc"
