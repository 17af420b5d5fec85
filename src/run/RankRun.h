#pragma once
// The rank run: PageRank queries, then traffic-rank pages, then searches, one at a time with a
// pause of at least 0.2 s before each, and up to ten page summaries beside them; two follow-up
// passes over pages of ten; then the report. Today's sources (RankRunSources) take the place of
// the historical queries of their columns, and their positions need no follow-up passes. The session's request driver
// paces each pass, so the window stays responsive throughout.

#include "run/RankRunSources.h"
#include "web/RequestTally.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

struct AppState;
class Clock;
class Prompter;
class RequestDriver;
class ocxParseWeb;

class RankRun : public QObject {
    Q_OBJECT
public:
    // The driver is shared with the site database's runs; the rank run heeds it only while it runs.
    RankRun(AppState& state, ocxParseWeb& control, RequestDriver& driver, Prompter& prompter, const Clock& clock,
            QObject* parent = nullptr);

    // True while the rank button reads "&Stop".
    bool IsRunning() const { return running; }

    // The rank button: starts a run, or asks the running one to stop.
    void StartOrStopRank();

    // The requests of the last run that was started, and those that failed, by kind.
    const RequestTally& Tally() const { return tally; }
    // Why today's sources failed, a line for each source that did.
    const QStringList& FailureReasons() const { return sources.FailureReasons(); }
    // What the search source could not send of the markets the keyword records asked, a line for
    // each source and field.
    const QStringList& MarketNotes() const { return marketNotes; }
    // The time the last report written carries; its day names the day's report file.
    const QDateTime& ReportTime() const { return reportTime; }

Q_SIGNALS:
    // "&Stop" while a run goes, "Ran&k" otherwise.
    void RankCaptionChanged(const QString& caption);
    // A run starts: the edit button is disabled and no list or button keeps the focus.
    void RunStarting();
    // The buttons settle after an action (the main window's tmrSetFocus).
    void SettleButtons();
    void ProgressMaximumChanged(int maximum);
    void ProgressValueChanged(int value);
    // The report files are written; the window shows them in the browser.
    void ReportWritten(const QString& indexPath);
    // At the end of the last pass, before the report: "Quorvex completed: N requests, K failed".
    void StatusText(const QString& text);
    // The run has ended: with a report, stopped, or refused.
    void Finished(bool reportWritten);

private:
    void Start();
    void RequestStop();
    void BuildSearchPass();
    void tmrPR_Timer();
    void QueuePass();
    void SendJobRequest(const QStringList& urls, int& next, QChar kind);
    void SendSearch();
    void SendSummary();
    void EndOfPass();
    void FinishStop();
    void Send(const QString& url, const QString& propertyName);
    void AdvanceProgress();
    void SetProgress(int value);

    AppState& state;
    ocxParseWeb& control;
    Prompter& prompter;
    const Clock& clock;

    bool running = false;
    QDateTime reportTime;
    int progressValue = 0;
    int keywordEntriesTaken = 0;
    QStringList marketNotes;
    RequestTally tally;
    RequestDriver& driver;
    RankRunSources sources;
    QTimer tmrPR;
};
