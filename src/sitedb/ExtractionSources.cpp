// The extraction's values from openpagerank and from the imported traffic-rank lists.

#include "sitedb/ExtractionSources.h"

#include "sources/RankListLookup.h"
#include "sources/ServiceReplyCheck.h"
#include "web/NormaliseURL.h"

using namespace Qt::StringLiterals;

void ValueFailures::Add(int values, const QString& source, const QString& reason)
{
    if (values <= 0)
        return;
    if (Count == 0)
        FirstReason = source + u": "_s + reason;
    Count += values;
}

void ValueFailures::Add(const ValueFailures& more)
{
    if (Count == 0)
        FirstReason = more.FirstReason;
    Count += more.Count;
}

AuthorityGroups::AuthorityGroups(const AuthoritySourceSettings& settings, const QStringList& urls) : service(settings)
{
    QStringList domains;
    for (qsizetype slot = 0; slot < urls.size(); ++slot) {
        const QString domain = AuthorityDomain(NormaliseURL(urls.at(slot)));
        domains.append(domain);
        if (domain.isEmpty())
            failures.Add(1, SourceName(AuthoritySourceKind::OpenPageRank), u"the address names no site"_s);
        else
            slots[domain].append(int(slot));
    }
    groups = OpenPageRank::Batches(domains);
    retried = QList<bool>(groups.size(), false);
}

int AuthorityGroups::SlotsOf(int group) const
{
    int count = 0;
    for (const QString& domain : groups.at(group))
        count += int(slots.value(domain).size());
    return count;
}

AuthorityGroups::Step AuthorityGroups::Take(int group, const ServiceReply& reply, QList<int>& pr)
{
    const QStringList& domains = groups.at(group);
    const QList<AuthorityValue> values = service.ReadBatch(domains, reply);
    const QString source = SourceName(AuthoritySourceKind::OpenPageRank);
    // A failure of the whole reply stands in every value; a 429 is asked again once.
    const std::optional<SourceFailure> first = values.value(0).Failure;
    if (first) {
        if (const std::optional<int> delay = ::RetryDelayMs(*first, retried.at(group))) {
            retried[group] = true;
            retryDelayMs = *delay;
            return Step::Retry;
        }
    }
    for (qsizetype n = 0; n < domains.size(); ++n) {
        const AuthorityValue& value = values.at(n);
        for (const int slot : slots.value(domains.at(n))) {
            if (value.Outcome == AuthorityValue::Kind::Failed)
                failures.Add(1, source, value.Failure ? value.Failure->Reason : u"no value"_s);
            else
                pr[slot] = value.Outcome == AuthorityValue::Kind::Value ? value.PageRank : 0;
        }
    }
    if (first && EndsSourceForRun(*first)) {
        endReason = first->Reason;
        return Step::EndSource;
    }
    return Step::Read;
}

void AuthorityGroups::FailFrom(int first)
{
    for (int group = first; group < Count(); ++group)
        failures.Add(SlotsOf(group), SourceName(AuthoritySourceKind::OpenPageRank), endReason);
}

ValueFailures TrafficFromList(TrafficSourceKind kind, const QString& programFolder, const QStringList& urls,
                              QList<qint32>& alexa)
{
    const QString source = SourceName(kind);
    ValueFailures failures;
    RankListLookup lookup(RankListsPath(programFolder), RankListKindNamed(source).value_or(RankListKind::Tranco));
    QStringList sites;
    for (const QString& url : urls)
        sites.append(NormaliseURL(url));
    const QList<RankLookupResult> results = lookup.Lookup(sites);
    for (qsizetype slot = 0; slot < results.size(); ++slot) {
        const RankLookupResult& result = results.at(slot);
        // A list holds at most ten million rows, so every rank fits.
        if (result.Result == RankLookupResult::Outcome::Failed)
            failures.Add(1, source, result.Error);
        else
            alexa[slot] = result.Result == RankLookupResult::Outcome::Ranked ? qint32(result.Rank) : 0;
    }
    return failures;
}
