#pragma once
// brave: GET {endpoint}?q=KW&count=20&offset=O with X-Subscription-Token, then the market as
// country and search_lang (no device, no location); results in web.results[].
// The offset is a page index, 0 to 9, so at most 200 results; the order is Brave's own index.

#include "sources/SearchService.h"

class BraveSearch : public SearchService {
public:
    explicit BraveSearch(const SearchSourceSettings& settings) : SearchService(SearchSourceKind::Brave, settings) {}
    int PageSize() const override { return 20; }
    int MaxPages(int depth) const override { return qMin(10, SearchService::MaxPages(depth)); }
    ServiceRequest PageRequest(const QString& keyword, const Market& market, int page) const override;

protected:
    SearchPage ReadResults(const QJsonObject& reply) const override;
};
