#include "base/Names.h"
#include "base/Scrambler.h"
#include "lists/ListStore.h"
#include "model/AppState.h"
#include "session/StartUp.h"
#include "sitedb/SiteDatabase.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"

#include "support/ListTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>

class TestStartUp : public QObject {
    Q_OBJECT

    static QString Stored(const QString& logical) { return ScrambleText(QLatin1String(ScrambleKey), logical); }
    static QString Read(const SettingsStore& store, const QString& key, const QString& logical)
    {
        return UnscrambleText(QLatin1String(ScrambleKey), store.GetRegValue(key, Stored(logical)));
    }
    static QByteArray FileBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // What every start leaves, however the one before it ended: the database with its master
    // table, the template copy, the first-start values, and nothing under a temporary name.
    static void VerifyWhole(const QString& home)
    {
        const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        QDir database(home + QStringLiteral("/Database"));
        QCOMPARE(database.entryList(all, QDir::Name),
                 (QStringList{QStringLiteral("Quorvex.mdb"), QStringLiteral("WebSiteRankList.txt")}));
        QCOMPARE(SiteDatabase(DatabasePath(home)).TableNames(), QStringList{QStringLiteral("Quorvex")});
        QCOMPARE(FileBytes(database.filePath(QStringLiteral("WebSiteRankList.txt"))),
                 FileBytes(QCoreApplication::applicationDirPath() + QStringLiteral("/WebSiteRankList.txt")));
        for (const QString& name : QDir(home).entryList(all))
            QVERIFY2(!name.endsWith(QLatin1String(".new")) && !name.startsWith(QLatin1String("Database.")),
                     qPrintable(name));
        QCOMPARE(StoredRows(home + QStringLiteral("/Settings.db")).size(), 4);
    }

private Q_SLOTS:
    void firstStartPreparesEverything()
    {
        QTemporaryDir home;
        AppState state(home.path());
        ScriptedPrompter prompter;
        StartUp startUp(state.ProgramFolder);
        QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
        QVERIFY(prompter.Messages.isEmpty());

        QDir database(home.filePath(QStringLiteral("Database")));
        QCOMPARE(database.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name),
                 (QStringList{QStringLiteral("Quorvex.mdb"), QStringLiteral("WebSiteRankList.txt")}));
        SiteDatabase db(DatabasePath(home.path()));
        QCOMPARE(db.TableNames(), QStringList{QStringLiteral("Quorvex")});
        QCOMPARE(db.ColumnNames(QStringLiteral("Quorvex")),
                 (QStringList{QStringLiteral("Search"), QStringLiteral("SearchType"), QStringLiteral("SearchNum"),
                              QStringLiteral("SearchDate"), QStringLiteral("Updated")}));
        // The template copy holds the five pieces of a page.
        QCOMPARE(FileBytes(database.filePath(QStringLiteral("WebSiteRankList.txt"))).count("$$$"), 4);

