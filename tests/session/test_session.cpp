// The session: one run at a time over the shared control and driver, a refused start changes
// nothing, the site runs' signals and stop pass through, and each run paces by its own rules.

#include "base/Names.h"
#include "model/AppState.h"
#include "run/RankRun.h"
#include "session/Session.h"
#include "sitedb/SiteDbTexts.h"
#include "support/ScriptedPrompter.h"
#include "support/TestClock.h"
#include "support/TestHome.h"
#include "web/RequestDriver.h"

#include "support/ProxyWeb.h"

#include <QRegularExpression>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

CannedReply Answer(const QUrl& url)
{
    CannedReply reply;
    if (url.path() == QLatin1String("/search"))
        reply.Body = "<html><body><cite>www.example.com/ - 3k - </cite><a href=/x>Similar pages</a></body></html>";
    else
        reply.Body = "<html><head><title>Home</title></head><body>home</body></html>";
    return reply;
}

// A site run as the session drives it: it sends one page through the shared driver, with pacing
// rules of its own, and ends when the driver has drained or stopped.
class FakeRun : public QObject {
    Q_OBJECT
public:
    FakeRun(AppState& state, RequestDriver& driver, Prompter&, const Clock& clock, QObject* parent = nullptr)
        : QObject(parent), state(state), driver(driver), clock(clock)
    {
        connect(&driver, &RequestDriver::Drained, this, [this] { End(true); });
        connect(&driver, &RequestDriver::Stopped, this, [this] { End(false); });
    }
    bool IsRunning() const { return running; }
    void Stop()
    {
        ++Stops;
        state.StopRequested = true;
        driver.ScheduleTurn();
    }

    int Starts = 0;
    int Stops = 0;
    QString Keyword;
    AppState& state;
    RequestDriver& driver;
    const Clock& clock;

Q_SIGNALS:
    void Written(const QString& keyword);
    void Finished(bool written);

protected:
    void Begin(const QString& keyword, const RequestDriver::Rules& rules)
    {
        ++Starts;
        Keyword = keyword;
        running = true;
        state.StopRequested = false;
        driver.SetRules(rules);
        driver.AddPaced(RequestDriver::Download(QStringLiteral("http://www.google.com/search?q=x"), u"W0"_s));
        driver.Start();
    }

private:
    void End(bool written)
    {
        if (!running)
            return;
        running = false;
        if (written)
            Q_EMIT Written(Keyword);
        Q_EMIT Finished(written);
    }

    bool running = false;
};

class FakeCollection : public FakeRun {
public:
    using FakeRun::FakeRun;
    void Start(const CollectionRequest& request) { Begin(request.Keyword, {}); }
};

class FakeExtraction : public FakeRun {
public:
    using FakeRun::FakeRun;
    // The extraction's rules: summaries only after the paced requests, six at a time.
    void Start(const ExtractionBatch& batch, const ExtractChoice& choice)
    {
        Choices.append(choice);
        Begin(batch.Keyword, {.SideLimit = 6, .SideAfterPaced = true, .IdleGiveUpMs = 60000});
    }
    void ChangeChoice(const ExtractChoice& choice) { Choices.append(choice); }

    QList<ExtractChoice> Choices;
};

using FakeSiteRuns = SiteRunsOf<FakeCollection, FakeExtraction>;

enum class Run { Rank, Collection, Extraction };

// A session over its own program folder, with the fake site runs and one checked page to rank.
struct Rig {
    Rig()
        : session(state, prompter, std::make_unique<TestClock>(),
                  [this](AppState& s, RequestDriver& d, Prompter& p, const Clock& c) {
                      auto runs = std::make_unique<FakeSiteRuns>(s, d, p, c);
                      siteRuns = runs.get();
                      return runs;
                  })
    {
        session.Requests().SetLeastPauseMs(0);
        state.Lists.PRURLList = {{QStringLiteral("http://www.alpha.com"), 1}};
        QObject::connect(&session.Rank(), &RankRun::Finished, [this](bool written) { rankFinished << written; });
    }

    void Start(Run run)
    {
        switch (run) {
        case Run::Rank:
            session.StartOrStopRank();
            break;
        case Run::Collection:
            session.StartCollection({u"web design"_s, u"tools"_s, u"web_design"_s, false});
            break;
        case Run::Extraction:
            session.StartExtraction({u"seo"_s, u"seo"_s, 1, 2, 2, {u"http://a.com"_s}}, {true, true, true});
            break;
        }
    }
    int Starts(Run run) const
    {
        switch (run) {
        case Run::Rank:
            return int(rankFinished.size()) + (session.Rank().IsRunning() ? 1 : 0);
        case Run::Collection:
            return siteRuns->CollectionRun().Starts;
        case Run::Extraction:
            return siteRuns->ExtractionRun().Starts;
        }
        return -1;
    }

    QTemporaryDir home;
    AppState state{home.path()};
    ScriptedPrompter prompter;
    FakeSiteRuns* siteRuns = nullptr;
    Session session;
    QList<bool> rankFinished;
};

} // namespace

Q_DECLARE_METATYPE(Run)

class TestSession : public QObject {
    Q_OBJECT

    ProxyWeb web;

private Q_SLOTS:
    void initTestCase() { web.SetFallback(Answer); }

