#include "CliRunner.h"

#include "model/AppState.h"
#include "session/StartUp.h"
#include "support/ListTestSupport.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QJsonObject ListJson(const QString& home)
{
    const CliResult result = RunQuorvexCli(home, {u"list"_s, u"--json"_s});
    return QJsonDocument::fromJson(result.Out.toUtf8()).object();
}

// Both lists in one line: the page addresses, then each keyword entry as address/product/keywords.
QString ListSummary(const QString& home)
{
    const QJsonObject list = ListJson(home);
    QStringList pages;
    for (const QJsonValue& page : list.value(u"pages"_s).toArray())
        pages.append(page.toObject().value(u"url"_s).toString());
    QStringList keywords;
    for (const QJsonValue& value : list.value(u"keywords"_s).toArray()) {
        const QJsonObject entry = value.toObject();
        keywords.append(entry.value(u"url"_s).toString() + u'/' + entry.value(u"product"_s).toString() + u'/' +
                        entry.value(u"keywords"_s).toString());
    }
    return pages.join(u' ') + u" | "_s + keywords.join(u' ');
}

// A character that could steer the terminal, other than the line break.
bool HasRawControl(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != u'\n') || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029 ||
               (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069) || u == 0x200e || u == 0x200f;
    });
}

} // namespace

