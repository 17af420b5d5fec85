#include "run/RankRun.h"

#include "base/Clock.h"
#include "base/Names.h"
#include "base/Prompter.h"
#include "model/AppState.h"
#include "run/RankReport.h"
#include "web/RequestDriver.h"
#include "web/ServiceAddresses.h"
#include "web/ocxParseWeb.h"

namespace {

const QString RankCaption = QStringLiteral("Ran&k");
const QString StopCaption = QStringLiteral("&Stop");
constexpr int TitlesInFlight = 10;

} // namespace

RankRun::RankRun(AppState& state, ocxParseWeb& control, RequestDriver& driver, Prompter& prompter, const Clock& clock,
                 QObject* parent)
    : QObject(parent), state(state), control(control), prompter(prompter), clock(clock), driver(driver),
      sources(state, driver, tally, [this](int steps) { SetProgress(progressValue + steps); })
{
    tmrPR.setObjectName(QStringLiteral("tmrPR"));
    tmrPR.setInterval(10);
    tmrPR.setSingleShot(true);
    connect(&tmrPR, &QTimer::timeout, this, &RankRun::tmrPR_Timer);
    // The other runs drain and stop the same driver; only one run goes at a time.
    connect(&driver, &RequestDriver::Drained, this, [this] {
        if (running)
            EndOfPass();
    });
    connect(&driver, &RequestDriver::Stopped, this, [this] {
        if (running)
            FinishStop();
    });
    connect(&control, &ocxParseWeb::DownloadFailed, this, [this](const QString& propertyName, const QString& reason) {
        if (running) {
            tally.CountFailed(propertyName);
            sources.NoteFailedDownload(propertyName, reason);
        }
    });
}

void RankRun::StartOrStopRank()
{
    if (running)
        RequestStop();
    else
        Start();
}

void RankRun::RequestStop()
{
    Q_EMIT RankCaptionChanged(RankCaption);
    SetProgress(0);
    state.StopRequested = true;
    Q_EMIT SettleButtons();
    // The driver finishes the stop at its next turn.
    driver.ScheduleTurn();
}

void RankRun::Start()
{
    RankRunState& run = state.Run;
    state.StopRequested = false;
    running = true;
    tally = {};
    Q_EMIT RunStarting();
    Q_EMIT RankCaptionChanged(StopCaption);

    run = RankRunState();
    marketNotes.clear();
    sources.Begin();
    for (const PRURLEntry& entry : std::as_const(state.Lists.PRURLList)) {
        if (entry.Checked != 1)
            continue;
        run.PRJobURL.append(entry.URL);
        run.PRJobPageURL.append(entry.PageURL());
        run.PRJobPageRank.append(QStringLiteral("0/10"));
        run.PRJobAlexa.append(QStringLiteral("Not Available"));
        run.PRJobTitle.append(QString());
        run.PRJobDescription.append(QString());
        run.PRJobKeywords.append(QString());
        run.PRJobQueryURL.append(PageRankQueryURL(entry.URL));
        run.PRJobAlexaURL.append(AlexaSiteInfoURL(entry.URL));
        run.ProgressSteps += 3;
        ++run.PRJobCount;
    }
    // Today's sources of authority and traffic rank send no query of their own per page.
    run.PRQueryCount = sources.TodaysAuthority() ? 0 : run.PRJobCount;
    run.AlexaCount = sources.TodaysTraffic() ? 0 : run.PRJobCount;
    run.TitleCount = run.PRJobCount;
    BuildSearchPass();
}

