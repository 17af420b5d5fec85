#pragma once
// Pages of the historical formats made up from the request address alone, so that the same
// request always gets the same page: search results, PageRank replies, traffic-rank pages and
// ordinary site pages.

#include "FakeWeb.h"

// Routes by path and query, never by host: "/search", "/tbr" with features=Rank, "/siteinfo/" +
// address, "/tranco-demo.csv" (the list below); every other address gets a site page of its host.
CannedReply GeneratedReply(const QUrl& url);

// Searches answered as on day day after the first (0, the default): each keyword's results have moved
// by the same few places a day, up for some keywords and down for others.
void SetGeneratedDay(int day);

// The same stable results as the generated search pages, for the replicas of today's services:
// how many results a keyword has, the host of its result at a 0-based index, and the fingerprint
// every generated number comes from.
int GeneratedResultCount(const QString& keyword);
QString GeneratedResultHost(const QString& keyword, int index);
quint32 GeneratedFingerprint(const QString& text);

// A traffic-rank list of the tranco form ("rank,domain" lines ending in CRLF, no header) that ranks
// the generated sites, without "www.", and leaves a few of them out.
QByteArray GeneratedTrancoList();
