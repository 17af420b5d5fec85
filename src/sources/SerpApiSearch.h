#pragma once
// serpapi: GET {endpoint}?engine=google&q=KW&start=S&num=10&api_key=KEY, then the market as gl, hl,
// location, device and google_domain; results in organic_results[].

#include "sources/SearchService.h"

class SerpApiSearch : public SearchService {
public:
    explicit SerpApiSearch(const SearchSourceSettings& settings) : SearchService(SearchSourceKind::SerpApi, settings) {}
    int PageSize() const override { return 10; }
    ServiceRequest PageRequest(const QString& keyword, const Market& market, int page) const override;

protected:
    SearchPage ReadResults(const QJsonObject& reply) const override;
};
