#pragma once
// The extraction of one batch of a keyword's sites: PageRank queries, then traffic-rank pages, one
// at a time on the request driver, then up to six page summaries at once; then the batch's details
// and the new progress in one write.

#include "sitedb/SiteDatabase.h"
#include "sitedb/SiteDbRequests.h"
#include "sitedb/SiteDbRun.h"

#include <QDateTime>
#include <QStringList>

class SiteExtraction : public SiteDbRun {
    Q_OBJECT
public:
    // Page summaries in flight at most, and how long they may go without a new one before those
    // in flight are given up.
    static constexpr int TitlesInFlight = 6;
    static constexpr int TitleGiveUpMs = 60000;

    SiteExtraction(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock,
                   QObject* parent = nullptr);

    // GetWebSiteTitle over the batch; nothing happens while a batch goes.
    void Start(const ExtractionBatch& batch, const ExtractChoice& choice);
    // The check boxes, read afresh on every pass and at the write.
    void ChangeChoice(const ExtractChoice& choice) { this->choice = choice; }

private:
    void QueueRequests();
    bool RankWanted() const;
    void SendRank();
    void SendTitle();
    void Advance();
    void Drained() override;

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
