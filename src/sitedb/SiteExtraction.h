#pragma once
// The extraction of one batch of a keyword's sites: PageRank queries, then traffic-rank pages, one
// at a time on the request driver, then up to six page summaries at once; then the batch's details
// and the new progress in one write.

#include "sitedb/SiteDatabase.h"
#include "sitedb/SiteDbRequests.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

struct AppState;
class Clock;
class Prompter;
class RequestDriver;

class SiteExtraction : public QObject {
    Q_OBJECT
public:
    // Page summaries in flight at most, and how long they may go without a new one before those
    // in flight are given up.
    static constexpr int TitlesInFlight = 6;
    static constexpr int TitleGiveUpMs = 60000;

    SiteExtraction(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock,
                   QObject* parent = nullptr);

    bool IsRunning() const { return running; }
    // GetWebSiteTitle over the batch; nothing happens while a batch goes.
    void Start(const ExtractionBatch& batch, const ExtractChoice& choice);
    // The check boxes, read afresh on every pass and at the write.
    void ChangeChoice(const ExtractChoice& choice) { this->choice = choice; }
    // As "&Stop": sets StopRequested, the driver cancels at its next turn.
    void Stop();

Q_SIGNALS:
    // The batch's details and the keyword's new progress are in the database.
    void Written(const QString& keyword);
    // Written, stopped or failed; the run is over.
    void Finished(bool written);
    // Requests of the batch, and how many were sent or left out so far.
    void ProgressMaximumChanged(int maximum);
    void ProgressValueChanged(int value);

private:
    void QueueRequests();
    bool RankWanted() const;
    void SendRank();
    void SendTitle();
    void Advance();
    void Drained();
    void Stopped();
    void End(bool written);

    AppState& state;
    RequestDriver& driver;
    Prompter& prompter;
    const Clock& clock;

    bool running = false;
    ExtractionBatch batch;
    ExtractChoice choice;
    QDateTime startTime;
    QStringList prQueryURLs;
    QStringList alexaURLs;
    int prIssued = 0;
    int alexaIssued = 0;
    int titleIssued = 0;
    int progress = 0;
};

// "You have gotten Title,..." and the minutes the batch took, as single precision in its shortest
// text of at most seven significant digits.
QString ExtractionDoneText(const QString& table, qint64 milliseconds);
