#pragma once
// Pages of the historical shapes, grown to a given size, for the parser benchmarks.

#include <QString>

// A search result page of the given number of results, about resultBytes each (cite address,
// "Similar pages" link, a long snippet), with a style and a script element in its head. The result
// at targetIndex shows the address www.target.example.
QString SearchResultsPage(int results, int resultBytes, int targetIndex);
// A PageRank reply line followed by filler up to about bytes.
QString PageRankReply(int bytes);
// A site-information page of about bytes with the traffic-rank division near its end.
QString AlexaPage(int bytes);
// A site's own page of about bytes: a title and keywords but no description in its head, a long
// body of paragraphs, and its first link at the very end.
QString SitePage(int bytes);
