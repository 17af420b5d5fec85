#pragma once
// The extraction of one batch of a keyword's sites: PageRank queries, then traffic-rank pages, one
// at a time on the request driver, then up to six page summaries at once; then the batch's details
// and the new progress in one write. Through openpagerank one request asks for up to 100 domains;
// a traffic rank from an imported list is answered at the start, without a request.
//
// Only values read are stored. A site with a chosen value that did not come keeps its row as it was,
// and the row goes behind the rest of the table: Top moves past the sites read only, so the rows
// after a failed one are not skipped, and a later batch comes back to the failed one. A batch that
// read no site changes nothing.

#include "sitedb/ExtractionSources.h"
#include "sitedb/SiteDatabase.h"
#include "sitedb/SiteDbRequests.h"
#include "sitedb/SiteDbRun.h"

#include <QDateTime>
#include <QStringList>

#include <memory>

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
    // The values of the last batch, of those chosen at its write, that did not come.
    int FailedValueCount() const { return failedValues; }

private:
    void LoadSources();
    void QueueRequests();
    bool RankWanted() const;
    // A request dropped at its turn is decided as well: the progress counts it.
    bool Decided(bool wanted);
    void NoteFailedDownload(const QString& propertyName);
    // Whether every value of the slot that the boxes choose has come.
    bool IsRead(int slot) const;
    void SendRank();
    void SendAuthority(int group);
    void TakeAuthority(int group, const ServiceReply& reply);
    void SendTitle();
    void Advance();
    void Drained() override;

    ExtractionBatch batch;
    ExtractChoice choice;
    QDateTime startTime;
    QStringList prQueryURLs;
    QStringList alexaURLs;
    // Null for the historical PageRank queries.
    std::unique_ptr<AuthorityGroups> authority;
    // The historical PageRank queries' failures; openpagerank counts its own.
    ValueFailures prFailures;
    ValueFailures trafficFailures;
    // The paced requests of each kind: one a site, or, through openpagerank, one a group of domains
    // and none for a traffic rank from a list.
    int prTotal = 0;
    int alexaTotal = 0;
    int failedValues = 0;
    int prIssued = 0;
    int alexaIssued = 0;
    int titleIssued = 0;
    int progress = 0;
};

// "You have gotten Title,..." and the minutes the batch took, as single precision in its shortest
// text of at most seven significant digits.
QString ExtractionDoneText(const QString& table, qint64 milliseconds);
// The line added to it when values failed: how many, and the first reason.
QString FailedValuesText(const ValueFailures& failures);
