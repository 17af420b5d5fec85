#pragma once
// The collection of a keyword's sites: result pages of 100, one at a time on the request driver,
// until a page brings no new site; then the sites in a random order into the keyword's table.

#include "sitedb/SiteDbRequests.h"

#include <QObject>

struct AppState;
class Clock;
class Prompter;
class RequestDriver;

class WebSiteCollection : public QObject {
    Q_OBJECT
public:
    // However many new sites the engine keeps sending, no more result pages than this are asked for.
    static constexpr int PageLimit = 100;

    WebSiteCollection(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock,
                      QObject* parent = nullptr);

    bool IsRunning() const { return running; }
    // GetWebSiteList, from the first page; nothing happens while a collection goes.
    void Start(const CollectionRequest& request);
    // As "&Stop": sets StopRequested, the driver cancels at its next turn.
    void Stop();

Q_SIGNALS:
    // The keyword's rows and progress are in the database.
    void Written(const QString& keyword);
    // Written, stopped or failed; the run is over.
    void Finished(bool written);
    // Pages asked for so far, of at most PageLimit.
    void ProgressMaximumChanged(int maximum);
    void ProgressValueChanged(int value);

private:
    void RequestPage();
    void PageEnded();
    void Stopped();
    void Write();
    void End(bool written);

    AppState& state;
    RequestDriver& driver;
    Prompter& prompter;
    const Clock& clock;

    bool running = false;
    CollectionRequest request;
    int pages = 0;
    int previousCount = 0;
};

// The three passes of swaps that put a collection's sites in a random order, drawn from the
// program's generator seeded with the time of day.
void ShuffleSites(QStringList& sites, double secondsSinceMidnight);
