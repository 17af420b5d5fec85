// The test of a data source: the request, and the reply in words (its status, how many results
// and the first of them, or the authority value, or why it failed), never with the key.

#include "gui/SourcesPageProbe.h"

#include "model/AppState.h"
#include "session/Session.h"
#include "sources/OpenPageRank.h"
#include "sources/RankListLookup.h"
#include "sources/SearchService.h"
#include "sources/ServiceReplyCheck.h"
#include "web/ocxParseWeb.h"

#include <QPointer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The download key of a test; its first letter belongs to no run's tally of failures.
const QString TestKey = u"SourceTest"_s;

QString StatusOf(const ServiceReply& reply)
{
    return reply.HttpStatus ? u"HTTP %1."_s.arg(reply.HttpStatus) : u"No reply."_s;
}

QString FailedText(const ServiceReply& reply, const SourceFailure& failure)
{
    return StatusOf(reply) + u" Failed: "_s + failure.Reason;
}

QString SearchText(const ServiceReply& reply, const SearchPage& page)
{
    if (page.Failure)
        return FailedText(reply, *page.Failure);
    if (page.Organic.isEmpty())
        return StatusOf(reply) + u" No results."_s;
    const SearchResultItem& first = page.Organic.first();
    const QString title = first.Title.simplified();
    return u"%1 %2 results; the first: %3"_s.arg(StatusOf(reply))
        .arg(page.Organic.size())
        .arg(title.isEmpty() ? first.Url : title + u" <"_s + first.Url + u'>');
}

QString AuthorityText(const ServiceReply& reply, const QString& domain, const AuthorityValue& value)
{
    switch (value.Outcome) {
    case AuthorityValue::Kind::Value:
        return u"%1 The authority of %2 is %3/10."_s.arg(StatusOf(reply), domain).arg(value.PageRank);
    case AuthorityValue::Kind::NotRanked:
        return u"%1 %2 is not ranked."_s.arg(StatusOf(reply), domain);
    case AuthorityValue::Kind::Failed:
        break;
    }
    return value.Failure ? FailedText(reply, *value.Failure) : StatusOf(reply) + u" Failed."_s;
}

} // namespace

SourcesPageProbe::SourcesPageProbe(Session& session, QObject* parent) : QObject(parent), session(session) {}

void SourcesPageProbe::TestSearch(const SearchSourceSettings& settings, const QString& keyword)
{
    std::shared_ptr<const SearchService> service = MakeSearchService(settings);
    if (!service)
        return;
    Send(service->PageRequest(keyword, Market{}, 0), settings.Key,
         [service](const ServiceReply& reply) { return SearchText(reply, service->ReadPage(reply)); });
}

void SourcesPageProbe::TestAuthority(const AuthoritySourceSettings& settings, const QString& address)
{
    auto service = std::make_shared<const OpenPageRank>(settings);
    const QString domain = AuthorityDomain(address);
    Send(service->BatchRequest({domain}), settings.Key, [service, domain](const ServiceReply& reply) {
        return AuthorityText(reply, domain, service->ReadBatch({domain}, reply).value(0));
    });
}

QString SourcesPageProbe::TestTraffic(TrafficSourceKind kind, const QString& host) const
{
    const std::optional<RankListKind> list = RankListKindNamed(SourceName(kind));
    if (!list)
        return {};
    RankListLookup lookup(RankListsPath(session.State().ProgramFolder), *list);
    if (!lookup.IsReady())
        return lookup.Error();
    const RankLookupResult found = lookup.Lookup(host);
    const QString name = RankListName(*list);
    switch (found.Result) {
    case RankLookupResult::Outcome::Ranked:
        return u"%1 ranks %2 in the %3 list."_s.arg(found.Domain).arg(found.Rank).arg(name);
    case RankLookupResult::Outcome::NotRanked:
        return u"%1 is not ranked in the %2 list."_s.arg(RankListHost(host), name);
    case RankLookupResult::Outcome::Failed:
        break;
    }
    return found.Error;
}

void SourcesPageProbe::Send(const ServiceRequest& request, const QString& key,
                            std::function<QString(const ServiceReply&)> read)
{
    busy = true;
    // The control counts it like every service request, so that a run started before the reply
    // comes waits for it.
    session.Downloads().BeginServiceRequest(request, TestKey,
                                            [probe = QPointer(this), key, read](const ServiceReply& reply) {
                                                if (!probe)
                                                    return;
                                                probe->busy = false;
                                                Q_EMIT probe->Finished(WithoutKey(read(reply), key));
                                            });
}