    void aSecondStartIsRefused_data()
    {
        QTest::addColumn<Run>("first");
        QTest::addColumn<Run>("second");
        QTest::addColumn<QString>("title");
        QTest::newRow("rank run, then collection") << Run::Rank << Run::Collection << SiteDbTitle;
        QTest::newRow("rank run, then extraction") << Run::Rank << Run::Extraction << SiteDbTitle;
        QTest::newRow("collection, then rank run") << Run::Collection << Run::Rank << AppTitle;
        QTest::newRow("collection, then extraction") << Run::Collection << Run::Extraction << SiteDbTitle;
        QTest::newRow("collection, then collection") << Run::Collection << Run::Collection << SiteDbTitle;
        QTest::newRow("extraction, then rank run") << Run::Extraction << Run::Rank << AppTitle;
        QTest::newRow("extraction, then collection") << Run::Extraction << Run::Collection << SiteDbTitle;
        QTest::newRow("extraction, then extraction") << Run::Extraction << Run::Extraction << SiteDbTitle;
    }
    void aSecondStartIsRefused()
    {
        QFETCH(Run, first);
        QFETCH(Run, second);
        QFETCH(QString, title);
        Rig rig;
        QVERIFY(!rig.session.IsRunning());
        rig.Start(first);
        QVERIFY(rig.session.IsRunning());
        const int secondStarts = rig.Starts(second);

        rig.Start(second);
        QCOMPARE(rig.prompter.Messages.size(), 1);
        QCOMPARE(rig.prompter.Messages.at(0).Text, SiteDbTexts::RunGoing);
        QCOMPARE(rig.prompter.Messages.at(0).Title, title);
        QCOMPARE(rig.Starts(second), secondStarts);

        // The first run ends as it would have alone, and the runs that did not go notice nothing.
        QTRY_VERIFY_WITH_TIMEOUT(!rig.session.IsRunning(), 20000);
        QCOMPARE(rig.prompter.Messages.size(), 1);
        QCOMPARE(rig.rankFinished, first == Run::Rank ? QList<bool>{true} : QList<bool>{});
        QCOMPARE(rig.Starts(first), 1);
    }

    void siteRunsPassThroughTheSession()
    {
        Rig rig;
        FakeCollection& collection = rig.siteRuns->CollectionRun();
        FakeExtraction& extraction = rig.siteRuns->ExtractionRun();
        QCOMPARE(&collection.clock, &rig.session.Time());
        QCOMPARE(&collection.driver, &extraction.driver);
        QSignalSpy collectionWritten(&rig.session, &Session::CollectionWritten);
        QSignalSpy collectionFinished(&rig.session, &Session::CollectionFinished);
        QSignalSpy extractionWritten(&rig.session, &Session::ExtractionWritten);
        QSignalSpy extractionFinished(&rig.session, &Session::ExtractionFinished);

        rig.Start(Run::Collection);
        QTRY_COMPARE(collectionFinished.size(), 1);
        QCOMPARE(collectionFinished.at(0).at(0).toBool(), true);
        QCOMPARE(collectionWritten.size(), 1);
        QCOMPARE(collectionWritten.at(0).at(0).toString(), u"web design"_s);

        // A stop reaches only the run that goes; a changed choice reaches the extraction.
        rig.Start(Run::Extraction);
        rig.session.ChangeExtractChoice({false, true, false});
        rig.session.Stop();
        QTRY_COMPARE(extractionFinished.size(), 1);
        QCOMPARE(extractionFinished.at(0).at(0).toBool(), false);
        QCOMPARE(extractionWritten.size(), 0);
        QCOMPARE(extraction.Stops, 1);
        QCOMPARE(collection.Stops, 0);
        QCOMPARE(extraction.Choices, (QList<ExtractChoice>{{true, true, true}, {false, true, false}}));
        QVERIFY(!rig.session.IsRunning());
        QVERIFY(rig.prompter.Messages.isEmpty());
    }

    // After an extraction, whose summaries wait for the paced requests, the rank run sends its page
    // summary right beside its first PageRank query again.
    void theRankRunKeepsItsOwnPacingAfterAnotherRun()
    {
        Rig rig;
        rig.state.Lists.CheckExtractKeyword = true;
        rig.Start(Run::Extraction);
        QTRY_VERIFY(!rig.session.IsRunning());
        const qsizetype before = web.Requests().size();

        rig.Start(Run::Rank);
        QTRY_COMPARE_WITH_TIMEOUT(rig.rankFinished, QList<bool>{true}, 20000);
        QStringList hosts;
        for (qsizetype i = before; i < web.Requests().size(); ++i)
            hosts << QUrl(web.Requests().at(i).Url).host() + QUrl(web.Requests().at(i).Url).path();
        const qsizetype summary = hosts.indexOf(u"www.alpha.com/"_s);
        const qsizetype trafficRank = hosts.indexOf(QRegularExpression(u".*/siteinfo/.*"_s));
        QVERIFY2(summary >= 0 && trafficRank >= 0 && summary < trafficRank, qPrintable(hosts.join(u' ')));
        QVERIFY(rig.prompter.Messages.isEmpty());
    }
};

QUORVEX_TEST_MAIN_CORE(TestSession)
#include "test_session.moc"
