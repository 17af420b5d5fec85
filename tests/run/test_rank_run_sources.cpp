// A rank run on today's sources against the fake web's replicas: positions paged to the depth and
// found across pages, authority in one batched request, traffic ranks from an imported list with no
// request, and the report's honest cells; then what a refused key, a missing or damaged list and a
// rate limit leave.

#include "base/Clock.h"
#include "model/AppState.h"
#include "run/RankReport.h"
#include "run/RankRun.h"
#include "session/DownloadParts.h"
#include "sources/RankListStore.h"
#include "sources/SourceSettings.h"
#include "support/FileDamage.h"
#include "support/RankRunRig.h"
#include "support/RunProgress.h"
#include "support/ScriptedPrompter.h"
#include "support/TestHome.h"
#include "web/RequestDriver.h"
#include "web/ServiceAddresses.h"
#include "web/ocxParseWeb.h"

#include "PageGenerator.h"

#include <QFile>
#include <QSignalSpy>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(SearchSourceKind)

namespace {

const QString Keyword = u"garden tools"_s;
// The services' own addresses over plain http, which the fake web serves as the proxy.
const QString SerpApiEndpoint = u"http://serpapi.com/search.json"_s;
const QString OpenPageRankEndpoint = u"http://openpagerank.com/api/v1.0/getPageRank"_s;

struct Bench : RankRunRig {
    RunProgress progress{run};

    Bench()
    {
        web.SetFallback(GeneratedReply);
        QVERIFY(state.Settings.Load());
    }
    void Choose(const QString& searchKey, int depth, const QString& authorityKey, bool withList)
    {
        SourceSettings sources;
        sources.Search = {SearchSourceKind::SerpApi, searchKey, SerpApiEndpoint, depth};
        sources.Authority = {AuthoritySourceKind::OpenPageRank, authorityKey, OpenPageRankEndpoint};
        sources.Traffic = {TrafficSourceKind::Tranco, u"list.csv"_s};
        if (withList) {
            const QString file = home.filePath(u"tranco_DEMO1.csv"_s);
            QFile list(file);
            QVERIFY(list.open(QIODevice::WriteOnly));
            list.write("1,ranked.example\r\n2,bbc.co.uk\r\n");
            list.close();
            RankListImportRequest import;
            import.Kind = RankListKind::Tranco;
            import.Path = file;
            import.DisplayName = u"tranco_DEMO1.csv"_s;
            QVERIFY(RankListStore(RankListsPath(home.path())).Import(import).Ok);
        }
        for (SourceColumn column : {SourceColumn::Search, SourceColumn::Authority, SourceColumn::Traffic})
            QVERIFY(SaveSourceSettings(sources, state.Settings, column));
    }
    // Positions from the source of kind, without a key's refusal, at depth 10.
    void ChooseSearch(SearchSourceKind kind)
    {
        SourceSettings sources;
        const QString endpoint = kind == SearchSourceKind::Searxng
                                     ? u"http://search.home.example/search"_s
                                     : DefaultEndpoint(kind).replace(u"https:"_s, u"http:"_s);
        sources.Search = {kind, u"serp-key-0042"_s, endpoint, 10};
        QVERIFY(SaveSourceSettings(sources, state.Settings, SourceColumn::Search));
    }
    void Run()
    {
        run.StartOrStopRank();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
    }
    QList<RecordedRequest> RequestsTo(const QString& host) const
    {
        QList<RecordedRequest> found;
        for (const RecordedRequest& request : web.Requests())
            if (QUrl(request.Url).host() == host)
                found << request;
        return found;
    }
    QString Report() const
    {
        QFile file(home.filePath(u"Report/Report20260307.htm"_s));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};

QString Query(const RecordedRequest& request, const QString& key)
{
    return QUrlQuery(QUrl(request.Url)).queryItemValue(key, QUrl::FullyDecoded);
}

} // namespace

class TestRankRunSources : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void realValuesFromTodaysSources()
    {
        Bench bench;
        bench.Choose(u"serp-key-0042"_s, 20, u"opr-key-0042"_s, true);
        const QString found = GeneratedResultHost(Keyword, 14); // position 15, on the second page
        ListState& lists = bench.state.Lists;
        lists.PRURLList = {
            {u"http://www.ranked.example/"_s, 1}, {u"http://news.bbc.co.uk/"_s, 1}, {u"http://site.unknown/"_s, 1}};
        lists.QuorvexList = {{u"http://"_s + found + u"/shop"_s, QString(), Keyword, 1},
                             {u"http://nowhere.example/"_s, QString(), Keyword, 1}};
        lists.TOP10List = true;
        bench.Run();
        QCOMPARE(bench.finished.at(0), true);
        QVERIFY(bench.prompter.Messages.isEmpty());

