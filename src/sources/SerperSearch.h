#pragma once
// serper: POST {endpoint} with X-API-KEY and the JSON body {"q":KW,"num":10,"page":P}, with the
// market's gl, hl and location beside them; results in organic[]. It offers no device.

#include "sources/SearchService.h"

class SerperSearch : public SearchService {
public:
    explicit SerperSearch(const SearchSourceSettings& settings) : SearchService(SearchSourceKind::Serper, settings) {}
    int PageSize() const override { return 10; }
    ServiceRequest PageRequest(const QString& keyword, const Market& market, int page) const override;

protected:
    SearchPage ReadResults(const QJsonObject& reply) const override;
};
