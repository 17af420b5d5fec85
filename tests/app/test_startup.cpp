#include "app/AppState.h"
#include "app/Names.h"
#include "app/Scrambler.h"
#include "app/StartUp.h"
#include "lists/ListStore.h"
#include "sitedb/SiteDatabase.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

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
        SettingsStore stored(home.filePath(QStringLiteral("Settings.json")));
        QVERIFY(stored.Load());
        QCOMPARE(stored.ValueNames(PRURLKey).size(), 2);
        QCOMPARE(stored.ValueNames(QuorvexURLKey).size(), 2);
        QCOMPARE(Read(stored, PRURLKey, QStringLiteral("PRURLNum")), QStringLiteral("0"));
        QCOMPARE(Read(stored, PRURLKey, QStringLiteral("CheckExtractKeyword")), QStringLiteral("False"));
        QCOMPARE(Read(stored, QuorvexURLKey, QStringLiteral("QUORVEXURLNum")), QStringLiteral("0"));
        QCOMPARE(Read(stored, QuorvexURLKey, QStringLiteral("TOP10List")), QStringLiteral("False"));
        QVERIFY(!FileBytes(home.filePath(QStringLiteral("Settings.json"))).contains("PRURLNum"));
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
        const QByteArray settings = FileBytes(home.filePath(QStringLiteral("Settings.json")));
        QVERIFY(QDir(home.path()).rename(QStringLiteral("Database"), QStringLiteral("Moved")));

        AppState second(home.path());
        StartUp another(second.ProgramFolder);
        QCOMPARE(another.Run(second, prompter), StartUpResult::AlreadyRunning);
        QVERIFY(prompter.Messages.isEmpty());
        QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("Database"))));
        QCOMPARE(FileBytes(home.filePath(QStringLiteral("Settings.json"))), settings);
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
        QCOMPARE(prompter.Messages.at(0).Text, QStringLiteral("Severe error has occured !"));
        QCOMPARE(prompter.Messages.at(0).Title, QStringLiteral("Quorvex 2.2"));
        QCOMPARE(prompter.Messages.at(0).Icon, MessageIcon::Exclamation);
        QCOMPARE(FileBytes(home.filePath(QStringLiteral("Settings.json"))), content);
    }
};

QUORVEX_TEST_MAIN_CORE(TestStartUp)
#include "test_startup.moc"
