// quorvex-cli source traffic with its lists: a ZIP read whole, a mostly-junk file refused unless
// --force, the bounds of a list download with their setting and progress, Ctrl+C during a
// download, and a damaged lists' file named as such.

#include "CliRunner.h"
#include "FakeWeb.h"
#include "sources/RankListStore.h"
#include "support/FileDamage.h"

#include <QDir>
#include <QFile>

#include <csignal>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray Generated(int rows)
{
    QByteArray text;
    for (int i = 1; i <= rows; ++i)
        text += QByteArray::number(i) + ",site" + QByteArray::number(i) + ".example\n";
    return text;
}

QString Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A deflated ZIP holding one CSV, as the list sites offer them.
QByteArray Zipped(const QByteArray& csv)
{
    QTemporaryDir scratch;
    const QString path = scratch.filePath(u"list.zip"_s);
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    zip_source_t* source = archive ? zip_source_buffer(archive, csv.constData(), zip_uint64_t(csv.size()), 0) : nullptr;
    if (!source || zip_file_add(archive, "top-1m.csv", source, 0) < 0 || zip_close(archive) != 0)
        qFatal("cannot make the ZIP");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the ZIP");
    return file.readAll();
}

std::optional<RankListInfo> Tranco(const QString& home)
{
    return RankListStore(RankListsPath(home)).Info(RankListKind::Tranco);
}

} // namespace

class TestCliRankLists : public QObject {
    Q_OBJECT

    FakeWeb web;

