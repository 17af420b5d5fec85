// GetWebSiteTitle: the batch's requests on the driver, the give-up of silent page summaries, and
// the one write of the batch with its progress.

#include "sitedb/SiteExtraction.h"

#include "base/Clock.h"
#include "model/AppState.h"
#include "sources/ServiceSend.h"
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

QString FailedValuesText(const ValueFailures& failures)
{
    if (failures.Count == 0)
        return {};
    return u"\r\nFailed values : %1 ("_s.arg(failures.Count) + failures.FirstReason + u')';
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
    connect(&driver.Control(), &ocxParseWeb::DownloadFailed, this, [this](const QString& propertyName) {
        if (IsRunning())
            NoteFailedDownload(propertyName);
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
    sites.SitePR = QList<int>(count, NotRead);
    sites.SiteAlexa = QList<qint32>(count, NotRead);
    sites.SiteTitle = sites.SiteDescription = sites.SiteKeyword = QStringList(count);
    sites.TitlesDone = 0;
    LoadSources();
    prQueryURLs.clear();
    alexaURLs.clear();
    for (const QString& url : std::as_const(batch.URLs)) {
        const QString site = NormaliseURL(url);
        if (!authority)
            prQueryURLs.append(PageRankQueryURL(site));
        if (alexaTotal > 0)
            alexaURLs.append(AlexaSiteInfoURL(site));
    }
    prIssued = alexaIssued = titleIssued = 0;
    progress = 0;
    failedValues = 0;

    driver.SetRules({.SideLimit = TitlesInFlight, .SideAfterPaced = true, .IdleGiveUpMs = TitleGiveUpMs});
    QueueRequests();
    Q_EMIT ProgressMaximumChanged(prTotal + alexaTotal + count);
    Q_EMIT ProgressValueChanged(0);
    driver.Start();
}

// The sources chosen now serve the whole batch. A traffic rank from a list is in at once, for every
// site, so that ticking "Extract Alexa" later still finds it.
void SiteExtraction::LoadSources()
{
    const SourceSettings sources = LoadSourceSettings(state.Settings);
    const int count = int(batch.URLs.size());
    authority.reset();
    prFailures = {};
    if (sources.Authority.Kind != AuthoritySourceKind::Historical)
        authority = std::make_unique<AuthorityGroups>(sources.Authority, batch.URLs);
    prTotal = authority ? authority->Count() : count;
    trafficFailures = {};
    alexaTotal = count;
    if (sources.Traffic.Kind != TrafficSourceKind::Historical) {
        trafficFailures = TrafficFromList(sources.Traffic.Kind, state.ProgramFolder, batch.URLs, state.Sites.SiteAlexa);
        alexaTotal = 0;
    }
}

// Every paced request sends the next PageRank request while "Extract PR" is ticked and some are
// left, otherwise the next traffic-rank page; once neither is wanted the paced work is over. The
// summaries go while "Extract Title" is ticked.
void SiteExtraction::QueueRequests()
{
    const int count = int(batch.URLs.size());
    for (int n = 0; n < prTotal + alexaTotal; ++n) {
        RequestDriver::Request rank = RequestDriver::Call([this] { SendRank(); });
        rank.Wanted = [this] { return Decided(RankWanted()); };
        driver.AddPaced(std::move(rank));
    }
    for (int n = 0; n < count; ++n) {
        RequestDriver::Request title = RequestDriver::Call([this] { SendTitle(); });
        title.Wanted = [this] { return Decided(choice.Title && titleIssued < int(batch.URLs.size())); };
        driver.AddSide(std::move(title));
    }
}

bool SiteExtraction::Decided(bool wanted)
{
    if (!wanted)
        Advance();
    return wanted;
}

// A historical request that brought no page is counted here; a service's reply tells its own
// failures, and a page summary not read is seen at the write by its empty title.
void SiteExtraction::NoteFailedDownload(const QString& propertyName)
{
    if (propertyName.startsWith(u'g') && !authority)
        prFailures.Add(1, SourceName(AuthoritySourceKind::Historical), u"the PageRank query brought no page"_s);
    else if (propertyName.startsWith(u'a'))
        trafficFailures.Add(1, SourceName(TrafficSourceKind::Historical), u"the traffic-rank page did not come"_s);
}

bool SiteExtraction::RankWanted() const
{
    return (choice.PR && prIssued < prTotal) || (choice.Alexa && alexaIssued < alexaTotal);
}

void SiteExtraction::SendRank()
{
    ocxParseWeb& control = driver.Control();
    // The boxes may have changed during the pause; then the request sends nothing.
    if (choice.PR && prIssued < prTotal) {
        const int n = prIssued++;
        if (authority) {
            SendAuthority(n);
        } else {
            control.BeginDownload(prQueryURLs.at(n), u"g"_s + QString::number(n));
        }
    } else if (choice.Alexa && alexaIssued < alexaTotal) {
        const int n = alexaIssued++;
        control.BeginDownload(alexaURLs.at(n), u"a"_s + QString::number(n));
    }
    Advance();
}

void SiteExtraction::SendAuthority(int group)
{
    driver.Control().BeginServiceRequest(authority->Request(group), u"g"_s + QString::number(group),
                                         [this, group](const ServiceReply& reply) { TakeAuthority(group, reply); });
}

void SiteExtraction::TakeAuthority(int group, const ServiceReply& reply)
{
    switch (authority->Take(group, reply, state.Sites.SitePR)) {
    case AuthorityGroups::Step::Read:
        break;
    case AuthorityGroups::Step::Retry:
        QueueServiceRetry(driver, authority->RetryDelayMs(), [this, group] { SendAuthority(group); });
        break;
    case AuthorityGroups::Step::EndSource:
        // The groups not asked yet are never sent.
        authority->FailFrom(prIssued);
        prIssued = prTotal;
        break;
    }
}

void SiteExtraction::SendTitle()
{
    const int n = titleIssued++;
    // The summary is read from the address as stored, not normalised.
    driver.Control().BeginDownload(batch.URLs.at(n), u"k"_s + QString::number(n));
    Advance();
}

void SiteExtraction::Advance()
{
    Q_EMIT ProgressValueChanged(++progress);
}

bool SiteExtraction::IsRead(int slot) const
{
    const SiteTables& sites = state.Sites;
    return (!choice.Title || !sites.SiteTitle.value(slot).isEmpty()) &&
           (!choice.PR || sites.SitePR.value(slot, NotRead) != NotRead) &&
           (!choice.Alexa || sites.SiteAlexa.value(slot, NotRead) != NotRead);
}

void SiteExtraction::Drained()
{
    const SiteTables& sites = state.Sites;
    QList<SiteDetails> read;
    QStringList notRead;
    int titlesNotRead = 0;
    for (int i = 0; i < batch.URLs.size(); ++i) {
        if (sites.SiteTitle.value(i).isEmpty())
            ++titlesNotRead;
        if (IsRead(i))
            read.append({batch.URLs.at(i), sites.SiteTitle.value(i), sites.SiteDescription.value(i),
                         sites.SiteKeyword.value(i), sites.SitePR.value(i), sites.SiteAlexa.value(i)});
        else
            notRead.append(batch.URLs.at(i));
    }
    // A batch that read no site leaves its rows where they are: moving them all behind would only
    // turn the table round.
    if (read.isEmpty())
        notRead.clear();

    // Only the values chosen at the write count.
    ValueFailures failures;
    if (choice.PR)
        failures.Add(authority ? authority->Failures() : prFailures);
    if (choice.Alexa)
        failures.Add(trafficFailures);
    if (choice.Title)
        failures.Add(titlesNotRead, u"page summary"_s, u"the site's page was not read"_s);
    failedValues = failures.Count;

    SiteDatabase database(DatabasePath(state.ProgramFolder));
    if (database.WriteExtractionBatch(batch.Keyword, batch.Table, read, notRead, choice, batch.Head + int(read.size()),
                                      batch.End))
        EndWritten(batch.Keyword,
                   ExtractionDoneText(batch.Table, startTime.msecsTo(clock.Now())) + FailedValuesText(failures));
    else
        EndFailed(database.LastError());
}
