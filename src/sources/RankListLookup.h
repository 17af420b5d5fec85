#pragma once
// The rank of a site in an imported list: the host as the list spells domains (lower case, IDNA,
// without "www."), then, when the host itself is not listed, its registrable domain.

#include "sources/RankList.h"

#include <QStringList>

#include <memory>
#include <vector>

class SqliteConnection;
class SqliteStatement;

struct RankLookupResult {
    enum class Outcome {
        Ranked,    // Rank holds the rank, Domain the name that was found
        NotRanked, // the list holds neither the host nor its registrable domain
        Failed,    // no list of this kind, or the file could not be read: Error says why
    };
    Outcome Result = Outcome::Failed;
    qint64 Rank = 0;
    QString Domain;
    QString Error;
};

// A host or an address ("news.BBC.co.uk", "http://www.example.com/page") as the lists spell it:
// lower case, IDNA-encoded, without a leading "www.". Empty when it names no host.
QString RankListHost(const QString& hostOrAddress);
// The registrable domain of such a host by the public-suffix rules ("news.bbc.co.uk" gives
// "bbc.co.uk"); empty for a public suffix itself and for an IP address.
QString RegistrableDomain(const QString& host);

// One open list, for many lookups on one connection with the same prepared statement: a batch of
// hosts is asked in one statement, in the order of the list's index.
class RankListLookup {
public:
    RankListLookup(const QString& databasePath, RankListKind kind);
    ~RankListLookup();
    RankListLookup(const RankListLookup&) = delete;
    RankListLookup& operator=(const RankListLookup&) = delete;

    // False, with Error(), when there is no imported list of this kind to ask.
    bool IsReady() const { return select != nullptr; }
    const QString& Error() const { return error; }

    RankLookupResult Lookup(const QString& hostOrAddress);
    QList<RankLookupResult> Lookup(const QStringList& hostsOrAddresses);

private:
    // A name of a batch: Size bytes at Start in the batch's names, where a NUL follows each name.
    struct Wanted {
        qsizetype Start;
        qsizetype Size;
        qsizetype Slot; // the place of the lookup in the batch
    };
    // Sets ranks[Slot] to the best rank of each listed name, leaves the others; false when the read
    // failed.
    bool RanksOf(const QByteArray& names, const std::vector<Wanted>& wanted, std::vector<qint64>& ranks);
    RankLookupResult Failure() const;

    QString path;
    std::unique_ptr<SqliteConnection> db;
    std::unique_ptr<SqliteStatement> select;
    QString error;
};
