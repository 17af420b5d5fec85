#pragma once
// The surroundings of a collection or an extraction: a program folder with a site database, the
// shared state, the fake web as the proxy, the control with its counters and one request driver.

#include "model/AppState.h"
#include "session/DownloadParts.h"
#include "support/ScriptedPrompter.h"
#include "support/SiteDbTestSupport.h"
#include "support/TestHome.h"
#include "web/RequestDriver.h"
#include "web/ocxParseWeb.h"

#include "support/ProxyWeb.h"

#include <QUrlQuery>

struct SiteRunRig {
    SiteFolder folder;
    AppState state{folder.Path()};
    ScriptedPrompter prompter;
    TestClock clock{QDateTime(QDate(2024, 5, 1), QTime(9, 30))};
    ProxyWeb web;
    ocxParseWeb control{TablesOf(state), CountersOf(state), prompter};
    RequestDriver driver{CountersOf(state), control};
    // The counters as each request reached the fake web (the request itself counted), in order.
    QList<int> pendingHtmlAt;
    QList<int> pendingTitleAt;

    // Without the pause between requests unless a test looks at the pacing.
    SiteRunRig()
    {
        driver.SetLeastPauseMs(0);
        QObject::connect(&web, &FakeWeb::RequestReceived, [this] {
            pendingHtmlAt << state.PendingHtmlCount;
            pendingTitleAt << state.PendingTitleCount;
        });
    }

    std::optional<MasterRow> Master(const QString& keyword) const
    {
        SiteDatabase database(folder.Database());
        std::optional<MasterRow> row;
        if (!database.FindMaster(keyword, row))
            qWarning("master row not read");
        return row;
    }
    QList<SiteRow> Rows(const QString& keyword) const
    {
        SiteDatabase database(folder.Database());
        QList<SiteRow> rows;
        if (!database.ReadSearchTable(SearchTableName(keyword), rows))
            qWarning("search table not read");
        return rows;
    }
    QString LastMessage() const { return prompter.Messages.isEmpty() ? QString() : prompter.Messages.last().Text; }
};

// A results page of the historical layout: each site's address in a cite, closed by a "Similar
// pages" link.
inline QByteArray ResultsPage(const QStringList& sites)
{
    QByteArray page = "<html><head><title>results</title></head><body><ol>";
    for (const QString& site : sites)
        page += "<li class=g><h3 class=r><a href=\"http://" + site.toUtf8() + "\">" + site.toUtf8() +
                "</a></h3><div class=s>About it<br><cite>" + site.toUtf8() +
                " - 12k - </cite> - <a href=\"/search?q=related:" + site.toUtf8() + "\">Similar pages</a></div></li>";
    return page + "</ol></body></html>";
}