void RankRun::BuildSearchPass()
{
    RankRunState& run = state.Run;
    run.PositionEntriesTaken = 0;
    run.SearchNext = 0;
    run.SearchCount = 0;
    run.PositionJobCount = 0;
    if (run.RunPhase == 0) {
        run.SearchURL.clear();
        run.SearchTag.clear();
        run.PositionJobs.clear();
        for (const QuorvexEntry& entry : std::as_const(state.Lists.QuorvexList)) {
            if (entry.Checked != 1)
                continue;
            // Pieces are searched as they stand: a blank after a comma is sent as a leading "+".
            for (const QString& keyword : entry.Keyword.split(QLatin1Char(','))) {
                const int r = run.PositionJobCount;
                PositionJob job;
                job.URL = entry.URL;
                job.Product = entry.Product;
                job.Keyword = keyword;
                job.SearchMarket = EffectiveMarket(entry.OwnMarket, state.Lists.DefaultMarket);
                if (sources.TodaysSearch()) {
                    // Its pages are queued when the pass starts.
                    job.Depth = run.Sources.Search.Depth;
                    run.ProgressSteps += 1;
                } else {
                    run.SearchURL.append(SearchResultsURL(keyword, job.SearchMarket, 100, 0));
                    run.SearchTag.append(QString::number(r) + QStringLiteral("$0"));
                    run.ProgressSteps += 4;
                    ++run.SearchCount;
                }
                run.PositionJobs.append(job);
                ++run.PositionJobCount;
            }
            ++run.PositionEntriesTaken;
        }
        keywordEntriesTaken = run.PositionEntriesTaken;
        marketNotes = UnofferedMarketTexts(run.Sources.Search.Kind, run.PositionJobs);
    } else {
        // The follow-up passes read the records of the first pass, so entries added or removed
        // meanwhile cannot shift a request onto another record.
        for (int m = 0; m < run.PositionJobs.size(); ++m) {
            const PositionJob& job = run.PositionJobs.at(m);
            const int page = run.RunPhase == 1 ? job.Page1 : job.Page2;
            run.SearchURL[m] = SearchResultsURL(job.Keyword, job.SearchMarket, 10, 10 * page);
            run.SearchTag[m] = QString::number(m) + QLatin1Char('$') + QString::number(page);
            ++run.SearchCount;
            ++run.PositionJobCount;
        }
        run.PositionEntriesTaken = keywordEntriesTaken;
    }
    if (run.PRJobCount != 0 || run.PositionEntriesTaken != 0) {
        tmrPR.start();
        Q_EMIT SettleButtons();
        return;
    }
    running = false;
    Q_EMIT RankCaptionChanged(RankCaption);
    Q_EMIT SettleButtons();
    prompter.ShowMessage(QStringLiteral("You select nothing to report !"), MessageIcon::Exclamation, AppTitle);
    Q_EMIT Finished(false);
}

void RankRun::tmrPR_Timer()
{
    RankRunState& run = state.Run;
    if (run.RunPhase == 0) {
        // The maker's page goes with the historical PageRank queries once per run; its answer is not kept.
        if (!sources.TodaysAuthority()) {
            run.PRJobQueryURL.append(MakerPageURL());
            ++run.PRQueryCount;
            ++run.ProgressSteps;
        }
        SetProgress(0);
        Q_EMIT ProgressMaximumChanged(run.ProgressSteps);
    }
    // The other runs set rules of their own on the shared driver.
    driver.SetRules({.SideLimit = TitlesInFlight, .SideAfterPaced = false, .IdleGiveUpMs = 0});
    QueuePass();
    driver.Start();
}

// PageRank queries (or today's authority batches) first, then traffic-rank pages (today's ranks are
// answered at once), then searches, each paced; the summaries beside them. The queues of the first
// pass are used up there, so the follow-up passes queue only searches.
void RankRun::QueuePass()
{
    const RankRunState& run = state.Run;
    for (int n = run.PRQueryNext; n < run.PRQueryCount; ++n)
        driver.AddPaced(RequestDriver::Call(
            [this] { SendJobRequest(state.Run.PRJobQueryURL, state.Run.PRQueryNext, QLatin1Char('G')); }));
    if (run.RunPhase == 0)
        sources.AnswerTrafficAndQueueAuthority();
    for (int n = run.AlexaNext; n < run.AlexaCount; ++n)
        driver.AddPaced(RequestDriver::Call(
            [this] { SendJobRequest(state.Run.PRJobAlexaURL, state.Run.AlexaNext, QLatin1Char('A')); }));
    if (run.RunPhase == 0 && sources.TodaysSearch())
        sources.QueueSearches();
    for (int m = run.SearchNext; m < run.SearchCount; ++m)
        driver.AddPaced(RequestDriver::Call([this] { SendSearch(); }));
    for (int n = run.TitleNext; n < run.TitleCount; ++n) {
        RequestDriver::Request summary = RequestDriver::Call([this] { SendSummary(); });
        // "Extract Keyword" is read at every turn; while it is off no summary is asked for, and
        // the summaries dropped count their steps.
        summary.Wanted = [this] {
            if (state.Lists.CheckExtractKeyword)
                return true;
            SetProgress(progressValue + state.Run.TitleCount - state.Run.TitleNext);
            state.Run.TitleNext = state.Run.TitleCount;
            return false;
        };
        driver.AddSide(std::move(summary));
    }
}

