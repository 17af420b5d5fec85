// Today's sources in a rank run: the traffic ranks from the local list, the authority batches and
// the search pages on the paced lane, the refused key, the retry after a rate limit, and the
// statuses of the historical values.

#include "run/RankRunSources.h"

#include "model/AppState.h"
#include "sources/RankListLookup.h"
#include "sources/RankListStore.h"
#include "sources/ServiceReplyCheck.h"
#include "sources/ServiceSend.h"
#include "web/RequestDriver.h"
#include "web/RequestTally.h"
#include "web/ServiceAddresses.h"
#include "web/ThousandsText.h"
#include "web/ocxParseWeb.h"

#include <QHash>
#include <QMap>

using namespace Qt::StringLiterals;

namespace {

std::optional<RankListKind> ListKindOf(TrafficSourceKind kind)
{
    switch (kind) {
    case TrafficSourceKind::Tranco:
        return RankListKind::Tranco;
    case TrafficSourceKind::Majestic:
        return RankListKind::Majestic;
    case TrafficSourceKind::Historical:
        break;
    }
    return std::nullopt;
}

// The page of the engine's own site that shows the result at position, for the report's View link.
QString ViewPageURL(const SearchSourceSettings& search, const PositionJob& job, int pageSize)
{
    const int position = job.Rank;
    const int page = (position - 1) / pageSize;
    const QString query = SearchQueryValue(job.Keyword);
    switch (search.Kind) {
    case SearchSourceKind::Brave:
        return u"https://search.brave.com/search?q="_s + query + u"&offset="_s + QString::number(page);
    case SearchSourceKind::Searxng:
        return EndpointWithQuery(search.Endpoint, u"q="_s + query + u"&pageno="_s + QString::number(page + 1))
            .toString(QUrl::FullyEncoded);
    case SearchSourceKind::SerpApi:
    case SearchSourceKind::Serper:
    case SearchSourceKind::Historical:
        break;
    }
    return SearchResultsURL(job.Keyword, job.SearchMarket, 10, 10 * ((position - 1) / 10));
}

} // namespace

QString NotFoundInTopText(int depth)
{
    return u"Not Found in top "_s + QString::number(depth);
}

QStringList UnofferedMarketTexts(SearchSourceKind kind, const QList<PositionJob>& jobs)
{
    QMap<MarketField, int> asked;
    for (const PositionJob& job : jobs) {
        for (const MarketField field : UnofferedMarketFields(kind, job.SearchMarket))
            ++asked[field];
    }
    QStringList texts;
    for (auto field = asked.cbegin(); field != asked.cend(); ++field) {
        const QString records =
            field.value() == 1 ? u"1 keyword record was"_s : u"%1 keyword records were"_s.arg(field.value());
        texts.append(u"%1 does not offer the %2: %3 asked without it"_s.arg(SourceName(kind),
                                                                            MarketFieldName(field.key()), records));
    }
    return texts;
}

QString SourcesText(const SourceSettings& sources, const QString& trafficListName)
{
    const bool historical = sources.Search.Kind == SearchSourceKind::Historical &&
                            sources.Authority.Kind == AuthoritySourceKind::Historical &&
                            sources.Traffic.Kind == TrafficSourceKind::Historical;
    if (historical)
        return u"historical"_s;
    QString text = u"positions "_s + SourceName(sources.Search.Kind);
    if (sources.Search.Kind != SearchSourceKind::Historical)
        text += u" (depth %1)"_s.arg(sources.Search.Depth);
    text += u", authority "_s + SourceName(sources.Authority.Kind) + u", traffic rank "_s +
            SourceName(sources.Traffic.Kind);
    if (sources.Traffic.Kind != TrafficSourceKind::Historical && !trafficListName.isEmpty())
        text += u" (list "_s + trafficListName + u')';
    if (const QString note = PositionNote(sources.Search.Kind); !note.isEmpty())
        text += u"; "_s + note;
    return text;
}

RankRunSources::RankRunSources(AppState& state, RequestDriver& driver, RequestTally& tally,
                               std::function<void(int)> advance)
    : state(state), driver(driver), tally(tally), advance(std::move(advance))
{}

RankRunSources::~RankRunSources() = default;