    // Starts quorvex-cli with the fake web as its proxy; the test's event loop keeps serving meanwhile.
    std::unique_ptr<QProcess> StartCli(const QString& home, const QStringList& args)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QUORVEX_HOME"_s, home);
        env.insert(u"http_proxy"_s, web.ProxyUrl());
        process->setProcessEnvironment(env);
        process->start(BinFolder() + u"/quorvex-cli"_s, args);
        process->closeWriteChannel();
        return process;
    }
    // Runs quorvex-cli to its end while the fake web answers.
    CliResult Run(const QString& home, const QStringList& args)
    {
        const auto process = StartCli(home, args);
        if (!QTest::qWaitFor([&] { return process->state() == QProcess::NotRunning; }, 30000))
            qWarning("quorvex-cli did not end");
        return {process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
                QString::fromUtf8(process->readAllStandardOutput()),
                QString::fromUtf8(process->readAllStandardError())};
    }
    static QStringList Leftovers(const QString& home)
    {
        return QDir(home).entryList({u"RankListDownload-*"_s}, QDir::Files | QDir::Hidden);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(web.Listen()); }

    // The ZIP the list site offers, from a file and from its address, is read to its last row.
    void zipListImportedWhole()
    {
        QTemporaryDir home;
        const QByteArray zip = Zipped(Generated(5000));
        const QString file = Write(home.filePath(u"top-1m.csv.zip"_s), zip);
        CliResult result = RunQuorvexCli(home.path(), {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, file});
        QCOMPARE(result.ExitCode, 0);
        QVERIFY2(result.Err.contains(u": 5,000 domains."_s), qPrintable(result.Err));
        QCOMPARE(Tranco(home.path())->Rows, 5000);

        CannedReply reply;
        reply.Body = zip;
        reply.ContentType = "application/zip";
        web.AddRoute(u"http://lists.example/top-1m.csv.zip"_s, reply);
        result = Run(home.path(),
                     {u"source"_s, u"traffic"_s, u"majestic"_s, u"--list"_s, u"http://lists.example/top-1m.csv.zip"_s});
        // The same rows are no majestic list; as tranco they are.
        QCOMPARE(result.ExitCode, 1);
        result = Run(home.path(),
                     {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, u"http://lists.example/top-1m.csv.zip"_s});
        QCOMPARE(result.ExitCode, 0);
        QVERIFY2(result.Err.contains(u": 5,000 domains."_s), qPrintable(result.Err));
        QCOMPARE(Tranco(home.path())->Source, u"http://lists.example/top-1m.csv.zip"_s);
    }

    // A file of junk lines and one row does not replace a list; --force imports it all the same.
    void junkRefusedUnlessForced()
    {
        QTemporaryDir home;
        const QString good = Write(home.filePath(u"tranco_GOOD1.csv"_s), Generated(220));
        QCOMPARE(RunQuorvexCli(home.path(), {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, good}).ExitCode, 0);
        const QString junk = Write(home.filePath(u"tranco_JUNK2.csv"_s),
                                   QByteArray(1 << 20, 'x').append('\n').repeated(20) + "1,a.example\n");

        CliResult result = RunQuorvexCli(home.path(), {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, junk});
        QCOMPARE(result.ExitCode, 1);
        QVERIFY2(result.Err.contains(u"progress 20/21 MiB read\n"_s), qPrintable(result.Err));
        QVERIFY2(result.Err.endsWith(u"\nquorvex-cli: tranco_JUNK2.csv is refused: 20 of its 21 non-blank lines are "
                                     "not rows of a tranco list (more than 1%). Give --force to import it anyway.\n"_s),
                 qPrintable(result.Err));
        QCOMPARE(Tranco(home.path())->Id, u"GOOD1"_s);
        QVERIFY(RunQuorvexCli(home.path(), {u"source"_s}).Out.contains(u"traffic: tranco, list "_s + good + u'\n'));

        result = RunQuorvexCli(home.path(), {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, junk, u"--force"_s});
        QCOMPARE(result.ExitCode, 0);
        QVERIFY2(result.Err.contains(u"20 lines that are not rows were skipped."_s), qPrintable(result.Err));
        QCOMPARE(Tranco(home.path())->Id, u"JUNK2"_s);
        QCOMPARE(RunQuorvexCli(home.path(), {u"source"_s, u"search"_s, u"historical"_s, u"--force"_s}).ExitCode, 2);
    }

    // The setting bounds a download that would never end; the download shows how far it came, its
    // temporary file goes, the earlier list stays.
    void downloadBoundedBySetting()
    {
        QTemporaryDir home;
        const QString good = Write(home.filePath(u"tranco_GOOD1.csv"_s), Generated(220));
        QCOMPARE(RunQuorvexCli(home.path(), {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, good}).ExitCode, 0);
        QVERIFY(RunQuorvexCli(home.path(), {u"source"_s})
                    .Out.contains(u"list downloads: at most 256 MiB, 10 minutes, 30 seconds without data\n"_s));
        for (const QString& wrong : {u"0"_s, u"-3"_s, u"2049"_s, u"many"_s, u"1.5"_s}) {
            const CliResult refused =
                RunQuorvexCli(home.path(), {u"set"_s, u"--"_s, u"list-download-max-mib"_s, wrong});
            QCOMPARE(refused.ExitCode, 2);
            QVERIFY2(refused.Err.contains(u"a whole number of MiB from 1 to 2048"_s), qPrintable(refused.Err));
        }
        QCOMPARE(RunQuorvexCli(home.path(), {u"set"_s, u"list-download-max-mib"_s, u"2"_s}).ExitCode, 0);
        QVERIFY(RunQuorvexCli(home.path(), {u"source"_s}).Out.contains(u"list downloads: at most 2 MiB, "_s));

        CannedReply endless;
        endless.Kind = CannedReply::Behaviour::Endless;
        web.AddRoute(u"http://lists.example/endless.csv"_s, endless);
        const CliResult result = Run(
            home.path(), {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, u"http://lists.example/endless.csv"_s});
        QCOMPARE(result.ExitCode, 1);
        QVERIFY2(result.Err.contains(u"progress 1 MiB downloaded\n"_s), qPrintable(result.Err));
        QVERIFY2(result.Err.endsWith(u"quorvex-cli: http://lists.example/endless.csv is larger than 2 MiB, the most a "
                                     "list download may be (the setting list-download-max-mib raises it).\n"_s),
                 qPrintable(result.Err));
        QCOMPARE(Leftovers(home.path()), QStringList{});
        QCOMPARE(Tranco(home.path())->Id, u"GOOD1"_s);
        QVERIFY(RunQuorvexCli(home.path(), {u"source"_s}).Out.contains(u"traffic: tranco, list /"_s));
    }

    // Ctrl+C ends a download that goes, with its temporary file; nothing is imported. (The file has
    // no name in the folder until the download is complete, so it is seen only as left or not.)
    void interruptEndsTheDownload()
    {
        QTemporaryDir home;
        CannedReply drip;
        drip.Kind = CannedReply::Behaviour::Drip;
        drip.DripMs = 100;
        web.AddRoute(u"http://lists.example/drip.csv"_s, drip);
        const qsizetype before = web.Requests().size();
        const auto cli = StartCli(
            home.path(), {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, u"http://lists.example/drip.csv"_s});
        QTRY_VERIFY_WITH_TIMEOUT(web.Requests().size() > before, 10000);
        QTest::qWait(500);
        ::kill(pid_t(cli->processId()), SIGINT);
        QTRY_COMPARE_WITH_TIMEOUT(cli->state(), QProcess::NotRunning, 10000);
        QCOMPARE(cli->exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli->exitCode(), 1);
        QVERIFY(QString::fromUtf8(cli->readAllStandardError())
                    .endsWith(u"quorvex-cli: The download of http://lists.example/drip.csv was cancelled.\n"_s));
        QCOMPARE(Leftovers(home.path()), QStringList{});
        QVERIFY(!Tranco(home.path()));
    }

    // A damaged lists' file is an error of `source`, named; it is not taken for a missing list.
    void damagedListFileNamed()
    {
        QTemporaryDir home;
        const QString good = Write(home.filePath(u"tranco_GOOD1.csv"_s), Generated(220));
        QCOMPARE(RunQuorvexCli(home.path(), {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, good}).ExitCode, 0);
        OverwriteBytes(RankListsPath(home.path()), 4096, QByteArray(4096, '\0'));
        const CliResult result = RunQuorvexCli(home.path(), {u"source"_s});
        QCOMPARE(result.ExitCode, 1);
        QVERIFY(result.Out.contains(u"traffic: tranco"_s));
        QCOMPARE(result.Err, u"quorvex-cli: RankLists.db is damaged: database disk image is malformed\n"_s);
    }
};

QUORVEX_TEST_MAIN_CORE(TestCliRankLists)
#include "test_cli_rank_lists.moc"
