#pragma once
// Reads the rows of a tranco or majestic list from a device, line by line, and says in plain words
// why a file is not such a list.

#include "sources/RankList.h"

#include <functional>

class QIODevice;

struct RankListReadOutcome {
    bool Ok = false;
    QString Message; // why the file is not a list; empty when the row callback stopped the reading
    qint64 Rows = 0;
    qint64 Skipped = 0; // non-blank lines that are not rows
};

// Hands each row to row (the domain lower-cased, IDNA-encoded) until the end or until row returns
// false. Lines are LF or CRLF; blank lines and lines of another shape are skipped. Refused: an empty
// file, one without a single row, tranco ranks that do not increase, more than mostRows rows, a
// majestic header without GlobalRank and Domain, a device that fails. name stands for the file in
// the messages. bytesRead, when set, hears now and then how far the reading has come.
RankListReadOutcome ReadRankListRows(QIODevice& device, RankListKind kind, const QString& name, qint64 mostRows,
                                     const std::function<bool(qint64 rank, const QString& domain)>& row,
                                     const std::function<void(qint64 bytesRead)>& bytesRead = {});
