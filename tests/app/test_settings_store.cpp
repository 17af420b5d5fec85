#include "app/SettingsStore.h"
#include "support/TestHome.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

class TestSettingsStore : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString FilePath() const { return dir.filePath(QStringLiteral("Settings.json")); }

    static QJsonObject ReadJson(const QString& path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(file.readAll()).object();
    }

private Q_SLOTS:
    void init() { QFile::remove(FilePath()); }

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
        store.SetRegValue(QStringLiteral("Software\\A\\B\\C"), QStringLiteral("name"), data);
        QCOMPARE(store.GetRegValue(QStringLiteral("Software\\A\\B\\C"), QStringLiteral("name")), data);
        SettingsStore reread(FilePath());
        QVERIFY(reread.Load());
        QCOMPARE(reread.GetRegValue(QStringLiteral("Software\\A\\B\\C"), QStringLiteral("name")), data);
        QVERIFY(!store.WriteFailed());
    }

    void fileLayoutIsKeyPathThenNameThenData()
    {
        SettingsStore store(FilePath());
        QVERIFY(store.Load());
        store.SetRegValue(QStringLiteral("Software\\Q\\PRURL"), QStringLiteral("n1"), QStringLiteral("d1"));
        const QJsonObject root = ReadJson(FilePath());
        QCOMPARE(root.keys(), QStringList{QStringLiteral("Software\\Q\\PRURL")});
        QCOMPARE(root.value(QStringLiteral("Software\\Q\\PRURL")).toObject().value(QStringLiteral("n1")).toString(),
                 QStringLiteral("d1"));
    }

    void readsCreateNothing()
    {
        SettingsStore store(FilePath());
        QVERIFY(store.Load());
        QCOMPARE(store.GetRegValue(QStringLiteral("Software\\Missing"), QStringLiteral("v")), QString());
        QVERIFY(!store.KeyExists(QStringLiteral("Software\\Missing")));
        QVERIFY(!QFile::exists(FilePath()));
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1"));
        QCOMPARE(store.GetRegValue(QStringLiteral("K"), QStringLiteral("b")), QString());
        QCOMPARE(store.ValueNames(QStringLiteral("K")), QStringList{QStringLiteral("a")});
    }

    void deleteRemovesAllValues()
    {
        SettingsStore store(FilePath());
        QVERIFY(store.Load());
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1"));
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("b"), QStringLiteral("2"));
        store.SetRegValue(QStringLiteral("Other"), QStringLiteral("a"), QStringLiteral("3"));
        store.DeleteRegKey(QStringLiteral("K"));
        store.DeleteRegKey(QStringLiteral("Never"));
        QCOMPARE(store.GetRegValue(QStringLiteral("K"), QStringLiteral("a")), QString());
        QCOMPARE(store.GetRegValue(QStringLiteral("K"), QStringLiteral("b")), QString());
        QCOMPARE(store.GetRegValue(QStringLiteral("Other"), QStringLiteral("a")), QStringLiteral("3"));
        QVERIFY(!ReadJson(FilePath()).contains(QStringLiteral("K")));
        // A key with sub-keys stays.
        store.SetRegValue(QStringLiteral("P\\Child"), QStringLiteral("x"), QStringLiteral("1"));
        store.SetRegValue(QStringLiteral("P"), QStringLiteral("y"), QStringLiteral("2"));
        store.DeleteRegKey(QStringLiteral("P"));
        QCOMPARE(store.GetRegValue(QStringLiteral("P"), QStringLiteral("y")), QStringLiteral("2"));
    }

    void batchWritesOnceAtTheEnd()
    {
        SettingsStore store(FilePath());
        QVERIFY(store.Load());
        {
            SettingsStore::Batch batch(store);
            store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1"));
            QVERIFY(!QFile::exists(FilePath()));
        }
        QCOMPARE(ReadJson(FilePath()).value(QStringLiteral("K")).toObject().value(QStringLiteral("a")).toString(),
                 QStringLiteral("1"));
    }

    void brokenFileIsNeverOverwritten_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not json") << QByteArray("{ this is not json");
        QTest::newRow("array") << QByteArray("[1,2]");
        QTest::newRow("value not text") << QByteArray(R"({"K": {"a": 5}})");
        QTest::newRow("key not object") << QByteArray(R"({"K": "a"})");
    }
    void brokenFileIsNeverOverwritten()
    {
        QFETCH(QByteArray, content);
        {
            QFile file(FilePath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        SettingsStore store(FilePath());
        QVERIFY(!store.Load());
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1"));
        store.DeleteRegKey(QStringLiteral("K"));
        QVERIFY(store.WriteFailed());
        QFile file(FilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }

    void unwritableFolderIsReported()
    {
        SettingsStore store(dir.filePath(QStringLiteral("no/such/folder/Settings.json")));
        QVERIFY(store.Load());
        store.SetRegValue(QStringLiteral("K"), QStringLiteral("a"), QStringLiteral("1"));
        QVERIFY(store.WriteFailed());
    }
};

QUORVEX_TEST_MAIN_CORE(TestSettingsStore)
#include "test_settings_store.moc"
