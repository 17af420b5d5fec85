#pragma once
// The extraction's values from today's sources: PageRank through openpagerank, batched by domain,
// and the traffic rank from an imported list. Both write into the site tables by slot, leave a value
// that failed at NotRead and count it.

#include "sources/OpenPageRank.h"
#include "sources/SourceSettings.h"

#include <QHash>
#include <QList>
#include <QStringList>

// How many values of a batch failed, and the first reason, with the source that gave it.
struct ValueFailures {
    int Count = 0;
    QString FirstReason;

    void Add(int values, const QString& source, const QString& reason);
    void Add(const ValueFailures& more);
};

// The batch's PageRank through openpagerank: one request per group of up to 100 distinct domains,
// each reply read into the slots of its domains.
class AuthorityGroups {
public:
    enum class Step {
        Read,      // the group's values are in
        Retry,     // send the group again after RetryDelayMs()
        EndSource, // the key was refused: no more requests; the groups not asked have failed
    };

    AuthorityGroups(const AuthoritySourceSettings& settings, const QStringList& urls);

    int Count() const { return int(groups.size()); }
    ServiceRequest Request(int group) const { return service.BatchRequest(groups.at(group)); }
    // Reads the group's reply into pr by slot: a value, 0 for "not ranked", or a failure.
    Step Take(int group, const ServiceReply& reply, QList<int>& pr);
    int RetryDelayMs() const { return retryDelayMs; }
    // Counts the slots of the groups from first on as failed, for the reason the source ended.
    void FailFrom(int first);
    const ValueFailures& Failures() const { return failures; }

private:
    int SlotsOf(int group) const;

    OpenPageRank service;
    QList<QStringList> groups;
    QHash<QString, QList<int>> slots; // by domain
    QList<bool> retried;              // by group
    int retryDelayMs = 0;
    QString endReason;
    ValueFailures failures;
};

// The traffic rank of every address from the imported list of the source: the rank, or 0 when the
// list does not hold the site. A missing or unreadable list fails every value.
ValueFailures TrafficFromList(TrafficSourceKind kind, const QString& programFolder, const QStringList& urls,
                              QList<qint32>& alexa);