// The next PageRank query ("G") or traffic-rank page ("A") of the jobs.
void RankRun::SendJobRequest(const QStringList& urls, int& next, QChar kind)
{
    const int n = next++;
    Send(urls.at(n), kind + QString::number(n));
    AdvanceProgress();
}

// A search of a follow-up pass whose record has no page to read is skipped, after its pause.
void RankRun::SendSearch()
{
    RankRunState& run = state.Run;
    const int m = run.SearchNext++;
    const PositionJob& job = run.PositionJobs.at(m);
    const bool noPage = (run.RunPhase == 1 && job.Page1 == -1) || (run.RunPhase == 2 && job.Page2 == -1);
    if (!noPage) {
        Send(run.SearchURL.at(m), QLatin1Char('T') + run.SearchTag.at(m));
    }
    AdvanceProgress();
}

void RankRun::SendSummary()
{
    RankRunState& run = state.Run;
    if (run.TitleNext >= run.TitleCount)
        return;
    const int n = run.TitleNext++;
    Send(run.PRJobPageURL.at(n), QLatin1Char('K') + QString::number(n));
    AdvanceProgress();
}

void RankRun::EndOfPass()
{
    RankRunState& run = state.Run;
    // Positions from today's sources are exact in the first pass.
    if (run.RunPhase < 2 && !sources.TodaysSearch()) {
        ++run.RunPhase;
        BuildSearchPass();
        return;
    }
    // A keyword's fourth step stands for a third page of ten, which no pass reads.
    if (!sources.TodaysSearch())
        SetProgress(progressValue + run.PositionJobCount);
    run.RunPhase = 0;
    running = false;
    sources.SettleHistorical();
    Q_EMIT StatusText(tally.CompletedText());
    bool written = false;
    if (state.Lists.PRURLCount() >= 1 || state.Lists.QuorvexCount() >= 1) {
        QString failure;
        reportTime = clock.Now();
        written = GetReport(state, reportTime, &failure);
        if (written)
            Q_EMIT ReportWritten(ReportIndexPath(state.ProgramFolder));
        else
            prompter.ShowMessage(QStringLiteral("The report could not be written to ") +
                                     ReportIndexPath(state.ProgramFolder) + QStringLiteral(" (") + failure +
                                     QLatin1Char(')'),
                                 MessageIcon::Exclamation, AppTitle);
    } else {
        prompter.ShowMessage(QStringLiteral("Please check your setting or enter a valid URL !"), MessageIcon::Stop,
                             AppTitle);
    }
    Q_EMIT RankCaptionChanged(RankCaption);
    Q_EMIT Finished(written);
}

// The driver has cancelled every download.
void RankRun::FinishStop()
{
    tmrPR.stop();
    running = false;
    state.Run.RunPhase = 0;
    Q_EMIT RankCaptionChanged(RankCaption);
    prompter.ShowMessage(StopPressedText, MessageIcon::Exclamation, AppTitle);
    Q_EMIT Finished(false);
}

void RankRun::Send(const QString& url, const QString& propertyName)
{
    tally.CountSent();
    control.BeginDownload(url, propertyName);
}

void RankRun::AdvanceProgress()
{
    SetProgress(progressValue + 1);
}

void RankRun::SetProgress(int value)
{
    progressValue = value;
    Q_EMIT ProgressValueChanged(value);
}
