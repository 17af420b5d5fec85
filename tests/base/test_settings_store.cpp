#include "base/SettingsStore.h"
#include "base/Sqlite.h"
#include "support/ListTestSupport.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

class TestSettingsStore : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString FilePath() const { return dir.filePath(QStringLiteral("Settings.db")); }
    QString ImportPath() const { return dir.filePath(QStringLiteral("Settings.json")); }

    // Straight from the file, as another program would read it.
    QStringList Rows() const
    {
        QStringList rows;
        SqliteConnection db(FilePath(), SqliteConnection::Mode::ReadOnly);
        SqliteStatement select(db, QStringLiteral("SELECT key_path, value_name, data FROM settings "
                                                  "ORDER BY key_path, value_name"));
        while (select.Next())
            rows.append(select.Text(0) + QLatin1Char('|') + select.Text(1) + QLatin1Char('=') + select.Text(2));
        return rows;
    }

    void WriteFile(const QString& path, const QByteArray& content) const
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    static QByteArray FileBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A store whose writes of the data "boom" fail inside SQLite, as a full disk would fail them.
    void RefuseBoom() const
    {
        SqliteConnection db(FilePath(), SqliteConnection::Mode::ReadWrite);
        QVERIFY(db.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON settings WHEN NEW.data = 'boom' "
                                          "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    }

private Q_SLOTS:
    void init()
    {
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System))
            QFile::remove(dir.filePath(name));
    }

    void valuesReadBackExactly_data()
    {
        QTest::addColumn<QString>("data");
        QTest::newRow("empty") << QString();
        QTest::newRow("zero") << QStringLiteral("0");
        QTest::newRow("254 characters") << QString(254, QLatin1Char('x'));
        QTest::newRow("longer than the old read buffer") << QString(4000, QLatin1Char('y'));
        QTest::newRow("quotes and backslashes") << QStringLiteral("a\"b\\c'd");
    }
    void valuesReadBackExactly()
    {
        QFETCH(QString, data);
        SettingsStore store(FilePath());
        QVERIFY(store.Load());
        QVERIFY(store.SetRegValue(QStringLiteral("Software\\A\\B\\C"), QStringLiteral("name"), data));
        QCOMPARE(store.GetRegValue(QStringLiteral("Software\\A\\B\\C"), QStringLiteral("name")), data);
        SettingsStore reread(FilePath());
        QVERIFY(reread.Load());
        QCOMPARE(reread.GetRegValue(QStringLiteral("Software\\A\\B\\C"), QStringLiteral("name")), data);
        QVERIFY(!store.WriteFailed());
    }

    void fileLayoutIsOneTableKeyedByPathAndName()
    {
        SettingsStore store(FilePath());
        QVERIFY(store.Load());
        store.SetRegValue(QStringLiteral("Software\\Q\\PRURL"), QStringLiteral("n1"), QStringLiteral("d1"));
        store.SetRegValue(QStringLiteral("Software\\Q\\PRURL"), QStringLiteral("n1"), QStringLiteral("d2"));
        QCOMPARE(Rows(), QStringList{QStringLiteral("Software\\Q\\PRURL|n1=d2")});
        SqliteConnection db(FilePath(), SqliteConnection::Mode::ReadOnly);
        SqliteStatement key(db, QStringLiteral("SELECT name FROM pragma_table_info('settings') WHERE pk > 0 "
                                               "ORDER BY pk"));
        QStringList keyColumns;
        while (key.Next())
            keyColumns.append(key.Text(0));
        QCOMPARE(keyColumns, (QStringList{QStringLiteral("key_path"), QStringLiteral("value_name")}));
    }

    void readsCreateNothing()
    {
        SettingsStore store(FilePath());
        QVERIFY(store.Load());
        QCOMPARE(store.GetRegValue(QStringLiteral("Software\\Missing"), QStringLiteral("v")), QString());
        QVERIFY(!store.KeyExists(QStringLiteral("Software\\Missing")));
        QVERIFY(Rows().isEmpty());
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1"));
        QCOMPARE(store.GetRegValue(QStringLiteral("K"), QStringLiteral("b")), QString());
        QCOMPARE(store.ValueNames(QStringLiteral("K")), QStringList{QStringLiteral("a")});
        QVERIFY(store.KeyExists(QStringLiteral("K")));
    }

    void deleteRemovesAllValues()
    {
        SettingsStore store(FilePath());
        QVERIFY(store.Load());
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1"));
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("b"), QStringLiteral("2"));
        store.SetRegValue(QStringLiteral("K]"), QStringLiteral("a"), QStringLiteral("3"));
        store.SetRegValue(QStringLiteral("Other"), QStringLiteral("a"), QStringLiteral("4"));
        QVERIFY(store.DeleteRegKey(QStringLiteral("K")));
        QVERIFY(store.DeleteRegKey(QStringLiteral("Never")));
        QCOMPARE(Rows(), (QStringList{QStringLiteral("K]|a=3"), QStringLiteral("Other|a=4")}));
        // A key with sub-keys stays.
        store.SetRegValue(QStringLiteral("P\\Child"), QStringLiteral("x"), QStringLiteral("1"));
        store.SetRegValue(QStringLiteral("P"), QStringLiteral("y"), QStringLiteral("2"));
        store.DeleteRegKey(QStringLiteral("P"));
        QCOMPARE(store.GetRegValue(QStringLiteral("P"), QStringLiteral("y")), QStringLiteral("2"));
        QVERIFY(!store.WriteFailed());
    }

    void batchIsOneTransaction()
    {
        SettingsStore store(FilePath());
        QVERIFY(store.Load());
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("old"), QStringLiteral("1"));
        {
            SettingsStore::Batch batch(store);
            store.DeleteRegKey(QStringLiteral("K"));
            {
                SettingsStore::Batch inner(store);
                store.SetRegValue(QStringLiteral("K"), QStringLiteral("new"), QStringLiteral("2"));
            }
            QCOMPARE(store.GetRegValue(QStringLiteral("K"), QStringLiteral("new")), QStringLiteral("2"));
            // Nothing of it is in the file before the outermost batch ends.
            QCOMPARE(Rows(), QStringList{QStringLiteral("K|old=1")});
            QVERIFY(batch.End());
        }
        QCOMPARE(Rows(), QStringList{QStringLiteral("K|new=2")});
    }

    void failedWritesAreReportedAndRolledBack()
    {
        QStringList reported;
        {
            SettingsStore store(FilePath());
            QVERIFY(store.Load());
            store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1"));
        }
        RefuseBoom();
        SettingsStore store(FilePath());
        QVERIFY(store.Load());
        store.SetFailureHandler([&](const QString& reason) { reported.append(reason); });

        QVERIFY(!store.SetRegValue(QStringLiteral("K"), QStringLiteral("b"), QStringLiteral("boom")));
        QVERIFY(store.WriteFailed());
        QCOMPARE(store.LastError(), QStringLiteral("refused"));
        QCOMPARE(reported, QStringList{QStringLiteral("refused")});

        // A batch fails whole and is reported once, when it ends.
        SettingsStore::Batch batch(store);
        store.DeleteRegKey(QStringLiteral("K"));
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("x"), QStringLiteral("boom"));
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("y"), QStringLiteral("after"));
        QCOMPARE(reported.size(), 1);
        QVERIFY(!batch.End());
        QCOMPARE(reported.size(), 2);
        QCOMPARE(Rows(), QStringList{QStringLiteral("K|a=1")});
        QCOMPARE(store.GetRegValue(QStringLiteral("K"), QStringLiteral("a")), QStringLiteral("1"));
    }

    void importsTheEarlierFileOnce()
    {
        // The earlier version's layout: key paths, each with value names and text data.
        QJsonObject pages{{QStringLiteral("n1"), QStringLiteral("d1")}, {QStringLiteral("n2"), QString()}};
        QJsonObject keywords{{QStringLiteral("m1"), QStringLiteral("e1")}};
        const QByteArray earlier = QJsonDocument(QJsonObject{{QStringLiteral("Software\\Q\\PRURL"), pages},
                                                             {QStringLiteral("Software\\Q\\QUORVEXURL"), keywords}})
                                       .toJson(QJsonDocument::Indented);
        WriteFile(ImportPath(), earlier);
        {
            SettingsStore store(FilePath(), ImportPath());
            QVERIFY(store.Load());
            QCOMPARE(store.GetRegValue(QStringLiteral("Software\\Q\\PRURL"), QStringLiteral("n1")),
                     QStringLiteral("d1"));
        }
        QCOMPARE(Rows(),
                 (QStringList{QStringLiteral("Software\\Q\\PRURL|n1=d1"), QStringLiteral("Software\\Q\\PRURL|n2="),
                              QStringLiteral("Software\\Q\\QUORVEXURL|m1=e1")}));
        QCOMPARE(FileBytes(ImportPath()), earlier);
        QVERIFY(!QFile::exists(FilePath() + QStringLiteral(".new")));

        // Once Settings.db exists the earlier file is never read again, not even when it breaks.
        WriteFile(ImportPath(), "{ broken");
        SettingsStore again(FilePath(), ImportPath());
        QVERIFY(again.Load());
        QCOMPARE(again.GetRegValue(QStringLiteral("Software\\Q\\QUORVEXURL"), QStringLiteral("m1")),
                 QStringLiteral("e1"));
        QCOMPARE(FileBytes(ImportPath()), QByteArray("{ broken"));
    }

    void unreadableEarlierFileWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not json") << QByteArray("{ this is not json");
        QTest::newRow("array") << QByteArray("[1,2]");
        QTest::newRow("value not text") << QByteArray(R"({"K": {"a": 5}})");
        QTest::newRow("key not object") << QByteArray(R"({"K": "a"})");
    }
    void unreadableEarlierFileWritesNothing()
    {
        QFETCH(QByteArray, content);
        WriteFile(ImportPath(), content);
        SettingsStore store(FilePath(), ImportPath());
        QVERIFY(!store.Load());
        QVERIFY(!store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1")));
        QVERIFY(store.WriteFailed());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Settings.json")});
        QCOMPARE(FileBytes(ImportPath()), content);
    }

    void readOnlyStoreWritesNothing()
    {
        WriteFile(ImportPath(), R"({"K": {"a": "1"}})");
        SettingsStore fromEarlier(FilePath(), ImportPath());
        QVERIFY(fromEarlier.LoadReadOnly());
        QCOMPARE(fromEarlier.GetRegValue(QStringLiteral("K"), QStringLiteral("a")), QStringLiteral("1"));
        QVERIFY(!fromEarlier.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("2")));
        QVERIFY(!QFile::exists(FilePath()));

        {
            SettingsStore writer(FilePath(), ImportPath());
            QVERIFY(writer.Load());
        }
        const QByteArray before = FileBytes(FilePath());
        SettingsStore reader(FilePath(), ImportPath());
        QVERIFY(reader.LoadReadOnly());
        QCOMPARE(reader.GetRegValue(QStringLiteral("K"), QStringLiteral("a")), QStringLiteral("1"));
        SettingsStore::Batch batch(reader);
        QVERIFY(!reader.DeleteRegKey(QStringLiteral("K")));
        QVERIFY(!batch.End());
        QVERIFY(reader.WriteFailed());
        QCOMPARE(FileBytes(FilePath()), before);
    }

    // A store that cannot be read whole is an error for reading and writing alike, and nothing of
    // the folder changes: no table is made in a file of another program, nothing is read as empty.
    void damagedStoreIsRefusedAndKept_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("page 2 zeroed") << QStringLiteral("zeroed");
        QTest::newRow("page 2 garbage") << QStringLiteral("garbage");
        QTest::newRow("another program's file") << QStringLiteral("foreign");
        QTest::newRow("a database without tables") << QStringLiteral("tableless");
        QTest::newRow("not a database") << QStringLiteral("text");
        QTest::newRow("a symbolic link to itself") << QStringLiteral("loop");
    }
    void damagedStoreIsRefusedAndKept()
    {
        QFETCH(QString, damage);
        if (damage == QLatin1String("zeroed") || damage == QLatin1String("garbage")) {
            {
                SettingsStore store(FilePath());
                QVERIFY(store.Load());
                for (int i = 0; i < 20; ++i)
                    store.SetRegValue(QStringLiteral("K"), QString::number(i), QStringLiteral("value"));
            }
            QFile file(FilePath());
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.size() >= 8192);
            QVERIFY(file.seek(4096));
            file.write(QByteArray(4096, damage == QLatin1String("zeroed") ? '\0' : '\xa5'));
        } else if (damage == QLatin1String("foreign") || damage == QLatin1String("tableless")) {
            SqliteConnection db(FilePath(), SqliteConnection::Mode::Create);
            QVERIFY(db.Execute(damage == QLatin1String("foreign")
                                   ? QStringLiteral("CREATE TABLE notes(text); INSERT INTO notes VALUES('mine')")
                                   : QStringLiteral("PRAGMA user_version = 7")));
        } else if (damage == QLatin1String("text")) {
            WriteFile(FilePath(), "these are my notes\n");
        } else {
            QVERIFY(QFile::link(FilePath(), FilePath()));
        }
        const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        const QStringList entries = QDir(dir.path()).entryList(all);
        const QByteArray bytes = FileBytes(FilePath());

        SettingsStore reader(FilePath());
        QVERIFY(!reader.LoadReadOnly());
        QVERIFY(!reader.LastError().isEmpty());
        SettingsStore writer(FilePath());
        QVERIFY(!writer.Load());
        QVERIFY2(writer.LastError().contains(FilePath()), qPrintable(writer.LastError()));
        QVERIFY(!writer.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1")));

        QCOMPARE(QDir(dir.path()).entryList(all), entries);
        QCOMPARE(FileBytes(FilePath()), bytes);
    }

    // A file of 0 bytes is what a kill during the very first start can leave: a first start for
    // reading and writing alike, whatever journal lies beside it.
    void emptyFileIsAFirstStart_data()
    {
        QTest::addColumn<bool>("journal");
        QTest::newRow("alone") << false;
        QTest::newRow("beside another file's journal") << true;
    }
    void emptyFileIsAFirstStart()
    {
        QFETCH(bool, journal);
        WriteFile(ImportPath(), R"({"K": {"a": "1"}})");
        if (journal) {
            const QString other = dir.filePath(QStringLiteral("Other.db"));
            {
                SettingsStore store(other);
                QVERIFY(store.Load());
                for (int i = 0; i < 50; ++i)
                    store.SetRegValue(QStringLiteral("Old"), QString::number(i), QString(500, QLatin1Char('o')));
            }
            QVERIFY(KillWriterInTransaction(other, QStringLiteral("DELETE FROM settings")));
            QVERIFY(QFile::rename(other + QStringLiteral("-journal"), FilePath() + QStringLiteral("-journal")));
            QFile::remove(other);
        }
        WriteFile(FilePath(), {});

        SettingsStore reader(FilePath(), ImportPath());
        QVERIFY(reader.LoadReadOnly());
        QCOMPARE(reader.GetRegValue(QStringLiteral("K"), QStringLiteral("a")), QStringLiteral("1"));
        QCOMPARE(QFileInfo(FilePath()).size(), 0);

        {
            SettingsStore writer(FilePath(), ImportPath());
            QVERIFY2(writer.Load(), qPrintable(writer.LastError()));
            QVERIFY(writer.SetRegValue(QStringLiteral("K"), QStringLiteral("b"), QStringLiteral("2")));
        }
        QCOMPARE(Rows(), (QStringList{QStringLiteral("K|a=1"), QStringLiteral("K|b=2")}));
        SqliteConnection db(FilePath(), SqliteConnection::Mode::ReadOnly);
        SqliteStatement check(db, QStringLiteral("PRAGMA quick_check"));
        QVERIFY(check.Next());
        QCOMPARE(check.Text(0), QStringLiteral("ok"));
    }

    // A writer killed inside a transaction leaves a rollback journal; reading rolls it back as any
    // opening for writing does, and reads what was committed.
    void readingRollsBackAKilledWrite()
    {
        {
            SettingsStore store(FilePath());
            QVERIFY(store.Load());
            store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1"));
        }
        QVERIFY(KillWriterInTransaction(FilePath(), QStringLiteral("DELETE FROM settings")));
        SettingsStore reader(FilePath());
        QVERIFY2(reader.LoadReadOnly(), qPrintable(reader.LastError()));
        QCOMPARE(reader.GetRegValue(QStringLiteral("K"), QStringLiteral("a")), QStringLiteral("1"));
        QVERIFY(!reader.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("2")));
        QCOMPARE(Rows(), QStringList{QStringLiteral("K|a=1")});
    }

    void unwritableFolderIsReported()
    {
        SettingsStore store(dir.filePath(QStringLiteral("no/such/folder/Settings.db")));
        QVERIFY(!store.Load());
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1"));
        QVERIFY(store.WriteFailed());
        QVERIFY(!store.LastError().isEmpty());
    }
};

QUORVEX_TEST_MAIN_CORE(TestSettingsStore)
#include "test_settings_store.moc"