        // The four first-start values, scrambled, and nothing else.
        SettingsStore stored(home.filePath(QStringLiteral("Settings.db")));
        QVERIFY(stored.Load());
        QCOMPARE(stored.ValueNames(PRURLKey).size(), 2);
        QCOMPARE(stored.ValueNames(QuorvexURLKey).size(), 2);
        QCOMPARE(Read(stored, PRURLKey, QStringLiteral("PRURLNum")), QStringLiteral("0"));
        QCOMPARE(Read(stored, PRURLKey, QStringLiteral("CheckExtractKeyword")), QStringLiteral("False"));
        QCOMPARE(Read(stored, QuorvexURLKey, QStringLiteral("QUORVEXURLNum")), QStringLiteral("0"));
        QCOMPARE(Read(stored, QuorvexURLKey, QStringLiteral("TOP10List")), QStringLiteral("False"));
        QVERIFY(!FileBytes(home.filePath(QStringLiteral("Settings.db"))).contains("PRURLNum"));
        QCOMPARE(state.Lists.PRURLCount(), 0);
        QCOMPARE(state.Lists.QuorvexCount(), 0);
    }

    void existingWorkingFolderCreatesNothing()
    {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Database")));
        AppState state(home.path());
        ScriptedPrompter prompter;
        StartUp startUp(state.ProgramFolder);
        QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
        QVERIFY(QDir(home.filePath(QStringLiteral("Database"))).isEmpty());
    }

    // A kill at any moment of the very first start leaves a folder that the next start makes whole.
    void killedFirstStartIsMadeWholeByTheNext()
    {
        qint64 span = 0; // how long a first start takes here, to spread the kills over it
        {
            QTemporaryDir scratch;
            AppState state(scratch.path());
            ScriptedPrompter prompter;
            StartUp startUp(state.ProgramFolder);
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
            span = timer.nsecsElapsed() / 1000;
        }
        constexpr int Kills = 40;
        for (int kill = 0; kill < Kills; ++kill) {
            QTemporaryDir home;
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                AppState state(home.path());
                ScriptedPrompter prompter;
                StartUp startUp(state.ProgramFolder);
                _exit(startUp.Run(state, prompter) == StartUpResult::Ready ? 0 : 1);
            }
            const qint64 at = span * kill / (Kills - 8);
            usleep(useconds_t(at));
            ::kill(child, SIGKILL);
            QCOMPARE(waitpid(child, nullptr, 0), child);

            AppState state(home.path());
            ScriptedPrompter prompter;
            StartUp startUp(state.ProgramFolder);
            QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
            QVERIFY(prompter.Messages.isEmpty());
            VerifyWhole(home.path());
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("after a kill %1 us into the first start").arg(at)));
        }
    }

    // Folders as a kill during an earlier first start left them.
    void leftoversOfAKilledStartAreMadeWhole_data()
    {
        QTest::addColumn<QString>("leftover");
        QTest::newRow("a database of 0 bytes") << QStringLiteral("empty database");
        QTest::newRow("a database without tables") << QStringLiteral("tableless database");
        QTest::newRow("no template copy") << QStringLiteral("no template");
        QTest::newRow("a half-made working folder") << QStringLiteral("temporary folder");
        QTest::newRow("the settings under their temporary name") << QStringLiteral("temporary settings");
    }
    void leftoversOfAKilledStartAreMadeWhole()
    {
        QFETCH(QString, leftover);
        QTemporaryDir home;
        ScriptedPrompter prompter;
        {
            AppState state(home.path());
            StartUp startUp(state.ProgramFolder);
            QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
        }
        QDir folder(home.path());
        const QString database = DatabasePath(home.path());
        if (leftover == QLatin1String("empty database") || leftover == QLatin1String("temporary folder")) {
            QVERIFY(QFile::resize(database, 0));
        } else if (leftover == QLatin1String("tableless database")) {
            QVERIFY(QFile::remove(database));
            QVERIFY(SqliteConnection(database, SqliteConnection::Mode::Create)
                        .Execute(QStringLiteral("PRAGMA user_version = 1")));
            QVERIFY(QFileInfo(database).size() > 0);
        } else if (leftover == QLatin1String("no template")) {
            QVERIFY(QFile::remove(folder.filePath(QStringLiteral("Database/WebSiteRankList.txt"))));
        } else {
            QVERIFY(folder.rename(QStringLiteral("Settings.db"), QStringLiteral("Settings.db.new")));
        }
        if (leftover == QLatin1String("temporary folder"))
            QVERIFY(folder.rename(QStringLiteral("Database"), QStringLiteral("Database.new")));

        AppState state(home.path());
        StartUp startUp(state.ProgramFolder);
        QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
        QVERIFY(prompter.Messages.isEmpty());
        VerifyWhole(home.path());
    }

    void laterStartLoadsAndNeverReinitialises()
    {
        QTemporaryDir home;
        {
            AppState state(home.path());
            ScriptedPrompter prompter;
            StartUp startUp(state.ProgramFolder);
            QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
            state.Lists.PRURLList.append({QStringLiteral("http://www.example.com"), 0});
            state.Lists.CheckExtractKeyword = true;
            SavePRURLList(state.Lists, state.Settings);
        }
        AppState state(home.path());
        ScriptedPrompter prompter;
        StartUp startUp(state.ProgramFolder);
        QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
        QCOMPARE(state.Lists.PRURLCount(), 1);
        QCOMPARE(state.Lists.PRURLList.at(0).Checked, 0);
        QVERIFY(state.Lists.CheckExtractKeyword);
    }

    void secondInstanceTouchesNothing()
    {
        QTemporaryDir home;
        AppState first(home.path());
        ScriptedPrompter prompter;
        StartUp running(first.ProgramFolder);
        QCOMPARE(running.Run(first, prompter), StartUpResult::Ready);
        const QByteArray settings = FileBytes(home.filePath(QStringLiteral("Settings.db")));
        QVERIFY(QDir(home.path()).rename(QStringLiteral("Database"), QStringLiteral("Moved")));

        AppState second(home.path());
        StartUp another(second.ProgramFolder);
        QCOMPARE(another.Run(second, prompter), StartUpResult::AlreadyRunning);
        QVERIFY(prompter.Messages.isEmpty());
        QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("Database"))));
        QCOMPARE(FileBytes(home.filePath(QStringLiteral("Settings.db"))), settings);
    }

    // What the store holds decides between a first start, a load and a severe error; a store that
    // holds anything of the lists is never reset.
    void firstStartOnlyWhenNothingIsStored_data()
    {
        QTest::addColumn<QStringList>("stored"); // "P" or "Q" for the key, then name=content
        QTest::addColumn<bool>("ready");
        QTest::addColumn<int>("pages");
        const QStringList keywords{"Q:QUORVEXURLNum=1",   "Q:QUORVEXURL1=http://a.com", "Q:QUORVEXURLUnChecked1=1",
                                   "Q:QUORVEXProduct1=A", "Q:QUORVEXKeyword1=k",        "Q:TOP10List=True"};
        const QStringList pages{"P:PRURLNum=1", "P:PRURL1=http://www.b.com", "P:PRURLUnChecked1=0",
                                "P:CheckExtractKeyword=False"};
        QTest::newRow("nothing stored") << QStringList{} << true << 0;
        QTest::newRow("both lists") << keywords + pages << true << 1;
        QTest::newRow("page count missing") << keywords + QStringList{"P:CheckExtractKeyword=False"} << false << 0;
        QTest::newRow("page count empty")
            << keywords + QStringList{"P:PRURLNum=", "P:CheckExtractKeyword=False"} << false << 0;
        QTest::newRow("only the keyword list") << keywords << false << 0;
        QTest::newRow("only the page list") << pages << false << 0;
        QTest::newRow("count over the limit")
            << keywords + QStringList{"P:PRURLNum=40000", "P:CheckExtractKeyword=False"} << false << 0;
    }
    void firstStartOnlyWhenNothingIsStored()
    {
        QFETCH(QStringList, stored);
        QFETCH(bool, ready);
        QFETCH(int, pages);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("Settings.db"));
        {
            SettingsStore store(path);
            QVERIFY(store.Load());
            for (const QString& value : std::as_const(stored)) {
                const qsizetype equals = value.indexOf(QLatin1Char('='));
                store.SetRegValue(value.startsWith(QLatin1Char('P')) ? PRURLKey : QuorvexURLKey,
                                  Stored(value.mid(2, equals - 2)), Stored(value.mid(equals + 1)));
            }
        }
        const QMap<QString, QString> before = StoredRows(path);
        AppState state(home.path());
        ScriptedPrompter prompter;
        StartUp startUp(state.ProgramFolder);
        QCOMPARE(startUp.Run(state, prompter) == StartUpResult::Ready, ready);
        QCOMPARE(prompter.Messages.size(), ready ? 0 : 1);
        if (!ready) {
            QCOMPARE(prompter.Messages.at(0).Text.section(QLatin1Char('\n'), 0, 0),
                     QStringLiteral("Severe error has occured !"));
            QVERIFY(prompter.Messages.at(0).Text.contains(path));
            QCOMPARE(StoredRows(path), before);
            return;
        }
        QCOMPARE(state.Lists.PRURLCount(), pages);
        QCOMPARE(state.Lists.QuorvexCount(), stored.isEmpty() ? 0 : 1);
        QCOMPARE(StoredRows(path).size(), stored.isEmpty() ? 4 : stored.size());
    }

    // Whatever a lock file holds, only a running copy keeps another from starting.
    void leftoverLockFilesNeverBlock_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("an earlier copy's process number") << QByteArray("12345\nquorvex\nhost\n");
        QTest::newRow("garbage") << QByteArray("\x01\x02 not a lock");
    }
    void leftoverLockFilesNeverBlock()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir home;
        {
            QFile lock(home.filePath(QStringLiteral("quorvex.lock")));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            QCOMPARE(lock.write(content), content.size());
        }
        QFile::setPermissions(home.filePath(QStringLiteral("quorvex.lock")), QFileDevice::Permissions());
        AppState state(home.path());
        ScriptedPrompter prompter;
        StartUp startUp(state.ProgramFolder);
        QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
        AppState second(home.path());
        StartUp another(second.ProgramFolder);
        QCOMPARE(another.Run(second, prompter), StartUpResult::AlreadyRunning);
        QVERIFY(prompter.Messages.isEmpty());
    }

    void lockOfAKilledCopyIsFreed()
    {
        QTemporaryDir home;
        pid_t child = 0;
        const QByteArray started = AnswerOfChild(
            [&] {
                AppState state(home.path());
                ScriptedPrompter prompter;
                static StartUp startUp(state.ProgramFolder); // held until the child is killed
                return QByteArray(startUp.Run(state, prompter) == StartUpResult::Ready ? "ready" : "failed");
            },
            &child);
        QCOMPARE(started, QByteArray("ready"));
        ScriptedPrompter prompter;
        {
            AppState state(home.path());
            StartUp startUp(state.ProgramFolder);
            QCOMPARE(startUp.Run(state, prompter), StartUpResult::AlreadyRunning);
        }
        QCOMPARE(kill(child, SIGKILL), 0);
        QCOMPARE(waitpid(child, nullptr, 0), child);
        AppState state(home.path());
        StartUp startUp(state.ProgramFolder);
        QCOMPARE(startUp.Run(state, prompter), StartUpResult::Ready);
    }

    void readingTheListsNeedsNoLockAndWritesNothing()
    {
        QTemporaryDir home;
        ScriptedPrompter prompter;
        {
            AppState unused(home.path());
            QCOMPARE(ReadStoredLists(unused, prompter), StartUpResult::Ready);
            QCOMPARE(unused.Lists.PRURLCount(), 0);
            QVERIFY(QDir(home.path()).isEmpty());
        }
        AppState running(home.path());
        StartUp startUp(running.ProgramFolder);
        QCOMPARE(startUp.Run(running, prompter), StartUpResult::Ready);
        running.Lists.PRURLList = {{QStringLiteral("http://www.one.com"), 1}};
        QVERIFY(SavePRURLList(running.Lists, running.Settings));
        const QByteArray before = FileBytes(home.filePath(QStringLiteral("Settings.db")));

        AppState reader(home.path());
        QCOMPARE(ReadStoredLists(reader, prompter), StartUpResult::Ready);
        QCOMPARE(reader.Lists.PRURLCount(), 1);
        QVERIFY(!SavePRURLList(reader.Lists, reader.Settings));
        QCOMPARE(FileBytes(home.filePath(QStringLiteral("Settings.db"))), before);
        QVERIFY(prompter.Messages.isEmpty());
    }

    void unreadableSettingsAreSevereAndKept_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not json") << QByteArray("garbage{");
        const QString num = ScrambleText(QLatin1String(ScrambleKey), QStringLiteral("PRURLNum"));
        const QString bad = ScrambleText(QLatin1String(ScrambleKey), QStringLiteral("many"));
        QJsonObject key;
        key.insert(num, bad);
        QJsonObject root;
        root.insert(PRURLKey, key);
        QTest::newRow("count not a number") << QJsonDocument(root).toJson();
    }
    void unreadableSettingsAreSevereAndKept()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir home;
        {
            QFile file(home.filePath(QStringLiteral("Settings.json")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        AppState state(home.path());
        ScriptedPrompter prompter;
        StartUp startUp(state.ProgramFolder);
        QCOMPARE(startUp.Run(state, prompter), StartUpResult::Failed);
        QCOMPARE(prompter.Messages.size(), 1);
        QCOMPARE(prompter.Messages.at(0).Text.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Severe error has occured !"));
        QVERIFY(prompter.Messages.at(0).Text.section(QLatin1Char('\n'), 1).contains(home.path()));
        QCOMPARE(prompter.Messages.at(0).Title, QStringLiteral("Quorvex 2.2"));
        QCOMPARE(prompter.Messages.at(0).Icon, MessageIcon::Exclamation);
        QCOMPARE(FileBytes(home.filePath(QStringLiteral("Settings.json"))), content);
    }
};

QUORVEX_TEST_MAIN_CORE(TestStartUp)
#include "test_startup.moc"