class TestCliLists : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addPageThenList()
    {
        QTemporaryDir home;
        const CliResult added = RunQuorvexCli(home.path(), {u"add-page"_s, u"example.com"_s});
        QCOMPARE(added.ExitCode, 0);
        const CliResult listed = RunQuorvexCli(home.path(), {u"list"_s});
        QCOMPARE(listed.ExitCode, 0);
        QVERIFY2(listed.Out.contains(u"   1 [x] http://www.example.com\n"_s), qPrintable(listed.Out));
        QFile settings(home.filePath(u"Settings.db"_s));
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(!settings.readAll().contains("example"));
        QVERIFY(QFile::exists(home.filePath(u"Database/Quorvex.mdb"_s)));
    }

    // Each row starts from one page "a.com" and no keyword entry.
    void commandOutcomes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("printed"); // on standard output or standard error
        QTest::addColumn<QString>("lists");   // ListSummary afterwards

        const QString kept = u"http://www.a.com | "_s;
        QTest::newRow("no command") << QStringList{} << QByteArray() << 2 << u"Usage: quorvex-cli [--yes] COMMAND"_s
                                    << kept;
        QTest::newRow("version") << QStringList{u"--version"_s} << QByteArray() << 0 << u"quorvex-cli 2.2\n"_s << kept;
        QTest::newRow("general help") << QStringList{u"--help"_s} << QByteArray() << 0 << u"Commands:"_s << kept;
        QTest::newRow("command help") << QStringList{u"add-keyword"_s, u"--help"_s} << QByteArray() << 0
                                      << u"add-keyword URL KEYWORDS [--product NAME]"_s << kept;
        QTest::newRow("command help names a caption without its ampersand")
            << QStringList{u"rank"_s, u"--help"_s} << QByteArray() << 0 << u"the way \"Stop\" does"_s << kept;
        QTest::newRow("command help, short")
            << QStringList{u"clear"_s, u"-h"_s} << QByteArray() << 0 << u"clear pages|keywords [--yes]"_s << kept;
        // An unknown option is named as it was typed.
        QTest::newRow("unknown option") << QStringList{u"list"_s, u"--jsn"_s} << QByteArray() << 2
                                        << u"quorvex-cli: Unknown option '--jsn'\n"_s << kept;
        QTest::newRow("unknown option before the command")
            << QStringList{u"--frob"_s, u"list"_s} << QByteArray() << 2 << u"Unknown option '--frob'"_s << kept;
        QTest::newRow("unknown short option")
            << QStringList{u"list"_s, u"-x"_s} << QByteArray() << 2 << u"Unknown option '-x'"_s << kept;
        QTest::newRow("unknown option of history")
            << QStringList{u"history"_s, u"--jsn"_s} << QByteArray() << 2 << u"Unknown option '--jsn'"_s << kept;
        QTest::newRow("unknown option of sitedb") << QStringList{u"sitedb"_s, u"keywords"_s, u"--jsn"_s} << QByteArray()
                                                  << 2 << u"Unknown option '--jsn'"_s << kept;
        QTest::newRow("missing argument") << QStringList{u"check"_s, u"pages"_s} << QByteArray() << 2
                                          << u"Usage: quorvex-cli check pages|keywords N"_s << kept;
        QTest::newRow("missing option value") << QStringList{u"add-keyword"_s, u"a.com"_s, u"k"_s, u"--product"_s}
                                              << QByteArray() << 2 << u"Missing value after '--product'"_s << kept;
        QTest::newRow("--yes where nothing asks") << QStringList{u"add-keyword"_s, u"a.com"_s, u"k"_s, u"--yes"_s}
                                                  << QByteArray() << 2 << u"Unknown option '--yes'"_s << kept;
        QTest::newRow("question, nobody to answer")
            << QStringList{u"clear"_s, u"pages"_s} << QByteArray() << 1 << u"Do you want to continue ?"_s << kept;
        QTest::newRow("--yes before the command") << QStringList{u"--yes"_s, u"clear"_s, u"pages"_s} << QByteArray()
                                                  << 0 << u"Do you want to continue ?"_s << u" | "_s;
        QTest::newRow("--yes after the command") << QStringList{u"clear"_s, u"pages"_s, u"--yes"_s} << QByteArray() << 0
                                                 << u"Do you want to continue ?"_s << u" | "_s;
        QTest::newRow("--yes as keywords after --")
            << QStringList{u"add-keyword"_s, u"b.com"_s, u"--"_s, u"--yes"_s} << QByteArray() << 0 << QString()
            << kept + u"http://b.com//--yes"_s;
        QTest::newRow("--help as keywords after --")
            << QStringList{u"add-keyword"_s, u"b.com"_s, u"--"_s, u"--help"_s} << QByteArray() << 0 << QString()
            << kept + u"http://b.com//--help"_s;
        QTest::newRow("--yes as the product")
            << QStringList{u"add-keyword"_s, u"b.com"_s, u"k"_s, u"--product"_s, u"--yes"_s} << QByteArray() << 0
            << QString() << kept + u"http://b.com/--yes/k"_s;

        for (const QString& bad : {u""_s, u"  "_s, u"http://"_s, u"not a url"_s, u"http://www."_s, u"https://www./x"_s})
            QTest::addRow("add-page '%s'", qPrintable(bad))
                << QStringList{u"add-page"_s, u"b.com"_s, bad} << QByteArray() << 2 << u"Usage: quorvex-cli add-page"_s
                << kept;
        const QString notAnAddress = u"' is not a web address (http or https, with a host name)."_s;
        QTest::newRow("add-page ftp") << QStringList{u"add-page"_s, u"ftp://example.com"_s} << QByteArray() << 2
                                      << u"'ftp://example.com"_s + notAnAddress << kept;
        QTest::newRow("add-page host and port") << QStringList{u"add-page"_s, u"localhost:8080"_s} << QByteArray() << 0
                                                << QString() << u"http://www.a.com http://www.localhost:8080 | "_s;
        QTest::newRow("add-keyword, no address") << QStringList{u"add-keyword"_s, u"not a url"_s, u"k"_s}
                                                 << QByteArray() << 2 << u"'not a url"_s + notAnAddress << kept;
        QTest::newRow("add-keyword, no host") << QStringList{u"add-keyword"_s, u"http://"_s, u"k"_s} << QByteArray()
                                              << 2 << u"'http://"_s + notAnAddress << kept;
        QTest::newRow("add-keyword host and port")
            << QStringList{u"add-keyword"_s, u"localhost:8080"_s, u"k"_s} << QByteArray() << 0 << QString()
            << kept + u"http://localhost:8080//k"_s;
        QTest::newRow("add-page duplicate")
            << QStringList{u"add-page"_s, u"A.com"_s, u"c.org"_s} << QByteArray() << 0
            << u"Duplicate URL has been deleted !"_s << u"http://www.a.com http://www.c.org | "_s;

        QTest::newRow("edit-pages, empty input, nobody to answer")
            << QStringList{u"edit-pages"_s} << QByteArray(" \n\n") << 1 << u"Do you want to continue ?"_s << kept;
        QTest::newRow("edit-pages, empty input, --yes") << QStringList{u"edit-pages"_s, u"--yes"_s} << QByteArray() << 0
                                                        << u"Do you want to continue ?"_s << u" | "_s;
        QTest::newRow("edit-pages, a line without a host")
            << QStringList{u"edit-pages"_s} << QByteArray("b.com\nhttp://\n") << 2 << u"'http://"_s + notAnAddress
            << kept;
    }
    void commandOutcomes()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, printed);
        QFETCH(QString, lists);
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"a.com"_s}).ExitCode, 0);

        const CliResult result = RunQuorvexCli(home.path(), args, input);
        QCOMPARE(result.ExitCode, exitCode);
        QVERIFY2((result.Out + result.Err).contains(printed), qPrintable(result.Out + result.Err));
        QCOMPARE(ListSummary(home.path()), lists);
    }

    void keywordEntriesAndDuplicates()
    {
        QTemporaryDir home;
        QCOMPARE(
            RunQuorvexCli(home.path(), {u"add-keyword"_s, u"example.com"_s, u"seo,rank"_s, u"--product"_s, u"Widget"_s})
                .ExitCode,
            0);
        const CliResult duplicate = RunQuorvexCli(
            home.path(), {u"add-keyword"_s, u"HTTP://example.com"_s, u"x"_s, u"--product"_s, u"widget"_s});
        QCOMPARE(duplicate.ExitCode, 1);
        QVERIFY(duplicate.Err.contains(u"Duplicate URL and Product Enter !"_s));
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-keyword"_s, u"example.com"_s, u"other"_s}).ExitCode, 0);
        QCOMPARE(RunQuorvexCli(home.path(), {u"edit-keyword"_s, u"2"_s, u"example.org"_s, u"changed"_s}).ExitCode, 0);
        const CliResult notAnAddress =
            RunQuorvexCli(home.path(), {u"edit-keyword"_s, u"2"_s, u"ftp://x.org"_s, u"k"_s});
        QCOMPARE(notAnAddress.ExitCode, 2);
        QVERIFY2(notAnAddress.Err.contains(u"'ftp://x.org' is not a web address"_s), qPrintable(notAnAddress.Err));
        QCOMPARE(RunQuorvexCli(home.path(), {u"uncheck"_s, u"keywords"_s, u"1"_s}).ExitCode, 0);
        QCOMPARE(RunQuorvexCli(home.path(), {u"set"_s, u"top10"_s, u"on"_s}).ExitCode, 0);

        const QJsonObject list = ListJson(home.path());
        const QJsonArray keywords = list.value(u"keywords"_s).toArray();
        QCOMPARE(keywords.size(), 2);
        QCOMPARE(keywords.at(0).toObject().value(u"product"_s).toString(), u"Widget"_s);
        QCOMPARE(keywords.at(0).toObject().value(u"checked"_s).toBool(), false);
        QCOMPARE(keywords.at(1).toObject().value(u"url"_s).toString(), u"http://example.org"_s);
        QCOMPARE(keywords.at(1).toObject().value(u"keywords"_s).toString(), u"changed"_s);
        QVERIFY(list.value(u"top10"_s).toBool());
        QVERIFY(!list.value(u"extract_keyword"_s).toBool());

        // Removal asks first: without --yes and without a terminal the answer is No.
        QCOMPARE(RunQuorvexCli(home.path(), {u"remove-keyword"_s, u"1"_s}).ExitCode, 1);
        QCOMPARE(RunQuorvexCli(home.path(), {u"--yes"_s, u"remove-keyword"_s, u"1"_s}).ExitCode, 0);
        QCOMPARE(ListJson(home.path()).value(u"keywords"_s).toArray().at(0).toObject().value(u"url"_s).toString(),
                 u"http://example.org"_s);
        QCOMPARE(RunQuorvexCli(home.path(), {u"--yes"_s, u"clear"_s, u"keywords"_s}).ExitCode, 0);
        QCOMPARE(ListJson(home.path()).value(u"keywords"_s).toArray().size(), 0);
    }

    void editPagesFromStandardInput()
    {
        QTemporaryDir home;
        RunQuorvexCli(home.path(), {u"add-page"_s, u"a.com"_s, u"b.com"_s});
        RunQuorvexCli(home.path(), {u"uncheck"_s, u"pages"_s, u"1"_s});
        QCOMPARE(RunQuorvexCli(home.path(), {u"edit-pages"_s}, "http://www.a.com\nc.com\n").ExitCode, 0);
        const QJsonArray pages = ListJson(home.path()).value(u"pages"_s).toArray();
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages.at(0).toObject().value(u"checked"_s).toBool(), false);
        QCOMPARE(pages.at(1).toObject().value(u"url"_s).toString(), u"http://www.c.com"_s);
    }

    void badUsageChangesNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{u"frobnicate"_s};
        QTest::newRow("entry out of range") << QStringList{u"check"_s, u"pages"_s, u"5"_s};
        QTest::newRow("entry zero") << QStringList{u"remove-keyword"_s, u"0"_s};
        QTest::newRow("not a number") << QStringList{u"uncheck"_s, u"keywords"_s, u"one"_s};
        QTest::newRow("unknown list") << QStringList{u"clear"_s, u"everything"_s};
        QTest::newRow("unknown option") << QStringList{u"set"_s, u"colour"_s, u"on"_s};
        QTest::newRow("bad switch value") << QStringList{u"set"_s, u"top10"_s, u"maybe"_s};
        QTest::newRow("empty keywords") << QStringList{u"add-keyword"_s, u"a.com"_s, u" "_s};
        QTest::newRow("missing product value") << QStringList{u"add-keyword"_s, u"a.com"_s, u"k"_s, u"--product"_s};
        QTest::newRow("product twice") << QStringList{u"add-keyword"_s, u"a.com"_s, u"k"_s,
                                                      u"--product"_s,   u"x"_s,     u"--product=y"_s};
    }
    void badUsageChangesNothing()
    {
        QFETCH(QStringList, args);
        QTemporaryDir home;
        RunQuorvexCli(home.path(), {u"add-page"_s, u"a.com"_s});
        const QByteArray before = [&] {
            QFile f(home.filePath(u"Settings.db"_s));
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        const CliResult result = RunQuorvexCli(home.path(), args);
        QCOMPARE(result.ExitCode, 2);
        QVERIFY(result.Err.contains(u"Usage: quorvex-cli"_s));
        QFile after(home.filePath(u"Settings.db"_s));
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
    }

    // Reading commands take no lock and write nothing: they work beside a running window, and on a
    // fresh folder they leave it as they found it.
    void readingCommandsWorkBesideTheWindow()
    {
        QTemporaryDir home;
        const QList<QStringList> reading{{u"list"_s},    {u"list"_s, u"--json"_s}, {u"source"_s},
                                         {u"history"_s}, {u"--version"_s},         {u"rank"_s, u"--help"_s}};
        for (const QStringList& args : reading) {
            QCOMPARE(RunQuorvexCli(home.path(), args).ExitCode, 0);
            QVERIFY2(QDir(home.path()).isEmpty(), qPrintable(args.join(u' ')));
        }

        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"a.com"_s}).ExitCode, 0);
        AppState window(home.path());
        ScriptedPrompter prompter;
        StartUp running(home.path());
        QCOMPARE(running.Run(window, prompter), StartUpResult::Ready);

        const CliResult listed = RunQuorvexCli(home.path(), {u"list"_s});
        QCOMPARE(listed.ExitCode, 0);
        QVERIFY2(listed.Out.contains(u"[x] http://www.a.com"_s), qPrintable(listed.Err));
        QCOMPARE(ListSummary(home.path()), u"http://www.a.com | "_s);
        for (const QStringList& args : reading) {
            const CliResult result = RunQuorvexCli(home.path(), args);
            QVERIFY2(result.ExitCode == 0, qPrintable(args.join(u' ') + u": "_s + result.Err));
        }

        const CliResult refused = RunQuorvexCli(home.path(), {u"add-page"_s, u"b.com"_s});
        QCOMPARE(refused.ExitCode, 1);
        QVERIFY(refused.Err.contains(u"already running"_s));
        QCOMPARE(ListSummary(home.path()), u"http://www.a.com | "_s);
    }

    void controlCharactersShownEscaped()
    {
        QTemporaryDir home;
        // Retitles the terminal, rings, turns text red, clears the screen (C1 CSI) and reverses what follows.
        const QString product = u"\x1b]0;owned\x07\x1b[31mred\u009b2J\u202eend\x7f"_s;
        const QString shown = u"\\x1b]0;owned\\x07\\x1b[31mred\\x9b2J\\u202eend\\x7f"_s;
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-keyword"_s, u"a.com"_s, u"k"_s, u"--product"_s, product}).ExitCode,
                 0);

        const CliResult text = RunQuorvexCli(home.path(), {u"list"_s});
        QVERIFY(!HasRawControl(text.Out));
        QVERIFY2(text.Out.contains(u"product: "_s + shown + u"  keywords: k"_s), qPrintable(text.Out));

        const CliResult json = RunQuorvexCli(home.path(), {u"list"_s, u"--json"_s});
        QVERIFY(!HasRawControl(json.Out));
        const QJsonObject entry =
            QJsonDocument::fromJson(json.Out.toUtf8()).object().value(u"keywords"_s).toArray().at(0).toObject();
        QCOMPARE(entry.value(u"product"_s).toString(), product);

        const CliResult message = RunQuorvexCli(home.path(), {u"add-page"_s, u"\x1b[2J"_s});
        QCOMPARE(message.ExitCode, 2);
        QVERIFY(!HasRawControl(message.Err));
        QVERIFY(message.Err.contains(u"'\\x1b[2J'"_s));
    }

    void brokenSettingsAreSevere()
    {
        QTemporaryDir home;
        QFile file(home.filePath(u"Settings.json"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not json");
        file.close();
        for (const QStringList& args : {QStringList{u"add-page"_s, u"a.com"_s}, QStringList{u"list"_s}}) {
            const CliResult result = RunQuorvexCli(home.path(), args);
            QCOMPARE(result.ExitCode, 1);
            QVERIFY(result.Err.contains(u"Severe error has occured !"_s));
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("not json"));
    }

    // A copy killed while it rewrote a list leaves a rollback journal: the lists are read as they
    // were before that rewrite, by a reading command too.
    void listingAfterAKilledWrite()
    {
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"a.com"_s}).ExitCode, 0);
        QVERIFY(KillWriterInTransaction(home.filePath(u"Settings.db"_s), u"DELETE FROM settings"_s));
        const CliResult listed = RunQuorvexCli(home.path(), {u"list"_s, u"--json"_s});
        QVERIFY2(listed.ExitCode == 0, qPrintable(listed.Err));
        QCOMPARE(ListSummary(home.path()), u"http://www.a.com | "_s);
    }

    // Every command agrees on what the settings file is: damaged or another program's is an error
    // and stays as it is; 0 bytes, as a kill during the very first start leaves, is a first start.
    void settingsFileSeenAlikeByEveryCommand_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("severe");
        QTest::newRow("page 2 zeroed") << u"zeroed"_s << true;
        QTest::newRow("another program's file") << u"foreign"_s << true;
        QTest::newRow("a symbolic link to itself") << u"loop"_s << true;
        QTest::newRow("0 bytes") << u"empty"_s << false;
    }
    void settingsFileSeenAlikeByEveryCommand()
    {
        QFETCH(QString, damage);
        QFETCH(bool, severe);
        QTemporaryDir home;
        const QString path = home.filePath(u"Settings.db"_s);
        if (damage == u"zeroed") {
            QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"a.com"_s}).ExitCode, 0);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(4096));
            file.write(QByteArray(4096, '\0'));
        } else if (damage == u"foreign") {
            QVERIFY(SqliteConnection(path, SqliteConnection::Mode::Create).Execute(u"CREATE TABLE notes(text)"_s));
        } else if (damage == u"loop") {
            QVERIFY(QFile::link(path, path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        file.close();
        for (const QStringList& args :
             {QStringList{u"list"_s}, QStringList{u"list"_s, u"--json"_s}, QStringList{u"add-page"_s, u"b.com"_s}}) {
            const CliResult result = RunQuorvexCli(home.path(), args);
            const QString what = args.join(u' ') + u": "_s + result.Err;
            QVERIFY2(result.ExitCode == (severe ? 1 : 0), qPrintable(what));
            QVERIFY2(result.Err.startsWith(u"Severe error has occured !\n"_s) == severe, qPrintable(what));
            QVERIFY2(!severe || result.Err.contains(path), qPrintable(what));
            QVERIFY(!severe || result.Out.isEmpty());
        }
        if (severe) {
            QCOMPARE(QFileInfo(path).isSymLink(), damage == u"loop");
            QVERIFY(file.open(QIODevice::ReadOnly) || damage == u"loop");
            QCOMPARE(file.readAll(), bytes);
        } else {
            QCOMPARE(ListSummary(home.path()), u"http://www.b.com | "_s);
        }
    }

    // A lock that another program holds on the settings is waited for a little, then told.
    void busySettingsAreTold()
    {
        QTemporaryDir home;
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"a.com"_s}).ExitCode, 0);
        SqliteConnection other(home.filePath(u"Settings.db"_s), SqliteConnection::Mode::ReadWrite);
        QVERIFY(other.Execute(u"BEGIN EXCLUSIVE"_s));
        for (const QStringList& args : {QStringList{u"add-page"_s, u"b.com"_s}, QStringList{u"list"_s}}) {
            const CliResult result = RunQuorvexCli(home.path(), args);
            QCOMPARE(result.ExitCode, 1);
            QVERIFY2(result.Err.contains(u"is busy: another program holds a lock on it"_s), qPrintable(result.Err));
        }
        QVERIFY(other.Execute(u"ROLLBACK"_s));
        QCOMPARE(ListSummary(home.path()), u"http://www.a.com | "_s);
    }

    // Without the template beside the program the first start fails and says where it looked; the
    // next start goes on without it.
    void firstStartWithoutTheTemplateSaysWhy()
    {
        QTemporaryDir place;
        QVERIFY(QDir(place.path()).mkpath(u"bin"_s));
        const QString program = place.filePath(u"bin/quorvex-cli"_s);
        QVERIFY(QFile::copy(BinFolder() + u"/quorvex-cli"_s, program));
        const QString home = place.filePath(u"home"_s);
        const CliResult first = RunProgramAt(program, home, {u"add-page"_s, u"a.com"_s});
        QCOMPARE(first.ExitCode, 1);
        const QStringList lines = first.Err.split(u'\n');
        QCOMPARE(lines.value(0), u"Severe error has occured !"_s);
        QVERIFY2(lines.value(1).contains(u"WebSiteRankList.txt"_s) && lines.value(1).contains(home) &&
                     lines.value(1).contains(place.filePath(u"bin"_s)),
                 qPrintable(first.Err));
        QVERIFY(QFileInfo::exists(home + u"/Database/Quorvex.mdb"_s));

        QCOMPARE(RunProgramAt(program, home, {u"add-page"_s, u"a.com"_s}).ExitCode, 0);
        QCOMPARE(ListSummary(home), u"http://www.a.com | "_s);
    }

    // Under the common umask the program's files and folders are still its user's alone, and
    // those found open to others are closed at the next start.
    void filesAreTheUsersAlone()
    {
        const mode_t umaskBefore = umask(022);
        QTemporaryDir home;
        QTemporaryDir elsewhere;
        QVERIFY(QFile::setPermissions(home.path(), QFile::permissions(home.path()) | QFile::ReadOther |
                                                       QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
        const QString list = elsewhere.filePath(u"tranco_T3ST1.csv"_s);
        QFile listFile(list);
        QVERIFY(listFile.open(QIODevice::WriteOnly));
        listFile.write("1,google.com\n2,bbc.co.uk\n");
        listFile.close();
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"a.com"_s}).ExitCode, 0);
        QCOMPARE(RunQuorvexCli(home.path(), {u"source"_s, u"traffic"_s, u"tranco"_s, u"--list"_s, list}).ExitCode, 0);
        const auto openToOthers = [&home] {
            QStringList open;
            QFileInfo self(home.path());
            if (self.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther))
                open.append(home.path());
            QDirIterator it(home.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo entry = it.nextFileInfo();
                if (entry.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther))
                    open.append(entry.fileName());
            }
            return open;
        };
        QCOMPARE(openToOthers(), QStringList{});

        // Files of an earlier version, made under that umask.
        const QStringList databases{u"Settings.db"_s, u"RankLists.db"_s, u"History.db"_s, u"Database"_s,
                                    u"Database/Quorvex.mdb"_s};
        QVERIFY(SqliteConnection(home.filePath(u"History.db"_s), SqliteConnection::Mode::Create)
                    .Execute(u"PRAGMA user_version = 1"_s));
        for (const QString& name : databases)
            QVERIFY(QFile::setPermissions(home.filePath(name), QFile::permissions(home.filePath(name)) |
                                                                   QFile::ReadGroup | QFile::ReadOther));
        QCOMPARE(openToOthers().size(), databases.size());
        QCOMPARE(RunQuorvexCli(home.path(), {u"add-page"_s, u"b.com"_s}).ExitCode, 0);
        QCOMPARE(openToOthers(), QStringList{});
        umask(umaskBefore);
    }
};

QUORVEX_TEST_MAIN_CORE(TestCliLists)
#include "test_cli_lists.moc"