void RankRunSources::Begin()
{
    RankRunState& run = state.Run;
    run.Sources = LoadSourceSettings(state.Settings);
    QString listName;
    if (const std::optional<RankListKind> kind = ListKindOf(run.Sources.Traffic.Kind)) {
        if (const std::optional<RankListInfo> info = RankListStore(RankListsPath(state.ProgramFolder)).Info(*kind))
            listName = info->Id;
    }
    run.SourcesText = SourcesText(run.Sources, listName);
    service = MakeSearchService(run.Sources.Search);
    authority = run.Sources.Authority.Kind == AuthoritySourceKind::OpenPageRank
                    ? std::make_unique<OpenPageRank>(run.Sources.Authority)
                    : nullptr;
    searches.clear();
    searchRefused = authorityRefused = false;
    retriedAuthority.clear();
    failedKeys.clear();
    failedSearchJobs.clear();
    reasons.clear();
}

bool RankRunSources::TodaysTraffic() const
{
    return state.Run.Sources.Traffic.Kind != TrafficSourceKind::Historical;
}

void RankRunSources::AnswerTrafficAndQueueAuthority()
{
    RankRunState& run = state.Run;
    run.PRJobPageRankStatus = run.PRJobAlexaStatus = QList<ValueStatus>(run.PRJobCount, ValueStatus::NotRanked);
    if (TodaysTraffic())
        AnswerTraffic();
    if (!authority)
        return;
    QStringList domains;
    for (const QString& url : std::as_const(run.PRJobURL))
        domains.append(AuthorityDomain(url));
    // A page without a domain is asked nothing: its step is done at once.
    advance(int(domains.count(QString())));
    const QList<QStringList> batches = OpenPageRank::Batches(domains);
    for (qsizetype b = 0; b < batches.size(); ++b) {
        RequestDriver::Request request = RequestDriver::Call(
            [this, batch = batches.at(b), key = u"G"_s + QString::number(b)] { SendAuthority(batch, key); });
        request.Wanted = [this, batch = batches.at(b)] {
            if (!authorityRefused)
                return true;
            FailAuthority(batch, true);
            return false;
        };
        driver.AddPaced(std::move(request));
    }
}

void RankRunSources::AnswerTraffic()
{
    RankRunState& run = state.Run;
    const RankListKind kind = *ListKindOf(run.Sources.Traffic.Kind);
    RankListLookup lookup(RankListsPath(state.ProgramFolder), kind);
    QList<RankLookupResult> results;
    if (lookup.IsReady())
        results = lookup.Lookup(run.PRJobURL);
    for (int n = 0; n < run.PRJobCount; ++n) {
        const RankLookupResult result = lookup.IsReady() ? results.value(n) : RankLookupResult{};
        switch (result.Result) {
        case RankLookupResult::Outcome::Ranked:
            run.PRJobAlexa[n] = ThousandsText(QString::number(result.Rank));
            run.PRJobAlexaStatus[n] = ValueStatus::Found;
            break;
        case RankLookupResult::Outcome::NotRanked:
            run.PRJobAlexa[n] = NotRankedText;
            break;
        case RankLookupResult::Outcome::Failed:
            run.PRJobAlexa[n] = FailedText;
            run.PRJobAlexaStatus[n] = ValueStatus::Failed;
            tally.CountFailed(u"A"_s);
            NoteReason(u"traffic rank"_s, SourceName(run.Sources.Traffic.Kind),
                       lookup.IsReady() ? result.Error : lookup.Error());
            break;
        }
    }
    advance(run.PRJobCount);
}

void RankRunSources::SendAuthority(const QStringList& domains, const QString& propertyName)
{
    tally.CountSent();
    driver.Control().BeginServiceRequest(
        authority->BatchRequest(domains), propertyName,
        [this, domains, propertyName](const ServiceReply& reply) { TakeAuthority(domains, propertyName, reply); });
}

