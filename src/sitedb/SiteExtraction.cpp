// GetWebSiteTitle: the batch's requests on the driver, the give-up of silent page summaries, and
// the one write of the batch with its progress.

#include "sitedb/SiteExtraction.h"

#include "app/AppState.h"
#include "app/Clock.h"
#include "web/NormaliseURL.h"
#include "web/RequestDriver.h"
#include "web/ServiceAddresses.h"
#include "web/ocxParseWeb.h"

using namespace Qt::StringLiterals;

QString ExtractionDoneText(const QString& table, qint64 milliseconds)
{
    const float minutes = float(milliseconds) / 60000.0f;
    return u"You have gotten Title,Description,Keyword,PR,Alexa in '"_s + table + u"' table !\r\nTime consuming : "_s +
           QString::number(double(minutes), 'g', 7) + u" minutes"_s;
}

SiteExtraction::SiteExtraction(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock,
                               QObject* parent)
    : SiteDbRun(state, driver, prompter, clock, parent)
{
    // The summaries given up count as finished; their slots keep empty texts.
    connect(&driver, &RequestDriver::GaveUp, this, [this](int inFlight) {
        if (IsRunning())
            this->state.Sites.TitlesDone += inFlight;
    });
}

void SiteExtraction::Start(const ExtractionBatch& extraction, const ExtractChoice& chosen)
{
    if (!Begin())
        return;
    batch = extraction;
    choice = chosen;
    startTime = clock.Now();

    const int count = int(batch.URLs.size());
    SiteTables& sites = state.Sites;
    sites.CurrentSearch = batch.Keyword;
    sites.WebSiteList = batch.URLs;
    sites.WebSiteCount = count;
    sites.SitePR = QList<int>(count, 0);
    sites.SiteAlexa = QList<qint32>(count, 0);
    sites.SiteTitle = sites.SiteDescription = sites.SiteKeyword = QStringList(count);
    sites.TitlesDone = 0;
    prQueryURLs.clear();
    alexaURLs.clear();
    for (const QString& url : std::as_const(batch.URLs)) {
        const QString site = NormaliseURL(url);
        prQueryURLs.append(PageRankQueryURL(site));
        alexaURLs.append(AlexaSiteInfoURL(site));
    }
    prIssued = alexaIssued = titleIssued = 0;
    progress = 0;

    driver.SetRules({.SideLimit = TitlesInFlight, .SideAfterPaced = true, .IdleGiveUpMs = TitleGiveUpMs});
    QueueRequests();
    Q_EMIT ProgressMaximumChanged(3 * count);
    Q_EMIT ProgressValueChanged(0);
    driver.Start();
}

// Every paced request sends the next PageRank query while "Extract PR" is ticked and some are left,
// otherwise the next traffic-rank page; once neither is wanted the paced work is over. The summaries
// go while "Extract Title" is ticked.
void SiteExtraction::QueueRequests()
{
    const int count = int(batch.URLs.size());
    for (int n = 0; n < 2 * count; ++n) {
        RequestDriver::Request rank = RequestDriver::Call([this] { SendRank(); });
        rank.Wanted = [this] { return RankWanted(); };
        driver.AddPaced(std::move(rank));
    }
    for (int n = 0; n < count; ++n) {
        RequestDriver::Request title = RequestDriver::Call([this] { SendTitle(); });
        title.Wanted = [this] { return choice.Title && titleIssued < int(batch.URLs.size()); };
        driver.AddSide(std::move(title));
    }
}

bool SiteExtraction::RankWanted() const
{
    const int count = int(batch.URLs.size());
    return (choice.PR && prIssued < count) || (choice.Alexa && alexaIssued < count);
}

void SiteExtraction::SendRank()
{
    const int count = int(batch.URLs.size());
    ocxParseWeb& control = driver.Control();
    // The boxes may have changed during the pause.
    if (choice.PR && prIssued < count) {
        const int n = prIssued++;
        ++state.PendingHtmlCount;
        control.BeginDownload(prQueryURLs.at(n), u"g"_s + QString::number(n));
    } else if (choice.Alexa && alexaIssued < count) {
        const int n = alexaIssued++;
        ++state.PendingHtmlCount;
        control.BeginDownload(alexaURLs.at(n), u"a"_s + QString::number(n));
    } else {
        return;
    }
    Advance();
}

void SiteExtraction::SendTitle()
{
    const int n = titleIssued++;
    ++state.PendingTitleCount;
    // The summary is read from the address as stored, not normalised.
    driver.Control().BeginDownload(batch.URLs.at(n), u"k"_s + QString::number(n));
    Advance();
}

void SiteExtraction::Advance()
{
    Q_EMIT ProgressValueChanged(++progress);
}

void SiteExtraction::Drained()
{
    const SiteTables& sites = state.Sites;
    QList<SiteDetails> details;
    details.reserve(batch.URLs.size());
    for (int i = 0; i < batch.URLs.size(); ++i)
        details.append({batch.URLs.at(i), sites.SiteTitle.value(i), sites.SiteDescription.value(i),
                        sites.SiteKeyword.value(i), sites.SitePR.value(i), sites.SiteAlexa.value(i)});

    SiteDatabase database(DatabasePath(state.ProgramFolder));
    if (database.WriteExtractionBatch(batch.Keyword, batch.Table, details, choice, batch.Next, batch.End))
        EndWritten(batch.Keyword, ExtractionDoneText(batch.Table, startTime.msecsTo(clock.Now())));
    else
        EndFailed(database.LastError());
}
