// GetWebSiteList: the result pages on the driver, the shuffle and the one write at the end.

#include "sitedb/WebSiteCollection.h"

#include "app/AppState.h"
#include "app/Clock.h"
#include "app/Random24.h"
#include "sitedb/SiteDatabase.h"
#include "web/RequestDriver.h"
#include "web/ServiceAddresses.h"

#include <cmath>

namespace {

using namespace Qt::StringLiterals;

constexpr int PageSize = 100;

QString AllGottenText(const QString& table)
{
    return u"You have gotten all URLs in '"_s + table + u"' table !"_s;
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
{}

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
    driver.SetRules({.SideLimit = 0, .SideAfterPaced = false, .IdleGiveUpMs = 0});
    Q_EMIT ProgressMaximumChanged(PageLimit);
    Q_EMIT ProgressValueChanged(0);
    RequestPage();
}

void WebSiteCollection::RequestPage()
{
    // The driver counts the page; the control announces the end of a page that cannot even start
    // only after that, so the wait always ends.
    driver.AddPaced(
        RequestDriver::Download(SearchResultsURL(request.Keyword, PageSize, pages * PageSize), QStringLiteral("W0")));
    ++pages;
    Q_EMIT ProgressValueChanged(pages);
    driver.Start();
}

void WebSiteCollection::Drained()
{
    const int count = state.Sites.WebSiteCount;
    if (previousCount < count && pages < PageLimit) {
        previousCount = count;
        RequestPage();
        return;
    }
    Write();
}

void WebSiteCollection::Write()
{
    SiteTables& sites = state.Sites;
    QStringList urls = sites.WebSiteList.mid(0, sites.WebSiteCount);
    const QDateTime now = clock.Now();
    ShuffleSites(urls, now.time().msecsSinceStartOfDay() / 1000.0);
    sites.WebSiteList = urls;

    SiteDatabase database(DatabasePath(state.ProgramFolder));
    if (database.ReplaceSearchRows(request.Keyword, request.Table, urls, now.date().toString(Qt::ISODate)))
        EndWritten(request.Keyword, AllGottenText(request.Table));
    else
        EndFailed(database.LastError());
}
