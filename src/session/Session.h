#pragma once
// What every run of the program shares, made once beside AppState: the download control with its
// counters, the one request driver, the rank run and its history, the site database's collection and extraction,
// and the clock. Only one of the three runs at a time, since they share the counters and tables.
// The main window and the command line take it; tests give it a clock and site runs of their own.

#include "base/Clock.h"
#include "session/SiteRuns.h"

#include <memory>

class HistoryRecorder;
class RankRun;
class ocxParseWeb;

class Session : public SiteDatabaseActions {
    Q_OBJECT
public:
    // No clock: the system's. The site runs are made on the session's driver.
    Session(AppState& state, Prompter& prompter, std::unique_ptr<Clock> clock = {},
            const SiteRunsFactory& makeSiteRuns = MakeSiteRuns, QObject* parent = nullptr);
    ~Session() override;

    AppState& State() const { return state; }
    Prompter& Prompts() const { return prompter; }
    const Clock& Time() const { return *clock; }
    ocxParseWeb& Downloads() const { return *control; }
    RequestDriver& Requests() const { return *driver; }
    RankRun& Rank() const { return *rankRun; }
    // Keeps every rank run that wrote its report in History.db.
    HistoryRecorder& History() const { return *history; }

    // The rank button: stops the rank run that goes, or starts one unless another run goes.
    void StartOrStopRank();
    // The main window closes: whatever goes stops at once.
    void StopEverything();

    // A rank run, a collection or an extraction goes.
    bool IsRunning() const override;
    void StartCollection(const CollectionRequest& request) override;
    void StartExtraction(const ExtractionBatch& batch, const ExtractChoice& choice) override;
    void ChangeExtractChoice(const ExtractChoice& choice) override;
    // Stops the collection or the extraction that goes.
    void Stop() override;

Q_SIGNALS:
    void CollectionFinished(bool written);
    void ExtractionFinished(bool written);

private:
    // True, after the one message under this title, when a run goes already.
    bool RefusedWhileRunning(const QString& title);

    AppState& state;
    Prompter& prompter;
    std::unique_ptr<Clock> clock;
    // Declared in the order they depend on each other, so that each goes before what it uses.
    std::unique_ptr<ocxParseWeb> control;
    std::unique_ptr<RequestDriver> driver;
    std::unique_ptr<RankRun> rankRun;
    std::unique_ptr<HistoryRecorder> history;
    std::unique_ptr<SiteRuns> siteRuns;
};