void RankRunSources::TakeAuthority(const QStringList& domains, const QString& propertyName, const ServiceReply& reply)
{
    const QList<AuthorityValue> values = authority->ReadBatch(domains, reply);
    const bool allFailed = std::all_of(values.cbegin(), values.cend(), [](const AuthorityValue& value) {
        return value.Outcome == AuthorityValue::Kind::Failed && value.Failure;
    });
    if (allFailed && !values.isEmpty()) {
        // The request failed as a whole: one failure, whatever the number of domains it asked.
        const SourceFailure failure = *values.first().Failure;
        if (const std::optional<int> delay = RetryDelayMs(failure, retriedAuthority.contains(propertyName))) {
            retriedAuthority.insert(propertyName);
            QueueServiceRetry(driver, *delay, [this, domains, propertyName] { SendAuthority(domains, propertyName); });
            return;
        }
        CountFailedReply(propertyName, reply);
        NoteReason(u"authority"_s, SourceName(AuthoritySourceKind::OpenPageRank), failure.Reason);
        if (EndsSourceForRun(failure))
            authorityRefused = true;
        FailAuthority(domains, false);
        return;
    }
    QHash<QString, AuthorityValue> byDomain;
    for (qsizetype i = 0; i < domains.size(); ++i)
        byDomain.insert(domains.at(i), values.value(i));
    RankRunState& run = state.Run;
    int answered = 0;
    for (int n = 0; n < run.PRJobCount; ++n) {
        const auto value = byDomain.constFind(AuthorityDomain(run.PRJobURL.at(n)));
        if (value == byDomain.cend())
            continue;
        ++answered;
        switch (value->Outcome) {
        case AuthorityValue::Kind::Value:
            run.PRJobPageRank[n] = QString::number(value->PageRank) + u"/10"_s;
            run.PRJobPageRankStatus[n] = ValueStatus::Found;
            break;
        case AuthorityValue::Kind::NotRanked:
            run.PRJobPageRank[n] = NotRankedText;
            run.PRJobPageRankStatus[n] = ValueStatus::NotRanked;
            break;
        case AuthorityValue::Kind::Failed:
            run.PRJobPageRank[n] = FailedText;
            run.PRJobPageRankStatus[n] = ValueStatus::Failed;
            tally.CountFailed(u"G"_s);
            if (value->Failure)
                NoteReason(u"authority"_s, SourceName(AuthoritySourceKind::OpenPageRank), value->Failure->Reason);
            break;
        }
    }
    advance(answered);
}

// Every job of these domains fails. The batches after a refused key come here without a request,
// and each of their values counts as a failure.
void RankRunSources::FailAuthority(const QStringList& domains, bool countEach)
{
    const QSet<QString> asked(domains.cbegin(), domains.cend());
    RankRunState& run = state.Run;
    int failed = 0;
    for (int n = 0; n < run.PRJobCount; ++n) {
        if (!asked.contains(AuthorityDomain(run.PRJobURL.at(n))))
            continue;
        run.PRJobPageRank[n] = FailedText;
        run.PRJobPageRankStatus[n] = ValueStatus::Failed;
        if (countEach)
            tally.CountFailed(u"G"_s);
        ++failed;
    }
    advance(failed);
}

void RankRunSources::QueueSearches()
{
    RankRunState& run = state.Run;
    searches.clear();
    for (int m = 0; m < run.PositionJobCount; ++m) {
        const PositionJob& job = run.PositionJobs.at(m);
        searches.push_back(std::make_unique<KeywordSearch>(*service, job.Keyword, job.SearchMarket,
                                                           run.Sources.Search.Depth, KeywordSearch::Purpose::Position,
                                                           SearchTarget{job.URL, job.Product}));
        QueueSearchPage(m);
    }
}

void RankRunSources::QueueSearchPage(int m, int pauseMs)
{
    const auto send = [this, m] { SendSearchPage(m); };
    if (pauseMs > 0) {
        QueueServiceRetry(driver, pauseMs, send);
        return;
    }
    RequestDriver::Request request = RequestDriver::Call(send);
    // After a refused key the searches still queued have already failed.
    request.Wanted = [this] { return !searchRefused; };
    driver.AddPaced(std::move(request));
}

void RankRunSources::SendSearchPage(int m)
{
    const KeywordSearch* search = searches.at(m).get();
    if (!search)
        return;
    const QString propertyName = u"T%1$%2"_s.arg(m).arg(search->NextPageIndex());
    tally.CountSent();
    driver.Control().BeginServiceRequest(
        search->NextRequest(), propertyName,
        [this, m, propertyName](const ServiceReply& reply) { TakeSearchPage(m, propertyName, reply); });
}