        // One authority request for the three domains, with the key in its header only.
        const QList<RecordedRequest> authority = bench.RequestsTo(u"openpagerank.com"_s);
        QCOMPARE(authority.size(), 1);
        QCOMPARE(QUrlQuery(QUrl(authority.at(0).Url)).allQueryItemValues(u"domains[]"_s),
                 (QStringList{u"ranked.example"_s, u"news.bbc.co.uk"_s, u"site.unknown"_s}));
        QCOMPARE(authority.at(0).Header("API-OPR"), QByteArray("opr-key-0042"));
        QVERIFY(!authority.at(0).Url.contains(u"opr-key"_s));

        // The found record stops at its page, the missing one at the depth; no follow-up pass, no
        // historical query, no traffic-rank request.
        const QList<RecordedRequest> searches = bench.RequestsTo(u"serpapi.com"_s);
        QStringList starts;
        for (const RecordedRequest& request : searches)
            starts << Query(request, u"start"_s);
        QCOMPARE(starts, (QStringList{u"0"_s, u"0"_s, u"10"_s, u"10"_s}));
        QCOMPARE(Query(searches.at(0), u"num"_s), u"10"_s);
        QCOMPARE(bench.web.Requests().size(), 1 + 4);
        QCOMPARE(bench.run.Tally().Sent, 5);
        QCOMPARE(bench.run.Tally().Failed(), 0);
        QVERIFY2(bench.progress.EndedFull(), qPrintable(QDebug::toString(bench.progress.Values)));

        const RankRunState& run = bench.state.Run;
        QCOMPARE(run.PRJobAlexa, (QStringList{u"1"_s, u"2"_s, u"not ranked"_s}));
        QCOMPARE(run.PRJobPageRank.at(2), u"not ranked"_s);
        QVERIFY(run.PRJobPageRank.at(0).endsWith(u"/10"_s));
        QCOMPARE(run.PRJobPageRankStatus,
                 (QList<ValueStatus>{ValueStatus::Found, ValueStatus::Found, ValueStatus::NotRanked}));
        QCOMPARE(run.PRJobAlexaStatus,
                 (QList<ValueStatus>{ValueStatus::Found, ValueStatus::Found, ValueStatus::NotRanked}));
        QCOMPARE(run.PositionJobs.at(0).Rank, 15);
        QCOMPARE(run.PositionJobs.at(0).Status, ValueStatus::Found);
        QCOMPARE(run.PositionJobs.at(1).Status, ValueStatus::NotRanked);
        QCOMPARE(run.PositionJobs.at(0).Top10.at(0), u"http://"_s + GeneratedResultHost(Keyword, 0) + u'/');

        const QString report = bench.Report();
        QVERIFY(report.contains(
            u"Sources: positions serpapi (depth 20), authority openpagerank, traffic rank tranco (list DEMO1)"_s));
        QVERIFY(report.contains(u"<B>15</B>"_s));
        QVERIFY(report.contains(u"<B>Not Found in top 20</B>"_s));
        QVERIFY(report.contains(u"HREF=http://"_s + GeneratedResultHost(Keyword, 0) + u"/>"_s));
        QVERIFY(!report.contains(u"serp-key"_s));
        QVERIFY(!report.contains(u"opr-key"_s));
    }

    // A refused key ends its source for the run; a missing list fails every traffic rank; a rate
    // limit is waited out once.
    void failuresAreToldApart()
    {
        Bench bench;
        bench.Choose(u"bad-key"_s, 10, u"bad-key"_s, false);
        ListState& lists = bench.state.Lists;
        lists.PRURLList = {{u"http://one.example/"_s, 1}, {u"http://two.example/"_s, 1}};
        lists.QuorvexList = {{u"http://one.example/"_s, QString(), u"a,b,c"_s, 1}};
        bench.Run();
        QCOMPARE(bench.finished.at(0), true);

        QCOMPARE(bench.RequestsTo(u"serpapi.com"_s).size(), 1);
        QCOMPARE(bench.RequestsTo(u"openpagerank.com"_s).size(), 1);
        const RankRunState& run = bench.state.Run;
        QCOMPARE(run.PRJobPageRank, (QStringList{u"Failed"_s, u"Failed"_s}));
        QCOMPARE(run.PRJobAlexa, (QStringList{u"Failed"_s, u"Failed"_s}));
        for (const PositionJob& job : run.PositionJobs)
            QCOMPARE(job.Status, ValueStatus::Failed);
        // The two refused requests, the two searches never sent, the two traffic ranks.
        const RequestTally& tally = bench.run.Tally();
        QCOMPARE(tally.Sent, 2);
        QCOMPARE(tally.Failed(), 6);
        const QStringList reasons = bench.run.FailureReasons();
        QCOMPARE(reasons.size(), 3);
        QVERIFY(reasons.at(0).startsWith(u"traffic rank (tranco): "_s));
        QVERIFY(reasons.join(u'\n').contains(u"positions (serpapi): "_s));
        QVERIFY(!reasons.join(u'\n').contains(u"bad-key"_s));
        QCOMPARE(bench.Report().count(u"<B>Failed</B>"_s), 2 + 2 + 3);
        QVERIFY2(bench.progress.EndedFull(), qPrintable(QDebug::toString(bench.progress.Values)));
    }

