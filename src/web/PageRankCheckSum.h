#pragma once
// The checksum every PageRank query carries: a 96-bit-mix hash of "info:" and the queried address.

#include <QString>

struct HashWords {
    quint32 A;
    quint32 B;
    quint32 C;
};

// The nine subtract-and-shift steps that mix the three words after each 12-byte block.
HashWords MixWords(quint32 a, quint32 b, quint32 c);
// The final word c of the query text's hash; each character counts as its Latin-1 code, others as "?".
quint32 HashQueryText(const QString& text);
// "6" followed by the hash of "info:" + url as a signed 32-bit decimal number. The address is not
// normalised here; the callers decide whether it should be.
QString GetPageRankCheckSum(const QString& url);
