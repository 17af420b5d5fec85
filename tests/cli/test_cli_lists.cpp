#include "CliRunner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>

class TestCliLists : public QObject {
    Q_OBJECT

    static QJsonObject ListJson(const QString& home)
    {
        const CliResult result = RunQuorvexCli(home, {QStringLiteral("list"), QStringLiteral("--json")});
        return QJsonDocument::fromJson(result.Out.toUtf8()).object();
    }

private Q_SLOTS:
    void addPageThenList()
    {
        QTemporaryDir home;
        const CliResult added = RunQuorvexCli(home.path(), {"add-page", "example.com"});
        QCOMPARE(added.ExitCode, 0);
        const CliResult listed = RunQuorvexCli(home.path(), {"list"});
        QCOMPARE(listed.ExitCode, 0);
        QVERIFY2(listed.Out.contains(QStringLiteral("   1 [x] http://www.example.com\n")), qPrintable(listed.Out));
        QFile settings(home.filePath(QStringLiteral("Settings.db")));
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(!settings.readAll().contains("example"));
        QVERIFY(QFile::exists(home.filePath(QStringLiteral("Database/Quorvex.mdb"))));

        const CliResult again = RunQuorvexCli(home.path(), {"add-page", "EXAMPLE.com", "other.org"});
        QCOMPARE(again.ExitCode, 0);
        QVERIFY(again.Err.contains(QStringLiteral("Duplicate URL has been deleted !")));
        QCOMPARE(ListJson(home.path()).value("pages").toArray().size(), 2);
    }

    void keywordEntriesAndDuplicates()
    {
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {"add-keyword", "example.com", "seo,rank", "--product", "Widget"}).ExitCode,
                 0);
        const CliResult duplicate =
            RunQuorvexCli(home.path(), {"add-keyword", "HTTP://example.com", "x", "--product", "widget"});
        QCOMPARE(duplicate.ExitCode, 1);
        QVERIFY(duplicate.Err.contains(QStringLiteral("Duplicate URL and Product Enter !")));
        QCOMPARE(RunQuorvexCli(home.path(), {"add-keyword", "example.com", "other"}).ExitCode, 0);
        QCOMPARE(RunQuorvexCli(home.path(), {"edit-keyword", "2", "example.org", "changed"}).ExitCode, 0);
        QCOMPARE(RunQuorvexCli(home.path(), {"uncheck", "keywords", "1"}).ExitCode, 0);
        QCOMPARE(RunQuorvexCli(home.path(), {"set", "top10", "on"}).ExitCode, 0);

        const QJsonObject list = ListJson(home.path());
        const QJsonArray keywords = list.value("keywords").toArray();
        QCOMPARE(keywords.size(), 2);
        QCOMPARE(keywords.at(0).toObject().value("product").toString(), QStringLiteral("Widget"));
        QCOMPARE(keywords.at(0).toObject().value("checked").toBool(), false);
        QCOMPARE(keywords.at(1).toObject().value("url").toString(), QStringLiteral("http://example.org"));
        QCOMPARE(keywords.at(1).toObject().value("keywords").toString(), QStringLiteral("changed"));
        QVERIFY(list.value("top10").toBool());
        QVERIFY(!list.value("extract_keyword").toBool());

        // Removal asks first: without --yes and without a terminal the answer is No.
        QCOMPARE(RunQuorvexCli(home.path(), {"remove-keyword", "1"}).ExitCode, 1);
        QCOMPARE(RunQuorvexCli(home.path(), {"--yes", "remove-keyword", "1"}).ExitCode, 0);
        QCOMPARE(ListJson(home.path()).value("keywords").toArray().at(0).toObject().value("url").toString(),
                 QStringLiteral("http://example.org"));
        QCOMPARE(RunQuorvexCli(home.path(), {"--yes", "clear", "keywords"}).ExitCode, 0);
        QCOMPARE(ListJson(home.path()).value("keywords").toArray().size(), 0);
    }

    void editPagesFromStandardInput()
    {
        QTemporaryDir home;
        RunQuorvexCli(home.path(), {"add-page", "a.com", "b.com"});
        RunQuorvexCli(home.path(), {"uncheck", "pages", "1"});
        QCOMPARE(RunQuorvexCli(home.path(), {"edit-pages"}, "http://www.a.com\nc.com\n").ExitCode, 0);
        const QJsonArray pages = ListJson(home.path()).value("pages").toArray();
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages.at(0).toObject().value("checked").toBool(), false);
        QCOMPARE(pages.at(1).toObject().value("url").toString(), QStringLiteral("http://www.c.com"));
    }

    void badUsageChangesNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("entry out of range") << QStringList{"check", "pages", "5"};
        QTest::newRow("entry zero") << QStringList{"remove-keyword", "0"};
        QTest::newRow("not a number") << QStringList{"uncheck", "keywords", "one"};
        QTest::newRow("unknown list") << QStringList{"clear", "everything"};
        QTest::newRow("unknown option") << QStringList{"set", "colour", "on"};
        QTest::newRow("bad switch value") << QStringList{"set", "top10", "maybe"};
        QTest::newRow("empty keywords") << QStringList{"add-keyword", "a.com", " "};
        QTest::newRow("missing product value") << QStringList{"add-keyword", "a.com", "k", "--product"};
    }
    void badUsageChangesNothing()
    {
        QFETCH(QStringList, args);
        QTemporaryDir home;
        RunQuorvexCli(home.path(), {"add-page", "a.com"});
        const QByteArray before = [&] {
            QFile f(home.filePath(QStringLiteral("Settings.db")));
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        const CliResult result = RunQuorvexCli(home.path(), args);
        QCOMPARE(result.ExitCode, 2);
        QVERIFY(result.Err.contains(QStringLiteral("Usage: quorvex-cli")));
        QFile after(home.filePath(QStringLiteral("Settings.db")));
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
    }

    void helpForEachCommand()
    {
        QTemporaryDir home;
        const CliResult help = RunQuorvexCli(home.path(), {"add-keyword", "--help"});
        QCOMPARE(help.ExitCode, 0);
        QVERIFY(help.Out.contains(QStringLiteral("add-keyword URL KEYWORDS [--product NAME]")));
        QVERIFY(!QFile::exists(home.filePath(QStringLiteral("Settings.db"))));
    }

    void refusesWhileAnotherCopyRuns()
    {
        QTemporaryDir home;
        QLockFile running(home.filePath(QStringLiteral("quorvex.lock")));
        QVERIFY(running.tryLock(0));
        const CliResult result = RunQuorvexCli(home.path(), {"list"});
        QCOMPARE(result.ExitCode, 1);
        QVERIFY(result.Err.contains(QStringLiteral("already running")));
        QVERIFY(!QFile::exists(home.filePath(QStringLiteral("Settings.db"))));
    }

    void brokenSettingsAreSevere()
    {
        QTemporaryDir home;
        QFile file(home.filePath(QStringLiteral("Settings.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not json");
        file.close();
        const CliResult result = RunQuorvexCli(home.path(), {"add-page", "a.com"});
        QCOMPARE(result.ExitCode, 1);
        QVERIFY(result.Err.contains(QStringLiteral("Severe error has occured !")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("not json"));
    }
};

QUORVEX_TEST_MAIN_CORE(TestCliLists)
#include "test_cli_lists.moc"
