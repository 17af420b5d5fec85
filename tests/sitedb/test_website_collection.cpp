// The collection of a keyword's sites against the fake web: the pages asked for, where it ends,
// the rows and progress written, and what a stop or an empty result leaves.

#include "sitedb/WebSiteCollection.h"
#include "support/SiteRunRig.h"

#include <QSignalSpy>

namespace {

QStringList Sites(const char* stem, int first, int count)
{
    QStringList sites;
    for (int i = first; i < first + count; ++i)
        sites << QStringLiteral("www.%1%2.example/page").arg(QLatin1String(stem)).arg(i);
    return sites;
}

QStringList WithScheme(const QStringList& sites)
{
    QStringList urls;
    for (const QString& site : sites)
        urls << QStringLiteral("http://") + site;
    return urls;
}

int StartOf(const QString& url)
{
    return QUrlQuery(QUrl(url)).queryItemValue(QStringLiteral("start")).toInt();
}

} // namespace

class TestWebSiteCollection : public QObject {
    Q_OBJECT

    struct Rig : SiteRunRig {
        WebSiteCollection collection{state, driver, prompter, clock};
        QList<bool> finished;
        QStringList written;
        Rig()
        {
            QObject::connect(&collection, &WebSiteCollection::Finished, [this](bool done) { finished << done; });
            QObject::connect(&collection, &WebSiteCollection::Written,
                             [this](const QString& keyword) { written << keyword; });
        }
        // "&Add/Refresh" for the keyword, then the collection until it is over.
        void Collect(const QString& keyword)
        {
            const std::optional<CollectionRequest> request =
                PrepareCollection(folder.Database(), keyword, QStringLiteral("tools"), prompter);
            QVERIFY(request);
            collection.Start(*request);
            QVERIFY(collection.IsRunning());
            QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
            QVERIFY(!collection.IsRunning());
        }
    };

private Q_SLOTS:
    void twoWordKeywordOverThreePages()
    {
        Rig rig;
        // The second page repeats one site of the first; the third brings only known sites.
        const QStringList first = Sites("a", 0, 3);
        const QStringList second = QStringList{first.at(1)} + Sites("b", 0, 2);
        rig.web.SetFallback([&](const QUrl& url) {
            const int start = QUrlQuery(url).queryItemValue(QStringLiteral("start")).toInt();
            CannedReply reply;
            reply.Body = ResultsPage(start == 0 ? first : start == 100 ? second : first + second);
            return reply;
        });
        QSignalSpy maximum(&rig.collection, &WebSiteCollection::ProgressMaximumChanged);
        QSignalSpy progress(&rig.collection, &WebSiteCollection::ProgressValueChanged);
        rig.Collect(QStringLiteral(" C# Tools "));

        QCOMPARE(rig.finished, QList<bool>{true});
        // The pages never asked for are decided once a page brings nothing new.
        QCOMPARE(maximum.size(), 1);
        QCOMPARE(progress.size() >= 2 ? progress.at(progress.size() - 2).at(0).toInt() : -1,
                 maximum.at(0).at(0).toInt());
        const QList<RecordedRequest>& requests = rig.web.Requests();
        QCOMPARE(requests.size(), 3);
        for (int page = 0; page < requests.size(); ++page) {
            const QString url = requests.at(page).Url;
            QVERIFY2(url.contains(QLatin1String("/search?")), qPrintable(url));
            QVERIFY2(url.contains(QLatin1String("q=c%23+tools&")), qPrintable(url));
            QVERIFY2(url.contains(QLatin1String("&num=100&")), qPrintable(url));
            QCOMPARE(StartOf(url), 100 * page);
        }

        const QStringList found = WithScheme(first + Sites("b", 0, 2));
        QStringList shuffled = found;
        ShuffleSites(shuffled, 9 * 3600 + 30 * 60); // the test clock's time of day
        QStringList stored;
        for (const SiteRow& row : rig.Rows(QStringLiteral("c# tools"))) {
            stored << row.URL.value_or(QString());
            QVERIFY(!row.Title && !row.PR && !row.Alexa);
        }
        QCOMPARE(stored, shuffled);
        QStringList sorted = stored;
        sorted.sort();
        QStringList expected = found;
        expected.sort();
        QCOMPARE(sorted, expected);

        const std::optional<MasterRow> master = rig.Master(QStringLiteral("c# tools"));
        QVERIFY(master);
        QCOMPARE(master->SearchNum, SqlText(QStringLiteral("1/5")));
        QCOMPARE(master->SearchDate, SqlText(QStringLiteral("2024-05-01")));
        QCOMPARE(master->Updated, SqlText(QStringLiteral("N")));
        QCOMPARE(rig.written, QStringList{QStringLiteral("c# tools")});
        QCOMPARE(rig.LastMessage(), QStringLiteral("You have gotten all URLs in 'c#_tools' table !"));
        QCOMPARE(rig.prompter.Messages.last().Title, SiteDbTitle);
    }