    // An entry an earlier version stored without a host asks the authority nothing; the run's
    // progress still ends full.
    void pageWithoutDomainEndsTheProgressFull()
    {
        Bench bench;
        bench.Choose(u"serp-key-0042"_s, 10, u"opr-key-0042"_s, true);
        bench.state.Lists.PRURLList = {{u"http://www."_s, 1}, {u"http://www.ranked.example/"_s, 1}};
        bench.Run();
        QCOMPARE(bench.finished.at(0), true);
        QCOMPARE(QUrlQuery(QUrl(bench.RequestsTo(u"openpagerank.com"_s).at(0).Url)).allQueryItemValues(u"domains[]"_s),
                 QStringList{u"ranked.example"_s});
        QVERIFY2(bench.progress.EndedFull(), qPrintable(QDebug::toString(bench.progress.Values)));
    }

    // A damaged list fails every traffic rank with the damage as its reason, not as a missing list.
    void damagedListIsTheReason()
    {
        Bench bench;
        bench.Choose(u"serp-key-0042"_s, 10, u"opr-key-0042"_s, true);
        OverwriteBytes(RankListsPath(bench.home.path()), 0, QByteArray(100, 'x'));
        bench.state.Lists.PRURLList = {{u"http://www.ranked.example/"_s, 1}};
        bench.Run();
        QCOMPARE(bench.state.Run.PRJobAlexa, QStringList{u"Failed"_s});
        QCOMPARE(bench.run.FailureReasons(),
                 QStringList{u"traffic rank (tranco): RankLists.db is damaged: file is not a database"_s});
    }

    void rateLimitIsWaitedOutOnce()
    {
        Bench bench;
        bench.Choose(u"serp-key-0042"_s, 10, u"opr-key-0042"_s, true);
        bench.state.Lists.QuorvexList = {
            {u"http://"_s + GeneratedResultHost(u"rate-limit"_s, 3) + u'/', QString(), u"rate-limit"_s, 1}};
        bench.Run();
        const QList<RecordedRequest> searches = bench.RequestsTo(u"serpapi.com"_s);
        QCOMPARE(searches.size(), 2);
        QVERIFY(searches.at(1).AtMs - searches.at(0).AtMs >= 1000);
        QCOMPARE(bench.state.Run.PositionJobs.at(0).Rank, 4);
        QCOMPARE(bench.run.Tally().Failed(), 0);
    }

    // One keyword in two markets is two records, each searched in its own market (an entry without
    // its own market in the default one), and the report tells the two apart.
    void sameKeywordInTwoMarkets()
    {
        Bench bench;
        bench.ChooseSearch(SearchSourceKind::SerpApi);
        ListState& lists = bench.state.Lists;
        lists.DefaultMarket = {u"de"_s, u"de"_s, QString(), QString()};
        const QString found = u"http://"_s + GeneratedResultHost(Keyword, 3) + u'/';
        lists.QuorvexList = {{found, QString(), Keyword, 1, {u"fr"_s, u"fr"_s, u"mobile"_s, u"Lyon, France"_s}},
                             {found, QString(), Keyword, 1, {}}};
        lists.TOP10List = true;
        bench.Run();
        QCOMPARE(bench.finished.at(0), true);

        QStringList asked;
        for (const RecordedRequest& request : bench.RequestsTo(u"serpapi.com"_s))
            asked << QStringList{Query(request, u"q"_s), Query(request, u"gl"_s), Query(request, u"hl"_s),
                                 Query(request, u"device"_s), Query(request, u"location"_s)}
                         .join(u'|');
        QCOMPARE(asked, (QStringList{u"garden+tools|fr|fr|mobile|Lyon, France"_s, u"garden+tools|de|de||"_s}));
        const RankRunState& run = bench.state.Run;
        QCOMPARE(run.PositionJobs.size(), 2);
        QCOMPARE(run.PositionJobs.at(0).SearchMarket, lists.QuorvexList.at(0).OwnMarket);
        QCOMPARE(run.PositionJobs.at(1).SearchMarket, lists.DefaultMarket);
        QVERIFY(bench.run.MarketNotes().isEmpty());

        // Beside the keyword in the positions, and in the head of each record's TOP 10.
        const QString report = bench.Report();
        QVERIFY(report.contains(u"<B>garden tools (fr fr mobile Lyon, France)</B>"_s));
        QVERIFY(report.contains(u"<B>garden tools (de de)</B>"_s));
        QVERIFY(report.contains(u" Keyword=garden tools (fr fr mobile Lyon, France)</FONT>"_s));
        QVERIFY(report.contains(u" Keyword=garden tools (de de)</FONT>"_s));
    }

