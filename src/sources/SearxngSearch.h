#pragma once
// searxng: GET {endpoint}?q=KW&format=json&pageno=N on the user's own instance, then the market's
// language as "language" ("fr-FR" with its country); results in results[], in the instance's
// merged metasearch order. A country alone, the device and the location are not offered.

#include "sources/SearchService.h"

class SearxngSearch : public SearchService {
public:
    explicit SearxngSearch(const SearchSourceSettings& settings) : SearchService(SearchSourceKind::Searxng, settings) {}
    // The instance decides how many results a page holds; ten is the fewest the paging expects.
    int PageSize() const override { return 10; }
    ServiceRequest PageRequest(const QString& keyword, const Market& market, int page) const override;

protected:
    SearchPage ReadResults(const QJsonObject& reply) const override;
    void ExplainStatus(SourceFailure& failure) const override;
};

// What a 403 of the instance means.
inline const QString JsonFormatOffText = QStringLiteral("the instance does not enable the json format");
