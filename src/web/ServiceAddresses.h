#pragma once
// The addresses of the services the program asks: the search engine, the PageRank query service,
// the traffic-rank site and the maker's page. The service prefixes are held scrambled and turned
// back only when an address is built.

#include "model/Market.h"

#include <QList>
#include <QString>

#include <utility>

// The search engine's query address up to the value of its query parameter.
QString SearchPrefix();
// The keyword as the value of the search's query parameter: every blank as "+", everything else
// but letters, digits and "-._~" percent-encoded from UTF-8 ("c#" reads "c%23", "seo tools"
// "seo+tools"), so that no keyword can end the value or add a parameter.
QString SearchQueryValue(const QString& keyword);
// "&name=value" for each item with a value, in order, every value percent-encoded; an item without
// a value is left out, so that the service answers that field with its own default.
QString QueryItemsText(const QList<std::pair<QString, QString>>& items);
// A results page: the prefix, the encoded keyword, then the fixed parameters
// "&btnG=Google+Search&num=" num "&start=" start. The market's language takes the place of the
// prefix's own "hl" value and its country follows as "&gl="; the engine takes neither the device
// nor the location.
QString SearchResultsURL(const QString& keyword, const Market& market, int num, int start);
// The PageRank query service's address up to its checksum value, and the text between the
// checksum and the queried address.
QString PageRankQueryPrefix();
QString PageRankQueryMiddle();
// The PageRank query of an address: prefix, checksum of the address, middle, address.
QString PageRankQueryURL(const QString& address);
// The traffic-rank site's site-information page of an address, scheme included.
QString AlexaSiteInfoURL(const QString& address);
// The maker's product page, asked once per rank run.
QString MakerPageURL();
