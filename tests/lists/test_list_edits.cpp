#include "ListTestSupport.h"
#include "lists/ListEdits.h"
#include "lists/ListStore.h"
#include "support/TestHome.h"

#include <QFile>

class TestListEdits : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    SettingsStore NewStore()
    {
        QFile::remove(dir.filePath(QStringLiteral("Settings.json")));
        SettingsStore store(dir.filePath(QStringLiteral("Settings.json")));
        store.Load();
        return store;
    }
    static QStringList URLs(const ListState& state)
    {
        QStringList urls;
        for (const PRURLEntry& e : state.PRURLList)
            urls.append(e.URL);
        return urls;
    }

private Q_SLOTS:
    void normalisesPageRankAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("bare host") << "example.com"
                                   << "http://www.example.com";
        QTest::newRow("www only") << "www.example.com/Path"
                                  << "http://www.example.com/Path";
        QTest::newRow("http without www") << "http://example.com"
                                          << "http://www.example.com";
        QTest::newRow("secure capital www") << "HTTPS://WWW.Example.com/A"
                                            << "https://www.Example.com/A";
        QTest::newRow("secure without www") << "https://example.com"
                                            << "https://www.example.com";
        QTest::newRow("capital scheme") << "HTTP://Www.Example.COM"
                                        << "http://www.Example.COM";
        QTest::newRow("other scheme kept as rest") << "ftp://x.org"
                                                   << "http://www.ftp://x.org";
    }
    void normalisesPageRankAddress()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QCOMPARE(NormalisePRURL(typed), stored);
    }

    void addModeDropsDuplicatesIgnoringCase()
    {
        SettingsStore store = NewStore();
        ListState state;
        state.PRURLList = {{QStringLiteral("http://www.one.com"), 0}};
        const bool duplicate = AcceptPRURLText(
            state, store, QStringLiteral("  two.com \r\n\r\nTWO.com\r\nhttp://www.ONE.com\nthree.com"), true);
        QVERIFY(duplicate);
        QCOMPARE(URLs(state), (QStringList{"http://www.one.com", "http://www.two.com", "http://www.three.com"}));
        QCOMPARE(state.PRURLList.at(0).Checked, 0);
        QCOMPARE(state.PRURLList.at(1).Checked, 1);
        QCOMPARE(StoredValue(store, PRURLKey, "PRURLNum"), QStringLiteral("3"));
        QVERIFY(!AcceptPRURLText(state, store, QStringLiteral("four.com"), true));
    }

    void editModeReplacesTheList()
    {
        SettingsStore store = NewStore();
        ListState state;
        state.PRURLList = {{QStringLiteral("http://www.a.com"), 0},
                           {QStringLiteral("http://www.b.com"), 0},
                           {QStringLiteral("http://www.c.com"), 0}};
        SavePRURLList(state, store);
        // b is deleted, a unchanged, c changes letter case, d is new and appears twice.
        AcceptPRURLText(state, store, QStringLiteral("http://www.a.com\r\nhttp://www.C.com\r\nd.com\r\nd.com"), false);
        QCOMPARE(URLs(state),
                 (QStringList{"http://www.a.com", "http://www.C.com", "http://www.d.com", "http://www.d.com"}));
        QCOMPARE(state.PRURLList.at(0).Checked, 0);
        QCOMPARE(state.PRURLList.at(1).Checked, 1);
        QCOMPARE(state.PRURLList.at(2).Checked, 1);
        QCOMPARE(StoredNames(store, PRURLKey).size(), 4 * 2 + 2);

        AcceptPRURLText(state, store, QString(), false);
        QCOMPARE(state.PRURLCount(), 0);
        QCOMPARE(StoredNames(store, PRURLKey), (QSet<QString>{"PRURLNum", "CheckExtractKeyword"}));
    }

    void keywordAddressGetsSchemeOnlyWhenMissing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("bare") << "example.com/p"
                              << "http://example.com/p";
        QTest::newRow("has scheme, any case") << "HTTP://Example.com"
                                              << "HTTP://Example.com";
        QTest::newRow("scheme later in text") << "example.com/?u=http://x"
                                              << "example.com/?u=http://x";
        QTest::newRow("secure scheme kept") << "https://example.com"
                                            << "https://example.com";
    }
    void keywordAddressGetsSchemeOnlyWhenMissing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QCOMPARE(CompleteQuorvexURL(typed), stored);
    }

    void keywordDuplicateRule()
    {
        SettingsStore store = NewStore();
        ListState state;
        QVERIFY(AcceptQuorvexEntry(state, store, "example.com", "Widget", "a,b", true, 0));
        QVERIFY(AcceptQuorvexEntry(state, store, "example.com", "Gadget", "c", true, 0)); // other product
        QVERIFY(AcceptQuorvexEntry(state, store, "example.com", "", "d", true, 0));       // no product
        QVERIFY(!AcceptQuorvexEntry(state, store, "HTTP://EXAMPLE.COM", "widget", "x", true, 0));
        QCOMPARE(state.QuorvexCount(), 3);
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXURLNum"), QStringLiteral("3"));

        // Edit mode: the edited entry itself is no duplicate; another one is.
        state.QuorvexList[0].Checked = 0;
        QVERIFY(AcceptQuorvexEntry(state, store, "http://example.com", "WIDGET", "new", false, 1));
        QCOMPARE(state.QuorvexList.at(0).Keyword, QStringLiteral("new"));
        QCOMPARE(state.QuorvexList.at(0).Product, QStringLiteral("WIDGET"));
        QCOMPARE(state.QuorvexList.at(0).Checked, 0); // an edit keeps the flag
        QVERIFY(!AcceptQuorvexEntry(state, store, "http://example.com", "gadget", "z", false, 1));
        QCOMPARE(state.QuorvexList.at(0).Keyword, QStringLiteral("new"));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXKeyword1"), QStringLiteral("new"));
    }
};

QUORVEX_TEST_MAIN_CORE(TestListEdits)
#include "test_list_edits.moc"
