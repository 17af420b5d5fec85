// The settings dialog's Sources page: choices stored through OK or refused with nothing stored, the
// stored key never shown whole, the tests of each column against the fake web's replicas, and
// the import of a traffic-rank list off the window's thread.

#include "base/Names.h"
#include "gui/frmSettings.h"
#include "model/AppState.h"
#include "session/Session.h"
#include "sitedb/DirectorySettings.h"
#include "sitedb/SiteDbTexts.h"
#include "sources/RankListStore.h"
#include "sources/SourceSettings.h"
#include "support/FileDamage.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"

#include "PageGenerator.h"
#include "support/ProxyWeb.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace {

const QString SerpKey = u"sk-0123456789abcd"_s;

// A program folder with its session, and the settings dialog open on the Sources page.
struct Rig {
    Rig()
    {
        if (!state.Settings.Load())
            qFatal("no settings store");
        Open();
    }
    void Open()
    {
        dialog = new frmSettings(session, prompter);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        dialog->Pages()->setCurrentWidget(dialog->Pages()->findChild<QWidget*>(u"Sources"_s));
    }
    template <typename T> T* Find(const QString& name) const
    {
        T* found = dialog->findChild<T*>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }
    QLineEdit* Edit(const QString& name) const { return Find<QLineEdit>(name); }
    QString Text(const QString& label) const { return Find<QLabel>(label)->text(); }
    void Choose(const QString& combo, const QString& source) const
    {
        QComboBox* box = Find<QComboBox>(combo);
        box->setCurrentIndex(box->findText(source));
        if (box->currentText() != source)
            qFatal("no source %s", qPrintable(source));
    }
    void Click(const QString& button) const { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    QPushButton* Ok() const { return dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok); }
    SourceSettings Stored() const { return LoadSourceSettings(state.Settings); }
    QString Write(const QString& name, const QByteArray& bytes) const
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    ProxyWeb web;
    QTemporaryDir folder;
    AppState state{folder.path()};
    ScriptedPrompter prompter;
    Session session{state, prompter};
    QPointer<frmSettings> dialog;
};

} // namespace

