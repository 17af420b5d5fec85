#pragma once
// The file of imported rank lists (RankLists.db in the program folder): the import of a list, which
// replaces the earlier list of its kind in one transaction, and what is known of each list.

#include "sources/RankList.h"

#include <QList>

class SqliteConnection;

class RankListStore {
public:
    explicit RankListStore(QString databasePath) : path(std::move(databasePath)) {}

    // Reads the whole file into a new table and swaps it in for the list of its kind in one
    // transaction. Until it commits the earlier list answers lookups; a refused or failed import
    // leaves it as it was.
    RankListImportResult Import(const RankListImportRequest& request) const;

    // The imported lists, tranco before majestic; an empty list when none was imported. When the
    // file exists but cannot be read, an empty list and in fault why (see ReadFault).
    QList<RankListInfo> ListInfo(QString* fault = nullptr) const;
    std::optional<RankListInfo> Info(RankListKind kind, QString* fault = nullptr) const;

    // Why db, a connection to the lists' file at databasePath, failed its last call: "RankLists.db
    // is damaged: ..." when SQLite finds the file no database or malformed, otherwise
    // "RankLists.db cannot be read: ...", with SQLite's own words.
    static QString ReadFault(const SqliteConnection& db, const QString& databasePath);

    // The name of the table that holds the rows of a kind (its domain, its rank).
    static QString TableName(RankListKind kind);
    // The list ID in a file name such as "tranco_K2QVN.csv" or "tranco_K2QVN-1m.csv.zip"; empty when
    // the name carries none.
    static QString ListIdIn(const QString& fileName);

private:
    RankListImportResult ImportInto(const RankListImportRequest& request) const;

    QString path;
};
