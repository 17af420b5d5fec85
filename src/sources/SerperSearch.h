#pragma once
// serper: POST {endpoint} with X-API-KEY and the JSON body {"q":KW,"num":10,"page":P}; results in organic[].

#include "sources/SearchService.h"

class SerperSearch : public SearchService {
public:
    explicit SerperSearch(const SearchSourceSettings& settings) : SearchService(SearchSourceKind::Serper, settings) {}
    int PageSize() const override { return 10; }
    ServiceRequest PageRequest(const QString& keyword, int page) const override;

protected:
    SearchPage ReadResults(const QJsonObject& reply) const override;
};
