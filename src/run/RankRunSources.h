#pragma once
// Today's sources in a rank run. Authority goes in batches of up to 100 domains, and every search
// result page is its own request; both go on the driver's paced lane, after the same pause as
// every paced download. Traffic ranks come from the local list at once, with no request and no
// pause. Each value ends as a value, "not ranked" (for positions: "Not Found in top N") or
// "Failed". After a refused key a source gets no more requests in the run, and its remaining values
// fail. The historical sources' values get their statuses at the end, from the downloads that
// failed.

#include "model/RankRunState.h"
#include "sources/KeywordSearch.h"
#include "sources/OpenPageRank.h"

#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

struct AppState;
struct RequestTally;
class RequestDriver;

// The cell texts of today's sources.
inline const QString NotRankedText = QStringLiteral("not ranked");
inline const QString FailedText = QStringLiteral("Failed");
// "Not Found in top N"
QString NotFoundInTopText(int depth);
// "serper does not offer the device: 3 keyword records were asked without it", one line for each
// field that the source of kind cannot send and some of the records asked for, in the order of the
// fields.
QStringList UnofferedMarketTexts(SearchSourceKind kind, const QList<PositionJob>& jobs);

// The sources a run asked, in words: "historical" when every column is historical, otherwise
// "positions serpapi (depth 100), authority openpagerank, traffic rank tranco (list K2QVN)" and the
// note on the order of the positions when there is one.
QString SourcesText(const SourceSettings& sources, const QString& trafficListName);

class RankRunSources {
public:
    // advance moves the run's progress on by that many steps.
    RankRunSources(AppState& state, RequestDriver& driver, RequestTally& tally, std::function<void(int)> advance);
    ~RankRunSources();

    // A run starts: the settings are read into the run's state, and what the last run kept is dropped.
    void Begin();
    bool TodaysSearch() const { return service != nullptr; }
    bool TodaysAuthority() const { return authority != nullptr; }
    bool TodaysTraffic() const;

    // The first pass of the jobs made: the traffic ranks at once, the authority batches queued.
    void AnswerTrafficAndQueueAuthority();
    // The first page of every keyword record's search, queued.
    void QueueSearches();
    // A download ended without a page, and why. The historical sources and the page summaries
    // note the first reason of each kind here; today's sources note theirs as they read the reply.
    void NoteFailedDownload(const QString& propertyName, const QString& reason);
    // The statuses of the values the historical sources read, once the passes are over.
    void SettleHistorical();
    // The first failure's reason for each source that failed, e.g. "positions (serpapi): REASON",
    // "authority (historical): HTTP status 503".
    const QStringList& FailureReasons() const { return reasons; }

private:
    void AnswerTraffic();
    void SendAuthority(const QStringList& domains, const QString& propertyName);
    void TakeAuthority(const QStringList& domains, const QString& propertyName, const ServiceReply& reply);
    void FailAuthority(const QStringList& domains, bool countEach);
    void QueueSearchPage(int m, int pauseMs = 0);
    void SendSearchPage(int m);
    void TakeSearchPage(int m, const QString& propertyName, const ServiceReply& reply);
    void EndSearch(int m, ValueStatus status);
    void FailRemainingSearches();
    void CountFailedReply(const QString& propertyName, const ServiceReply& reply);
    void NoteReason(const QString& column, const QString& source, const QString& reason);

    AppState& state;
    RequestDriver& driver;
    RequestTally& tally;
    std::function<void(int)> advance;

    std::unique_ptr<SearchService> service;
    std::unique_ptr<OpenPageRank> authority;
    std::vector<std::unique_ptr<KeywordSearch>> searches; // one per keyword record; null once ended
    bool searchRefused = false;
    bool authorityRefused = false;
    QSet<QString> retriedAuthority;
    QSet<QString> failedKeys;
    QSet<int> failedSearchJobs;
    QStringList reasons;
};
