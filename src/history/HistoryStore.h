#pragma once
// History.db in the program folder: every completed rank run with its time, sources and report,
// the values of its pages and of its keyword records. A file of its own, so the site database's
// compaction and recovery never touch it. Each action opens its own connection, and each write is
// one transaction: a crash leaves the history as it was before the run or with the whole run.

#include "history/HistoryChanges.h"
#include "history/HistoryData.h"

#include <QDate>
#include <QString>

struct HistoryFilter {
    QString Keyword; // empty: every keyword record; otherwise only keyword records, blanks and case ignored
    QString URL;     // empty: every address; case ignored
    QDate Since;     // null: from the first run on
    bool WithTop10 = true;
};

class HistoryStore {
public:
    explicit HistoryStore(const QString& programFolder);

    const QString& FilePath() const { return path; }
    // Why the last action failed.
    const QString& LastError() const { return lastError; }

    // Stores the first run of run with all of run's values, making the file when it is absent.
    // The new run's id; 0 after a failure, and then nothing of the run is stored.
    qint64 Record(const HistoryData& run);

    // The runs the filter selects (oldest first; with a keyword or an address only the runs that hold
    // a value of it) and their values. No file reads as an empty history.
    bool Read(const HistoryFilter& filter, HistoryData& data);

    // The keyword records of run runId against, for each record (address, product and keyword),
    // its value in the latest earlier run where asking did not fail.
    bool Changes(qint64 runId, RankChanges& changes);

    // The runs before the day, and deleting them with their values in one transaction.
    bool CountRunsBefore(const QDate& day, int& count);
    bool Prune(const QDate& before, int& removed);

private:
    bool Fail(const QString& reason);

    QString path;
    QString lastError;
};