    void shuffleIsAPermutation()
    {
        for (int count : {0, 1, 2, 3, 250}) {
            QStringList sites;
            for (int i = 0; i < count; ++i)
                sites << QString::number(i);
            for (double seconds : {0.0, 0.5, 34200.0, 86399.99}) {
                QStringList shuffled = sites;
                ShuffleSites(shuffled, seconds);
                QStringList sorted = shuffled;
                std::sort(sorted.begin(), sorted.end(),
                          [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
                QCOMPARE(sorted, sites);
            }
        }
    }

    void emptyFirstPage()
    {
        Rig rig;
        rig.web.SetFallback([&](const QUrl&) {
            CannedReply reply;
            reply.Body = ResultsPage({});
            return reply;
        });
        rig.Collect(QStringLiteral("nothing here"));
        QCOMPARE(rig.web.Requests().size(), 1);
        QCOMPARE(rig.finished, QList<bool>{true});
        QCOMPARE(rig.Master(QStringLiteral("nothing here"))->SearchNum, SqlText(QStringLiteral("1/0")));
        QVERIFY(rig.Rows(QStringLiteral("nothing here")).isEmpty());
        QCOMPARE(rig.LastMessage(), QStringLiteral("You have gotten all URLs in 'nothing_here' table !"));
    }

    // A result page that does not come is no page without sites: a failed first page writes nothing,
    // so a renewed keyword keeps its rows, and a later one leaves the sites read before it.
    void failedPageEndsTheCollection_data()
    {
        QTest::addColumn<int>("failingPage");
        QTest::addColumn<bool>("offline");
        QTest::newRow("first page, offline") << 1 << true;
        QTest::newRow("first page, error status") << 1 << false;
        QTest::newRow("second page, error status") << 2 << false;
    }
    void failedPageEndsTheCollection()
    {
        QFETCH(int, failingPage);
        QFETCH(bool, offline);
        Rig rig;
        const QString keyword = QStringLiteral("web design");
        const QStringList old = WithScheme(Sites("old", 0, 4));
        rig.folder.Collect(keyword, QStringLiteral("tools"), old);
        QVERIFY(SiteDatabase(rig.folder.Database()).UpdateProgress(keyword, 3, 4));
        const std::optional<MasterRow> before = rig.Master(keyword);
        const QList<SiteRow> rowsBefore = rig.Rows(keyword);

        rig.web.SetFallback([&](const QUrl& url) {
            const int page = StartOf(url.toString()) / 100 + 1;
            CannedReply reply;
            reply.Status = page == failingPage ? 503 : 200;
            reply.Body = ResultsPage(Sites("n", 10 * page, 3));
            return reply;
        });
        if (offline)
            qputenv("http_proxy", "http://127.0.0.1:9");
        rig.prompter.Answers = {true}; // renew it all
        rig.Collect(keyword);
        qputenv("http_proxy", rig.web.ProxyUrl().toUtf8());

        QCOMPARE(rig.web.Requests().size(), offline ? 0 : failingPage);
        QVERIFY(rig.collection.Failure());
        if (failingPage == 1) {
            QCOMPARE(rig.finished, QList<bool>{false});
            QVERIFY(rig.written.isEmpty());
            QCOMPARE(rig.Master(keyword), before);
            QCOMPARE(rig.Rows(keyword), rowsBefore);
            QVERIFY2(rig.LastMessage().startsWith(
                         QStringLiteral("No URL has been gotten for 'web_design' table, nothing was written !\r\n"
                                        "historical failed on result page 1: ")),
                     qPrintable(rig.LastMessage()));
            return;
        }
        QCOMPARE(rig.finished, QList<bool>{true});
        QStringList stored;
        for (const SiteRow& row : rig.Rows(keyword))
            stored << row.URL.value_or(QString());
        stored.sort();
        QCOMPARE(stored, WithScheme(Sites("n", 10, 3)));
        QCOMPARE(rig.Master(keyword)->SearchNum, SqlText(QStringLiteral("1/3")));
        QVERIFY2(rig.LastMessage().startsWith(QStringLiteral(
                     "You have gotten all URLs in 'web_design' table !\r\n"
                     "The collection ended early with the 3 URLs read before: historical failed on result page 2: ")),
                 qPrintable(rig.LastMessage()));
    }

    // "&Stop" in the search window, or the main window closing (the flag alone, seen when the page ends).
    void renewThenStopKeepsOldRows_data()
    {
        QTest::addColumn<bool>("stopCall");
        QTest::newRow("stop button") << true;
        QTest::newRow("stop flag") << false;
    }
    void renewThenStopKeepsOldRows()
    {
        QFETCH(bool, stopCall);
        Rig rig;
        const QString keyword = QStringLiteral("old keyword");
        const QStringList old{QStringLiteral("http://www.old1.example"), QStringLiteral("http://www.old2.example")};
        rig.folder.Collect(keyword, QStringLiteral("tools"), old);
        QVERIFY(SiteDatabase(rig.folder.Database()).UpdateProgress(keyword, 2, 2));
        const std::optional<MasterRow> before = rig.Master(keyword);
        const QList<SiteRow> rowsBefore = rig.Rows(keyword);

        rig.web.SetFallback([&](const QUrl& url) {
            const int start = QUrlQuery(url).queryItemValue(QStringLiteral("start")).toInt();
            CannedReply reply;
            reply.Body = ResultsPage(Sites("n", start, 3));
            reply.DelayMs = start == 0 ? 0 : 300;
            return reply;
        });
        QObject::connect(&rig.web, &FakeWeb::RequestReceived, [&](const QString& url) {
            if (StartOf(url) != 100)
                return;
            if (stopCall)
                rig.collection.Stop();
            else
                rig.state.StopRequested = true;
        });
        rig.prompter.Answers = {true}; // renew it all
        rig.Collect(keyword);

        QCOMPARE(rig.finished, QList<bool>{false});
        QCOMPARE(rig.web.Requests().size(), 2);
        QVERIFY(rig.written.isEmpty());
        QCOMPARE(rig.Master(keyword), before);
        QCOMPARE(rig.Rows(keyword), rowsBefore);
        QCOMPARE(rig.LastMessage(), QStringLiteral("You press the stop button !"));
        QCOMPARE(rig.prompter.Messages.last().Title, AppTitle);
        QCOMPARE(rig.state.PendingHtmlCount, 0);
        QVERIFY(rig.control.PendingNames().isEmpty());
    }

    void atMostOneHundredPages()
    {
        Rig rig;
        // Every page brings one new site, for ever.
        rig.web.SetFallback([](const QUrl& url) {
            CannedReply reply;
            reply.Body = ResultsPage(Sites("p", StartOf(url.toString()), 1));
            return reply;
        });
        rig.Collect(QStringLiteral("endless"));
        QCOMPARE(rig.web.Requests().size(), WebSiteCollection::PageLimit);
        QCOMPARE(StartOf(rig.web.Requests().last().Url), 100 * (WebSiteCollection::PageLimit - 1));
        QCOMPARE(rig.Master(QStringLiteral("endless"))->SearchNum, SqlText(QStringLiteral("1/100")));
    }
};

QUORVEX_TEST_MAIN_CORE(TestWebSiteCollection)
#include "test_website_collection.moc"
