// GetWebSiteList: the result pages on the driver, the shuffle and the one write at the end.

#include "sitedb/WebSiteCollection.h"

#include "base/Clock.h"
#include "base/Random24.h"
#include "model/AppState.h"
#include "sitedb/SiteDatabase.h"
#include "sources/KeywordSearch.h"
#include "sources/ServiceSend.h"
#include "sources/SourceSettings.h"
#include "web/RequestDriver.h"
#include "web/ServiceAddresses.h"
#include "web/ocxParseWeb.h"

#include <cmath>

namespace {

using namespace Qt::StringLiterals;

constexpr int PageSize = 100;

QString AllGottenText(const QString& table)
{
    return u"You have gotten all URLs in '"_s + table + u"' table !"_s;
}

QString SourceFailedText(SearchSourceKind kind, int page, const SourceFailure& failure)
{
    return SourceName(kind) + u" failed on result page %1: "_s.arg(page) + failure.Reason;
}

} // namespace

void ShuffleSites(QStringList& sites, double secondsSinceMidnight)
{
    Random24 generator;
    // The time of day is the single-precision timer value the program always seeded with.
    generator.Seed(double(float(secondsSinceMidnight)));
    const int count = int(sites.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int i = 0; i <= count - 2; ++i) {
            const float r = generator.Draw();
            // In single precision a draw just below 1 can round up to the end of the list.
            const int j = std::min(int(std::floor(float(count - i) * r + float(i))), count - 1);
            sites.swapItemsAt(i, j);
        }
    }
}

WebSiteCollection::WebSiteCollection(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock,
                                     QObject* parent)
    : SiteDbRun(state, driver, prompter, clock, parent)
{
    // A page of a service tells its own failure through its reply.
    connect(&driver.Control(), &ocxParseWeb::DownloadFailed, this, [this](const QString& propertyName) {
        if (IsRunning() && !search && propertyName == u"W0")
            failure = SourceFailure{FailureKind::NoReply, u"the page could not be downloaded"_s};
    });
}

WebSiteCollection::~WebSiteCollection() = default;

void WebSiteCollection::Start(const CollectionRequest& collection)
{
    if (!Begin())
        return;
    request = collection;
    SiteTables& sites = state.Sites;
    sites.CurrentSearch = request.Keyword;
    sites.WebSiteList.clear();
    sites.WebSiteCount = 0;
    pages = 0;
    previousCount = 0;
    failure.reset();
    search.reset();
    const SearchSourceSettings source = LoadSourceSettings(state.Settings).Search;
    service = MakeSearchService(source);
    if (service)
        search = std::make_unique<KeywordSearch>(*service, request.Keyword, Market{}, source.Depth,
                                                 KeywordSearch::Purpose::Collection);
    driver.SetRules({.SideLimit = 0, .SideAfterPaced = false, .IdleGiveUpMs = 0});
    pageMaximum = service ? service->MaxPages(source.Depth) : PageLimit;
    Q_EMIT ProgressMaximumChanged(pageMaximum);
    Q_EMIT ProgressValueChanged(0);
    if (!search) {
        RequestPage();
        return;
    }
    driver.AddPaced(RequestDriver::Call([this] { SendServicePage(); }));
    driver.Start();
}

void WebSiteCollection::RequestPage()
{
    // The driver counts the page; the control announces the end of a page that cannot even start
    // only after that, so the wait always ends.
    driver.AddPaced(RequestDriver::Download(SearchResultsURL(request.Keyword, Market{}, PageSize, pages * PageSize),
                                            QStringLiteral("W0")));
    ++pages;
    Q_EMIT ProgressValueChanged(pages);
    driver.Start();
}

// One page of the service: its reply says whether the next page follows, the same page once more
// after a rate limit's wait, or the paging is over.
void WebSiteCollection::SendServicePage()
{
    driver.Control().BeginServiceRequest(search->NextRequest(), QStringLiteral("W0"),
                                         [this](const ServiceReply& reply) { TakeServicePage(reply); });
    Q_EMIT ProgressValueChanged(search->PagesRead() + 1);
}

void WebSiteCollection::TakeServicePage(const ServiceReply& reply)
{
    switch (search->TakeReply(reply)) {
    case KeywordSearch::Step::NextPage:
        driver.AddPaced(RequestDriver::Call([this] { SendServicePage(); }));
        break;
    case KeywordSearch::Step::Retry:
        QueueServiceRetry(driver, search->RetryDelayMs(), [this] { SendServicePage(); });
        break;
    case KeywordSearch::Step::Done:
    case KeywordSearch::Step::Failed:
        break;
    }
}

void WebSiteCollection::Drained()
{
    if (search) {
        failure = search->Failure();
        Finish(search->Sites(), search->PagesRead() + 1);
        return;
    }
    const int count = state.Sites.WebSiteCount;
    if (!failure && previousCount < count && pages < PageLimit) {
        previousCount = count;
        RequestPage();
        return;
    }
    Finish(state.Sites.WebSiteList.mid(0, count), pages);
}

// Without any site read nothing is written: a renewed keyword keeps its rows. After a failed page
// the sites read before it are written, and the message says that the list ends early and why.
void WebSiteCollection::Finish(QStringList found, int lastPage)
{
    QString note;
    if (failure) {
        const QString why =
            SourceFailedText(service ? service->Kind() : SearchSourceKind::Historical, lastPage, *failure);
        if (found.isEmpty()) {
            EndUnwritten(u"No URL has been gotten for '"_s + request.Table + u"' table, nothing was written !\r\n"_s +
                         why);
            return;
        }
        note = u"\r\nThe collection ended early with the %1 URLs read before: "_s.arg(found.size()) + why;
    }
    state.Sites.WebSiteCount = int(found.size());
    // The pages never asked for are decided too: the progress ends full.
    Q_EMIT ProgressValueChanged(pageMaximum);
    Write(std::move(found), note);
}

void WebSiteCollection::Write(QStringList urls, const QString& note)
{
    SiteTables& sites = state.Sites;
    const QDateTime now = clock.Now();
    ShuffleSites(urls, now.time().msecsSinceStartOfDay() / 1000.0);
    sites.WebSiteList = urls;

    SiteDatabase database(DatabasePath(state.ProgramFolder));
    if (database.ReplaceSearchRows(request.Keyword, request.Table, urls, now.date().toString(Qt::ISODate)))
        EndWritten(request.Keyword, AllGottenText(request.Table) + note);
    else
        EndFailed(database.LastError());
}
