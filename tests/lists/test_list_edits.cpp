#include "lists/ListEdits.h"
#include "lists/ListStore.h"
#include "support/ListTestSupport.h"
#include "support/TestHome.h"

#include <QFile>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Market)

class TestListEdits : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString StorePath() const { return dir.filePath(QStringLiteral("Settings.db")); }
    SettingsStore NewStore()
    {
        QFile::remove(StorePath());
        SettingsStore store(StorePath());
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

    // Both lists take only web addresses: http or https, or no scheme at all ("host:port" names
    // none), and a host name. Anything else is refused whole, and nothing is stored.
    void onlyWebAddressesAreTaken_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("page");    // as the Page Rank list stores it; empty: refused
        QTest::addColumn<QString>("keyword"); // as the keyword list stores it
        QTest::newRow("bare host") << "example.com"
                                   << "http://www.example.com"
                                   << "http://example.com";
        QTest::newRow("host and port") << "localhost:8080"
                                       << "http://www.localhost:8080"
                                       << "http://localhost:8080";
        QTest::newRow("port and path") << "Example.com:81/a"
                                       << "http://www.Example.com:81/a"
                                       << "http://Example.com:81/a";
        QTest::newRow("secure, capitals") << "HTTPS://Blog.Example.com/x"
                                          << "https://www.Blog.Example.com/x"
                                          << "HTTPS://Blog.Example.com/x";
        QTest::newRow("ftp") << "ftp://example.com" << QString() << QString();
        QTest::newRow("mail address") << "mailto:me@example.com" << QString() << QString();
        QTest::newRow("script") << "javascript:alert(1)" << QString() << QString();
        QTest::newRow("scheme only") << "http://" << QString() << QString();
        QTest::newRow("www only") << "https://www./x" << QString() << QString();
        QTest::newRow("blanks") << "not a url" << QString() << QString();
        QTest::newRow("two lines, the second bad") << "b.com\nftp://c.com" << QString() << QString();
    }
    void onlyWebAddressesAreTaken()
    {
        QFETCH(QString, typed);
        QFETCH(QString, page);
        QFETCH(QString, keyword);
        SettingsStore store = NewStore();
        ListState state;
        state.PRURLList = {{QStringLiteral("http://www.a.com"), 1}};
        state.QuorvexList = {{QStringLiteral("http://a.com"), QString(), QStringLiteral("k"), 1}};
        QVERIFY(SavePRURLList(state, store));
        QVERIFY(SaveQuorvexURLList(state, store));
        const ListState before = state;
        QString refusedAdded;
        QString refusedReplaced;
        const EditResult added = AcceptPRURLText(state, store, typed, true, &refusedAdded);
        const EditResult replaced = AcceptPRURLText(state, store, typed, false, &refusedReplaced);
        const EditResult entry = AcceptQuorvexEntry(state, store, typed, QString(), QStringLiteral("k"), {}, true, 0);
        const EditResult edited =
            AcceptQuorvexEntry(state, store, typed, QStringLiteral("P"), QStringLiteral("k"), {}, false, 1);
        if (page.isEmpty()) {
            for (const EditResult result : {added, replaced, entry, edited})
                QCOMPARE(result, EditResult::NotAnAddress);
            QCOMPARE(URLs(state), URLs(before));
            QCOMPARE(state.QuorvexCount(), 1);
            QCOMPARE(state.QuorvexList.at(0).Product, QString());
            QCOMPARE(StoredValue(store, PRURLKey, "PRURLNum"), QStringLiteral("1"));
            QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXURLNum"), QStringLiteral("1"));
            // The first line that is no address is named.
            QCOMPARE(refusedAdded, typed.section(QLatin1Char('\n'), -1));
            QCOMPARE(refusedReplaced, refusedAdded);
            QVERIFY(!IsWebAddress(typed));
            return;
        }
        QVERIFY(IsWebAddress(typed));
        QCOMPARE(added, EditResult::Saved);
        QCOMPARE(replaced, EditResult::Saved);
        QCOMPARE(URLs(state), QStringList{page});
        QCOMPARE(entry, EditResult::Saved);
        QCOMPARE(edited, EditResult::Saved);
        QCOMPARE(state.QuorvexList.at(0).URL, keyword);
        QCOMPARE(state.QuorvexList.at(1).URL, keyword);
    }

    void addModeDropsDuplicatesIgnoringCase()
    {
        SettingsStore store = NewStore();
        ListState state;
        state.PRURLList = {{QStringLiteral("http://www.one.com"), 0}};
        QCOMPARE(AcceptPRURLText(state, store,
                                 QStringLiteral("  two.com \r\n\r\nTWO.com\r\nhttp://www.ONE.com\nthree.com"), true),
                 EditResult::DuplicateDropped);
        QCOMPARE(URLs(state), (QStringList{"http://www.one.com", "http://www.two.com", "http://www.three.com"}));
        QCOMPARE(state.PRURLList.at(0).Checked, 0);
        QCOMPARE(state.PRURLList.at(1).Checked, 1);
        QCOMPARE(StoredValue(store, PRURLKey, "PRURLNum"), QStringLiteral("3"));
        QCOMPARE(AcceptPRURLText(state, store, QStringLiteral("four.com"), true), EditResult::Saved);
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
        // Each new line keeps what was typed; "http://www.a.com", left as it was, had nothing kept.
        QCOMPARE(StoredNames(store, PRURLKey).size(), 4 * 2 + 3 + 2);

        AcceptPRURLText(state, store, QString(), false);
        QCOMPARE(state.PRURLCount(), 0);
        QCOMPARE(StoredNames(store, PRURLKey), (QSet<QString>{"PRURLNum", "CheckExtractKeyword"}));
    }

    // The Page Rank list stores "www." in front of every host; what was typed is kept beside each
    // entry for the page itself, moves with its entry and survives a reload. An entry of an earlier
    // version has none and is read at its stored address.
    void typedAddressStaysWithItsEntry()
    {
        SettingsStore store = NewStore();
        ListState state;
        state.PRURLList = {{QStringLiteral("http://www.old.example"), 0}};
        QVERIFY(SavePRURLList(state, store));
        QVERIFY(SaveQuorvexURLList(state, store));
        QCOMPARE(AcceptPRURLText(state, store, QStringLiteral("blog.example.com\nHTTPS://Shop.example.com/x"), true),
                 EditResult::Saved);
        QCOMPARE(URLs(state), (QStringList{"http://www.old.example", "http://www.blog.example.com",
                                           "https://www.Shop.example.com/x"}));
        const auto pages = [](const ListState& lists) {
            QStringList urls;
            for (const PRURLEntry& e : lists.PRURLList)
                urls.append(e.PageURL());
            return urls;
        };
        QCOMPARE(pages(state),
                 (QStringList{"http://www.old.example", "http://blog.example.com", "HTTPS://Shop.example.com/x"}));
        QCOMPARE(StoredValue(store, PRURLKey, "PRURLTyped2"), QStringLiteral("http://blog.example.com"));
        QCOMPARE(StoredNames(store, PRURLKey).size(), 3 * 2 + 2 + 2); // the old entry has none

        // Edit mode: the lines as the dialog shows them, reordered; an unchanged line keeps what was
        // typed for it, a line typed anew brings its own.
        QCOMPARE(AcceptPRURLText(state, store,
                                 QStringLiteral("https://www.Shop.example.com/x\nhttp://www.old.example\n"
                                                "www.blog.example.com\nnew.example"),
                                 false),
                 EditResult::Saved);
        ListState loaded;
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(URLs(loaded), (QStringList{"https://www.Shop.example.com/x", "http://www.old.example",
                                            "http://www.blog.example.com", "http://www.new.example"}));
        QCOMPARE(pages(loaded), (QStringList{"HTTPS://Shop.example.com/x", "http://www.old.example",
                                             "http://www.blog.example.com", "http://new.example"}));
        QCOMPARE(loaded.PRURLList.at(1).Checked, 0);
        QCOMPARE(StoredNames(store, PRURLKey).size(), 4 * 2 + 3 + 2);
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
        QCOMPARE(AcceptQuorvexEntry(state, store, "example.com", "Widget", "a,b", {}, true, 0), EditResult::Saved);
        QCOMPARE(AcceptQuorvexEntry(state, store, "example.com", "Gadget", "c", {}, true, 0), EditResult::Saved);
        QCOMPARE(AcceptQuorvexEntry(state, store, "example.com", "", "d", {}, true, 0), EditResult::Saved);
        QCOMPARE(AcceptQuorvexEntry(state, store, "HTTP://EXAMPLE.COM", "widget", "x", {}, true, 0),
                 EditResult::Duplicate);
        QCOMPARE(state.QuorvexCount(), 3);
        // The same address and product in a market of its own is another entry; twice in it is not.
        const Market german{u"de"_s, u"de"_s, {}, {}};
        QCOMPARE(AcceptQuorvexEntry(state, store, "example.com", "widget", "a", german, true, 0), EditResult::Saved);
        QCOMPARE(AcceptQuorvexEntry(state, store, "example.com", "Widget", "b", german, true, 0),
                 EditResult::Duplicate);
        state.QuorvexList.removeLast();
        QVERIFY(SaveQuorvexURLList(state, store));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXURLNum"), QStringLiteral("3"));

        // Edit mode: the edited entry itself is no duplicate; another one is.
        state.QuorvexList[0].Checked = 0;
        QCOMPARE(AcceptQuorvexEntry(state, store, "http://example.com", "WIDGET", "new", {}, false, 1),
                 EditResult::Saved);
        QCOMPARE(state.QuorvexList.at(0).Keyword, QStringLiteral("new"));
        QCOMPARE(state.QuorvexList.at(0).Product, QStringLiteral("WIDGET"));
        QCOMPARE(state.QuorvexList.at(0).Checked, 0); // an edit keeps the flag
        QCOMPARE(AcceptQuorvexEntry(state, store, "http://example.com", "gadget", "z", {}, false, 1),
                 EditResult::Duplicate);
        QCOMPARE(state.QuorvexList.at(0).Keyword, QStringLiteral("new"));
        QCOMPARE(StoredValue(store, QuorvexURLKey, "QUORVEXKeyword1"), QStringLiteral("new"));
    }

    // The fields chosen for an entry make its market, the unchosen ones as the default has them;
    // none chosen leaves it on the default. A refused code stores nothing.
    void entryMarkets_data()
    {
        QTest::addColumn<Market>("chosen");
        QTest::addColumn<Market>("own"); // as stored
        QTest::addColumn<bool>("refused");
        QTest::newRow("none: the default") << Market{} << Market{} << false;
        QTest::newRow("blanks are none") << Market{u" "_s, {}, {}, u"  "_s} << Market{} << false;
        QTest::newRow("whole") << Market{u"DE"_s, u"de"_s, u"desktop"_s, u" Berlin "_s}
                               << Market{u"de"_s, u"de"_s, u"desktop"_s, u"Berlin"_s} << false;
        QTest::newRow("the rest from the default")
            << Market{{}, {}, u"desktop"_s, {}} << Market{u"fr"_s, u"fr"_s, u"desktop"_s, u"Lyon"_s} << false;
        QTest::newRow("unknown country") << Market{u"zz"_s, {}, {}, {}} << Market{} << true;
        QTest::newRow("unknown language") << Market{{}, u"xx"_s, {}, {}} << Market{} << true;
        QTest::newRow("unknown device") << Market{{}, {}, u"tablet"_s, {}} << Market{} << true;
        QTest::newRow("line break in the location") << Market{{}, {}, {}, u"Lyon\nFrance"_s} << Market{} << true;
    }
    void entryMarkets()
    {
        QFETCH(Market, chosen);
        QFETCH(Market, own);
        QFETCH(bool, refused);
        SettingsStore store = NewStore();
        ListState state;
        state.DefaultMarket = {u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon"_s};
        state.QuorvexList = {{u"http://a.com"_s, {}, u"k"_s, 1, {u"us"_s, {}, {}, {}}}};
        QVERIFY(SavePRURLList(state, store));
        QVERIFY(SaveQuorvexURLList(state, store));
        const QByteArray before = FileBytes(StorePath());

        const EditResult added = AcceptQuorvexEntry(state, store, u"b.com"_s, {}, u"k"_s, chosen, true, 0);
        const EditResult edited = AcceptQuorvexEntry(state, store, u"a.com"_s, {}, u"k"_s, chosen, false, 1);
        if (refused) {
            QCOMPARE(added, EditResult::BadMarket);
            QCOMPARE(edited, EditResult::BadMarket);
            QVERIFY(!MarketProblem(chosen).isEmpty());
            QCOMPARE(state.QuorvexCount(), 1);
            QCOMPARE(state.QuorvexList.at(0).OwnMarket, (Market{u"us"_s, {}, {}, {}}));
            QCOMPARE(FileBytes(StorePath()), before);
            return;
        }
        QCOMPARE(added, EditResult::Saved);
        QCOMPARE(edited, EditResult::Saved);
        ListState loaded;
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(loaded.QuorvexList.at(0).OwnMarket, own);
        QCOMPARE(loaded.QuorvexList.at(1).OwnMarket, own);
    }

    void defaultMarket()
    {
        SettingsStore store = NewStore();
        ListState state;
        QVERIFY(InitURLLists(state, store));
        QCOMPARE(AcceptDefaultMarket(state, store, {u" FR"_s, u"fr"_s, u"Mobile"_s, u"Lyon, France"_s}),
                 EditResult::Saved);
        const Market lyon{u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s};
        QCOMPARE(state.DefaultMarket, lyon);
        const QByteArray before = FileBytes(StorePath());
        QCOMPARE(AcceptDefaultMarket(state, store, {u"fr"_s, u"french"_s, {}, {}}), EditResult::BadMarket);
        QCOMPARE(state.DefaultMarket, lyon);
        QCOMPARE(FileBytes(StorePath()), before);
        ListState loaded;
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(loaded.DefaultMarket, lyon);
        QCOMPARE(AcceptDefaultMarket(state, store, {}), EditResult::Saved);
        QVERIFY(LoadURLLists(loaded, store));
        QVERIFY(loaded.DefaultMarket.IsEmpty());
    }

    void fullListsLoadAndRefuseOneMore_data()
    {
        QTest::addColumn<int>("edit");
        QTest::newRow("add a page") << 0;
        QTest::newRow("edit the pages to one more") << 1;
        QTest::newRow("add a keyword entry") << 2;
        QTest::newRow("append a keyword entry") << 3;
    }
    void fullListsLoadAndRefuseOneMore()
    {
        QFETCH(int, edit);
        SettingsStore store = NewStore();
        ListState state;
        QStringList lines;
        for (int n = 1; n <= MaxListEntries; ++n) {
            lines.append(QStringLiteral("page%1.example").arg(n));
            state.QuorvexList.append({QStringLiteral("http://k%1.example").arg(n), QString(), QStringLiteral("k"), 1});
        }
        QCOMPARE(AcceptPRURLText(state, store, lines.join(QLatin1Char('\n')), false), EditResult::Saved);
        QVERIFY(SaveQuorvexURLList(state, store));
        ListState loaded;
        QVERIFY(LoadURLLists(loaded, store));
        QCOMPARE(loaded.PRURLCount(), MaxListEntries);
        QCOMPARE(loaded.QuorvexCount(), MaxListEntries);
        QCOMPARE(loaded.PRURLList.last().URL, QStringLiteral("http://www.page32767.example"));

        const QByteArray stored = [&] {
            QFile file(StorePath());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        EditResult result = EditResult::Saved;
        switch (edit) {
        case 0:
            result = AcceptPRURLText(state, store, QStringLiteral("one-more.example"), true);
            break;
        case 1:
            result =
                AcceptPRURLText(state, store, lines.join(QLatin1Char('\n')) + QStringLiteral("\nmore.example"), false);
            break;
        case 2:
            result = AcceptQuorvexEntry(state, store, QStringLiteral("more.example"), QString(), QStringLiteral("k"),
                                        {}, true, 0);
            break;
        default:
            result = MakeQUORVEXProject(state, store, QStringLiteral("http://more.example"), QString(),
                                        QStringLiteral("k"), {});
        }
        QCOMPARE(result, EditResult::ListFull);
        QCOMPARE(ListFullText(), QStringLiteral("A list holds at most 32767 entries."));
        QCOMPARE(state.PRURLCount(), MaxListEntries);
        QCOMPARE(state.QuorvexCount(), MaxListEntries);
        QFile file(StorePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == stored);
    }

    // A store that refuses every write (here: opened for reading only) leaves the lists in memory
    // as they are stored.
    void refusedSaveChangesNothing_data()
    {
        QTest::addColumn<int>("edit");
        QTest::newRow("add pages") << 0;
        QTest::newRow("edit pages") << 1;
        QTest::newRow("add a keyword entry") << 2;
        QTest::newRow("edit a keyword entry") << 3;
        QTest::newRow("remove a keyword entry") << 4;
        QTest::newRow("remove all pages") << 5;
    }
    void refusedSaveChangesNothing()
    {
        QFETCH(int, edit);
        ListState state;
        state.PRURLList = {{QStringLiteral("http://www.a.com"), 0}};
        state.QuorvexList = {{QStringLiteral("http://b.com"), QStringLiteral("B"), QStringLiteral("k"), 0}};
        {
            SettingsStore writer = NewStore();
            QVERIFY(SavePRURLList(state, writer));
            QVERIFY(SaveQuorvexURLList(state, writer));
        }
        SettingsStore store(StorePath());
        QVERIFY(store.LoadReadOnly());
        const auto summary = [&] {
            QStringList all = URLs(state);
            for (const QuorvexEntry& e : std::as_const(state.QuorvexList))
                all << e.URL << e.Product << e.Keyword << QString::number(e.Checked);
            return all;
        };
        const QStringList before = summary();
        bool saved = true;
        switch (edit) {
        case 0:
            saved = AcceptPRURLText(state, store, QStringLiteral("c.com"), true) != EditResult::NotSaved;
            break;
        case 1:
            saved = AcceptPRURLText(state, store, QStringLiteral("c.com"), false) != EditResult::NotSaved;
            break;
        case 2:
            saved = AcceptQuorvexEntry(state, store, QStringLiteral("c.com"), {}, QStringLiteral("k"), {}, true, 0) !=
                    EditResult::NotSaved;
            break;
        case 3:
            saved = AcceptQuorvexEntry(state, store, QStringLiteral("c.com"), {}, QStringLiteral("x"), {}, false, 1) !=
                    EditResult::NotSaved;
            break;
        case 4:
            saved = RemoveQuorvexEntry(state, store, 1);
            break;
        default:
            saved = RemoveAllEntries(state, store, ListKind::PageRank);
        }
        QVERIFY(!saved);
        QVERIFY(store.WriteFailed());
        QCOMPARE(summary(), before);
    }
};

QUORVEX_TEST_MAIN_CORE(TestListEdits)
#include "test_list_edits.moc"
