// The sources' settings: the checks of a change, the scrambled store, a service's own key kept,
// and quorvex-cli source with its keys masked.

#include "../cli/CliRunner.h"
#include "base/SettingsStore.h"
#include "sources/RankListStore.h"
#include "sources/SourceSettings.h"
#include "support/TestHome.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

SourceChange Change(SourceColumn column, const QString& source)
{
    SourceChange change;
    change.Column = column;
    change.Source = source;
    return change;
}

} // namespace

class TestSourceSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusals_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<QString>("depth");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("refusal");
        const int search = int(SourceColumn::Search);
        const int authority = int(SourceColumn::Authority);
        const int traffic = int(SourceColumn::Traffic);
        const QString none;
        QTest::newRow("unknown") << search << u"bing"_s << none << none << none << none << u"Unknown search source"_s;
        QTest::newRow("no key") << search << u"serpapi"_s << none << none << none << none << u"needs a key"_s;
        QTest::newRow("empty key") << authority << u"openpagerank"_s << u""_s << none << none << none
                                   << u"needs a key"_s;
        QTest::newRow("key with a line break")
            << search << u"brave"_s << u"abc\r\nX-Evil: 1"_s << none << none << none << u"printable characters only"_s;
        QTest::newRow("ftp endpoint") << search << u"serper"_s << u"key12345"_s << u"ftp://a.example/"_s << none << none
                                      << u"absolute http or https"_s;
        QTest::newRow("relative endpoint") << authority << u"openpagerank"_s << u"key12345"_s << u"/api"_s << none
                                           << none << u"absolute http or https"_s;
        QTest::newRow("instance without address")
            << search << u"searxng"_s << none << none << none << none << u"address of your own instance"_s;
        QTest::newRow("instance with a key")
            << search << u"searxng"_s << u"k"_s << u"http://s.example/search"_s << none << none << u"takes no key"_s;
        for (const char* depth : {"0", "30", "200", "ten", ""})
            QTest::addRow("depth %s", depth) << search << u"serpapi"_s << u"key12345"_s << none
                                             << QString::fromLatin1(depth) << none << u"10, 20, 50 or 100"_s;
        QTest::newRow("historical with key")
            << search << u"historical"_s << u"k"_s << none << none << none << u"takes no key"_s;
        QTest::newRow("missing list file")
            << traffic << u"tranco"_s << none << none << none << u"/no/such/list.csv"_s << u"readable file"_s;
        QTest::newRow("traffic with key")
            << traffic << u"majestic"_s << u"k"_s << none << none << none << u"takes no key"_s;
    }
    void refusals()
    {
        QFETCH(int, column);
        QFETCH(QString, source);
        QFETCH(QString, key);
        QFETCH(QString, endpoint);
        QFETCH(QString, depth);
        QFETCH(QString, list);
        QFETCH(QString, refusal);
        SettingsStore store(QDir(qEnvironmentVariable("QUORVEX_HOME")).filePath(u"Refusals.db"_s));
        QVERIFY(store.Load());
        SourceSettings settings;
        settings.Search.Depth = 20;
        const SourceSettings before = settings;
        SourceChange change = Change(SourceColumn(column), source);
        change.Key = key;
        change.Endpoint = endpoint;
        change.Depth = depth;
        change.List = list;
        const QString said = ApplySourceChange(settings, store, change);
        QVERIFY2(said.contains(refusal), qPrintable(said));
        QCOMPARE(settings.Search.Depth, before.Search.Depth);
        QCOMPARE(settings.Search.Kind, before.Search.Kind);
        QCOMPARE(settings.Authority.Kind, before.Authority.Kind);
        QCOMPARE(settings.Traffic.Kind, before.Traffic.Kind);
    }

    void storedScrambledAndEachServiceKeepsItsKey()
    {
        const QString path = QDir(qEnvironmentVariable("QUORVEX_HOME")).filePath(u"Kept.db"_s);
        const QString serpKey = u"serp-key-PLAIN-1111"_s;
        {
            SettingsStore store(path);
            QVERIFY(store.Load());
            SourceSettings settings = LoadSourceSettings(store);
            QCOMPARE(settings.Search.Kind, SearchSourceKind::Historical);
            QCOMPARE(settings.Search.Depth, 100);
            SourceChange change = Change(SourceColumn::Search, u"serpapi"_s);
            change.Key = serpKey;
            change.Depth = u"50"_s;
            QCOMPARE(ApplySourceChange(settings, store, change), QString());
            QVERIFY(SaveSourceSettings(settings, store, SourceColumn::Search));
            change = Change(SourceColumn::Search, u"brave"_s);
            change.Key = u"brave-key-2222"_s;
            QCOMPARE(ApplySourceChange(settings, store, change), QString());
            QVERIFY(SaveSourceSettings(settings, store, SourceColumn::Search));
            // Back to serpapi without a key: its own key is found again.
            QCOMPARE(ApplySourceChange(settings, store, Change(SourceColumn::Search, u"serpapi"_s)), QString());
            QCOMPARE(settings.Search.Key, serpKey);
            QVERIFY(SaveSourceSettings(settings, store, SourceColumn::Search));
        }
        SettingsStore store(path);
        QVERIFY(store.Load());
        const SourceSettings loaded = LoadSourceSettings(store);
        QCOMPARE(loaded.Search.Kind, SearchSourceKind::SerpApi);
        QCOMPARE(loaded.Search.Key, serpKey);
        QCOMPARE(loaded.Search.Depth, 50);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.contains(serpKey.toLatin1()));
        QVERIFY(!bytes.contains("serpapi"));
    }

    void cliShowsKeysMasked()
    {
        QTemporaryDir home;
        CliResult set = RunQuorvexCli(home.path(), {u"source"_s, u"search"_s, u"serpapi"_s, u"--key"_s,
                                                    u"abcdefgh1234"_s, u"--depth"_s, u"20"_s});
        QCOMPARE(set.ExitCode, 0);
        set = RunQuorvexCli(home.path(), {u"source"_s, u"authority"_s, u"openpagerank"_s, u"--key"_s, u"short"_s,
                                          u"--endpoint"_s, u"http://127.0.0.1:9/opr"_s});
        QCOMPARE(set.ExitCode, 0);
        const CliResult refused = RunQuorvexCli(home.path(), {u"source"_s, u"search"_s, u"brave"_s});
        QCOMPARE(refused.ExitCode, 1);
        QVERIFY(refused.Err.contains(u"needs a key"_s));
        const CliResult shown = RunQuorvexCli(home.path(), {u"source"_s});
        QCOMPARE(shown.ExitCode, 0);
        QCOMPARE(shown.Out,
                 u"search: serpapi, endpoint https://serpapi.com/search.json (default), depth 20, key ****1234\n"
                 "authority: openpagerank, endpoint http://127.0.0.1:9/opr, key ****\n"
                 "traffic: historical\n"
                 "list downloads: at most 256 MiB, 10 minutes, 30 seconds without data\n"_s);
        const CliResult brave =
            RunQuorvexCli(home.path(), {u"source"_s, u"search"_s, u"brave"_s, u"--key"_s, u"brave-key-9876"_s});
        QCOMPARE(brave.ExitCode, 0);
        QVERIFY(brave.Out.contains(u"Brave's own index"_s));
        QVERIFY(!brave.Out.contains(u"brave-key-9876"_s));
    }

    // The key given without the command line, where no other user can read it: from standard
    // input, from a file or from the environment. An empty key, or "-" itself, is never stored.
    void cliTakesTheKeyWithoutTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("file"); // the key file's content; the file is named by KEYFILE
        QTest::addColumn<QString>("environment");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("shown"); // the search line of 'source' afterwards, or a part of it

        const QStringList serpapi{u"search"_s, u"serpapi"_s};
        const QString unchanged = u"search: historical"_s;
        QTest::newRow("standard input") << serpapi + QStringList{u"--key"_s, u"-"_s} << QByteArray(" stdin-key-1111\n")
                                        << QByteArray() << QString() << 0 << u"key ****1111"_s;
        QTest::newRow("a file") << serpapi + QStringList{u"--key-file"_s, u"KEYFILE"_s} << QByteArray()
                                << QByteArray("file-key-2222\n") << QString() << 0 << u"key ****2222"_s;
        QTest::newRow("the environment") << serpapi << QByteArray() << QByteArray() << u"env-key-3333"_s << 0
                                         << u"key ****3333"_s;
        QTest::newRow("--key before the environment")
            << serpapi + QStringList{u"--key"_s, u"cmd-key-4444"_s} << QByteArray() << QByteArray() << u"env-key-3333"_s
            << 0 << u"key ****4444"_s;
        QTest::newRow("the environment, a source without a key")
            << QStringList{u"search"_s, u"searxng"_s, u"--endpoint"_s, u"http://127.0.0.1:9/s"_s} << QByteArray()
            << QByteArray() << u"env-key-3333"_s << 0 << u"search: searxng"_s;
        QTest::newRow("empty standard input") << serpapi + QStringList{u"--key"_s, u"-"_s} << QByteArray("\n")
                                              << QByteArray() << QString() << 1 << unchanged;
        QTest::newRow("empty file") << serpapi + QStringList{u"--key-file"_s, u"KEYFILE"_s} << QByteArray()
                                    << QByteArray("") << QString() << 1 << unchanged;
        QTest::newRow("missing file") << serpapi + QStringList{u"--key-file"_s, u"/nonexistent/key"_s} << QByteArray()
                                      << QByteArray() << QString() << 1 << unchanged;
        QTest::newRow("--key and --key-file")
            << serpapi + QStringList{u"--key"_s, u"k-5555"_s, u"--key-file"_s, u"KEYFILE"_s} << QByteArray()
            << QByteArray("file-key-2222\n") << QString() << 2 << unchanged;
    }
    void cliTakesTheKeyWithoutTheCommandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, file);
        QFETCH(QString, environment);
        QFETCH(int, exitCode);
        QFETCH(QString, shown);
        QTemporaryDir home;
        QTemporaryDir elsewhere;
        const QString keyFile = elsewhere.filePath(u"key"_s);
        if (!file.isNull()) {
            QFile key(keyFile);
            QVERIFY(key.open(QIODevice::WriteOnly));
            key.write(file);
        }
        args.replaceInStrings(u"KEYFILE"_s, keyFile);
        QProcessEnvironment env;
        if (!environment.isEmpty())
            env.insert(u"QUORVEX_KEY"_s, environment);
        const CliResult result = RunQuorvexCli(home.path(), QStringList{u"source"_s} + args, input, env);
        QVERIFY2(result.ExitCode == exitCode, qPrintable(result.Err));
        QVERIFY(!result.Err.contains(u"stdin-key"_s) && !result.Err.contains(u"file-key"_s));
        const QString search = RunQuorvexCli(home.path(), {u"source"_s}).Out.section(u'\n', 0, 0);
        QVERIFY2(search.contains(shown), qPrintable(search));
    }

    // Choosing a list imports it before the choice is kept; a file that is no rank list changes nothing.
    void cliImportsTheTrafficList()
    {
        QTemporaryDir home;
        const QString list = home.filePath(u"tranco_T3ST1.csv"_s);
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1,google.com\r\n2,bbc.co.uk\r\n3,example.org\r\n");
        file.close();
        const CliResult imported =
            RunQuorvexCli(home.path(), {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, list});
        QCOMPARE(imported.ExitCode, 0);
        QVERIFY2(imported.Out.startsWith(u"traffic: tranco"_s), qPrintable(imported.Out));
        const std::optional<RankListInfo> info = RankListStore(RankListsPath(home.path())).Info(RankListKind::Tranco);
        QVERIFY(info);
        QCOMPARE(info->Rows, 3);
        QCOMPARE(info->Id, u"T3ST1"_s);

        const QString other = home.filePath(u"notes.txt"_s);
        QFile notes(other);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("no ranks here\n");
        notes.close();
        const CliResult refused =
            RunQuorvexCli(home.path(), {u"source"_s, u"traffic"_s, u"majestic"_s, u"--list"_s, other});
        QCOMPARE(refused.ExitCode, 1);
        QVERIFY(RunQuorvexCli(home.path(), {u"source"_s}).Out.contains(u"traffic: tranco"_s));
        QCOMPARE(RankListStore(RankListsPath(home.path())).Info(RankListKind::Tranco)->Rows, 3);
    }
};

QUORVEX_TEST_MAIN_CORE(TestSourceSettings)
#include "test_source_settings.moc"
