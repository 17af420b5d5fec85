#include "lists/ListStore.h"
#include "support/ListTestSupport.h"

#include "base/StoredValue.h"
#include "support/TestHome.h"

#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

class TestListStore : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path() const { return dir.filePath(QStringLiteral("Settings.db")); }

    static QuorvexEntry Entry(const char* url, const char* product, const char* keyword, int checked)
    {
        return {QLatin1String(url), QLatin1String(product), QLatin1String(keyword), checked};
    }

    static ListState ThreeKeywordEntries()
    {
        ListState state;
        state.QuorvexList = {Entry("http://a.com", "A", "k1", 1), Entry("http://b.com", "", "k2,k3", 0),
                             Entry("http://c.com", "C", "k4", 1)};
        state.TOP10List = true;
        return state;
    }

private Q_SLOTS:
    void init() { QFile::remove(Path()); }

    void saveWritesNumberedScrambledValues()
    {
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState state = ThreeKeywordEntries();
        state.PRURLList = {{QStringLiteral("http://www.one.com"), 1}, {QStringLiteral("http://www.two.com"), 0}};
        SavePRURLList(state, store);
        SaveQuorvexURLList(state, store);

        QCOMPARE(StoredNames(store, PRURLKey), (QSet<QString>{"PRURL1", "PRURLUnChecked1", "PRURL2", "PRURLUnChecked2",
                                                              "PRURLNum", "CheckExtractKeyword"}));
        QCOMPARE(StoredValue(store, PRURLKey, "PRURL2"), QStringLiteral("http://www.two.com"));
        QCOMPARE(StoredValue(store, PRURLKey, "PRURLUnChecked2"), QStringLiteral("0"));
        QCOMPARE(StoredValue(store, PRURLKey, "PRURLNum"), QStringLiteral("2"));
        QCOMPARE(StoredValue(store, PRURLKey, "CheckExtractKeyword"), QStringLiteral("False"));
        QCOMPARE(StoredNames(store, QuorvexURLKey).size(), 3 * 4 + 2);
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXProduct2"), QString()); // empty, still written
        QVERIFY(StoredNames(store, QuorvexURLKey).contains("QUORVEXProduct2"));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXKeyword2"), QStringLiteral("k2,k3"));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "TOP10List"), QStringLiteral("True"));

        // No address is readable in the file.
        QFile file(Path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.contains("one.com"));
        QVERIFY(!bytes.contains("PRURL1"));

        ListState loaded;
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(loaded.PRURLCount(), 2);
        QCOMPARE(loaded.PRURLList.at(1).Checked, 0);
        QCOMPARE(loaded.QuorvexCount(), 3);
        QCOMPARE(loaded.QuorvexList.at(1).Keyword, QStringLiteral("k2,k3"));
        QCOMPARE(loaded.QuorvexList.at(1).Checked, 0);
        QVERIFY(loaded.TOP10List);
    }

    void removingKeepsNumberingWithoutGaps()
    {
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState state = ThreeKeywordEntries();
        SaveQuorvexURLList(state, store);
        RemoveQuorvexEntry(state, store, 1);
        QCOMPARE(StoredNames(store, QuorvexURLKey).size(), 2 * 4 + 2);
        QVERIFY(!StoredNames(store, QuorvexURLKey).contains("QUORVEXURL3"));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXURL1"), QStringLiteral("http://b.com"));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXURLUnChecked1"), QStringLiteral("0"));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXProduct2"), QStringLiteral("C"));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXKeyword2"), QStringLiteral("k4"));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXURLNum"), QStringLiteral("2"));

        RemoveQuorvexEntry(state, store, 2);
        RemoveQuorvexEntry(state, store, 1);
        QCOMPARE(StoredNames(store, QuorvexURLKey), (QSet<QString>{"QUORVEXURLNum", "TOP10List"}));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXURLNum"), QStringLiteral("0"));
    }

    void removeAllTouchesOnlyItsList()
    {
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState state = ThreeKeywordEntries();
        state.PRURLList = {{QStringLiteral("http://www.one.com"), 1}};
        SavePRURLList(state, store);
        SaveQuorvexURLList(state, store);
        RemoveAllEntries(state, store, ListKind::PageRank);
        QCOMPARE(StoredNames(store, PRURLKey), (QSet<QString>{"PRURLNum", "CheckExtractKeyword"}));
        QCOMPARE(StoredValue(store, PRURLKey, "PRURLNum"), QStringLiteral("0"));
        QCOMPARE(state.QuorvexCount(), 3);
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXURLNum"), QStringLiteral("3"));
    }

    void singleFlagAndOptionWrites()
    {
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState state = ThreeKeywordEntries();
        SaveQuorvexURLList(state, store);
        // Change the entry in memory only: a flag write must not carry it to the store.
        state.QuorvexList[1].URL = QStringLiteral("http://changed.com");
        state.QuorvexList[1].Checked = 1;
        SaveEntryChecked(state, store, ListKind::Quorvex, 2);
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXURLUnChecked2"), QStringLiteral("1"));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXURL2"), QStringLiteral("http://b.com"));
        state.CheckExtractKeyword = true;
        SaveOption(state, store, ListKind::PageRank);
        QCOMPARE(StoredNames(store, PRURLKey), QSet<QString>{"CheckExtractKeyword"});
        QCOMPARE(StoredValue(store, PRURLKey, "CheckExtractKeyword"), QStringLiteral("True"));
    }

    void clickWritesExactlyOneValue_data()
    {
        QTest::addColumn<bool>("option");
        QTest::addColumn<int>("list");
        QTest::newRow("page flag") << false << int(ListKind::PageRank);
        QTest::newRow("keyword flag") << false << int(ListKind::Quorvex);
        QTest::newRow("page option") << true << int(ListKind::PageRank);
        QTest::newRow("keyword option") << true << int(ListKind::Quorvex);
    }
    void clickWritesExactlyOneValue()
    {
        QFETCH(bool, option);
        QFETCH(int, list);
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState state = ThreeKeywordEntries();
        state.PRURLList = {{QStringLiteral("http://www.one.com"), 1}, {QStringLiteral("http://www.two.com"), 1}};
        SavePRURLList(state, store);
        SaveQuorvexURLList(state, store);
        const QMap<QString, QString> before = StoredRows(Path());
        state.PRURLList[1].Checked = 0;
        state.QuorvexList[1].Checked = 1;
        state.CheckExtractKeyword = !state.CheckExtractKeyword;
        state.TOP10List = !state.TOP10List;
        QVERIFY(option ? SaveOption(state, store, ListKind(list)) : SaveEntryChecked(state, store, ListKind(list), 2));
        const QMap<QString, QString> after = StoredRows(Path());
        QCOMPARE(after.keys(), before.keys());
        QStringList changed;
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            if (before.value(it.key()) != it.value())
                changed.append(it.key());
        }
        QCOMPARE(changed.size(), 1);
    }

    // The disk fills up in the middle of a list rewrite: a child process may write files of a few
    // KiB only, so SQLite fails for real.
    void fullDiskKeepsTheOldListsAndSaysSo()
    {
        ListState old = ThreeKeywordEntries();
        old.PRURLList = {{QStringLiteral("http://www.kept.com"), 0}};
        {
            SettingsStore store(Path());
            QVERIFY(store.Load());
            QVERIFY(SavePRURLList(old, store));
            QVERIFY(SaveQuorvexURLList(old, store));
        }
        const qint64 size = QFileInfo(Path()).size();
        const QByteArray answer = AnswerOfChild([&] {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(size + 4096), rlim_t(size + 4096)};
            setrlimit(RLIMIT_FSIZE, &limit);
            SettingsStore store(Path());
            QString reported;
            store.SetFailureHandler([&](const QString& reason) { reported = reason; });
            ListState grown = old;
            for (int n = 0; n < 2000; ++n)
                grown.PRURLList.append({QStringLiteral("http://www.page%1.example/a/longer/path").arg(n), 1});
            const bool saved = store.Load() && SavePRURLList(grown, store);
            return (saved ? "saved|" : "failed|") + reported.toUtf8();
        });
        QVERIFY2(answer.startsWith("failed|") && answer.size() > 7, answer.constData());

        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState loaded;
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(loaded.PRURLCount(), 1);
        QCOMPARE(loaded.PRURLList.at(0).URL, QStringLiteral("http://www.kept.com"));
        QCOMPARE(loaded.QuorvexCount(), 3);
    }

    void textOutsidePrintableAsciiSurvives_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << QStringLiteral("http://www.example.com/a b")
                               << QStringLiteral("http://www.example.com/a b");
        QTest::newRow("percent") << QStringLiteral("50%off") << QStringLiteral("50%25off");
        QTest::newRow("international host")
            << QStringLiteral("http://www.b\u00fccher.de") << QStringLiteral("http://www.b%C3%BCcher.de");
        QTest::newRow("chinese keywords")
            << QStringLiteral("\u4e2d\u6587,seo") << QStringLiteral("%E4%B8%AD%E6%96%87,seo");
        QTest::newRow("tab") << QStringLiteral("a\tb") << QStringLiteral("a%09b");
    }
    void textOutsidePrintableAsciiSurvives()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        QCOMPARE(EscapeStoredText(text), stored);
        QCOMPARE(UnescapeStoredText(stored), text);
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState state;
        state.QuorvexList = {{text, text, text, 1}};
        SavePRURLList(state, store);
        SaveQuorvexURLList(state, store);
        ListState loaded;
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(loaded.QuorvexList.at(0).URL, text);
        QCOMPARE(loaded.QuorvexList.at(0).Keyword, text);
    }

    // Each entry's market lives in values of its own beside the entry's historical four, and follows
    // its entry through a removal or a new order: no market is left on a number its entry left.
    void marketsTravelWithTheirEntries()
    {
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState state = ThreeKeywordEntries();
        QVERIFY(SavePRURLList(state, store));
        const Market lyon{u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s};
        const Market germany{u"de"_s, {}, {}, {}};
        state.QuorvexList[0].OwnMarket = lyon;
        state.QuorvexList[2].OwnMarket = germany;
        QVERIFY(SaveQuorvexURLList(state, store));
        const QSet<QString> historical{"QUORVEXURL", "QUORVEXURLUnChecked", "QUORVEXProduct", "QUORVEXKeyword"};
        QSet<QString> names;
        for (int n = 1; n <= 3; ++n) {
            for (const QString& prefix : historical)
                names.insert(prefix + QString::number(n));
        }
        names += {"QUORVEXURLNum",  "TOP10List",        "QUORVEXCountry1", "QUORVEXLanguage1",
                  "QUORVEXDevice1", "QUORVEXLocation1", "QUORVEXCountry3"};
        QCOMPARE(StoredNames(store, QuorvexURLKey), names);
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXLocation1"), u"Lyon, France"_s);

        RemoveQuorvexEntry(state, store, 1);
        QCOMPARE(StoredNames(store, QuorvexURLKey).size(), 2 * 4 + 2 + 1);
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXCountry2"), u"de"_s);
        QVERIFY(!StoredNames(store, QuorvexURLKey).contains("QUORVEXCountry1"));
        std::swap(state.QuorvexList[0], state.QuorvexList[1]);
        QVERIFY(SaveQuorvexURLList(state, store));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXCountry1"), u"de"_s);
        QVERIFY(!StoredNames(store, QuorvexURLKey).contains("QUORVEXCountry2"));

        ListState loaded;
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(loaded.QuorvexList.at(0).URL, u"http://c.com"_s);
        QCOMPARE(loaded.QuorvexList.at(0).OwnMarket, germany);
        QCOMPARE(loaded.QuorvexList.at(1).URL, u"http://b.com"_s);
        QVERIFY(loaded.QuorvexList.at(1).OwnMarket.IsEmpty());
    }

    // A list stored by the earlier version, which knows no market, loads with every entry on the
    // default market; a list with markets keeps its historical values exactly as that version
    // writes them, so that version still reads it.
    void earlierLayoutsStayReadable()
    {
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState plain = ThreeKeywordEntries();
        QVERIFY(SavePRURLList(plain, store));
        QVERIFY(SaveQuorvexURLList(plain, store));
        const QMap<QString, QString> earlier = StoredRows(Path());
        ListState loaded;
        loaded.DefaultMarket = {u"us"_s, {}, {}, {}};
        QVERIFY(LoadURLLists(loaded, store));
        for (const QuorvexEntry& entry : std::as_const(loaded.QuorvexList))
            QVERIFY(entry.OwnMarket.IsEmpty());
        QVERIFY(loaded.DefaultMarket.IsEmpty());

        ListState marked = plain;
        marked.QuorvexList[1].OwnMarket = {u"fr"_s, u"fr"_s, u"desktop"_s, u"Paris"_s};
        QVERIFY(SaveQuorvexURLList(marked, store));
        const QMap<QString, QString> later = StoredRows(Path());
        for (auto it = earlier.cbegin(); it != earlier.cend(); ++it)
            QCOMPARE(later.value(it.key()), it.value());
        QCOMPARE(later.size(), earlier.size() + 4);
    }

    void defaultMarketRoundTrip()
    {
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState state = ThreeKeywordEntries();
        QVERIFY(SavePRURLList(state, store));
        QVERIFY(SaveQuorvexURLList(state, store));
        state.DefaultMarket = {u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s};
        QVERIFY(SaveDefaultMarket(state, store));
        QCOMPARE(StoredNames(store, MarketKey), (QSet<QString>{"Country", "Language", "Device", "Location"}));
        QVERIFY(!FileBytes(Path()).contains("Lyon"));
        ListState loaded;
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(loaded.DefaultMarket, state.DefaultMarket);

        state.DefaultMarket = {{}, {}, u"desktop"_s, {}};
        QVERIFY(SaveDefaultMarket(state, store));
        QCOMPARE(StoredNames(store, MarketKey), QSet<QString>{"Device"});
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(loaded.DefaultMarket, state.DefaultMarket);
        state.DefaultMarket = {};
        QVERIFY(SaveDefaultMarket(state, store));
        QVERIFY(!store.KeyExists(MarketKey));
    }

    // A stored field the check refuses drops that market whole, never the load: its entry (or the
    // list) is then on the default market, and the other entries keep theirs.
    void refusedStoredMarketsArePassedOver_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("kept");
        QTest::newRow("unknown country") << u"Country"_s << u"zz"_s << false;
        QTest::newRow("three-letter language") << u"Language"_s << u"fra"_s << false;
        QTest::newRow("unknown device") << u"Device"_s << u"tablet"_s << false;
        QTest::newRow("control character") << u"Location"_s << u"Lyon\x1b[2J"_s << false;
        QTest::newRow("long location") << u"Location"_s << QString(MaxLocationLength + 1, u'a') << false;
        QTest::newRow("capitals and blanks are the program's own") << u"Country"_s << u" FR "_s << true;
    }
    void refusedStoredMarketsArePassedOver()
    {
        QFETCH(QString, name);
        QFETCH(QString, content);
        QFETCH(bool, kept);
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState state = ThreeKeywordEntries();
        QVERIFY(SavePRURLList(state, store));
        const Market market{u"de"_s, u"de"_s, u"mobile"_s, u"Berlin"_s};
        state.QuorvexList[0].OwnMarket = market;
        state.QuorvexList[1].OwnMarket = market;
        state.DefaultMarket = market;
        QVERIFY(SaveQuorvexURLList(state, store));
        QVERIFY(SaveDefaultMarket(state, store));
        QVERIFY(WriteStoredValue(store, QuorvexURLKey, u"QUORVEX"_s + name + u'1', content));
        QVERIFY(WriteStoredValue(store, MarketKey, name, content));

        ListState loaded;
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(loaded.QuorvexCount(), 3);
        QCOMPARE(loaded.QuorvexList.at(1).OwnMarket, market);
        const Market expected = kept ? Market{u"fr"_s, u"de"_s, u"mobile"_s, u"Berlin"_s} : Market{};
        QCOMPARE(loaded.QuorvexList.at(0).OwnMarket, expected);
        QCOMPARE(loaded.DefaultMarket, expected);
    }

    void unconvertibleValuesFailTheLoad_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("content");
        QTest::newRow("count not a number") << PRURLKey << "PRURLNum"
                                            << "x";
        QTest::newRow("negative count") << PRURLKey << "PRURLNum"
                                        << "-1";
        QTest::newRow("count over the limit") << QuorvexURLKey << "QUORVEXURLNum"
                                              << "32768";
        QTest::newRow("flag missing") << PRURLKey << "PRURLUnChecked1"
                                      << "";
        QTest::newRow("option not boolean") << QuorvexURLKey << "TOP10List"
                                            << "maybe";
        QTest::newRow("keyword count missing") << QuorvexURLKey << "QUORVEXURLNum"
                                               << "";
    }
    void unconvertibleValuesFailTheLoad()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(QString, content);
        SettingsStore store(Path());
        QVERIFY(store.Load());
        ListState state;
        state.PRURLList = {{QStringLiteral("http://www.one.com"), 1}};
        SavePRURLList(state, store);
        SaveQuorvexURLList(state, store);
        store.SetRegValue(key, ScrambleText(QLatin1String(ScrambleKey), name),
                          ScrambleText(QLatin1String(ScrambleKey), content));
        ListState loaded;
        loaded.CheckExtractKeyword = true;
        QVERIFY(!LoadURLLists(loaded, store));
        QCOMPARE(loaded.PRURLCount(), 0); // unchanged
        QVERIFY(loaded.CheckExtractKeyword);
    }
};

QUORVEX_TEST_MAIN_CORE(TestListStore)
#include "test_list_store.moc"