class TestSourcesPage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void choices_data()
    {
        QTest::addColumn<QString>("column"); // the combo's name
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<QString>("refusal"); // empty: stored
        QTest::addColumn<QString>("described");
        QTest::newRow("serpapi")
            << u"cboSearchSource"_s << u"serpapi"_s << SerpKey << u"http://serpapi.com/search.json"_s << QString()
            << u"search: serpapi, endpoint http://serpapi.com/search.json, depth 20, key ****abcd"_s;
        QTest::newRow("brave, default endpoint")
            << u"cboSearchSource"_s << u"brave"_s << u"brave-key-42"_s << QString() << QString()
            << u"search: brave, endpoint https://api.search.brave.com/res/v1/web/search (default), depth 20, key "
               "****y-42 (positions in Brave's own index, not Google's)"_s;
        QTest::newRow("openpagerank") << u"cboAuthoritySource"_s << u"openpagerank"_s << u"opr-key-9876"_s << QString()
                                      << QString()
                                      << u"authority: openpagerank, endpoint "
                                         "https://openpagerank.com/api/v1.0/getPageRank (default), key ****9876"_s;
        QTest::newRow("missing key") << u"cboSearchSource"_s << u"serpapi"_s << QString() << QString()
                                     << u"The search source serpapi needs a key"_s << QString();
        QTest::newRow("bad endpoint") << u"cboSearchSource"_s << u"serper"_s << u"key-1"_s << u"ftp://serper.example/"_s
                                      << u"The endpoint must be an absolute http or https address, not "
                                         "'ftp://serper.example/'"_s
                                      << QString();
        QTest::newRow("instance without address")
            << u"cboSearchSource"_s << u"searxng"_s << QString() << QString()
            << u"The search source searxng needs the address of your own instance as its endpoint"_s << QString();
        QTest::newRow("authority key with a blank")
            << u"cboAuthoritySource"_s << u"openpagerank"_s << u"two words"_s << QString()
            << u"A key holds printable characters only, without blanks"_s << QString();
    }
    void choices()
    {
        QFETCH(QString, column);
        QFETCH(QString, source);
        QFETCH(QString, key);
        QFETCH(QString, endpoint);
        QFETCH(QString, refusal);
        QFETCH(QString, described);
        const bool search = column == u"cboSearchSource"_s;
        Rig rig;
        rig.Choose(column, source);
        rig.Edit(search ? u"txtSearchKey"_s : u"txtAuthorityKey"_s)->setText(key);
        rig.Edit(search ? u"txtSearchEndpoint"_s : u"txtAuthorityEndpoint"_s)->setText(endpoint);
        rig.Find<QComboBox>(u"cboSearchDepth"_s)->setCurrentIndex(1);
        // The other page's change goes with the sources', or not at all.
        rig.Edit(u"txtDirectoryBase"_s)->setText(u"https://sites.example/dir/"_s);
        rig.Ok()->click();

        if (refusal.isEmpty()) {
            QVERIFY(rig.prompter.Messages.isEmpty());
            QTRY_VERIFY(rig.dialog.isNull());
            QVERIFY(DescribeSources(rig.Stored()).contains(described));
            QCOMPARE(ReadDirectoryBase(rig.state.Settings), u"https://sites.example/dir/"_s);
            return;
        }
        QCOMPARE(rig.prompter.Messages.size(), 1);
        QCOMPARE(rig.prompter.Messages.first().Text, refusal);
        QCOMPARE(rig.prompter.Messages.first().Title, AppTitle);
        QVERIFY(rig.dialog->isVisible());
        QCOMPARE(rig.dialog->Pages()->currentWidget()->objectName(), u"Sources"_s);
        QCOMPARE(DescribeSources(rig.Stored()), DescribeSources(SourceSettings()));
        QCOMPARE(ReadDirectoryBase(rig.state.Settings), DefaultDirectoryBase);
    }

    void storedKeyNeverShown()
    {
        Rig rig;
        rig.Choose(u"cboSearchSource"_s, u"serpapi"_s);
        rig.Edit(u"txtSearchKey"_s)->setText(SerpKey);
        rig.Edit(u"txtSearchEndpoint"_s)->setText(u"http://serpapi.com/search.json"_s);
        rig.Ok()->click();
        QTRY_VERIFY(rig.dialog.isNull());

        rig.Open();
        QLineEdit* key = rig.Edit(u"txtSearchKey"_s);
        QVERIFY(key->text().isEmpty());
        QCOMPARE(key->placeholderText(), u"****abcd"_s);
        QCOMPARE(rig.Edit(u"txtSearchEndpoint"_s)->text(), u"http://serpapi.com/search.json"_s);
        for (const QLineEdit* field : rig.dialog->findChildren<QLineEdit*>())
            QVERIFY(!field->text().contains(SerpKey) && !field->placeholderText().contains(SerpKey));
        for (const QLabel* label : rig.dialog->findChildren<QLabel*>())
            QVERIFY(!label->text().contains(SerpKey));
        // Another service shows what is kept for it, and going back finds the key again.
        rig.Choose(u"cboSearchSource"_s, u"serper"_s);
        QCOMPARE(key->placeholderText(), u"no key stored"_s);
        QVERIFY(rig.Edit(u"txtSearchEndpoint"_s)->text().isEmpty());
        rig.Choose(u"cboSearchSource"_s, u"serpapi"_s);
        QCOMPARE(key->placeholderText(), u"****abcd"_s);

        // An empty key keeps the stored one; an emptied endpoint goes back to the default.
        rig.Edit(u"txtSearchEndpoint"_s)->clear();
        rig.Find<QComboBox>(u"cboSearchDepth"_s)->setCurrentIndex(0);
        rig.Ok()->click();
        QTRY_VERIFY(rig.dialog.isNull());
        const SearchSourceSettings stored = rig.Stored().Search;
        QCOMPARE(stored.Key, SerpKey);
        QVERIFY(stored.Endpoint.isEmpty());
        QCOMPARE(stored.Depth, 10);
    }

    void testButton_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<QString>("asked"); // the keyword or the domain
        QTest::addColumn<QString>("shown");
        const QString keyword = u"test"_s;
        const QString host = GeneratedResultHost(keyword, 0);
        QTest::newRow("serpapi") << u"Search"_s << u"serpapi"_s << SerpKey << u"http://serpapi.com/search.json"_s
                                 << keyword
                                 << u"HTTP 200. %1 results; the first: %2 - test <http://%3/>"_s
                                        .arg(qMin(10, GeneratedResultCount(keyword)))
                                        .arg(host.mid(4), host);
        QTest::newRow("serpapi, bad key")
            << u"Search"_s << u"serpapi"_s << u"bad-key"_s << u"http://serpapi.com/search.json"_s << keyword
            << u"HTTP 401. Failed: the service refused the key (HTTP 401): Invalid API key. Your API key should be "
               "here: https://serpapi.com/manage-api-key"_s;
        QTest::newRow("serpapi, no results")
            << u"Search"_s << u"serpapi"_s << SerpKey << u"http://serpapi.com/search.json"_s << u"fully-empty"_s
            << u"HTTP 200. No results."_s;
        QTest::newRow("instance without json")
            << u"Search"_s << u"searxng"_s << QString() << u"http://search.home.example/search"_s << u"json-disabled"_s
            << u"HTTP 403. Failed: "_s;
        QTest::newRow("openpagerank, not ranked")
            << u"Authority"_s << u"openpagerank"_s << u"opr-key-9876"_s
            << u"http://openpagerank.com/api/v1.0/getPageRank"_s << u"http://www.nowhere.unknown/page"_s
            << u"HTTP 200. nowhere.unknown is not ranked."_s;
        QTest::newRow("openpagerank, a value") << u"Authority"_s << u"openpagerank"_s << u"opr-key-9876"_s
                                               << u"http://openpagerank.com/api/v1.0/getPageRank"_s << u"example.com"_s
                                               << u"HTTP 200. The authority of example.com is "_s;
    }
    void testButton()
    {
        QFETCH(QString, column);
        QFETCH(QString, source);
        QFETCH(QString, key);
        QFETCH(QString, endpoint);
        QFETCH(QString, asked);
        QFETCH(QString, shown);
        Rig rig;
        rig.Choose(u"cbo%1Source"_s.arg(column), source);
        rig.Edit(u"txt%1Key"_s.arg(column))->setText(key);
        rig.Edit(u"txt%1Endpoint"_s.arg(column))->setText(endpoint);
        rig.Edit(column == u"Search"_s ? u"txtTestKeyword"_s : u"txtTestDomain"_s)->setText(asked);
        const QString result = u"lbl%1Test"_s.arg(column);
        rig.Click(u"cmdTest%1"_s.arg(column));
        QCOMPARE(rig.Text(result), u"Testing..."_s);
        QVERIFY(!rig.Find<QPushButton>(u"cmdTest%1"_s.arg(column))->isEnabled());
        QTRY_VERIFY(rig.Text(result) != u"Testing..."_s);

        QVERIFY2(rig.Text(result).startsWith(shown), qPrintable(rig.Text(result)));
        QVERIFY(key.isEmpty() || !rig.Text(result).contains(key));
        QCOMPARE(rig.web.Requests().size(), 1);
        QCOMPARE(rig.state.PendingHtmlCount, 0);
        QVERIFY(rig.prompter.Messages.isEmpty());
        // A test stores nothing.
        rig.dialog->reject();
        QCOMPARE(DescribeSources(rig.Stored()), DescribeSources(SourceSettings()));
    }

    void refusedWhileRunning()
    {
        Rig rig;
        rig.web.SetFallback([](const QUrl&) {
            CannedReply never;
            never.Kind = CannedReply::Behaviour::NeverAnswer;
            return never;
        });
        rig.state.Lists.PRURLList = {{u"http://www.alpha.com"_s, 1}};
        rig.session.StartOrStopRank();
        QVERIFY(rig.session.IsRunning());
        rig.Choose(u"cboAuthoritySource"_s, u"openpagerank"_s);
        rig.Edit(u"txtAuthorityKey"_s)->setText(u"opr-key-9876"_s);
        rig.Click(u"cmdTestAuthority"_s);
        QCOMPARE(rig.prompter.Messages.size(), 1);
        QCOMPARE(rig.prompter.Messages.first().Text, SiteDbTexts::RunGoing);
        QVERIFY(rig.Text(u"lblAuthorityTest"_s).isEmpty());
        rig.session.StopEverything();
        QTRY_VERIFY(!rig.session.IsRunning());
    }

    void closedMeanwhile()
    {
        Rig rig;
        rig.web.SetFallback([](const QUrl& url) {
            CannedReply slow;
            slow.DelayMs = url.host() == u"lists.example"_s ? 3000 : 300;
            slow.ContentType = "application/json";
            slow.Body = url.host() == u"lists.example"_s ? "1,example.com\n" : R"({"organic_results":[]})";
            return slow;
        });
        rig.Choose(u"cboSearchSource"_s, u"serpapi"_s);
        rig.Edit(u"txtSearchKey"_s)->setText(SerpKey);
        rig.Edit(u"txtSearchEndpoint"_s)->setText(u"http://slow.example/search.json"_s);
        rig.Click(u"cmdTestSearch"_s);
        rig.Choose(u"cboTrafficSource"_s, u"tranco"_s);
        rig.Edit(u"txtTrafficList"_s)->setText(u"http://lists.example/tranco_SLOW1.csv"_s);
        rig.Click(u"cmdImportList"_s);
        QTRY_COMPARE(rig.web.Requests().size(), 2);

        // Closed while both go: the reply comes to nobody, the download is dropped unimported.
        rig.dialog->close();
        QTRY_VERIFY(rig.dialog.isNull());
        QTRY_COMPARE(rig.state.PendingHtmlCount, 0);
        QVERIFY(rig.prompter.Messages.isEmpty());
        QVERIFY(!RankListStore(RankListsPath(rig.state.ProgramFolder)).Info(RankListKind::Tranco));
    }

    void trafficImport_data()
    {
        QTest::addColumn<bool>("download");
        QTest::newRow("file") << false;
        QTest::newRow("address") << true;
    }
    void trafficImport()
    {
        QFETCH(bool, download);
        Rig rig;
        const QByteArray list = "1,example.com\r\n2,bbc.co.uk\r\n3,example.org\r\n";
        QString from = rig.Write(u"tranco_K2QVN.csv"_s, list);
        if (download) {
            CannedReply reply;
            reply.Body = list;
            reply.ContentType = "text/csv";
            from = u"http://lists.example/tranco_K2QVN.csv"_s;
            rig.web.AddRoute(from, reply);
        }
        rig.Choose(u"cboTrafficSource"_s, u"tranco"_s);
        QCOMPARE(rig.Text(u"lblListInfo"_s), u"no tranco list imported yet"_s);
        rig.Edit(u"txtTrafficList"_s)->setText(from);
        rig.Click(u"cmdImportList"_s);
        QVERIFY(!rig.Ok()->isEnabled());
        QVERIFY(!rig.Find<QPushButton>(u"cmdImportList"_s)->isEnabled());
        QTRY_VERIFY(rig.Ok()->isEnabled());
        QVERIFY(rig.prompter.Messages.isEmpty());
        QCOMPARE(rig.Text(u"lblTrafficTest"_s), u"Imported the tranco list K2QVN: 3 domains."_s);
        QVERIFY2(rig.Text(u"lblListInfo"_s).startsWith(u"K2QVN, imported "_s), qPrintable(rig.Text(u"lblListInfo"_s)));
        QVERIFY(rig.Text(u"lblListInfo"_s).contains(u", 3 domains, from "_s));

        // The lookup asks the local list: no request.
        const qsizetype requests = rig.web.Requests().size();
        rig.Edit(u"txtTestHost"_s)->setText(u"news.BBC.co.uk"_s);
        rig.Click(u"cmdTestTraffic"_s);
        QCOMPARE(rig.Text(u"lblTrafficTest"_s), u"bbc.co.uk ranks 2 in the tranco list."_s);
        rig.Edit(u"txtTestHost"_s)->setText(u"www.unlisted.example"_s);
        rig.Click(u"cmdTestTraffic"_s);
        QCOMPARE(rig.Text(u"lblTrafficTest"_s), u"unlisted.example is not ranked in the tranco list."_s);
        QCOMPARE(rig.web.Requests().size(), requests);

        rig.Ok()->click();
        QTRY_VERIFY(rig.dialog.isNull());
        const TrafficSourceSettings stored = rig.Stored().Traffic;
        QCOMPARE(stored.Kind, TrafficSourceKind::Tranco);
        QCOMPARE(stored.List, from);
    }

    void trafficRefusals()
    {
        Rig rig;
        rig.Choose(u"cboTrafficSource"_s, u"tranco"_s);
        const QString missing = rig.folder.filePath(u"gone.csv"_s);
        rig.Edit(u"txtTrafficList"_s)->setText(missing);
        rig.Click(u"cmdImportList"_s);
        QCOMPARE(rig.prompter.Messages.size(), 1);
        QCOMPARE(rig.prompter.Messages.last().Text,
                 u"The list must be a readable file or an http or https address, not '%1'"_s.arg(missing));

        rig.Edit(u"txtTrafficList"_s)->setText(rig.Write(u"page.csv"_s, "<html><body>no list</body></html>\n"));
        rig.Click(u"cmdImportList"_s);
        QTRY_COMPARE(rig.prompter.Messages.size(), 2);
        QCOMPARE(rig.prompter.Messages.last().Text, u"page.csv is not a tranco list: no line reads \"rank,domain\"."_s);
        QCOMPARE(rig.Text(u"lblListInfo"_s), u"no tranco list imported yet"_s);
        // Chosen without a list, as the command line allows; the refused file is not taken.
        rig.Ok()->click();
        QTRY_VERIFY(rig.dialog.isNull());
        QCOMPARE(rig.Stored().Traffic.Kind, TrafficSourceKind::Tranco);
        QVERIFY(rig.Stored().Traffic.List.isEmpty());
    }

    // A list download ends at the size the setting allows; the earlier list stays.
    void downloadBoundedBySetting()
    {
        Rig rig;
        QString problem;
        QVERIFY2(SaveListDownloadMaxMiB(rig.state.Settings, u"1"_s, problem), qPrintable(problem));
        CannedReply endless;
        endless.Kind = CannedReply::Behaviour::Endless;
        rig.web.AddRoute(u"http://lists.example/endless.csv"_s, endless);
        rig.Choose(u"cboTrafficSource"_s, u"tranco"_s);
        rig.Edit(u"txtTrafficList"_s)->setText(u"http://lists.example/endless.csv"_s);
        rig.Click(u"cmdImportList"_s);
        QTRY_COMPARE_WITH_TIMEOUT(rig.prompter.Messages.size(), 1, 10000);
        QCOMPARE(rig.prompter.Messages.last().Text,
                 u"http://lists.example/endless.csv is larger than 1 MiB, the most a list download may be (the "
                 "setting list-download-max-mib raises it)."_s);
        QCOMPARE(rig.Text(u"lblListInfo"_s), u"no tranco list imported yet"_s);
    }

    // A file that is mostly no list is imported over the earlier list only when the user says so.
    void junkListAsksFirst()
    {
        Rig rig;
        QByteArray good;
        for (int i = 1; i <= 2000; ++i)
            good += QByteArray::number(i) + ",site" + QByteArray::number(i) + ".example\n";
        const QString junk = rig.Write(u"tranco_JUNK2.csv"_s, QByteArray("junk\n").repeated(20) + "1,a.example\n");
        rig.Choose(u"cboTrafficSource"_s, u"tranco"_s);
        rig.Edit(u"txtTrafficList"_s)->setText(rig.Write(u"tranco_GOOD1.csv"_s, good));
        rig.Click(u"cmdImportList"_s);
        QTRY_VERIFY(rig.Text(u"lblListInfo"_s).startsWith(u"GOOD1, "_s));

        const QString refusal = u"tranco_JUNK2.csv is refused: 20 of its 21 non-blank lines are not rows of a tranco "
                                "list (more than 1%).\n\nImport it anyway?"_s;
        for (const bool yes : {false, true}) {
            rig.prompter.Answers = {yes};
            rig.Edit(u"txtTrafficList"_s)->setText(junk);
            rig.Click(u"cmdImportList"_s);
            QTRY_VERIFY(rig.prompter.Answers.isEmpty());
            QCOMPARE(rig.prompter.Questions.last().Text, refusal);
            QTRY_VERIFY(rig.Ok()->isEnabled());
            QVERIFY(rig.Text(u"lblListInfo"_s).startsWith(yes ? u"JUNK2, "_s : u"GOOD1, "_s));
        }
        QVERIFY(rig.prompter.Messages.isEmpty());
    }

    // A damaged lists' file is named on the page and in a look-up, not taken for a missing list.
    void damagedListFileNamed()
    {
        Rig rig;
        rig.Choose(u"cboTrafficSource"_s, u"tranco"_s);
        rig.Edit(u"txtTrafficList"_s)->setText(rig.Write(u"tranco_K2QVN.csv"_s, "1,example.com\n2,bbc.co.uk\n"));
        rig.Click(u"cmdImportList"_s);
        QTRY_VERIFY(rig.Text(u"lblListInfo"_s).startsWith(u"K2QVN, "_s));
        rig.dialog->close();
        QTRY_VERIFY(rig.dialog.isNull());
        OverwriteBytes(RankListsPath(rig.state.ProgramFolder), 4096, QByteArray(4096, '\0'));

        rig.Open();
        rig.Choose(u"cboTrafficSource"_s, u"tranco"_s);
        const QString damaged = u"RankLists.db is damaged: database disk image is malformed"_s;
        QCOMPARE(rig.Text(u"lblListInfo"_s), damaged);
        rig.Edit(u"txtTestHost"_s)->setText(u"example.com"_s);
        rig.Click(u"cmdTestTraffic"_s);
        QCOMPARE(rig.Text(u"lblTrafficTest"_s), damaged);
    }

    void keyboard()
    {
        Rig rig;
        QWidget* page = rig.dialog->Pages()->currentWidget();
        QHash<QChar, QString> mnemonics;
        const auto take = [&](const QString& text) {
            const qsizetype at = text.indexOf(u'&');
            if (at < 0 || at + 1 >= text.size())
                return;
            const QChar letter = text.at(at + 1).toLower();
            QVERIFY2(!mnemonics.contains(letter), qPrintable(text + u" and "_s + mnemonics.value(letter)));
            mnemonics.insert(letter, text);
        };
        for (const QLabel* label : page->findChildren<QLabel*>()) {
            if (label->text().contains(u'&')) {
                QVERIFY2(label->buddy(), qPrintable(label->text()));
                take(label->text());
            }
        }
        for (const QPushButton* button : page->findChildren<QPushButton*>()) {
            QVERIFY(!button->autoDefault());
            take(button->text());
        }
        for (const QWidget* field : page->findChildren<QWidget*>()) {
            if (qobject_cast<const QLineEdit*>(field) || qobject_cast<const QComboBox*>(field) ||
                qobject_cast<const QPushButton*>(field))
                QVERIFY(field->focusPolicy() & Qt::TabFocus);
        }
        QVERIFY(rig.Ok()->isDefault());
        QTest::keyClick(rig.dialog, Qt::Key_Escape);
        QTRY_VERIFY(rig.dialog.isNull());
    }
};

QUORVEX_TEST_MAIN(TestSourcesPage)
#include "test_sources_page.moc"