void RankRunSources::TakeSearchPage(int m, const QString& propertyName, const ServiceReply& reply)
{
    KeywordSearch* search = searches.at(m).get();
    if (!search)
        return;
    switch (search->TakeReply(reply)) {
    case KeywordSearch::Step::NextPage:
        QueueSearchPage(m);
        return;
    case KeywordSearch::Step::Retry:
        QueueSearchPage(m, search->RetryDelayMs());
        return;
    case KeywordSearch::Step::Done: {
        PositionJob& job = state.Run.PositionJobs[m];
        job.Rank = search->Position();
        if (job.Rank > 0)
            job.ViewURL = ViewPageURL(state.Run.Sources.Search, job, service->PageSize());
        EndSearch(m, job.Rank > 0 ? ValueStatus::Found : ValueStatus::NotRanked);
        return;
    }
    case KeywordSearch::Step::Failed:
        break;
    }
    const SourceFailure failure = *search->Failure();
    CountFailedReply(propertyName, reply);
    NoteReason(u"positions"_s, SourceName(service->Kind()), failure.Reason);
    EndSearch(m, ValueStatus::Failed);
    if (EndsSourceForRun(failure)) {
        searchRefused = true;
        FailRemainingSearches();
    }
}

void RankRunSources::EndSearch(int m, ValueStatus status)
{
    PositionJob& job = state.Run.PositionJobs[m];
    job.Status = status;
    const QStringList& top10 = searches.at(m)->Top10();
    for (qsizetype k = 0; k < top10.size() && k < qsizetype(job.Top10.size()); ++k)
        job.Top10[k] = top10.at(k);
    searches.at(m).reset();
    advance(1);
}

// After a refused key: every search not yet ended fails, each counted as a failure.
void RankRunSources::FailRemainingSearches()
{
    for (int m = 0; m < int(searches.size()); ++m) {
        if (!searches.at(m))
            continue;
        tally.CountFailed(u"T"_s);
        EndSearch(m, ValueStatus::Failed);
    }
}

// A reply that came counts here; a download without any reply was counted as it failed.
void RankRunSources::CountFailedReply(const QString& propertyName, const ServiceReply& reply)
{
    if (reply.HttpStatus != 0)
        tally.CountFailed(propertyName);
}

void RankRunSources::NoteReason(const QString& column, const QString& source, const QString& reason)
{
    const QString prefix = column + u" ("_s + source + u"): "_s;
    const bool noted =
        std::any_of(reasons.cbegin(), reasons.cend(), [&](const QString& line) { return line.startsWith(prefix); });
    if (!noted)
        reasons.append(prefix + reason);
}

void RankRunSources::NoteFailedDownload(const QString& propertyName, const QString& reason)
{
    failedKeys.insert(propertyName);
    const QChar kind = propertyName.isEmpty() ? QChar() : propertyName.front();
    if (kind == u'T')
        failedSearchJobs.insert(propertyName.mid(1).section(u'$', 0, 0).toInt());
    const QString historical = SourceName(SearchSourceKind::Historical);
    if (kind == u'G' && !authority)
        NoteReason(u"authority"_s, historical, reason);
    else if (kind == u'A' && !TodaysTraffic())
        NoteReason(u"traffic rank"_s, historical, reason);
    else if (kind == u'T' && !service)
        NoteReason(u"positions"_s, historical, reason);
    else if (kind == u'K')
        NoteReason(u"page summary"_s, u"the page itself"_s, reason);
}

void RankRunSources::SettleHistorical()
{
    RankRunState& run = state.Run;
    for (int n = 0; n < run.PRJobCount; ++n) {
        // The PageRank parser leaves "0" where the reply held no rank.
        if (!authority)
            run.PRJobPageRankStatus[n] = failedKeys.contains(u"G"_s + QString::number(n)) ? ValueStatus::Failed
                                         : run.PRJobPageRank.at(n) == u"0"_s              ? ValueStatus::NotRanked
                                                                                          : ValueStatus::Found;
        if (!TodaysTraffic()) {
            const QString& text = run.PRJobAlexa.at(n);
            run.PRJobAlexaStatus[n] = failedKeys.contains(u"A"_s + QString::number(n)) ? ValueStatus::Failed
                                      : text == u"Not Available"_s || text == u"0"_s   ? ValueStatus::NotRanked
                                                                                       : ValueStatus::Found;
        }
    }
    if (service)
        return;
    for (int m = 0; m < run.PositionJobCount; ++m) {
        PositionJob& job = run.PositionJobs[m];
        job.Status = job.Rank != 0                  ? ValueStatus::Found
                     : failedSearchJobs.contains(m) ? ValueStatus::Failed
                                                    : ValueStatus::NotRanked;
    }
}