    // A field that the source cannot send is named once for the run, with the records that asked
    // for it; the rest of the market still goes.
    void unofferedFieldsAreNamedOnce_data()
    {
        QTest::addColumn<SearchSourceKind>("kind");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QStringList>("notes");
        QTest::newRow("serpapi") << SearchSourceKind::SerpApi << u"serpapi.com"_s << QStringList();
        QTest::newRow("serper") << SearchSourceKind::Serper << u"google.serper.dev"_s
                                << QStringList{
                                       u"serper does not offer the device: 3 keyword records were asked without it"_s};
        QTest::newRow("brave") << SearchSourceKind::Brave << u"api.search.brave.com"_s
                               << QStringList{
                                      u"brave does not offer the device: 3 keyword records were asked without it"_s,
                                      u"brave does not offer the location: 1 keyword record was asked without it"_s};
        QTest::newRow("searxng")
            << SearchSourceKind::Searxng << u"search.home.example"_s
            << QStringList{u"searxng does not offer the country: 1 keyword record was asked without it"_s,
                           u"searxng does not offer the device: 3 keyword records were asked without it"_s,
                           u"searxng does not offer the location: 1 keyword record was asked without it"_s};
        QTest::newRow("historical")
            << SearchSourceKind::Historical << QUrl(SearchPrefix()).host()
            << QStringList{u"historical does not offer the device: 3 keyword records were asked without it"_s,
                           u"historical does not offer the location: 1 keyword record was asked without it"_s};
    }
    void unofferedFieldsAreNamedOnce()
    {
        QFETCH(SearchSourceKind, kind);
        QFETCH(QString, host);
        QFETCH(QStringList, notes);
        Bench bench;
        bench.ChooseSearch(kind);
        ListState& lists = bench.state.Lists;
        lists.DefaultMarket = {u"ch"_s, QString(), QString(), QString()};
        lists.QuorvexList = {{u"http://one.example/"_s, QString(), u"a,b"_s, 1, {u"fr"_s, u"fr"_s, u"mobile"_s, {}}},
                             {u"http://two.example/"_s, QString(), u"c"_s, 1, {{}, u"fr"_s, u"mobile"_s, u"Lyon"_s}},
                             {u"http://three.example/"_s, QString(), u"d"_s, 1, {}}};
        bench.Run();
        QCOMPARE(bench.finished.at(0), true);
        QVERIFY(!bench.RequestsTo(host).isEmpty());
        QCOMPARE(bench.run.MarketNotes(), notes);
        QVERIFY(bench.run.FailureReasons().isEmpty());
    }

    // The historical source asks every pass in the record's market.
    void historicalPassesKeepTheMarket()
    {
        Bench bench;
        bench.ChooseSearch(SearchSourceKind::Historical);
        bench.state.Lists.QuorvexList = {{u"http://"_s + GeneratedResultHost(Keyword, 23) + u'/',
                                          QString(),
                                          Keyword,
                                          1,
                                          {u"ch"_s, u"de"_s, QString(), QString()}}};
        bench.Run();
        QCOMPARE(bench.finished.at(0), true);
        const QList<RecordedRequest> searches = bench.RequestsTo(QUrl(SearchPrefix()).host());
        QVERIFY(searches.size() > 1);
        for (const RecordedRequest& request : searches) {
            QCOMPARE(QUrlQuery(QUrl(request.Url)).allQueryItemValues(u"hl"_s), QStringList{u"de"_s});
            QCOMPARE(Query(request, u"gl"_s), u"ch"_s);
        }
        QCOMPARE(bench.state.Run.PositionJobs.at(0).Rank, 24);
        QVERIFY(bench.state.Run.PositionJobs.at(0).ViewURL.endsWith(u"&gl=ch"_s));
    }
};

QUORVEX_TEST_MAIN_CORE(TestRankRunSources)
#include "test_rank_run_sources.moc"
