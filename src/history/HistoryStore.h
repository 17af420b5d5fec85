#pragma once
// History.db in the program folder: every completed rank run with its time, sources and report,
// the values of its pages and of its keyword records. A file of its own, so the site database's
// compaction and recovery never touch it. Each action opens its own connection, and each write is
// one transaction: a crash leaves the history as it was before the run or with the whole run.

#include "history/HistoryChanges.h"
#include "history/HistoryData.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <functional>

struct HistoryFilter {
    QString Keyword; // empty: every keyword record; otherwise only keyword records, blanks and case ignored
    QString URL;     // empty: every address; case, "http://", "https://" and "www." ignored
    QDate Since;     // null: from the first run on
};

// One stored value as the file holds it, for reading through a whole history without keeping it:
// the texts are UTF-8 and valid only during the call that gets them.
struct StoredPage {
    qint64 RunId = 0;
    qint64 Seq = 0; // its place in its run
    QByteArrayView URL;
    QByteArrayView PageRank;
    ValueStatus PageRankStatus = ValueStatus::NotRanked;
    QByteArrayView TrafficRank;
    ValueStatus TrafficStatus = ValueStatus::NotRanked;
    QByteArrayView Title;
    QByteArrayView Description;
    QByteArrayView Keywords;
};

struct StoredPosition {
    qint64 RunId = 0;
    qint64 Seq = 0;
    QByteArrayView URL;
    QByteArrayView Product;
    QByteArrayView Keyword;
    // The market it was searched in, each field as Market holds it; all empty for the runs kept
    // before markets.
    QByteArrayView Country;
    QByteArrayView Language;
    QByteArrayView Device;
    QByteArrayView Location;
    int Position = 0;
    ValueStatus Status = ValueStatus::NotRanked;
    int Depth = 100;
    QByteArrayView Top10; // as stored: Top10Sites and Top10Line read it
};

class HistoryReader {
public:
    virtual ~HistoryReader() = default;
    virtual void Run(const HistoryRun& run) = 0;
    virtual void Page(const StoredPage& page) = 0;
    virtual void Position(const StoredPosition& value) = 0;
};

// The values of history handed to reader as Scan hands those of the file.
void Replay(const HistoryData& history, HistoryReader& reader);

// The market of a stored value.
Market StoredMarket(const StoredPosition& value);

// The ten sites of a stored top-ten list; each of them as UTF-8, valid only during the call that
// gets it; and the same as one line of UTF-8, separated by blanks.
QStringList Top10Sites(QByteArrayView stored);
void ForEachTop10Site(QByteArrayView stored, const std::function<void(QByteArrayView site)>& take);
QByteArray Top10Line(QByteArrayView stored);

class HistoryStore {
public:
    explicit HistoryStore(const QString& programFolder);

    const QString& FilePath() const { return path; }
    // Why the last action failed.
    const QString& LastError() const { return lastError; }

    // Stores the first run of run with all of run's values, making the file when it is absent, and
    // compares its keyword records with their values before (Changes()). A file of an earlier
    // version is brought up to date in the same transaction. The new run's id; 0 after a failure,
    // and then nothing of the run is stored and the file is as it was.
    qint64 Record(const HistoryData& run);
    // The keyword records of the run Record stored last, each (by address, product, keyword and
    // market) against its latest earlier value whose asking did not fail.
    const RankChanges& Changes() const { return changes; }

    // The runs the filter selects (oldest first; with a keyword or an address only the runs that hold
    // a value of it) and their values. No file reads as an empty history; a file of an earlier
    // version is read as it is, without changing it.
    bool Read(const HistoryFilter& filter, HistoryData& data);
    // The same values, handed to reader as they are read: each run, then its pages, then its
    // keyword records, each in the order the run listed them. Reading stops at no error of its own;
    // false when the file could not be read (the reader may then have had part of it).
    bool Scan(const HistoryFilter& filter, HistoryReader& reader);

    // The runs before the day, and deleting them with their values in one transaction.
    bool CountRunsBefore(const QDate& day, int& count);
    bool Prune(const QDate& before, int& removed);

private:
    bool Fail(const QString& reason);

    QString path;
    QString lastError;
    RankChanges changes;
};
