#include "history/RunHistory.h"

#include "sources/SourceSettings.h"

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

} // namespace

HistoryData RunHistory(const RankRunState& run, const QDateTime& time, const QString& reportFile)
{
    HistoryData history;
    history.Runs.append({0, time, SourcesText(run.Sources), reportFile});
    history.Pages.reserve(run.PRJobCount);
    for (int n = 0; n < run.PRJobCount; ++n) {
        PageHistoryValue page;
        page.URL = run.PRJobURL.value(n);
        page.PageRank = run.PRJobPageRank.value(n);
        page.PageRankStatus = run.PRJobPageRankStatus.value(n, ValueStatus::NotRanked);
        page.TrafficRank = run.PRJobAlexa.value(n);
        page.TrafficStatus = run.PRJobAlexaStatus.value(n, ValueStatus::NotRanked);
        page.Title = run.PRJobTitle.value(n);
        page.Description = run.PRJobDescription.value(n);
        page.Keywords = run.PRJobKeywords.value(n);
        history.Pages.append(page);
    }
    history.Positions.reserve(run.PositionJobs.size());
    for (const PositionJob& job : run.PositionJobs) {
        PositionHistoryValue value;
        value.URL = job.URL;
        value.Product = job.Product;
        value.Keyword = job.Keyword;
        value.SearchMarket = job.SearchMarket;
        value.Status = job.Status;
        value.Position = job.Status == ValueStatus::Found ? job.Rank : 0;
        value.Depth = job.Depth;
        value.Top10 = QStringList(job.Top10.cbegin(), job.Top10.cend());
        history.Positions.append(value);
    }
    return history;
}

QString SourcesText(const SourceSettings& sources)
{
    return QStringLiteral("search %1, authority %2, traffic %3")
        .arg(SourceName(sources.Search.Kind), SourceName(sources.Authority.Kind), SourceName(sources.Traffic.Kind));
}

QLatin1StringView StatusWord(ValueStatus status)
{
    switch (status) {
    case ValueStatus::Found:
        return QLatin1StringView("found");
    case ValueStatus::NotRanked:
        return QLatin1StringView("not ranked");
    case ValueStatus::Failed:
        return QLatin1StringView("failed");
    }
    Q_UNREACHABLE();
}

QString HistoryTimeText(const QDateTime& time)
{
    return time.toString(TimeFormat);
}

QDateTime HistoryTimeFromText(const QString& text)
{
    return QDateTime::fromString(text, TimeFormat);
}
